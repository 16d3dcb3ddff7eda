#include "engine/cross3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "document/figure_table.h"
#include "engine/cross3_figure.h"
#include "engine/parabola_constructions.h"

namespace qzarn {
namespace {

constexpr double U = UndefinedValue;
const double kR = std::sqrt(0.5);

void ExpectPoints(const Cross3Points& got, const Cross3Points& want) {
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(testing::Message() << "point " << i);
    EXPECT_NEAR(got[i].x, want[i].x, 1e-9);
    EXPECT_NEAR(got[i].y, want[i].y, 1e-9);
  }
}

// y = k x^2 + m x + n given as vertex and point.
Cross3Curve Parabola(double k, double m, double n) {
  const double x0 = -m / (2 * k);
  const double y0 = k * x0 * x0 + m * x0 + n;
  return Cross3Parabola({{x0, y0}, {x0 + 1, y0 + k}});
}

TEST(Cross3, WorkedCases) {
  const Cross3Curve diagonal = Cross3Line({{0, 0}, {1, 1}}, false);
  const Cross3Curve diagonal_segment = Cross3Line({{0, 0}, {1, 1}}, true);
  const Cross3Curve unit = Cross3Circle({0, 0}, 1);
  const Cross3Curve x_axis = Cross3Line({{0, 0}, {1, 0}}, false);
  const Cross3Curve y_axis = Cross3Line({{0, 0}, {0, 1}}, false);
  const PlanePoint u{U, U};
  ExpectPoints(IntersectCurves(diagonal, unit), {{{-kR, -kR}, {kR, kR}, u, u}});
  ExpectPoints(IntersectCurves(diagonal_segment, unit), {{u, {kR, kR}, u, u}});
  ExpectPoints(IntersectCurves(x_axis, Parabola(1, 0, -1)), {{{-1, 0}, {1, 0}, u, u}});
  const double s3 = std::sqrt(3.0);
  ExpectPoints(IntersectCurves(Cross3Circle({0, 0}, 2), Parabola(1, 0, -2)),
               {{{0, -2}, {0, -2}, {s3, 1}, {-s3, 1}}});
  // The vertical axis meets circles, lines and parabolas at x = 0.
  ExpectPoints(IntersectCurves(y_axis, unit), {{{0, -1}, {0, 1}, u, u}});
  ExpectPoints(IntersectCurves(y_axis, diagonal), {{{0, 0}, u, u, u}});
  ExpectPoints(IntersectCurves(y_axis, Parabola(2, 1, 3)), {{{0, 3}, u, u, u}});
  // A sloped line meets a vertical one at the vertical one's x.
  ExpectPoints(IntersectCurves(diagonal, Cross3Line({{2, 5}, {2, 7}}, false)), {{{2, 2}, u, u, u}});
  // Tangent line touches once.
  ExpectPoints(IntersectCurves(Cross3Line({{0, 1}, {1, 1}}, false), unit), {{{0, 1}, u, u, u}});
  // Circles with centres at different heights and on one level.
  ExpectPoints(IntersectCurves(unit, Cross3Circle({0, 1}, 1)),
               {{{-std::sqrt(0.75), 0.5}, {std::sqrt(0.75), 0.5}, u, u}});
  ExpectPoints(IntersectCurves(unit, Cross3Circle({1, 0}, 1)),
               {{{0.5, -std::sqrt(0.75)}, {0.5, std::sqrt(0.75)}, u, u}});
  // Two parabolas: x^2 and -x^2 + 2 meet at x = -1, 1; y taken from the second.
  ExpectPoints(IntersectCurves(Parabola(1, 0, 0), Parabola(-1, 0, 2)), {{{-1, 1}, {1, 1}, u, u}});
  // A straight general-form parabola y = 2x + 1 against y = x^2 + 1.
  const Cross3Curve straight = Cross3Parabola({{kStraightParabolaMarker, 1}, {1, 3}});
  ExpectPoints(IntersectCurves(Parabola(1, 0, 1), straight), {{{0, 1}, {2, 5}, u, u}});
}

TEST(Cross3, NoPointCases) {
  const Cross3Curve unit = Cross3Circle({0, 0}, 1);
  const Cross3Curve line = Cross3Line({{0, 0}, {1, 1}}, false);
  const Cross3Curve parabola = Parabola(1, 0, 0);
  const struct {
    Cross3Curve a, b;
  } cases[] = {
      {unit, Cross3Circle({0, 0}, 2)},              // concentric
      {line, Cross3Line({{0, 1}, {1, 2}}, false)},  // parallel
      {Cross3Line({{1, 0}, {1, 1}}, false), Cross3Line({{2, 0}, {2, 1}}, false)},
      {parabola, Parabola(1, 0, 3)},                // equal k and m
      {unit, line},                                 // wrong order
      {parabola, unit},                             // wrong order
      {parabola, line},                             // wrong order
      {Cross3Line({{0, 5}, {1, 5}}, false), unit},  // misses
      {line, Cross3Parabola({{1, 1}, {1, 2}})},     // vertical parabola
      {line, Cross3Circle({U, U}, 1)},              // undefined circle
      {Cross3Line({{0, 0}, {1, 1}}, true),
       Cross3Line({{3, 0}, {4, -1}}, false)},  // outside segment
  };
  for (const auto& c : cases) {
    for (const PlanePoint p : IntersectCurves(c.a, c.b))
      EXPECT_EQ(p, kUndefinedPoint);
  }
}

double Residual(const Cross3Curve& c, PlanePoint p) {
  const double scale = 1.0 + std::fabs(p.x) + std::fabs(p.y);
  switch (c.kind) {
    case Cross3CurveKind::kLine: {
      const double dx = c.line.p1.x - c.line.p0.x, dy = c.line.p1.y - c.line.p0.y;
      return std::fabs(dy * (p.x - c.line.p0.x) - dx * (p.y - c.line.p0.y)) / std::hypot(dx, dy) /
             scale;
    }
    case Cross3CurveKind::kCircle:
      return std::fabs(std::hypot(p.x - c.centre.x, p.y - c.centre.y) - c.radius) / scale;
    case Cross3CurveKind::kParabola:
      return std::fabs(c.k * p.x * p.x + c.m * p.x + c.n - p.y) / (scale * (1.0 + std::fabs(p.y)));
    case Cross3CurveKind::kNone:
      break;
  }
  return 1e300;
}

// Sign changes of f(x) = curve b minus curve a along a fine grid count real
// crossings that any exact method must report.
TEST(Cross3, RandomFiguresPointsLieOnBothAndNoneIsMissed) {
  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> coord(-5.0, 5.0);
  std::uniform_real_distribution<double> radius(0.5, 4.0);
  std::uniform_int_distribution<int> kind(0, 2);
  auto random_curve = [&](int k) {
    if (k == 0) return Cross3Line({{coord(rng), coord(rng)}, {coord(rng), coord(rng)}}, false);
    if (k == 1) return Cross3Circle({coord(rng), coord(rng)}, radius(rng));
    double kk = coord(rng) / 2;
    if (std::fabs(kk) < 0.1) kk = 0.5;
    return Parabola(kk, coord(rng), coord(rng));
  };
  int checked_points = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    const int ka = kind(rng);
    int kb = kind(rng);
    if (ka == 2 && kb < 2) kb = 2;  // parabola first only with a parabola
    if (ka == 1 && kb == 0) kb = 1;
    const Cross3Curve a = random_curve(ka);
    const Cross3Curve b = random_curve(kb);
    const Cross3Points got = IntersectCurves(a, b);
    int reported = 0;
    for (const PlanePoint p : got) {
      if (p == kUndefinedPoint) continue;
      ++reported;
      ++checked_points;
      EXPECT_LT(Residual(a, p), 1e-6) << "trial " << trial;
      EXPECT_LT(Residual(b, p), 1e-6) << "trial " << trial;
    }
    // Lower bound on the number of intersections: the sign of the residual
    // of b changes along a, sampled densely, where the curves cross clearly.
    if (ka == 0) {
      const LinePoints& l = a.line;
      const double len = std::hypot(l.p1.x - l.p0.x, l.p1.y - l.p0.y);
      if (len < 1e-3) continue;
      auto side = [&](double t) {
        const PlanePoint p{l.p0.x + t * (l.p1.x - l.p0.x) / len,
                           l.p0.y + t * (l.p1.y - l.p0.y) / len};
        if (b.kind == Cross3CurveKind::kCircle)
          return std::hypot(p.x - b.centre.x, p.y - b.centre.y) - b.radius;
        if (b.kind == Cross3CurveKind::kParabola) return b.k * p.x * p.x + b.m * p.x + b.n - p.y;
        const double dx = b.line.p1.x - b.line.p0.x, dy = b.line.p1.y - b.line.p0.y;
        return (dy * (p.x - b.line.p0.x) - dx * (p.y - b.line.p0.y)) / std::hypot(dx, dy);
      };
      int changes = 0;
      double prev = side(-200.0);
      for (double t = -200.0 + 0.01; t <= 200.0; t += 0.01) {
        const double cur = side(t);
        if ((prev < -1e-3 && cur > 1e-3) || (prev > 1e-3 && cur < -1e-3)) ++changes;
        if (std::fabs(cur) > 1e-3) prev = cur;
      }
      EXPECT_GE(reported, changes) << "trial " << trial;
    }
  }
  EXPECT_GT(checked_points, 1000);
}

TEST(Cross3, RecordsFromTheFigureTable) {
  FigureTable table;
  FigureRecord circle = FigureRecord::Blank(kCircleFigure);
  circle.circle()->X0 = 0.0;
  circle.circle()->Y0 = 0.0;
  circle.circle()->RadiusValue = 1.0;
  ASSERT_TRUE(PlaceFigure(table, 3, circle));
  FigureRecord segment = FigureRecord::Blank(kLineFigure);
  segment.line()->X0 = 0.0;
  segment.line()->Y0 = 0.0;
  segment.line()->X1 = 1.0;
  segment.line()->Y1 = 1.0;
  segment.line()->DispB = true;
  ASSERT_TRUE(PlaceFigure(table, 4, segment));

  FigureRecord cross = FigureRecord::Blank(kCross3Figure);
  MultiPointRecord& r = *cross.multi_point();
  r.Ref0 = 4;
  r.Ref1 = 3;
  ComputeCross3(table, r);
  EXPECT_EQ(r.PX[0], U);
  EXPECT_NEAR(r.PX[1], kR, 1e-12);
  EXPECT_NEAR(r.PY[1], kR, 1e-12);
  EXPECT_EQ(r.PX[2], U);
  EXPECT_EQ(r.PY[3], U);

  r.Ref0 = kXAxisReference;  // the axes carry no segment restriction
  ComputeCross3(table, r);
  EXPECT_NEAR(r.PX[0], -1, 1e-12);
  EXPECT_NEAR(r.PX[1], 1, 1e-12);
  EXPECT_NEAR(r.PY[1], 0, 1e-12);

  r.Ref0 = 3;
  r.Ref1 = 4;  // circle before line: no points
  ComputeCross3(table, r);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(r.PX[i], U);
  r.Ref0 = 7;  // empty slot
  ComputeCross3(table, r);
  EXPECT_EQ(r.PX[0], U);
}

}  // namespace
}  // namespace qzarn
