#pragma once
// The standard variable palette (変数, TEditValue): a list of the variables
// the active screen leaves free, a value field with a spin button and a step
// list. A stay-on-top tool window dragged by its surface; the rules live in
// forms/variable_palette.h.

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "document/screen.h"
#include "forms/variable_palette.h"
#include "ui/palette_window.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QComboBox;
class QLineEdit;
class QMenu;
class QToolButton;

namespace qzarn {
class FigureExpressions;
}

namespace qzarn::ui {

class DocumentWindow;

class TEditValue final : public QWidget {
  Q_OBJECT

 public:
  explicit TEditValue(FigureExpressions& expressions, QWidget* parent = nullptr);

  // Shows the state of the window's screen (activation and refreshes). A
  // null window empties the palette.
  void ShowScreen(DocumentWindow* window);
  // Refreshes the list and the value shown for the screen already shown (a
  // dialog changed figures or equations, a drag moved a variable).
  void Refresh();
  // In the restricted start mode the palette cannot be closed.
  void SetRestricted(bool restricted) { restricted_ = restricted; }
  // Places the window with its frame at the bottom-right corner of `area`
  // (the main window's frame, in global coordinates).
  void PlaceAtBottomRight(const QRect& area);

  // The pop-up menu's "ﾕｰｻﾞｰ定義のﾊﾟﾚｯﾄ(&U)"; no switch offered while empty.
  std::function<void()> switch_to_user;
  // The pop-up menu's "変数ﾊﾟﾚｯﾄの編集(&E)...".
  std::function<void()> edit_palette;
  // Called when the user closed the palette (the screen's PaletteMode is 0 then).
  std::function<void()> closed_by_user;

  QComboBox& variableList() { return *list_; }
  QLineEdit& valueField() { return *value_; }
  QComboBox& stepList() { return *step_; }
  QToolButton& upButton() { return *up_; }
  QToolButton& downButton() { return *down_; }
  const StandardPaletteForm& form() const { return form_; }
  // The pop-up menu's entries, as the right button opens them.
  void FillPopupMenu(QMenu& menu);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ListChange(int index);
  void SpinClick(bool up);
  void ValueExit();
  void StepChange();
  void ShowValue();
  void Changed(bool applied);
  Screen* screen() const;

  FigureExpressions& expressions_;
  QPointer<DocumentWindow> window_;
  StandardPaletteForm form_;
  QComboBox* list_ = nullptr;
  QLineEdit* value_ = nullptr;
  QToolButton* up_ = nullptr;
  QToolButton* down_ = nullptr;
  QComboBox* step_ = nullptr;
  PaletteDrag drag_;
  bool restricted_ = false;
  bool loading_ = false;
};

}  // namespace qzarn::ui
