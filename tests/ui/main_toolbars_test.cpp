// The three tool bars built from the command catalogue: defaults, layouts read
// from the settings, the limit of a bar, and buttons that are the menus' commands.
#include "ui/main_window_fixture.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

namespace qzarn::shell {
namespace {

TEST_F(MainWindowTest, ToolbarsFollowTheirLayoutStrings) {
  MainWindow w(Options());
  w.Start({});
  const char* defaults[] = {
      "500150025003500650005022502450235000500850095010500050115012501350145020501550005021",
      "5050505150525053505450555056505750585059506050615062506350645066",
      "510051025101500051035104510551065110510751085109"};
  for (int bar = 1; bar <= 3; ++bar)
    EXPECT_EQ(w.SaveToolbar(bar), defaults[bar - 1]) << bar;

  struct Case {
    const char* layout;
    const char* saved;
    std::size_t errors;
  };
  const Case cases[] = {
      {"500150025000", "500150025000", 0}, {"50015999", "5001", 0},
      {"50025001", "50025001", 0},         {"50015001", "5001", 0},  // a command has one button
      {"5001ABCD", defaults[0], 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    questions_.errors.clear();
    w.LoadToolbar(1, c.layout);
    EXPECT_EQ(w.SaveToolbar(1), c.saved);
    ASSERT_EQ(questions_.errors.size(), c.errors);
    if (c.errors > 0) {
      EXPECT_EQ(questions_.errors[0],
                QStringLiteral("設定ﾌｧｲﾙに誤りがあります．\n｢ﾂｰﾙﾊﾞｰ1｣を初期設定に戻します．"));
    }
  }

  // A hostile layout: fifty controls and one message.
  questions_.errors.clear();
  std::string separators;
  for (int i = 0; i < 400; ++i)
    separators += "5000";
  w.LoadToolbar(2, separators);
  EXPECT_EQ(w.ToolbarControlCount(2), 50);
  EXPECT_EQ(questions_.errors.size(), 1U);
  questions_.errors.clear();
  EXPECT_FALSE(w.AddCommand(2, 0, -1));
  EXPECT_EQ(questions_.errors, std::vector<QString>{QStringLiteral(
                                   "このツールバーには、これ以上メニューを配置できません．")});

  // "開く" put before "新規" is saved first; the button is the menu's command.
  w.LoadToolbar(1, "5001");
  EXPECT_TRUE(w.AddCommand(1, 2, 0));
  EXPECT_EQ(w.SaveToolbar(1), "50025001");
  auto* open = w.findChild<QToolButton*>(QStringLiteral("Command2"));
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->defaultAction(), w.command(QStringLiteral("M_Open")));
  EXPECT_EQ(open->accessibleName(), QStringLiteral("既存のファイルを開く"));
  EXPECT_EQ(open->defaultAction()->toolTip(), QStringLiteral("開く(Ctrl+O)"));
  EXPECT_TRUE(w.CommandPlaced(2));
  EXPECT_FALSE(w.CommandPlaced(21));
}

// The bands' visibility and layouts go to the settings and come back from them.
TEST_F(MainWindowTest, ToolbarVisibilityAndLayoutsRoundTripThroughTheSettings) {
  MainWindow w(Options());
  w.Start({});
  w.LoadToolbar(3, "51005000");
  w.command(QStringLiteral("M_ToolBar2"))->setChecked(false);
  w.StoreToolbarsInSettings();
  UserSettings& u = w.settings().user();
  EXPECT_EQ(u.tBar3, "51005000");
  EXPECT_FALSE(u.tBar2_Visible);
  EXPECT_TRUE(u.tBar1_Visible);

  u.tBar2_Visible = true;
  u.tBar1_Visible = false;
  u.tBar3 = "5103";
  w.LoadToolbarsFromSettings();
  EXPECT_TRUE(w.command(QStringLiteral("M_ToolBar2"))->isChecked());
  EXPECT_FALSE(w.command(QStringLiteral("M_ToolBar1"))->isChecked());
  EXPECT_EQ(w.SaveToolbar(3), "5103");
}

}  // namespace
}  // namespace qzarn::shell
