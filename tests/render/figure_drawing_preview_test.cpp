#include "render/figure_drawing_preview.h"

#include <gtest/gtest.h>

#include "render_test_support.h"

namespace qzarn::render {
namespace {

using testing_support::NewScreenView;
using testing_support::PixelExactOptions;

class PreviewTest : public ::testing::Test {
 protected:
  ViewParams params = NewScreenView();
  RenderOptions options = PixelExactOptions();
  RecordingCanvas canvas;
};

TEST_F(PreviewTest, BandsAreErasableAndLeaveCopyModeBehind) {
  {
    DrawContext ctx(canvas, params, options);
    PreviewLine(ctx, {0, 0}, {2, 1}, false, std::nullopt);
    PreviewRectangle(ctx, {1, 1}, {-1, -1});
    PreviewCircle(ctx, {0, 0}, 2, PreviewPen{0x0000FF, 1, 3});
    PreviewParabola(ctx, {0, 0}, {1, 1}, std::nullopt);
    EXPECT_EQ(canvas.state().raster_mode, RasterMode::kCopy);
  }
  const auto drawn = canvas.DrawingCalls();
  ASSERT_GT(drawn.size(), 10u);
  for (const CanvasCall& c : drawn)
    EXPECT_EQ(c.state.raster_mode, RasterMode::kNotXor);
  const auto lines = canvas.CallsOf(CallKind::kLine);
  EXPECT_EQ(lines[0].state.pen, (Pen{kBlack, 2, PenStyle::kSolid}));  // nothing remembered
  const auto rects = canvas.CallsOf(CallKind::kRectangle);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].box, (RectF{295, 215, 346, 266}));
  EXPECT_EQ(rects[0].state.pen, (Pen{kBlack, 1, PenStyle::kSolid}));
  EXPECT_EQ(rects[0].state.brush.style, BrushStyle::kClear);
}

TEST_F(PreviewTest, WholeLineAndCoincidentPoints) {
  {
    DrawContext ctx(canvas, params, options);
    PreviewLine(ctx, {0, 0}, {1, 0}, true, PreviewPen{0x00FF00, 0, 3});
    PreviewLine(ctx, {1, 1}, {1, 1}, false, std::nullopt);
    PreviewLine(ctx, {20000, 0}, {1, 1}, false, std::nullopt);  // off the plane: ignored
  }
  const auto lines = canvas.CallsOf(CallKind::kLine);
  ASSERT_EQ(lines.size(), 1u);
  // Extended by the visible width plus height (25.6 + 19.2 units) on both sides.
  EXPECT_EQ(lines[0].points[0].x, 320 - 44.8 * 25);
  EXPECT_EQ(lines[0].points[1].x, 320 + 45.8 * 25);
  EXPECT_EQ(lines[0].state.pen, (Pen{0x00FF00, 3, PenStyle::kSolid}));
  const auto dots = canvas.CallsOf(CallKind::kEllipse);
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_EQ(dots[0].box, (RectF{342, 212, 349, 219}));
}

}  // namespace
}  // namespace qzarn::render
