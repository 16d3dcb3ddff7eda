#pragma once
// The function list window: the catalogue of built-in functions and constants
// from which a template is inserted at the caret of an expression field.
// One window serves every field for the whole run, so the row the user last
// chose is still selected the next time it opens.

#include <QDialog>
#include <QString>

class QAbstractButton;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace qzarn {

class TdlgFuncSel : public QDialog {
  Q_OBJECT

 public:
  explicit TdlgFuncSel(QWidget* parent = nullptr);

  // The text being edited and its caret, in UTF-16 code units (as
  // QLineEdit::cursorPosition() counts). Set before opening; after an
  // insertion they hold the new text and caret, after closing they are as set.
  void SetTarget(const QString& text, int caret);
  const QString& Text() const { return text_; }
  int Caret() const { return caret_; }

  // The selected catalogue row, 0-based; it survives closing and reopening.
  int SelectedRow() const;
  void SelectRow(int row);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildGrid();
  void ApplyScreenMetrics();
  void CentreOnScreen();
  void InsertBtnClick();
  void GridDblClick(int row);

  QTableWidget* grid_ = nullptr;
  QPushButton* insert_button_ = nullptr;
  QPushButton* close_button_ = nullptr;
  QString text_;
  int caret_ = 0;
  int selected_row_ = 0;
};

// Opens the catalogue for `field`: the dialog starts from the field's text and
// cursor position; an insertion replaces the field's text. Either way the
// focus returns to the field with its caret at the dialog's caret. Returns
// whether a template was inserted.
bool OpenFunctionCatalogue(TdlgFuncSel& dialog, QLineEdit& field);

// Makes `button` (the small "▲" beside an expression field) open the
// catalogue for `field`.
void ConnectFunctionCatalogueButton(QAbstractButton& button, QLineEdit& field, TdlgFuncSel& dialog);

}  // namespace qzarn
