#include "render/figure_drawing_primitives.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render_test_support.h"

namespace qzarn::render {
namespace {

using testing_support::NewScreenView;
using testing_support::PixelExactOptions;

TEST(SelectionColour, WhiteBackgroundGivesOneColourWhateverTheFigure) {
  const ViewParams p = NewScreenView();
  RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  DrawContext ctx(canvas, p, o);
  for (Colour c : {0x000000u, 0x0000FFu, 0x123456u})
    EXPECT_EQ(SelectionColour(ctx, kWhite, c), 0x547AE1u);
  // On another background: round((b | c) * 0.61).
  EXPECT_EQ(SelectionColour(ctx, 0x000000, 0x0000FF),
            static_cast<Colour>(std::nearbyint(0xFF * 0.61)));
  o.selection_colour_reversed = false;
  DrawContext off(canvas, p, o);
  EXPECT_EQ(SelectionColour(off, kWhite, 0x0000FF), 0x0000FFu);
}

TEST(SelectionColour, NeverOnPaper) {
  const ViewParams p = NewScreenView();
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas({4800, 6600});
  DrawContext ctx(canvas, p, o, PrintSetup{true, 7.425, {4800, 6600}});
  EXPECT_EQ(SelectionColour(ctx, kWhite, 0x0000FF), 0x0000FFu);
}

TEST(DrawDot, RadiusGrowsOnPaperAndFarDotsAreDropped) {
  const ViewParams p = NewScreenView();
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  {
    DrawContext ctx(canvas, p, o);
    DrawDot(ctx, 3, 1, 1);
    DrawDot(ctx, -1, 0, 0);       // negative radius
    DrawDot(ctx, 3, 1e6, 0);      // 2.5e7 pixels away
    DrawDot(ctx, 3, 1e15, 1e15);  // undefined figure
  }
  ASSERT_EQ(canvas.CountOf(CallKind::kEllipse), 1u);
  EXPECT_EQ(canvas.CallsOf(CallKind::kEllipse)[0].box, (RectF{342, 212, 349, 219}));
  RecordingCanvas paper({4800, 6600});
  {
    DrawContext ctx(paper, p, o, PrintSetup{true, 2, {4800, 6600}});
    DrawDot(ctx, 3, 0, 0);
  }
  EXPECT_EQ(paper.CallsOf(CallKind::kEllipse)[0].box, (RectF{634, 474, 647, 487}));
}

TEST(DrawCircle, SolidDashedAndClear) {
  const ViewParams p = NewScreenView();
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  DrawContext ctx(canvas, p, o);
  canvas.SetPen(Pen{kBlack, 1, PenStyle::kSolid});
  LinePainter solid = ctx.Lines();
  solid.BeginDash();
  DrawCircle(ctx, solid, 50, 0, 0);
  ASSERT_EQ(canvas.CountOf(CallKind::kEllipse), 1u);
  EXPECT_EQ(canvas.CallsOf(CallKind::kEllipse)[0].box, (RectF{270, 190, 370, 290}));

  canvas.ClearCalls();
  canvas.SetPen(Pen{kBlack, 1, PenStyle::kDash});
  LinePainter dashed = ctx.Lines();
  dashed.BeginDash();
  DrawCircle(ctx, dashed, 50, 0, 0);
  EXPECT_EQ(canvas.CountOf(CallKind::kEllipse), 0u);
  const auto marks = canvas.CallsOf(CallKind::kLine);
  // Circumference about 314 pixels at a period of 6 (gap 2, mark 4): at least 52 marks
  // (more where a mark runs across a chord joint), none longer than the mark.
  EXPECT_GE(marks.size(), 50u);
  for (const CanvasCall& m : marks)
    EXPECT_LE(std::hypot(m.points[1].x - m.points[0].x, m.points[1].y - m.points[0].y), 4.3);

  canvas.ClearCalls();
  canvas.SetPen(Pen{kBlack, 1, PenStyle::kClear});
  LinePainter clear = ctx.Lines();
  clear.BeginDash();
  DrawCircle(ctx, clear, 50, 0, 0);
  DrawCircle(ctx, solid, -1, 0, 0);
  EXPECT_TRUE(canvas.DrawingCalls().empty());
}

TEST(ArrowHead, FiveCornersAlongTheShaft) {
  const ViewParams p = NewScreenView();
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  {
    DrawContext ctx(canvas, p, o);
    canvas.SetPen(Pen{0x00FF00, 2, PenStyle::kSolid});
    // Tip at (4, 0), shaft from the origin; length 0.4 units (10 px), half angle 30.
    DrawArrowHead(ctx, {4, 0}, {0, 0}, 0.4, 30, 2);
    DrawArrowHead(ctx, {1, 1}, {1, 1 + 1e-6}, 0.4, 30, 2);  // coinciding ends: nothing
    EXPECT_EQ(canvas.pen(), (Pen{0x00FF00, 2, PenStyle::kSolid})) << "pen restored";
  }
  const auto polygons = canvas.CallsOf(CallKind::kPolygon);
  ASSERT_EQ(polygons.size(), 1u);
  const auto& c = polygons[0].points;
  ASSERT_EQ(c.size(), 5u);
  const double b = 10 + 2, a = b * std::cos(M_PI / 6), s = b * std::sin(M_PI / 6);
  EXPECT_NEAR(c[2].x, 420, 1e-9);  // the tip
  EXPECT_NEAR(c[2].y, 240, 1e-9);
  EXPECT_NEAR(c[1].x, 420 - a, 1e-9);
  EXPECT_NEAR(std::fabs(c[1].y - 240), s + 1, 1e-9);
  EXPECT_NEAR(c[0].x, 420 - 0.6 * a, 1e-9);
  EXPECT_EQ(polygons[0].state.brush, (Brush{BrushStyle::kSolid, 0x00FF00}));
  EXPECT_EQ(polygons[0].state.pen.width, 1);
}

TEST(ArrowSegment, SingleAndDoubleHeaded) {
  const ViewParams p = NewScreenView();
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  {
    DrawContext ctx(canvas, p, o);
    DrawArrowSegment(ctx, {0, 0}, {4, 0}, 0.4, 30, 2, false);
    DrawArrowSegment(ctx, {0, 0}, {4, 0}, 0.4, 30, 2, true);
  }
  const auto polygons = canvas.CallsOf(CallKind::kPolygon);
  ASSERT_EQ(polygons.size(), 2u);
  EXPECT_EQ(polygons[0].points.size(), 7u);
  EXPECT_EQ(polygons[0].points[0], (PointF{320, 241}));
  EXPECT_EQ(polygons[1].points.size(), 10u);
  EXPECT_EQ(polygons[1].points[0], (PointF{320, 240}));  // second tip at the start
}

TEST(ArrowLineWidth, PaperRules) {
  const ViewParams p = NewScreenView();
  RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  DrawContext screen(canvas, p, o);
  EXPECT_EQ(ArrowLineWidth(screen, 2), 2);
  DrawContext enlarged(canvas, p, o, PrintSetup{true, 5, {}});
  EXPECT_EQ(ArrowLineWidth(enlarged, 2), 10);
  o.print_line_width = false;
  DrawContext kept(canvas, p, o, PrintSetup{true, 5, {}});
  EXPECT_EQ(ArrowLineWidth(kept, 2), 5);  // at least one surface pixel
  EXPECT_EQ(ArrowLineWidth(kept, 7), 7);
}

TEST(LabelText, FarAnchorsAndOffSurfaceBoxesAreSkipped) {
  const ViewParams p = NewScreenView();
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  DrawContext ctx(canvas, p, o);
  SetLabelFont(ctx, "IPAPGothic", 20, 0, 128, 0x0000FF);
  EXPECT_TRUE(DrawLabelText(ctx, "AB", 0, 0, HAnchor::kRight, VAnchor::kTop));
  EXPECT_EQ(ctx.last_text_position, (PointF{300, 240}));  // two 10 px characters to the left
  EXPECT_FALSE(DrawLabelText(ctx, "AB", 1000, 0, HAnchor::kLeft, VAnchor::kTop));  // 25320 px
  // Just right of the surface: anchored at its left edge, drawn; at its right, not.
  EXPECT_TRUE(DrawLabelText(ctx, "AB", 12.8, 0, HAnchor::kRight, VAnchor::kMiddle));
  EXPECT_FALSE(DrawLabelText(ctx, "AB", 13, 0, HAnchor::kLeft, VAnchor::kMiddle));
  const auto texts = canvas.CallsOf(CallKind::kText);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].state.font.height, 20);
  EXPECT_EQ(texts[0].state.font.colour, 0x0000FFu);
}

}  // namespace
}  // namespace qzarn::render
