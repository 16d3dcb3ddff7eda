// Intersections, tangents and areas of graphs given as functions of x, and the
// polygon area, over plain numbers.

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "engine/graph_constructions.h"
#include "engine/polygon_area.h"

namespace qzarn {
namespace {

constexpr double U = UndefinedValue;

Graph Of(double (*f)(double)) {
  return [f](double x) { return GraphValue{f(x), false}; };
}
// sqrt that raises a math error below 0, as the evaluator does.
Graph Root() {
  return [](double x) { return x < 0 ? GraphValue{20000, true} : GraphValue{std::sqrt(x), false}; };
}

double Square(double x) {
  return x * x;
}
double Two(double) {
  return 2;
}
double Zero(double) {
  return 0;
}
double Ident(double x) {
  return x;
}
double Minus(double x) {
  return -x;
}
double SquareMinusOne(double x) {
  return x * x - 1;
}
double Cube(double x) {
  return x * x * x;
}

TEST(IntersectGraphs, BisectionAndEndTests) {
  struct Case {
    const char* what;
    double (*f)(double);
    double (*g)(double);
    double a, b;
    double x;  // U: no point
  };
  const Case cases[] = {
      {"x^2 = 2 on [0, 3]", Square, Two, 0, 3, std::sqrt(2.0)},
      {"no sign change on [-3, 3]", Square, Two, -3, 3, U},
      {"end test at a", SquareMinusOne, Zero, 1, 2, 1},
      {"end test at b", SquareMinusOne, Zero, -3, -1, -1},
      {"reversed interval still bisects", Square, Two, 3, 0, std::sqrt(2.0)},
      {"x^3 = x near 1 on [0.5, 3]", Cube, Ident, 0.5, 3, 1},
      {"interval end undefined", Square, Two, 0, U, U},
  };
  for (const Case& c : cases) {
    const PlanePoint p = IntersectGraphs(Of(c.f), Of(c.g), c.a, c.b);
    if (c.x == U) {
      EXPECT_EQ(p.x, U) << c.what;
      EXPECT_EQ(p.y, U) << c.what;
    } else {
      EXPECT_NEAR(p.x, c.x, 1e-4) << c.what;
      EXPECT_NEAR(p.y, c.f(p.x), 1e-12) << c.what;
    }
  }
  // The end tests return the end itself, exactly.
  EXPECT_EQ(IntersectGraphs(Of(SquareMinusOne), Of(Zero), 1, 2).x, 1.0);
}

TEST(IntersectGraphs, HugeIntervalsEndWithoutSpinning) {
  // At 1e13 neighbouring doubles lie further apart than the bisection width:
  // halving stops changing the interval, and the search must still end.
  const Graph f = [](double x) { return GraphValue{x - 1.5e13, false}; };
  const PlanePoint p = IntersectGraphs(f, Of(Zero), 1e13, 2e13);
  EXPECT_NEAR(p.x, 1.5e13, 1.0);
}

TEST(IntersectGraphs, MathErrorsCountAsLargeDifferences) {
  // sqrt(x) - 1 is an error left of 0 (1e15) and negative at 0.5: the sign
  // change leads the bisection to the edge of the error region.
  const Graph one = [](double) { return GraphValue{1, false}; };
  EXPECT_NEAR(IntersectGraphs(Root(), one, -4, 0.5).x, 0.0, 1e-4);
  EXPECT_NEAR(IntersectGraphs(Root(), one, 0.5, 4).x, 1.0, 1e-4);
  // The y of a root inside the error region is undefined.
  const Graph err = [](double) { return GraphValue{20000, true}; };
  EXPECT_EQ(IntersectGraphs(err, Of(Zero), 0, 1).x, U);
}

TEST(TangentOfGraph, TangentsNormalsAndUndefinedCases) {
  const LinePoints t = TangentOfGraph(Of(Square), 1, kTangentLine);
  EXPECT_NEAR(t.p0.x, 1, 1e-12);
  EXPECT_NEAR(t.p0.y, 1, 1e-12);
  EXPECT_NEAR(t.p1.x, 1 + 2 / std::sqrt(5.0), 1e-6);
  EXPECT_NEAR(t.p1.y, 1 + 4 / std::sqrt(5.0), 1e-6);

  // The normal of x^2 at 1 has slope -1/2, its second point to the right.
  const LinePoints n = TangentOfGraph(Of(Square), 1, kNormalLine);
  EXPECT_NEAR(n.p1.x, 1 + 4 / std::sqrt(5.0), 1e-6);
  EXPECT_NEAR(n.p1.y, 1 - 2 / std::sqrt(5.0), 1e-6);

  struct Case {
    const char* what;
    Graph f;
    double x0;
    int kind;
  };
  const Case undefined[] = {
      {"vertical normal at the vertex", Of(Square), 0, kNormalLine},
      {"normal of a constant", Of(Two), 3, kNormalLine},
      {"slope beyond 1e15",
       [](double x) {
         return GraphValue{x > 0 ? 1e9 : -1e9, false};
       },
       0, kTangentLine},
      {"math error beside the contact point", Root(), 0, kTangentLine},
      {"undefined contact x", Of(Square), U, kTangentLine},
  };
  for (const Case& c : undefined)
    EXPECT_EQ(TangentOfGraph(c.f, c.x0, c.kind), kUndefinedLine) << c.what;
  // The tangent of a constant is horizontal.
  const LinePoints flat = TangentOfGraph(Of(Two), 3, kTangentLine);
  EXPECT_NEAR(flat.p1.x, 5, 1e-12);
  EXPECT_NEAR(flat.p1.y, 2, 1e-12);
}

TEST(AreaBetweenGraphs, SimpsonAreasAndHatchList) {
  struct Case {
    const char* what;
    double (*f)(double);
    double (*g)(double);
    double a, b;
    int n;
    double area;
  };
  const Case cases[] = {
      {"x^2 over [0, 1]", Square, Zero, 0, 1, 10, 1.0 / 3.0},
      {"x against -x over [-1, 1], unsigned", Ident, Minus, -1, 1, 10, 2.0},
      {"graphs swapped give the same area", Zero, Square, 0, 1, 10, 1.0 / 3.0},
      {"one subdivision", Square, Zero, 0, 3, 1, 9.0},
      {"empty interval", Square, Zero, 2, 2, 10, 0.0},
  };
  for (const Case& c : cases) {
    const AreaResult r = AreaBetweenGraphs(Of(c.f), Of(c.g), c.a, c.b, c.n);
    EXPECT_NEAR(r.area, c.area, 1e-9) << c.what;
    ASSERT_EQ(r.hatch_x.size(), static_cast<std::size_t>(2 * (c.n + 1))) << c.what;
    ASSERT_EQ(r.hatch_y.size(), r.hatch_x.size());
    EXPECT_TRUE(r.has_label);
    EXPECT_NEAR(r.label.x, (c.a + c.b) / 2, 1e-12);
  }
  const AreaResult r = AreaBetweenGraphs(Of(Square), Of(Two), 0, 1, 10);
  // Pairs per node: (x, F(x)) then (x, G(x)); the last node is b exactly.
  for (int i = 0; i <= 10; ++i) {
    const auto k = static_cast<std::size_t>(2 * i);
    EXPECT_FLOAT_EQ(r.hatch_x[k], static_cast<float>(i / 10.0));
    EXPECT_FLOAT_EQ(r.hatch_x[k + 1], r.hatch_x[k]);
    EXPECT_FLOAT_EQ(r.hatch_y[k], static_cast<float>(i * i / 100.0));
    EXPECT_FLOAT_EQ(r.hatch_y[k + 1], 2.0f);
  }
  EXPECT_EQ(r.hatch_x.back(), 1.0f);
  // Label halfway between the graphs at the middle: (0.25 + 2) / 2.
  EXPECT_NEAR(r.label.y, 1.125, 1e-12);
}

TEST(AreaBetweenGraphs, RefusedAndFailedAreas) {
  struct Case {
    const char* what;
    Graph f;
    double a, b;
    int n;
    bool label;
  };
  const Case cases[] = {
      {"reversed interval", Of(Square), 1, 0, 10, false},
      {"undefined end", Of(Square), 0, U, 10, false},
      {"no subdivisions", Of(Square), 0, 1, 0, false},
      {"negative subdivisions", Of(Square), 0, 1, -5, false},
      {"more subdivisions than the dialog offers", Of(Square), 0, 1, 2000000000, false},
      {"math error inside the interval", Root(), -1, 1, 10, true},
  };
  for (const Case& c : cases) {
    const AreaResult r = AreaBetweenGraphs(c.f, Of(Zero), c.a, c.b, c.n);
    EXPECT_EQ(r.area, U) << c.what;
    EXPECT_TRUE(r.hatch_x.empty()) << c.what;
    EXPECT_TRUE(r.hatch_y.empty()) << c.what;
    EXPECT_EQ(r.has_label, c.label) << c.what;
  }
  EXPECT_NEAR(AreaBetweenGraphs(Of(Square), Of(Zero), 0, 1, kMaxAreaSubdivisions).area, 1.0 / 3,
              1e-12);
}

TEST(PolygonArea, ConvexPolygonsOnly) {
  struct Case {
    const char* what;
    std::vector<PlanePoint> v;
    double area;  // U: no area
    PlanePoint label;
  };
  const Case cases[] = {
      {"unit square", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 1, {0.5, 0.5}},
      {"unit square clockwise", {{0, 0}, {0, 1}, {1, 1}, {1, 0}}, 1, {0.5, 0.5}},
      {"self-crossing quadrilateral", {{0, 0}, {1, 1}, {1, 0}, {0, 1}}, U, {}},
      {"extra vertex on an edge", {{0, 0}, {1, 0}, {2, 0}, {2, 2}, {0, 2}}, 4, {1, 0.8}},
      {"repeated vertex", {{0, 0}, {3, 1}, {3, 1}, {4, 4}, {1, 3}}, 8, {2.2, 1.8}},
      {"repeated first vertex", {{0, 0}, {3, 1}, {4, 4}, {1, 3}, {0, 0}}, 8, {1.6, 1.6}},
      {"vertex on a slanted edge", {{0, 0}, {0.3, 0.7}, {0.6, 1.4}, {-1, 1}}, 1, {-0.025, 0.775}},
      {"concave arrow", {{0, 0}, {2, 1}, {0, 2}, {1, 1}}, U, {}},
      {"path turning straight back", {{0, 0}, {2, 0}, {1, 0}, {1, 1}}, U, {}},
      {"triangle", {{0, 0}, {4, 0}, {0, 3}}, 6, {4.0 / 3, 1}},
      {"two vertices", {{0, 0}, {1, 1}}, U, {}},
  };
  for (const Case& c : cases) {
    const PolygonAreaResult r = PolygonArea(c.v);
    if (c.area == U) {
      EXPECT_EQ(r.area, U) << c.what;
      EXPECT_FALSE(r.has_label) << c.what;
      continue;
    }
    EXPECT_NEAR(r.area, c.area, 1e-9) << c.what;
    ASSERT_TRUE(r.has_label) << c.what;
    EXPECT_NEAR(r.label.x, c.label.x, 1e-9) << c.what;
    EXPECT_NEAR(r.label.y, c.label.y, 1e-9) << c.what;
  }
}

}  // namespace
}  // namespace qzarn
