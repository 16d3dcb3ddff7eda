#pragma once
// The user-defined variable palette (TEditValue2): the labels and spin boxes
// the screen's palette entries lay out, each box driving one variable within
// its own range and step. A stay-on-top tool window dragged by its surface;
// the rules live in forms/user_palette.h.

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "document/screen.h"
#include "forms/user_palette.h"
#include "ui/palette_window.h"

#include <QDoubleSpinBox>
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QLabel;
class QMenu;

namespace qzarn {
class FigureExpressions;
}

namespace qzarn::ui {

class DocumentWindow;

// A box of the palette: shows numbers with "." and without trailing zeros,
// and takes only digits, "-" and "." as typed characters.
// Where a palette shows a box stored at `stored` with this font and range:
// the stored top-left corner, grown to what its digits and arrows need (the
// palette editor draws boxes so too).
QRect ShownBoxPlace(const QFont& font, double minimum, double maximum, double value,
                    const QRect& stored);

class PaletteSpinBox final : public QDoubleSpinBox {
 public:
  explicit PaletteSpinBox(QWidget* parent);
  QString textFromValue(double value) const override;
  double valueFromText(const QString& text) const override;
  QValidator::State validate(QString& text, int& pos) const override;
  void fixup(QString& text) const override;
  QLineEdit* editor() const { return lineEdit(); }
};

class TEditValue2 final : public QWidget {
  Q_OBJECT

 public:
  explicit TEditValue2(FigureExpressions& expressions, QWidget* parent = nullptr);

  // Shows the window's screen: built anew when the palette showed another
  // screen, otherwise only refreshed. A null window empties the palette.
  void ShowScreen(DocumentWindow* window);
  // Builds the palette from the screen's entries (after the editor's OK).
  void Rebuild();
  // Every box shows its variable's present value; entries changed behind the
  // palette (undo, a loaded state) rebuild it.
  void Refresh();
  void SetRestricted(bool restricted) { restricted_ = restricted; }
  // At the bottom-right corner of `area`, kept 5 pixels inside the desktop.
  void PlaceAtBottomRight(const QRect& area);
  DocumentWindow* shownWindow() const { return window_; }

  // The pop-up menu's "標準のﾊﾟﾚｯﾄ(&S)" and "変数ﾊﾟﾚｯﾄの編集(&E)..." (also the
  // double click), and the user's closing of the window.
  std::function<void()> switch_to_standard;
  std::function<void()> edit_palette;
  std::function<void()> closed_by_user;
  // A right click on box `index` opens the animation window for it; a left
  // click on the palette, a rebuild, and hiding or closing the palette close
  // it (its box is about to go or to be out of sight).
  std::function<void(std::size_t index)> open_animation;
  std::function<void()> close_animation;

  const std::vector<PaletteSpinBox*>& boxes() const { return spins_; }
  const std::vector<QLabel*>& labels() const { return labels_; }
  const UserPaletteLayout& layout() const { return layout_; }
  void FillPopupMenu(QMenu& menu);
  // すべての値を初期値に戻す(&R).
  void ResetAllClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Build();
  void BoxChange(std::size_t index, double value);
  void ShowValues();
  Screen* screen() const;
  using Entries = std::array<PaletteItem, kPaletteItems>;

  FigureExpressions& expressions_;
  QPointer<DocumentWindow> window_;
  UserPaletteLayout layout_;
  std::vector<PaletteSpinBox*> spins_;
  std::vector<QLabel*> labels_;
  // What the palette was built from, to notice entries changed behind it.
  std::vector<std::uint8_t> built_from_;
  PaletteDrag drag_;
  bool restricted_ = false;
  bool loading_ = false;
};

}  // namespace qzarn::ui
