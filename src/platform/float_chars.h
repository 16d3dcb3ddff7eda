#pragma once
// Floating-point to_chars/from_chars for every C++ library the core is built with. Where the
// library has them (the desktop build) these forward to std::to_chars/std::from_chars; the
// browser build's C++ library has only the integer forms, so there the same results come from
// printf/strtod in the "C" locale. Both paths give the same text and the same values, so a
// number label, a setting or a notice reads alike on the desktop and in a web page.

#include <charconv>
#include <system_error>

namespace qzarn {

// The portable forms, compiled everywhere so that they can be checked against the library's.
namespace float_chars_portable {

// Shortest text that reads back as `value`: fixed or scientific, whichever is shorter (fixed
// on a tie), or always fixed when `fixed_only`.
std::to_chars_result ToChars(char* first, char* last, double value, bool fixed_only);
// printf's %.<precision>g.
std::to_chars_result ToCharsGeneral(char* first, char* last, double value, int precision);
// The longest prefix of [first, last) that is a number: an optional '-', digits with an
// optional '.', and (unless `fixed_only`) an exponent, or "inf", "infinity" or "nan". No
// blanks, no '+', no hexadecimal.
std::from_chars_result FromChars(const char* first, const char* last, double& value,
                                 bool fixed_only);

}  // namespace float_chars_portable

#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
inline std::to_chars_result ToChars(char* first, char* last, double value) {
  return std::to_chars(first, last, value);
}
inline std::to_chars_result ToCharsFixed(char* first, char* last, double value) {
  return std::to_chars(first, last, value, std::chars_format::fixed);
}
inline std::to_chars_result ToCharsGeneral(char* first, char* last, double value, int precision) {
  return std::to_chars(first, last, value, std::chars_format::general, precision);
}
inline std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  return std::from_chars(first, last, value);
}
inline std::from_chars_result FromCharsFixed(const char* first, const char* last, double& value) {
  return std::from_chars(first, last, value, std::chars_format::fixed);
}
#else
inline std::to_chars_result ToChars(char* first, char* last, double value) {
  return float_chars_portable::ToChars(first, last, value, false);
}
inline std::to_chars_result ToCharsFixed(char* first, char* last, double value) {
  return float_chars_portable::ToChars(first, last, value, true);
}
inline std::to_chars_result ToCharsGeneral(char* first, char* last, double value, int precision) {
  return float_chars_portable::ToCharsGeneral(first, last, value, precision);
}
inline std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  return float_chars_portable::FromChars(first, last, value, false);
}
inline std::from_chars_result FromCharsFixed(const char* first, const char* last, double& value) {
  return float_chars_portable::FromChars(first, last, value, true);
}
#endif

}  // namespace qzarn
