#pragma once
// Conversion between UTF-8 (the user interface, Qt, file names) and code page 932, the
// Japanese Windows code page in which documents and settings files store their text.
//
// On the desktop the conversion goes through glibc iconv's "CP932" table: unlike strict Shift JIS it knows
// the vendor characters (① ～ ⅰ ...) and keeps 0x5C a backslash and 0x7E a tilde. In a web
// page the browser's Shift_JIS decoder, which is code page 932, fills the same table once.
//
// Bytes that do not convert never stop a conversion and never crash:
// - Decoding: each byte that does not start a valid character (a stray trail byte, 0x80,
//   0xA0, 0xFD..0xFF, a lead byte followed by an invalid trail byte or by nothing) becomes
//   U+FFFD and decoding resumes at the next byte. The result is for display only: callers
//   keep the stored bytes of a record or a settings line and decode them again when needed,
//   so showing a damaged text never changes it.
// - Encoding: each character that code page 932 cannot hold, and each byte of malformed
//   UTF-8, becomes '?', and the result says that it happened so that the caller can tell
//   the user that the text was not stored as typed.

#include <cstddef>
#include <string>
#include <string_view>

namespace qzarn {

// Code page 932 bytes -> UTF-8; invalid bytes become U+FFFD (see above).
std::string cp932_to_utf8(std::string_view cp932);

struct Cp932Text {
  std::string bytes;   // code page 932
  bool lossy = false;  // some characters were replaced by '?'
};

// UTF-8 -> code page 932; characters without a code page 932 form become '?'.
Cp932Text utf8_to_cp932(std::string_view utf8);

// True when the whole text consists of valid code page 932 characters.
bool is_valid_cp932(std::string_view cp932);

// True for the first byte of a double-byte character (0x81..0x9F, 0xE0..0xFC).
constexpr bool is_cp932_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The longest prefix of at most max_bytes bytes that does not cut a double-byte character
// in two. Fixed-width string fields (expressions of 250 bytes, font names of 32) are cut
// with it so that a stored text never ends in half a character.
std::size_t cp932_prefix_length(std::string_view cp932, std::size_t max_bytes);

// Length of the well-formed UTF-8 sequence at the start of text, 0 when it is malformed or
// the text is empty. An encoder skips that many bytes for a character it cannot hold.
std::size_t utf8_sequence_length(std::string_view text);

}  // namespace qzarn
