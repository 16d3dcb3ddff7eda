#include "ui/palette_window.h"

#include "ui/screen_keeper.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace qzarn::ui {

namespace {

// The client area cannot be dragged closer than this to the desktop's top.
constexpr int kTopMargin = 6;

}  // namespace

void PaletteDrag::Press(const QWidget& window, const QMouseEvent& event) {
  if (event.button() == Qt::LeftButton)
    offset_ = event.globalPosition().toPoint() - window.frameGeometry().topLeft();
}

void PaletteDrag::Move(QWidget& window, const QMouseEvent& event) const {
  if (!(event.buttons() & Qt::LeftButton)) return;
  QPoint top_left = event.globalPosition().toPoint() - offset_;
  if (const QScreen* display = QGuiApplication::screenAt(event.globalPosition().toPoint())) {
    const int chrome = window.geometry().top() - window.frameGeometry().top();
    const int lowest = display->availableGeometry().top() + kTopMargin - chrome;
    top_left.setY(std::max(top_left.y(), lowest));
  }
  window.move(top_left);
}

void PlaceAtBottomRight(QWidget& window, const QRect& area) {
  const QRect frame = window.frameGeometry();
  window.move(area.right() - frame.width() + 1 + (window.pos().x() - frame.x()),
              area.bottom() - frame.height() + 1 + (window.pos().y() - frame.y()));
  // A main window reaching past the desktop's edge must not take the palette with it.
  KeepWhollyOnScreen(window);
}

void KeepOnDesktop(QWidget& window, int margin) {
  KeepWhollyOnScreen(window, margin);
}

bool AcceptPaletteClose(QWidget& palette, QCloseEvent& event, bool restricted, Screen* screen,
                        const QWidget* screen_window) {
  if (restricted) {
    event.ignore();
    return false;
  }
  if (screen != nullptr && screen_window != nullptr &&
      screen_window->windowTitle() == palette.windowTitle())
    screen->View().PaletteMode = 0;
  event.accept();
  return true;
}

}  // namespace qzarn::ui
