// Text boxes drawn through the screen pass: automatic size written back into
// the record, ordered corners, background, frame, live values, selection.

#include <gtest/gtest.h>

#include "document/screen.h"
#include "render/draw_screen.h"
#include "render/recording_canvas.h"
#include "render/text_box.h"

namespace qzarn::render {
namespace {

// Rectangles of the text boxes: the screen's background and outer frame
// (both from the surface corner) left out.
std::vector<CanvasCall> BoxRects(const RecordingCanvas& canvas) {
  std::vector<CanvasCall> out;
  for (const CanvasCall& c : canvas.CallsOf(CallKind::kRectangle))
    if (c.box.left > 0 && c.box.top > 0) out.push_back(c);
  return out;
}

class TextBoxTest : public ::testing::Test {
 protected:
  TextBoxTest() {
    NewScreenDefaults d;
    d.InitScreenX = 640;
    d.InitScreenY = 480;
    d.InitGrid = false;
    d.InitAxis = false;
    ScreenTitleCounter titles;
    screen = Screen::Create(d, titles);
    options.antialiasing = false;
  }

  FrameRecord& AddBox(double x0, double y0, double x1, double y1) {
    const int slot = next_slot++;
    EXPECT_TRUE(PlaceFigure(screen->Figures, slot, FigureRecord::Blank(kCharFigure)));
    FrameRecord& f = *screen->Figures.record(slot)->frame();
    f.X0 = x0;
    f.Y0 = y0;
    f.X1 = x1;
    f.Y1 = y1;
    f.Boolean = false;
    f.DispL = true;
    f.SizeL = 1;
    f.StyleL = 0;
    f.RimColor = 0x0000FFu;
    f.DispBk = false;
    f.IsIcon = false;
    TextFrameTail& t = f.Text();
    t.Font.FontSize = 16;
    t.Font.FontStyle = 0;
    t.Font.FontSet = 128;
    t.CharW = 5;
    t.CharX = 0;
    t.CharY = 4;
    for (auto& line : t.Lines)
      line = "";
    return f;
  }

  RecordingCanvas Draw() {
    RecordingCanvas canvas({640, 480});
    DrawScreen(canvas, screen.get(), options);
    return canvas;
  }

  std::unique_ptr<Screen> screen;
  RenderOptions options;
  int next_slot = 0;
};

TEST_F(TextBoxTest, AutomaticSizeFitsTheWidestLineAndRewritesTheCorner) {
  // Origin at (320, 240), 25 pixels per unit: the first corner (-5, 5) is the
  // pixel box's left 195 and top 116.
  FrameRecord& f = AddBox(-5, 5, 0, 0);
  f.IsIcon = true;
  f.FX1 = "0";
  f.FY1 = "";
  f.Text().Lines[0] = "abc";
  f.Text().Lines[1] = "abcdef";
  f.Text().Lines[3] = "x^2";
  const RecordingCanvas canvas = Draw();
  // g = 1 div 2 + 5 = 5; widest = 5 + 6 * 8 = 53; right = 195 + 53 + 5 = 253.
  // pitch = 4 + 16 = 20; bottom = 116 + 4 * 20 + 2 * 5 - 4 = 202.
  const auto rects = BoxRects(canvas);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].box, (RectF{195, 116, 253, 202}));
  EXPECT_DOUBLE_EQ(f.X1.get(), (252 - 320) / 25.0);
  EXPECT_DOUBLE_EQ(f.Y1.get(), (240 - 202) / 25.0);
  EXPECT_EQ(f.FX1.view(), "-2.72");
  EXPECT_EQ(f.FY1.view(), "1.52");
  // Lines start at left + g, one pitch apart.
  const auto texts = canvas.CallsOf(CallKind::kText);
  ASSERT_EQ(texts.size(), 3u + 6u + 2u);
  EXPECT_EQ(texts[0].points[0], (PointF{200, 121}));
  EXPECT_EQ(texts[3].points[0], (PointF{200, 141}));
  EXPECT_EQ(texts[9].points[0], (PointF{200, 181}));
  // Drawing again changes nothing: the fitted corner is stable.
  Draw();
  EXPECT_EQ(f.FX1.view(), "-2.72");
  EXPECT_EQ(f.FY1.view(), "1.52");
}

TEST_F(TextBoxTest, CornerExpressionsThatAreNotPlainNumbersStay) {
  FrameRecord& f = AddBox(-5, 5, 0, 0);
  f.IsIcon = true;
  f.FX1 = "a+1";
  f.FY1 = "-3.5";
  f.Text().Lines[0] = "abc";
  Draw();
  EXPECT_EQ(f.FX1.view(), "a+1");
  EXPECT_EQ(f.FY1.view(), "3.92");  // (240 - (116 + 20 + 10 - 4)) / 25
  EXPECT_DOUBLE_EQ(f.X1.get(), (195 + 5 + 24 + 5 - 1 - 320) / 25.0);
}

// A box whose corner lies so far off the surface that its pixel saturates at the int range
// keeps its pixel box on that side: sums of saturated pixels must not wrap round to the other
// end of the range (the fitted corner would then jump to the far side of the plane).
TEST_F(TextBoxTest, CornersBeyondThePixelRangeSaturate) {
  const struct {
    double x0, y0;
    bool icon;
  } cases[] = {{9e7, 0, true}, {0, -9e7, true}, {-9e7, 9e7, true}, {9e7, -9e7, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x0 << ", " << c.y0 << (c.icon ? " icon" : ""));
    FrameRecord& f = AddBox(c.x0, c.y0, c.x0, c.y0);
    f.IsIcon = c.icon;
    f.FX1 = "";
    f.FY1 = "";
    f.Text().Lines[0] = "far";
    Draw();
    if (!c.icon) continue;  // drawn (or not) without overflow: what the sanitizers check
    // The fitted corner stays on the side of the plane the box is on.
    if (c.x0 != 0) {
      EXPECT_GT(f.X1.get() * c.x0, 0.0);
    }
    if (c.y0 != 0) {
      EXPECT_GT(f.Y1.get() * c.y0, 0.0);
    }
  }
}

TEST_F(TextBoxTest, EmptyAutomaticBoxIsTwentyPixelsSquare) {
  FrameRecord& f = AddBox(0, 0, 3, -3);
  f.IsIcon = true;
  const auto rects = BoxRects(Draw());
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].box, (RectF{320, 241, 340, 261}));
}

TEST(PlainNumberTextTest, Table) {
  for (const char* s : {"", "0", "-2.72", "3.", ".5", "+1", "12345678.0000000001"})
    EXPECT_TRUE(IsPlainNumberText(s)) << s;
  for (const char* s : {"a", "1+2", " 1", "1 ", "1e5", "--1", "2*a", "-", "0x10"})
    EXPECT_FALSE(IsPlainNumberText(s)) << s;
}

TEST_F(TextBoxTest, CornersOrderedBackgroundAndFrame) {
  FrameRecord& f = AddBox(2, -2, -2, 2);  // drawn from the lower right
  f.DispBk = true;
  f.ColorBk = 0x00FFFFu;
  f.Text().Lines[0] = "Hi";
  const RecordingCanvas canvas = Draw();
  const auto rects = BoxRects(canvas);
  ASSERT_EQ(rects.size(), 2u);
  // The corners keep their pixel rounding and are then swapped: left =
  // round(PX(-2)) + 1 = 271, right = round(PX(2)) = 370, top = 190, bottom = 291.
  EXPECT_EQ(rects[0].box, (RectF{271, 190, 370, 291}));
  EXPECT_EQ(rects[0].state.brush, (Brush{BrushStyle::kSolid, 0x00FFFFu}));
  EXPECT_EQ(rects[0].state.pen.style, PenStyle::kClear);
  EXPECT_EQ(rects[1].box, rects[0].box);
  EXPECT_EQ(rects[1].state.brush.style, BrushStyle::kClear);
  EXPECT_EQ(rects[1].state.pen.colour, 0x0000FFu);
  const auto texts = canvas.CallsOf(CallKind::kText);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].points[0], (PointF{276, 195}));
  EXPECT_EQ(texts[0].state.background_mode, BackgroundMode::kTransparent);
}

TEST_F(TextBoxTest, LiveValuesHiddenBoxesAndSelection) {
  FrameRecord& f = AddBox(-5, 5, 5, -5);
  f.Text().Lines[2] = "a=$a$";
  screen->Variables().write(0, 1, 0.25);
  std::string joined;
  for (const CanvasCall& t : Draw().CallsOf(CallKind::kText))
    joined += t.text;
  EXPECT_EQ(joined, "a=0.25");

  // Display condition off, or a corner far beyond the plane: nothing at all.
  f.Boolean = true;
  f.ConditionValue = 0;
  EXPECT_TRUE(BoxRects(Draw()).empty());
  EXPECT_EQ(Draw().CountOf(CallKind::kText), 0u);
  f.Boolean = false;
  f.X1 = 1e8;
  EXPECT_TRUE(BoxRects(Draw()).empty());
  EXPECT_EQ(Draw().CountOf(CallKind::kText), 0u);
  f.X1 = 5;

  // Selected while dragging without full redraw: the frame alone, erasably.
  screen->SelectedIndex = 0;
  screen->View().FullRedraw = false;
  const RecordingCanvas dragged = Draw();
  EXPECT_EQ(dragged.CountOf(CallKind::kText), 0u);
  ASSERT_EQ(BoxRects(dragged).size(), 1u);
  EXPECT_EQ(BoxRects(dragged)[0].state.raster_mode, RasterMode::kNotXor);
}

TEST_F(TextBoxTest, FontsGrowWithTheZoom) {
  FrameRecord& f = AddBox(-1, 1, 1, -1);
  f.IsIcon = true;
  f.Text().Lines[0] = "a_1";
  screen->View().Zoom = 200.0;
  const auto texts = Draw().CallsOf(CallKind::kText);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].state.font.height, 32);  // 16 * 2
  EXPECT_EQ(texts[1].state.font.height, 19);  // round(16 * 2 * 0.6)
  EXPECT_DOUBLE_EQ(texts[1].points[0].y - texts[0].points[0].y, 32 - 19);
}

}  // namespace
}  // namespace qzarn::render
