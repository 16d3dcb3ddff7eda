#include "settings/settings_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <type_traits>

namespace qzarn {
namespace {

template <typename S>
void expect_default_texts_are_values(std::span<const SettingKey<S>> keys) {
  std::set<std::string> seen;
  for (const auto& key : keys) {
    const std::string_view text = key.default_text;
    bool valid = true;
    switch (key.type) {
      case SettingType::Bool:
        valid = parse_setting_bool(text).has_value();
        break;
      case SettingType::Int:
        valid = parse_setting_int(text).has_value();
        break;
      case SettingType::Real:
        valid = parse_setting_real(text).has_value();
        break;
      case SettingType::Color:
        valid = parse_setting_color(text).has_value();
        break;
      case SettingType::Text:
        break;
    }
    EXPECT_TRUE(valid) << key.key;
    EXPECT_TRUE(seen.insert(std::string(key.section) + "/" + key.key).second) << key.key;
  }
}

TEST(SettingsKeys, DefaultTextsAreValuesOfTheirTypeAndKeysAreUnique) {
  expect_default_texts_are_values(user_setting_keys());
  expect_default_texts_are_values(program_setting_keys());
}

TEST(SettingsKeys, DefaultsOfAnEmptyFile) {
  const UserSettings u = read_user_settings(IniFile::parse(""));
  EXPECT_TRUE(same_settings(u, UserSettings{}));
  EXPECT_EQ(u.InitBackColor, 0xFFFFFFu);
  EXPECT_EQ(u.InitGridColor, 0x808080u);
  EXPECT_EQ(u.InitAxisColor, 0u);
  EXPECT_EQ(u.InitClip, 0.1);
  EXPECT_EQ(u.InitFont, "Arial");
  EXPECT_EQ(u.InitFontSize, 20);
  EXPECT_EQ(u.FileMax, 5);
  EXPECT_EQ(u.InitScreenX, -1);
  EXPECT_EQ(u.Axis_Char_Zero, -0.36);
  EXPECT_EQ(u.LineBit2, "4,2,1,2,7,");
  EXPECT_EQ(u.tBar3, "510051025101500051035104510551065110510751085109");
  EXPECT_TRUE(u.RecentFiles.empty());
  const ProgramSettings p = read_program_settings(IniFile::parse(""));
  EXPECT_EQ(p.Math_Int_Limit, 0.01);
  EXPECT_EQ(p.CircleLocusFindValue, 1.0);
}

// A value of the member's type that differs from v and stays inside the key's range.
template <typename T>
T changed(const T& v, SettingRange range) {
  if constexpr (std::is_same_v<T, bool>) {
    return !v;
  } else if constexpr (std::is_same_v<T, std::int32_t>) {
    return v < range.high ? v + 1 : v - 1;
  } else if constexpr (std::is_same_v<T, double>) {
    return v + 0.25 <= range.high ? v + 0.25 : v - 0.25;
  } else if constexpr (std::is_same_v<T, ColorRef>) {
    return v ^ 0x123456u;
  } else {
    return v + "①ｱ表";
  }
}

template <typename S, typename Read, typename Write>
void expect_every_key_round_trips(std::span<const SettingKey<S>> keys, Read read, Write write) {
  S changed_settings;
  for (const auto& key : keys)
    std::visit([&](auto m) { changed_settings.*m = changed(changed_settings.*m, key.range); },
               key.member);
  IniFile ini;
  EXPECT_TRUE(write(changed_settings, ini));
  const S back = read(IniFile::parse(ini.serialize()));
  for (const auto& key : keys)
    std::visit(
        [&](auto m) {
          EXPECT_EQ(back.*m, changed_settings.*m) << key.key;
          EXPECT_NE(back.*m, S{}.*m) << key.key;
        },
        key.member);
  EXPECT_TRUE(same_settings(back, changed_settings));
}

TEST(SettingsKeys, EveryKeyRoundTripsThroughTheFile) {
  expect_every_key_round_trips<UserSettings>(user_setting_keys(), read_user_settings,
                                             write_user_settings);
  expect_every_key_round_trips<ProgramSettings>(program_setting_keys(), read_program_settings,
                                                write_program_settings);
}

TEST(SettingsKeys, BadValuesKeepDefaultsAndNumbersAreClamped) {
  const UserSettings u = read_user_settings(
      IniFile::parse("[RecentFile]\nFileMax=12\n"
                     "[Option]\nInitZoom=5\nInitClip=25\nBackBitmapQuality=abc\nTangent=0\n"
                     "InitBackColor=255\nInitGridColor=$1000000\nHintPopup=0\nInitScreenX=3000\n"
                     "[Window]\nWindowState=7\nLeft=-40\n"));
  EXPECT_EQ(u.FileMax, 9);
  EXPECT_EQ(u.InitZoom, 10);
  EXPECT_EQ(u.InitClip, 10.0);
  EXPECT_EQ(u.BackBitmapQuality, 50);
  EXPECT_EQ(u.Tangent, 1.0);
  EXPECT_EQ(u.InitBackColor, 0x0000FFu);
  EXPECT_EQ(u.InitGridColor, 0x808080u);
  EXPECT_FALSE(u.HintPopup);
  EXPECT_EQ(u.InitScreenX, 3000);  // the surface size, not the setting, is clamped
  EXPECT_EQ(u.WindowState, 3);
  EXPECT_EQ(u.Left, -40);
}

TEST(SettingsKeys, ColoursAreWrittenAsBlueGreenRed) {
  UserSettings u;
  u.InitBackColor = rgb(0x12, 0x34, 0x56);
  IniFile ini;
  write_user_settings(u, ini);
  EXPECT_EQ(ini.value("Option", "InitBackColor"), "$563412");
  EXPECT_EQ(ini.value("Option", "InitGridColor"), "$808080");
}

TEST(SettingsKeys, TextsThatAlreadyHoldTheValueAreLeftAsWritten) {
  IniFile ini = IniFile::parse("[Option]\nInitClip=0.10\nInitBackColor=16777215\nInitZoom=$64\n");
  write_user_settings(UserSettings{}, ini);
  EXPECT_EQ(ini.value("Option", "InitClip"), "0.10");
  EXPECT_EQ(ini.value("Option", "InitBackColor"), "16777215");
  EXPECT_EQ(ini.value("Option", "InitZoom"), "$64");
}

TEST(SettingsKeys, RecentFilesAreNumberedMostRecentFirst) {
  UserSettings u;
  u.RecentFiles = {"/home/u/図形.qzl", "/tmp/b.qzl", "/tmp/c.qzl"};
  IniFile ini = IniFile::parse("[RecentFile]\nFile4=/old/d\nFile9=/old/e\n");
  EXPECT_TRUE(write_user_settings(u, ini));
  EXPECT_EQ(ini.value("RecentFile", "File1"), "/home/u/\x90\x7D\x8C\x60.qzl");
  EXPECT_EQ(ini.value("RecentFile", "File4"), std::nullopt);
  EXPECT_EQ(ini.value("RecentFile", "File9"), std::nullopt);
  EXPECT_EQ(read_user_settings(ini).RecentFiles, u.RecentFiles);
  // Gaps in a hand-edited file close up.
  EXPECT_EQ(read_user_settings(IniFile::parse("[RecentFile]\nFile2=/a\nFile5=/b\n")).RecentFiles,
            (std::vector<std::string>{"/a", "/b"}));
  // A carriage return inside a line reads as the blank it is written as.
  EXPECT_EQ(read_user_settings(IniFile::parse("[RecentFile]\nFile1=/a\rb\n")).RecentFiles,
            (std::vector<std::string>{"/a b"}));
}

TEST(SettingsKeys, TextsWithoutACodePage932FormAreReported) {
  UserSettings u;
  u.InitFont = "Font\U0001F600";
  IniFile ini;
  EXPECT_FALSE(write_user_settings(u, ini));
  EXPECT_EQ(ini.value("Option", "InitFont"), "Font?");
}

}  // namespace
}  // namespace qzarn
