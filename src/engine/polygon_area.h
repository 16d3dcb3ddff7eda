#pragma once
// The area and the label position of a polygon figure: a convex polygon (the
// edges turning one way all round) gets the area of its fan from the first
// vertex; other polygons have no area.

#include <span>

#include "engine/geometry_values.h"

namespace qzarn {

struct PolygonAreaResult {
  double area = UndefinedValue;  // UndefinedValue: fewer than 3 vertices or not convex
  bool has_label = false;        // set together with the area
  PlanePoint label;              // the mean of the vertices
};

// Whether the closed polygon through the vertices turns the same way at every
// vertex. A vertex where the path goes straight on (a vertex on an edge) does
// not count, nor does a vertex repeated right after itself; one where the path
// turns straight back breaks convexity. Three vertices are always convex.
bool IsConvexPolygon(std::span<const PlanePoint> vertices);

// Area and label of the polygon through the vertices in order (the list is
// closed back to the first vertex).
PolygonAreaResult PolygonArea(std::span<const PlanePoint> vertices);

}  // namespace qzarn
