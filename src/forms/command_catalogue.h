#pragma once
// The command catalogue of the main window's three tool bars: every button or
// control a tool bar can carry, numbered 0..150, and the layout strings that
// store a tool bar's content in the user settings ("5001" + "5002" + ...).

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qzarn::forms {

inline constexpr int kCatalogueSize = 151;
inline constexpr int kToolbarCount = 3;
// A tool bar holds at most this many controls.
inline constexpr int kMaxToolbarControls = 50;
inline constexpr int kLayoutNumberBase = 5000;

enum class CommandKind : std::int8_t { kNone = -1, kButton = 0, kCombo = 1, kSpin = 2 };
enum class ButtonStyle : std::int8_t { kPlain = 0, kCheck = 1, kDropDown = 2, kDivider = 4 };

struct CommandEntry {
  int Number = 0;
  CommandKind Kind = CommandKind::kNone;
  int Width = 0;
  ButtonStyle Style = ButtonStyle::kPlain;
  std::string_view Caption;   // short caption on the button; empty for combo and spin
  std::string_view LongName;  // the row of the customisation list
  std::string_view Hint;      // tool tip
  int ImageIndex = -1;        // the command's icon, -1 for none
  // The main-window command (action object name) a button triggers; empty for
  // the separator and the controls.
  std::string_view Action;

  bool defined() const { return Kind != CommandKind::kNone; }
};

// The 151 entries in number order; undefined numbers have Kind kNone.
const std::array<CommandEntry, kCatalogueSize>& CommandCatalogue();
// The entry of a number, nullptr outside 0..150 or for an undefined number.
const CommandEntry* CatalogueEntry(int number);

// The default content of tool bar 1..3 ("標準", "図形", "図形の設定").
std::span<const int> DefaultToolbarLayout(int bar);

// A layout string read for one tool bar.
struct ToolbarLoad {
  std::vector<int> commands;  // catalogue numbers left to right, at most 50
  bool reset = false;         // malformed: the default layout is used instead
  bool truncated = false;     // more controls than a tool bar holds were dropped
};

// Reads a layout string: groups of four digits, 5000 + the catalogue number.
// Out-of-range and undefined numbers are dropped silently; a group that is not
// a number (or a trailing piece shorter than four characters) gives the
// default layout of the bar. Never more than kMaxToolbarControls commands.
ToolbarLoad LoadToolbarLayout(int bar, std::string_view layout);

// The layout string of commands in left-to-right order.
std::string SaveToolbarLayout(std::span<const int> commands);

// Where a command dropped at `x` goes among a bar's controls, given the
// horizontal centres of the controls left to right: before the first control
// whose centre lies right of x, or at the end.
int ToolbarDropIndex(std::span<const int> centres, int x);

// "設定ﾌｧｲﾙに誤りがあります．…" for tool bar 1..3 (lines joined by "\n").
std::string ToolbarResetMessage(int bar);
inline constexpr std::string_view kToolbarFullMessage =
    "このツールバーには、これ以上メニューを配置できません．";
inline constexpr std::string_view kResetToolbarsQuestion = "すべてのボタンを初期設定に戻しますか？";

}  // namespace qzarn::forms
