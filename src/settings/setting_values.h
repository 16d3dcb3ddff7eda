#pragma once
// Reading and writing the values of settings keys. Every reader takes the value text as it
// stands in the file and returns nothing when the text is not a value of its kind, so that
// the caller falls back to the key's default.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qzarn {

// A colour as the files and records store it: 0x00BBGGRR.
using ColorRef = std::uint32_t;

constexpr ColorRef rgb(unsigned red, unsigned green, unsigned blue) {
  return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

// A decimal integer ("-12") or a hexadecimal one written "$1F"; blanks around are ignored.
std::optional<std::int32_t> parse_setting_int(std::string_view text);

// An integer, 0 meaning false and anything else true.
std::optional<bool> parse_setting_bool(std::string_view text);

// A finite decimal number with "." as the decimal point ("0.1", "-0.36", "1e-3").
std::optional<double> parse_setting_real(std::string_view text);

// "$BBGGRR" (up to eight hexadecimal digits) or a decimal colour value; values above
// 0xFFFFFF are not colours.
std::optional<ColorRef> parse_setting_color(std::string_view text);

std::string format_setting_int(std::int32_t value);
std::string format_setting_bool(bool value);  // "0" or "1"
// The shortest decimal text that reads back as the same number ("0.1", "100", "-0.36").
std::string format_setting_real(double value);
std::string format_setting_color(ColorRef value);  // "$BBGGRR", upper-case digits

}  // namespace qzarn
