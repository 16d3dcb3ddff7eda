#pragma once
// Layout of the coordinate system of a screen: grid lines or dots, the two
// axis arrows, tick marks, tick labels, the origin label and the axis names.
// The layout is computed as plain values (plane positions, pixel polygons,
// label texts with anchors) so it can be checked without a canvas; the
// drawing half lives in draw_axes.* and sends these values to a Canvas.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/geometry_values.h"
#include "render/view_transform.h"

namespace qzarn::render {

// Application-wide placement values, in units of 25 pixels (settings section
// "Axis"; the point-to-label spacing lives in "Option").
struct AxisLayout {
  double axis_x_char_x = -0.4;    // AxisX_Char_X: X axis name, horizontal offset
  double axis_x_char_y = 0.2;     // AxisX_Char_Y
  double axis_y_char_x = 0.4;     // AxisY_Char_X
  double axis_y_char_y = 0.2;     // AxisY_Char_Y
  double axis_char_zero = -0.36;  // Axis_Char_Zero: origin label and tick label offset
  double axis_char_ajust = 0.16;  // Axis_Char_Ajust: tick half length
  double arrow_length = 0.4;      // Axis_Ya_Lenght_X
  double arrow_half_width = 0.2;  // Axis_Ya_Lenght_Y
  double char_space = 0.2;        // cCharSpace
  bool point_zoom = true;         // PointZoomFlag
};

// One axis as stored in the screen's view settings.
struct AxisSettings {
  int style = 0;       // line style code (does not change the arrow shape)
  int width = 2;       // low byte of the width-and-label-step field
  int label_step = 0;  // high byte; 0 = not chosen
  std::uint32_t colour = 0;
  double interval = 1.0;  // tick interval when ticks are manual
  bool automatic = true;
  std::string name;  // UTF-8
};

struct AxesSettings {
  CoordinateKind kind = CoordinateKind::kStandard;
  AxisSettings x, y;
  bool show_axes = true;
  bool show_grid = true;
  bool grid_as_points = false;
  int grid_style = 2;
  int grid_width = 1;
  std::uint32_t grid_colour = 0;
  // Axis font: size in points, Shift-JIS character set (selects the degree
  // and pi signs), style bits as stored (1 bold, 2 italic, 4 underline, 8 strike-out).
  int font_size = 16;
  bool japanese_font = true;
  int font_style = 0;
};

using qzarn::PlanePoint;
struct PlaneSegment {
  PlanePoint a, b;
};
struct PixelPoint {
  int x = 0, y = 0;
  bool operator==(const PixelPoint&) const = default;
};

// Text anchoring: which point of the text box sits on the anchor point.
enum class HAnchor : int { kLeft = 0, kCentre = 1, kRight = 2 };
enum class VAnchor : int { kBottom = 0, kMiddle = 1, kTop = 2 };

struct GridPlan {
  bool as_dots = false;
  int dot_radius = 1;               // pixels (before the print factor)
  std::vector<PlanePoint> dots;     // grid as points
  std::vector<PlaneSegment> lines;  // grid lines and polar diameters
  std::vector<double> circles;      // polar grid circles: radii in plane units
};

using ArrowPolygon = std::array<PixelPoint, 7>;

struct AxisArrowsPlan {
  bool shown = false;
  ArrowPolygon y_axis{};  // drawn first
  ArrowPolygon x_axis{};
};

enum class AxisId : int { kX = 0, kY = 1 };

struct AxisLabel {
  std::string text;  // UTF-8
  double x = 0, y = 0;
  HAnchor h = HAnchor::kCentre;
  VAnchor v = VAnchor::kTop;
  AxisId axis = AxisId::kX;  // its colour
  bool italic = false;       // axis names
};

struct AxisLabelsPlan {
  bool shown = false;
  int font_size = 0;  // pixels at print factor 1
  std::vector<PlaneSegment> x_ticks, y_ticks;
  std::vector<AxisLabel> labels;  // in drawing order
};

// Derived lengths shared by the planners.
struct AxisMetrics {
  double z = 1;
  double a = 1;           // scale * z / 25: layout values divided by it keep their pixel size
  double t0 = 0;          // tick half length
  double o0 = 0;          // label offset
  double hx = 0, hy = 0;  // half axis widths in plane units
};
AxisMetrics ComputeAxisMetrics(const ViewTransform& view, const AxesSettings& axes,
                               const AxisLayout& layout);

GridPlan PlanGrid(const ViewTransform& view, const AxesSettings& axes);
// enlarge_widths: printing with line-width enlargement (axis widths grow with the print factor).
AxisArrowsPlan PlanAxisArrows(const ViewTransform& view, const AxesSettings& axes,
                              const AxisLayout& layout, bool enlarge_widths);
AxisLabelsPlan PlanAxisLabels(const ViewTransform& view, const AxesSettings& axes,
                              const AxisLayout& layout);

// The pi label of a tick counted in 30 degree steps; empty when none is shown.
std::string RadianLabel(bool fractions, double index, bool japanese_font);
// A manual tick value: one decimal, trailing zeros and point removed, |v| < 1e-10 is "0".
std::string FormatTickValue(double value);
// Label font size of the axis labels in pixels (before the print factor).
int AxisLabelFontSize(const AxesSettings& axes, double z);

}  // namespace qzarn::render
