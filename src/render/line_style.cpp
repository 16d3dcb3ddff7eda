#include "render/line_style.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <type_traits>

#include "platform/c_number_parse.h"
#include "platform/float_chars.h"

namespace qzarn::render {
namespace {

std::optional<long> ParseWhole(std::string_view s) {
  return ParseWholeText<long>(s);
}
std::optional<double> ParseReal(std::string_view s) {
  return ParseWholeText<double>(s);
}

// Nearest integer with halves to even, the rounding of every pixel quantity.
long RoundEven(double v) {
  return std::lrint(v);
}

}  // namespace

std::string LineBitKey(int entry) {
  return "LineBit" + std::to_string(entry);
}
std::string LineBitSpaceKey(int entry) {
  return "LineBitSpace" + std::to_string(entry);
}

std::optional<LineStyleEntry> ParseLineBit(std::string_view text, double gap_factor) {
  LineStyleEntry entry;
  entry.gap_factor = gap_factor;
  int numbers = 0;
  // The count and every run an entry holds: a full entry written out reads back whole.
  while (!text.empty() && numbers < kLineStyleMaxRuns + 1) {
    std::size_t comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    std::optional<long> value = ParseWhole(item);
    if (!value) break;
    if (numbers == 0) {
      entry.run_count = static_cast<std::int32_t>(std::clamp<long>(*value, 0, kLineStyleMaxRuns));
    } else {
      entry.runs[numbers - 1] = static_cast<std::uint8_t>(std::clamp<long>(*value, 0, 255));
    }
    ++numbers;
  }
  if (numbers == 0) return std::nullopt;
  return entry;
}

std::string FormatLineBit(const LineStyleEntry& entry) {
  const int count = std::clamp(entry.run_count, 0, kLineStyleMaxRuns);
  std::string text = std::to_string(count) + ",";
  for (int i = 0; i < count; ++i)
    text += std::to_string(entry.runs[i]) + ",";
  return text;
}

std::string FormatLineBitSpace(double gap_factor) {
  // Shortest text that reads back as the same value, with at least one decimal.
  char buffer[64];
  auto [end, ec] = ToChars(buffer, buffer + sizeof buffer, gap_factor);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  if (text.find_first_of(".eE") == std::string::npos) text += ".0";
  return text;
}

const LineStyleTable& DefaultLineStyles() {
  static const LineStyleTable table = [] {
    LineStyleTable t;
    for (int i = 0; i < kLineStyleEntries; ++i) {
      t.entries[i] = *ParseLineBit(kLineBitDefaults[i], *ParseReal(kLineBitSpaceDefaults[i]));
    }
    return t;
  }();
  return table;
}

LineStyleTable LoadLineStyles(const SettingLookup& lookup) {
  LineStyleTable table = DefaultLineStyles();
  for (int i = 0; i < kLineStyleEntries; ++i) {
    LineStyleEntry& entry = table.entries[i];
    if (std::optional<std::string> space = lookup(LineBitSpaceKey(i))) {
      if (std::optional<double> f = ParseReal(*space)) entry.gap_factor = *f;
    }
    if (std::optional<std::string> bits = lookup(LineBitKey(i))) {
      if (std::optional<LineStyleEntry> parsed = ParseLineBit(*bits, entry.gap_factor)) {
        entry = *parsed;
      }
    }
  }
  return table;
}

void StoreLineStyles(const LineStyleTable& table, const SettingStore& store) {
  for (int i = 0; i < kLineStyleEntries; ++i) {
    store(LineBitKey(i), FormatLineBit(table.entries[i]));
    store(LineBitSpaceKey(i), FormatLineBitSpace(table.entries[i].gap_factor));
  }
}

PenStyle PenStyleFromStyleCode(int code) {
  switch (code) {
    case kStyleDash:
      return PenStyle::kDash;
    case kStyleDot:
      return PenStyle::kDot;
    case kStyleDashDot:
      return PenStyle::kDashDot;
    case kStyleDashDotDot:
      return PenStyle::kDashDotDot;
    case kStyleNone:
      return PenStyle::kClear;
    default:
      return PenStyle::kSolid;
  }
}

PenStyle PenStyleFromBitPattern(std::uint16_t pattern) {
  switch (pattern) {
    case 0:
      return PenStyle::kClear;
    case 0x3333:
    case 0x1111:
      return PenStyle::kDot;
    case 0x5555:
      return PenStyle::kDash;
    default:
      return PenStyle::kSolid;
  }
}

int LineStyleEntryOf(PenStyle style) {
  switch (style) {
    case PenStyle::kDash:
      return 0;
    case PenStyle::kDot:
      return 1;
    case PenStyle::kDashDot:
      return 2;
    case PenStyle::kDashDotDot:
      return 3;
    default:
      return -1;
  }
}

int DashPatternScale(bool printing, double print_scale, bool enlarge_line_width) {
  if (!printing || enlarge_line_width || !std::isfinite(print_scale)) return 1;
  return static_cast<int>(std::clamp<long>(RoundEven(print_scale), 1, 1000));
}

std::vector<std::uint8_t> ExpandPattern(const LineStyleEntry& entry, int pen_width, int k) {
  std::vector<std::uint8_t> pattern;
  const long wk = static_cast<long>(pen_width) * k;
  const long half = (wk + 1) / 2;
  // A corrupt factor cannot ask for more than the whole pattern.
  const double extra = std::clamp(static_cast<double>(wk - 1) * entry.gap_factor, 0.0,
                                  static_cast<double>(kDashPatternCapacity));
  const long extra_gap = RoundEven(std::isnan(extra) ? 0.0 : extra);
  const int count = std::clamp(entry.run_count, 0, kLineStyleMaxRuns);
  for (int i = 0; i < count; ++i) {
    const bool mark = (i % 2) == 1;
    long length = half * entry.runs[i] + (mark ? 0 : extra_gap);
    length = std::clamp<long>(length, 0, kDashPatternCapacity - static_cast<long>(pattern.size()));
    pattern.insert(pattern.end(), static_cast<std::size_t>(length), mark ? 1 : 0);
    if (pattern.size() >= static_cast<std::size_t>(kDashPatternCapacity)) break;
  }
  return pattern;
}

}  // namespace qzarn::render
