#pragma once
// Which figure lies under the mouse and which part (handle) of the selected
// figure is under it. Every test works in surface pixels on the coordinates
// the last recompute left in the records, with tolerances that follow the
// drawn widths and mark sizes. Plain arithmetic on stored values: no
// expression is evaluated, so the window can run it on every mouse move.

#include "document/screen.h"
#include "render/canvas.h"
#include "render/draw_context.h"
#include "render/view_transform.h"

namespace qzarn {
struct ProgramSettings;
}

// What the mouse does is told in the drawing's own terms (pixels, the view
// transform, the canvas, the drawn geometry), so the drawing's names are used
// here as they are.
namespace qzarn::interact {
using namespace qzarn::render;
}  // namespace qzarn::interact

namespace qzarn::interact {

// Handles of the frame rule (embedded objects and text boxes): 0..8 are the
// grips of a 3 x 3 grid, number = column * 3 + row (columns left to right,
// rows bottom to top); the border band and the inside follow.
inline constexpr int kFrameBorderHandle = 10;
inline constexpr int kFrameInsideHandle = 12;
// Handles of the other figures.
inline constexpr int kMarkHandle = 0;         // a point mark, a circle's centre
inline constexpr int kSecondPointHandle = 1;  // second defining point, a circle's rim
inline constexpr int kCurveHandle = 2;        // the line, curve, outline or sector
inline constexpr int kLocusHandle = 3;        // an entry of the figure's locus
inline constexpr int kNoHandle = -1;

// Squared-radius multipliers of the settings section "Find": a mark of radius
// r pixels is hit when the squared distance is at most r * r * factor.
struct HitFactors {
  double PointFindValue = 1.0;
  double PointLocusFindValue = 1.0;
  double LineFindValue = 1.0;
  double CircleFindValue = 1.0;
  double CircleLocusFindValue = 1.0;
};
// What the hit tests read besides the screen.
struct HitSettings {
  HitFactors factors;
  bool point_zoom = true;         // PointZoomFlag: marks grow with the zoom
  double tangent = 100;           // Tangent: explicit curves are not joined across jumps
  bool tool_armed = false;        // a drawing tool is armed: figures are not picked
  bool free_positioning = false;  // the main window's fine snapping is on
  bool shown_only = false;        // FindDispFigure: hidden figures are never picked
};

// The factors from the program settings, point zoom and the jump threshold
// from the options drawing uses; no tool armed, no fine snapping.
HitSettings HitSettingsFrom(const ProgramSettings& settings, const RenderOptions& options);

struct HitResult {
  int slot = -1;  // the figure hit, -1 for none
  int handle = kNoHandle;
  int cross3_point = -1;  // which of a Cross3 figure's points was hit, -1 otherwise

  bool hit() const { return slot >= 0; }
  bool operator==(const HitResult&) const = default;
};

// The figure under the pixel (px, py) of the screen's surface: point figures
// first (lowest slot first), then frames and angle marks, then curves (each
// from the highest slot down). Nothing while a drawing tool is armed.
HitResult PickFigure(const Screen& screen, const HitSettings& settings, double px, double py);

// The point pass of PickFigure alone (the drawing tools' search for a point
// under a press or release), whether or not a tool is armed.
HitResult PickPoint(const Screen& screen, const HitSettings& settings, double px, double py);

// Whether the pixel lies on the figure in `slot` (the selected one) and on
// which handle. The defining points, Cross3 points, a parabola's tolerance,
// function sample dots and a polygon's vertex exclusion are tested with twice
// the zoom. Nothing while a drawing tool is armed or for slot -1.
HitResult HitSelected(const Screen& screen, const HitSettings& settings, int slot, double px,
                      double py);

// How the screen snaps mouse positions: its step, coordinate kind and axis
// intervals; main_free is the main window's fine-snapping flag.
SnapSettings MouseSnapOf(const Screen& screen, const ViewParams& params, bool main_free);

// The band test: whether the pixel lies within half_width of the segment a-b,
// measured vertically when the segment is flatter than 45 degrees and
// horizontally otherwise (a parallelogram, not a perpendicular distance).
// Restricted: the pixel must also lie between the ends along the measured
// axis. Coinciding ends, an end with a pixel y of 20000 or more, and ends that
// drawing would never hand to a device are not hit.
bool InBand(PointF a, PointF b, double half_width, bool restricted, PointF mouse);

// The frame rule on a pixel box given by two corners in any order. icon: a
// text box sized to its text (the inside is grabbed whole). kNoHandle when
// the pixel is outside.
int FrameHandle(PointF corner0, PointF corner1, bool icon, PointF mouse);

}  // namespace qzarn::interact
