// The portable floating-point conversions stand in for the library's in the web page's build;
// on the desktop both exist, so every case is checked against the library itself.
#include "platform/float_chars.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
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
