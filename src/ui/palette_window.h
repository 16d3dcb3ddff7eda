#pragma once
// What both variable palettes share as windows: a stay-on-top tool window
// without a title-bar drag, moved by pressing anywhere on its surface, placed
// at the main window's bottom-right corner and kept on the desktop.

// The core headers come before Qt's.
#include "document/screen.h"

#include <QPoint>
#include <QRect>

class QCloseEvent;
class QMouseEvent;
class QWidget;

namespace qzarn::ui {

// Drags a palette by its surface: Press remembers where the button went
// down, Move follows it without letting the client area start closer than
// 6 pixels to the desktop's top.
class PaletteDrag {
 public:
  void Press(const QWidget& window, const QMouseEvent& event);
  void Move(QWidget& window, const QMouseEvent& event) const;

 private:
  QPoint offset_;
};

// Places the window with its frame at the bottom-right corner of `area` (the
// main window's frame, in global coordinates), kept on the desktop.
void PlaceAtBottomRight(QWidget& window, const QRect& area);
// Moves the window so that its frame lies wholly on the desktop it is on,
// `margin` pixels from the edges where there is room.
void KeepOnDesktop(QWidget& window, int margin);

// The user closing a palette: refused in the restricted start mode; otherwise
// the screen it shows (when its caption is the palette's) keeps no palette.
// Returns whether the palette closes.
bool AcceptPaletteClose(QWidget& palette, QCloseEvent& event, bool restricted, Screen* screen,
                        const QWidget* screen_window);

}  // namespace qzarn::ui
