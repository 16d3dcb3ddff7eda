#include <cmath>

#include <gtest/gtest.h>

#include "engine/circle_constructions.h"
#include "engine/line_constructions.h"
#include "engine/parabola_constructions.h"

namespace qzarn {
namespace {

constexpr double kTol = 1e-9;
constexpr double U = UndefinedValue;

void ExpectLine(const LinePoints& got, const LinePoints& want, const char* what) {
  EXPECT_NEAR(got.p0.x, want.p0.x, kTol) << what;
  EXPECT_NEAR(got.p0.y, want.p0.y, kTol) << what;
  EXPECT_NEAR(got.p1.x, want.p1.x, kTol) << what;
  EXPECT_NEAR(got.p1.y, want.p1.y, kTol) << what;
}

TEST(LineForms, GeneralForm) {
  struct Case {
    double a, b, c;
    LinePoints expected;
    const char* what;
  };
  const Case cases[] = {
      {2, 0, -4, {{2, 1}, {2, 2}}, "vertical x = 2"},
      {0, 0, 1, kUndefinedLine, "no line at all"},
      {1, -1, 0, {{1, 1}, {2, 2}}, "y = x"},
      {0, 2, -6, {{1, 3}, {2, 3}}, "horizontal y = 3"},
      {U, 1, 0, kUndefinedLine, "undefined a"},
      {1, 1, -U, kUndefinedLine, "undefined c"},
      {1e-11, 1e-11, 1, kUndefinedLine, "both coefficients about zero"},
  };
  for (const Case& c : cases)
    ExpectLine(LineFromGeneralForm(c.a, c.b, c.c), c.expected, c.what);
}

TEST(LineForms, StandardForm) {
  ExpectLine(LineFromStandardForm(2, 1, 3), {{0, 1}, {1, 3}}, "y = 2(x - 1) + 3");
  ExpectLine(LineFromStandardForm(0, 5, -1), {{0, -1}, {1, -1}}, "horizontal");
  ExpectLine(LineFromStandardForm(1, U, 0), kUndefinedLine, "undefined p");
}

TEST(ParabolaForms, GeneralAndStandardForms) {
  struct Case {
    LinePoints got, expected;
    const char* what;
  };
  const Case cases[] = {
      {ParabolaFromGeneralForm(1, -2, 3), {{1, 2}, {2, 3}}, "y = x^2 - 2x + 3"},
      {ParabolaFromGeneralForm(0, 2, 1),
       {{kStraightParabolaMarker, 1}, {1, 3}},
       "squared term vanished: the line y = 2x + 1"},
      {ParabolaFromGeneralForm(-1, 0, 4), {{0, 4}, {1, 3}}, "downward"},
      {ParabolaFromStandardForm(-2, 1, 4), {{1, 4}, {2, 2}}, "y = -2(x - 1)^2 + 4"},
      {ParabolaFromStandardForm(1, U, 4), kUndefinedLine, "undefined p"},
  };
  for (const Case& c : cases)
    ExpectLine(c.got, c.expected, c.what);
}

void ExpectCircle(const CircleValues& got, double cx, double cy, double r, const char* what) {
  EXPECT_FALSE(got.undefined) << what;
  EXPECT_NEAR(got.centre.x, cx, kTol) << what;
  EXPECT_NEAR(got.centre.y, cy, kTol) << what;
  EXPECT_NEAR(got.radius, r, kTol) << what;
}

TEST(CircleForms, GeneralForm) {
  ExpectCircle(CircleFromGeneralForm(1, 1, -2, -4, 1), 1, 2, 2, "x^2+y^2-2x-4y+1");
  ExpectCircle(CircleFromGeneralForm(2, 2, -4, 0, -6), 1, 0, 2, "scaled coefficients");
  struct Case {
    double a, b, c, d, e;
    const char* what;
  };
  const Case none[] = {
      {1, 2, 0, 0, 1, "unequal squared terms"},  {1, 1, 0, 0, 1, "empty set"},
      {1, 1, 0, 0, 0, "a single point"},         {0, 0, 1, 1, 1, "no squared terms"},
      {1, 1, U, 0, -1, "undefined coefficient"},
  };
  for (const Case& c : none)
    EXPECT_TRUE(CircleFromGeneralForm(c.a, c.b, c.c, c.d, c.e).undefined) << c.what;
}

TEST(CircleForms, ThreePoints) {
  ExpectCircle(CircleThroughThreePoints({0, 0}, {2, 0}, {0, 2}), 1, 1, std::sqrt(2.0),
               "right angle at the origin");
  ExpectCircle(CircleThroughThreePoints({3, 0}, {0, 3}, {-3, 0}), 0, 0, 3, "on a circle of 3");
  ExpectCircle(CircleThroughThreePoints({1, 6}, {5, 2}, {1, -2}), 1, 2, 4, "shifted centre");
  EXPECT_TRUE(CircleThroughThreePoints({0, 0}, {1, 1}, {2, 2}).undefined);
  EXPECT_TRUE(CircleThroughThreePoints({0, 0}, {0, 0}, {2, 2}).undefined);
  EXPECT_TRUE(CircleThroughThreePoints({0, 0}, {1, U}, {2, 2}).undefined);
}

TEST(CircleForms, CentreRadiusAndCentrePoint) {
  ExpectCircle(CircleFromCentreAndRadius({1, 2}, 0), 1, 2, 0, "radius 0 is a circle");
  ExpectCircle(CircleFromCentreAndPoint({1, 1}, {4, 5}), 1, 1, 5, "through a point");
  // A missing point reads (20000, 20000) and the radius is measured to it.
  ExpectCircle(CircleFromCentreAndPoint({0, 0}, kOffPlanePoint), 0, 0,
               std::hypot(OffPlaneValue, OffPlaneValue), "missing point");
  EXPECT_TRUE(CircleFromCentreAndRadius({U, 0}, 1).undefined);
  EXPECT_TRUE(RadiusIsInvalid(-1));
  EXPECT_TRUE(RadiusIsInvalid(std::nan("")));
  EXPECT_FALSE(RadiusIsInvalid(0));
}

}  // namespace
}  // namespace qzarn
