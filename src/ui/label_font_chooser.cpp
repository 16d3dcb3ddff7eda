#include "ui/label_font_chooser.h"

#include "ui/dialog_choosers.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

namespace qzarn::ui {

namespace {

constexpr double kPointsPerInch = 72.0;

std::uint8_t StyleOf(const QFont& f) {
  return static_cast<std::uint8_t>((f.bold() ? 1 : 0) | (f.italic() ? 2 : 0) |
                                   (f.underline() ? 4 : 0) | (f.strikeOut() ? 8 : 0));
}

QString Q(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

double PointsOfPixels(int pixels, double dpi) {
  return pixels * kPointsPerInch / dpi;
}

int PixelsOfPoints(double points, double dpi) {
  return static_cast<int>(std::lround(points * dpi / kPointsPerInch));
}

LabelFontDialog::LabelFontDialog(const ChosenFont& initial, const QString& title, QWidget* parent)
    : QDialog(parent), initial_(initial), colour_value_(initial.colour) {
  setWindowTitle(title);
  QString plain = title;
  setAccessibleName(plain.remove(QLatin1Char('&')));
  if (const QScreen* screen = parent != nullptr ? parent->screen() : this->screen())
    dpi_ = screen->logicalDotsPerInchY();
  if (!(dpi_ > 0)) dpi_ = 96;

  QFont font(Q(initial.name));
  if (initial.size > 0) font.setPointSizeF(PointsOfPixels(initial.size, dpi_));
  font.setBold((initial.style & 1) != 0);
  font.setItalic((initial.style & 2) != 0);
  font.setUnderline((initial.style & 4) != 0);
  font.setStrikeOut((initial.style & 8) != 0);

  fonts_ = new QFontDialog(this);
  fonts_->setWindowFlags(Qt::Widget);
  fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  fonts_->setCurrentFont(font);
  shown_ = fonts_->currentFont();

  colour_ = new QPushButton(QStringLiteral("色(&C)"), this);
  colour_->setAccessibleName(QStringLiteral("色(C)"));
  colour_->setAutoDefault(false);
  connect(colour_, &QPushButton::clicked, this, [this] { ChooseColour(); });
  SetColour(colour_value_);

  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setAccessibleName(QStringLiteral("OK"));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  cancel->setAccessibleName(QStringLiteral("ｷｬﾝｾﾙ"));
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(colour_);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fonts_);
  layout->addLayout(buttons);
}

void LabelFontDialog::SetColour(std::uint32_t bgr) {
  colour_value_ = bgr & 0xFFFFFFu;
  QPixmap swatch(14, 14);
  swatch.fill(ToQColor(colour_value_));
  colour_->setIcon(QIcon(swatch));
}

void LabelFontDialog::ChooseColour() {
  const QColor picked = QColorDialog::getColor(ToQColor(colour_value_), this, colour_->text());
  if (picked.isValid()) SetColour(FromQColor(picked));
}

ChosenFont LabelFontDialog::chosen() const {
  // The chooser lists installed families and their styles only: what it shows
  // for the stored font may differ from it. Each attribute the user left as
  // shown keeps its stored value; only what was changed is taken.
  const QFont f = fonts_->currentFont();
  ChosenFont out = initial_;
  out.colour = colour_value_;
  if (f.family() != shown_.family()) out.name = f.family().toStdString();
  if (std::fabs(f.pointSizeF() - shown_.pointSizeF()) >= 0.05 ||
      f.pixelSize() != shown_.pixelSize())
    out.size = f.pixelSize() > 0 ? f.pixelSize() : PixelsOfPoints(f.pointSizeF(), dpi_);
  const std::uint8_t now = StyleOf(f);
  const std::uint8_t changed = now ^ StyleOf(shown_);
  out.style = static_cast<std::uint8_t>((initial_.style & ~changed) | (now & changed));
  return out;
}

std::optional<ChosenFont> ChooseLabelFont(QWidget* parent, const ChosenFont& initial,
                                          const QString& title) {
  LabelFontDialog dialog(initial, title, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosen();
}

}  // namespace qzarn::ui
