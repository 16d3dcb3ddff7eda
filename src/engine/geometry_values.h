#pragma once
// Values every construction shares: the two sentinel magnitudes and the plain
// point and line types the constructions compute with.

#include <cmath>

#include "expr/expr_types.h"

namespace qzarn {

// A construction without a geometric result (parallel lines, negative radius,
// degenerate conic) stores this in all of its output coordinates; drawing skips
// any figure with a relevant coordinate of this magnitude or more.
inline constexpr double UndefinedValue = kUndefinedValue;

// A failed evaluation or a missing reference reads as this; coordinates of this
// magnitude or more are off the plane for drawing, hit testing and dragging.
inline constexpr double OffPlaneValue = kOffPlaneValue;

struct PlanePoint {
  double x = 0.0;
  double y = 0.0;
  friend bool operator==(const PlanePoint&, const PlanePoint&) = default;
};

// A line carried as two points on it (a segment's ends, a ray's start and end).
struct LinePoints {
  PlanePoint p0;
  PlanePoint p1;
  friend bool operator==(const LinePoints&, const LinePoints&) = default;
};

inline constexpr PlanePoint kOffPlanePoint{OffPlaneValue, OffPlaneValue};
inline constexpr PlanePoint kUndefinedPoint{UndefinedValue, UndefinedValue};
inline constexpr LinePoints kOffPlaneLine{kOffPlanePoint, kOffPlanePoint};
inline constexpr LinePoints kUndefinedLine{kUndefinedPoint, kUndefinedPoint};

// A coefficient or coordinate that carries no number a construction can use:
// the undefined marker of an earlier construction, or a NaN that slipped
// through arithmetic on such markers.
inline bool IsUndefinedInput(double v) {
  return !(std::fabs(v) < UndefinedValue);
}

inline bool IsUndefinedInput(PlanePoint p) {
  return IsUndefinedInput(p.x) || IsUndefinedInput(p.y);
}

}  // namespace qzarn
