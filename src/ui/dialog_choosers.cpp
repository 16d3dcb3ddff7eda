#include "ui/dialog_choosers.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <algorithm>

namespace qzarn::ui {

QColor ToQColor(ColorRef c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

ColorRef FromQColor(const QColor& c) {
  return rgb(static_cast<unsigned>(c.red()), static_cast<unsigned>(c.green()),
             static_cast<unsigned>(c.blue()));
}

std::optional<ColorRef> PickColour(QWidget* parent, ColorRef initial) {
  const QColor c = QColorDialog::getColor(ToQColor(initial), parent);
  if (!c.isValid()) return std::nullopt;
  return FromQColor(c);
}

std::optional<FontPick> PickFont(QWidget* parent, const FontPick& initial) {
  QFont font(QString::fromStdString(initial.name), std::max(1, initial.size));
  font.setBold(initial.style & 1);
  font.setItalic(initial.style & 2);
  font.setUnderline(initial.style & 4);
  font.setStrikeOut(initial.style & 8);
  bool ok = false;
  const QFont f = QFontDialog::getFont(&ok, font, parent);
  if (!ok) return std::nullopt;
  FontPick pick;
  pick.name = f.family().toStdString();
  pick.size = f.pointSize() > 0 ? f.pointSize() : initial.size;
  pick.style =
      (f.bold() ? 1 : 0) | (f.italic() ? 2 : 0) | (f.underline() ? 4 : 0) | (f.strikeOut() ? 8 : 0);
  return pick;
}

bool AskYesNoBox(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, QString(), text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace qzarn::ui
