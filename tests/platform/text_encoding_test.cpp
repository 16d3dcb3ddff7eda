#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace qzarn {
namespace {

struct RoundTripCase {
  const char* label;
  std::string utf8;
  std::string cp932;
};

class Cp932RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(Cp932RoundTrip, DecodesAndEncodesBothWays) {
  const RoundTripCase& c = GetParam();
  EXPECT_EQ(cp932_to_utf8(c.cp932), c.utf8);
  const Cp932Text encoded = utf8_to_cp932(c.utf8);
  EXPECT_EQ(encoded.bytes, c.cp932);
  EXPECT_FALSE(encoded.lossy);
  EXPECT_TRUE(is_valid_cp932(c.cp932));
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Cp932RoundTrip,
    ::testing::Values(
        RoundTripCase{"empty", "", ""}, RoundTripCase{"ascii", "sin(x)+a_1", "sin(x)+a_1"},
        RoundTripCase{"backslash_stays_backslash", "C:\\Q_ZARN\\a.ini", "C:\\Q_ZARN\\a.ini"},
        RoundTripCase{"tilde_stays_tilde", "~", "~"}, RoundTripCase{"circled_one", "①", "\x87\x40"},
        RoundTripCase{"fullwidth_tilde", "～", "\x81\x60"},
        RoundTripCase{"small_roman_one", "ⅰ", "\xFA\x40"},
        RoundTripCase{"half_width_katakana", "ﾂｰﾙﾊﾞｰ", "\xC2\xB0\xD9\xCA\xDE\xB0"},
        RoundTripCase{"kanji_with_5c_trail", "表示", "\x95\x5C\x8E\xA6"},
        RoundTripCase{"font_name", "ＭＳ Ｐゴシック",
                      "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E"},
        RoundTripCase{"control_bytes", "\x1A\x1C\x7F", "\x1A\x1C\x7F"}),
    [](const auto& p) { return std::string(p.param.label); });

struct InvalidCase {
  const char* label;
  std::string cp932;
  std::string utf8;
};

class Cp932InvalidBytes : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(Cp932InvalidBytes, BecomeReplacementCharactersAndDecodingGoesOn) {
  const InvalidCase& c = GetParam();
  EXPECT_EQ(cp932_to_utf8(c.cp932), c.utf8);
  EXPECT_FALSE(is_valid_cp932(c.cp932));
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Cp932InvalidBytes,
    ::testing::Values(InvalidCase{"truncated_lead_at_end", "ab\x82", "ab\uFFFD"},
                      InvalidCase{"lone_lead", "\x88", "\uFFFD"},
                      InvalidCase{"lead_then_space", "\x82 x", "\uFFFD x"},
                      InvalidCase{"undefined_single_bytes", "\x80z\xA0\xFD\xFE\xFF",
                                  "\uFFFDz\uFFFD\uFFFD\uFFFD\uFFFD"},
                      InvalidCase{"valid_after_invalid", "\xFF\x82\xA0", "\uFFFDあ"}),
    [](const auto& p) { return std::string(p.param.label); });

TEST(Cp932Encode, UnconvertibleCharactersBecomeQuestionMarksAndAreReported) {
  struct Case {
    std::string utf8;
    std::string cp932;
  };
  const Case cases[] = {
      {"a\U0001F600b", "a?b"},                // four-byte character
      {"\u00E9t\u00E9", "?t?"},               // accented Latin letters
      {"x\xC3", "x?"},                        // UTF-8 cut off in the middle
      {"\x80\x80y", "??y"},                   // stray continuation bytes
      {"あ\xFF\u4E00", "\x82\xA0?\x88\xEA"},  // invalid byte between valid characters
  };
  for (const Case& c : cases) {
    const Cp932Text encoded = utf8_to_cp932(c.utf8);
    EXPECT_EQ(encoded.bytes, c.cp932) << c.utf8;
    EXPECT_TRUE(encoded.lossy) << c.utf8;
  }
}

TEST(Cp932Encode, LongTextsCrossTheConversionBuffer) {
  std::string utf8;
  std::string cp932;
  for (int i = 0; i < 5000; ++i) {
    utf8 += "あ";
    cp932 += "\x82\xA0";
  }
  utf8 += "\U0001F600";
  cp932 += "?";
  const Cp932Text encoded = utf8_to_cp932(utf8);
  EXPECT_EQ(encoded.bytes, cp932);
  EXPECT_TRUE(encoded.lossy);
  EXPECT_EQ(cp932_to_utf8(cp932), utf8.substr(0, utf8.size() - 4) + "?");
}

TEST(Cp932Prefix, NeverCutsADoubleByteCharacter) {
  const std::string text = "a\x82\xA0\x82\xA2";  // "aあい"
  struct Case {
    std::size_t max;
    std::size_t expected;
  };
  for (const Case& c :
       {Case{0, 0}, Case{1, 1}, Case{2, 1}, Case{3, 3}, Case{4, 3}, Case{5, 5}, Case{250, 5}})
    EXPECT_EQ(cp932_prefix_length(text, c.max), c.expected) << c.max;
  // A lead byte left dangling at the end of stored bytes is kept, not dropped.
  EXPECT_EQ(cp932_prefix_length("ab\x82", 10), 3u);
}

}  // namespace
}  // namespace qzarn
