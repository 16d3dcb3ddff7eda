#pragma once
// Every key of the two settings files, listed once: section, key, type, default text and the
// range a read value is clamped to. The lists generate the members of UserSettings and
// ProgramSettings (named as the keys) and the tables that read, write and default them, so
// a key is spelled in one place only.
//
// Default texts are in the form the file holds. The default window size -100 stands for
// "the full screen": a width and height both below -10 put the window on the whole screen
// (place_main_window). An empty toolbar layout is not a default: the layouts below are the
// built-in ones.

#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "settings/ini_file.h"
#include "settings/setting_values.h"

namespace qzarn {

enum class SettingType { Bool, Int, Real, Text, Color };

struct SettingRange {
  double low;
  double high;
};
inline constexpr SettingRange kAnyValue{-std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::infinity()};
constexpr SettingRange between(double low, double high) {
  return {low, high};
}

template <SettingType>
struct SettingValueOf;
template <>
struct SettingValueOf<SettingType::Bool> {
  using type = bool;
};
template <>
struct SettingValueOf<SettingType::Int> {
  using type = std::int32_t;
};
template <>
struct SettingValueOf<SettingType::Real> {
  using type = double;
};
template <>
struct SettingValueOf<SettingType::Text> {
  using type = std::string;  // UTF-8 in memory, code page 932 in the file
};
template <>
struct SettingValueOf<SettingType::Color> {
  using type = ColorRef;
};

// clang-format off
#define QZARN_USER_SETTING_KEYS(X)                                                          \
  X(Window, Left, Int, "0", kAnyValue)                                                      \
  X(Window, Top, Int, "0", kAnyValue)                                                       \
  X(Window, Width, Int, "-100", kAnyValue)                                                  \
  X(Window, Height, Int, "-100", kAnyValue)                                                 \
  X(Window, ArrangeCenter, Bool, "1", kAnyValue)                                            \
  X(Window, WindowState, Int, "1", between(1, 3))                                           \
  X(ToolBar, tBar1, Text,                                                                   \
    "500150025003500650005022502450235000500850095010500050115012501350145020501550005021", \
    kAnyValue)                                                                              \
  X(ToolBar, tBar2, Text, "5050505150525053505450555056505750585059506050615062506350645066", \
    kAnyValue)                                                                              \
  X(ToolBar, tBar3, Text, "510051025101500051035104510551065110510751085109", kAnyValue)    \
  X(ToolBar, tBar1_Visible, Bool, "1", kAnyValue)                                           \
  X(ToolBar, tBar2_Visible, Bool, "1", kAnyValue)                                           \
  X(ToolBar, tBar3_Visible, Bool, "1", kAnyValue)                                           \
  X(ToolBar, Bitmap, Text, "", kAnyValue)                                                   \
  X(ToolBar, StatusBar_Visible, Bool, "1", kAnyValue)                                       \
  X(ToolBar, ValuePalette, Int, "1", between(0, 2))                                         \
  X(SupportNew, URL, Text, "", kAnyValue)                                                   \
  X(RecentFile, RecentDir, Text, "", kAnyValue)                                             \
  X(RecentFile, FileUse, Bool, "1", kAnyValue)                                              \
  X(RecentFile, FileMax, Int, "5", between(0, 9))                                           \
  X(Option, OleMode, Bool, "1", kAnyValue)                                                  \
  X(Option, WindowMaximize, Bool, "1", kAnyValue)                                           \
  X(Option, WindowMoveCenter, Bool, "1", kAnyValue)                                         \
  X(Option, HintPopup, Bool, "1", kAnyValue)                                                \
  X(Option, EditAttr, Bool, "1", kAnyValue)                                                 \
  X(Option, FindDispFigure, Bool, "0", kAnyValue)                                           \
  X(Option, SelColorRev, Bool, "1", kAnyValue)                                              \
  X(Option, InitZoom, Int, "100", between(10, 1000))                                        \
  X(Option, InitBackColor, Color, "$FFFFFF", kAnyValue)                                     \
  X(Option, InitAxisColor, Color, "$000000", kAnyValue)                                     \
  X(Option, InitGridColor, Color, "$808080", kAnyValue)                                     \
  X(Option, InitClip, Real, "0.1", between(0.0001, 10))                                     \
  X(Option, InitFont, Text, "Arial", kAnyValue)                                             \
  X(Option, InitFontSize, Int, "20", between(1, 1000))                                      \
  X(Option, InitcFoChar, Int, "1", between(0, 255))                                         \
  X(Option, InitcFoStyle, Int, "0", between(0, 15))                                         \
  X(Option, InitAnimeTime, Real, "1.0", kAnyValue)                                          \
  X(Option, InitAxis, Bool, "1", kAnyValue)                                                 \
  X(Option, InitGrid, Bool, "1", kAnyValue)                                                 \
  X(Option, InitGridPoint, Bool, "0", kAnyValue)                                            \
  X(Option, ContAttrib, Bool, "1", kAnyValue)                                               \
  X(Option, PrintLineWidth, Bool, "1", kAnyValue)                                           \
  X(Option, PrintBlackColor, Bool, "0", kAnyValue)                                          \
  X(Option, PrintBoxLine, Bool, "1", kAnyValue)                                             \
  X(Option, DragDrop, Bool, "1", kAnyValue)                                                 \
  X(Option, BackBitmap, Bool, "1", kAnyValue)                                               \
  X(Option, BackBitmapQuality, Int, "50", between(1, 100))                                  \
  X(Option, Tangent, Real, "100", between(1, 10000))                                        \
  X(Option, AxisPrecision, Int, "2", between(0, 10))                                        \
  X(Option, CompressMode, Bool, "1", kAnyValue)                                             \
  X(Option, PointZoomFlag, Bool, "1", kAnyValue)                                            \
  X(Option, InitScreenX, Int, "-1", kAnyValue)                                              \
  X(Option, InitScreenY, Int, "-1", kAnyValue)                                              \
  X(Option, cCharSpace, Real, "0.2", kAnyValue)                                             \
  X(Option, LineBit0, Text, "2,2,4,", kAnyValue)                                            \
  X(Option, LineBit1, Text, "2,1,1,", kAnyValue)                                            \
  X(Option, LineBit2, Text, "4,2,1,2,7,", kAnyValue)                                        \
  X(Option, LineBit3, Text, "6,2,1,2,1,2,7,", kAnyValue)                                    \
  X(Option, LineBitSpace0, Real, "1.0", kAnyValue)                                          \
  X(Option, LineBitSpace1, Real, "1.4", kAnyValue)                                          \
  X(Option, LineBitSpace2, Real, "1.0", kAnyValue)                                          \
  X(Option, LineBitSpace3, Real, "1.0", kAnyValue)                                          \
  X(Axis, AxisX_Char_X, Real, "-0.4", kAnyValue)                                            \
  X(Axis, AxisX_Char_Y, Real, "0.2", kAnyValue)                                             \
  X(Axis, AxisY_Char_X, Real, "0.4", kAnyValue)                                             \
  X(Axis, AxisY_Char_Y, Real, "0.2", kAnyValue)                                             \
  X(Axis, Axis_Char_Zero, Real, "-0.36", kAnyValue)                                         \
  X(Axis, Axis_Char_Ajust, Real, "0.16", kAnyValue)                                         \
  X(Axis, Axis_Ya_Lenght_X, Real, "0.4", kAnyValue)                                         \
  X(Axis, Axis_Ya_Lenght_Y, Real, "0.2", kAnyValue)

#define QZARN_PROGRAM_SETTING_KEYS(X)                                 \
  X(Find, LineFindValue, Real, "1.0", between(0, 1000))               \
  X(Find, PointFindValue, Real, "1.0", between(0, 1000))              \
  X(Find, PointLocusFindValue, Real, "1.0", between(0, 1000))         \
  X(Find, CircleFindValue, Real, "1.0", between(0, 1000))             \
  X(Find, CircleLocusFindValue, Real, "1.0", between(0, 1000))        \
  X(Math, Math_Int_Limit, Real, "0.01", between(0, 1))
// clang-format on

#define QZARN_SETTING_MEMBER(section, key, kind, default_text, range) \
  SettingValueOf<SettingType::kind>::type key{};

// The user settings file: window, toolbars, recent files and options. Constructed with
// every default.
struct UserSettings {
  QZARN_USER_SETTING_KEYS(QZARN_SETTING_MEMBER)
  // Keys File1 .. File9 of section RecentFile, most recent first.
  std::vector<std::string> RecentFiles;

  UserSettings();
};

// The program settings file's own keys (the figure default sections are read by the
// document's figure defaults). Constructed with every default.
struct ProgramSettings {
  QZARN_PROGRAM_SETTING_KEYS(QZARN_SETTING_MEMBER)

  ProgramSettings();
};

#undef QZARN_SETTING_MEMBER

inline constexpr int kMaxRecentFiles = 9;

// One row of a key table.
template <typename Settings>
struct SettingKey {
  const char* section;
  const char* key;
  SettingType type;
  const char* default_text;
  SettingRange range;
  std::variant<bool Settings::*, std::int32_t Settings::*, double Settings::*,
               std::string Settings::*, ColorRef Settings::*>
      member;
};

std::span<const SettingKey<UserSettings>> user_setting_keys();
std::span<const SettingKey<ProgramSettings>> program_setting_keys();

// Reading: an absent key or a value that is not of the key's type keeps the default; a
// number outside the key's range is clamped into it.
UserSettings read_user_settings(const IniFile& ini);
ProgramSettings read_program_settings(const IniFile& ini);

// Writing into the file's lines (other keys stay as they are). A key whose text already
// reads as the value keeps its text. Returns false when a text could not be stored in code
// page 932 exactly (its unconvertible characters were written as '?').
bool write_user_settings(const UserSettings& settings, IniFile& ini);
bool write_program_settings(const ProgramSettings& settings, IniFile& ini);

bool same_settings(const ProgramSettings& a, const ProgramSettings& b);
bool same_settings(const UserSettings& a, const UserSettings& b);

}  // namespace qzarn
