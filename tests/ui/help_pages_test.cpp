// The help pages compiled into the program: every context a window opens has a
// page, and the pages hang together (titles, way back, links that resolve).
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
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

TEST(HelpPages, EveryInternalLinkResolvesAndTheContentsListEveryPage) {
  static const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)[^\"]*\""));
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

}  // namespace
}  // namespace qzarn::ui
