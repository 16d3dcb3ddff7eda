#pragma once
// The figure list window (図形リスト): every figure of the active screen in slot
// order, from which figures are deleted with their dependents and property
// dialogs are opened. Modal; deletions reach the screen only on OK.

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "forms/figure_list.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class QPushButton;
class QTableWidget;

namespace qzarn {

class EngineUi;
class Screen;

// What the list needs from the document window.
struct FigureListHooks {
  // The active document window's caption, shown inside the list's caption.
  QString window_caption;
  // Questions of the list; nullptr asks with message boxes.
  EngineUi* ui = nullptr;
  // Opens the property dialog of the figure in `slot` on the shared record.
  // `removed` tells the figures removed in the list so far: the dialog must
  // not let a figure refer to them, since confirming the list frees them.
  std::function<void(Screen& screen, int slot, const std::function<bool(int)>& removed,
                     QWidget* parent)>
      edit_figure;
  // Takes an undo snapshot of the screen after OK.
  std::function<void()> take_snapshot;
  // Recomputes and redraws the screen after the list closes, either way.
  std::function<void()> redraw;
};

class TFigureList : public QDialog {
  Q_OBJECT

 public:
  TFigureList(Screen& screen, FigureListHooks hooks, QWidget* parent = nullptr);
  ~TFigureList() override;

  FigureList& model() { return model_; }
  // The selected grid row, 0-based; -1 when none.
  int SelectedRow() const;
  void SelectRow(int row);

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void BuildGrid();
  void FillGrid();
  void UpdateButtons();
  void FitContentColumn();
  void SetBtnClick();
  void DelBtnClick();
  bool eventFilter(QObject* watched, QEvent* event) override;

  FigureList model_;
  FigureListHooks hooks_;
  std::unique_ptr<EngineUi> message_boxes_;
  QTableWidget* grid_ = nullptr;
  QPushButton* ok_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QPushButton* set_button_ = nullptr;
  QPushButton* del_button_ = nullptr;
};

// Shows the list for the screen modally; on OK the deletions made in the list
// are applied to the screen (with an undo snapshot). The screen is redrawn
// either way. Returns whether the user pressed OK.
bool ShowFigureList(Screen& screen, const FigureListHooks& hooks, QWidget* parent = nullptr);

}  // namespace qzarn
