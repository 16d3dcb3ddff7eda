#pragma once
// The toolkit's choosers and questions as the settings dialogs use them when no
// test answers instead: colours as 0x00BBGGRR, fonts as name, size and style bits.

#include "settings/setting_values.h"

#include <QColor>
#include <QString>
#include <optional>
#include <string>

class QWidget;

namespace qzarn::ui {

QColor ToQColor(ColorRef colour);
// The stored 0x00BBGGRR of a chosen colour.
ColorRef FromQColor(const QColor& colour);

struct FontPick {
  std::string name;  // UTF-8
  int size = 0;      // points
  int style = 0;     // 1 bold, 2 italic, 4 underline, 8 strike-out
};

// The colour and font choosers; nothing when cancelled.
std::optional<ColorRef> PickColour(QWidget* parent, ColorRef initial);
std::optional<FontPick> PickFont(QWidget* parent, const FontPick& initial);
// A Yes/No question in a message box; true for Yes.
bool AskYesNoBox(QWidget* parent, const QString& text);

}  // namespace qzarn::ui
