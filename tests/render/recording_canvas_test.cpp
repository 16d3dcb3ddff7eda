#include "render/recording_canvas.h"

#include <gtest/gtest.h>

#include "platform/rgb_image.h"

namespace qzarn::render {
namespace {

TEST(RecordingCanvas, DrawingCallsCarryTheStateInForce) {
  RecordingCanvas c;
  c.SetPen({MakeColour(255, 0, 0), 3, PenStyle::kSolid});
  c.SetBrush({BrushStyle::kDiagonalCross, MakeColour(0, 0, 255)});
  c.SetRasterMode(RasterMode::kNotXor);
  const Point tri[] = {{0, 0}, {10, 0}, {5, 8}};
  c.DrawPolygon(tri);
  c.SetRasterMode(RasterMode::kCopy);
  c.DrawEllipse(RectF{1.5, 2, 11.5, 12});

  std::vector<CanvasCall> drawn = c.DrawingCalls();
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0].kind, CallKind::kPolygon);
  EXPECT_TRUE(drawn[0].integer);
  EXPECT_EQ(drawn[0].points, (std::vector<PointF>{{0, 0}, {10, 0}, {5, 8}}));
  EXPECT_EQ(drawn[0].state.pen.colour, 0x0000FFu);
  EXPECT_EQ(drawn[0].state.brush.style, BrushStyle::kDiagonalCross);
  EXPECT_EQ(drawn[0].state.raster_mode, RasterMode::kNotXor);
  EXPECT_EQ(drawn[1].state.raster_mode, RasterMode::kCopy);
  EXPECT_FALSE(drawn[1].integer);
  EXPECT_EQ(drawn[1].box, (RectF{1.5, 2, 11.5, 12}));
  EXPECT_EQ(c.CountOf(CallKind::kSetRasterMode), 2u);
}

TEST(RecordingCanvas, SaveAndRestoreState) {
  RecordingCanvas c;
  c.SetClipRect({0, 0, 10, 10});
  c.SaveState();
  c.SetPen({kWhite, 5, PenStyle::kDot});
  c.ClearClipRect();
  c.SetAntialiasing(true);
  c.RestoreState();
  EXPECT_EQ(c.pen(), Pen{});
  ASSERT_TRUE(c.state().clip.has_value());
  EXPECT_EQ(*c.state().clip, (Rect{0, 0, 10, 10}));
  EXPECT_FALSE(c.state().antialiasing);
  c.RestoreState();  // nothing saved: no change
  EXPECT_TRUE(c.state().clip.has_value());
}

TEST(RecordingCanvas, MeasuresTextWithAFixedMetric) {
  RecordingCanvas c;
  Font f;
  f.height = 15;
  c.SetFont(f);
  EXPECT_EQ(c.MeasureText("ab1"), (TextExtent{24, 15, 12}));
  EXPECT_EQ(c.MeasureText("x座標"), (TextExtent{8 + 30, 15, 12}));
  EXPECT_EQ(c.MeasureText(""), (TextExtent{0, 15, 12}));
}

TEST(RecordingCanvas, RecordsTextArcsAndImages) {
  RecordingCanvas c;
  c.DrawText({3, 4}, "P₁");
  c.DrawPie(RectF{0, 0, 20, 20}, 30, -90);
  RgbImage img(4, 3);
  c.DrawImage({10, 10, 18, 16}, img);
  ASSERT_EQ(c.calls().size(), 3u);
  EXPECT_EQ(c.calls()[0].text, "P₁");
  EXPECT_EQ(c.calls()[1].sweep_degrees, -90);
  EXPECT_EQ(c.calls()[2].image_size, (Size{4, 3}));
  EXPECT_EQ(c.calls()[2].box, (RectF{10, 10, 18, 16}));
}

TEST(AnchoredTextOrigin, PlacesTheBoxAroundThePoint) {
  const TextExtent e{40, 20, 16};
  struct Case {
    TextAnchor anchor;
    PointF origin;
  };
  const std::vector<Case> cases = {
      {{HorizontalAnchor::kStart, VerticalAnchor::kTop}, {100, 50}},
      {{HorizontalAnchor::kCentre, VerticalAnchor::kMiddle}, {80, 40}},
      {{HorizontalAnchor::kEnd, VerticalAnchor::kBottom}, {60, 30}},
      {{HorizontalAnchor::kEnd, VerticalAnchor::kBaseline}, {60, 34}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AnchoredTextOrigin({100, 50}, e, c.anchor), c.origin);
}

TEST(FillPatterns, MapToBrushStyles) {
  EXPECT_EQ(BrushStyleFromFillPattern(0), BrushStyle::kClear);
  EXPECT_EQ(BrushStyleFromFillPattern(1), BrushStyle::kSolid);
  EXPECT_EQ(BrushStyleFromFillPattern(4), BrushStyle::kBackDiagonal);
  EXPECT_EQ(BrushStyleFromFillPattern(5), BrushStyle::kForwardDiagonal);
  EXPECT_EQ(BrushStyleFromFillPattern(7), BrushStyle::kDiagonalCross);
  EXPECT_EQ(BrushStyleFromFillPattern(8), BrushStyle::kClear);
  EXPECT_EQ(BrushStyleFromFillPattern(-1), BrushStyle::kClear);
}

}  // namespace
}  // namespace qzarn::render
