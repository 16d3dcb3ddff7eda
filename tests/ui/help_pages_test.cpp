// The help pages compiled into the program: every context a window opens has a
// page, and the pages hang together (titles, way back, links that resolve).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

// Core headers before Qt's, whose "slots" keyword is a macro.
#include "expr/engine.h"
#include "expr/function_catalogue.h"
#include "forms/property_form.h"
#include "render/gallery_sheets.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

#include "ui/help_window.h"

namespace qzarn::ui {
namespace {

// Every help context that a window, dialog or help button of the program opens.
constexpr int kOpenedContexts[] = {
    kHelpContents,
    // The figure property dialogs (1005 serves both intersection dialogs).
    1001, 1002, 1003, 1004, 1005, 1006, 1008, 1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018,
    1021, 1022, 1023, 1024, 1030, 1031, 1040, 1041, 1042, 1050, 1051,
    // Standard and user-defined palettes, coordinate system, imports, palette
    // editor and wizard, variable table, intermediate equations (window and
    // help button), options, quick lesson.
    1500, 1510, 2000, 2010, 2020, 2030, 2040, 2090, 2100, 2130, 2110, 3000,
    // The tool-bar customisation window.
    2140};

QString ReadResource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

QString Title(const QString& html) {
  static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
  return title.match(html).captured(1).trimmed();
}

TEST(HelpPages, EveryOpenedContextHasATitledPageWithAWayBackToTheContents) {
  for (int context : kOpenedContexts) {
    SCOPED_TRACE(context);
    ASSERT_TRUE(HasHelpPage(context));
    const QString html = ReadResource(QStringLiteral(":") + HelpPageUrl(context).path());
    EXPECT_FALSE(Title(html).isEmpty());
    EXPECT_TRUE(context == kHelpContents || html.contains(QStringLiteral("href=\"index.html\"")));
  }
}

// Every help context the program can ask for: the property dialogs' member
// tables, and every number the sources hand to the help window (literal
// arguments of ShowHelpTopic and the constants named ...HelpContext), so a
// window added later without its page fails here.
std::set<int> ContextsNamedInTheSources() {
  std::set<int> contexts;
  static const QRegularExpression named(
      QStringLiteral("(?:ShowHelpTopic\\(\\s*|HelpContext\\s*=\\s*|help_context\\s*=\\s*|"
                     "kQuickLesson\\s*=\\s*)(\\d+)"));
  QDirIterator files(QStringLiteral(QZARN_SOURCE_DIR "/src"), {"*.cpp", "*.h"}, QDir::Files,
                     QDirIterator::Subdirectories);
  while (files.hasNext()) {
    const QString text = ReadResource(files.next());
    for (const QRegularExpressionMatch& m : named.globalMatch(text))
      contexts.insert(m.captured(1).toInt());
  }
  return contexts;
}

std::set<int> ContextsUsedByTheProgram() {
  std::set<int> contexts = ContextsNamedInTheSources();
  contexts.insert(std::begin(kOpenedContexts), std::end(kOpenedContexts));
  for (const forms::MemberSpec* spec : forms::AllMembers())
    contexts.insert(spec->help_context);
  return contexts;
}

TEST(HelpPages, EveryContextTheProgramUsesOpensItsOwnPage) {
  // The scan finds the constants of the palettes, the options and the lesson.
  const std::set<int> named = ContextsNamedInTheSources();
  for (int context : {1500, 1510, 2000, 2110, kQuickLesson})
    EXPECT_TRUE(named.contains(context)) << context;
  const std::set<int> contexts = ContextsUsedByTheProgram();
  EXPECT_GE(contexts.size(), 40u);
  HelpWindow window;
  for (int context : contexts) {
    SCOPED_TRACE(context);
    EXPECT_TRUE(HasHelpPage(context));
    window.ShowTopic(context);
    EXPECT_EQ(window.currentPage(), HelpPageUrl(context));
    EXPECT_FALSE(window.browser().toPlainText().isEmpty());
  }
  window.close();
}

TEST(HelpPages, EveryInternalLinkResolvesAndTheContentsListEveryPage) {
  static const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"#]*)[^\"]*\""));
  const QDir folder(QStringLiteral(":/help"));
  const QStringList pages = folder.entryList({QStringLiteral("*.html")}, QDir::Files);
  ASSERT_GT(pages.size(), 40);
  const QString contents = ReadResource(folder.filePath(QStringLiteral("index.html")));
  for (const QString& page : pages) {
    SCOPED_TRACE(page.toStdString());
    const QString html = ReadResource(folder.filePath(page));
    EXPECT_FALSE(Title(html).isEmpty());
    if (page != QStringLiteral("index.html")) {
      EXPECT_TRUE(contents.contains(QStringLiteral("href=\"") + page + QLatin1Char('"')));
    }
    for (const QRegularExpressionMatch& m : link.globalMatch(html)) {
      const QString target = m.captured(1);
      if (target.contains(QLatin1Char(':'))) continue;  // a web address
      if (target.isEmpty()) continue;                   // an anchor on the page
      if (target.endsWith(QStringLiteral(".qzl"))) {    // a lesson sheet of the gallery
        EXPECT_TRUE(QFile::exists(QStringLiteral(QZARN_SOURCE_DIR "/examples/gallery/") + target))
            << target.toStdString();
        continue;
      }
      EXPECT_TRUE(QFile::exists(folder.filePath(target))) << target.toStdString();
    }
  }
}

TEST(HelpPages, TheWindowShowsTheTopicAskedForOrTheContents) {
  HelpWindow window;
  window.ShowTopic(1002);
  EXPECT_EQ(window.currentPage(), HelpPageUrl(1002));
  EXPECT_EQ(window.browser().documentTitle(), QStringLiteral("点の設定"));
  window.ShowTopic(2130);
  EXPECT_EQ(window.currentPage(), HelpPageUrl(2100));
  window.ShowTopic(9999);
  EXPECT_EQ(window.currentPage(), HelpPageUrl(kHelpContents));
  window.close();
}

// The gallery page shows every sheet's picture with its file name and a link
// that opens it; the lesson has one page per step, each with its picture.
TEST(HelpPages, TheGalleryAndTheLessonShowEveryPicture) {
  const QString gallery = ReadResource(QStringLiteral(":/help/gallery.html"));
  for (const examples::GallerySheet& sheet : examples::AllGallerySheets()) {
    const QString name = QString::fromLatin1(sheet.name);
    SCOPED_TRACE(sheet.name);
    EXPECT_TRUE(gallery.contains(QStringLiteral("src=\"gallery/%1.png\"").arg(name)));
    EXPECT_TRUE(gallery.contains(QStringLiteral("href=\"%1.qzl\"").arg(name)));
    EXPECT_TRUE(gallery.contains(QString::fromUtf8(sheet.title)));
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/gallery/%1.png").arg(name)));
  }
  for (int step = 1; step <= examples::kLessonSteps; ++step) {
    const QString page = ReadResource(QStringLiteral(":/help/lesson_%1.html").arg(step));
    EXPECT_TRUE(page.contains(QStringLiteral("src=\"lesson_%1.png\"").arg(step))) << step;
  }
}

// Links: a page of the handbook is shown, a lesson sheet goes to the program's
// open command from the gallery folder (by its bare name only), and nothing
// else reaches the opener.
TEST(HelpPages, LinksShowPagesAndOpenLessonSheets) {
  QStringList opened;
  SetHelpDocumentOpener([&opened](const QString& path) { opened << path; });
  HelpWindow window;
  window.ShowTopic(kQuickLesson);
  window.FollowLink(QUrl(QStringLiteral("lesson_2.html")));
  EXPECT_EQ(window.currentPage(), QUrl(QStringLiteral("qrc:/help/lesson_2.html")));
  window.FollowLink(QUrl(QStringLiteral("lissajous.qzl")));
  window.FollowLink(QUrl(QStringLiteral("../../etc/passwd.qzl")));
  window.FollowLink(QUrl(QStringLiteral("bad%20name.qzl")));
  const QString folder = HelpGalleryFolder();
  EXPECT_EQ(opened, QStringList({folder + QStringLiteral("/lissajous.qzl"),
                                 folder + QStringLiteral("/passwd.qzl")}));
  EXPECT_EQ(window.currentPage(), QUrl(QStringLiteral("qrc:/help/lesson_2.html")));
  // Run from the build folder, the sheets are the build's copy beside the
  // program, never a path of the source tree.
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/lissajous.qzl")));
  EXPECT_EQ(folder, QCoreApplication::applicationDirPath() + QStringLiteral("/gallery"));
  SetHelpDocumentOpener(nullptr);
  window.close();
}

// Every function of the catalogue has a row on the expression page, and
// every worked example there gives the value the page states.
TEST(HelpPages, TheExpressionPageShowsEveryFunctionWithAWorkingExample) {
  const QString page = ReadResource(QStringLiteral(":/help/4007.html"));
  static const QRegularExpression row(
      QStringLiteral("<tr><td>([^<]*)</td><td>[^\\n]*?</td><td>(.*)</td></tr>"));
  static const QRegularExpression example(
      QStringLiteral("<code>([^<]*)</code> = ([−\\-]?[0-9.]+)(…)?"));
  std::set<QString> formats;
  ExprEngine engine;
  VariableTable variables{};
  variables.reset_for_new_screen();
  int examples_checked = 0;
  for (const QRegularExpressionMatch& r : row.globalMatch(page)) {
    formats.insert(r.captured(1));
    for (const QRegularExpressionMatch& e : example.globalMatch(r.captured(2))) {
      const QString text = e.captured(1).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
      SCOPED_TRACE(text.toStdString());
      QString stated = e.captured(2);
      stated.replace(QStringLiteral("−"), QStringLiteral("-"));
      const double value = engine.EvaluateText(variables, text.toStdString());
      if (e.captured(3).isEmpty()) {
        EXPECT_NEAR(value, stated.toDouble(), 1e-9);
      } else {  // the stated digits are the value cut short
        const int digits = static_cast<int>(stated.section(QLatin1Char('.'), 1).size());
        EXPECT_NEAR(value, stated.toDouble(), std::pow(10.0, -digits) * 1.0001);
      }
      ++examples_checked;
    }
  }
  for (const FunctionCatalogueEntry& entry : FunctionCatalogue()) {
    const QString format = QString::fromStdU16String(std::u16string(entry.format));
    EXPECT_TRUE(formats.contains(format)) << format.toStdString();
  }
  EXPECT_GE(examples_checked, static_cast<int>(kFunctionCatalogueSize));
}

// Pictures of the help window on the lesson, the gallery, a search and the
// expression page, for looking at (written only when QZARN_SCREENSHOTS names
// a folder).
TEST(HelpPages, Screenshots) {
  const char* folder = std::getenv("QZARN_SCREENSHOTS");
  if (folder == nullptr) GTEST_SKIP() << "QZARN_SCREENSHOTS not set";
  QDir().mkpath(QString::fromLocal8Bit(folder));
  HelpWindow window;
  window.resize(900, 700);
  window.show();
  const auto shoot = [&](const char* name) {
    QApplication::processEvents();
    window.grab().save(QStringLiteral("%1/help_%2.png").arg(folder).arg(QLatin1String(name)));
  };
  window.ShowTopic(kQuickLesson);
  shoot("lesson");
  window.FollowLink(QUrl(QStringLiteral("lesson_4.html")));
  shoot("lesson_4");
  window.FollowLink(QUrl(QStringLiteral("gallery.html")));
  shoot("gallery");
  window.FollowLink(QUrl(QStringLiteral("figures.html")));
  shoot("figures");
  window.ShowSearch();
  window.findChild<QLineEdit*>()->setText(QStringLiteral("軌跡"));
  QTest::keyClick(window.findChild<QLineEdit*>(), Qt::Key_Return);
  shoot("search");
}

}  // namespace
}  // namespace qzarn::ui
