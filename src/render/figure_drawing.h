#pragma once
// Drawing the figures of a screen from their computed records. The engine
// computes, this draws: positions, radii and samples are read from the
// records as the last recompute pass left them.

#include "document/figure_table.h"
#include "render/draw_context.h"

namespace qzarn::render {

// The passes of one picture: the back layer runs before the axes, the three
// front passes after them, so within a pass later slots paint over earlier ones.
enum class FigureLayer {
  kBack,         // embedded objects and text boxes behind, polygons
  kFrontAreas,   // areas between curves, angle measures
  kFrontShapes,  // every other figure kind
  kFrontFrames,  // embedded objects and text boxes in front
};

// Which pass a figure belongs to (the frame kinds by their IsFront flag).
FigureLayer LayerOf(const FigureRecord& record);

// Draws one pass; `excluded` names a slot left out (-1 for none).
void DrawFigures(DrawContext& ctx, const FigureTable& table, FigureLayer layer, int excluded);

// Draws one figure by its type, whatever its layer (a dragged figure is drawn
// on its own in erasable mode this way).
void DrawFigure(DrawContext& ctx, const FigureTable& table, int index);

}  // namespace qzarn::render
