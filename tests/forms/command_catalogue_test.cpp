#include "forms/command_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace qzarn::forms {
namespace {

TEST(CommandCatalogueTest, DefinedNumbersAndSpecialEntries) {
  const auto& catalogue = CommandCatalogue();
  int defined = 0;
  for (int n = 0; n < kCatalogueSize; ++n) {
    const CommandEntry& e = catalogue[static_cast<std::size_t>(n)];
    EXPECT_EQ(e.Number, n);
    const bool expected = n <= 24 || (n >= 50 && n <= 83) || (n >= 100 && n <= 110);
    EXPECT_EQ(e.defined(), expected) << n;
    if (!e.defined()) continue;
    ++defined;
    EXPECT_FALSE(e.LongName.empty()) << n;
    if (e.Kind == CommandKind::kButton) {
      EXPECT_EQ(e.Width, 23) << n;
      // Every button but the separator triggers a command and has an icon
      // (81 and 82 need an equation editor this system does not have).
      if (n != 0 && n != 81 && n != 82) {
        EXPECT_FALSE(e.Action.empty()) << n;
      }
      EXPECT_EQ(e.ImageIndex, n == 0 ? -1 : n);
    } else {
      EXPECT_TRUE(e.Caption.empty()) << n;
    }
  }
  EXPECT_EQ(defined, 25 + 34 + 11);

  struct Special {
    int number;
    CommandKind kind;
    int width;
    ButtonStyle style;
  };
  const Special specials[] = {
      {11, CommandKind::kButton, 23, ButtonStyle::kCheck},
      {12, CommandKind::kButton, 23, ButtonStyle::kDropDown},
      {16, CommandKind::kCombo, 59, ButtonStyle::kDivider},
      {21, CommandKind::kSpin, 58, ButtonStyle::kPlain},
      {57, CommandKind::kButton, 23, ButtonStyle::kDropDown},
      {60, CommandKind::kButton, 23, ButtonStyle::kDropDown},
      {103, CommandKind::kCombo, 76, ButtonStyle::kPlain},
      {104, CommandKind::kCombo, 50, ButtonStyle::kPlain},
      {107, CommandKind::kCombo, 117, ButtonStyle::kPlain},
      {110, CommandKind::kCombo, 76, ButtonStyle::kPlain},
  };
  for (const Special& s : specials) {
    const CommandEntry* e = CatalogueEntry(s.number);
    ASSERT_NE(e, nullptr) << s.number;
    EXPECT_EQ(e->Kind, s.kind) << s.number;
    EXPECT_EQ(e->Width, s.width) << s.number;
    EXPECT_EQ(e->Style, s.style) << s.number;
  }
  EXPECT_EQ(CatalogueEntry(1)->LongName, "画面の新規作成");
  EXPECT_EQ(CatalogueEntry(110)->LongName, "図形の内部や背景の色");
  EXPECT_EQ(CatalogueEntry(74)->Hint, "円(３点指定)");
  EXPECT_EQ(CatalogueEntry(25), nullptr);
  EXPECT_EQ(CatalogueEntry(151), nullptr);
  EXPECT_EQ(CatalogueEntry(-1), nullptr);
}

TEST(CommandCatalogueTest, LayoutStrings) {
  struct Case {
    const char* layout;
    std::vector<int> commands;
    bool reset;
  };
  const std::vector<int> default1(DefaultToolbarLayout(1).begin(), DefaultToolbarLayout(1).end());
  const Case cases[] = {
      {"500150025000", {1, 2, 0}, false},
      {"50015999", {1}, false},      // 5999 is beyond the catalogue
      {"50015025", {1}, false},      // 25 has no command
      {"49995001", {1}, false},      // below the catalogue
      {"", {}, false},               // an empty bar stays empty
      {"5001ABCD", default1, true},  // not a number
      {"5001500", {1}, false},       // a short last group is a number too: -4500, dropped
      {"50015 01", default1, true},  // a blank inside a group
      {"5001-001", default1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    const ToolbarLoad load = LoadToolbarLayout(1, c.layout);
    EXPECT_EQ(load.commands, c.commands);
    EXPECT_EQ(load.reset, c.reset);
  }
  // The stored defaults are the defaults.
  const char* stored[] = {
      "500150025003500650005022502450235000500850095010500050115012501350145020501550005021",
      "5050505150525053505450555056505750585059506050615062506350645066",
      "510051025101500051035104510551065110510751085109"};
  for (int bar = 1; bar <= kToolbarCount; ++bar) {
    const ToolbarLoad load = LoadToolbarLayout(bar, stored[bar - 1]);
    const std::span<const int> expected = DefaultToolbarLayout(bar);
    EXPECT_EQ(load.commands, std::vector<int>(expected.begin(), expected.end())) << bar;
    EXPECT_EQ(SaveToolbarLayout(load.commands), stored[bar - 1]);
  }
  // "開く" moved before "新規" is written first.
  EXPECT_EQ(SaveToolbarLayout(std::vector<int>{2, 1}), "50025001");
}

TEST(CommandCatalogueTest, AHostileLayoutPlacesAtMostFiftyControls) {
  std::string layout;
  for (int i = 0; i < 5000; ++i)
    layout += "5000";
  ToolbarLoad load = LoadToolbarLayout(2, layout);
  EXPECT_EQ(load.commands.size(), static_cast<std::size_t>(kMaxToolbarControls));
  EXPECT_TRUE(load.truncated);
  EXPECT_FALSE(load.reset);
  // A malformed group after the limit still resets the bar, without the truncation notice.
  load = LoadToolbarLayout(2, layout + "50X1");
  EXPECT_TRUE(load.reset);
  EXPECT_FALSE(load.truncated);
  EXPECT_EQ(load.commands.size(), DefaultToolbarLayout(2).size());
  // Exactly fifty fit without a notice.
  load = LoadToolbarLayout(2, layout.substr(0, 4 * kMaxToolbarControls));
  EXPECT_FALSE(load.truncated);
  EXPECT_EQ(ToolbarResetMessage(3), "設定ﾌｧｲﾙに誤りがあります．\n｢ﾂｰﾙﾊﾞｰ3｣を初期設定に戻します．");
}

TEST(CommandCatalogueTest, ADropGoesBeforeTheFirstControlRightOfIt) {
  const int centres[] = {10, 30, 50};
  struct Case {
    int x;
    int index;
  };
  for (const Case& c :
       {Case{0, 0}, Case{10, 1}, Case{11, 1}, Case{49, 2}, Case{50, 3}, Case{99, 3}})
    EXPECT_EQ(ToolbarDropIndex(centres, c.x), c.index) << c.x;
  EXPECT_EQ(ToolbarDropIndex({}, 5), 0);
}

}  // namespace
}  // namespace qzarn::forms
