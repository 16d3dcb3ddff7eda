// The example screens drawn on the recording canvas: every family produces
// its shapes, and nothing far off the surface reaches the canvas.
#include "example_screens.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "render/draw_screen.h"
#include "render/recording_canvas.h"

namespace qzarn::render {
namespace {

RecordingCanvas DrawExample(Screen& screen) {
  RenderOptions options;
  options.antialiasing = false;
  RecordingCanvas canvas({screen.View().ScreenWidth, screen.View().ScreenHeight});
  DrawScreen(canvas, &screen, options);
  return canvas;
}

TEST(ExampleScreens, EveryExampleDrawsAndStaysNearTheSurface) {
  for (const examples::NamedExample& e : examples::AllExamples()) {
    SCOPED_TRACE(e.name);
    std::unique_ptr<Screen> screen = e.make();
    const RecordingCanvas canvas = DrawExample(*screen);
    EXPECT_GT(canvas.DrawingCalls().size(), 10u);
    for (const CanvasCall& c : canvas.DrawingCalls()) {
      for (const PointF& p : c.points) {
        EXPECT_LT(std::fabs(p.x), 1e7);
        EXPECT_LT(std::fabs(p.y), 1e7);
      }
    }
  }
}

TEST(ExampleScreens, CirclesUseEveryFillPattern) {
  std::unique_ptr<Screen> screen = examples::CirclesExample();
  std::set<BrushStyle> styles;
  for (const CanvasCall& c : DrawExample(*screen).CallsOf(CallKind::kEllipse))
    if (c.state.pen.style == PenStyle::kClear) styles.insert(c.state.brush.style);
  EXPECT_EQ(styles.size(), 7u);
}

TEST(ExampleScreens, LinesExampleIntersectionLiesOnBothLines) {
  std::unique_ptr<Screen> screen = examples::LinesExample();
  const FigureTable& t = screen->Figures;
  const PointRecord* p = nullptr;
  for (int i = 0; i <= t.LastIndex; ++i)
    if (t.record(i) && t.record(i)->type() == kCrossFigure) p = t.record(i)->point();
  ASSERT_NE(p, nullptr);
  // Line A(-8,-4)-B(6,5) and C(-9,6)-D(9,-6).
  const double x = p->X, y = p->Y;
  EXPECT_NEAR((x + 8) * 9 - (y + 4) * 14, 0, 1e-9);
  EXPECT_NEAR((x + 9) * -12 - (y - 6) * 18, 0, 1e-9);
}

// The areas example takes its values from a recompute pass: the area between
// y = x²/2 − 2 and y = x + 2 over [−2, 4] is 18, hatched between the graphs.
TEST(ExampleScreens, AreasExampleShowsTheComputedArea) {
  std::unique_ptr<Screen> screen = examples::AreasExample();
  const RecordingCanvas canvas = DrawExample(*screen);
  bool hatched = false;
  for (const CanvasCall& c : canvas.CallsOf(CallKind::kPolygon)) {
    if (c.state.brush.style != BrushStyle::kVertical) continue;
    hatched = true;
    EXPECT_EQ(c.points.size(), 2u * 51 + 1);  // 51 nodes on each graph, closed
    EXPECT_EQ(c.points.front(), c.points.back());
  }
  EXPECT_TRUE(hatched);
  std::set<std::string> texts;
  for (const CanvasCall& c : canvas.CallsOf(CallKind::kText))
    texts.insert(c.text);
  EXPECT_TRUE(texts.count("S =18"));   // the area, its name with a subscript
  EXPECT_TRUE(texts.count("P(4,6)"));  // the graphs' intersection
  EXPECT_TRUE(texts.count("-3"));      // the tangent's slope
}

}  // namespace
}  // namespace qzarn::render
