// Hit rules of sampled figures: function curves and their loci, implicit
// curves and regions, areas between curves, polygons and splines.

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "engine/implicit_curves.h"
#include "engine/spline.h"
#include "interact/hit_test_kinds.h"
#include "render/curve_drawing.h"
#include "render/figure_drawing_ink.h"
#include "render/figure_drawing_kinds.h"

namespace qzarn::interact {

namespace {

// Corners this many pixels away cancel a polygon's drawing, and its hit.
constexpr double kFarCornerPixel = 20000;

bool OnCurve(float v) {
  return std::fabs(v) < 20000.0f;
}

// How one sample list is drawn, as far as hitting it goes.
struct SampleStyle {
  bool band;        // joined (or paired) segments are drawn
  int half_width;   // of the band, in pixels
  bool dots;        // the samples are drawn as dots (tested when there is no band)
  double dot_size;  // dot radius in pixels
  bool full_tests;  // live curve: steep joins are left out as drawing leaves them out
};

bool OnDots(const HitProbe& probe, std::span<const float> xs, std::span<const float> ys,
            std::size_t begin, std::size_t end, double radius) {
  for (std::size_t i = begin; i < end; ++i) {
    if (OnCurve(xs[i]) && OnCurve(ys[i]) && probe.OnMark(xs[i], ys[i], radius, 1.0)) return true;
  }
  return false;
}

// Segments as pairs of entries (begin, begin + 1), (begin + 2, begin + 3) ...
bool OnPairs(const HitProbe& probe, std::span<const float> xs, std::span<const float> ys,
             std::size_t begin, std::size_t end, int half_width) {
  for (std::size_t i = begin; i + 1 < end; i += 2) {
    if (probe.OnSegment(xs[i], ys[i], xs[i + 1], ys[i + 1], half_width, true)) return true;
  }
  return false;
}

// An explicit, parametric or polar curve: its samples joined where drawing
// joins them (never across a break or a jump).
bool OnJoinedSamples(const HitProbe& probe, std::span<const float> xs, std::span<const float> ys,
                     const SampleStyle& style) {
  if (style.band) {
    // Joined samples are on the plane, so each is converted once.
    const std::vector<bool> joins = CurveJoins(xs, ys, probe.tangent, style.full_tests);
    PointF from;
    for (std::size_t i = 1; i < joins.size(); ++i) {
      if (!joins[i]) continue;
      from = joins[i - 1] ? from : probe.Pixel(xs[i - 1], ys[i - 1]);
      const PointF to = probe.Pixel(xs[i], ys[i]);
      if (InBand(from, to, style.half_width, true, probe.mouse)) return true;
      from = to;
    }
    return false;
  }
  return style.dots && OnDots(probe, xs, ys, 0, xs.size(), style.dot_size);
}

// An implicit curve's list of loose segments.
bool OnSegmentPairs(const HitProbe& probe, std::span<const float> xs, std::span<const float> ys,
                    const SampleStyle& style) {
  if (style.band) return OnPairs(probe, xs, ys, 0, xs.size(), style.half_width);
  return style.dots && OnDots(probe, xs, ys, 0, xs.size() - xs.size() % 2, style.dot_size);
}

// A region: the hatching (shown unless Recursive) up to the separator and the
// boundary (shown with DispL) after it, up to the area entry; with neither
// shown the segment ends count as dots.
bool OnRegion(const HitProbe& probe, const FunctionRecord& f, std::span<const float> xs,
              std::span<const float> ys) {
  const std::size_t n = xs.size();
  std::size_t separator = 0;
  while (separator < n && xs[separator] != kRegionSeparator)
    ++separator;
  std::size_t begin = separator;
  while (begin < n && xs[begin] == kRegionSeparator)
    ++begin;
  std::size_t area_mark = begin;
  while (area_mark < n && xs[area_mark] != kRegionAreaMark)
    ++area_mark;
  const int width = f.SizeL + 1;
  if (f.DispL || !f.Recursive) {
    if (!f.Recursive && OnPairs(probe, xs, ys, 0, separator, width)) return true;
    return f.DispL && OnPairs(probe, xs, ys, begin, area_mark, width);
  }
  const double radius = f.SizeP * probe.dot_z;
  return OnDots(probe, xs, ys, 0, separator, radius) ||
         OnDots(probe, xs, ys, begin, area_mark, radius);
}

bool OnSampleList(const HitProbe& probe, std::span<const float> xs, std::span<const float> ys,
                  bool implicit, const SampleStyle& style) {
  return implicit ? OnSegmentPairs(probe, xs, ys, style) : OnJoinedSamples(probe, xs, ys, style);
}

// Corners of a polygon in pixels, or none when one of them is off the plane or
// so far away that drawing leaves the polygon out.
std::vector<PointF> PixelCorners(const HitProbe& probe, const std::vector<PlanePoint>& vertices) {
  std::vector<PointF> corners;
  corners.reserve(vertices.size());
  for (const PlanePoint& v : vertices) {
    if (!OnPlane(v.x) || !OnPlane(v.y)) return {};
    const PointF c = probe.Pixel(v.x, v.y);
    if (!(std::fabs(c.x) < kFarCornerPixel) || !(std::fabs(c.y) < kFarCornerPixel)) return {};
    corners.push_back(c);
  }
  return corners;
}

}  // namespace

int HitFunctionFigure(const HitProbe& probe, const FigureRecord& record) {
  const FunctionRecord* f = record.function();
  if (f == nullptr) return kNoHandle;
  const FigureOwned& owned = record.owned;
  const bool implicit = f->FuncKind == kImplicitCurve;
  const bool region = implicit && f->Mode != kRelationCurve;
  if (f->KisekiF && !region) {
    const SampleStyle snapshot{static_cast<bool>(f->KisekiL), f->KisekiW + 1,
                               static_cast<bool>(f->KisekiP), f->KisekiR * probe.dot_z, false};
    const int n =
        std::min<int>(LocusEntries(f->TrackCount), static_cast<int>(owned.KisekiList.size()));
    for (int k = 0; k < n; ++k) {
      const CurveSnapshotView s = owned.KisekiList[static_cast<std::size_t>(k)];
      if (OnSampleList(probe, s.X, s.Y, implicit, snapshot)) return kCurveHandle;
    }
  }
  const std::size_t stored = std::min(owned.SampleX.size(), owned.SampleY.size());
  const std::size_t n =
      f->SampleLast < 0
          ? 0
          : std::min<std::size_t>(stored, static_cast<std::size_t>(f->SampleLast.get()) + 1);
  const std::span<const float> xs(owned.SampleX.data(), n), ys(owned.SampleY.data(), n);
  if (region) return OnRegion(probe, *f, xs, ys) ? kCurveHandle : kNoHandle;
  // An implicit curve's segments are hit while they or the hatching switch say so.
  const bool band = implicit ? f->DispL || !f->Recursive : static_cast<bool>(f->DispL);
  const SampleStyle curve{band, f->SizeL + 1, static_cast<bool>(f->DispP), f->SizeP * probe.dot_z,
                          true};
  return OnSampleList(probe, xs, ys, implicit, curve) ? kCurveHandle : kNoHandle;
}

int HitMensekiFigure(const HitProbe& probe, const FigureRecord& record) {
  const PointRecord* m = record.point();
  if (m == nullptr) return kNoHandle;
  const FigureOwned& owned = record.owned;
  // One segment per node, from (x, F(x)) to (x, G(x)); a count beyond the lists
  // is cut to the whole pairs both of them hold.
  std::size_t n = m->HatchCount < 0 ? 0 : static_cast<std::size_t>(m->HatchCount.get());
  n = std::min({n, owned.HatchX.size(), owned.HatchY.size()});
  const std::span<const float> xs(owned.HatchX.data(), n), ys(owned.HatchY.data(), n);
  return OnPairs(probe, xs, ys, 0, n, m->RimRadius + 1) ? kCurveHandle : kNoHandle;
}

int HitPolyFigure(const HitProbe& probe, const FigureRecord& record) {
  const PolygonRecord* p = record.polygon();
  if (p == nullptr) return kNoHandle;
  const std::vector<PointF> corners = PixelCorners(probe, UsedVertices(*probe.table, *p));
  if (corners.size() < 2) return kNoHandle;
  // The vertices belong to the points there: a polygon is never grabbed at one.
  const double exclusion = p->SizeL * probe.dot_z;
  for (const PointF& c : corners) {
    if (probe.Dist2(c) <= exclusion * exclusion) return kNoHandle;
  }
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const PointF& next = corners[(i + 1) % corners.size()];
    if (InBand(corners[i], next, p->SizeL + 1, true, probe.mouse)) return kCurveHandle;
  }
  return kNoHandle;
}

int HitSplineFigure(const HitProbe& probe, const FigureRecord& record) {
  const PolygonRecord* p = record.polygon();
  if (p == nullptr) return kNoHandle;
  const std::vector<PlanePoint> points = UsedVertices(*probe.table, *p);
  const SplineTable spline(points, p->DispP);
  if (spline.empty()) return kNoHandle;
  // The same samples drawing joins: t = i * step, the last one at 1 exactly.
  const double step = SplineDrawingStep(p->SS);
  const double half_width = p->SizeL + 1;
  PointF from = [&] {
    const PlanePoint s = SplinePoint(spline, 0.0);
    return probe.Pixel(s.x, s.y);
  }();
  for (int i = 1;; ++i) {
    const double t = std::min(i * step, 1.0);
    const PlanePoint s = SplinePoint(spline, t);
    const PointF to = probe.Pixel(s.x, s.y);
    if (InBand(from, to, half_width, true, probe.mouse)) return kCurveHandle;
    if (t >= 1.0) break;
    from = to;
  }
  return kNoHandle;
}

}  // namespace qzarn::interact
