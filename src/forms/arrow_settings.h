#pragma once
// What the arrow dialog ("矢印(&Y)") of the line members edits: the arrow-head
// type, length and half angle of a line record.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "document/figure_table.h"

namespace qzarn::forms {

inline constexpr std::array<std::string_view, 4> kArrowTypeChoices = {"(なし)", "始点", "終点",
                                                                      "両端"};
inline constexpr std::array<std::string_view, 8> kArrowLengthChoices = {"0.1", "0.2", "0.3", "0.4",
                                                                        "0.5", "0.7", "1",   "2"};
inline constexpr std::array<std::string_view, 6> kArrowAngleChoices = {"15ﾟ", "30ﾟ", "45ﾟ",
                                                                       "60ﾟ", "75ﾟ", "90ﾟ"};

struct ArrowSettings {
  int type = 0;        // YaTyp 0..3: none, start, end, both ends
  std::string length;  // YaLng as typed
  std::string angle;   // YaAng with "ﾟ"
};

// The line's arrow settings; nothing for a record that is not a line.
std::optional<ArrowSettings> ReadArrowSettings(const FigureRecord& record);
// Stores the settings; a length or angle that does not read as a number keeps
// the stored value. Returns false when the record is not a line.
bool ApplyArrowSettings(FigureRecord& record, const ArrowSettings& settings);

}  // namespace qzarn::forms
