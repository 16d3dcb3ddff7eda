#pragma once
// The user-editable dash patterns of figure lines and their settings keys.
//
// Style codes of drawing attributes: 0 solid, 1 dash, 2 dot, 3 dash-dot,
// 4 dash-dot-dot, 99 no line. Each dash style is a run-length pattern in
// LineStyleTable (entry = style code − 1): runs alternate gap, mark, gap, mark…
// starting with a gap, in units of half the pen width; gaps grow further with
// the pen width by the entry's gap factor. ExpandPattern turns an entry into a
// one-byte-per-pixel pattern that the dashed-line code steps along segments.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/canvas.h"

namespace qzarn::render {

inline constexpr int kLineStyleEntries = 4;         // dash, dot, dash-dot, dash-dot-dot
inline constexpr int kLineStyleMaxRuns = 100;       // runs per entry (and numbers read per key)
inline constexpr int kDashPatternCapacity = 10000;  // pixels of an expanded pattern

inline constexpr int kStyleSolid = 0;
inline constexpr int kStyleDash = 1;
inline constexpr int kStyleDot = 2;
inline constexpr int kStyleDashDot = 3;
inline constexpr int kStyleDashDotDot = 4;
inline constexpr int kStyleNone = 99;

struct LineStyleEntry {
  std::int32_t run_count = 0;
  double gap_factor = 1.0;  // extra gap per pixel of pen width beyond the first (0.1..10)
  std::array<std::uint8_t, kLineStyleMaxRuns> runs{};
  bool operator==(const LineStyleEntry&) const = default;
};

struct LineStyleTable {
  std::array<LineStyleEntry, kLineStyleEntries> entries{};
  bool operator==(const LineStyleTable&) const = default;
};

// Settings section and keys ("LineBit0".."LineBit3", "LineBitSpace0".."LineBitSpace3").
inline constexpr std::string_view kLineStyleSection = "Option";
std::string LineBitKey(int entry);
std::string LineBitSpaceKey(int entry);
// Built-in texts of the keys.
inline constexpr std::array<std::string_view, kLineStyleEntries> kLineBitDefaults = {
    "2,2,4,", "2,1,1,", "4,2,1,2,7,", "6,2,1,2,1,2,7,"};
inline constexpr std::array<std::string_view, kLineStyleEntries> kLineBitSpaceDefaults = {
    "1.0", "1.4", "1.0", "1.0"};

// Reads "count,run,run,…," (every number followed by a comma; the last comma
// may be missing). Reading stops after 101 numbers (the count and the 100 runs
// an entry holds, so FormatLineBit's text reads back whole) or at the first text
// that is not a whole number; runs not read are 0. The count
// is limited to 0..100 and each run to 0..255. Returns nothing when not even
// the count can be read.
std::optional<LineStyleEntry> ParseLineBit(std::string_view text, double gap_factor);
// The key text of an entry, e.g. "2,2,4,".
std::string FormatLineBit(const LineStyleEntry& entry);
// A gap factor as written to the settings ("1.4").
std::string FormatLineBitSpace(double gap_factor);

// The built-in table (the parsed defaults); "初期値" in the editor restores it.
const LineStyleTable& DefaultLineStyles();

// Looks up a key of the "Option" section; nothing when the key is absent.
using SettingLookup = std::function<std::optional<std::string>(std::string_view key)>;
// Writes a key of the "Option" section.
using SettingStore = std::function<void(std::string_view key, const std::string& value)>;

// Every entry from the settings; absent or unreadable keys keep the built-in value.
LineStyleTable LoadLineStyles(const SettingLookup& lookup);
void StoreLineStyles(const LineStyleTable& table, const SettingStore& store);

// Style code to device pen style: 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot,
// 99 clear, anything else solid.
PenStyle PenStyleFromStyleCode(int code);
// A 16-bit line pattern to pen style: 0 clear, 0xFFFF solid, 0x3333 and
// 0x1111 dot, 0x5555 dash, anything else solid.
PenStyle PenStyleFromBitPattern(std::uint16_t pattern);
// The table entry of a dashed pen style, or −1 for solid and clear pens.
int LineStyleEntryOf(PenStyle style);

// Whole device pixels per surface pixel for the pattern: 1 on screen, and when
// printing without line-width enlargement round(print scale) (at least 1); with
// enlargement the pen is already widened, so 1.
int DashPatternScale(bool printing, double print_scale, bool enlarge_line_width);

// The pixel pattern of `entry` for a pen `pen_width` device pixels wide: for
// run i of length n, half = (pen_width · k + 1) div 2; a mark run (odd i) is
// half · n ink pixels, a gap run (even i) half · n + round((pen_width · k − 1) ·
// gap factor) blank pixels. One byte per pixel, 1 = ink. The pattern stops
// growing at kDashPatternCapacity pixels.
std::vector<std::uint8_t> ExpandPattern(const LineStyleEntry& entry, int pen_width, int k);

}  // namespace qzarn::render
