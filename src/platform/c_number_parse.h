#pragma once
// The counterpart of c_number_format: a number typed in a field or stored in
// the settings is read the same whatever the process locale ("." as the
// decimal point), and only when the whole text is that number.

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <system_error>
#include <type_traits>

#include "platform/float_chars.h"

namespace qzarn {

// Blanks, tabs and a line end left over from a settings file are not part of
// the number.
inline std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A whole number or a finite real filling the text, a leading "+" allowed;
// nothing otherwise (empty text, trailing characters, out of range).
template <typename T>
std::optional<T> ParseWholeText(std::string_view s) {
  s = TrimBlanks(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  T value{};
  std::from_chars_result read;
  if constexpr (std::is_floating_point_v<T>)
    read = FromChars(s.data(), s.data() + s.size(), value);
  else
    read = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || read.ec != std::errc() || read.ptr != s.data() + s.size()) return std::nullopt;
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(value)) return std::nullopt;
  }
  return value;
}

}  // namespace qzarn
