#pragma once
// Implicit curves F(x, y) = 0 traced by a cell method with adaptive
// subdivision, and the regions F > 0, F >= 0, F < 0, F <= 0 rendered as hatch
// segments, boundary segments and an estimated area, all appended to a
// sample list.
//
// Curve list: segments as pairs of entries (start, end), pairs never joined.
// Region list: hatch pairs, (200000, 200000) twice, boundary pairs, two
// breaks, (-200000, area), (extended x end, extended y end).

#include <cstdint>

#include "engine/function_sampling.h"

namespace qzarn {

inline constexpr float kRegionSeparator = 200000.0f;
inline constexpr float kRegionAreaMark = -200000.0f;

// Relations of a region (the record's Mode); 0 is the curve F = 0.
enum RegionRelation : int {
  kRelationCurve = 0,
  kRelationGreater = 1,
  kRelationGreaterEqual = 2,
  kRelationLess = 3,
  kRelationLessEqual = 4,
};

// Hatch directions (the record's FamilyVar).
enum HatchDirection : int {
  kHatchRising = 0,
  kHatchFalling = 1,
  kHatchHorizontal = 2,
  kHatchVertical = 3,
};

struct ImplicitSpec {
  double sx = -10, ex = 10, sy = -10, ey = 10;
  double w = 0.5;           // cell size and hatch spacing
  double tolerance = 1e-4;  // edge root search
  int level = 1;            // deepest subdivision level, 1..3
  int relation = 0;
  int hatch = kHatchRising;
};

// At most this many top-level cells are traced, so that a tiny cell size over a large
// rectangle cannot stall the program: a curve that would need more is traced with the
// smallest larger cell that keeps within the cap (and the caller says so).
inline constexpr double kMaxImplicitCells = 4e6;

// Appends the segments of F = 0 over [sx, ex] x [sy, ey]. Segments whose
// display condition evaluates to 0 become two breaks. Returns the cell size traced with:
// spec.w, or a larger one when spec.w would exceed the cell cap.
double TraceImplicitCurve(CurveProgram& f, CurveProgram* condition, VariableTable& vars,
                          const ImplicitSpec& spec, SampleList& out);

// Appends the hatching, boundary and area of the region; returns the cell size its boundary
// was traced with.
double HatchRegion(CurveProgram& f, CurveProgram* condition, VariableTable& vars,
                   const ImplicitSpec& spec, SampleList& out);

}  // namespace qzarn
