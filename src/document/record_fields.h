#pragma once
// Field types of the byte-exact records (figures, settings block, equations).
// Every type has alignment 1 and stores its value little-endian, so a record
// struct built from them has no padding, its offsets are exactly the stored
// ones, and a field may sit at any offset (the file packs f64 values at odd
// multiples of 4).

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace qzarn {

struct NumberTag {};
struct ColourTag {};
struct PointerTag {};

// A little-endian value of type T kept as raw bytes.
template <class T, class Tag = NumberTag>
struct LE {
  std::uint8_t bytes[sizeof(T)];

  T get() const {
    std::uint8_t b[sizeof(T)];
    std::memcpy(b, bytes, sizeof b);
    if constexpr (std::endian::native == std::endian::big) std::reverse(b, b + sizeof b);
    T v;
    std::memcpy(&v, b, sizeof v);
    return v;
  }
  void set(T v) {
    std::memcpy(bytes, &v, sizeof v);
    if constexpr (std::endian::native == std::endian::big) std::reverse(bytes, bytes + sizeof(T));
  }
  operator T() const { return get(); }
  LE& operator=(T v) {
    set(v);
    return *this;
  }
};

using I16 = LE<std::int16_t>;
using I32 = LE<std::int32_t>;
using F32 = LE<float>;
using F64 = LE<double>;
// A colour as 0x00BBGGRR.
using Colour = LE<std::uint32_t, ColourTag>;
// A word that held a memory address when the record was written. It never holds
// one here: what it pointed to lives beside the record, and the word is kept
// only so that it is written back as it was read.
using PointerWord = LE<std::uint32_t, PointerTag>;

// One byte, 0 = false, 1 = true. Other values read as true and are kept as stored.
struct Bool8 {
  std::uint8_t raw;
  operator bool() const { return raw != 0; }
  Bool8& operator=(bool v) {
    raw = v ? 1 : 0;
    return *this;
  }
};

static_assert(sizeof(I32) == 4 && alignof(I32) == 1);
static_assert(sizeof(F64) == 8 && alignof(F64) == 1);
static_assert(sizeof(Bool8) == 1);

// True for the first byte of a two-byte character of code page 932.
constexpr bool IsCp932LeadByte(std::uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The longest prefix of `text` of at most `max_bytes` bytes that does not end
// in the first half of a two-byte character.
constexpr std::size_t Cp932PrefixLength(std::string_view text, std::size_t max_bytes) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t width = IsCp932LeadByte(static_cast<std::uint8_t>(text[i])) ? 2 : 1;
    if (i + width > max_bytes || i + width > text.size()) break;
    i += width;
  }
  return i;
}

// A length-prefixed string of at most N bytes of code page 932 text, N + 1
// bytes in all. Bytes past the length are kept as they were stored.
template <std::size_t N>
struct PString {
  static_assert(N > 0 && N <= 255);
  static constexpr std::size_t kCapacity = N;

  std::uint8_t Length;
  std::uint8_t Chars[N];

  // A corrupt length byte above N reads as N.
  std::size_t size() const { return std::min<std::size_t>(Length, N); }
  bool empty() const { return size() == 0; }
  std::string_view view() const {
    return std::string_view(reinterpret_cast<const char*>(Chars), size());
  }
  // Stores text cut to N bytes, never splitting a two-byte character; returns
  // whether the whole text fitted.
  bool assign(std::string_view text) {
    const std::size_t n = Cp932PrefixLength(text, N);
    std::memcpy(Chars, text.data(), n);
    Length = static_cast<std::uint8_t>(n);
    return n == text.size();
  }
  PString& operator=(std::string_view text) {
    assign(text);
    return *this;
  }
  bool operator==(std::string_view text) const { return view() == text; }
};

static_assert(sizeof(PString<4>) == 5);
static_assert(sizeof(PString<250>) == 251);

}  // namespace qzarn
