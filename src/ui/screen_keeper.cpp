#include "ui/screen_keeper.h"

#include "forms/window_fit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace qzarn::ui {
namespace {

forms::WindowRect RectOf(const QRect& r) {
  return {r.left(), r.top(), r.width(), r.height()};
}

bool Resizable(const QWidget& window) {
  return window.minimumWidth() < window.maximumWidth() ||
         window.minimumHeight() < window.maximumHeight();
}

// Pop-up menus, tool tips and the like place themselves and vanish again.
bool KeptWindow(const QWidget& widget) {
  if (!widget.isWindow()) return false;
  switch (widget.windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::SplashScreen:
    case Qt::Desktop:
      return false;
    default:
      return true;
  }
}

}  // namespace

QScreen* ScreenFor(const QWidget& window) {
  if (QScreen* holding = QGuiApplication::screenAt(window.frameGeometry().center())) return holding;
  if (const QWidget* owner = window.parentWidget(); owner != nullptr && owner->window() != &window)
    if (QScreen* screen = owner->window()->screen()) return screen;
  if (QScreen* screen = window.screen()) return screen;
  return QGuiApplication::primaryScreen();
}

void KeepWhollyOnScreen(QWidget& window, int margin) {
  if (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
    return;
  const QScreen* screen = ScreenFor(window);
  if (screen == nullptr) return;
  QRect area = screen->availableGeometry();
  const QRect frame = window.frameGeometry();
  // The margin only where the frame still fits with it.
  if (frame.width() + 2 * margin <= area.width()) area.adjust(margin, 0, -margin, 0);
  if (frame.height() + 2 * margin <= area.height()) area.adjust(0, margin, 0, -margin);
  if (forms::LiesWithin(RectOf(frame), RectOf(area))) return;
  const forms::WindowRect fitted = forms::FitFrame(RectOf(frame), RectOf(area), Resizable(window));
  // The borders the frame adds to the client area stay as they are.
  const QSize borders = frame.size() - window.size();
  if (fitted.width != frame.width() || fitted.height != frame.height())
    window.resize(std::max(1, fitted.width - borders.width()),
                  std::max(1, fitted.height - borders.height()));
  window.move(fitted.left, fitted.top);
}

ScreenKeeper::ScreenKeeper(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("qzarn-screen-keeper"));
  for (QScreen* screen : QGuiApplication::screens())
    WatchScreen(screen);
  connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* s) { WatchScreen(s); });
  // The windows of a screen that went are on another one now.
  connect(qApp, &QGuiApplication::screenRemoved, this,
          [] { QTimer::singleShot(0, qApp, &ScreenKeeper::FitAllWindows); });
}

void ScreenKeeper::Install() {
  if (qApp == nullptr || qApp->findChild<ScreenKeeper*>(QStringLiteral("qzarn-screen-keeper"),
                                                        Qt::FindDirectChildrenOnly) != nullptr)
    return;
  qApp->installEventFilter(new ScreenKeeper(qApp));
}

void ScreenKeeper::WatchScreen(QScreen* screen) {
  connect(screen, &QScreen::availableGeometryChanged, this, [] { FitAllWindows(); });
}

void ScreenKeeper::FitAllWindows() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && KeptWindow(*window)) KeepWhollyOnScreen(*window);
}

bool ScreenKeeper::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched->isWidgetType()) {
    auto* window = static_cast<QWidget*>(watched);
    if (KeptWindow(*window)) {
      KeepWhollyOnScreen(*window);
      // Window managers add the frame's borders once the window is mapped.
      QTimer::singleShot(0, window, [w = QPointer<QWidget>(window)] {
        if (w && w->isVisible()) KeepWhollyOnScreen(*w);
      });
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace qzarn::ui
