// The portable floating-point conversions stand in for the library's in the web page's build;
// on the desktop both exist, so every case is checked against the library itself.
#include "platform/float_chars.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace qzarn {
namespace {

namespace portable = float_chars_portable;

std::string Text(std::to_chars_result r, char* buffer) {
  return r.ec == std::errc() ? std::string(buffer, r.ptr) : "<error>";
}

const double kValues[] = {0.0,
                          -0.0,
                          1.0,
                          -1.5,
                          0.1,
                          0.3,
                          1.0 / 3.0,
                          2.0 / 3.0,
                          100.0,
                          123456789.0,
                          1e15,
                          1e16,
                          1e21,
                          1.25e22,
                          1e-5,
                          1.5e-7,
                          5e-324,
                          std::numeric_limits<double>::max(),
                          std::numeric_limits<double>::min(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          0.000123,
                          12345.678,
                          9007199254740993.0,
                          0.1 + 0.2};

TEST(FloatChars, PortableToCharsWritesWhatTheLibraryWrites) {
  for (const double v : kValues) {
    char a[400], b[400];
    EXPECT_EQ(Text(portable::ToChars(a, a + sizeof a, v, false), a),
              Text(std::to_chars(b, b + sizeof b, v), b))
        << v;
    EXPECT_EQ(Text(portable::ToChars(a, a + sizeof a, v, true), a),
              Text(std::to_chars(b, b + sizeof b, v, std::chars_format::fixed), b))
        << v;
    for (const int precision : {1, 3, 6, 17}) {
      EXPECT_EQ(Text(portable::ToCharsGeneral(a, a + sizeof a, v, precision), a),
                Text(std::to_chars(b, b + sizeof b, v, std::chars_format::general, precision), b))
          << v << " %." << precision << "g";
    }
  }
}

// The shortest digits are searched by halving the digit count: every length from 1 to 17
// must come out as the library's, from random bit patterns and from short decimals.
TEST(FloatChars, PortableShortestDigitsMatchTheLibraryForEveryLength) {
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  const auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  int lengths[18] = {};
  for (int i = 0; i < 20000; ++i) {
    double v;
    if (i % 2 == 0) {
      const std::uint64_t bits = next();
      std::memcpy(&v, &bits, sizeof v);
      if (!std::isfinite(v)) continue;
    } else {
      // A decimal of 1..17 digits, shifted: every length turns up.
      const int digits = 1 + static_cast<int>(next() % 17);
      const auto whole =
          static_cast<double>(next() % static_cast<std::uint64_t>(std::pow(10.0, digits)));
      v = whole / std::pow(10.0, static_cast<double>(next() % 12));
    }
    char a[400], b[400];
    const std::string library =
        Text(std::to_chars(b, b + sizeof b, v, std::chars_format::scientific), b);
    ASSERT_EQ(Text(portable::ToChars(a, a + sizeof a, v, false), a),
              Text(std::to_chars(b, b + sizeof b, v), b))
        << library;
    const std::size_t mantissa = library.find('e') - (library[0] == '-' ? 1 : 0);
    ++lengths[std::min<std::size_t>(17, mantissa > 1 ? mantissa - 1 : 1)];
  }
  for (int n = 1; n <= 17; ++n)
    EXPECT_GT(lengths[n], 0) << n << " digits never tried";
}

TEST(FloatChars, PortableToCharsReportsASmallBuffer) {
  char small[3];
  EXPECT_EQ(portable::ToChars(small, small + sizeof small, 12345.5, false).ec,
            std::errc::value_too_large);
}

TEST(FloatChars, PortableFromCharsReadsWhatTheLibraryReads) {
  const char* texts[] = {"0",     "-0",       "1.5",      "-2.25e3", "1e",    "1e+",   ".5",
                         "5.",    ".",        "-",        "+1",      " 1",    "1x",    "1.2.3",
                         "inf",   "-INF",     "infinity", "nan",     "0x10",  "1e400", "1e-5",
                         "12abc", "3.14e-2z", "e5",       "",        "00012", "1E5"};
  for (const char* text : texts) {
    const std::string s = text;
    for (const bool fixed : {false, true}) {
      double a = 42, b = 42;
      const auto pa = portable::FromChars(s.data(), s.data() + s.size(), a, fixed);
      const auto pb =
          fixed ? std::from_chars(s.data(), s.data() + s.size(), b, std::chars_format::fixed)
                : std::from_chars(s.data(), s.data() + s.size(), b);
      EXPECT_EQ(pa.ec, pb.ec) << '"' << s << '"' << (fixed ? " fixed" : "");
      EXPECT_EQ(pa.ptr - s.data(), pb.ptr - s.data()) << '"' << s << '"' << (fixed ? " fixed" : "");
      if (pa.ec == std::errc() && !std::isnan(b)) {
        EXPECT_EQ(a, b) << s;
      }
    }
  }
}

}  // namespace
}  // namespace qzarn
