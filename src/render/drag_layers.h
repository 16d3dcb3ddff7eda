#pragma once
// The picture while a figure is dragged and the whole picture is drawn on
// every step: the steps before the first changing figure make a base picture
// drawn once; after it, changing figures are drawn afresh on every step and
// the unchanged steps between them come from transparent layers drawn once.
// Laid over each other in order, they give the picture of a full redraw.

#include <optional>
#include <span>
#include <vector>

#include "render/draw_screen.h"

namespace qzarn::render {

// How the picture is built on each drag step: `below` once on the base
// picture, then for each run its `drawn` steps afresh and its `kept` steps
// from a transparent layer made once.
struct DragLayerPlan {
  struct Run {
    std::vector<PictureStep> drawn;
    std::vector<PictureStep> kept;
  };
  std::vector<PictureStep> below;
  std::vector<Run> runs;
};

// Splits a picture order round the changing figures (ascending slots). The
// outer frame, a one-pixel rectangle, is drawn afresh rather than kept on a
// layer of its own. Nothing when more than `max_layers` kept layers would be
// needed, or when no step changes.
std::optional<DragLayerPlan> PlanDragLayers(std::span<const PictureStep> order,
                                            std::span<const int> changing, int max_layers);

}  // namespace qzarn::render
