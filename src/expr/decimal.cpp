#include "expr/decimal.h"

#include <locale.h>
#include <clocale>
#include <cmath>
#include <cstdlib>

namespace qzarn {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool HasDecimalShape(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  int digits = 0;
  bool point = false;
  for (; i < t.size(); ++i) {
    if (IsDigit(t[i])) {
      ++digits;
    } else if (t[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i == t.size()) return true;
  if (t[i] != 'E' && t[i] != 'e') return false;
  ++i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  int exponent_digits = 0;
  for (; i < t.size() && IsDigit(t[i]); ++i)
    ++exponent_digits;
  return exponent_digits > 0 && i == t.size();
}

locale_t CLocale() {
  static locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  return c;
}

}  // namespace

std::optional<double> ParseDecimal(std::string_view text) {
  if (text.empty() || text.size() > 4096 || !HasDecimalShape(text)) return std::nullopt;
  char buffer[4100];
  text.copy(buffer, text.size());
  buffer[text.size()] = '\0';
  double value = strtod_l(buffer, nullptr, CLocale());
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace qzarn
