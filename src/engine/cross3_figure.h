#pragma once
// The Cross3 construction on figure records: reads the two referenced figures
// from the table and writes the four points into the record.

#include <cstdint>

#include "engine/cross3.h"

namespace qzarn {

class FigureTable;
struct MultiPointRecord;

// The curve data of the figure a reference names (-1 x axis, -2 y axis);
// kNone for an empty slot or a figure type that cannot take part.
Cross3Curve Cross3CurveOf(const FigureTable& table, std::int32_t ref);

// Sets PX, PY of the record from its Ref0 and Ref1; missing points hold
// UndefinedValue.
void ComputeCross3(const FigureTable& table, MultiPointRecord& record);

}  // namespace qzarn
