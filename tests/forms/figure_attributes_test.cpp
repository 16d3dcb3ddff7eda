#include "forms/figure_attributes.h"

#include <gtest/gtest.h>

#include "document/field_table.h"
#include "engine/function_sampling.h"

namespace qzarn::forms {
namespace {

using C = AttributeControl;

double Field(const FigureRecord& r, std::string_view name) {
  const FieldInfo* f = FindField(r.type(), name);
  EXPECT_NE(f, nullptr) << name;
  return f ? ReadNumber(r.bytes(), *f).value_or(-999) : -999;
}

void SetField(FigureRecord& r, std::string_view name, double value) {
  const FieldInfo* f = FindField(r.type(), name);
  ASSERT_NE(f, nullptr) << name;
  WriteNumber(r.bytes(), *f, value);
}

FigureRecord Region() {
  FigureRecord r = FigureRecord::Blank(kFunctionFigure);
  r.function()->FuncKind = kImplicitCurve;
  r.function()->Mode = 1;
  return r;
}

// Which controls each kind of figure binds (colour, size, style, fill, font
// name, font colour, font size, second colour) and the second colour's hint.
// Every bound control is written and read back, so a field name the record
// does not know shows up as a lost value.
TEST(FigureAttributes, EveryTypeBindsItsControlsAndTheyRoundTrip) {
  struct Case {
    FigureRecord record;
    const char* bound;  // one letter per control, '-' unbound
    const char* hint;
    bool locus;
  };
  const Case cases[] = {
      {FigureRecord::Blank(kPointFigure), "XX--XXXX", "内部色", true},
      {FigureRecord::Blank(kBuntenFigure), "XX--XXXX", "内部色", true},
      {FigureRecord::Blank(kCross2Figure), "XX--XXXX", "内部色", true},
      {FigureRecord::Blank(kCross3Figure), "XX--XXXX", "内部色", true},
      {FigureRecord::Blank(kLineFigure), "XXX-XXXX", "点の色", true},
      {FigureRecord::Blank(kSessenFigure), "XXX-XXXX", "点の色", true},
      {FigureRecord::Blank(kParabolaFigure), "XXX-XXXX", "点の色", true},
      {FigureRecord::Blank(kAngleFigure), "XXX-XXXX", "点の色", true},
      {FigureRecord::Blank(kCircleFigure), "XXXXXXXX", "内部色", true},
      {FigureRecord::Blank(kAngle2Figure), "XXX-XXXX", "内部色", true},
      {FigureRecord::Blank(kMensekiFigure), "XX-XXXX-", "内部色", true},
      {FigureRecord::Blank(kPolyFigure), "XXXXXXXX", "内部色", false},
      {FigureRecord::Blank(kSplineFigure), "XXX-----", "内部色", false},
      {FigureRecord::Blank(kFunctionFigure), "XXX----X", "点の色", true},
      {Region(), "XXX-XXXX", "領域色", false},
      {FigureRecord::Blank(kOleFigure), "XXX----X", "背景色", false},
      {FigureRecord::Blank(kCharFigure), "XXX-XXXX", "背景色", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record.type());
    FigureRecord r = c.record;
    FigureAttributes want = ShowFigureAttributes(&r);
    for (int i = 0; i < kAttributeControlCount; ++i)
      EXPECT_EQ(want.enabled[static_cast<std::size_t>(i)], c.bound[i] == 'X') << i;
    EXPECT_EQ(want.second_hint, c.hint);
    EXPECT_EQ(want.can_have_locus, c.locus);
    want.colour = 0x0000FF;
    want.size = 7;
    want.style = 3;
    want.fill = 6;
    want.font_name = "Serif";
    want.font_colour = 0x00FF00;
    want.font_size = 33;
    want.second_colour = 0xFF0000;
    EXPECT_TRUE(ApplyFigureAttributes(r, want));
    const FigureAttributes got = ShowFigureAttributes(&r);
    const auto same = [&](C control, const auto& wanted, const auto& shown) {
      if (want.is_enabled(control))
        EXPECT_EQ(shown, wanted) << static_cast<int>(control);
      else
        EXPECT_FALSE(shown.has_value()) << static_cast<int>(control);
    };
    same(C::kColour, want.colour, got.colour);
    same(C::kSize, want.size, got.size);
    same(C::kStyle, want.style, got.style);
    same(C::kFill, want.fill, got.fill);
    same(C::kFontName, want.font_name, got.font_name);
    same(C::kFontColour, want.font_colour, got.font_colour);
    same(C::kFontSize, want.font_size, got.font_size);
    same(C::kSecondColour, want.second_colour, got.second_colour);
    // Applying what is shown again changes nothing.
    EXPECT_FALSE(ApplyFigureAttributes(r, got));
  }
}

// The displays a changed control switches on, one control changed at a time.
TEST(FigureAttributes, ChangedControlsSwitchOnTheirDisplays) {
  struct Case {
    std::int32_t type;
    C control;
    const char* flag;  // the field that must become 1
  };
  const Case cases[] = {
      {kPointFigure, C::kSize, "DispMark"},        {kPointFigure, C::kColour, "DispMark"},
      {kPointFigure, C::kFontSize, "DispName"},    {kLineFigure, C::kSecondColour, "DispP"},
      {kLineFigure, C::kStyle, "DispL"},           {kLineFigure, C::kFontColour, "DispC"},
      {kParabolaFigure, C::kSize, "DispL"},        {kCircleFigure, C::kColour, "DispL"},
      {kCircleFigure, C::kFontName, "DispC"},      {kAngle2Figure, C::kStyle, "DispMark"},
      {kAngle2Figure, C::kFontSize, "DispName"},   {kPolyFigure, C::kFill, "DispB"},
      {kPolyFigure, C::kFontSize, "DispZ"},        {kSplineFigure, C::kColour, "DispL"},
      {kOleFigure, C::kSecondColour, "DispBk"},    {kCharFigure, C::kSize, "DispL"},
      {kMensekiFigure, C::kFontSize, "DispValue"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << " " << static_cast<int>(c.control));
    FigureRecord r = FigureRecord::Blank(c.type);
    SetField(r, c.flag, 0);
    FigureAttributes a = ShowFigureAttributes(&r);
    switch (c.control) {
      case C::kColour:
        a.colour = 0x123456;
        break;
      case C::kSize:
        a.size = 9;
        break;
      case C::kStyle:
        a.style = 2;
        break;
      case C::kFill:
        a.fill = 3;
        break;
      case C::kFontName:
        a.font_name = "Gothic";
        break;
      case C::kFontColour:
        a.font_colour = 0x654321;
        break;
      case C::kFontSize:
        a.font_size = 44;
        break;
      case C::kSecondColour:
        a.second_colour = 0xABCDEF;
        break;
    }
    EXPECT_TRUE(ApplyFigureAttributes(r, a));
    EXPECT_EQ(Field(r, c.flag), 1);
  }
}

TEST(FigureAttributes, SpecialRulesAndRefusals) {
  // An interior colour for an unfilled circle or polygon fills it with pattern 5;
  // a filled one keeps its pattern.
  for (std::int32_t type : {kCircleFigure, kPolyFigure}) {
    for (int before : {0, 2}) {
      FigureRecord r = FigureRecord::Blank(type);
      SetField(r, "StyleB", before);
      FigureAttributes a = ShowFigureAttributes(&r);
      a.second_colour = 0x00FFFF;
      ASSERT_TRUE(ApplyFigureAttributes(r, a));
      EXPECT_EQ(Field(r, "StyleB"), before == 0 ? 5 : before) << type;
    }
  }
  // The font of an area shows its value, unless its name is shown.
  for (bool name_shown : {false, true}) {
    FigureRecord r = FigureRecord::Blank(kMensekiFigure);
    SetField(r, "DispName", name_shown);
    SetField(r, "DispValue", 0);
    FigureAttributes a = ShowFigureAttributes(&r);
    a.font_colour = 0x0000FF;
    ASSERT_TRUE(ApplyFigureAttributes(r, a));
    EXPECT_EQ(Field(r, "DispValue"), name_shown ? 0 : 1);
  }
  // A new font name looks the font up in the default character set.
  FigureRecord text = FigureRecord::Blank(kCharFigure);
  SetField(text, "FontSet", 128);
  FigureAttributes a = ShowFigureAttributes(&text);
  a.font_name = "Mincho";
  ASSERT_TRUE(ApplyFigureAttributes(text, a));
  EXPECT_EQ(Field(text, "FontSet"), 1);

  // Sizes outside 1..99 write nothing at all, not even the other controls.
  FigureRecord line = FigureRecord::Blank(kLineFigure);
  SetField(line, "SizeL", 3);
  for (std::int32_t bad : {0, 100, -5}) {
    FigureAttributes b = ShowFigureAttributes(&line);
    b.size = bad;
    b.colour = 0x0000FF;
    EXPECT_FALSE(ApplyFigureAttributes(line, b)) << bad;
    EXPECT_EQ(Field(line, "SizeL"), 3);
    EXPECT_EQ(Field(line, "LineColor"), 0);
  }
  // A stored style beyond the list shows blank and is left alone.
  SetField(line, "StyleL", 99);
  FigureAttributes shown = ShowFigureAttributes(&line);
  EXPECT_TRUE(shown.is_enabled(C::kStyle));
  EXPECT_FALSE(shown.style.has_value());
  shown.colour = 0x00FF00;
  ASSERT_TRUE(ApplyFigureAttributes(line, shown));
  EXPECT_EQ(Field(line, "StyleL"), 99);

  // Nothing selected: every control blank and disabled.
  const FigureAttributes none = ShowFigureAttributes(nullptr);
  for (bool on : none.enabled)
    EXPECT_FALSE(on);
  EXPECT_FALSE(none.colour || none.size || none.font_name || none.second_colour);
  EXPECT_EQ(none.second_hint, kDefaultSecondHint);

  // A locus that is on is told, whatever its type calls the flag.
  FigureRecord point = FigureRecord::Blank(kPointFigure);
  point.point()->Track = true;
  FigureRecord curve = FigureRecord::Blank(kFunctionFigure);
  curve.function()->KisekiF = true;
  EXPECT_TRUE(ShowFigureAttributes(&point).locus_on);
  EXPECT_TRUE(ShowFigureAttributes(&curve).locus_on);
  EXPECT_FALSE(ShowFigureAttributes(&line).locus_on);
}

TEST(FigureAttributes, SizeTextIsAWholeNumberFrom1To99) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {{"1", 1},
                        {" 99 ", 99},
                        {"0", std::nullopt},
                        {"100", std::nullopt},
                        {"", std::nullopt},
                        {"2.5", std::nullopt},
                        {"abc", std::nullopt},
                        {"-3", std::nullopt},
                        {"99999999999", std::nullopt}};
  for (const Case& c : cases)
    EXPECT_EQ(ParseAttributeSize(c.text), c.value) << c.text;
  EXPECT_EQ(AttributeControlOf(103), C::kColour);
  EXPECT_EQ(AttributeControlOf(110), C::kSecondColour);
  EXPECT_FALSE(AttributeControlOf(102).has_value());
  EXPECT_FALSE(AttributeControlOf(111).has_value());
}

}  // namespace
}  // namespace qzarn::forms
