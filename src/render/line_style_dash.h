#pragma once
// Dashed and plain segments of figure lines, grid lines and curves.
//
// A figure that draws dashed lines calls BeginDash once and then DrawSegment
// for each of its segments: the dash pattern is expanded once, stepped pixel
// by pixel along every segment, and its phase runs on from one segment to the
// next, so curves, circles and polygons made of many short segments keep an
// even rhythm across their joints.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "render/canvas.h"
#include "render/line_style.h"

namespace qzarn::render {

// Segments with a device coordinate of this magnitude or more are never drawn.
inline constexpr double kMaxDeviceCoordinate = 1e7;

// Where segments are drawn.
struct LineSurface {
  Canvas* canvas = nullptr;
  double width = 0;   // device extent W
  double height = 0;  // device extent H
  bool printing = false;
  int pattern_scale = 1;                   // k of ExpandPattern, see DashPatternScale
  const LineStyleTable* styles = nullptr;  // null = the built-in table
  // Plane units to device pixels for the plane-unit entry points; without it
  // plane units are taken as device pixels.
  std::function<PointF(double x, double y)> to_device;
  // The pixels the canvas keeps (a band of the picture, or a rectangle of it
  // redrawn), right and bottom exclusive; none: the whole device extent.
  std::optional<Rect> kept;
};

struct DashState {
  std::vector<std::uint8_t> pattern;  // one byte per pixel, 1 = ink
  int phase = 0;
  bool pen_down = false;
  PenStyle saved_style = PenStyle::kSolid;
  int scale = -1;  // device pixels per surface pixel; −1 = no custom dash
  bool active() const { return scale != -1; }
};

class LinePainter {
 public:
  explicit LinePainter(LineSurface surface);

  // Restarts the phase. Unless suspended, takes the canvas pen's style: a dash
  // style switches the canvas pen to solid and expands the matching pattern
  // for the pen width; a solid or clear pen turns the custom dash off.
  void BeginDash(bool suspend = false);

  // One segment with the current pen, dashed while a custom dash is active.
  // Plane units (mapped through to_device) or device pixels.
  void DrawSegment(double x1, double y1, double x2, double y2);
  void DrawDeviceSegment(PointF from, PointF to);

  // One segment with the canvas pen as it is, never dashed (tick marks,
  // locus lines, marks).
  void DrawPlainSegment(double x1, double y1, double x2, double y2);
  void DrawPlainDeviceSegment(PointF from, PointF to);

  // Between BeginRun and EndRun the segments are one stroke: what they would
  // draw is kept and handed to the canvas in one DrawJoinedLines call at
  // EndRun, so the joints of a curve need no rounded ends (on a device that
  // dashes strokes itself, the dashed segments of a run go as whole strokes in
  // one call). Nothing else may be drawn on the canvas in between.
  void BeginRun();
  void EndRun();

  const DashState& dash() const { return dash_; }
  const LineSurface& surface() const { return surface_; }

 private:
  PointF ToDevice(double x, double y) const;
  // Rounded ends of a segment that may reach the device, or nothing.
  std::optional<std::pair<Point, Point>> Admit(PointF from, PointF to) const;

  // Hands line ends to the canvas, or keeps them for EndRun.
  void Emit(std::span<const Point> ends);
  // A dashed segment for a device that dashes strokes itself: joined onto
  // the stroke before it inside a run, else handed over at once.
  void KeepDashed(Point a, Point b);
  void FlushDashed();

  LineSurface surface_;
  DashState dash_;
  std::vector<Point> marks_;  // the dash marks of one segment, drawn in one call
  bool in_run_ = false;
  std::vector<Point> run_;              // ends kept since BeginRun
  std::vector<DashedPolyline> dashed_;  // whole dashed strokes kept since BeginRun
};

// Clipping of solid segments on paper: along the longer axis the ends are
// ordered and moved onto the edges 0 and round(W) (respectively round(H));
// moved coordinates are rounded.
std::pair<Point, Point> ClipForPrint(Point from, Point to, double width, double height);

}  // namespace qzarn::render
