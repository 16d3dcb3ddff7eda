// Text box lines: value tokens, superscripts and subscripts, upright
// punctuation in italic text, double-byte characters and the box edges.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/recording_canvas.h"
#include "render/text_markup.h"

namespace qzarn::render {
namespace {

VariableTable TableWith(std::initializer_list<std::tuple<int, int, double>> cells) {
  VariableTable t;
  t.reset_for_new_screen();
  for (const auto& [row, column, v] : cells)
    t.write(row, column, v);
  return t;
}

TEST(InsertValueTest, Tokens) {
  const VariableTable t = TableWith({{0, 1, 0.25},     // a
                                     {0, 2, 1.0 / 3},  // b
                                     {0, 3, -2.5},     // c
                                     {0, 4, 1e-11},    // d
                                     {1, 1, 2},        // a1
                                     {9, 26, 7},       // z9
                                     {0, 5, 1e300}});  // e
  struct Case {
    const char* content;
    const char* text;
  } cases[] = {
      {"a", "0.25"},
      {"A", "0.25"},
      {"a:6:3", " 0.250"},
      {"a:0:0", "0"},
      {"c:8:2", "   -2.50"},
      {"a:12", "2.500000e-01"},
      {"a:14", "  2.500000e-01"},
      {"b", "0.3333333333"},
      {"c", "-2.5"},
      {"d", "0"},
      {"a1", "2"},
      {"Z9", "7"},
      // Names outside the ten rows and 26 columns.
      {"a0", "[Error!]"},
      {"aa", "[Error!]"},
      {"a10", "[Error!]"},
      {"", "[Error!]"},
      {"1", "[Error!]"},
      {"\x82\xa0", "[Error!]"},
      // Widths and decimals are whole numbers 0..20.
      {"a:21", "[Error!]"},
      {"a:-1", "[Error!]"},
      {"a:x", "[Error!]"},
      {"a:", "[Error!]"},
      {"a:6:", "[Error!]"},
      {"a:6:21", "[Error!]"},
      {"a: 6", "[Error!]"},
      {"a:6:3:1", "[Error!]"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(InsertValue(c.content, &t), c.text) << c.content;

  // A huge value in fixed notation is long but still a number.
  const std::string huge = InsertValue("e:20:20", &t);
  EXPECT_GT(huge.size(), 300u);
  EXPECT_EQ(huge.substr(huge.size() - 21), ".00000000000000000000");
  EXPECT_EQ(InsertValue("a", nullptr), "[Error!]");
}

TEST(InsertValueTest, ValuesThatCannotBeWritten) {
  VariableTable t = TableWith({});
  t.write(0, 1, std::numeric_limits<double>::quiet_NaN());
  t.write(0, 2, std::numeric_limits<double>::infinity());
  for (const char* c : {"a", "a:6:2", "b", "b:10"})
    EXPECT_EQ(InsertValue(c, &t), "[Error!]") << c;
}

class MarkupLineTest : public ::testing::Test {
 protected:
  MarkupLineTest() {
    style.normal.height = 20;
    style.normal.style = kFontItalic;
    style.small.height = 12;
    style.small.style = kFontItalic;
    style.char_spacing = 1;
    MeasureMarkupFonts(canvas, style);
    style.variables = &table;
  }

  std::vector<CanvasCall> Layout(std::string_view line, RectF box = {0, 0, 1000, 1000}) {
    canvas.ClearCalls();
    end = LayoutMarkupLine(canvas, line, {10, 100}, box, style);
    return canvas.CallsOf(CallKind::kText);
  }

  VariableTable table = TableWith({{0, 1, 0.25}});
  RecordingCanvas canvas;
  MarkupStyle style;
  double end = 0;
};

TEST_F(MarkupLineTest, SuperscriptSubscriptAndUprightOperators) {
  // Recording metric: normal 20 high, 10 wide; small 12 high, 6 wide.
  const auto texts = Layout("x^2|+y_1");
  ASSERT_EQ(texts.size(), 5u);
  struct Expect {
    const char* text;
    double x, y;
    int height;
    bool italic;
  } expected[] = {
      {"x", 10, 100, 20, true},  {"2", 21, 100, 12, false},            // hangs from the line top
      {"+", 28, 100, 20, false},                                       // upright in italic text
      {"y", 39, 100, 20, true},  {"1", 50, 100 + 20 - 12, 12, false},  // sits on the line bottom
  };
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i].text, expected[i].text);
    EXPECT_DOUBLE_EQ(texts[i].points[0].x, expected[i].x) << i;
    EXPECT_DOUBLE_EQ(texts[i].points[0].y, expected[i].y) << i;
    EXPECT_EQ(texts[i].state.font.height, expected[i].height) << i;
    EXPECT_EQ((texts[i].state.font.style & kFontItalic) != 0, expected[i].italic) << i;
    EXPECT_EQ(texts[i].state.anchor, (TextAnchor{HorizontalAnchor::kStart, VerticalAnchor::kTop}));
  }
  EXPECT_DOUBLE_EQ(end, 57);
  EXPECT_DOUBLE_EQ(MeasureMarkupLine(canvas, "x^2|+y_1", 10, style), 57);
}

std::string Joined(const std::vector<CanvasCall>& texts) {
  std::string s;
  for (const CanvasCall& t : texts)
    s += t.text;
  return s;
}

TEST_F(MarkupLineTest, ValueTokensAreLaidOutAsTypedText) {
  EXPECT_EQ(Joined(Layout("a=$a$ cm")), "a=0.25 cm");
  EXPECT_EQ(Joined(Layout("[$a:6:3$]")), "[ 0.250]");
  EXPECT_EQ(Joined(Layout("$q1q$, $a$")), "[Error!], 0.25");
  // The value takes the size in force: a superscript value stays small.
  const auto small = Layout("^$a$");
  ASSERT_EQ(small.size(), 4u);
  EXPECT_EQ(small[0].state.font.height, 12);
  EXPECT_EQ(small[3].state.font.height, 12);
  // A "$" without its closing mark is drawn and the line goes on.
  EXPECT_EQ(Joined(Layout("5$ and a")), "5$ and a");
  EXPECT_EQ(Joined(Layout("$$x")), "[Error!]x");
}

TEST_F(MarkupLineTest, DoubleByteCharactersAreOneGlyph) {
  // "あい" then a half-width katakana "ｱ" (single byte 0xB1).
  const auto texts = Layout("\x82\xa0\x82\xa2\xb1");
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "\u3042");
  EXPECT_EQ(texts[1].text, "\u3044");
  EXPECT_EQ(texts[2].text, "\uFF71");
  EXPECT_DOUBLE_EQ(texts[1].points[0].x, 31);  // full-width: 20 + 1
  // Double-byte characters keep the italic style; the katakana is upright.
  EXPECT_TRUE(texts[0].state.font.style & kFontItalic);
  EXPECT_FALSE(texts[2].state.font.style & kFontItalic);
  // A lead byte at the very end is drawn alone, not joined with nothing.
  EXPECT_EQ(Layout("a\x82").size(), 2u);
}

TEST_F(MarkupLineTest, LineStopsAtTheBoxEdges) {
  // Characters of 10 plus 1 spacing from x = 10: "d" ends at 53.
  EXPECT_EQ(Joined(Layout("abcdef", {0, 0, 53, 1000})), "abcd");
  EXPECT_EQ(Joined(Layout("abcdef", {0, 0, 52, 1000})), "abc");
  // The line top is 100 and a character is 20 high: bottom 119 still fits
  // (120 <= 119 + 1), bottom 118 does not.
  EXPECT_EQ(Joined(Layout("ab", {0, 0, 1000, 119})), "ab");
  EXPECT_TRUE(Layout("ab", {0, 0, 1000, 118}).empty());
  // Subscripts end on the line bottom; a superscript fits where the normal
  // text does not.
  EXPECT_EQ(Joined(Layout("a_b", {0, 0, 1000, 119})), "ab");
  EXPECT_EQ(Joined(Layout("^a", {0, 0, 1000, 111})), "a");
  EXPECT_EQ(Joined(Layout("^a|b", {0, 0, 1000, 111})), "a");
  // Stopping ends the line: later characters that would fit are not drawn.
  EXPECT_EQ(Joined(Layout("a\x82\xa0^b", {0, 0, 30, 1000})), "a");
}

}  // namespace
}  // namespace qzarn::render
