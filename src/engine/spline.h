#pragma once
// The smooth curve of a Spline figure: x and y interpolated separately by
// cubic splines over the chord length of the control polygon, normalised so
// that the parameter runs from 0 to 1. Drawing and hit testing build the table
// once per pass and evaluate it at as many parameters as they need.

#include <span>
#include <vector>

#include "engine/geometry_values.h"

namespace qzarn {

class SplineTable {
 public:
  // No curve: a table that produces no points.
  SplineTable() = default;

  // The interpolation through the points in order. A closed curve also runs
  // along the chord from the last point back to the first and meets itself
  // there with matching first and second derivatives; an open one has zero
  // curvature at both ends. There is no curve (empty()) for fewer than two
  // points, a coordinate of magnitude 20000 or more (off the plane, or a
  // NaN), or two points that coincide exactly.
  SplineTable(std::span<const PlanePoint> points, bool closed);

  bool empty() const { return t_.empty(); }
  bool closed() const { return closed_; }

  // The knots: normalised chord-length parameters, strictly increasing from
  // 0 to exactly 1, and the interpolated coordinates there. A closed curve
  // has one knot more than points, the last repeating the first point at 1.
  const std::vector<double>& knots() const { return t_; }
  const std::vector<PlanePoint>& points() const { return p_; }

  // The second derivatives at the knots divided by 6 (the scaling the
  // evaluation formula expects).
  const std::vector<PlanePoint>& curvature() const { return z_; }

 private:
  friend PlanePoint SplinePoint(const SplineTable& table, double t);

  bool closed_ = false;
  std::vector<double> t_;
  std::vector<PlanePoint> p_;
  std::vector<PlanePoint> z_;
};

// The curve at parameter t, clamped to [0, 1]. An empty table (no curve)
// yields the off-plane point.
PlanePoint SplinePoint(const SplineTable& table, double t);

}  // namespace qzarn
