// The frame driven through its commands: start-up with and without documents,
// leftover snapshots, and exit with unsaved changes.
#include "shell/main_window.h"
#include "ui/main_window_fixture.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace qzarn::shell {
namespace {

namespace fs = std::filesystem;

const QString kExample = QStringLiteral(QZARN_SOURCE_DIR "/examples/areas.qzl");

TEST_F(MainWindowTest, CommandLineDocumentOpensIntoOneWindow) {
  MainWindow w(Options());
  w.Start({kExample});
  ASSERT_EQ(w.documents().size(), 1);
  ui::DocumentWindow* doc = w.activeDocument();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(QString::fromStdString(doc->screen()->Title), QStringLiteral("areas"));
  EXPECT_GE(doc->screen()->Figures.LastIndex, 0);
  EXPECT_FALSE(doc->screen()->Modified);
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Sorvane"));
  EXPECT_TRUE(questions_.errors.empty());
}

TEST_F(MainWindowTest, StartArgumentsThatOpenNothingGiveOneNewScreen) {
  const QString spaced = temp_.path() + "/two words.qzl";
  ASSERT_TRUE(QFile::copy(kExample, spaced));
  const QString txt = temp_.path() + "/notes.txt";
  Touch(txt.toStdString());
  struct Case {
    QStringList args;
    int documents;
    QString title;  // of the active screen; empty: any
  };
  const Case cases[] = {
      {{}, 1, {}},
      {{txt}, 1, {}},
      {{temp_.path() + "/missing.qzl"}, 1, {}},
      {spaced.split(' '), 1, QStringLiteral("two words")},
      {{kExample, spaced}, 2, QStringLiteral("two words")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join('|').toStdString());
    MainWindow w(Options());
    w.Start(c.args);
    EXPECT_EQ(w.documents().size(), c.documents);
    if (!c.title.isEmpty()) {
      EXPECT_EQ(QString::fromStdString(w.activeDocument()->screen()->Title), c.title);
    }
    // The first failing name ends processing silently.
    EXPECT_TRUE(questions_.errors.empty());
  }
}

TEST_F(MainWindowTest, NewCreatesAScreenAndOpeningReplacesAnUntouchedOne) {
  MainWindow w(Options());
  w.Start({});
  ASSERT_EQ(w.documents().size(), 1);
  w.newAction().trigger();
  EXPECT_EQ(w.documents().size(), 2);
  EXPECT_NE(w.documents()[0]->screen()->Title, w.documents()[1]->screen()->Title);

  MainWindow fresh(Options());
  fresh.Start({});
  ASSERT_TRUE(fresh.OpenDocumentFile(kExample));
  QApplication::processEvents();
  ASSERT_EQ(fresh.documents().size(), 1);
  EXPECT_EQ(QString::fromStdString(fresh.activeDocument()->screen()->Title),
            QStringLiteral("areas"));
  // Opening it again reuses the screen of that title.
  ASSERT_TRUE(fresh.OpenDocumentFile(kExample));
  QApplication::processEvents();
  EXPECT_EQ(fresh.documents().size(), 1);

  EXPECT_FALSE(fresh.OpenDocumentFile(temp_.path() + "/gone.qzl"));
  ASSERT_EQ(questions_.errors.size(), 1u);
  EXPECT_EQ(questions_.errors[0], "“" + temp_.path() + "/gone.qzl” が見つかりません．");
}

TEST_F(MainWindowTest, ClosingWithAnUnsavedChangeAsksAndCancelKeepsTheProgram) {
  MainWindow w(Options());
  w.show();
  w.Start({});
  ui::DocumentWindow* doc = w.activeDocument();
  ASSERT_NE(doc, nullptr);
  doc->screen()->Modified = true;
  questions_.answer = ui::SaveChoice::kCancel;
  EXPECT_FALSE(SendClose(w));
  EXPECT_EQ(questions_.asked.size(), 1u);
  EXPECT_EQ(w.documents().size(), 1);
  EXPECT_FALSE(fs::exists(Options().settings.user_file));

  // Saving through the dialog lets the exit go on and writes the settings.
  const QString saved = temp_.path() + "/kept.qzl";
  questions_.answer = ui::SaveChoice::kYes;
  questions_.path = saved;
  EXPECT_TRUE(SendClose(w));
  EXPECT_TRUE(QFile::exists(saved));
  EXPECT_TRUE(fs::exists(Options().settings.user_file));
}

TEST_F(MainWindowTest, SaveAndSaveAsWriteTheActiveScreen) {
  MainWindow w(Options());
  w.Start({});
  ui::DocumentWindow* doc = w.activeDocument();
  doc->screen()->Modified = true;
  // A screen without a file saves like save-as; a cancelled dialog saves nothing.
  questions_.path.reset();
  EXPECT_FALSE(w.SaveClick());
  EXPECT_TRUE(doc->screen()->Modified);
  const QString path = temp_.path() + "/first.qzl";
  questions_.path = path;
  EXPECT_TRUE(w.SaveClick());
  EXPECT_FALSE(doc->screen()->Modified);
  EXPECT_EQ(doc->windowTitle(), QStringLiteral("first"));
  QFile::remove(path);
  questions_.path.reset();
  EXPECT_TRUE(w.SaveClick());  // to its own file now, no dialog
  EXPECT_TRUE(QFile::exists(path));
}

// Typed into the tool bar's zoom box and confirmed with Enter, as a user does:
// every whole number is taken and clamped, not only the list's entries.
TEST_F(MainWindowTest, ZoomBoxSetsTheActiveScreensZoom) {
  MainWindow w(Options());
  w.Start({});
  w.show();
  QApplication::setActiveWindow(&w);
  QComboBox& box = w.zoomBox();
  const struct {
    const char* text;
    int zoom;
  } cases[] = {{"150%", 150}, {"5", 10}, {"abc", 10}, {"2000", 1000},
               {"75", 75},    {"2", 10}, {"300", 300}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&box, QString::fromUtf8(c.text));
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(w.activeDocument()->screen()->View().Zoom, c.zoom);
    EXPECT_EQ(box.currentText(), ui::ZoomText(c.zoom));
  }
  w.activeDocument()->screen()->Modified = false;
}

TEST_F(MainWindowTest, StartUpDeletesSnapshotsOfEndedRunsOnly) {
  const fs::path undo = Options().undo_folder;
  fs::create_directories(undo);
  fs::permissions(undo, fs::perms::owner_all, fs::perm_options::replace);
  const fs::path ended = undo / "qzarn-snap-2147483647-1.qzl";
  const fs::path running = undo / ("qzarn-snap-" + std::to_string(::getpid()) + "-1.qzl");
  Touch(ended);
  Touch(running);
  MainWindow w(Options());
  w.Start({});
  EXPECT_TRUE(w.undoAvailable());
  EXPECT_FALSE(fs::exists(ended));
  EXPECT_TRUE(fs::exists(running));
}

TEST_F(MainWindowTest, UnusablePrivateFolderStillRunsAndSaysSo) {
  ShellOptions o = Options();
  Touch(temp_.path().toStdString() + "/plainfile");
  o.undo_folder = temp_.path().toStdString() + "/plainfile";
  MainWindow w(std::move(o));
  w.Start({});
  EXPECT_FALSE(w.undoAvailable());
  EXPECT_EQ(w.documents().size(), 1);
  EXPECT_FALSE(w.statusText(2).isEmpty());
}

}  // namespace
}  // namespace qzarn::shell
