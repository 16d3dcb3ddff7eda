#include "render/axes_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace qzarn::render {
namespace {

constexpr double kPi = std::numbers::pi;

ViewTransform Screen(int w, int h, int zoom_percent) {
  ViewTransform v;
  v.surface_width = w;
  v.surface_height = h;
  v.centre_x = SurfaceCentre(w);
  v.centre_y = SurfaceCentre(h);
  v.zoom = zoom_percent / 100.0;
  return v;
}

AxesSettings Axes(CoordinateKind kind = CoordinateKind::kStandard) {
  AxesSettings a;
  a.kind = kind;
  a.x.name = "x";
  a.y.name = "y";
  return a;
}

std::vector<std::string> Texts(const AxisLabelsPlan& p, AxisId axis) {
  std::vector<std::string> out;
  for (const AxisLabel& l : p.labels)
    if (l.axis == axis && !l.italic && l.text != "O") out.push_back(l.text);
  return out;
}

std::vector<double> TickPositions(const std::vector<PlaneSegment>& ticks, bool x_axis) {
  std::vector<double> out;
  for (const PlaneSegment& s : ticks)
    out.push_back(x_axis ? s.a.x : s.a.y);
  std::sort(out.begin(), out.end());
  return out;
}

using Strings = std::vector<std::string>;

struct AutoLabelCase {
  int zoom;
  Strings x_labels;
};

TEST(AxisLabels, AutomaticThinningByZoom) {
  const AutoLabelCase cases[] = {
      // 300 %: every integer inside the view (x runs to 4.27; the loop stops at 3).
      {300, {"1", "2", "3", "-1", "-2", "-3"}},
      {100, {"5", "10", "-5", "-10"}},
      {40, {"20", "-20"}},  // 40 %: x to 32, labels at multiples of 20
  };
  for (const AutoLabelCase& c : cases) {
    SCOPED_TRACE(c.zoom);
    const AxisLabelsPlan p = PlanAxisLabels(Screen(640, 480, c.zoom), Axes(), AxisLayout{});
    EXPECT_EQ(Texts(p, AxisId::kX), c.x_labels);
    EXPECT_EQ(p.x_ticks.size(), c.x_labels.size());
  }
}

TEST(AxisLabels, StandardPositionsAndAnchors) {
  const ViewTransform v = Screen(640, 480, 100);
  const AxisLabelsPlan p = PlanAxisLabels(v, Axes(), AxisLayout{});
  EXPECT_EQ(p.font_size, 16);
  // Y: negative side first; y runs to 9.6, so only 5 and -5 fit.
  EXPECT_EQ(Texts(p, AxisId::kY), (Strings{"-5", "5"}));
  const double hx = 2.0 / 25 / 2, t0 = 0.16, o0 = -0.36;
  const AxisLabel& five = p.labels.front();
  EXPECT_EQ(five.text, "5");
  EXPECT_DOUBLE_EQ(five.x, 5);
  EXPECT_DOUBLE_EQ(five.y, o0 - hx);
  EXPECT_EQ(five.h, HAnchor::kCentre);
  EXPECT_EQ(five.v, VAnchor::kTop);
  EXPECT_DOUBLE_EQ(p.x_ticks.front().a.y, -(t0 + hx));
  EXPECT_DOUBLE_EQ(p.x_ticks.front().b.y, t0 + hx);
  const auto origin = std::find_if(p.labels.begin(), p.labels.end(),
                                   [](const AxisLabel& l) { return l.text == "O"; });
  ASSERT_NE(origin, p.labels.end());
  EXPECT_EQ(origin->h, HAnchor::kRight);
  EXPECT_EQ(origin->v, VAnchor::kTop);
  EXPECT_DOUBLE_EQ(origin->x, o0 - hx);
  const AxisLabel& yname = p.labels.back();
  EXPECT_EQ(yname.text, "y");
  EXPECT_TRUE(yname.italic);
  EXPECT_DOUBLE_EQ(yname.x, 0.4 + 2 * hx);
  EXPECT_DOUBLE_EQ(yname.y, 9.6 - 0.2);
  const AxisLabel& xname = p.labels[p.labels.size() - 2];
  EXPECT_EQ(xname.text, "x");
  EXPECT_DOUBLE_EQ(xname.x, 12.8 - 0.4);
  EXPECT_EQ(xname.h, HAnchor::kRight);
  EXPECT_EQ(xname.v, VAnchor::kBottom);
}

TEST(AxisLabels, ManualIntervalWithLabelStep) {
  AxesSettings a = Axes();
  a.x.automatic = false;
  a.x.interval = 0.25;
  a.x.label_step = 2;
  ViewTransform v = Screen(160, 480, 100);  // x to 3.2: positions up to 3 - 0.25
  a.show_grid = true;
  AxisLabelsPlan with_grid = PlanAxisLabels(v, a, AxisLayout{});
  Strings labels = Texts(with_grid, AxisId::kX);
  EXPECT_EQ(Strings(labels.begin(), labels.begin() + 5), (Strings{"0.5", "1", "1.5", "2", "2.5"}));
  EXPECT_EQ(with_grid.x_ticks.size(), labels.size());  // grid on: unlabelled ticks left out
  a.show_grid = false;
  AxisLabelsPlan bare = PlanAxisLabels(v, a, AxisLayout{});
  const std::vector<double> ticks = TickPositions(bare.x_ticks, true);
  EXPECT_TRUE(std::count(ticks.begin(), ticks.end(), 0.25) == 1);
  EXPECT_TRUE(std::count(ticks.begin(), ticks.end(), 0.75) == 1);
  EXPECT_EQ(Texts(bare, AxisId::kX), labels);
}

struct ThirtyCase {
  const char* what;
  CoordinateKind kind;
  bool japanese;
  int zoom;
  bool automatic;
  double interval;
  int label_step;
  Strings first_positive;
};

TEST(AxisLabels, DegreesAndRadians) {
  const ThirtyCase cases[] = {
      {"degrees sjis",
       CoordinateKind::kDegrees,
       true,
       100,
       true,
       1,
       0,
       {"90\uFF9F", "180\uFF9F", "270\uFF9F"}},
      {"degrees latin",
       CoordinateKind::kDegrees,
       false,
       100,
       true,
       1,
       0,
       {"90\u00B0", "180\u00B0", "270\u00B0"}},
      {"radians auto",
       CoordinateKind::kRadians,
       true,
       100,
       true,
       1,
       0,
       {"\u03C0", "2\u03C0", "3\u03C0"}},
      {"radians latin", CoordinateKind::kRadians, false, 100, true, 1, 0, {"pi", "2pi", "3pi"}},
      {"radians manual fractions",
       CoordinateKind::kRadians,
       true,
       100,
       false,
       3,
       1,
       {"0.5\u03C0", "\u03C0", "1.5\u03C0"}},
      {"degrees manual default step",
       CoordinateKind::kDegrees,
       true,
       100,
       false,
       1,
       0,
       {"180\uFF9F", "360\uFF9F", "540\uFF9F"}},
      {"degrees zoomed in",
       CoordinateKind::kDegrees,
       true,
       300,
       true,
       1,
       0,
       {"60\uFF9F", "120\uFF9F", "180\uFF9F"}},
  };
  for (const ThirtyCase& c : cases) {
    SCOPED_TRACE(c.what);
    AxesSettings a = Axes(c.kind);
    a.japanese_font = c.japanese;
    a.x.automatic = c.automatic;
    a.x.interval = c.interval;
    a.x.label_step = c.label_step;
    const AxisLabelsPlan p = PlanAxisLabels(Screen(640, 480, c.zoom), a, AxisLayout{});
    Strings x = Texts(p, AxisId::kX);
    ASSERT_GE(x.size(), 3u);
    EXPECT_EQ(Strings(x.begin(), x.begin() + 3), c.first_positive);
  }
}

TEST(AxisLabels, RadiansAutomaticTicksEveryQuarterTurn) {
  const AxisLabelsPlan p =
      PlanAxisLabels(Screen(640, 480, 100), Axes(CoordinateKind::kRadians), AxisLayout{});
  const std::vector<double> ticks = TickPositions(p.x_ticks, true);
  ASSERT_FALSE(ticks.empty());
  for (double t : ticks)
    EXPECT_NEAR(std::remainder(t, kPi / 2), 0, 1e-12) << t;
  EXPECT_EQ(Texts(p, AxisId::kX).back(), "-4\u03C0");
  EXPECT_EQ(p.font_size, 14);  // 16 * 0.9 rounded: the thirty-degree kinds use smaller labels
}

TEST(RadianLabel, Texts) {
  EXPECT_EQ(RadianLabel(false, 6, true), "\u03C0");
  EXPECT_EQ(RadianLabel(false, -6, true), "-\u03C0");
  EXPECT_EQ(RadianLabel(false, -12, true), "-2\u03C0");
  EXPECT_EQ(RadianLabel(false, 3, true), "");
  EXPECT_EQ(RadianLabel(true, 3, true), "0.5\u03C0");
  EXPECT_EQ(RadianLabel(true, -2, false), "-0.3pi");
  EXPECT_EQ(RadianLabel(false, -6, false), "-pi");
}

TEST(FormatTickValue, TrimsZeros) {
  EXPECT_EQ(FormatTickValue(1.0), "1");
  EXPECT_EQ(FormatTickValue(0.5), "0.5");
  EXPECT_EQ(FormatTickValue(-2.25), "-2.2");  // one decimal, printf rounding of the binary value
  EXPECT_EQ(FormatTickValue(1e-12), "0");
  EXPECT_EQ(FormatTickValue(-0.04), "0");
  EXPECT_EQ(FormatTickValue(10), "10");
}

TEST(AxisLabels, PolarYAxisCountsRadiusWithXRule) {
  AxesSettings a = Axes(CoordinateKind::kPolar);
  a.y.interval = 12;  // the polar Y interval is a number of divisions, not a label spacing
  a.show_grid = false;
  const AxisLabelsPlan p = PlanAxisLabels(Screen(640, 480, 100), a, AxisLayout{});
  EXPECT_EQ(Texts(p, AxisId::kY), (Strings{"-5", "5"}));
  // X interval 1, label step 5: ticks at every unit (grid off), labels at 5.
  EXPECT_EQ(p.y_ticks.size(), 18u);  // 1..9 each side: bound round(9.6) - interval
}

TEST(AxisLabels, NothingWhenAxesHidden) {
  AxesSettings a = Axes();
  a.show_axes = false;
  const AxisLabelsPlan p = PlanAxisLabels(Screen(640, 480, 100), a, AxisLayout{});
  EXPECT_TRUE(p.labels.empty());
  EXPECT_TRUE(p.x_ticks.empty());
  EXPECT_FALSE(PlanAxisArrows(Screen(640, 480, 100), a, AxisLayout{}, false).shown);
}

TEST(Grid, StandardLinesThinWhenZoomedOut) {
  const GridPlan at100 = PlanGrid(Screen(640, 480, 100), Axes());
  // Whole units up to the rounded edges: x -13..13, y -10..10.
  EXPECT_EQ(at100.lines.size(), 27u + 21u);
  const GridPlan at50 = PlanGrid(Screen(640, 480, 50), Axes());
  for (const PlaneSegment& s : at50.lines) {
    const double v = s.a.x == s.b.x ? s.a.x : s.a.y;
    EXPECT_EQ(std::fmod(v, 5.0), 0.0) << v;
  }
  // x to 25.6: -25..25 step 5 (11), y to 19.2: -15..15 (7)
  EXPECT_EQ(at50.lines.size(), 11u + 7u);
}

TEST(Grid, ManualIntervalLinesStayInside) {
  AxesSettings a = Axes();
  a.x.automatic = false;
  a.x.interval = 3;
  const GridPlan g = PlanGrid(Screen(640, 480, 100), a);
  std::vector<double> xs;
  for (const PlaneSegment& s : g.lines)
    if (s.a.x == s.b.x) xs.push_back(s.a.x);
  std::sort(xs.begin(), xs.end());
  EXPECT_EQ(xs, (std::vector<double>{-12, -9, -6, -3, 0, 3, 6, 9, 12}));
}

TEST(Grid, StoredZeroIntervalDoesNotHang) {
  AxesSettings a = Axes();
  a.x.automatic = false;
  a.x.interval = 0;
  a.y.automatic = false;
  a.y.interval = -1;
  const GridPlan g = PlanGrid(Screen(640, 480, 100), a);
  EXPECT_GT(g.lines.size(), 100u);
  EXPECT_LT(g.lines.size(), 5000u);
}

TEST(Grid, LinesCloserThanAPixelAreDrawnOncePerPixel) {
  // The smallest interval at the lowest zoom: 0.025 pixels apart, a hundred thousand
  // positions across the surface, of which one per pixel column or row is kept.
  AxesSettings a = Axes();
  a.x.automatic = a.y.automatic = false;
  a.x.interval = a.y.interval = 0.01;
  const ViewTransform v = Screen(2500, 2000, 10);
  const GridPlan g = PlanGrid(v, a);
  std::set<long> columns, rows;
  for (const PlaneSegment& s : g.lines) {
    if (s.a.x == s.b.x)
      EXPECT_TRUE(columns.insert(std::lround(v.PlaneToPixelX(s.a.x))).second);
    else
      EXPECT_TRUE(rows.insert(std::lround(v.PlaneToPixelY(s.a.y))).second);
  }
  EXPECT_GE(columns.size(), 2500u);
  EXPECT_LE(columns.size(), 2502u);
  EXPECT_GE(rows.size(), 2000u);
  EXPECT_LE(rows.size(), 2002u);

  AxesSettings polar = Axes(CoordinateKind::kPolar);
  polar.x.automatic = false;
  polar.x.interval = 0.01;
  EXPECT_LE(PlanGrid(v, polar).circles.size(), 2600u);
}

TEST(Grid, DotsTooDenseToSeeAreLeftOutRatherThanPlanned) {
  // A damaged view: a huge surface and a tiny scale with the smallest interval
  // would ask for billions of marks, in every coordinate kind.
  for (CoordinateKind kind :
       {CoordinateKind::kStandard, CoordinateKind::kDegrees, CoordinateKind::kPolar}) {
    AxesSettings a = Axes(kind);
    a.grid_as_points = true;
    a.x.automatic = a.y.automatic = false;
    a.x.interval = 0.01;
    // In polar kinds the y interval is the number of rays in a half turn.
    a.y.interval = kind == CoordinateKind::kPolar ? 360 : 0.01;
    ViewTransform v = Screen(100000, 100000, 100);
    v.scale = 1;
    EXPECT_TRUE(PlanGrid(v, a).dots.empty()) << static_cast<int>(kind);
  }
  // Dense but still countable: every crossing is planned.
  AxesSettings a = Axes();
  a.grid_as_points = true;
  a.x.automatic = a.y.automatic = false;
  a.x.interval = a.y.interval = 0.1;
  EXPECT_EQ(PlanGrid(Screen(640, 480, 100), a).dots.size(),
            257u * 191u);  // x -12.8..12.8, y -9.5..9.5
}

TEST(Grid, DotsCoverVisibleCrossingsOnce) {
  AxesSettings a = Axes();
  a.grid_as_points = true;
  a.grid_width = 4;
  const GridPlan g = PlanGrid(Screen(640, 480, 100), a);
  EXPECT_EQ(g.dot_radius, 2);
  EXPECT_EQ(g.dots.size(), 25u * 19u);  // x -12..12, y -9..9
  EXPECT_EQ(std::count(g.dots.begin(), g.dots.end(), PlanePoint{0, 0}), 1);
}

TEST(Grid, DegreesLinesEveryQuarterTurn) {
  const GridPlan g = PlanGrid(Screen(640, 480, 100), Axes(CoordinateKind::kDegrees));
  int vertical = 0;
  for (const PlaneSegment& s : g.lines) {
    if (s.a.x != s.b.x) continue;
    ++vertical;
    EXPECT_NEAR(std::remainder(s.a.x, kPi / 2), 0, 1e-12);
  }
  // k = -24..24 (round(25.6) = 26, multiples of 3): -24..24 step 3 -> 17 lines
  EXPECT_EQ(vertical, 17);
}

TEST(Grid, PolarCirclesAndDiameters) {
  AxesSettings a = Axes(CoordinateKind::kPolar);
  const GridPlan g = PlanGrid(Screen(640, 480, 100), a);
  EXPECT_EQ(g.lines.size(), 11u);    // 15 degrees apart, the horizontal one left out
  ASSERT_EQ(g.circles.size(), 26u);  // radius 1 .. round(640 / 25)
  EXPECT_EQ(g.circles.front(), 1);
  EXPECT_EQ(g.circles.back(), 26);
  EXPECT_NEAR(g.lines.front().b.x, 25.6 * std::cos(kPi / 12), 1e-12);
  a.show_axes = false;
  EXPECT_EQ(PlanGrid(Screen(640, 480, 100), a).lines.size(), 12u);
}

TEST(Grid, NothingWhenHidden) {
  AxesSettings a = Axes();
  a.show_grid = false;
  const GridPlan g = PlanGrid(Screen(640, 480, 100), a);
  EXPECT_TRUE(g.lines.empty() && g.dots.empty() && g.circles.empty());
}

TEST(AxisArrows, SevenCornerPolygons) {
  const AxisArrowsPlan p = PlanAxisArrows(Screen(640, 480, 100), Axes(), AxisLayout{}, false);
  ASSERT_TRUE(p.shown);
  // X axis: tip at the right edge on the axis, arrow length 10 px, half width 5 px.
  const ArrowPolygon expect_x = {PixelPoint{640, 240}, {628, 233}, {631, 239}, {0, 239}, {0, 241},
                                 {631, 241},           {628, 247}};
  EXPECT_EQ(p.x_axis, expect_x);
  const ArrowPolygon expect_y = {PixelPoint{320, 0}, {313, 12}, {319, 9}, {319, 480},
                                 {321, 480},         {321, 9},  {327, 12}};
  EXPECT_EQ(p.y_axis, expect_y);
}

}  // namespace
}  // namespace qzarn::render
