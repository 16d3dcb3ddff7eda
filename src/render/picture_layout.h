#pragma once
// Where a scaled screen picture lands on its target: the picture kinds an
// export can write, the print factor that fits a surface to a page, the size
// of an enlarged or reduced export, and the edges drawn after a scaled pass
// (white margins beyond the surface and the outer frame).

#include <optional>
#include <string_view>

#include "render/canvas.h"

namespace qzarn::render {

enum class PictureKind { kPng, kBmp, kJpeg, kSvg, kPdf };

// The kind named by a file's extension (".png", ".bmp", ".jpg", ".svg", ".pdf",
// in any case); nothing for any other name.
std::optional<PictureKind> PictureKindFromPath(std::string_view path);
bool IsVectorKind(PictureKind kind);

// The print factor: the surface (w x h) fitted to the page (pw x ph) less the
// height th of one line of text at the foot, reduced to `percent` (10..100) and
// by one per cent so nothing touches the page edge.
double PrintScale(double pw, double ph, double th, double w, double h, int percent);

// An export of a surface at another size: the picture size and the factor the
// surface is drawn with. `requested` (both sides above 0) fits the surface into
// that size keeping its proportions, the rest of the picture left white;
// otherwise `scale` (above 0) enlarges or reduces the whole picture.
struct ScaledPicture {
  Size size;
  double scale = 1.0;
  bool operator==(const ScaledPicture&) const = default;
};
ScaledPicture FitPicture(Size surface, std::optional<Size> requested, double scale);

// The edges of a scaled pass, which leaves out the screen's own outer frame.
struct ScaledEdges {
  Rect drawn;                 // the part of the target the surface covers
  Rect white_right;           // white-out beyond the surface, right of it
  Rect white_below;           // and below it
  std::optional<Rect> frame;  // the outer frame, when the screen shows one
  int frame_width = 1;
};
// For paper: the margins start one pixel beyond the surface and the 1-pixel
// frame runs from (1, 1) through the surface's far corner (right and bottom
// exclusive at one pixel beyond it).
ScaledEdges PrintEdges(Size surface, double scale, Size page, bool frame_on);
// For an exported picture: the edges lie on the surface's edge and the frame
// grows with the picture, as the screen's frame would.
ScaledEdges ExportEdges(Size surface, double scale, Size picture, bool frame_on);

// Paints the edges (white, then the black frame) with the canvas's state saved
// and restored.
void DrawScaledEdges(Canvas& canvas, const ScaledEdges& edges);

}  // namespace qzarn::render
