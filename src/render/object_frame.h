#pragma once
// Embedded objects (OLE figures) drawn without the application that made them:
// the frame's background, a stand-in for the object (its own stored picture
// when it kept a readable one, else an icon and its class name) and the frame.

#include "document/figure_table.h"
#include "render/figure_drawing_ink.h"

namespace qzarn::render {

// Caption under the icon when the stored bytes name no class.
inline constexpr const char* kUnknownObjectCaption = "ｵﾌﾞｼﾞｪｸﾄ";

// The pixel box between the two corners (right and bottom exclusive); nothing when a
// corner is undefined or too far away to draw.
std::optional<Rect> ObjectFrameBox(const DrawContext& ctx, const FrameRecord& frame);

// Where a picture of the given size goes inside `box` in view mode `mode` (SizeM):
// 0 natural size at the top-left corner, 1 natural size centred, 2 scaled to fit with its
// proportions kept and centred, 3 (and any other value) stretched over the whole box. Natural size
// follows the zoom.
Rect PlacePicture(const Rect& box, int width, int height, int mode, double zoom);

void DrawObjectFigure(FigureInk& ink, const FigureRecord& record);

}  // namespace qzarn::render
