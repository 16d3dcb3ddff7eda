#pragma once
// Redrawing while the selected figure is dragged and the screen asks for the
// whole picture on every step (FullRedraw). A drag step rewrites the dragged
// figure's own texts, or the variables they name, and nothing else, so a
// recompute can move only what those reach. Everything drawn before the first
// of them stays as it was, and so does everything after it that is not one
// of them (render/drag_layers.h lays the picture out so).

#include <optional>
#include <vector>

#include "document/screen.h"

namespace qzarn {
class FigureExpressions;
}

namespace qzarn::interact {

// The figures a drag step of the figure in `index` can change, in slot order:
// the figure, the figures reading a variable one of its texts names, curves
// waiting to be resampled, figures with their locus on, and everything
// depending on these. Nothing when a recompute may change more than those,
// so that only the whole picture is exact: intermediate equations (they run
// on every pass and may feed themselves), RANDOM in any text, a figure left
// uncomputed by a reference cycle.
std::optional<std::vector<int>> DragChangingFigures(const Screen& screen, int index,
                                                    FigureExpressions& expressions);

}  // namespace qzarn::interact
