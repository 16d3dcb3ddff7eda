// The frame wired to the rest of the system: settings in effect, window
// placement, recent files, same-file reopening, dropped files, the second
// start handing its files over, Qt's Japanese texts, --help and --version.
#include "shell/main_window.h"
#include "shell/single_instance.h"
#include "shell/startup.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTranslator>
#include <QUrl>

#include <QTest>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/text_encoding.h"

namespace qzarn::shell {
namespace {

namespace fs = std::filesystem;

class QuietQuestions final : public ui::DocumentQuestions {
 public:
  ui::SaveChoice AskSaveChanges(QWidget*, const QString&) override { return ui::SaveChoice::kNo; }
  std::optional<QString> AskSavePath(QWidget*, const QString&) override { return std::nullopt; }
  void ShowError(QWidget*, const QString& text) override { errors.push_back(text); }
  bool AskYesNo(QWidget*, const QString&) override { return true; }
  std::vector<QString> errors;
};

const QString kExample = QStringLiteral(QZARN_SOURCE_DIR "/examples/areas.qzl");

class ShellWiringTest : public ::testing::Test {
 protected:
  fs::path Root() const { return temp_.path().toStdString(); }

  ShellOptions Options() {
    ShellOptions o;
    o.settings.user_file = Root() / "user.ini";
    o.settings.program_file = Root() / "program.ini";
    o.settings.documents_folder = Root() / "docs";
    o.settings.program_folder = Root();
    o.undo_folder = (Root() / "undo").string();
    o.questions = &questions_;
    return o;
  }

  // Settings files are code page 932, like the ones users keep.
  void Write(const char* name, const std::string& utf8) {
    std::ofstream(Root() / name, std::ios::binary) << utf8_to_cp932(utf8).bytes;
  }
  std::string Read(const char* name) {
    std::ifstream in(Root() / name, std::ios::binary);
    return cp932_to_utf8(std::string(std::istreambuf_iterator<char>(in), {}));
  }
  QString Copy(const QString& to) {
    QDir().mkpath(QFileInfo(to).absolutePath());
    EXPECT_TRUE(QFile::copy(kExample, to));
    return to;
  }

  static bool SendClose(QWidget& w) {
    QCloseEvent close;
    QApplication::sendEvent(&w, &close);
    return close.isAccepted();
  }

  QTemporaryDir temp_;
  QuietQuestions questions_;
};

TEST_F(ShellWiringTest, SettingsFilesReachEveryPartAndApplyAgainAfterAChange) {
  Write("user.ini",
        "[Option]\nFindDispFigure=1\nTangent=40\nAxisPrecision=4\nPointZoomFlag=0\n"
        "cCharSpace=0.5\nInitFont=ＭＳ 明朝\nDragDrop=0\nHintPopup=0\nEditAttr=0\nContAttrib=0\n"
        "SelColorRev=0\nCompressMode=0\nLineBit0=2,6,2,\n[Axis]\nAxis_Char_Zero=-0.9\n");
  Write("program.ini", "[Find]\nPointFindValue=4\n[Math]\nMath_Int_Limit=0.3\n");
  MainWindow w(Options());
  w.Start({});
  const ui::DocumentEnvironment* env = w.environment();
  ASSERT_NE(env, nullptr);
  EXPECT_TRUE(env->hit.shown_only);
  EXPECT_EQ(env->hit.factors.PointFindValue, 4);
  EXPECT_FALSE(env->hit.point_zoom);
  EXPECT_EQ(env->render.tangent, 40);
  EXPECT_EQ(env->render.axis_precision, 4);
  EXPECT_EQ(env->render.layout.char_space, 0.5);
  EXPECT_EQ(env->render.layout.axis_char_zero, -0.9);
  EXPECT_FALSE(env->render.selection_colour_reversed);
  ASSERT_NE(env->render.line_styles, nullptr);
  EXPECT_EQ(env->render.line_styles->entries[0].runs[0], 6);
  EXPECT_EQ(w.expressionEngine().int_gap, 0.3);
  EXPECT_EQ(cp932_to_utf8(env->font.FontName), "ＭＳ 明朝");
  EXPECT_FALSE(env->drag_drop || env->hint_popup || env->edit_attr || env->cont_attrib);
  EXPECT_FALSE(env->save.compressed);

  // The options dialog changes the settings and calls ApplySettings.
  w.settings().user().FindDispFigure = false;
  w.settings().user().Tangent = 300;
  w.settings().program().Math_Int_Limit = 0.05;
  w.ApplySettings();
  EXPECT_FALSE(env->hit.shown_only);
  EXPECT_EQ(env->render.tangent, 300);
  EXPECT_EQ(w.expressionEngine().int_gap, 0.05);
  EXPECT_TRUE(questions_.errors.empty());
}

TEST_F(ShellWiringTest, NewScreensAreSizedFromTheRealDisplay) {
  const int display = QGuiApplication::primaryScreen()->geometry().width();
  {
    MainWindow w(Options());
    w.Start({});
    ASSERT_NE(w.activeDocument(), nullptr);
    EXPECT_EQ(w.activeDocument()->screen()->View().ScreenWidth, std::clamp(display - 21, 50, 2500));
    EXPECT_EQ(w.activeDocument()->screen()->View().ScreenHeight,
              std::clamp(display - 21, 50, 2500));
  }
  Write("user.ini", "[Option]\nInitScreenX=3000\nInitScreenY=10\n");
  MainWindow w(Options());
  w.Start({});
  EXPECT_EQ(w.activeDocument()->screen()->View().ScreenWidth, 2500);
  EXPECT_EQ(w.activeDocument()->screen()->View().ScreenHeight, 50);
}

TEST_F(ShellWiringTest, WindowPlacementIsReadClampedAndWrittenBack) {
  const QRect display = QGuiApplication::primaryScreen()->geometry();
  Write("user.ini", "[Window]\nLeft=30\nTop=40\nWidth=500\nHeight=100\nWindowState=1\n");
  {
    MainWindow w(Options());
    w.Start({});
    EXPECT_EQ(w.pos(), QPoint(30, 40));
    EXPECT_EQ(w.size(), QSize(500, 200));  // at least 200 high
    w.move(60, 70);
    ASSERT_TRUE(SendClose(w));
  }
  const std::string written = Read("user.ini");
  EXPECT_NE(written.find("Left=60"), std::string::npos) << written;
  EXPECT_NE(written.find("Height=200"), std::string::npos) << written;
  // A window lost beyond the display comes back to the edge.
  Write("user.ini", "[Window]\nLeft=" + std::to_string(display.width() + 50) + "\nTop=-900\n" +
                        "Width=400\nHeight=300\n");
  MainWindow w(Options());
  w.Start({});
  EXPECT_EQ(w.pos(), QPoint(0, 0));
}

TEST_F(ShellWiringTest, OpeningRemembersTheFileAndItsFolderAndReopensOnlyTheSameFile) {
  const QString a = Copy(temp_.path() + "/one/areas.qzl");
  const QString b = Copy(temp_.path() + "/two/areas.qzl");
  MainWindow w(Options());
  w.Start({a});
  QSignalSpy changed(&w, &MainWindow::recentFilesChanged);
  ASSERT_TRUE(w.OpenDocumentFile(b));
  // Another file with the same name opens beside the first instead of replacing it.
  EXPECT_EQ(w.documents().size(), 2);
  ASSERT_TRUE(w.OpenDocumentFile(temp_.path() + "/one/../one/areas.qzl"));
  EXPECT_EQ(w.documents().size(), 2);  // the same file: replaced in place
  EXPECT_EQ(changed.count(), 2);
  ASSERT_EQ(w.recentFiles().paths().size(), 2u);
  EXPECT_EQ(QString::fromStdString(w.recentFiles().paths()[1]), b);
  EXPECT_EQ(w.settings().user().RecentDir, (temp_.path() + "/one").toStdString());
  ASSERT_TRUE(SendClose(w));
  const std::string written = Read("user.ini");
  EXPECT_NE(written.find("File2=" + b.toStdString()), std::string::npos) << written;
}

TEST_F(ShellWiringTest, DroppedDocumentsOpenOthersAreRefused) {
  const QString upper = Copy(temp_.path() + "/UPPER.QZL");
  const QString text = temp_.path() + "/notes.txt";
  std::ofstream(text.toStdString()) << "x";
  const QList<QUrl> urls = {QUrl::fromLocalFile(upper), QUrl::fromLocalFile(text),
                            QUrl::fromLocalFile(temp_.path() + "/gone.qzl"),
                            QUrl(QStringLiteral("https://example.org/a.qzl")),
                            QUrl::fromLocalFile(kExample)};
  EXPECT_EQ(DroppedDocuments(urls), (QStringList{upper, kExample}));

  MainWindow w(Options());
  w.Start({});
  w.show();
  QMimeData data;
  data.setUrls(urls);
  // As a desktop delivers it: the drag enters (and is accepted), then drops.
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(w.documents().size(), 2);  // the untouched new screen was replaced
  EXPECT_TRUE(questions_.errors.empty());
}

TEST_F(ShellWiringTest, ASecondStartHandsItsDocumentsToTheRunningProgram) {
  const QString socket = InstanceSocketPath(temp_.path());
  InstanceServer server;
  ASSERT_TRUE(server.Listen(socket));
  // Only the owner may connect.
  EXPECT_EQ(QFileInfo(socket).permissions() &
                (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
            QFile::Permissions());
  QSignalSpy requested(&server, &InstanceServer::openRequested);
  const QString doc = Copy(temp_.path() + "/a b.qzl");
  ASSERT_TRUE(HandToRunningProgram(socket, {doc, temp_.path() + "/missing.qzl"}));
  ASSERT_TRUE(requested.wait(2000));
  EXPECT_EQ(requested.front().front().toStringList(), QStringList{doc});

  // A second server on the same socket is refused while the first answers;
  // a socket file nobody answers on is taken over.
  InstanceServer second;
  EXPECT_FALSE(second.Listen(socket));
  EXPECT_FALSE(HandToRunningProgram(temp_.path() + "/nobody.socket", {doc}, 200));
}

TEST_F(ShellWiringTest, OnlyAbsolutePathsOfExistingDocumentsAreAccepted) {
  const QString doc = Copy(temp_.path() + "/d.qzl");
  QDir().mkpath(temp_.path() + "/folder.qzl");
  QByteArray message = InstanceMessage(
      {doc, "d.qzl", temp_.path() + "/folder.qzl", temp_.path() + "/x.txt", QString(), doc});
  EXPECT_EQ(AcceptedPaths(message), (QStringList{doc, doc}));
  // An entry the connection cut off before its end is not opened.
  message.chop(1);
  EXPECT_EQ(AcceptedPaths(message), QStringList{doc});
  // Nor bytes that are not UTF-8, even when what they decode to names a document.
  Copy(temp_.path() + QChar(u'/') + QChar(0xFFFD) + ".qzl");
  EXPECT_TRUE(AcceptedPaths(doc.toUtf8().replace("d.qzl", "\xff.qzl") + '\0').isEmpty());
}

// A path may hold a line break: handed over, it must open that file, not the files its lines
// name.
TEST_F(ShellWiringTest, APathWithALineBreakOpensThatFile) {
  const QString root = temp_.path();
  const QString first = Copy(root + "/x.qzl");
  const QString second = Copy(root + "/y.qzl");
  const QString odd = Copy(root + "/x.qzl\n" + root + "/y.qzl");
  ASSERT_TRUE(QFileInfo(odd).isFile());
  InstanceServer server;
  const QString socket = InstanceSocketPath(root);
  ASSERT_TRUE(server.Listen(socket));
  QSignalSpy requested(&server, &InstanceServer::openRequested);
  ASSERT_TRUE(HandToRunningProgram(socket, {odd, first}));
  ASSERT_TRUE(requested.wait(2000));
  EXPECT_EQ(requested.front().front().toStringList(), (QStringList{odd, first}));
  (void)second;
}

// Raw connections to the socket, as a client that never sends anything makes them.
class RawClients {
 public:
  ~RawClients() {
    for (int fd : fds_)
      ::close(fd);
  }
  // Connects once; false when the server refused or is gone (errno tells), true when the
  // connection was made or only had to wait for room in the queue (then it is not kept).
  bool Connect(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(
        address.sun_path, name.constData(),
        std::min<std::size_t>(static_cast<std::size_t>(name.size()), sizeof address.sun_path - 1));
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
      fds_.push_back(fd);
      return true;
    }
    const int why = errno;
    ::close(fd);
    errno = why;
    return why == EAGAIN;
  }
  std::size_t size() const { return fds_.size(); }

 private:
  std::vector<int> fds_;
};

// Less the one the listing itself holds open.
int OpenDescriptors() {
  return static_cast<int>(
             std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator())) -
         1;
}

// Lowers the soft limit of open files for the test's duration.
class FileLimit {
 public:
  explicit FileLimit(rlim_t soft) {
    ::getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit lowered = saved_;
    lowered.rlim_cur = soft;
    ::setrlimit(RLIMIT_NOFILE, &lowered);
  }
  ~FileLimit() { Restore(); }
  void Restore() { ::setrlimit(RLIMIT_NOFILE, &saved_); }

 private:
  rlimit saved_{};
};

// Idle clients beyond what the process may open must not stop the server: it holds only a
// few connections, drops clients that send nothing, and listens again after an accept that
// failed for want of descriptors.
TEST_F(ShellWiringTest, IdleClientsBeyondTheFileLimitDoNotStopTheServer) {
  const QString doc = Copy(temp_.path() + "/a.qzl");
  InstanceLimits limits;
  limits.client_ms = 400;
  limits.relisten_ms = 100;
  InstanceServer server(nullptr, limits);
  const QString socket = InstanceSocketPath(temp_.path());
  ASSERT_TRUE(server.Listen(socket));
  QSignalSpy requested(&server, &InstanceServer::openRequested);
  const auto hand_over = [&] {
    requested.clear();
    return HandToRunningProgram(socket, {doc}, 500) && requested.wait(2000) &&
           requested.front().front().toStringList() == QStringList{doc};
  };
  {
    // Room for the test's own descriptors and 120 more: a server that accepted every one of
    // 100 idle clients would need 200.
    FileLimit limit(static_cast<rlim_t>(OpenDescriptors() + 120));
    RawClients idle;
    for (int attempt = 0; attempt < 2000 && idle.size() < 100; ++attempt) {
      ASSERT_TRUE(idle.Connect(socket)) << "client " << idle.size() << ": " << std::strerror(errno);
      QCoreApplication::processEvents();
    }
    ASSERT_EQ(idle.size(), 100u);
    QTest::qWait(50);
    EXPECT_LE(server.ClientCount(), limits.max_clients);
    EXPECT_TRUE(hand_over()) << "the server stopped while 100 idle clients were connected";
    // Clients that send nothing are dropped after their time.
    QTRY_COMPARE_WITH_TIMEOUT(server.ClientCount(), 0, 3000);
  }
  {
    // An accept that fails (no descriptor left) closes the local server; it listens again.
    RawClients waiting;
    FileLimit limit(static_cast<rlim_t>(OpenDescriptors() + 1));
    ASSERT_TRUE(waiting.Connect(socket));
    QTest::qWait(100);
    limit.Restore();
  }
  bool answered = false;
  for (int attempt = 0; attempt < 10 && !answered; ++attempt)
    answered = hand_over();
  EXPECT_TRUE(answered) << "the server did not listen again after an accept error";
}

TEST_F(ShellWiringTest, RestrictedStartModeHidesTheBarsAndTakesTheClientSize) {
  MainWindow w(Options());
  w.Start({QStringLiteral("webwebweb"), QStringLiteral("/X=2000")});
  EXPECT_TRUE(w.webMode());
  ASSERT_NE(w.environment(), nullptr);
  EXPECT_TRUE(w.environment()->web_mode);
  w.ShowPlaced();
  for (QToolBar* bar : w.findChildren<QToolBar*>())
    EXPECT_FALSE(bar->isVisible());
  EXPECT_EQ(w.mdiArea().width(), 1500);
  EXPECT_EQ(w.mdiArea().height(), 600);
}

TEST_F(ShellWiringTest, QtStandardTextsAreJapanese) {
  QTranslator* translator = LoadQtJapanese(*QCoreApplication::instance());
  if (translator == nullptr) GTEST_SKIP() << "qt6-translations-l10n is not installed";
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
  QCoreApplication::removeTranslator(translator);
  delete translator;
}

TEST(DesktopProgramTest, HelpAndVersionPrintWithoutADisplay) {
  for (const char* option : {"--help", "--version"}) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QZARN_GUI), {QString::fromLatin1(option)});
    ASSERT_TRUE(program.waitForFinished(10000)) << option;
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << option;
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    EXPECT_TRUE(out.contains(option == std::string("--help") ? "FILE.qzl" : "qzarn"))
        << out.toStdString();
  }
}

}  // namespace
}  // namespace qzarn::shell
