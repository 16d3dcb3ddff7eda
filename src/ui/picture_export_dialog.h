#pragma once
// The picture options of "ｲﾒｰｼﾞとして保存": the size in pixels (or, for PDF,
// the pixels per inch), whether the proportions are kept, and antialiasing.

// The core headers come before Qt's (see document_window.h).
#include "forms/picture_export_form.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace qzarn::ui {

class PictureExportDialog final : public QDialog {
  Q_OBJECT

 public:
  PictureExportDialog(forms::PictureExportForm& form, render::PictureKind kind,
                      const QString& title, QWidget* parent = nullptr);

  QSpinBox& widthBox() { return *width_; }
  QSpinBox& heightBox() { return *height_; }
  QSpinBox& dpiBox() { return *dpi_; }
  QCheckBox& antialiasBox() { return *antialias_; }

 protected:
  void done(int result) override;

 private:
  void ShowForm();

  forms::PictureExportForm& form_;
  render::PictureKind kind_;
  QSpinBox* width_ = nullptr;
  QSpinBox* height_ = nullptr;
  QSpinBox* dpi_ = nullptr;
  QCheckBox* keep_ = nullptr;
  QCheckBox* antialias_ = nullptr;
  bool showing_ = false;
};

}  // namespace qzarn::ui
