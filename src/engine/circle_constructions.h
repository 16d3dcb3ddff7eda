#pragma once
// Reduction of the circle's definition forms to a centre and a radius.

#include "engine/geometry_values.h"

namespace qzarn {

struct CircleValues {
  PlanePoint centre;
  double radius = 0.0;
  // The form has no circle at all: the caller marks every value field of the
  // figure undefined, not only the centre and radius.
  bool undefined = false;
};

// Centre and radius as given (centre and radius form, standard form); an
// undefined input leaves the circle undefined.
CircleValues CircleFromCentreAndRadius(PlanePoint centre, double radius);

// Centre and a point on the circle.
CircleValues CircleFromCentreAndPoint(PlanePoint centre, PlanePoint on_circle);

// A x^2 + B y^2 + C x + D y + E = 0; only A = B describes a circle, and a
// non-positive squared radius (a point or nothing) is no circle either.
CircleValues CircleFromGeneralForm(double a, double b, double c, double d, double e);

// The circle through three points; collinear or coincident points have none.
CircleValues CircleThroughThreePoints(PlanePoint p1, PlanePoint p2, PlanePoint p3);

// True when a reduced circle must not be drawn: the radius is negative or not a
// number (the centre and radius are then marked undefined). Radius 0 is a
// valid point-sized circle.
inline bool RadiusIsInvalid(double radius) {
  return !(radius >= 0.0);
}

}  // namespace qzarn
