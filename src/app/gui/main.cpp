// The desktop program: qzarn [FILE.qzl...]
#include "shell/main_window.h"

#include <QApplication>
#include <QTimer>
#include <cstdlib>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  qzarn::shell::ShellOptions options;
  options.settings =
      qzarn::resolve_settings_locations(qzarn::process_environment, qzarn::current_executable());
  // QZARN_UNDO_DIR moves the private snapshot folder (tests, several users of one account).
  const char* undo = std::getenv("QZARN_UNDO_DIR");
  options.undo_folder =
      undo != nullptr && undo[0] != '\0' ? undo : qzarn::TempFolder::DefaultPath();
  qzarn::shell::MainWindow window(std::move(options));
  window.show();
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  window.Start(arguments);
  // QZARN_GRAB_WINDOW=FILE.png: saves a picture of the window once it is drawn, then quits.
  if (const char* grab = std::getenv("QZARN_GRAB_WINDOW"); grab != nullptr && grab[0] != '\0') {
    QTimer::singleShot(1500, &window, [&window, grab] {
      window.grab().save(QString::fromLocal8Bit(grab));
      QApplication::quit();
    });
  }
  return QApplication::exec();
}
