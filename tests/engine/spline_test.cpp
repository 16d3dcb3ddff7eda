#include "engine/spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace qzarn {
namespace {

using Points = std::vector<PlanePoint>;

// Central differences of the curve at t: first and second derivatives of x
// and y with respect to the parameter.
struct Derivatives {
  PlanePoint d1, d2;
};

Derivatives At(const SplineTable& s, double t, double e = 1e-4) {
  const PlanePoint a = SplinePoint(s, t - e), b = SplinePoint(s, t), c = SplinePoint(s, t + e);
  return {{(c.x - a.x) / (2 * e), (c.y - a.y) / (2 * e)},
          {(a.x - 2 * b.x + c.x) / (e * e), (a.y - 2 * b.y + c.y) / (e * e)}};
}

void ExpectNear(PlanePoint a, PlanePoint b, double tol) {
  EXPECT_NEAR(a.x, b.x, tol);
  EXPECT_NEAR(a.y, b.y, tol);
}

TEST(Spline, PassesThroughItsPointsAtTheChordLengthKnots) {
  const Points p = {{0, 0}, {1, 1}, {2, 0}};
  const SplineTable s(p, false);
  ASSERT_FALSE(s.empty());
  ASSERT_EQ(s.knots().size(), 3u);
  EXPECT_DOUBLE_EQ(s.knots()[1], 0.5);
  ExpectNear(SplinePoint(s, 0), p[0], 1e-12);
  ExpectNear(SplinePoint(s, 0.5), p[1], 1e-12);
  ExpectNear(SplinePoint(s, 1), p[2], 1e-12);
  // The arch is symmetric and bulges above the apex between the knots' chords.
  const PlanePoint q = SplinePoint(s, 0.25), r = SplinePoint(s, 0.75);
  EXPECT_NEAR(q.x, 2 - r.x, 1e-12);
  EXPECT_NEAR(q.y, r.y, 1e-12);
  EXPECT_GT(q.y, 0.5);
}

TEST(Spline, ParameterIsClampedToTheCurve) {
  const SplineTable s(Points{{0, 0}, {3, 4}, {6, 0}}, false);
  ExpectNear(SplinePoint(s, -5), {0, 0}, 0);
  ExpectNear(SplinePoint(s, 7), {6, 0}, 0);
  ExpectNear(SplinePoint(s, std::nan("")), {0, 0}, 0);
}

// The system and the evaluation must agree on the scale of z: the curve is
// C2 at every interior knot, and its second derivative there is 6·z.
TEST(Spline, OpenCurveIsTwiceContinuouslyDifferentiable) {
  const Points p = {{0, 0}, {1, 1}, {2, 0}, {3, 2}, {5, -1}, {4, -3}};
  const SplineTable s(p, false);
  ASSERT_FALSE(s.empty());
  const std::vector<double>& t = s.knots();
  for (std::size_t i = 0; i < p.size(); ++i)
    ExpectNear(SplinePoint(s, t[i]), p[i], 1e-9);
  for (std::size_t i = 1; i + 1 < t.size(); ++i) {
    SCOPED_TRACE(i);
    const Derivatives d = At(s, t[i]);
    // One-sided second derivatives just left and right of the knot.
    const Derivatives left = At(s, t[i] - 2e-4), right = At(s, t[i] + 2e-4);
    const double scale = 1 + std::fabs(d.d2.x) + std::fabs(d.d2.y);
    EXPECT_NEAR(left.d2.x, right.d2.x, 0.01 * scale);
    EXPECT_NEAR(left.d2.y, right.d2.y, 0.01 * scale);
    EXPECT_NEAR(d.d2.x, 6 * s.curvature()[i].x, 0.01 * scale);
    EXPECT_NEAR(d.d2.y, 6 * s.curvature()[i].y, 0.01 * scale);
  }
  // Natural ends: no curvature at t = 0 and t = 1.
  EXPECT_EQ(s.curvature().front(), (PlanePoint{0, 0}));
  EXPECT_EQ(s.curvature().back(), (PlanePoint{0, 0}));
}

TEST(Spline, TwoOpenPointsMakeTheirSegment) {
  const SplineTable s(Points{{1, 2}, {5, -2}}, false);
  ASSERT_FALSE(s.empty());
  for (double t : {0.0, 0.3, 0.5, 1.0})
    ExpectNear(SplinePoint(s, t), {1 + 4 * t, 2 - 4 * t}, 1e-12);
}

struct ClosedCase {
  const char* name;
  Points points;
};

class ClosedSpline : public ::testing::TestWithParam<ClosedCase> {};

// The curve returns to its start with matching first and second derivatives,
// and still passes through every point.
TEST_P(ClosedSpline, ReturnsToItsStartSmoothly) {
  const Points& p = GetParam().points;
  const SplineTable s(p, true);
  ASSERT_FALSE(s.empty());
  ASSERT_EQ(s.knots().size(), p.size() + 1);
  EXPECT_EQ(s.knots().back(), 1.0);
  ExpectNear(SplinePoint(s, 1), p[0], 1e-12);
  for (std::size_t i = 0; i < p.size(); ++i)
    ExpectNear(SplinePoint(s, s.knots()[i]), p[i], 1e-9);
  const double e = 1e-4;
  const Derivatives start = At(s, 2 * e, e), end = At(s, 1 - 2 * e, e);
  const PlanePoint a = SplinePoint(s, e), b = SplinePoint(s, 1 - e);
  // Across the seam: the chord from 1 − e to e against the tangent there.
  const double scale = 1 + std::fabs(start.d2.x) + std::fabs(start.d2.y);
  EXPECT_NEAR((a.x - b.x) / (2 * e), start.d1.x, 0.01 * scale);
  EXPECT_NEAR((a.y - b.y) / (2 * e), start.d1.y, 0.01 * scale);
  EXPECT_NEAR(start.d2.x, end.d2.x, 0.01 * scale);
  EXPECT_NEAR(start.d2.y, end.d2.y, 0.01 * scale);
  for (int i = 0; i <= 200; ++i) {
    const PlanePoint q = SplinePoint(s, i / 200.0);
    EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y)) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClosedSpline,
    ::testing::Values(ClosedCase{"two", {{0, 0}, {2, 1}}},
                      ClosedCase{"three", {{0, 0}, {1, 0}, {0, 1}}},
                      ClosedCase{"square", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
                      ClosedCase{"uneven", {{-3, 0}, {0, 0.5}, {4, 1}, {2, 5}, {-1, 4}}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(Spline, TwoClosedPointsRunThereAndBackAlongTheirSegment) {
  const SplineTable s(Points{{0, 0}, {2, 1}}, true);
  ExpectNear(SplinePoint(s, 0.5), {2, 1}, 1e-12);
  for (int i = 0; i <= 20; ++i) {
    const PlanePoint q = SplinePoint(s, i / 20.0);
    EXPECT_NEAR(q.y, q.x / 2, 1e-12);
    EXPECT_GE(q.x, -1e-12);
    EXPECT_LE(q.x, 2 + 1e-12);
  }
}

TEST(Spline, ASquareClosesIntoASymmetricLoop) {
  const SplineTable s(Points{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, true);
  // Mid-edge points bulge outwards by the same amount on every side.
  const PlanePoint bottom = SplinePoint(s, 0.125), right = SplinePoint(s, 0.375);
  EXPECT_NEAR(bottom.x, 0.5, 1e-12);
  EXPECT_LT(bottom.y, 0);
  EXPECT_NEAR(right.y, 0.5, 1e-12);
  EXPECT_NEAR(right.x - 1, -bottom.y, 1e-12);
}

TEST(Spline, NoCurveForUnusablePoints) {
  const struct {
    const char* name;
    Points points;
  } cases[] = {
      {"none", {}},
      {"one", {{1, 1}}},
      {"coincident neighbours", {{0, 0}, {1, 1}, {1, 1}}},
      {"coincident apart", {{0, 0}, {1, 1}, {2, 0}, {0, 0}}},
      {"off the plane", {{0, 0}, {20000, 1}}},
      {"undefined", {{0, 0}, {1, 1}, {1e15, 1e15}}},
      {"negative off the plane", {{0, -20000}, {1, 1}}},
      {"NaN", {{0, 0}, {std::nan(""), 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool closed : {false, true}) {
      const SplineTable s(c.points, closed);
      EXPECT_TRUE(s.empty());
      const PlanePoint q = SplinePoint(s, 0.5);
      EXPECT_EQ(q, kOffPlanePoint);
    }
  }
  EXPECT_FALSE(SplineTable(Points{{0, 0}, {19999.9, -19999.9}}, false).empty());
}

TEST(Spline, ChordTooShortToMeasureGivesNoCurve) {
  // Distinct points whose chord vanishes against the whole length.
  const SplineTable s(Points{{0, 0}, {5e-324, 0}, {10000, 0}}, false);
  EXPECT_TRUE(s.empty());
}

}  // namespace
}  // namespace qzarn
