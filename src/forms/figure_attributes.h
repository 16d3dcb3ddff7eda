#pragma once
// The attribute controls of the tool bars: the selected figure's colours,
// size, line style, fill and label font, read from its record and written
// back into it. Which field a control means depends on the figure type, and
// some changes switch on the display the user would otherwise not see (a
// colour chosen for an unfilled interior fills it).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/figure_table.h"

namespace qzarn::forms {

// The controls in catalogue order (numbers 103..110).
enum class AttributeControl {
  kColour,
  kSize,
  kStyle,
  kFill,
  kFontName,
  kFontColour,
  kFontSize,
  kSecondColour,
};
inline constexpr int kAttributeControlCount = 8;
inline constexpr int kFirstAttributeCommand = 103;

constexpr int CommandOf(AttributeControl control) {
  return kFirstAttributeCommand + static_cast<int>(control);
}
// The control of a catalogue number, nothing for another number.
std::optional<AttributeControl> AttributeControlOf(int number);

inline constexpr int kMinAttributeSize = 1;
inline constexpr int kMaxAttributeSize = 99;

// The lists of the style and fill controls; an entry's position is the stored code.
inline constexpr std::array<std::string_view, 5> kAttributeStyles = {"実線", "破線", "点線",
                                                                     "一点鎖線", "二点鎖線"};
inline constexpr std::array<std::string_view, 8> kAttributeFills = {
    "（なし）", "ソリッド", "水平線", "垂直線", "左上斜線", "右上斜線", "格子", "斜格子"};
// The second colour's hint when no figure names its meaning.
inline constexpr std::string_view kDefaultSecondHint = "内部色";

// What the controls hold. A control without a value is blank; `enabled` says
// whether the selected figure binds it.
struct FigureAttributes {
  std::array<bool, kAttributeControlCount> enabled{};
  std::optional<std::uint32_t> colour;  // colours are stored 0x00BBGGRR
  std::optional<std::int32_t> size;
  std::optional<std::int32_t> style;     // an index of kAttributeStyles
  std::optional<std::int32_t> fill;      // an index of kAttributeFills
  std::optional<std::string> font_name;  // code page 932, as stored
  std::optional<std::uint32_t> font_colour;
  std::optional<std::int32_t> font_size;
  std::optional<std::uint32_t> second_colour;
  std::string second_hint{kDefaultSecondHint};
  // The window flags the pop-up menu uses: the figure can carry a locus, and
  // its locus is on.
  bool can_have_locus = false;
  bool locus_on = false;

  bool is_enabled(AttributeControl c) const { return enabled[static_cast<std::size_t>(c)]; }
};

// The controls loaded from a figure; with no figure every control is blank
// and disabled. A stored style or fill outside its list leaves that control
// blank (but enabled), so it is not written back unless the user picks one.
FigureAttributes ShowFigureAttributes(const FigureRecord* figure);

// Writes every enabled control that holds a value into its field of the
// figure, and switches on the displays the changed controls call for. Sizes
// outside 1..99 are refused (nothing is written). Returns whether the record
// changed.
bool ApplyFigureAttributes(FigureRecord& figure, const FigureAttributes& controls);

// Reads the text of a size field: a whole number 1..99, or nothing.
std::optional<std::int32_t> ParseAttributeSize(std::string_view text);
inline constexpr std::string_view kAttributeSizeMessage = "1～99の整数を入力してください．";

}  // namespace qzarn::forms
