// The desktop program: qzarn [FILE.qzl...]
#include "document/recovery.h"
#include "document/temp_folder.h"
#include "shell/main_window.h"
#include "shell/single_instance.h"
#include "shell/startup.h"

#include <unistd.h>
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  // Answered before Qt starts, so they work without a display.
  const std::vector<std::string> words(argv + 1, argv + argc);
  switch (qzarn::forms::EarlyActionOf(words)) {
    case qzarn::forms::EarlyAction::kHelp:
      std::fputs(qzarn::forms::UsageText("qzarn").c_str(), stdout);
      return 0;
    case qzarn::forms::EarlyAction::kVersion:
      std::fputs(qzarn::forms::VersionText().c_str(), stdout);
      return 0;
    case qzarn::forms::EarlyAction::kNone:
      break;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("qzarn"));
  QApplication::setDesktopFileName(QStringLiteral("org.qzarn.qzarn"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/qzarn.svg")));
  qzarn::shell::LoadQtJapanese(app);

  qzarn::shell::ShellOptions options;
  options.settings =
      qzarn::resolve_settings_locations(qzarn::process_environment, qzarn::current_executable());
  // QZARN_UNDO_DIR moves the private snapshot folder (tests, several users of one account).
  const char* undo = std::getenv("QZARN_UNDO_DIR");
  // The single-instance socket lives in the same folder, and only a folder private to the
  // user is trusted with it: in anybody else's, the paths handed over would reach them.
  const qzarn::PrivateFolderChoice folder = qzarn::ChoosePrivateFolder(
      undo != nullptr && undo[0] != '\0' ? undo : qzarn::TempFolder::DefaultPath());
  if (!folder.notice.empty()) std::fprintf(stderr, "qzarn: %s\n", folder.notice.c_str());
  options.undo_folder = folder.folder;
  // Recovery copies live on disk ($XDG_STATE_HOME), unlike the snapshots, so a power cut
  // does not take the unsaved work with it.
  options.recovery_folder = qzarn::DefaultRecoveryPath();
  // A folder made for this run only is removed again when it is empty.
  struct RemoveWhenEmpty {
    std::string folder;
    ~RemoveWhenEmpty() {
      if (!folder.empty()) ::rmdir(folder.c_str());
    }
  } unique_folder{folder.shared_name ? std::string() : folder.folder};
  // QZARN_RECOVERY_INTERVAL_MS: how often recovery copies are written (tests shorten it).
  if (const char* ms = std::getenv("QZARN_RECOVERY_INTERVAL_MS"); ms != nullptr && ms[0] != '\0')
    options.recovery_interval_ms = std::max(50, std::atoi(ms));

  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  const bool web_mode =
      !arguments.isEmpty() && arguments.front() == QLatin1String(qzarn::forms::kWebModeArgument);
  const bool single_instance = !web_mode && folder.shared_name;
  const QString socket =
      single_instance ? qzarn::shell::InstanceSocketPath(QString::fromStdString(folder.folder))
                      : QString();
  // A program already running opens our documents; the restricted mode always
  // gets a window of its own.
  if (single_instance) {
    QStringList files;
    const qzarn::forms::StartRequest request = qzarn::forms::ParseStartArguments(
        words, [](const std::string& p) { return QFileInfo::exists(QString::fromStdString(p)); });
    for (const std::string& f : request.files)
      files.push_back(QString::fromStdString(f));
    if (qzarn::shell::HandToRunningProgram(socket, files)) return 0;
  }

  qzarn::shell::MainWindow window(std::move(options));
  window.Start(arguments);
  qzarn::shell::InstanceServer server;
  if (single_instance && server.Listen(socket)) {
    QObject::connect(&server, &qzarn::shell::InstanceServer::openRequested, &window,
                     [&window](const QStringList& paths) {
                       window.OpenFiles(paths);
                       if (window.isMinimized()) window.showNormal();
                       window.raise();
                       window.activateWindow();
                     });
  }
  window.ShowPlaced();
  // QZARN_GRAB_WINDOW=FILE.png: saves a picture of the window once it is drawn, then quits.
  if (const char* grab = std::getenv("QZARN_GRAB_WINDOW"); grab != nullptr && grab[0] != '\0') {
    QTimer::singleShot(1500, &window, [&window, grab] {
      window.grab().save(QString::fromLocal8Bit(grab));
      QApplication::quit();
    });
  }
  // QZARN_TEST_EDITS="150!,75": scripted edits for tests that kill the program, one per screen
  // in window order: the zoom to set, "!" to take a snapshot (一時保存) afterwards.
  // QZARN_TEST_DUMP=DIR then receives each screen's document as it stands (screen-N.qzl) and
  // a file "ready".
  if (const char* edits = std::getenv("QZARN_TEST_EDITS"); edits != nullptr && edits[0] != '\0') {
    const QString script = QString::fromUtf8(edits);
    const char* dump = std::getenv("QZARN_TEST_DUMP");
    const QString dump_folder = dump != nullptr ? QString::fromLocal8Bit(dump) : QString();
    QTimer::singleShot(0, &window, [&window, script, dump_folder] {
      qzarn::shell::ApplyScriptedEdits(window, script, dump_folder);
    });
  }
  return QApplication::exec();
}
