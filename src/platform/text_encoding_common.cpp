// The parts of the code page 932 conversion that need no conversion table, shared by the
// desktop's iconv conversion and the web page's table.
#include "platform/text_encoding.h"

#include <algorithm>

namespace qzarn {

std::size_t utf8_sequence_length(std::string_view text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t n = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF)
    n = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    n = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    n = 4;
  else
    return 0;
  if (text.size() < n) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
  return n;
}

std::size_t cp932_prefix_length(std::string_view cp932, std::size_t max_bytes) {
  std::size_t i = 0;
  while (i < cp932.size()) {
    std::size_t n = is_cp932_lead_byte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
    n = std::min(n, cp932.size() - i);
    if (i + n > max_bytes) break;
    i += n;
  }
  return i;
}

}  // namespace qzarn
