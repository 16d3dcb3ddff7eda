#include "settings/setting_values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace qzarn {
namespace {

TEST(SettingValues, ParsesIntegers) {
  const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
      {"0", 0},
      {" 42 ", 42},
      {"-7", -7},
      {"+3", 3},
      {"$1F", 31},
      {"$ff", 255},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"", std::nullopt},
      {"12a", std::nullopt},
      {"1.5", std::nullopt},
      {"$", std::nullopt},
      {"abc", std::nullopt}};
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(parse_setting_int(text), expected) << text;
}

TEST(SettingValues, ParsesBooleansAsIntegers) {
  EXPECT_EQ(parse_setting_bool("0"), false);
  EXPECT_EQ(parse_setting_bool("1"), true);
  EXPECT_EQ(parse_setting_bool("2"), true);
  EXPECT_EQ(parse_setting_bool("yes"), std::nullopt);
}

TEST(SettingValues, ParsesRealsWithADecimalPoint) {
  const std::pair<const char*, std::optional<double>> cases[] = {
      {"0.1", 0.1},       {"-0.36", -0.36},      {"100", 100.0},        {"1e-3", 0.001},
      {" +2.5 ", 2.5},    {"0,5", std::nullopt}, {"nan", std::nullopt}, {"inf", std::nullopt},
      {"", std::nullopt}, {"1.0x", std::nullopt}};
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(parse_setting_real(text), expected) << text;
}

TEST(SettingValues, ColoursReadBothFormsAndWriteBlueGreenRed) {
  const std::pair<const char*, std::optional<ColorRef>> cases[] = {
      {"$FFFFFF", 0xFFFFFF},      {"$808080", 0x808080},      {"$00FF0000", 0xFF0000},
      {"$ff", 0x0000FF},          {"255", 0x0000FF},          {"16777215", 0xFFFFFF},
      {"16777216", std::nullopt}, {"$1000000", std::nullopt}, {"-1", std::nullopt},
      {"$GG0000", std::nullopt},  {"red", std::nullopt}};
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(parse_setting_color(text), expected) << text;
  EXPECT_EQ(format_setting_color(rgb(0x12, 0x34, 0x56)), "$563412");
  EXPECT_EQ(format_setting_color(0), "$000000");
}

TEST(SettingValues, RealsWriteInTheShortestFormThatReadsBack) {
  const std::pair<double, const char*> cases[] = {
      {0.1, "0.1"}, {100, "100"}, {-0.36, "-0.36"}, {0.0001, "0.0001"}, {0, "0"}, {1.4, "1.4"}};
  for (const auto& [value, text] : cases)
    EXPECT_EQ(format_setting_real(value), text);
  for (double v : {1.0 / 3.0, 1e-12, 6.02e23, -123456.789})
    EXPECT_EQ(parse_setting_real(format_setting_real(v)), v);
}

}  // namespace
}  // namespace qzarn
