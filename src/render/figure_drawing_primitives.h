#pragma once
// Drawing primitives shared by the axes, the figures and the labels: dots,
// circles, arrow heads, anchored label texts and the selection colour. They
// take plane coordinates, convert them through the pass's transform and never
// hand a coordinate of 10^7 pixels or more to the canvas.

#include <string>
#include <string_view>

#include "render/axes_grid.h"
#include "render/draw_context.h"

namespace qzarn::render {

// Pixel coordinates and extents at or beyond this are dropped.
inline constexpr double kMaxPixel = 1e7;
// Labels whose anchor lies this far away are skipped.
inline constexpr double kMaxTextPixel = 20000;

// A filled circle of radius round(radius * print factor) around a plane point,
// in the current pen and brush. Negative radii and far coordinates draw nothing.
void DrawDot(DrawContext& ctx, double radius_px, double x, double y);

// A circle of radius_px surface pixels around a plane point in the current pen.
// painter must have run BeginDash: a dashed pen draws 120 chords of 3 degrees
// (180 of 2 degrees on paper) with a continuous dash phase; a solid pen draws
// one ellipse; a clear pen draws nothing.
void DrawCircle(DrawContext& ctx, LinePainter& painter, double radius_px, double x, double y);

// The label font: height round(size * print factor) pixels, the given style
// bits and character set, text colour.
void SetLabelFont(DrawContext& ctx, const std::string& family, int size, int style, int charset,
                  Colour colour);

// Text anchored at a plane point; drawn only when its box overlaps the device
// extents. Returns whether it was drawn.
bool DrawLabelText(DrawContext& ctx, std::string_view utf8, double x, double y, HAnchor h,
                   VAnchor v);

// The same with the anchor point in device pixels.
bool DrawDeviceText(DrawContext& ctx, std::string_view utf8, PointF at, HAnchor h, VAnchor v);

// Colour of a selected figure's pens, brushes and texts on background b.
Colour SelectionColour(const DrawContext& ctx, Colour background, Colour c);

// An arrow head at tip, pointing away from other: length in plane units, half
// angle in degrees, line width in surface pixels. Filled with the pen colour.
void DrawArrowHead(DrawContext& ctx, PlanePoint tip, PlanePoint other, double length,
                   double half_angle, int line_width);

// Shaft and head(s) as one polygon: tip at `tip`, the shaft starting at `from`;
// double_headed puts a second head at `from`.
void DrawArrowSegment(DrawContext& ctx, PlanePoint from, PlanePoint tip, double length,
                      double half_angle, int line_width, bool double_headed);

// Arrow line width in device pixels: enlarged on paper with the width option,
// otherwise at least one surface pixel.
double ArrowLineWidth(const DrawContext& ctx, int line_width);

}  // namespace qzarn::render
