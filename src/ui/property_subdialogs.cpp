#include "ui/property_subdialogs.h"

#include "forms/property_form.h"
#include "platform/text_encoding.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

QCheckBox* AddCheck(QVBoxLayout& layout, QWidget* parent, const char* caption, bool on) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setAccessibleName(SpokenName(box->text()));
  box->setChecked(on);
  layout.addWidget(box);
  return box;
}

QComboBox* AddCombo(QFormLayout& form, QWidget* parent, const char* caption, bool editable) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(editable);
  combo->setAccessibleName(SpokenName(QString::fromUtf8(caption)));
  form.addRow(QString::fromUtf8(caption), combo);
  return combo;
}

void AddOkCancel(QDialog& dialog, QVBoxLayout& layout) {
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  QPushButton* cancel =
      buttons->addButton(QString::fromUtf8("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
  ok->setAccessibleName(SpokenName(ok->text()));
  cancel->setAccessibleName(SpokenName(cancel->text()));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout.addWidget(buttons);
}

void PaintSwatch(QPushButton& button, std::uint32_t bgr) {
  QPixmap swatch(14, 14);
  swatch.fill(QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                     static_cast<int>((bgr >> 16) & 0xFF)));
  button.setIcon(QIcon(swatch));
}

}  // namespace

TPro_Kiseki::TPro_Kiseki(const LocusSettings& settings, const QString& caption, bool function,
                         QWidget* parent)
    : QDialog(parent), settings_(settings), function_(function) {
  setWindowTitle(caption);
  setAccessibleName(SpokenName(caption));
  auto* layout = new QVBoxLayout(this);
  on_ = AddCheck(*layout, this, "軌跡を表示(&K)", settings.on);
  if (function) {
    connect_ = AddCheck(*layout, this, "線を表示(&L)", settings.show_lines);
    points_ = AddCheck(*layout, this, "点を表示(&P)", settings.show_points);
  } else {
    connect_ = AddCheck(*layout, this, "線で結ぶ(&L)", settings.connect);
  }
  auto* form = new QFormLayout();
  size_ = AddCombo(*form, this, "点の大きさ(&S)", true);
  width_ = AddCombo(*form, this, "線の太さ(&W)", true);
  for (QComboBox* combo : {size_, width_}) {
    for (int v : kLocusSizeChoices)
      combo->addItem(QString::number(v));
    combo->lineEdit()->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), combo));
  }
  size_->setEditText(QString::number(settings.point_size));
  width_->setEditText(QString::number(settings.line_width));
  layout->addLayout(form);
  colour_ = new QPushButton(QString::fromUtf8("軌跡色(&1)"), this);
  colour_->setAccessibleName(SpokenName(colour_->text()));
  colour_->setAutoDefault(false);
  PaintSwatch(*colour_, settings_.colour);
  connect(colour_, &QPushButton::clicked, this, [this] {
    const std::uint32_t c = settings_.colour;
    const QColor chosen =
        QColorDialog::getColor(QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                                      static_cast<int>((c >> 16) & 0xFF)),
                               this, colour_->text());
    if (!chosen.isValid()) return;
    settings_.colour = static_cast<std::uint32_t>(chosen.red()) |
                       (static_cast<std::uint32_t>(chosen.green()) << 8) |
                       (static_cast<std::uint32_t>(chosen.blue()) << 16);
    PaintSwatch(*colour_, settings_.colour);
  });
  layout->addWidget(colour_);
  auto* clear = new QPushButton(QString::fromUtf8("軌跡ｸﾘｱ(&C)"), this);
  clear->setAccessibleName(SpokenName(clear->text()));
  clear->setAutoDefault(false);
  connect(clear, &QPushButton::clicked, this, [this] { settings_.clear = true; });
  layout->addWidget(clear);
  AddOkCancel(*this, *layout);
  NameParts(*this);
}

LocusSettings TPro_Kiseki::settings() const {
  LocusSettings s = settings_;
  s.on = on_->isChecked();
  if (function_) {
    s.show_lines = connect_->isChecked();
    s.show_points = points_->isChecked();
  } else {
    s.connect = connect_->isChecked();
  }
  s.point_size = std::max(1, size_->currentText().toInt());
  s.line_width = std::max(1, width_->currentText().toInt());
  return s;
}

TPro_Ya::TPro_Ya(const forms::ArrowSettings& settings, const QString& caption, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(caption);
  setAccessibleName(SpokenName(caption));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  type_ = AddCombo(*form, this, "種類(&T)", false);
  length_ = AddCombo(*form, this, "長さ(&L)", true);
  angle_ = AddCombo(*form, this, "角度(&A)", true);
  for (std::string_view t : forms::kArrowTypeChoices)
    type_->addItem(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
  for (std::string_view t : forms::kArrowLengthChoices)
    length_->addItem(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
  for (std::string_view t : forms::kArrowAngleChoices)
    angle_->addItem(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
  type_->setCurrentIndex(settings.type);
  length_->setEditText(QString::fromStdString(settings.length));
  angle_->setEditText(QString::fromStdString(settings.angle));
  layout->addLayout(form);
  AddOkCancel(*this, *layout);
  NameParts(*this);
}

forms::ArrowSettings TPro_Ya::settings() const {
  return {type_->currentIndex(), length_->currentText().toStdString(),
          angle_->currentText().toStdString()};
}

bool EditLocusSettings(QWidget* parent, LocusSettings& settings, const QString& caption,
                       bool function) {
  TPro_Kiseki dialog(settings, caption, function, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  settings = dialog.settings();
  return true;
}

bool EditFigureLocus(QWidget* parent, FigureRecord& record) {
  const std::optional<LocusDialogKind> kind = LocusDialogOf(record);
  std::optional<LocusSettings> settings = ReadLocusSettings(record);
  if (!kind || !settings) return false;
  // The same caption as the property dialog's button gives: kind and name.
  const forms::MemberSpec* member = forms::FindMember(record);
  std::string shown = member != nullptr ? std::string(member->caption) : std::string();
  shown += cp932_to_utf8(record.name());
  if (!EditLocusSettings(parent, *settings, QString::fromStdString(LocusDialogCaption(shown)),
                         *kind == LocusDialogKind::kFunction))
    return false;
  ApplyLocusSettings(record, *settings);
  return true;
}

bool EditArrowSettings(QWidget* parent, forms::ArrowSettings& settings, const QString& caption) {
  TPro_Ya dialog(settings, caption, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  settings = dialog.settings();
  return true;
}

}  // namespace qzarn::ui
