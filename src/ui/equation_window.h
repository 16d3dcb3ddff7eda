#pragma once
// The intermediate-equation window (中間式, TdlgEquation): a stay-on-top tool
// window with a grid of 100 equation rows, two editors floating over the
// current cell and the "▲" function catalogue button. It follows the active
// screen; the rules live in forms/equation_form.h.
//
// The screen is held through its document window by a guarded pointer and
// read afresh at every use: once that window closed, nothing is applied to it.

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "document/screen.h"
#include "forms/equation_form.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace qzarn {
class ExprEngine;
}

namespace qzarn::ui {

class DocumentQuestions;
class DocumentWindow;

class TdlgEquation final : public QWidget {
  Q_OBJECT

 public:
  TdlgEquation(ExprEngine& engine, DocumentQuestions& questions, QWidget* parent = nullptr);

  // The 中間式 command: the window takes `window`'s screen (applying its grid
  // to the screen it showed first, as a change of screen does) and shows.
  void OpenFor(DocumentWindow* window);
  // Another screen became active: while shown, the grid is applied to the
  // screen it showed, and only when that succeeded is the new screen taken.
  // Only a change of the active window counts, so a refused switch is not
  // asked again until the user activates another window.
  void ActiveScreenChanged(DocumentWindow* window);
  // The shown screen may have changed under the window (undo, redo, another
  // window, a new name): equations that are no longer the ones the grid was
  // loaded with are loaded again, and the caption follows the screen's name.
  void ShownScreenChanged();

  // "適用(&A)": validates the grid, stores it, reloads and redraws. False when a
  // cell failed (its message shown, its editor open) or no screen is shown.
  bool OKBtnClick();
  // "閉じる(&C)": applies and hides only when the apply succeeded.
  void CancelBtnClick();
  void BtnInsertClick();
  void BtnDeleteClick();
  void SpeedUpClick();
  void SpeedDownClick();

  // Told after every successful apply (the palettes list their variables again).
  std::function<void(DocumentWindow&)> applied;

  DocumentWindow* shownWindow() const { return window_; }
  const EquationForm& form() const { return form_; }
  QTableWidget& grid() { return *grid_; }
  QComboBox& nameEditor() { return *name_; }
  QLineEdit& expressionEditor() { return *text_; }
  QToolButton& catalogueButton() { return *catalogue_; }
  QPushButton& applyButton() { return *apply_; }
  QPushButton& closeButton() { return *close_; }
  QPushButton& insertButton() { return *insert_; }
  QPushButton& deleteButton() { return *delete_; }
  // The editor open over the current cell.
  QLineEdit& currentEditor();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  Screen* screen() const;
  void Take(DocumentWindow* window);
  // Remembers the shown screen's equations as the grid's.
  void NoteLoaded();
  void ShowCaption();
  void ShowRows();
  void ShowRow(int row);
  // Writes the open editor into its cell.
  void CommitEditor();
  // Makes the form's current cell the grid's and opens its editor there.
  void ShowCurrentCell(bool focus);
  void PlaceEditors();
  void GoTo(int row, int column);
  void GridCellChanged(int row, int column);
  bool EditorKey(QLineEdit& editor, int column, QKeyEvent& key);
  bool EditorControlKey(QLineEdit& editor, int column, int key);
  void SanitiseEditor(QLineEdit& editor, int column);
  void FitColumns();

  ExprEngine& engine_;
  DocumentQuestions& questions_;
  QPointer<DocumentWindow> window_;
  QPointer<DocumentWindow> offered_;
  EquationForm form_;
  QTableWidget* grid_ = nullptr;
  QComboBox* name_ = nullptr;
  QLineEdit* text_ = nullptr;
  QToolButton* catalogue_ = nullptr;
  QPushButton* apply_ = nullptr;
  QPushButton* close_ = nullptr;
  QPushButton* help_ = nullptr;
  QToolButton* up_ = nullptr;
  QToolButton* down_ = nullptr;
  QPushButton* insert_ = nullptr;
  QPushButton* delete_ = nullptr;
  QRect last_geometry_;  // where the window was hidden, for the next opening
  // The screen and its equations as the grid last loaded or applied them.
  const Screen* loaded_screen_ = nullptr;
  std::vector<std::uint8_t> loaded_equations_;
  QMetaObject::Connection title_follower_;
  bool syncing_ = false;
};

}  // namespace qzarn::ui
