#pragma once
// Room for a window's texts: a title that the title bar would cut, and a
// message whose lines the message box would break inside a word (Japanese has
// no spaces, so a narrow box breaks lines anywhere).

#include <QString>

class QWidget;

namespace qzarn::ui {

// Makes the window at least as wide as its title needs in a title bar, with
// room for the bar's icon and buttons.
void LeaveRoomForTitle(QWidget& window);

// An information box (OK) whose text keeps each of its lines whole.
void InformWithWholeLines(QWidget* parent, const QString& text);

}  // namespace qzarn::ui
