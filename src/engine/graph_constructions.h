#pragma once
// The constructions on graphs y = F(x), over plain numbers and graphs given as
// functions of x: one intersection of two graphs by bisection, the tangent or
// normal at a point by a central difference, and the unsigned area between two
// graphs by Simpson's rule with its hatch list. The record side lives in
// curve_figures.cpp.

#include <vector>

#include "engine/geometry_values.h"
#include "engine/graph_text.h"

namespace qzarn {

// One point where F and G meet in the interval [a, b]: an end where
// |F - G| < 1e-10, else a root of F - G found by bisection down to an interval
// narrower than 1e-4, which needs a sign change between the ends. A math error
// counts as the difference 1e15. The point's y is F there (1e15 on a math
// error); without a point both coordinates are UndefinedValue.
PlanePoint IntersectGraphs(const Graph& f, const Graph& g, double a, double b);

enum TangentKind : int {
  kTangentLine = 0,
  kNormalLine = 1,
};

// The tangent (or normal) of F at x0: the contact point and the point 2 units
// along the line to its right, from the slope (F(x0 + 1e-8) - F(x0 - 1e-8)) /
// 2e-8. Undefined (UndefinedValue in all four coordinates) when x0 is
// undefined, an evaluation raises a math error, the tangent's slope exceeds
// 1e15 or the normal would be vertical (|slope| <= 1e-15).
LinePoints TangentOfGraph(const Graph& f, double x0, int kind);

// Subdivisions an area computation accepts: the dialog offers 10 to 500, and a
// count outside 1..500 (only a damaged record holds one) gives no area.
inline constexpr int kMaxAreaSubdivisions = 500;

struct AreaResult {
  // The unsigned area; UndefinedValue when a > b, an end is undefined, the
  // subdivision count is outside 1..500 or an evaluation raised a math error.
  double area = UndefinedValue;
  // Two entries per node a, a + h, ..., b: (x, F(x)) then (x, G(x)); empty
  // whenever the area is undefined.
  std::vector<float> hatch_x, hatch_y;
  // Where the value is written: the middle of the interval, halfway between
  // the graphs there. Set unless the interval or the count was refused.
  bool has_label = false;
  PlanePoint label;
};

// The area between F and G over [a, b] by Simpson's rule with n subintervals.
AreaResult AreaBetweenGraphs(const Graph& f, const Graph& g, double a, double b, int n);

}  // namespace qzarn
