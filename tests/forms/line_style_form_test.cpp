#include "forms/line_style_form.h"

#include <gtest/gtest.h>

#include "settings/ini_file.h"

namespace qzarn::forms {
namespace {

using render::LineStyleEntry;

std::string RowText(const LineCellRow& row) {
  std::string s;
  for (LineCell c : row)
    s += c == LineCell::kEmpty ? '.' : (c == LineCell::kGap ? 'g' : 'M');
  while (!s.empty() && s.back() == '.')
    s.pop_back();
  return s;
}

TEST(LineStyleForm, DefaultStylesLayOutAndEncodeBackUnchanged) {
  const char* rows[] = {"gggMMMM", "ggM", "gggMggMMMMMMM", "gggMggMggMMMMMMM"};
  for (int i = 0; i < render::kLineStyleEntries; ++i) {
    const LineStyleEntry& e = render::DefaultLineStyles().entries[i];
    const LineCellRow row = CellsOfEntry(e);
    EXPECT_EQ(RowText(row), rows[i]) << i;
    LineStyleEntry back = e;
    back.runs = {};
    EncodeCells(row, back);
    EXPECT_EQ(back, e) << i;
  }
}

TEST(LineStyleForm, ClickingCyclesCellsAndReencodes) {
  struct Case {
    std::vector<int> clicks;  // cell indices on the dash style
    std::string row;
    std::vector<int> runs;
  } cases[] = {
      {{}, "gggMMMM", {2, 4}},
      {{0}, "gggMMMM", {2, 4}},        // the first cell never changes
      {{7}, "gggMMMMg", {2, 4, 1}},    // empty -> gap
      {{7, 7}, "gggMMMMM", {2, 5}},    // gap -> mark
      {{7, 7, 7}, "gggMMMM", {2, 4}},  // mark -> empty
      {{1}, "gMgMMMM", {0, 1, 1, 4}},  // a mark in the second cell: first gap 0
      {{3}, "ggg.MMM", {2}},           // the row ends at the first empty cell
      {{35}, "gggMMMM" + std::string(28, '.') + "g", {2, 4}},  // not reached
  };
  for (const Case& c : cases) {
    LineStyleForm form(render::DefaultLineStyles());
    for (int i : c.clicks)
      form.ClickCell(i);
    EXPECT_EQ(RowText(form.cells(0)), c.row);
    const LineStyleEntry& e = form.table().entries[0];
    ASSERT_EQ(e.run_count, static_cast<int>(c.runs.size())) << c.row;
    for (std::size_t i = 0; i < c.runs.size(); ++i)
      EXPECT_EQ(e.runs[i], c.runs[i]) << c.row << " run " << i;
  }
}

TEST(LineStyleForm, FullRowOfAlternatingCellsKeepsEveryRun) {
  LineStyleForm form(render::DefaultLineStyles());
  form.SetCurrent(1);
  // Turn the dot row into 36 alternating cells: gap, mark, gap, mark ...
  for (int i = 1; i < kLineStyleCells; ++i) {
    const LineCell want = i % 2 == 0 ? LineCell::kGap : LineCell::kMark;
    while (form.cells(1)[i] != want)
      form.ClickCell(i);
  }
  const LineStyleEntry& e = form.table().entries[1];
  EXPECT_EQ(e.run_count, 36);
  EXPECT_EQ(e.runs[0], 0);
  EXPECT_EQ(e.runs[35], 1);
  // Through the settings and back, nothing is lost.
  UserSettings settings;
  StoreLineStylesInSettings(form.table(), settings);
  EXPECT_EQ(LineStylesFromSettings(settings), form.table());
}

TEST(LineStyleForm, GapFactorClampAndResets) {
  LineStyleForm form(render::DefaultLineStyles());
  form.SetCurrent(2);
  struct {
    double typed, stored;
  } cases[] = {{0.05, 0.1}, {0.1, 0.1}, {2.5, 2.5}, {10, 10}, {11, 10}, {-1, 0.1}};
  for (auto c : cases) {
    form.SetGapFactor(c.typed);
    EXPECT_DOUBLE_EQ(form.gap_factor(), c.stored);
  }
  EXPECT_DOUBLE_EQ(form.table().entries[0].gap_factor, 1.0);  // only the current style
  form.ClickCell(20);
  form.ResetCurrent();
  EXPECT_EQ(form.table().entries[2], render::DefaultLineStyles().entries[2]);

  render::LineStyleTable custom = render::DefaultLineStyles();
  custom.entries[0].runs[1] = 9;
  custom.entries[3].gap_factor = 3;
  LineStyleForm edited(custom);
  edited.SetCurrent(3);
  edited.SetGapFactor(5);
  edited.ResetCurrent();
  EXPECT_DOUBLE_EQ(edited.table().entries[3].gap_factor, 3);  // as opened, not built-in
  edited.ResetAll();
  EXPECT_EQ(edited.table(), render::DefaultLineStyles());
  EXPECT_EQ(RowText(edited.cells(0)), "gggMMMM");
}

TEST(LineStyleForm, SettingsCarryTheStyles) {
  UserSettings settings;
  EXPECT_EQ(LineStylesFromSettings(settings), render::DefaultLineStyles());
  render::LineStyleTable t = render::DefaultLineStyles();
  t.entries[2].run_count = 3;
  t.entries[2].runs = {0, 5, 1};
  t.entries[2].gap_factor = 0.3;
  StoreLineStylesInSettings(t, settings);
  EXPECT_EQ(settings.LineBit2, "3,0,5,1,");
  EXPECT_DOUBLE_EQ(settings.LineBitSpace2, 0.3);
  EXPECT_EQ(LineStylesFromSettings(settings), t);
  // Through the file as well.
  IniFile ini;
  write_user_settings(settings, ini);
  EXPECT_EQ(LineStylesFromSettings(read_user_settings(ini)), t);
  settings.LineBit1 = "garbage";
  EXPECT_EQ(LineStylesFromSettings(settings).entries[1], render::DefaultLineStyles().entries[1]);
}

}  // namespace
}  // namespace qzarn::forms
