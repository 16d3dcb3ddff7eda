#pragma once
// The line style editor (線のスタイル編集): a row of cells per dash style, the gap
// factor and a preview at five pen widths, all decided by a LineStyleForm.

// The core headers come before Qt's (see document_window.h).
#include "forms/line_style_form.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QComboBox;
class QDoubleSpinBox;

namespace qzarn::ui {

class LineCellsView;
class LineStylePreview;

class TEditLineBit final : public QDialog {
  Q_OBJECT

 public:
  // ask_yes_no: the question of "初期値(&I)"; empty asks with a message box.
  TEditLineBit(forms::LineStyleForm& form,
               std::function<bool(QWidget*, const QString&)> ask_yes_no = {},
               QWidget* parent = nullptr);

  forms::LineStyleForm& form() { return form_; }
  // The cell under a point of the cell row, or -1.
  static int CellAt(int x, int y);
  void ClickCell(int index);
  void SelectStyle(int style);
  void ResetClick();
  void DefaultsClick();
  QImage PreviewImage() const;

 private:
  void ShowForm();

  forms::LineStyleForm& form_;
  std::function<bool(QWidget*, const QString&)> ask_yes_no_;
  QComboBox* styles_ = nullptr;
  QDoubleSpinBox* gap_ = nullptr;
  LineCellsView* cells_ = nullptr;
  LineStylePreview* preview_ = nullptr;
  bool loading_ = false;
};

// EditLineStyles: runs the editor on a copy of the table; the edited table on OK.
std::optional<render::LineStyleTable> EditLineStyles(
    const render::LineStyleTable& table, QWidget* parent,
    std::function<bool(QWidget*, const QString&)> ask_yes_no = {});

}  // namespace qzarn::ui
