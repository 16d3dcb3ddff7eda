#pragma once
// A figure's visibility flag, read the same way by the figure list (shown or
// hidden) and by hit testing when only shown figures may be picked.

#include "document/figure_table.h"

namespace qzarn {

// Whether the figure's main shape (point mark, line, circumference, curve or
// its points, outline, frame) is drawn.
bool FigureShown(const FigureRecord& record);

}  // namespace qzarn
