#pragma once
// Drawing of function figures from their sample lists: explicit, parametric
// and polar curves as joined samples with jumps left out, implicit curves as
// loose segments, regions as hatching, boundary and area text, and the
// snapshot curves of a curve locus.

#include <span>
#include <vector>

#include "document/figure_table.h"
#include "render/figure_drawing_ink.h"

namespace qzarn::render {

void DrawFunctionFigure(FigureInk& ink, const FigureRecord& record);

// Which joins of a sample list are drawn: entry i tells whether sample i is
// joined to sample i - 1 (entry 0 is always false). Breaks and jumps (a
// difference product of -T or less, T the option Tangent) are never joined;
// `full_tests` also leaves out nearly vertical or horizontal steep joins, as
// live curves do and locus snapshots do not.
std::vector<bool> CurveJoins(std::span<const float> xs, std::span<const float> ys, double t,
                             bool full_tests);

}  // namespace qzarn::render
