#include "ui/picture_export_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/message_caption.h"
#include "ui/whole_captions.h"

#include "ui/spoken_name.h"

namespace qzarn::ui {

PictureExportDialog::PictureExportDialog(forms::PictureExportForm& form, render::PictureKind kind,
                                         const QString& title, QWidget* parent)
    : QDialog(parent), form_(form), kind_(kind) {
  setWindowTitle(title);
  setAccessibleName(SpokenName(title));
  auto* layout = new QFormLayout;
  auto spin = [&](const QString& caption, int low, int high) {
    auto* box = new QSpinBox(this);
    box->setRange(low, high);
    box->setAccessibleName(SpokenName(caption));
    layout->addRow(caption, box);
    return box;
  };
  // The boxes accept a little beyond the limits so that OK can name the fault.
  width_ = spin(QStringLiteral("幅 (ﾋﾟｸｾﾙ)(&W)"), 1, forms::kMaxPictureSide * 10);
  height_ = spin(QStringLiteral("高さ (ﾋﾟｸｾﾙ)(&H)"), 1, forms::kMaxPictureSide * 10);
  dpi_ = spin(QStringLiteral("解像度 (dpi)(&R)"), 1, forms::kMaxPdfDpi * 10);
  keep_ = new QCheckBox(QStringLiteral("縦横比を保つ(&K)"), this);
  antialias_ = new QCheckBox(QStringLiteral("アンチエイリアス(&A)"), this);
  for (QCheckBox* c : {keep_, antialias_}) {
    c->setAccessibleName(SpokenName(c->text()));
    layout->addRow(c);
  }
  const bool pdf = kind == render::PictureKind::kPdf;
  width_->setEnabled(!pdf);
  height_->setEnabled(!pdf);
  keep_->setEnabled(!pdf);
  dpi_->setEnabled(pdf);

  connect(width_, &QSpinBox::valueChanged, this, [this](int v) {
    if (showing_) return;
    form_.SetWidth(v);
    ShowForm();
  });
  connect(height_, &QSpinBox::valueChanged, this, [this](int v) {
    if (showing_) return;
    form_.SetHeight(v);
    ShowForm();
  });
  connect(keep_, &QCheckBox::toggled, this, [this](bool on) { form_.keep_proportions = on; });

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  QPushButton* cancel = buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  ok->setAccessibleName(SpokenName(ok->text()));
  cancel->setAccessibleName(SpokenName(cancel->text()));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* all = new QVBoxLayout(this);
  all->addLayout(layout);
  all->addWidget(buttons);
  // The title names the screen, which a narrow window's title bar would cut.
  LeaveRoomForTitle(*this);
  ShowForm();
  NameParts(*this);
}

void PictureExportDialog::ShowForm() {
  showing_ = true;
  width_->setValue(form_.width);
  height_->setValue(form_.height);
  dpi_->setValue(form_.dpi);
  keep_->setChecked(form_.keep_proportions);
  antialias_->setChecked(form_.antialiasing);
  showing_ = false;
}

void PictureExportDialog::done(int result) {
  if (result == QDialog::Accepted) {
    form_.width = width_->value();
    form_.height = height_->value();
    form_.dpi = dpi_->value();
    form_.antialiasing = antialias_->isChecked();
    if (const std::optional<std::string> fault = form_.Check(kind_)) {
      QMessageBox::warning(this, QString::fromUtf8(kMessageCaption),
                           QString::fromStdString(*fault));
      return;
    }
  }
  QDialog::done(result);
}

}  // namespace qzarn::ui
