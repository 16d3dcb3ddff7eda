#include "engine/point_constructions.h"

#include <gtest/gtest.h>

namespace qzarn {
namespace {

constexpr double kTol = 1e-4;

TEST(DirectionAngle, QuadrantsAndZero) {
  struct Case {
    double dx, dy, degrees;
  };
  const Case cases[] = {{1, 0, 0},     {0, 1, 90}, {-1, 0, 180},    {0, -1, 270},   {1, 1, 45},
                        {-1, -1, 225}, {0, 0, 0},  {1, -1e-300, 0}, {1, -1e-17, 0}, {-0.0, 0, 0}};
  for (const Case& c : cases) {
    const double got = DirectionAngle(c.dx, c.dy);
    EXPECT_NEAR(got, c.degrees, 1e-9) << c.dx << "," << c.dy;
    EXPECT_GE(got, 0.0);
    EXPECT_LT(got, 360.0);
  }
}

TEST(DividingPoint, RatiosInternalExternalAndDegenerate) {
  struct Case {
    double m, n;
    PlanePoint expected;
    bool degenerate;
  };
  const PlanePoint p1{0, 0}, p2{4, 2};
  const Case cases[] = {
      {1, 1, {2, 1}, false},   // midpoint
      {2, -1, {8, 4}, false},  // beyond p2, p2 the midpoint of p1 and the result
      {1, -1, {2, 1}, true},   // no ratio: midpoint, marked impossible
      {0, 3, {0, 0}, false},   // m = 0 gives p1
      {3, 0, {4, 2}, false},   // n = 0 gives p2
      {1, 3, {1, 0.5}, false},
  };
  for (const Case& c : cases) {
    const DividingPointResult r = DividingPoint(p1, p2, c.m, c.n);
    EXPECT_NEAR(r.point.x, c.expected.x, kTol) << c.m << ":" << c.n;
    EXPECT_NEAR(r.point.y, c.expected.y, kTol) << c.m << ":" << c.n;
    EXPECT_EQ(r.ratio_degenerate, c.degenerate) << c.m << ":" << c.n;
  }
}

TEST(IntersectLines, CrossingParallelAndDegenerate) {
  struct Case {
    LinePoints a, b;
    PlanePoint expected;
  };
  const Case cases[] = {
      {{{0, 0}, {1, 1}}, {{0, 2}, {2, 0}}, {1, 1}},
      {{{0, 1}, {1, 1}}, {{3, 0}, {3, 5}}, {3, 1}},          // horizontal and vertical
      {{{0, 0}, {1, 1}}, {{0, 1}, {1, 2}}, kOffPlanePoint},  // parallel
      {{{0, 0}, {1, 1}}, {{0, 0}, {1, 1}}, kOffPlanePoint},  // the same line
      {{{2, 2}, {2, 2}}, {{0, 1}, {1, 2}}, kOffPlanePoint},  // a line without direction
      {{{-1, 0}, {1, 0}}, {{5, -1}, {5, 1}}, {5, 0}},        // beyond both segments
  };
  for (const Case& c : cases) {
    const PlanePoint p = IntersectLines(c.a, c.b);
    EXPECT_NEAR(p.x, c.expected.x, kTol);
    EXPECT_NEAR(p.y, c.expected.y, kTol);
  }
}

TEST(PerpendicularFoot, ProjectionAxesAndPointOnLine) {
  struct Case {
    PlanePoint p;
    LinePoints line;
    PlanePoint expected;
  };
  const Case cases[] = {
      {{2, 5}, {{1, 2}, {4, 3}}, {2.8, 2.6}},
      {{3, 0}, kXAxisLine, {3, -1}},  // on the axis: one unit to the right of its direction
      {{3, 4}, kYAxisLine, {0, 4}},
      {{0, 3}, kYAxisLine, {1, 3}},  // on the y axis: right of "upwards" is +x
      {{3, 4}, kXAxisLine, {3, 0}},
      {{1, 1}, {{2, 2}, {2, 2}}, kOffPlanePoint},  // line without direction
      {{2, 2}, {{0, 0}, {2, 2}}, {2 + 0.70710678, 2 - 0.70710678}},
  };
  for (const Case& c : cases) {
    const PlanePoint f = PerpendicularFoot(c.p, c.line);
    EXPECT_NEAR(f.x, c.expected.x, kTol) << c.p.x << "," << c.p.y;
    EXPECT_NEAR(f.y, c.expected.y, kTol) << c.p.x << "," << c.p.y;
  }
}

TEST(PerpendicularFoot, FarAwayPointIsNotTakenAsOnTheLine) {
  // A point 1e11 away must project normally, not be pushed sideways.
  const PlanePoint f = PerpendicularFoot({5, 1e11}, kXAxisLine);
  EXPECT_DOUBLE_EQ(f.x, 5);
  EXPECT_DOUBLE_EQ(f.y, 0);
}

TEST(AngleDivisionLine, SweepRatioAndOppositeSide) {
  struct Case {
    PlanePoint a, o, b;
    double m, n, length;
    bool both;
    LinePoints expected;
  };
  const Case cases[] = {
      {{1, 0}, {0, 0}, {0, 1}, 1, 1, 10, false, {{0, 0}, {7.0711, 7.0711}}},
      // exchanged arms: the counterclockwise sweep is 270 degrees
      {{0, 1}, {0, 0}, {1, 0}, 1, 1, 10, false, {{0, 0}, {-7.0711, -7.0711}}},
      {{1, 0}, {0, 0}, {0, 1}, 1, 1, 10, true, {{-7.0711, -7.0711}, {7.0711, 7.0711}}},
      // 1 : 2 from the first arm of a 90 degree angle at (1, 1): 30 degrees
      {{3, 1}, {1, 1}, {1, 4}, 1, 2, 2, false, {{1, 1}, {1 + 1.7321, 2}}},
      // degenerate ratios put the line off the plane
      {{1, 0}, {0, 0}, {0, 1}, 0, 1, 10, false, kOffPlaneLine},
      {{1, 0}, {0, 0}, {0, 1}, 1, -1, 10, false, kOffPlaneLine},
  };
  for (const Case& c : cases) {
    const LinePoints l = AngleDivisionLine(c.a, c.o, c.b, c.m, c.n, c.length, c.both);
    EXPECT_NEAR(l.p0.x, c.expected.p0.x, kTol);
    EXPECT_NEAR(l.p0.y, c.expected.p0.y, kTol);
    EXPECT_NEAR(l.p1.x, c.expected.p1.x, kTol);
    EXPECT_NEAR(l.p1.y, c.expected.p1.y, kTol);
  }
}

TEST(MeasureAngle, SweepSmallerAngleAndUndefinedInput) {
  struct Case {
    PlanePoint a, o, b;
    bool smaller;
    double start, end;
  };
  const Case cases[] = {
      {{1, 0}, {0, 0}, {0, -1}, false, 0, 270},
      {{1, 0}, {0, 0}, {0, -1}, true, -90, 0},
      {{1, 0}, {0, 0}, {0, 1}, true, 0, 90},  // already the smaller one
      {{0, 1}, {0, 0}, {1, 0}, false, 90, 360},
      {{3, 2}, {2, 2}, {2, 5}, false, 0, 90},  // vertex away from the origin
      // a missing reference (20000) is still measured
      {{20000, 20000}, {0, 0}, {0, 1}, false, 45, 90},
  };
  for (const Case& c : cases) {
    const AngleMeasureResult r = MeasureAngle(c.a, c.o, c.b, c.smaller);
    EXPECT_FALSE(r.undefined);
    EXPECT_EQ(r.vertex, c.o);
    EXPECT_NEAR(r.start_angle, c.start, 1e-9);
    EXPECT_NEAR(r.end_angle, c.end, 1e-9);
  }
  const AngleMeasureResult u = MeasureAngle({1, 0}, {0, UndefinedValue}, {0, 1}, false);
  EXPECT_TRUE(u.undefined);
  EXPECT_EQ(u.vertex, kUndefinedPoint);
  EXPECT_EQ(u.end_angle, UndefinedValue);
}

}  // namespace
}  // namespace qzarn
