#include "render/draw_axes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "render/background.h"
#include "render/recording_canvas.h"
#include "render_test_support.h"

namespace qzarn::render {
namespace {

using testing_support::NewScreenView;
using testing_support::PixelExactOptions;

std::vector<CanvasCall> Texts(const RecordingCanvas& c) {
  return c.CallsOf(CallKind::kText);
}

TEST(DrawAxes, ArrowsFilledInAxisColoursYFirst) {
  ViewParams p = NewScreenView();
  p.axes.show_grid = false;
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  {
    DrawContext ctx(canvas, p, o);
    DrawAxes(ctx);
  }
  const auto polygons = canvas.CallsOf(CallKind::kPolygon);
  ASSERT_EQ(polygons.size(), 2u);
  EXPECT_EQ(polygons[0].state.brush, (Brush{BrushStyle::kSolid, 0xFF0000}));
  EXPECT_EQ(polygons[0].points.front(), (PointF{320, 0}));
  EXPECT_EQ(polygons[1].state.pen, (Pen{0x0000FF, 1, PenStyle::kSolid}));
  EXPECT_EQ(polygons[1].points.front(), (PointF{640, 240}));
  EXPECT_EQ(canvas.state(), CanvasState{}) << "EndDraw restores the canvas state";
}

TEST(DrawAxes, DottedGridKeepsPhaseAcrossTheLine) {
  ViewParams p = NewScreenView(100, 100);
  p.axes.show_axes = false;
  p.axes.grid_style = 2;  // dotted: gap 1 + round(0 * 1.4), mark 1 at width 1
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas({100, 100});
  {
    DrawContext ctx(canvas, p, o);
    DrawAxes(ctx);
  }
  const auto lines = canvas.CallsOf(CallKind::kLine);
  ASSERT_FALSE(lines.empty());
  for (const CanvasCall& l : lines) {
    EXPECT_EQ(l.state.pen.style, PenStyle::kSolid) << "dashes are stepped, not device dashes";
    EXPECT_EQ(l.state.pen.colour, 0xC0C0C0u);
  }
  // Nothing solid longer than a dot's mark.
  const bool all_short = std::all_of(lines.begin(), lines.end(), [](const CanvasCall& l) {
    return std::abs(l.points[1].x - l.points[0].x) + std::abs(l.points[1].y - l.points[0].y) <= 1;
  });
  EXPECT_TRUE(all_short);
}

TEST(DrawAxes, GridStyleNoneAndBackgroundGridColourDrawNothing) {
  ViewParams p = NewScreenView();
  p.axes.show_axes = false;
  p.axes.grid_style = 99;
  p.axes.grid_colour = p.background;
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  {
    DrawContext ctx(canvas, p, o);
    DrawAxes(ctx);
  }
  EXPECT_TRUE(canvas.DrawingCalls().empty());
}

TEST(DrawAxes, GridDotsAndPolarCircles) {
  ViewParams p = NewScreenView();
  p.axes.show_axes = false;
  p.axes.grid_as_points = true;
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  {
    DrawContext ctx(canvas, p, o);
    DrawAxes(ctx);
  }
  const auto dots = canvas.CallsOf(CallKind::kEllipse);
  ASSERT_EQ(dots.size(), 25u * 19u);
  EXPECT_EQ(dots[0].box, (RectF{319, 239, 322, 242}));  // radius 1 around the origin pixel
  EXPECT_EQ(dots[0].state.brush.style, BrushStyle::kSolid);

  p.axes.grid_as_points = false;
  p.axes.grid_style = 0;
  p.coordinate_kind_code = 3;
  p.axes.kind = CoordinateKind::kPolar;
  RecordingCanvas polar;
  {
    DrawContext ctx(polar, p, o);
    DrawAxes(ctx);
  }
  const auto circles = polar.CallsOf(CallKind::kEllipse);
  ASSERT_EQ(circles.size(), 26u);
  EXPECT_EQ(circles[0].box, (RectF{295, 215, 345, 265}));
  EXPECT_EQ(polar.CountOf(CallKind::kLine), 12u);  // diameters; no X axis drawn
}

TEST(DrawAxisLabels, TicksLabelsAndNames) {
  ViewParams p = NewScreenView();
  p.axes.show_grid = false;
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  {
    DrawContext ctx(canvas, p, o);
    DrawAxisLabels(ctx);
  }
  std::vector<std::string> texts;
  for (const CanvasCall& t : Texts(canvas))
    texts.push_back(t.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"5", "10", "O", "-5", "-10", "-5", "5", "x", "y"}));
  const auto calls = Texts(canvas);
  // "5" on the X axis: centred under the tick, in the X colour, 16 px font.
  EXPECT_EQ(calls[0].points[0].x, 445);
  EXPECT_EQ(calls[0].state.anchor, (TextAnchor{HorizontalAnchor::kCentre, VerticalAnchor::kTop}));
  EXPECT_EQ(calls[0].state.font.colour, 0x0000FFu);
  EXPECT_EQ(calls[0].state.font.height, 16);
  EXPECT_EQ(calls[5].state.font.colour, 0xFF0000u);
  EXPECT_TRUE(calls[7].state.font.style & kFontItalic);
  // Ticks: 2 px wide, 4 + 1 pixels each side of the axis.
  const auto ticks = canvas.CallsOf(CallKind::kLine);
  ASSERT_EQ(ticks.size(), 6u);
  EXPECT_EQ(ticks[0].state.pen.width, 2);
  EXPECT_EQ(ticks[0].points[0], (PointF{445, 245}));
  EXPECT_EQ(ticks[0].points[1], (PointF{445, 235}));
}

TEST(DrawAxisLabels, LabelsOutsideTheSurfaceAreSkipped) {
  ViewParams p = NewScreenView();
  p.view.pan_y = 400;  // the X axis lies below the surface
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  {
    DrawContext ctx(canvas, p, o);
    DrawAxisLabels(ctx);
  }
  for (const CanvasCall& t : Texts(canvas))
    EXPECT_NE(t.text, "5") << t.points[0].y;
}

// The degree and radian kinds count the X axis in 30° steps up to the edges:
// at 100 % the labels are 39 pixels apart and "-630ﾟ" is wider than that.
// Whatever is drawn lies wholly on the surface and clear of its neighbours,
// and the labels next to the origin are always there.
TEST(DrawAxisLabels, ThirtyDegreeLabelsStayWholeAndApart) {
  const struct {
    CoordinateKind kind;
    int zoom;
    const char* first;
  } cases[] = {
      {CoordinateKind::kDegrees, 100, "90ﾟ"}, {CoordinateKind::kDegrees, 300, "60ﾟ"},
      {CoordinateKind::kDegrees, 60, "180ﾟ"}, {CoordinateKind::kRadians, 100, "π"},
      {CoordinateKind::kStandard, 100, "5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    ViewParams p = NewScreenView(640, 480, c.zoom);
    p.axes.kind = c.kind;
    const RenderOptions o = PixelExactOptions();
    RecordingCanvas canvas;
    {
      DrawContext ctx(canvas, p, o);
      DrawAxisLabels(ctx);
    }
    struct Box {
      double left, right;
      std::string text;
    };
    std::vector<Box> boxes;
    RecordingCanvas measure;
    for (const CanvasCall& t : Texts(canvas)) {
      if (t.state.anchor != TextAnchor{HorizontalAnchor::kCentre, VerticalAnchor::kTop}) continue;
      measure.SetFont(t.state.font);
      const double w = measure.MeasureText(t.text).width;
      boxes.push_back({t.points[0].x - w / 2, t.points[0].x + w / 2, t.text});
    }
    ASSERT_GE(boxes.size(), 4u);
    EXPECT_EQ(boxes.front().text, c.first);
    EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(),
                            [&](const Box& b) { return b.text == "-" + std::string(c.first); }));
    std::sort(boxes.begin(), boxes.end(),
              [](const Box& a, const Box& b) { return a.left < b.left; });
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      EXPECT_GE(boxes[i].left, 0) << boxes[i].text;
      EXPECT_LE(boxes[i].right, 640) << boxes[i].text;
      if (i > 0) {
        EXPECT_GT(boxes[i].left, boxes[i - 1].right) << boxes[i].text;
      }
    }
  }
}

TEST(Background, ColourFillFrameAndHatchMarker) {
  ViewParams p = NewScreenView();
  p.background = 0x123456;
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas;
  {
    DrawContext ctx(canvas, p, o);
    DrawBackground(ctx);
    DrawOuterFrame(ctx);
  }
  const auto rects = canvas.CallsOf(CallKind::kRectangle);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0].box, (RectF{-1, -1, 640, 480}));
  EXPECT_EQ(rects[0].state.brush, (Brush{BrushStyle::kSolid, 0x123456}));
  EXPECT_EQ(rects[1].box, (RectF{0, 0, 640, 480}));
  EXPECT_EQ(rects[1].state.pen, (Pen{kBlack, 1, PenStyle::kSolid}));
  EXPECT_EQ(rects[1].state.brush.style, BrushStyle::kClear);

  p.coordinate_kind_code = kHatchedBackgroundKind;
  p.picture_mode = 101;  // frame off
  RecordingCanvas hatched;
  {
    DrawContext ctx(hatched, p, o);
    DrawBackground(ctx);
    DrawOuterFrame(ctx);
  }
  const auto fill = hatched.CallsOf(CallKind::kRectangle);
  ASSERT_EQ(fill.size(), 1u);
  EXPECT_EQ(fill[0].state.brush, (Brush{BrushStyle::kBackDiagonal, kBlack}));
  EXPECT_EQ(fill[0].state.background_mode, BackgroundMode::kOpaque);
  EXPECT_EQ(fill[0].state.background, 0x123456u);
}

struct PictureCase {
  const char* what;
  int mode;
  int gw, gh;
  std::vector<RectF> targets;
};

TEST(Background, PicturePlacement) {
  const PictureCase cases[] = {
      {"none", 0, 100, 50, {}},
      {"centre", 1, 100, 50, {{270, 215, 370, 265}}},
      {"centre larger than the surface", 1, 800, 600, {{-80, -60, 720, 540}}},
      {"tile with frame off",
       102,
       300,
       200,
       {{0, 0, 300, 200},
        {300, 0, 600, 200},
        {600, 0, 900, 200},
        {0, 200, 300, 400},
        {300, 200, 600, 400},
        {600, 200, 900, 400},
        {0, 400, 300, 600},
        {300, 400, 600, 600},
        {600, 400, 900, 600}}},
      {"enlarge wide picture", 3, 320, 120, {{0, 120, 640, 360}}},
      {"enlarge tall picture", 3, 100, 200, {{200, 0, 440, 480}}},
  };
  for (const PictureCase& c : cases) {
    SCOPED_TRACE(c.what);
    ViewParams p = NewScreenView();
    RgbImage picture(c.gw, c.gh);
    p.picture = &picture;
    p.picture_mode = c.mode;
    const RenderOptions o = PixelExactOptions();
    RecordingCanvas canvas;
    {
      DrawContext ctx(canvas, p, o);
      DrawBackground(ctx);
      DrawOuterFrame(ctx);
    }
    std::vector<RectF> targets;
    for (const CanvasCall& i : canvas.CallsOf(CallKind::kImage))
      targets.push_back(i.box);
    EXPECT_EQ(targets, c.targets);
    EXPECT_EQ(canvas.CountOf(CallKind::kRectangle), c.mode >= 100 ? 1u : 2u);
  }
}

TEST(Background, PrintingStretchesTheCentredPicture) {
  ViewParams p = NewScreenView();
  RgbImage picture(100, 50);
  p.picture = &picture;
  const RenderOptions o = PixelExactOptions();
  RecordingCanvas canvas({4800, 6600});
  {
    DrawContext ctx(canvas, p, o, PrintSetup{true, 2.0, {4800, 6600}});
    DrawBackground(ctx);
  }
  const auto images = canvas.CallsOf(CallKind::kImage);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].box, (RectF{540, 430, 740, 530}));
  EXPECT_EQ(canvas.CallsOf(CallKind::kRectangle)[0].box, (RectF{-1, -1, 1280, 960}));
}

}  // namespace
}  // namespace qzarn::render
