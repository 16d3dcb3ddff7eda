// Constructions run on records inside a pass: texts, references, forms.

#include <cmath>

#include <gtest/gtest.h>

#include "engine/parabola_constructions.h"
#include "engine/recompute.h"
#include "engine/references.h"
#include "engine_fixture.h"
#include "screen_builder.h"

namespace qzarn {
namespace {

using testing::EngineFixture;
using testing::ScreenBuilder;

constexpr double kTol = 1e-4;
constexpr double U = UndefinedValue;
constexpr double O = OffPlaneValue;

class FigureConstructionsTest : public ::testing::Test, public EngineFixture {
 protected:
  void Pass() { engine.RecomputeScreen(b.screen()); }
  PointRecord& P(int i) { return *b.Record(i).point(); }
  LineRecord& L(int i) { return *b.Record(i).line(); }
  CircleRecord& C(int i) { return *b.Record(i).circle(); }
  FrameRecord& F(int i) { return *b.Record(i).frame(); }

  ScreenBuilder b;
};

TEST_F(FigureConstructionsTest, PointFiguresFromReferences) {
  const int p1 = b.Point("0", "0");
  const int p2 = b.Point("4", "2");
  const int mid = b.Bunten(p1, p2, "1", "1");
  const int ext = b.Bunten(p1, p2, "2", "-1");
  const int none = b.Bunten(p1, p2, "1", "-1");
  const int p3 = b.Point("2", "5");
  const int l1 = b.Line("1", "2", "4", "3");
  const int foot = b.Suisen(p3, l1);
  const int p4 = b.Point("3", "0");
  const int on_axis = b.Suisen(p4, kXAxisReference);
  const int p5 = b.Point("3", "4");
  const int to_y = b.Suisen(p5, kYAxisReference);
  const int l2 = b.LineThrough(p1, p5);
  const int cross = b.Cross(l1, l2);
  const int parallel = b.Cross(l1, l1);
  Pass();

  struct Case {
    int index;
    double x, y;
  };
  const Case cases[] = {{mid, 2, 1},      {ext, 8, 4},  {none, 2, 1},    {foot, 2.8, 2.6},
                        {on_axis, 3, -1}, {to_y, 0, 4}, {parallel, O, O}};
  for (const Case& c : cases) {
    EXPECT_NEAR(P(c.index).X, c.x, kTol) << c.index;
    EXPECT_NEAR(P(c.index).Y, c.y, kTol) << c.index;
  }
  EXPECT_EQ(P(mid).RatioDegenerate, 0);
  EXPECT_EQ(P(none).RatioDegenerate, 1);
  // l1: y = x/3 + 5/3, l2: y = 4x/3 -> x = 5/3
  EXPECT_NEAR(P(cross).X, 5.0 / 3.0, kTol);
  EXPECT_NEAR(P(cross).Y, 20.0 / 9.0, kTol);
}

TEST_F(FigureConstructionsTest, CrossOfAPointIsOffThePlane) {
  // A point is not a line: its line reads as four off-plane values.
  const int p = b.Point("1", "1");
  const int l = b.Line("0", "0", "1", "0");
  const int c = b.Cross(p, l);
  Pass();
  EXPECT_EQ(P(c).X, O);
}

TEST_F(FigureConstructionsTest, AngleDivisionAndAngleMeasure) {
  const int a = b.Point("1", "0");
  const int o = b.Point("0", "0");
  const int up = b.Point("0", "1");
  const int down = b.Point("0", "-1");
  const int half = b.Angle(a, o, up, "1", "1", 10, false);
  const int reflex = b.Angle(up, o, a, "1", "1", 10, false);
  const int both = b.Angle(a, o, up, "1", "1", 10, true);
  const int zero = b.Angle(a, o, up, "0", "1", 10, false);
  const int sweep = b.Angle2(a, o, down, false);
  const int smaller = b.Angle2(a, o, down, true);
  Pass();

  EXPECT_NEAR(L(half).X1, 7.0711, kTol);
  EXPECT_NEAR(L(half).Y1, 7.0711, kTol);
  EXPECT_DOUBLE_EQ(L(half).X0, 0);
  EXPECT_NEAR(L(reflex).X1, -7.0711, kTol);
  EXPECT_NEAR(L(reflex).Y1, -7.0711, kTol);
  EXPECT_NEAR(L(both).X0, -7.0711, kTol);
  EXPECT_EQ(L(zero).X0, O);
  EXPECT_EQ(L(zero).Y1, O);
  EXPECT_DOUBLE_EQ(P(sweep).StartAngle(), 0);
  EXPECT_DOUBLE_EQ(P(sweep).EndAngle(), 270);
  EXPECT_DOUBLE_EQ(P(smaller).StartAngle(), -90);
  EXPECT_DOUBLE_EQ(P(smaller).EndAngle(), 0);
  EXPECT_DOUBLE_EQ(P(smaller).X, 0);
}

TEST_F(FigureConstructionsTest, AngleMeasureOfAnUndefinedPointKeepsItsStart) {
  const int a = b.Point("1", "0");
  const int o = b.Point("0", "0");
  const int none = b.Circle(2, "0", "0", "1");  // a circle is not a point figure
  const int tied_to_circle = b.Point("0", "0", none);
  const int missing = b.Angle2(a, o, 400, false);  // slot 400 is empty: 20000, still measured
  Pass();
  EXPECT_EQ(P(tied_to_circle).X, O);
  EXPECT_DOUBLE_EQ(P(missing).StartAngle(), 0);
  EXPECT_NEAR(P(missing).EndAngle(), 45, 1e-9);

  // An input at the undefined value marks the measure and keeps its start.
  const int far = b.Point("1e15", "0");
  const int undefined = b.Angle2(a, far, o, false);
  P(undefined).StartAngle() = 12;
  Pass();
  EXPECT_EQ(P(undefined).X, U);
  EXPECT_EQ(P(undefined).Y, U);
  EXPECT_EQ(P(undefined).EndAngle(), U);
  EXPECT_DOUBLE_EQ(P(undefined).StartAngle(), 12);
}

TEST_F(FigureConstructionsTest, LineAndParabolaForms) {
  const int vertical = b.LineLike(kLineFigure, 1, "2", "0", "-4", "");
  const int nothing = b.LineLike(kLineFigure, 1, "0", "0", "1", "");
  const int standard = b.LineLike(kLineFigure, 2, "2", "1", "3", "");
  const int two_points = b.LineLike(kLineFigure, 0, "1", "2", "3", "4");
  const int general = b.LineLike(kParabolaFigure, 1, "1", "-2", "3", "");
  const int flat = b.LineLike(kParabolaFigure, 1, "0", "2", "1", "");
  const int standard_p = b.LineLike(kParabolaFigure, 2, "-2", "1", "4", "");
  const int vertex = b.Point("1", "1");
  const int tied = b.LineLike(kParabolaFigure, 0, "0", "0", "2", "3", vertex);
  Pass();

  struct Case {
    int index;
    double x0, y0, x1, y1;
  };
  const Case cases[] = {
      {vertical, 2, 1, 2, 2},   {nothing, U, U, U, U}, {standard, 0, 1, 1, 3},
      {two_points, 1, 2, 3, 4}, {general, 1, 2, 2, 3}, {flat, kStraightParabolaMarker, 1, 1, 3},
      {standard_p, 1, 4, 2, 2}, {tied, 1, 1, 2, 3},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(L(c.index).X0, c.x0, kTol) << c.index;
    EXPECT_NEAR(L(c.index).Y0, c.y0, kTol) << c.index;
    EXPECT_NEAR(L(c.index).X1, c.x1, kTol) << c.index;
    EXPECT_NEAR(L(c.index).Y1, c.y1, kTol) << c.index;
  }
}

TEST_F(FigureConstructionsTest, CircleForms) {
  const int general = b.Circle(1, "1", "1", "-2", "-4", "1");
  const int unequal = b.Circle(1, "1", "2", "0", "0", "1");
  const int empty = b.Circle(1, "1", "1", "0", "0", "1");
  const int three = b.Circle(3, "0", "0", "2", "0", "0", "2");
  const int collinear = b.Circle(3, "0", "0", "1", "1", "2", "2");
  const int negative = b.Circle(2, "1", "2", "-1");
  const int zero = b.Circle(2, "1", "2", "0");
  const int centre = b.Circle(0, "1", "1", "3");
  const int p = b.Point("4", "5");
  const int through = b.Circle(0, "1", "1", "", "", "", "", kNoReference, p);
  const int missing = b.Circle(0, "0", "0", "", "", "", "", kNoReference, 300);
  Pass();

  struct Case {
    int index;
    double cx, cy, r;
  };
  const Case cases[] = {
      {general, 1, 2, 2},   {unequal, U, U, U},
      {empty, U, U, U},     {three, 1, 1, std::sqrt(2.0)},
      {collinear, U, U, U}, {negative, U, U, U},
      {zero, 1, 2, 0},      {centre, 1, 1, 3},
      {through, 1, 1, 5},   {missing, 0, 0, std::hypot(O, O)},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(C(c.index).X0, c.cx, kTol) << c.index;
    EXPECT_NEAR(C(c.index).Y0, c.cy, kTol) << c.index;
    EXPECT_NEAR(C(c.index).RadiusValue, c.r, kTol) << c.index;
  }
  // A form without a circle marks every value field; a negative radius only
  // the centre and the radius.
  EXPECT_EQ(C(collinear).X2, U);
  EXPECT_DOUBLE_EQ(C(three).X1, 2);  // the other two points stay
  EXPECT_DOUBLE_EQ(C(three).Y2, 2);
  EXPECT_DOUBLE_EQ(C(through).X1, 4);
}

TEST_F(FigureConstructionsTest, FramesTakeTheirCornersFromTextsOrPoints) {
  const int p = b.Point("-3", "7");
  const int text = b.Frame(kCharFigure, "1", "2", "3", "4");
  const int object = b.Frame(kOleFigure, "1", "2", "3", "4", kNoReference, p);
  Pass();
  EXPECT_DOUBLE_EQ(F(text).X0, 1);
  EXPECT_DOUBLE_EQ(F(text).Y1, 4);
  EXPECT_DOUBLE_EQ(F(object).X0, 1);
  EXPECT_DOUBLE_EQ(F(object).X1, -3);
  EXPECT_DOUBLE_EQ(F(object).Y1, 7);
}

TEST_F(FigureConstructionsTest, PointOfReferenceBySubIndex) {
  const int p = b.Point("2", "3");
  const int set = b.Cross3(kXAxisReference, kYAxisReference);
  MultiPointRecord& m = *b.Record(set).multi_point();
  for (int i = 0; i < kCross3Points; ++i) {
    m.PX[i] = 10.0 + i;
    m.PY[i] = 20.0 + i;
  }
  const int angle = b.Angle2(p, p, p, false);
  const int parabola = b.LineLike(kParabolaFigure, 2, "1", "0", "0", "");
  P(p).X = 2;  // as a pass leaves them
  P(p).Y = 3;
  Screen& s = b.screen();
  EXPECT_EQ(PointOfReference(s, p + 2 * 10000), (PlanePoint{2, 3}));  // sub-index ignored
  EXPECT_EQ(PointOfReference(s, set + 2 * 10000), (PlanePoint{12, 22}));
  EXPECT_EQ(PointOfReference(s, set), (PlanePoint{10, 20}));
  EXPECT_EQ(PointOfReference(s, angle), kOffPlanePoint);  // an angle is not a point figure
  EXPECT_EQ(PointOfReference(s, kNoReference), kOffPlanePoint);
  EXPECT_EQ(LineOfReference(s, parabola), kOffPlaneLine);  // nor is a parabola a line
  EXPECT_EQ(LineOfReference(s, p), kOffPlaneLine);
}

}  // namespace
}  // namespace qzarn
