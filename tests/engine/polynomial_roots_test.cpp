#include "engine/polynomial_roots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace qzarn {
namespace {

constexpr double U = UndefinedValue;

TEST(PolynomialRoots, QuadraticSlotOrderAndDegenerateCases) {
  struct Case {
    double a0, a1, a2;
    double r0, r1;
  };
  const Case cases[] = {
      {-1, 0, 1, -1, 1},       // two roots, minus square root first
      {-1, 0, -1, U, U},       // x^2 = -1: none
      {1, 2, 1, -1, -1},       // double root in both slots
      {1e-7 / 4, 0, 1, 0, 0},  // tiny negative discriminant counts as touching
      {3, 6, 0, -0.5, U},      // linear
      {3, 0, 0, U, U},         // constant
      {-2, 0, -1, U, U},      {-4, 0, -1, U, U},
      {6, -5, 1, 2, 3},       {6, -5, -1, 1, -6},  // negative a2: the "minus" root is the larger
  };
  for (const Case& c : cases) {
    const auto r = SolveQuadratic(c.a0, c.a1, c.a2);
    SCOPED_TRACE(testing::Message() << c.a0 << " " << c.a1 << " " << c.a2);
    EXPECT_NEAR(r[0], c.r0, 1e-9);
    EXPECT_NEAR(r[1], c.r1, 1e-9);
  }
}

TEST(PolynomialRoots, CubicOneRealRootOrThreeInTrigonometricOrder) {
  // (x - 1)(x - 2)(x - 3) = x^3 - 6x^2 + 11x - 6
  auto r = SolveCubic(-6, 11, -6, 1);
  EXPECT_NEAR(r[0], 3, 1e-9);
  EXPECT_NEAR(r[1], 1, 1e-9);
  EXPECT_NEAR(r[2], 2, 1e-9);
  // x^3 + x + 2 = (x + 1)(x^2 - x + 2): one real root.
  r = SolveCubic(2, 1, 0, 1);
  EXPECT_NEAR(r[0], -1, 1e-9);
  EXPECT_EQ(r[1], U);
  EXPECT_EQ(r[2], U);
  // x^3 = -8: cube root keeps the sign.
  r = SolveCubic(8, 0, 0, 1);
  EXPECT_NEAR(r[0], -2, 1e-9);
  // Degree drops to the quadratic.
  r = SolveCubic(-1, 0, 1, 0);
  EXPECT_NEAR(r[0], -1, 1e-12);
  EXPECT_NEAR(r[1], 1, 1e-12);
  EXPECT_EQ(r[2], U);
}

TEST(PolynomialRoots, QuarticBiquadraticKeepsSlotsAndDoubleZero) {
  // x^4 - 3x^2: z = 0 and z = 3.
  auto r = SolveQuartic(0, 0, -3, 0, 1);
  EXPECT_EQ(r[0], 0);
  EXPECT_EQ(r[1], 0);
  EXPECT_NEAR(r[2], std::sqrt(3.0), 1e-12);
  EXPECT_NEAR(r[3], -std::sqrt(3.0), 1e-12);
  // x^4 + 1: no real z roots.
  r = SolveQuartic(1, 0, 0, 0, 1);
  for (double x : r)
    EXPECT_EQ(x, U);
  // x^4 + x^2 - 2: z = -2 (dropped) and z = 1.
  r = SolveQuartic(-2, 0, 1, 0, 1);
  EXPECT_EQ(r[0], U);
  EXPECT_EQ(r[1], U);
  EXPECT_NEAR(r[2], 1, 1e-12);
  EXPECT_NEAR(r[3], -1, 1e-12);
}

TEST(PolynomialRoots, QuarticFerrariFindsEveryRealRootOfRandomProducts) {
  std::mt19937 rng(12345);
  std::uniform_real_distribution<double> root(-5.0, 5.0);
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<double> want{root(rng), root(rng), root(rng), root(rng)};
    std::sort(want.begin(), want.end());
    // Keep roots apart so the discriminant tolerances stay out of play.
    bool close = false;
    for (int i = 0; i < 3; ++i)
      close = close || want[i + 1] - want[i] < 0.2;
    if (close) continue;
    const double s1 = want[0] + want[1] + want[2] + want[3];
    const double s2 = want[0] * want[1] + want[0] * want[2] + want[0] * want[3] +
                      want[1] * want[2] + want[1] * want[3] + want[2] * want[3];
    const double s3 = want[0] * want[1] * want[2] + want[0] * want[1] * want[3] +
                      want[0] * want[2] * want[3] + want[1] * want[2] * want[3];
    const double s4 = want[0] * want[1] * want[2] * want[3];
    const auto r = SolveQuartic(s4, -s3, s2, -s1, 1.0);
    std::vector<double> got(r.begin(), r.end());
    std::sort(got.begin(), got.end());
    for (int i = 0; i < 4; ++i)
      EXPECT_NEAR(got[i], want[i], 1e-6) << "trial " << trial;
  }
}

}  // namespace
}  // namespace qzarn
