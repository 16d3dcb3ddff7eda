#include "platform/float_chars.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/c_number_format.h"

namespace qzarn::float_chars_portable {
namespace {

std::to_chars_result Copy(char* first, char* last, const std::string& text) {
  if (static_cast<std::size_t>(last - first) < text.size())
    return {last, std::errc::value_too_large};
  std::memcpy(first, text.data(), text.size());
  return {first + text.size(), std::errc()};
}

double ReadBack(const char* text) {
  return std::strtod(text, nullptr);
}

// The shortest decimal digits that read back as |value| (no leading or trailing zeros), and
// the power of ten of the first digit.
void ShortestDigits(double magnitude, std::string& digits, int& exponent) {
  char buffer[64];
  // Once some number of digits reads back, every larger number does too (the nearer decimal
  // of more digits is no farther away), so the shortest is found by halving: five reads at
  // most instead of up to seventeen, each a slow long-double strtod in the browser.
  int low = 1, high = 17;
  while (low < high) {
    const int precision = (low + high) / 2;
    FormatC(buffer, sizeof buffer, "%.*e", precision - 1, magnitude);
    if (ReadBack(buffer) == magnitude)
      high = precision;
    else
      low = precision + 1;
  }
  FormatC(buffer, sizeof buffer, "%.*e", low - 1, magnitude);
  const char* e = std::strchr(buffer, 'e');
  exponent = std::atoi(e + 1);
  digits.clear();
  for (const char* p = buffer; p < e; ++p)
    if (*p != '.') digits += *p;
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();
}

std::string FixedText(const std::string& digits, int exponent) {
  const int count = static_cast<int>(digits.size());
  if (exponent < 0)
    return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  if (exponent + 1 >= count)
    return digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0');
  return digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
         digits.substr(static_cast<std::size_t>(exponent + 1));
}

std::string ScientificText(const std::string& digits, int exponent) {
  std::string text = digits.substr(0, 1);
  if (digits.size() > 1) text += "." + digits.substr(1);
  char tail[16];
  FormatC(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return text + tail;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool MatchesWord(const char* p, const char* last, const char* word) {
  for (; *word; ++p, ++word)
    if (p == last || (*p | 0x20) != *word) return false;
  return true;
}

}  // namespace

std::to_chars_result ToChars(char* first, char* last, double value, bool fixed_only) {
  std::string text = std::signbit(value) ? "-" : "";
  const double magnitude = std::fabs(value);
  if (std::isnan(value)) {
    text += "nan";
  } else if (std::isinf(value)) {
    text += "inf";
  } else if (magnitude == 0) {
    text += "0";
  } else {
    std::string digits;
    int exponent = 0;
    ShortestDigits(magnitude, digits, exponent);
    std::string fixed = FixedText(digits, exponent);
    if (exponent + 1 >= static_cast<int>(digits.size())) {
      // A whole number: its exact digits are as short as the padded shortest ones and lie
      // nearer the value, which is what the library writes.
      char whole[400];
      FormatC(whole, sizeof whole, "%.0f", magnitude);
      fixed = whole;
    }
    const std::string scientific = ScientificText(digits, exponent);
    text += fixed_only || fixed.size() <= scientific.size() ? fixed : scientific;
  }
  return Copy(first, last, text);
}

std::to_chars_result ToCharsGeneral(char* first, char* last, double value, int precision) {
  char buffer[400];
  FormatC(buffer, sizeof buffer, "%.*g", precision, value);
  return Copy(first, last, buffer);
}

std::from_chars_result FromChars(const char* first, const char* last, double& value,
                                 bool fixed_only) {
  const char* p = first;
  if (p != last && *p == '-') ++p;
  {
    for (const char* word : {"infinity", "inf", "nan"}) {
      if (!MatchesWord(p, last, word)) continue;
      const char* end = p + std::strlen(word);
      const bool is_nan = word[0] == 'n';
      if (is_nan && end != last && *end == '(') {
        const char* q = end + 1;
        while (q != last &&
               (IsDigit(*q) || ((*q | 0x20) >= 'a' && (*q | 0x20) <= 'z') || *q == '_'))
          ++q;
        if (q != last && *q == ')') end = q + 1;
      }
      const double magnitude = is_nan ? std::nan("") : HUGE_VAL;
      value = *first == '-' ? -magnitude : magnitude;
      return {end, std::errc()};
    }
  }
  const char* digits_start = p;
  while (p != last && IsDigit(*p))
    ++p;
  bool any_digit = p != digits_start;
  if (p != last && *p == '.') {
    const char* fraction = ++p;
    while (p != last && IsDigit(*p))
      ++p;
    any_digit = any_digit || p != fraction;
  }
  if (!any_digit) return {first, std::errc::invalid_argument};
  if (!fixed_only && p != last && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q != last && (*q == '+' || *q == '-')) ++q;
    const char* exponent_digits = q;
    while (q != last && IsDigit(*q))
      ++q;
    if (q != exponent_digits) p = q;
  }
  const std::string text(first, p);
  const double parsed = ReadBack(text.c_str());
  if (std::isinf(parsed)) return {p, std::errc::result_out_of_range};
  value = parsed;
  return {p, std::errc()};
}

}  // namespace qzarn::float_chars_portable
