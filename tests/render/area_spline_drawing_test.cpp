// Splines, areas between curves and polygons on a recording canvas.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "figure_drawing_fixture.h"
#include "render/figure_drawing_kinds.h"

namespace qzarn::render {
namespace {

class AreaSplineDrawingTest : public FigureDrawingTest {
 protected:
  // A spline (or polygon) through new point figures at the given places.
  PolygonRecord& AddVertices(std::int32_t type, const std::vector<PlanePoint>& points) {
    const int slot = next_slot;
    PolygonRecord& p = *Add(type).polygon();
    for (int i = 0; i < kPolygonVertices; ++i)
      p.Refs[i] = -1;
    for (std::size_t i = 0; i < points.size(); ++i) {
      PointRecord& v = AddPoint(points[i].x, points[i].y);
      v.DispMark = false;
      p.Refs[i] = slot + 1 + static_cast<int>(i);
      p.VX[i] = points[i].x;
      p.VY[i] = points[i].y;
    }
    p.DispL = true;
    p.SizeL = 1;
    p.LineColor = 0x00C000u;
    p.SS = 0.01;
    p.Font.FontSize = 20;
    return *screen->Figures.record(slot)->polygon();
  }

  // An area under y = x² over [0, 2] with nodes at 0, 1, 2 and the x axis as
  // the second graph.
  PointRecord& AddArea() {
    FigureRecord& r = Add(kMensekiFigure);
    PointRecord& m = *r.point();
    const float xs[] = {0, 0, 1, 1, 2, 2}, ys[] = {0, 0, 1, 0, 4, 0};
    r.owned.HatchX.assign(std::begin(xs), std::end(xs));
    r.owned.HatchY.assign(std::begin(ys), std::end(ys));
    m.HatchCount = 6;
    m.Coordinates = true;  // hatching on
    m.TrackThick = 3;      // vertical lines
    m.Color = 0xFF0000u;
    m.RimRadius = 2;
    m.ArcRadius = 8.0 / 3;
    m.LabelX = 1;
    m.LabelY = 1;
    m.Direction = 2;
    m.Font.FontSize = 20;
    return m;
  }

  // Lines, polylines and polygons drawn (the background aside).
  static std::size_t Shapes(const RecordingCanvas& c) {
    return c.CountOf(CallKind::kLine) + c.CountOf(CallKind::kPolyline) +
           c.CountOf(CallKind::kPolygon);
  }

  // The total length of the lines drawn.
  static double InkLength(const RecordingCanvas& c) {
    double sum = 0;
    for (const CanvasCall& l : Lines(c))
      sum += std::hypot(l.points[1].x - l.points[0].x, l.points[1].y - l.points[0].y);
    return sum;
  }
};

TEST_F(AreaSplineDrawingTest, SplineRunsThroughItsPointsInParameterSteps) {
  AddVertices(kSplineFigure, {{0, 0}, {1, 1}, {2, 0}});
  screen->View().Zoom = 400;  // 100 pixels per unit: no step collapses to one pixel
  const auto lines = Lines(Draw());
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines.front().points[0], (PointF{320, 240}));
  EXPECT_EQ(lines[49].points[1], (PointF{420, 140}));  // t = 0.5 is the middle point
  EXPECT_EQ(lines[50].points[0], (PointF{420, 140}));
  EXPECT_EQ(lines.back().points[1], (PointF{520, 240}));
  for (std::size_t i = 1; i < lines.size(); ++i)
    EXPECT_EQ(lines[i].points[0], lines[i - 1].points[1]) << i;
  EXPECT_EQ(lines[0].state.pen, (Pen{0x00C000, 1, PenStyle::kSolid}));
}

TEST_F(AreaSplineDrawingTest, SplineStepFromTheRecord) {
  PolygonRecord& p = AddVertices(kSplineFigure, {{0, 0}, {1, 1}, {2, 0}});
  screen->View().Zoom = 400;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double ss;
    std::size_t segments;
  } cases[] = {
      {0.3, 4},        // 0, 0.3, 0.6, 0.9 and 1 exactly
      {0.5, 2},        // lands on 1
      {2, 1},          // one chord from start to end
      {0, 100},        // no usable step: the default
      {-0.25, 100},    // likewise
      {nan, 100},      // likewise
      {1e-9, 10000},   // too fine: capped (many steps collapse on screen)
      {1e-300, 10000}  // likewise
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ss);
    EXPECT_LE(std::ceil(1 / SplineDrawingStep(c.ss)), 10000);
    p.SS = c.ss;
    const auto lines = Lines(Draw());
    if (c.segments < 10000) {
      EXPECT_EQ(lines.size(), c.segments);
    } else {
      EXPECT_LE(lines.size(), c.segments);
    }
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().points[1], (PointF{520, 240}));
  }
}

TEST_F(AreaSplineDrawingTest, ClosedSplineReturnsToItsStart) {
  PolygonRecord& p = AddVertices(kSplineFigure, {{0, 0}, {2, 0}, {2, 2}, {0, 2}});
  p.DispP = true;
  screen->View().Zoom = 400;
  const auto lines = Lines(Draw());
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines.front().points[0], (PointF{320, 240}));
  EXPECT_EQ(lines.back().points[1], (PointF{320, 240}));
  // Round the corners: the curve leaves the square's sides outwards.
  double lowest = 0;
  for (const CanvasCall& c : lines)
    lowest = std::max(lowest, c.points[0].y);
  EXPECT_GT(lowest, 240);
}

// A dashed curve of many short steps keeps one rhythm: with the phase started
// afresh at every step, each 2–3 pixel step would be all gap.
TEST_F(AreaSplineDrawingTest, DashedSplineKeepsItsPhaseAcrossSteps) {
  PolygonRecord& p = AddVertices(kSplineFigure, {{-2, 0}, {0, 1}, {2, 0}});
  p.StyleL = 1;  // dash: gap 2, mark 4 at width 1
  screen->View().Zoom = 400;
  const RecordingCanvas dashed = Draw();
  p.StyleL = 0;
  const RecordingCanvas solid = Draw();
  const double total = InkLength(solid);
  ASSERT_GT(total, 400);
  EXPECT_GT(Lines(dashed).size(), 50u);
  EXPECT_NEAR(InkLength(dashed) / total, 4.0 / 6, 0.12);
}

TEST_F(AreaSplineDrawingTest, SplineNotDrawn) {
  const struct {
    const char* name;
    std::vector<PlanePoint> points;
  } cases[] = {
      {"coincident points", {{0, 0}, {1, 1}, {0, 0}}},
      {"off the plane", {{0, 0}, {20000, 0}, {1, 1}}},
      {"undefined point", {{0, 0}, {1e15, 1e15}, {1, 1}}},
      {"one point", {{0, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearTable(screen->Figures);
    next_slot = 0;
    AddVertices(kSplineFigure, c.points);
    EXPECT_EQ(Shapes(Draw()), 0u);
  }
}

TEST_F(AreaSplineDrawingTest, HiddenSplineShowsOnlyWhenSelected) {
  PolygonRecord& p = AddVertices(kSplineFigure, {{0, 0}, {1, 1}, {2, 0}});
  p.DispL = false;
  EXPECT_TRUE(Lines(Draw()).empty());
  screen->SelectedIndex = 0;
  const auto lines = Lines(Draw());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].state.pen.colour, 0x547AE1u);
  p.Boolean = true;
  p.ConditionValue = 0;
  EXPECT_TRUE(Lines(Draw()).empty());
}

TEST_F(AreaSplineDrawingTest, AreaShapeAlongTheFirstGraphAndBackAlongTheSecond) {
  AddArea();
  RecordingCanvas canvas = Draw();
  const auto polygons = canvas.CallsOf(CallKind::kPolygon);
  ASSERT_EQ(polygons.size(), 1u);
  const std::vector<PointF> expected = {{320, 240}, {345, 215}, {370, 140}, {370, 240},
                                        {345, 240}, {320, 240}, {320, 240}};
  EXPECT_EQ(polygons[0].points, expected);
  EXPECT_EQ(polygons[0].state.brush, (Brush{BrushStyle::kVertical, 0xFF0000}));
  EXPECT_EQ(polygons[0].state.pen, (Pen{0xFF0000, 2, PenStyle::kSolid}));
  EXPECT_EQ(polygons[0].state.background_mode, BackgroundMode::kTransparent);
}

TEST_F(AreaSplineDrawingTest, AreaShapeVariants) {
  PointRecord& m = AddArea();
  FigureRecord& r = *screen->Figures.record(0);
  m.TrackThick = 0;  // no pattern: the outline as a polyline
  RecordingCanvas canvas = Draw();
  EXPECT_EQ(canvas.CountOf(CallKind::kPolygon), 0u);
  ASSERT_EQ(canvas.CountOf(CallKind::kPolyline), 1u);
  EXPECT_EQ(canvas.CallsOf(CallKind::kPolyline)[0].points.size(), 7u);

  m.TrackThick = 1;
  m.HatchCount = 40;  // more than the lists hold: the pairs present
  EXPECT_EQ(Draw().CallsOf(CallKind::kPolygon)[0].points.size(), 7u);
  m.HatchCount = 5;  // an odd count: the whole pairs
  EXPECT_EQ(Draw().CallsOf(CallKind::kPolygon)[0].points.size(), 5u);
  m.HatchCount = -1;  // not computed
  EXPECT_EQ(Shapes(Draw()), 0u);

  m.HatchCount = 6;
  r.owned.HatchY[4] = 1000;  // 20000 pixels away cancels the shape
  EXPECT_EQ(Shapes(Draw()), 0u);
  r.owned.HatchY[4] = 4;
  m.Coordinates = false;  // hatching off
  EXPECT_EQ(Shapes(Draw()), 0u);
}

TEST_F(AreaSplineDrawingTest, AreaLabelFollowsThePolygonRules) {
  PointRecord& m = AddArea();
  m.Name = "S1";
  screen->View().BackColor = 0xE0F0FFu;
  const struct {
    bool name, value;
    double area;
    std::vector<std::string> texts;
  } cases[] = {
      {false, false, 8.0 / 3, {}},
      {false, true, 8.0 / 3, {"2.67"}},
      {true, false, 8.0 / 3, {"S ", "1"}},
      {true, true, 8.0 / 3, {"S =2.67", "1"}},
      {true, true, 1e15, {}},  // undefined area: no label at all
      {true, true, -20000, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.texts.empty() ? "none" : c.texts[0]);
    m.DispName = c.name;
    m.DispMark = c.value;
    m.ArcRadius = c.area;
    const auto texts = Draw().CallsOf(CallKind::kText);
    ASSERT_EQ(texts.size(), c.texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
      EXPECT_EQ(texts[i].text, c.texts[i]);
    if (!texts.empty()) {
      EXPECT_EQ(texts[0].state.font.height, 16);  // 20 * 0.8
      // On the screen background, so that its own hatching and an axis
      // under it do not run through the digits.
      EXPECT_EQ(texts[0].state.background_mode, BackgroundMode::kOpaque);
      EXPECT_EQ(texts[0].state.background, 0xE0F0FFu);
    }
  }
}

TEST_F(AreaSplineDrawingTest, DraggedAreaIsAnErasableOutline) {
  PointRecord& m = AddArea();
  m.DispMark = true;
  screen->SelectedIndex = 0;
  screen->View().FullRedraw = false;
  RecordingCanvas canvas;
  DrawSelectedFigure(canvas, *screen, options);
  EXPECT_EQ(canvas.CountOf(CallKind::kPolygon), 0u);
  const auto outline = canvas.CallsOf(CallKind::kPolyline);
  ASSERT_EQ(outline.size(), 1u);
  EXPECT_EQ(outline[0].state.raster_mode, RasterMode::kNotXor);
  EXPECT_EQ(outline[0].state.pen.colour, 0x547AE1u);
  EXPECT_EQ(canvas.CountOf(CallKind::kText), 0u);
}

TEST_F(AreaSplineDrawingTest, PolygonLabelNeedsAnArea) {
  PolygonRecord& p = AddVertices(kPolyFigure, {{0, 0}, {2, 0}, {2, 2}, {0, 2}});
  p.Name = "T";
  p.DispP = true;
  p.DispZ = true;
  p.Dir = 1;
  p.SS = 4;
  p.LabelX = 1;
  p.LabelY = 1;
  auto texts = Draw().CallsOf(CallKind::kText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "T=4");
  EXPECT_EQ(texts[0].points[0].y, 215);  // centred at (1, 1)
  p.SS = 1e15;                           // not convex: neither name nor area
  EXPECT_TRUE(Draw().CallsOf(CallKind::kText).empty());
}

}  // namespace
}  // namespace qzarn::render
