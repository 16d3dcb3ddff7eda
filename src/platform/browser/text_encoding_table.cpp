// Code page 932 in a web page. The browser's C library converts plain Shift_JIS only, without
// the vendor rows (circled digits, NEC and IBM extensions) that lessons use; the browser's own
// Shift_JIS decoder is code page 932, so it fills one table of every double-byte character the
// first time text is converted. Decoding and encoding then follow the desktop's rules: each
// byte that does not start a character becomes U+FFFD and decoding resumes at the next byte;
// each character without a code page 932 form becomes '?'.
#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

#include "platform/text_encoding.h"

namespace qzarn {
namespace {

constexpr int kLeads = 60;    // 0x81..0x9F, 0xE0..0xFC
constexpr int kTrails = 189;  // 0x40..0xFC

// Fills table[lead * kTrails + trail] with the UTF-16 unit of each valid pair, 0 elsewhere:
// one decode of every pair, each followed by a line feed (never a trail byte), split again.
// clang-format off
EM_JS(void, qzarn_fill_cp932_table, (std::uint16_t* table), {
  const leads = [];
  for (let b = 0x81; b <= 0x9F; ++b) leads.push(b);
  for (let b = 0xE0; b <= 0xFC; ++b) leads.push(b);
  const bytes = new Uint8Array(leads.length * 189 * 3);
  let n = 0;
  for (const lead of leads)
    for (let trail = 0x40; trail <= 0xFC; ++trail) {
      bytes[n++] = lead;
      bytes[n++] = trail;
      bytes[n++] = 0x0A;
    }
  const parts = new TextDecoder("shift_jis").decode(bytes).split("\n");
  const base = table >> 1;
  for (let i = 0; i < leads.length * 189; ++i) {
    const part = parts[i];
    HEAPU16[base + i] =
        part.length === 1 && part !== "\uFFFD" ? part.charCodeAt(0) : 0;
  }
});
// clang-format on

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";

int LeadIndex(unsigned char lead) {
  return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
}

unsigned char LeadByte(int index) {
  return static_cast<unsigned char>(index < 31 ? 0x81 + index : 0xE0 + index - 31);
}

struct Tables {
  std::array<std::uint16_t, kLeads * kTrails> pairs{};
  std::unordered_map<char32_t, std::uint16_t> encode;

  Tables() {
    qzarn_fill_cp932_table(pairs.data());
    // The first pair in code order wins, as Windows encodes (the NEC row before the IBM
    // rows); the NEC-selected copies of the IBM rows (0xED, 0xEE) are never written.
    for (int lead = 0; lead < kLeads; ++lead) {
      const unsigned char byte = LeadByte(lead);
      if (byte == 0xED || byte == 0xEE) continue;
      for (int trail = 0; trail < kTrails; ++trail)
        if (const std::uint16_t unit = pairs[lead * kTrails + trail])
          encode.emplace(unit, static_cast<std::uint16_t>(byte << 8 | (0x40 + trail)));
    }
    for (int lead = 0; lead < kLeads; ++lead)
      for (int trail = 0; trail < kTrails; ++trail)
        if (const std::uint16_t unit = pairs[lead * kTrails + trail])
          encode.emplace(unit, static_cast<std::uint16_t>(LeadByte(lead) << 8 | (0x40 + trail)));
  }
};

const Tables& tables() {
  static const Tables instance;
  return instance;
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The character at cp932[i] and its length in bytes; 0 for a byte that starts none.
std::pair<char32_t, std::size_t> DecodeOne(std::string_view cp932, std::size_t i) {
  const auto byte = static_cast<unsigned char>(cp932[i]);
  if (byte < 0x80) return {byte, 1};
  if (byte >= 0xA1 && byte <= 0xDF) return {0xFF61 + (byte - 0xA1), 1};
  if (!is_cp932_lead_byte(byte) || i + 1 >= cp932.size()) return {0, 0};
  const auto trail = static_cast<unsigned char>(cp932[i + 1]);
  if (trail < 0x40 || trail > 0xFC) return {0, 0};
  const std::uint16_t unit = tables().pairs[LeadIndex(byte) * kTrails + (trail - 0x40)];
  return unit ? std::pair<char32_t, std::size_t>{unit, 2} : std::pair<char32_t, std::size_t>{0, 0};
}

char32_t DecodeUtf8(std::string_view sequence) {
  const auto lead = static_cast<unsigned char>(sequence[0]);
  if (sequence.size() == 1) return lead;
  char32_t c = lead & (0x7F >> sequence.size());
  for (std::size_t i = 1; i < sequence.size(); ++i)
    c = c << 6 | (static_cast<unsigned char>(sequence[i]) & 0x3F);
  return c;
}

}  // namespace

std::string cp932_to_utf8(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size());
  for (std::size_t i = 0; i < cp932.size();) {
    const auto [c, length] = DecodeOne(cp932, i);
    if (length == 0) {
      out.append(kUtf8Replacement);
      ++i;
    } else {
      AppendUtf8(c, out);
      i += length;
    }
  }
  return out;
}

Cp932Text utf8_to_cp932(std::string_view utf8) {
  Cp932Text result;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = utf8_sequence_length(utf8.substr(i));
    if (length == 0) {
      result.bytes += '?';
      result.lossy = true;
      ++i;
      continue;
    }
    const char32_t c = DecodeUtf8(utf8.substr(i, length));
    i += length;
    if (c < 0x80) {
      result.bytes += static_cast<char>(c);
    } else if (c >= 0xFF61 && c <= 0xFF9F) {
      result.bytes += static_cast<char>(0xA1 + (c - 0xFF61));
    } else if (const auto found = tables().encode.find(c); found != tables().encode.end()) {
      result.bytes += static_cast<char>(found->second >> 8);
      result.bytes += static_cast<char>(found->second & 0xFF);
    } else {
      result.bytes += '?';
      result.lossy = true;
    }
  }
  return result;
}

bool is_valid_cp932(std::string_view cp932) {
  for (std::size_t i = 0; i < cp932.size();) {
    const std::size_t length = DecodeOne(cp932, i).second;
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace qzarn
