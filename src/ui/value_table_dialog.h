#pragma once
// The variable table window (変数ﾃｰﾌﾞﾙ, TValueTable): the values of a..z and
// a1..z9 in a 26 × 10 grid, edited on a copy; OK writes back only the cells
// the user changed (the rules live in forms/value_table_form.h).

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "document/screen.h"
#include "forms/value_table_form.h"

#include <QDialog>
#include <QString>

class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace qzarn {

class TValueTable : public QDialog {
  Q_OBJECT

 public:
  // `screen_caption` is the caption of the screen whose variables are shown.
  TValueTable(const VariableTable& variables, const QString& screen_caption,
              QWidget* parent = nullptr);

  const ValueTableForm& form() const { return form_; }
  QTableWidget& grid() { return *grid_; }

 private:
  void BuildGrid();
  void GridItemChanged(QTableWidgetItem* item);
  void OKBtnClick();

  ValueTableForm form_;
  QTableWidget* grid_ = nullptr;
  QPushButton* ok_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QPushButton* help_button_ = nullptr;
};

// Shows the table modally on `block`'s variables, captioned with the screen's
// caption. On OK the cells the user changed are written into `block` (cells
// not changed keep whatever value `block` holds then) and true is returned;
// Cancel leaves `block` untouched. A property dialog passes its copy of the
// settings block; it is the caller's part to invalidate curves.
bool EditVariableTable(QWidget* parent, SettingsBlock& block, const QString& caption);

// The document window's "変数ﾃｰﾌﾞﾙ(&T)..." command: the table on the screen's
// own variables; on OK the changed cells are written, every function curve is
// marked for resampling and a changed screen is marked modified. The caller
// recomputes and redraws. Returns whether OK was pressed.
bool EditScreenVariables(QWidget* parent, Screen& screen, const QString& caption);

}  // namespace qzarn
