#pragma once
// Every window of the program lies wholly on the area of the desktop that
// windows may use (the screen less its panels), whatever its stored position,
// the screen's size or its scale factor: a window shown partly off it is
// moved (and shrunk where it can be resized) onto it, and again when the
// screens change under it.

#include <QObject>
#include <QRect>

class QScreen;
class QWidget;

namespace qzarn::ui {

// The screen a window belongs on: the one holding the middle of its frame,
// otherwise its owner's, otherwise the primary screen (null without screens).
QScreen* ScreenFor(const QWidget& window);

// Moves the window's frame, by as little as it takes, into the available area
// of its screen; a frame larger than the area is shrunk to it when the window
// can be resized. `margin` pixels stay free along the area's edges when there
// is room for them. Maximised, full-screen and minimised windows stay as they are.
void KeepWhollyOnScreen(QWidget& window, int margin = 0);

// Installed once on the application: fits every top-level window as it is
// shown, once more when its frame's borders are known, and all visible
// windows when a screen's available area changes or a screen goes.
class ScreenKeeper final : public QObject {
 public:
  explicit ScreenKeeper(QObject* parent = nullptr);
  // Installs a keeper on the application unless one is installed already.
  static void Install();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void WatchScreen(QScreen* screen);
  static void FitAllWindows();
};

}  // namespace qzarn::ui
