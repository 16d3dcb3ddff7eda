// The searches over a screen's figures and the shared band and frame rules.

#include "interact/hit_test.h"

#include <algorithm>
#include <cmath>

#include "document/figure_visibility.h"
#include "interact/hit_test_kinds.h"
#include "render/draw_screen.h"
#include "render/figure_drawing_ink.h"
#include "render/figure_drawing_primitives.h"
#include "settings/settings_keys.h"

namespace qzarn::interact {

namespace {

// Segment ends with a pixel y this far out are not hit (curves break there).
constexpr double kFarPixel = 20000;
// Width of the frame's grip and border bands, in pixels.
constexpr double kFrameBand = 8;

enum class SearchMode { kPick, kSelected };

HitProbe MakeProbe(const Screen& screen, const HitSettings& settings, double px, double py,
                   SearchMode mode) {
  const ViewParams params = ViewParamsFromScreen(screen, nullptr);
  HitProbe p;
  p.table = &screen.Figures;
  p.view = params.view;
  p.visible = p.view.VisibleRect();
  p.factors = settings.factors;
  p.mouse = {px, py};
  p.plane_x = p.view.PixelToPlaneX(px);
  p.plane_y = p.view.PixelToPlaneY(py);
  p.snapped = SnapMouse(p.view, MouseSnapOf(screen, params, settings.free_positioning), px, py);
  p.z = p.view.zoom;
  p.unit = p.view.UnitPixels();
  p.mark_m = settings.point_zoom ? p.z : 1.0;
  // The selected figure's grips are easier to catch: twice the zoom.
  const bool selected = mode == SearchMode::kSelected;
  p.grip_m = settings.point_zoom ? (selected ? 2 * p.z : p.z) : 1.0;
  p.dot_z = selected ? 2 * p.z : p.z;
  p.tangent = settings.tangent;
  p.shown_only = settings.shown_only;
  return p;
}

// The figures of each pass of PickFigure.
constexpr FigureTypeMask kPointTypes = kPointFigureTypes;
constexpr FigureTypeMask kFrameAndAngleMarkTypes =
    TypeBit(kOleFigure) | TypeBit(kAngle2Figure) | TypeBit(kCharFigure);
constexpr FigureTypeMask kCurveTypes =
    TypeBit(kLineFigure) | TypeBit(kAngleFigure) | TypeBit(kSessenFigure) | TypeBit(kCircleFigure) |
    TypeBit(kParabolaFigure) | TypeBit(kFunctionFigure) | TypeBit(kMensekiFigure) |
    TypeBit(kPolyFigure) | TypeBit(kSplineFigure);

bool InSet(FigureTypeMask set, std::int32_t type) {
  return IsFigureType(type) && (set & TypeBit(type)) != 0;
}

// The handle of the part of one figure under the mouse.
int HitFigure(const HitProbe& probe, const FigureRecord& record, int& cross3_point) {
  switch (record.type()) {
    case kPointFigure:
    case kBuntenFigure:
    case kCrossFigure:
    case kSuisenFigure:
    case kCross2Figure:
      return HitPointFigure(probe, record);
    case kCross3Figure:
      return HitCross3Figure(probe, record, cross3_point);
    case kLineFigure:
    case kAngleFigure:
    case kSessenFigure:
      return HitLineFigure(probe, record);
    case kCircleFigure:
      return HitCircleFigure(probe, record);
    case kParabolaFigure:
      return HitParabolaFigure(probe, record);
    case kFunctionFigure:
      return HitFunctionFigure(probe, record);
    case kMensekiFigure:
      return HitMensekiFigure(probe, record);
    case kPolyFigure:
      return HitPolyFigure(probe, record);
    case kSplineFigure:
      return HitSplineFigure(probe, record);
    case kAngle2Figure:
      return HitAngle2Figure(probe, record);
    case kOleFigure:
    case kCharFigure:
      return HitFrameFigure(probe, record);
    default:
      return kNoHandle;
  }
}

// Searches pass over hidden figures when only shown ones may be picked.
bool Skipped(const HitProbe& probe, const FigureRecord& record) {
  return probe.shown_only && !FigureShown(record);
}

// The highest slot a search visits: the table's last used slot, within 0..500.
int LastSlot(const FigureTable& table) {
  return std::min<int>(table.LastIndex, kLastSlot);
}

HitResult TryFigure(const HitProbe& probe, int slot) {
  const FigureRecord* record = probe.table->record(slot);
  if (record == nullptr || record->empty()) return {};
  HitResult r;
  const int handle = HitFigure(probe, *record, r.cross3_point);
  if (handle == kNoHandle) return {};
  r.slot = slot;
  r.handle = handle;
  return r;
}

HitResult SearchDownward(const HitProbe& probe, FigureTypeMask types) {
  for (int i = LastSlot(*probe.table); i >= 0; --i) {
    const FigureRecord* record = probe.table->record(i);
    if (record == nullptr || !InSet(types, record->type()) || Skipped(probe, *record)) continue;
    if (HitResult r = TryFigure(probe, i); r.hit()) return r;
  }
  return {};
}

HitResult PointPass(const HitProbe& probe) {
  const int last = LastSlot(*probe.table);
  for (int i = 0; i <= last; ++i) {
    const FigureRecord* record = probe.table->record(i);
    if (record == nullptr || !InSet(kPointTypes, record->type()) || Skipped(probe, *record))
      continue;
    if (HitResult r = TryFigure(probe, i); r.hit()) return r;
  }
  return {};
}

}  // namespace

bool HitProbe::OnMark(double x, double y, double radius_px, double factor) const {
  if (!OnPlane(x) || !OnPlane(y)) return false;
  return Dist2(Pixel(x, y)) <= radius_px * radius_px * factor;
}

bool HitProbe::OnSegment(double x0, double y0, double x1, double y1, double half_width,
                         bool restricted) const {
  if (!OnPlane(x0) || !OnPlane(y0) || !OnPlane(x1) || !OnPlane(y1)) return false;
  return InBand(Pixel(x0, y0), Pixel(x1, y1), half_width, restricted, mouse);
}

SnapSettings MouseSnapOf(const Screen& screen, const ViewParams& params, bool main_free) {
  SnapSettings snap;
  snap.kind = params.axes.kind;
  snap.sensitivity = screen.View().SnapStep;
  snap.free_positioning = screen.SnapFine || main_free;
  snap.auto_x = params.axes.x.automatic;
  snap.auto_y = params.axes.y.automatic;
  snap.x_interval = params.axes.x.interval;
  snap.y_interval = params.axes.y.interval;
  return snap;
}

HitSettings HitSettingsFrom(const ProgramSettings& settings, const RenderOptions& options) {
  HitSettings s;
  HitFactors& f = s.factors;
  f.PointFindValue = settings.PointFindValue;
  f.PointLocusFindValue = settings.PointLocusFindValue;
  f.LineFindValue = settings.LineFindValue;
  f.CircleFindValue = settings.CircleFindValue;
  f.CircleLocusFindValue = settings.CircleLocusFindValue;
  s.point_zoom = options.layout.point_zoom;
  s.tangent = options.tangent;
  return s;
}

bool InBand(PointF a, PointF b, double half_width, bool restricted, PointF mouse) {
  if (a == b) return false;
  if (!(std::fabs(a.y) < kFarPixel) || !(std::fabs(b.y) < kFarPixel)) return false;
  // Drawing never hands such ends to a device, so there is nothing to hit.
  if (!(std::fabs(a.x) < kMaxPixel) || !(std::fabs(b.x) < kMaxPixel)) return false;
  const double dx = b.x - a.x, dy = b.y - a.y;
  if (std::fabs(dx) > std::fabs(dy)) {
    if (restricted && !(std::min(a.x, b.x) <= mouse.x && mouse.x <= std::max(a.x, b.x)))
      return false;
    const double y = a.y + (mouse.x - a.x) * dy / dx;
    return std::fabs(mouse.y - y) <= half_width;
  }
  if (restricted && !(std::min(a.y, b.y) <= mouse.y && mouse.y <= std::max(a.y, b.y))) return false;
  const double x = a.x + (mouse.y - a.y) * dx / dy;
  return std::fabs(mouse.x - x) <= half_width;
}

int FrameHandle(PointF corner0, PointF corner1, bool icon, PointF mouse) {
  const double left = std::min(corner0.x, corner1.x), right = std::max(corner0.x, corner1.x);
  const double top = std::min(corner0.y, corner1.y), bottom = std::max(corner0.y, corner1.y);
  const double x = mouse.x, y = mouse.y;
  const bool inside = left <= x && x <= right && top <= y && y <= bottom;
  if (icon && inside) return kFrameInsideHandle;
  auto between = [](double v, double lo, double hi) { return lo <= v && v <= hi; };
  const bool in_left = between(x, left, left + kFrameBand);
  const bool in_right = between(x, right - kFrameBand, right);
  const bool in_top = between(y, top, top + kFrameBand);
  const bool in_bottom = between(y, bottom - kFrameBand, bottom);
  const bool mid_x = between(x, (left + right - kFrameBand) / 2, (left + right + kFrameBand) / 2);
  const bool mid_y = between(y, (top + bottom - kFrameBand) / 2, (top + bottom + kFrameBand) / 2);
  // Grips: column * 3 + row, rows counted from the bottom.
  if (in_left) {
    if (in_bottom) return 0;
    if (mid_y) return 1;
    if (in_top) return 2;
  } else if (in_right) {
    if (in_bottom) return 6;
    if (mid_y) return 7;
    if (in_top) return 8;
  } else if (in_bottom && mid_x) {
    return 3;
  } else if (in_top && mid_x) {
    return 5;
  }
  if (!inside) return kNoHandle;
  return in_left || in_right || in_top || in_bottom ? kFrameBorderHandle : kFrameInsideHandle;
}

HitResult PickFigure(const Screen& screen, const HitSettings& settings, double px, double py) {
  if (settings.tool_armed) return {};
  const HitProbe probe = MakeProbe(screen, settings, px, py, SearchMode::kPick);
  // Points win over everything, frames and angle marks over curves.
  if (HitResult r = PointPass(probe); r.hit()) return r;
  if (HitResult r = SearchDownward(probe, kFrameAndAngleMarkTypes); r.hit()) return r;
  return SearchDownward(probe, kCurveTypes);
}

HitResult PickPoint(const Screen& screen, const HitSettings& settings, double px, double py) {
  return PointPass(MakeProbe(screen, settings, px, py, SearchMode::kPick));
}

HitResult HitSelected(const Screen& screen, const HitSettings& settings, int slot, double px,
                      double py) {
  if (settings.tool_armed || slot < 0 || slot > kLastSlot) return {};
  return TryFigure(MakeProbe(screen, settings, px, py, SearchMode::kSelected), slot);
}

}  // namespace qzarn::interact
