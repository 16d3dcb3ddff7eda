#pragma once
// Geometry of the point-like constructions (dividing point, intersection of two
// lines, foot of a perpendicular) and of the two angle figures, over plain
// numbers. The record side lives in figure_constructions.cpp.

#include "engine/geometry_values.h"

namespace qzarn {

// Polar angle of (dx, dy) in degrees, 0 <= angle < 360, counterclockwise from
// the positive x axis; the zero vector gives 0.
double DirectionAngle(double dx, double dy);

struct DividingPointResult {
  PlanePoint point;
  bool ratio_degenerate = false;  // m + n was 0: the midpoint stands in
};

// The point dividing p1 p2 in the ratio m : n measured from p1 (one negative
// term divides externally).
DividingPointResult DividingPoint(PlanePoint p1, PlanePoint p2, double m, double n);

// Intersection of the two infinite lines; off the plane when they are parallel
// or one of them has coincident points.
PlanePoint IntersectLines(const LinePoints& a, const LinePoints& b);

// Foot of the perpendicular from p to the infinite line. When p lies on the
// line the foot moves one unit to the right of the line's direction, so that
// the perpendicular through p keeps a direction.
PlanePoint PerpendicularFoot(PlanePoint p, const LinePoints& line);

// The two lines a perpendicular may drop onto besides a line figure.
inline constexpr LinePoints kXAxisLine{{0.0, 0.0}, {1.0, 0.0}};
inline constexpr LinePoints kYAxisLine{{0.0, 0.0}, {0.0, 1.0}};

// The ray from vertex o dividing the counterclockwise sweep from ray o a to
// ray o b in the ratio m : n, drawn with length `length`. p1 is the far end;
// p0 is the vertex, or the far end on the opposite side when `both_sides`.
LinePoints AngleDivisionLine(PlanePoint a, PlanePoint o, PlanePoint b, double m, double n,
                             double length, bool both_sides);

struct AngleMeasureResult {
  bool undefined = false;  // an input was undefined: only the vertex and end are marked
  PlanePoint vertex;
  double start_angle = 0.0;  // degrees
  double end_angle = 0.0;    // degrees, end - start is the angle's size
};

// The angle a o b as the counterclockwise sweep from ray o a to ray o b, or the
// other way round when `smaller` asks for the angle of at most 180 degrees.
AngleMeasureResult MeasureAngle(PlanePoint a, PlanePoint o, PlanePoint b, bool smaller);

}  // namespace qzarn
