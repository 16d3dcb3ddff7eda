#include "forms/accessible_name.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace qzarn::forms {

namespace {

// Decodes one UTF-8 sequence at `at`; malformed bytes count as one code point
// that is not punctuation.
char32_t Next(std::string_view text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || at + static_cast<std::size_t>(extra) >= text.size()) {
    ++at;
    return 0xFFFD;
  }
  char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k)
    c = (c << 6) | (byte(at + static_cast<std::size_t>(k)) & 0x3F);
  at += static_cast<std::size_t>(extra) + 1;
  return c;
}

// Symbols that appear in formula captions and choice lists beside the ASCII
// ones; everything else outside ASCII (kana, ideographs, Latin letters) is
// a word.
constexpr std::array<char32_t, 34> kSymbols = {
    U'≦',  U'≧',  U'≤',  U'≥',  U'≠',  U'−',  U'±',  U'×',  U'÷',      U'²',  U'³',  U'ﾟ',
    U'°',  U'・', U'、', U'。', U'，', U'．', U'（', U'）', U'：',     U'＝', U'＞', U'＜',
    U'＋', U'－', U'▲',  U'▼',  U'…',  U'‥',  U'｡',  U'､',  U'\u3000', U'･'};

bool IsWordCharacter(char32_t c) {
  if (c < 0x80) return std::isalnum(static_cast<int>(c)) != 0;
  return std::ranges::find(kSymbols, c) == kSymbols.end();
}

}  // namespace

std::string SpokenCaption(std::string_view caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    // "(&K)" after a word is the mnemonic alone: it goes as a whole.
    if (caption.substr(i).starts_with("(&") && i + 3 < caption.size() && caption[i + 3] == ')' &&
        caption[i + 2] != '&') {
      i += 3;
      continue;
    }
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!out.empty() && blank(out.back()))
    out.pop_back();
  const auto first = std::ranges::find_if_not(out, blank);
  return std::string(first, out.end());
}

bool PunctuationOnly(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size())
    if (IsWordCharacter(Next(text, at))) return false;
  return true;
}

bool UsableName(std::string_view name) {
  return !PunctuationOnly(name) && name.find('&') == std::string_view::npos;
}

}  // namespace qzarn::forms
