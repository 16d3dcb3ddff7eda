#include "render/figure_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "figure_drawing_fixture.h"

namespace qzarn::render {
namespace {

TEST_F(FigureDrawingTest, WholeLineSpansTwiceTheViewAroundTheOrigin) {
  AddLine(0, 0, 1, 1);
  const auto lines = Lines(Draw());
  ASSERT_EQ(lines.size(), 1u);
  // u = 2 * (25.6 + 19.2) * cos 45 = 63.36 units = 1584 pixels each way.
  const double u = 2 * (25.6 + 19.2) * std::sqrt(0.5) * 25;
  EXPECT_NEAR(lines[0].points[0].x, std::nearbyint(320 - u), 0.5);
  EXPECT_NEAR(lines[0].points[1].x, std::nearbyint(320 + u), 0.5);
  EXPECT_NEAR(lines[0].points[0].y, std::nearbyint(240 + u), 0.5);
  EXPECT_EQ(lines[0].state.pen, (Pen{0x00FF00, 2, PenStyle::kSolid}));

  screen->View().PanX = 5000;  // the origin far to the right: the line misses the view
  EXPECT_TRUE(Lines(Draw()).empty());
}

TEST_F(FigureDrawingTest, SegmentArrowHeadsSolidAndDashed) {
  LineRecord& l = AddLine(-2, 0, 2, 0);
  l.DispB = true;
  l.YaTyp = 3;
  RecordingCanvas solid = Draw();
  auto polygons = solid.CallsOf(CallKind::kPolygon);
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0].points.size(), 10u);  // shaft and both heads in one polygon
  EXPECT_EQ(polygons[0].state.brush, (Brush{BrushStyle::kSolid, 0x00FF00}));
  EXPECT_TRUE(Lines(solid).empty());

  l.StyleL = 1;
  RecordingCanvas dashed = Draw();
  polygons = dashed.CallsOf(CallKind::kPolygon);
  ASSERT_EQ(polygons.size(), 2u);
  EXPECT_EQ(polygons[0].points.size(), 5u);
  EXPECT_GT(Lines(dashed).size(), 5u);  // the dashed shaft
  for (const CanvasCall& c : Lines(dashed))
    EXPECT_EQ(c.state.pen.style, PenStyle::kSolid);
}

TEST_F(FigureDrawingTest, SegmentLengthLabelOpaqueAtTheMidpoint) {
  LineRecord& l = AddLine(0, 0, 3, 4);
  l.DispB = true;
  l.DispN = true;
  l.LimitS = 2;
  l.Font.FontSize = 20;
  const auto texts = Draw().CallsOf(CallKind::kText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "5");
  EXPECT_EQ(texts[0].points[0], (PointF{357.5, 190}));
  EXPECT_EQ(texts[0].state.background_mode, BackgroundMode::kOpaque);
  EXPECT_EQ(texts[0].state.font.height, 16);  // 20 * 0.8
}

TEST_F(FigureDrawingTest, SelectedPointColour) {
  AddPoint(1, 1);
  screen->SelectedIndex = 0;
  auto dots = Draw().CallsOf(CallKind::kEllipse);
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_EQ(dots[0].state.brush.colour, 0x547AE1u);
  EXPECT_EQ(dots[0].state.pen.colour, 0x547AE1u);

  options.selection_colour_reversed = false;
  EXPECT_EQ(Draw().CallsOf(CallKind::kEllipse)[0].state.brush.colour, 0x0000FFu);
  options.selection_colour_reversed = true;
  const auto paper = Draw(PrintSetup{true, 7.425, {4800, 6600}}).CallsOf(CallKind::kEllipse);
  EXPECT_EQ(paper[0].state.brush.colour, 0x0000FFu);
}

TEST_F(FigureDrawingTest, ErasableDrawingOfTheDraggedFigure) {
  PointRecord& p = AddPoint(1, 1);
  p.DispName = true;
  p.Name = "A";
  screen->SelectedIndex = 0;
  screen->View().FullRedraw = false;
  RecordingCanvas canvas;
  DrawSelectedFigure(canvas, *screen, options);
  const auto dots = canvas.CallsOf(CallKind::kEllipse);
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_EQ(dots[0].state.raster_mode, RasterMode::kNotXor);
  EXPECT_EQ(dots[0].state.brush.style, BrushStyle::kClear);  // fills left out
  EXPECT_EQ(canvas.CountOf(CallKind::kText), 0u);            // labels left out
  EXPECT_EQ(canvas.state().raster_mode, RasterMode::kCopy);

  screen->View().FullRedraw = true;
  RecordingCanvas full;
  DrawSelectedFigure(full, *screen, options);
  EXPECT_EQ(full.CallsOf(CallKind::kEllipse)[0].state.raster_mode, RasterMode::kCopy);
  EXPECT_EQ(full.CountOf(CallKind::kText), 1u);
}

TEST_F(FigureDrawingTest, PointMarkGrowsWithZoomWhenPointZoomIsOn) {
  AddPoint(0, 0);
  screen->View().Zoom = 200;
  EXPECT_EQ(Draw().CallsOf(CallKind::kEllipse)[0].box, (RectF{314, 234, 327, 247}));
  options.layout.point_zoom = false;
  EXPECT_EQ(Draw().CallsOf(CallKind::kEllipse)[0].box, (RectF{317, 237, 324, 244}));
}

TEST_F(FigureDrawingTest, DisplayConditionAndUndefinedFigures) {
  PointRecord& p = AddPoint(1, 1);
  p.Boolean = true;
  p.ConditionValue = 0;
  AddPoint(1e15, 1e15);
  LineRecord& l = AddLine(1e15, 1e15, 1e15, 1e15);
  l.DispP = true;
  EXPECT_TRUE(Draw().CallsOf(CallKind::kEllipse).empty());
  p.ConditionValue = 1;
  EXPECT_EQ(Draw().CountOf(CallKind::kEllipse), 1u);
}

TEST_F(FigureDrawingTest, PointNameLabelWithSubscript) {
  PointRecord& p = AddPoint(1.5, -2);
  p.DispName = true;
  p.Coordinates = true;
  p.Name = "P1";
  const auto texts = Draw().CallsOf(CallKind::kText);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "P (1.5,-2)");
  EXPECT_EQ(texts[0].state.anchor.horizontal, HorizontalAnchor::kStart);  // direction 0
  EXPECT_EQ(texts[1].text, "1");
  EXPECT_LT(texts[1].state.font.height, texts[0].state.font.height);
  EXPECT_TRUE(texts[1].state.font.style & kFontBold);
}

TEST_F(FigureDrawingTest, DoubleIntersectionLabelledOnce) {
  MultiPointRecord& m = *Add(kCross3Figure).multi_point();
  m.DispMark = true;
  m.DispName = true;
  m.Radius = 3;
  m.Font.FontSize = 16;
  for (int i = 0; i < 4; ++i)
    m.Names[i] = std::string(1, static_cast<char>('A' + i));
  m.PX[0] = 1;
  m.PY[0] = 1;
  m.PX[1] = 1;
  m.PY[1] = 1;
  m.PX[2] = 2;
  m.PY[2] = 0;
  m.PX[3] = 1e15;
  m.PY[3] = 1e15;
  RecordingCanvas canvas = Draw();
  EXPECT_EQ(canvas.CountOf(CallKind::kEllipse), 3u);
  const auto texts = canvas.CallsOf(CallKind::kText);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "A");
  EXPECT_EQ(texts[1].text, "C");
}

TEST_F(FigureDrawingTest, CircleRadiusZeroShowsOnlyItsCentre) {
  CircleRecord& c = *Add(kCircleFigure).circle();
  c.DispL = true;
  c.SizeL = 2;
  c.SizeP = 3;
  c.RadiusValue = 0;
  c.CenterColor = 0x0000FFu;
  RecordingCanvas canvas = Draw();
  const auto ellipses = canvas.CallsOf(CallKind::kEllipse);
  ASSERT_EQ(ellipses.size(), 1u);
  EXPECT_EQ(ellipses[0].state.brush.colour, 0x0000FFu);
  c.RadiusValue = 2;
  c.StyleB = 6;
  c.DomainColor = 0x808080u;
  canvas = Draw();
  const auto filled = canvas.CallsOf(CallKind::kEllipse);
  ASSERT_EQ(filled.size(), 2u);  // the cross-hatched disk, then the outline
  EXPECT_EQ(filled[0].state.brush, (Brush{BrushStyle::kCross, 0x808080}));
  EXPECT_EQ(filled[0].state.pen.style, PenStyle::kClear);
  EXPECT_EQ(filled[1].box, (RectF{270, 190, 370, 290}));
  EXPECT_EQ(filled[1].state.brush.style, BrushStyle::kClear);
}

TEST_F(FigureDrawingTest, AngleMarkSquareOrSector) {
  PointRecord& a = *Add(kAngle2Figure).point();
  a.DispMark = true;
  a.ArcRadius = 1;
  a.RimRadius = 1;
  a.LabelX = 0;
  a.LabelY = 90;
  auto polygons = Draw().CallsOf(CallKind::kPolygon);
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0].points.size(), 4u);
  EXPECT_NEAR(polygons[0].points[1].x, 345, 1e-9);  // the far corner at 45 degrees, sqrt 2 out
  EXPECT_NEAR(polygons[0].points[1].y, 215, 1e-9);
  a.LabelY = 90.001;
  polygons = Draw().CallsOf(CallKind::kPolygon);
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0].points.size(), 92u);  // 91 arc points and the vertex

  a.DispName = true;
  a.LimitS = 1;
  a.Font.FontSet = 128;
  a.LabelY = 60;
  auto texts = Draw().CallsOf(CallKind::kText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "60\uFF9F");
  screen->View().CoordinateKind = 2;
  texts = Draw().CallsOf(CallKind::kText);
  EXPECT_EQ(texts[0].text, "0.3\u03C0");
}

TEST_F(FigureDrawingTest, ParabolaWithVertexBelowTheViewStillShowsItsArms) {
  LineRecord& l = AddLine(0, -50, 1, -49, kParabolaFigure);  // y = x^2 - 50
  l.StyleL = 1;
  const auto lines = Lines(Draw());
  ASSERT_FALSE(lines.empty());
  const bool visible = std::any_of(lines.begin(), lines.end(), [](const CanvasCall& c) {
    return c.points[0].y >= 0 && c.points[0].y <= 480;
  });
  EXPECT_TRUE(visible);
}

TEST_F(FigureDrawingTest, SolidParabolaIsSymmetricAndStaysNearTheView) {
  AddLine(0, 0, 1, 1, kParabolaFigure);
  const auto lines = Lines(Draw());
  ASSERT_GT(lines.size(), 20u);
  for (const CanvasCall& c : lines) {
    EXPECT_LE(std::fabs(c.points[0].x - 320), 700);
    // y = x^2 mirrored: the same pixel row on both sides.
  }
  EXPECT_EQ(lines[0].points[0], (PointF{320, 240}));
  EXPECT_EQ(lines[1].points[0], (PointF{320, 240}));
  EXPECT_EQ(lines[0].points[1].y, lines[1].points[1].y);
  EXPECT_EQ(lines[0].points[1].x - 320, 320 - lines[1].points[1].x);
}

TEST_F(FigureDrawingTest, LayersAroundTheAxes) {
  screen->View().ShowAxes = true;
  PolygonRecord& poly = *Add(kPolyFigure).polygon();
  AddPoint(0, 0);
  AddPoint(1, 0);
  AddPoint(0, 1);
  poly.DispL = true;
  poly.SizeL = 1;
  for (int i = 0; i < kPolygonVertices; ++i)
    poly.Refs[i] = -1;
  const double xs[] = {0, 1, 0}, ys[] = {0, 0, 1};
  for (int i = 0; i < 3; ++i) {
    poly.Refs[i] = i + 1;
    poly.VX[i] = xs[i];
    poly.VY[i] = ys[i];
  }
  RecordingCanvas canvas = Draw();
  const auto calls = canvas.DrawingCalls();
  // polygon sides (lines), then the two axis arrows, then the point marks.
  std::vector<CallKind> kinds;
  for (const CanvasCall& c : calls)
    if (c.kind == CallKind::kLine || c.kind == CallKind::kPolygon || c.kind == CallKind::kEllipse)
      kinds.push_back(c.kind);
  const auto first_polygon = std::find(kinds.begin(), kinds.end(), CallKind::kPolygon);
  const auto first_ellipse = std::find(kinds.begin(), kinds.end(), CallKind::kEllipse);
  ASSERT_NE(first_polygon, kinds.end());
  ASSERT_NE(first_ellipse, kinds.end());
  EXPECT_EQ(kinds.front(), CallKind::kLine);
  EXPECT_LT(first_polygon - kinds.begin(), first_ellipse - kinds.begin());
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), CallKind::kEllipse), 3);
}

TEST_F(FigureDrawingTest, PointLocusWithConnectionSkipsTheWrapJoin) {
  PointRecord& p = AddPoint(0, 0);
  p.DispMark = false;
  p.Track = true;
  p.TrackConnect = true;
  p.TrackRadius = 1;
  p.TrackThick = 1;
  for (int i = 0; i < 500; ++i) {
    p.TrackX[i] = static_cast<float>(i % 10) * 0.1f;
    p.TrackY[i] = 0.0f;
  }
  p.TrackCount = 504;  // wrapped: the newest entry is 4
  RecordingCanvas canvas = Draw();
  EXPECT_EQ(canvas.CountOf(CallKind::kEllipse), 0u);  // radius 1 with connection: lines only
  EXPECT_EQ(Lines(canvas).size(), 498u);              // 499 joins less the one from entry 4
}

}  // namespace
}  // namespace qzarn::render
