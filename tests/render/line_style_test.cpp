#include "render/line_style.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace qzarn::render {
namespace {

struct InkRun {
  int ink;
  int length;
  bool operator==(const InkRun&) const = default;
};

// The pattern as (ink, length) runs, easier to read than 0/1 bytes.
std::vector<InkRun> Runs(const std::vector<std::uint8_t>& pattern) {
  std::vector<InkRun> runs;
  for (std::uint8_t b : pattern) {
    if (runs.empty() || runs.back().ink != b) runs.push_back({b, 0});
    ++runs.back().length;
  }
  return runs;
}

TEST(LineStyleTable, BuiltInEntries) {
  const LineStyleTable& t = DefaultLineStyles();
  EXPECT_EQ(t.entries[0].run_count, 2);
  EXPECT_EQ(t.entries[0].runs[0], 2);
  EXPECT_EQ(t.entries[0].runs[1], 4);
  EXPECT_DOUBLE_EQ(t.entries[1].gap_factor, 1.4);
  EXPECT_EQ(t.entries[3].run_count, 6);
  EXPECT_EQ(t.entries[3].runs[5], 7);
  for (int i = 0; i < kLineStyleEntries; ++i) {
    EXPECT_EQ(FormatLineBit(t.entries[i]), kLineBitDefaults[i]);
  }
}

struct ExpandCase {
  const char* name;
  int entry;
  int width;
  int k;
  std::vector<InkRun> runs;
};

TEST(ExpandPattern, ScalesRunsWithPenWidth) {
  const std::vector<ExpandCase> cases = {
      {"dash width 1: gap 2, mark 4", 0, 1, 1, {{0, 2}, {1, 4}}},
      {"dot width 3: half 2, gap 2 + round(2 * 1.4)", 1, 3, 1, {{0, 5}, {1, 2}}},
      {"dash width 2: half 1, gap 2 + 1", 0, 2, 1, {{0, 3}, {1, 4}}},
      {"dash-dot width 1", 2, 1, 1, {{0, 2}, {1, 1}, {0, 2}, {1, 7}}},
      {"dash-dot-dot width 4: half 2, extra gap 3",
       3,
       4,
       1,
       {{0, 7}, {1, 2}, {0, 7}, {1, 2}, {0, 7}, {1, 14}}},
      {"dash width 1 printed at k 3: like width 3", 0, 1, 3, {{0, 6}, {1, 8}}},
  };
  for (const ExpandCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Runs(ExpandPattern(DefaultLineStyles().entries[c.entry], c.width, c.k)), c.runs);
  }
}

TEST(ExpandPattern, HalfTiesRoundToEven) {
  // width 2, factor 1.5: extra gap round(1.5) = 2; factor 2.5 at width 2: round(2.5) = 2.
  LineStyleEntry e = *ParseLineBit("2,1,1,", 1.5);
  EXPECT_EQ(Runs(ExpandPattern(e, 2, 1)), (std::vector<InkRun>{{0, 3}, {1, 1}}));
  e.gap_factor = 2.5;
  EXPECT_EQ(Runs(ExpandPattern(e, 2, 1)), (std::vector<InkRun>{{0, 3}, {1, 1}}));
}

TEST(ExpandPattern, EmptyAndOversizedEntries) {
  LineStyleEntry empty;
  EXPECT_TRUE(ExpandPattern(empty, 5, 1).empty());

  // 36 cells at width 99 and factor 10 would need far more than the capacity.
  LineStyleEntry big;
  big.run_count = 36;
  big.gap_factor = 10;
  big.runs.fill(1);
  auto pattern = ExpandPattern(big, 99, 1);
  EXPECT_EQ(pattern.size(), static_cast<std::size_t>(kDashPatternCapacity));
  EXPECT_EQ(pattern.front(), 0);  // starts with the first gap

  LineStyleEntry wild = big;  // a corrupt factor must not overflow
  wild.gap_factor = 1e300;
  EXPECT_EQ(ExpandPattern(wild, 3, 1).size(), static_cast<std::size_t>(kDashPatternCapacity));
  wild.gap_factor = -5;
  EXPECT_EQ(Runs(ExpandPattern(*ParseLineBit("2,1,1,", -5), 3, 1)),
            (std::vector<InkRun>{{0, 2}, {1, 2}}));
}

struct ParseCase {
  const char* text;
  bool ok;
  int count;
  std::vector<int> first_runs;
};

TEST(ParseLineBit, ReadsCountThenRuns) {
  const std::vector<ParseCase> cases = {
      {"2,2,4,", true, 2, {2, 4}},
      {"2,2,4", true, 2, {2, 4}},  // last comma missing
      {" 4 , 2,1,2,7,", true, 4, {2, 1, 2, 7}},
      {"3,1,x,5,", true, 3, {1, 0, 0}},  // stops at the first non-number
      {"200,1,", true, 100, {1, 0}},     // count limited to 100
      {"-4,1,", true, 0, {1}},
      {"2,999,-3,", true, 2, {255, 0}},  // runs limited to a byte
      {"", false, 0, {}},
      {"abc", false, 0, {}},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.text);
    auto e = ParseLineBit(c.text, 1.0);
    ASSERT_EQ(e.has_value(), c.ok);
    if (!e) continue;
    EXPECT_EQ(e->run_count, c.count);
    for (std::size_t i = 0; i < c.first_runs.size(); ++i)
      EXPECT_EQ(e->runs[i], c.first_runs[i]);
  }
}

TEST(ParseLineBit, ReadsTheCountAndAHundredRunsThenStops) {
  std::string text = "100,";
  for (int i = 0; i < 150; ++i)
    text += std::to_string(i % 7 + 1) + ",";
  auto e = ParseLineBit(text, 1.0);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->run_count, 100);
  EXPECT_EQ(e->runs[98], 98 % 7 + 1);
  EXPECT_EQ(e->runs[99], 99 % 7 + 1);  // the last run of a full entry is kept
  // A full entry written out reads back as it was.
  EXPECT_EQ(ParseLineBit(FormatLineBit(*e), 1.0), e);
}

TEST(LineStyleSettings, LoadKeepsDefaultsForMissingOrBadKeys) {
  std::map<std::string, std::string, std::less<>> ini = {
      {"LineBit0", "4,1,3,1,3,"}, {"LineBitSpace0", "2.5"}, {"LineBit1", "garbage"},
      {"LineBitSpace1", "nan"},   {"LineBitSpace2", "0.5"},
  };
  std::vector<std::string> asked;
  LineStyleTable t = LoadLineStyles([&](std::string_view key) -> std::optional<std::string> {
    asked.emplace_back(key);
    auto it = ini.find(key);
    if (it == ini.end()) return std::nullopt;
    return it->second;
  });
  EXPECT_EQ(asked.size(), 8u);
  EXPECT_EQ(FormatLineBit(t.entries[0]), "4,1,3,1,3,");
  EXPECT_DOUBLE_EQ(t.entries[0].gap_factor, 2.5);
  EXPECT_EQ(t.entries[1], DefaultLineStyles().entries[1]);
  EXPECT_EQ(FormatLineBit(t.entries[2]), "4,2,1,2,7,");
  EXPECT_DOUBLE_EQ(t.entries[2].gap_factor, 0.5);
  EXPECT_EQ(t.entries[3], DefaultLineStyles().entries[3]);
}

TEST(LineStyleSettings, StoreWritesEveryKeyAndReadsBack) {
  LineStyleTable t = DefaultLineStyles();
  t.entries[2] = *ParseLineBit("3,0,5,1,", 0.1);
  std::map<std::string, std::string, std::less<>> ini;
  StoreLineStyles(t,
                  [&](std::string_view key, const std::string& v) { ini[std::string(key)] = v; });
  EXPECT_EQ(ini.size(), 8u);
  EXPECT_EQ(ini["LineBit0"], "2,2,4,");
  EXPECT_EQ(ini["LineBitSpace1"], "1.4");
  EXPECT_EQ(ini["LineBitSpace0"], "1.0");
  EXPECT_EQ(ini["LineBit2"], "3,0,5,1,");
  LineStyleTable back = LoadLineStyles(
      [&](std::string_view key) -> std::optional<std::string> { return ini.at(std::string(key)); });
  EXPECT_EQ(back, t);
}

TEST(PenStyles, FromStyleCodesAndBitPatterns) {
  const std::vector<std::pair<int, PenStyle>> codes = {
      {0, PenStyle::kSolid},   {1, PenStyle::kDash},       {2, PenStyle::kDot},
      {3, PenStyle::kDashDot}, {4, PenStyle::kDashDotDot}, {99, PenStyle::kClear},
      {5, PenStyle::kSolid},   {-1, PenStyle::kSolid}};
  for (auto [code, style] : codes)
    EXPECT_EQ(PenStyleFromStyleCode(code), style) << code;
  const std::vector<std::pair<std::uint16_t, PenStyle>> bits = {
      {0, PenStyle::kClear},    {0xFFFF, PenStyle::kSolid}, {0x3333, PenStyle::kDot},
      {0x1111, PenStyle::kDot}, {0x5555, PenStyle::kDash},  {0x00FF, PenStyle::kSolid}};
  for (auto [pattern, style] : bits)
    EXPECT_EQ(PenStyleFromBitPattern(pattern), style) << pattern;
}

TEST(PenStyles, PatternScale) {
  EXPECT_EQ(DashPatternScale(false, 7.4, false), 1);
  EXPECT_EQ(DashPatternScale(true, 7.425, false), 7);
  EXPECT_EQ(DashPatternScale(true, 7.425, true), 1);
  EXPECT_EQ(DashPatternScale(true, 0.2, false), 1);
}

}  // namespace
}  // namespace qzarn::render
