#include "expr/normalise.h"

#include "expr/decimal.h"

namespace qzarn {
namespace {

bool IsUpperLetter(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

char Fold(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool IsPlainNumberText(std::string_view text) {
  if (text.empty() || Fold(text[0]) == 'E') return false;
  return ParseDecimal(text).has_value();
}

void NormaliseExpressionInto(std::string_view text, std::string& out) {
  out.clear();
  if (IsPlainNumberText(text)) {
    out.assign(text);
    return;
  }
  // Folding and space removal happen on the fly; a word is a maximal run of
  // letters and digits starting with a letter, and a word of one letter gets
  // the row digit 0 so that it reads as the plain variable.
  std::size_t i = 0;
  auto next = [&](char& c) {
    while (i < text.size()) {
      char raw = text[i++];
      if (raw == ' ') continue;
      c = Fold(raw);
      return true;
    }
    return false;
  };
  char c;
  bool have = next(c);
  while (have) {
    if (!IsUpperLetter(c)) {
      out.push_back(c);
      have = next(c);
      continue;
    }
    std::size_t word_length = 0;
    while (have && (IsUpperLetter(c) || IsDigit(c))) {
      out.push_back(c);
      ++word_length;
      have = next(c);
    }
    if (word_length == 1) out.push_back('0');
  }
}

std::string NormaliseExpression(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  NormaliseExpressionInto(text, out);
  return out;
}

}  // namespace qzarn
