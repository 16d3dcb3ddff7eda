#include "settings/setting_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/float_chars.h"

namespace qzarn {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  return s;
}

// Parses the whole text as an unsigned number in the given base.
std::optional<std::uint64_t> parse_unsigned(std::string_view digits, int base) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::int32_t> parse_setting_int(std::string_view text) {
  text = trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const bool hex = !text.empty() && text.front() == '$';
  const auto magnitude = parse_unsigned(hex ? text.substr(1) : text, hex ? 16 : 10);
  if (!magnitude) return std::nullopt;
  const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
  if (*magnitude > static_cast<std::uint64_t>(limit)) return std::nullopt;
  const auto v = static_cast<std::int64_t>(*magnitude);
  return static_cast<std::int32_t>(negative ? -v : v);
}

std::optional<bool> parse_setting_bool(std::string_view text) {
  const auto v = parse_setting_int(text);
  if (!v) return std::nullopt;
  return *v != 0;
}

std::optional<double> parse_setting_real(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, ec] = FromChars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<ColorRef> parse_setting_color(std::string_view text) {
  text = trim(text);
  std::optional<std::uint64_t> v;
  if (!text.empty() && text.front() == '$') {
    if (text.size() > 9) return std::nullopt;
    v = parse_unsigned(text.substr(1), 16);
  } else {
    v = parse_unsigned(text, 10);
  }
  if (!v || *v > 0xFFFFFF) return std::nullopt;
  return static_cast<ColorRef>(*v);
}

std::string format_setting_int(std::int32_t value) {
  return std::to_string(value);
}

std::string format_setting_bool(bool value) {
  return value ? "1" : "0";
}

std::string format_setting_real(double value) {
  char buffer[400];
  // Plain fixed notation for the magnitudes settings hold; scientific only where fixed
  // notation would run to hundreds of digits.
  const double magnitude = std::fabs(value);
  const bool fixed = value == 0 || (magnitude >= 1e-9 && magnitude < 1e15);
  const auto result =
      fixed ? ToCharsFixed(buffer, buffer + sizeof buffer, value)
                                 : ToChars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string format_setting_color(ColorRef value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%06X", static_cast<unsigned>(value & 0xFFFFFF));
  return buffer;
}

}  // namespace qzarn
