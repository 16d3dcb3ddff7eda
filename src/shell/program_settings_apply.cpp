// The settings put into effect: at start-up, after the options change, and the
// window's own section written back at exit.

#include "shell/main_window.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include "settings/window_placement.h"
#include "ui/screen_keeper.h"

namespace qzarn::shell {
namespace {

// The display the frame lives on (the primary one before it is shown).
QRect DisplayGeometry(const QWidget& widget) {
  const QScreen* display = widget.screen();
  if (display == nullptr) display = QGuiApplication::primaryScreen();
  return display != nullptr ? display->geometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

void MainWindow::ApplySettings() {
  const forms::ProgramOptions o = forms::ProgramOptionsFrom(settings_.user(), settings_.program());
  // Only what the settings decide changes; antialiasing and the window font stay.
  render_.layout = o.render.layout;
  render_.selection_colour_reversed = o.render.selection_colour_reversed;
  render_.print_line_width = o.render.print_line_width;
  render_.print_black = o.render.print_black;
  render_.tangent = o.render.tangent;
  render_.axis_precision = o.render.axis_precision;
  line_styles_ = o.line_styles;
  render_.line_styles = &line_styles_;
  expr_.int_gap = o.int_gap;
  if (!env_) return;
  env_->hit = o.hit;
  env_->save = o.save;
  env_->font = o.font;
  env_->drag_drop = o.drag_drop;
  env_->hint_popup = o.hint_popup;
  env_->edit_attr = o.edit_attr;
  env_->cont_attrib = o.cont_attrib;
  // Snapshots are always written plain; the picture options still count.
  session_->store().save = o.save;
  for (ui::DocumentWindow* w : documents())
    w->ApplyEnvironment();
}

NewScreenDefaults MainWindow::NewScreenSettings() const {
  const QRect display = DisplayGeometry(*this);
  return NewScreenDefaultsFromSettings(settings_.user(), display.width(), display.height());
}

void MainWindow::PlaceFromSettings() {
  if (start_.web_mode) return;  // centred once shown
  // Stored positions count from the display's corner; the frame then goes
  // wholly onto the part of it that windows may use (the whole screen of the
  // first start less the panels, and less the frame's own borders).
  const QRect display = DisplayGeometry(*this);
  const WindowBounds b = place_main_window(settings_.user(), display.width(), display.height());
  resize(b.width, b.height);
  move(display.left() + b.left, display.top() + b.top);
  ui::KeepWhollyOnScreen(*this);
}

void MainWindow::StoreWindowPlacement() {
  // The restricted start mode's window is not the user's usual one.
  if (start_.web_mode || !started_) return;
  UserSettings& u = settings_.user();
  const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : QRect(pos(), size());
  if (normal.isValid()) {
    const QRect display = DisplayGeometry(*this);
    u.Left = normal.left() - display.left();
    u.Top = normal.top() - display.top();
    u.Width = normal.width();
    u.Height = normal.height();
  }
  u.WindowState = isMaximized() ? 2 : (isMinimized() ? 3 : 1);
}

void MainWindow::RememberFile(const QString& path) {
  const QFileInfo info(path);
  recent_.Add(info.absoluteFilePath().toStdString());
  settings_.user().RecentDir = info.absolutePath().toStdString();
  QDir::setCurrent(info.absolutePath());
  emit recentFilesChanged();
}

QString MainWindow::DialogFolder() const {
  const std::filesystem::path folder = forms::DialogStartFolder(
      settings_.user(), settings_.locations().documents_folder,
      settings_.locations().program_folder, [](const std::filesystem::path& p) {
        return QFileInfo(QString::fromStdString(p.string())).isDir();
      });
  return QString::fromStdString(folder.string());
}

}  // namespace qzarn::shell
