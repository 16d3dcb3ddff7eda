#pragma once
// All intersection points (up to four) of two figures among straight lines,
// circles and vertical-axis parabolas, in closed form.

#include <array>

#include "engine/geometry_values.h"

namespace qzarn {

class FigureTable;
struct MultiPointRecord;

enum class Cross3CurveKind { kNone, kLine, kCircle, kParabola };

// One participant reduced to its equation data.
struct Cross3Curve {
  Cross3CurveKind kind = Cross3CurveKind::kNone;
  LinePoints line;       // kLine: two points on the line
  bool segment = false;  // kLine: points outside the box of the two points are dropped
  PlanePoint centre;     // kCircle
  double radius = 0.0;   // kCircle
  double k = 0.0;        // kParabola: y = k x^2 + m x + n
  double m = 0.0;
  double n = 0.0;
};

using Cross3Points = std::array<PlanePoint, 4>;

Cross3Curve Cross3Line(const LinePoints& line, bool segment);
Cross3Curve Cross3Circle(PlanePoint centre, double radius);
// From the parabola's vertex p0 and point p1 (or the straight general-form
// marker in p0.x); kNone when the points are about vertically aligned.
Cross3Curve Cross3Parabola(const LinePoints& parabola);

// The intersection points of a (first reference) and b (second reference).
// A line comes first; of a circle and a parabola the circle comes first;
// other orders and kinds give no points. Points keep fixed slot numbers and
// missing ones hold UndefinedValue.
Cross3Points IntersectCurves(const Cross3Curve& a, const Cross3Curve& b);

}  // namespace qzarn
