#include "forms/program_options.h"
#include "forms/line_style_form.h"

#include <gtest/gtest.h>

#include <string>

namespace qzarn::forms {
namespace {

// Every key that reaches a running part changes that part's value.
TEST(ProgramOptionsTest, EverySettingReachesItsPart) {
  const ProgramOptions d = ProgramOptionsFrom(UserSettings{}, ProgramSettings{});
  UserSettings u;
  ProgramSettings p;
  u.SelColorRev = !u.SelColorRev;
  u.PrintLineWidth = !u.PrintLineWidth;
  u.PrintBlackColor = !u.PrintBlackColor;
  u.Tangent = 50;
  u.AxisPrecision = 5;
  u.PointZoomFlag = false;
  u.cCharSpace = 0.7;
  u.AxisX_Char_X = -1.5;
  u.Axis_Ya_Lenght_Y = 0.9;
  u.FindDispFigure = true;
  u.InitFont = "ＭＳ 明朝";
  u.InitFontSize = 12;
  u.InitcFoStyle = 3;
  u.CompressMode = false;
  u.BackBitmapQuality = 80;
  u.DragDrop = false;
  u.HintPopup = false;
  u.EditAttr = false;
  u.ContAttrib = false;
  u.LineBit1 = "3,1,2,3,";
  u.LineBitSpace2 = 2.5;
  p.Math_Int_Limit = 0.25;
  p.PointFindValue = 4;
  p.CircleLocusFindValue = 2;
  const ProgramOptions o = ProgramOptionsFrom(u, p);

  EXPECT_NE(o.render.selection_colour_reversed, d.render.selection_colour_reversed);
  EXPECT_NE(o.render.print_line_width, d.render.print_line_width);
  EXPECT_NE(o.render.print_black, d.render.print_black);
  EXPECT_EQ(o.render.tangent, 50);
  EXPECT_EQ(o.hit.tangent, 50);
  EXPECT_EQ(o.render.axis_precision, 5);
  EXPECT_FALSE(o.render.layout.point_zoom);
  EXPECT_FALSE(o.hit.point_zoom);
  EXPECT_EQ(o.render.layout.char_space, 0.7);
  EXPECT_EQ(o.render.layout.axis_x_char_x, -1.5);
  EXPECT_EQ(o.render.layout.arrow_half_width, 0.9);
  EXPECT_TRUE(o.hit.shown_only);
  EXPECT_FALSE(d.hit.shown_only);
  EXPECT_EQ(o.hit.factors.PointFindValue, 4);
  EXPECT_EQ(o.hit.factors.CircleLocusFindValue, 2);
  EXPECT_EQ(o.int_gap, 0.25);
  EXPECT_EQ(d.int_gap, 0.01);
  EXPECT_EQ(d.font.FontName, "Arial");  // new figures never get an empty font name
  EXPECT_EQ(o.font.FontName, "\x82\x6c\x82\x72\x20\x96\xbe\x92\xa9");  // code page 932
  EXPECT_EQ(o.font.FontSize, 12);
  EXPECT_EQ(o.font.FontStyle, 3);
  EXPECT_FALSE(o.save.compressed);
  EXPECT_EQ(o.save.jpeg_quality, 80);
  EXPECT_FALSE(o.drag_drop || o.hint_popup || o.edit_attr || o.cont_attrib);
  EXPECT_TRUE(d.drag_drop && d.hint_popup && d.edit_attr && d.cont_attrib);
  EXPECT_EQ(o.line_styles.entries[1].run_count, 3);
  EXPECT_EQ(o.line_styles.entries[1].runs[2], 3);
  EXPECT_EQ(o.line_styles.entries[2].gap_factor, 2.5);
  EXPECT_EQ(d.line_styles, render::DefaultLineStyles());
}

TEST(ProgramOptionsTest, LineStylesGoBackIntoTheSettings) {
  UserSettings u;
  render::LineStyleTable table = render::DefaultLineStyles();
  table.entries[0].run_count = 2;
  table.entries[0].runs[0] = 5;
  table.entries[0].runs[1] = 1;
  table.entries[3].gap_factor = 1.5;
  StoreLineStylesInSettings(table, u);
  EXPECT_EQ(u.LineBit0, "2,5,1,");
  EXPECT_EQ(u.LineBitSpace3, 1.5);
  EXPECT_EQ(LineStylesFromSettings(u), table);
}

TEST(ProgramOptionsTest, DialogsStartInRecentDirElseDocumentsElseProgramFolder) {
  UserSettings u;
  const auto only = [](const char* folder) {
    return [folder](const std::filesystem::path& p) { return p == folder; };
  };
  EXPECT_EQ(DialogStartFolder(u, "/docs", "/prog", only("/docs")), "/docs");
  u.RecentDir = "/work/maths";
  EXPECT_EQ(DialogStartFolder(u, "/docs", "/prog", only("/work/maths")), "/work/maths");
  EXPECT_EQ(DialogStartFolder(u, "/docs", "/prog", only("/docs")), "/prog");
}

}  // namespace
}  // namespace qzarn::forms
