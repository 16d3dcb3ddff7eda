// Hit rules of point marks and their loci, lines, circles, parabolas, angle
// marks and frames.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/figure_drawing_ink.h"
#include "render/figure_drawing_kinds.h"
#include "interact/hit_test_kinds.h"

namespace qzarn::interact {

namespace {

// Marker of a general-form parabola that reduced to a straight line.
constexpr double kStraightParabolaMarker = 9999999;
// Parabola parts closer than this count as coinciding.
constexpr double kParabolaFlat = 1e-10;
// The smallest horizontal tolerance of a parabola's steep arms, in plane units.
constexpr double kParabolaArmTolerance = 0.1;

struct PointLocusView {
  int count;  // TrackCount
  const F32* xs;
  const F32* ys;
  int radius;  // TrackRadius
  int thick;   // TrackThick
  bool connect;
};

// Entries 0 .. min(TrackCount, 499): dots, or the joins between consecutive
// entries when they are connected (not the join from the newest entry back to
// the oldest once the ring has wrapped: it is not drawn).
bool OnPointLocus(const HitProbe& probe, const PointLocusView& locus) {
  const int n = LocusEntries(locus.count);
  if (!locus.connect) {
    const double r = locus.radius * probe.mark_m + locus.thick / 2.0;
    for (int i = 0; i < n; ++i) {
      if (probe.OnMark(locus.xs[i].get(), locus.ys[i].get(), r, probe.factors.PointLocusFindValue))
        return true;
    }
    return false;
  }
  const int newest = locus.count >= kLocusRing ? locus.count % kLocusRing : -1;
  for (int i = 0; i + 1 < n; ++i) {
    if (i == newest) continue;
    if (probe.OnSegment(locus.xs[i].get(), locus.ys[i].get(), locus.xs[i + 1].get(),
                        locus.ys[i + 1].get(), locus.thick, true))
      return true;
  }
  return false;
}

// The mark of a point figure: its radius, one pixel, and half the rim.
double MarkRadius(double radius, double m, int rim) {
  return radius * m + 1 + rim / 2.0;
}

// A circle's circumference: a ring from just inside the pen to its outer edge.
bool OnCircumference(const HitProbe& probe, double cx, double cy, double r, int width) {
  if (!OnPlane(cx) || !OnPlane(cy) || !OnPlane(r) || r < 0) return false;
  const double rho = r * probe.unit;
  const double inner = std::max(0.0, rho - width / 2.0 - 2);
  const double outer = rho + width / 2.0;
  const double d2 = probe.Dist2(probe.Pixel(cx, cy));
  return inner * inner <= d2 && d2 <= outer * outer;
}

struct ParabolaPlace {
  double h, k;    // vertex
  double p, q;    // a point on the curve
  bool straight;  // general form reduced to a line (h holds the marker)
};

// The parabola (or the line it reduced to) with a pen of `width` pixels. The
// vertical and horizontal cases and the reduced line run as far as drawing
// draws them.
bool OnParabola(const HitProbe& probe, const ParabolaPlace& s, int width) {
  const double h = s.straight ? 0.0 : s.h, k = s.k, p = s.p, q = s.q;
  if (!OnPlane(h) || !OnPlane(k) || !OnPlane(p) || !OnPlane(q)) return false;
  // Vertex and point together: drawing shows only the vertex mark.
  if (std::fabs(h - p) < kParabolaFlat && std::fabs(k - q) < kParabolaFlat) return false;
  const PlaneRect& r = probe.visible;
  const double band = width + 1;
  auto on = [&](double x0, double y0, double x1, double y1) {
    return InBand(probe.Pixel(x0, y0), probe.Pixel(x1, y1), band, true, probe.mouse);
  };
  if (std::fabs(h - p) < kParabolaFlat) return on(h, k, h, q > k ? r.top : -r.top);
  if (std::fabs(k - q) < kParabolaFlat) return on(-r.right, k, r.right, k);
  if (s.straight) {
    const double slope = (q - k) / p;
    return on(-r.right, k - r.right * slope, r.right, k + r.right * slope);
  }
  const double a = (q - k) / ((p - h) * (p - h));
  // Half the pen in plane units, measured vertically at the snapped mouse x.
  const double tol = band / 2 / (probe.view.scale * probe.grip_m);
  const double xs = probe.snapped.x;
  if (std::fabs(a * (xs - h) * (xs - h) + k - probe.plane_y) <= tol) return true;
  // The steep arms, measured horizontally at the snapped mouse y.
  const double arm = std::max(tol, kParabolaArmTolerance);
  const double ys = probe.snapped.y;
  if (!((a >= 0 && ys >= k) || (a < 0 && ys <= k))) return false;
  const double u = std::sqrt((ys - k) / a);
  return std::fabs(probe.plane_x - (h + u)) <= arm || std::fabs(probe.plane_x - (h - u)) <= arm;
}

// The free defining points of a line or parabola (reference -1 only).
int DefiningPointHandle(const HitProbe& probe, const LineRecord& l) {
  const double r = l.SizeP * probe.grip_m;
  if (l.Ref0 == kNoReference && probe.OnMark(l.X0, l.Y0, r, probe.factors.LineFindValue))
    return kMarkHandle;
  if (l.Ref1 == kNoReference && probe.OnMark(l.X1, l.Y1, r, probe.factors.LineFindValue))
    return kSecondPointHandle;
  return kNoHandle;
}

// Direction angle of (dx, dy) in degrees, 0 <= angle < 360; 0 for no direction.
double DirectionDegrees(double dx, double dy) {
  if (dx == 0 && dy == 0) return 0;
  double a = std::atan2(dy, dx) * 180 / std::numbers::pi;
  if (a < 0) a += 360;
  return a >= 360 ? 0 : a;
}

}  // namespace

int HitPointFigure(const HitProbe& probe, const FigureRecord& record) {
  const PointRecord* p = record.point();
  if (p == nullptr) return kNoHandle;
  if (probe.OnMark(p->X, p->Y, MarkRadius(p->Radius, probe.mark_m, p->RimRadius),
                   probe.factors.PointFindValue))
    return kMarkHandle;
  // A dividing point's locus is drawn as dots only.
  const bool connect = p->TrackConnect && record.type() != kBuntenFigure;
  if (p->Track && OnPointLocus(probe, {p->TrackCount, p->TrackX, p->TrackY, p->TrackRadius,
                                       p->TrackThick, connect}))
    return kLocusHandle;
  return kNoHandle;
}

int HitCross3Figure(const HitProbe& probe, const FigureRecord& record, int& cross3_point) {
  const MultiPointRecord* m = record.multi_point();
  if (m == nullptr) return kNoHandle;
  const double r = MarkRadius(m->Radius, probe.grip_m, m->RimRadius);
  for (int i = 0; i < kCross3Points; ++i) {
    if (probe.OnMark(m->PX[i], m->PY[i], r, probe.factors.PointFindValue)) {
      cross3_point = i;
      return kMarkHandle;
    }
  }
  if (!m->Track) return kNoHandle;
  for (int i = 0; i < kCross3Points; ++i) {
    if (OnPointLocus(probe, {m->TrackCount[i], m->TrackX[i], m->TrackY[i], m->TrackRadius,
                             m->TrackThick, static_cast<bool>(m->TrackConnect)}))
      return kLocusHandle;
  }
  return kNoHandle;
}

int HitLineFigure(const HitProbe& probe, const FigureRecord& record) {
  const LineRecord* l = record.line();
  if (l == nullptr) return kNoHandle;
  if (const int h = DefiningPointHandle(probe, *l); h != kNoHandle) return h;
  const bool segment = l->DispB;
  if (probe.OnSegment(l->X0, l->Y0, l->X1, l->Y1, l->SizeL + 1, segment)) return kCurveHandle;
  if (!l->PaintFlag) return kNoHandle;
  const int n = LocusEntries(l->TrackCount);
  for (int i = 0; i < n; ++i) {
    if (probe.OnSegment(l->TrackX0[i].get(), l->TrackY0[i].get(), l->TrackX1[i].get(),
                        l->TrackY1[i].get(), l->PaintType, segment))
      return kLocusHandle;
  }
  return kNoHandle;
}

int HitCircleFigure(const HitProbe& probe, const FigureRecord& record) {
  const CircleRecord* c = record.circle();
  if (c == nullptr) return kNoHandle;
  const double centre = c->SizeP * probe.mark_m;
  if (probe.OnMark(c->X0, c->Y0, centre, probe.factors.CircleFindValue)) return kMarkHandle;
  if (OnCircumference(probe, c->X0, c->Y0, c->RadiusValue, c->SizeL)) return kSecondPointHandle;
  if (!c->PaintFlag) return kNoHandle;
  const int n = LocusEntries(c->TrackCount);
  for (int i = 0; i < n; ++i) {
    const double x = c->TrackCX[i].get(), y = c->TrackCY[i].get();
    if (probe.OnMark(x, y, centre, probe.factors.CircleLocusFindValue) ||
        OnCircumference(probe, x, y, c->TrackR[i].get(), c->SizeL))
      return kLocusHandle;
  }
  return kNoHandle;
}

int HitParabolaFigure(const HitProbe& probe, const FigureRecord& record) {
  const LineRecord* l = record.line();
  if (l == nullptr) return kNoHandle;
  if (const int h = DefiningPointHandle(probe, *l); h != kNoHandle) return h;
  const bool straight = l->Mode == 1 && l->X0 == kStraightParabolaMarker;
  if (OnParabola(probe, {l->X0, l->Y0, l->X1, l->Y1, straight}, l->SizeL)) return kCurveHandle;
  if (!l->PaintFlag) return kNoHandle;
  const int n = LocusEntries(l->TrackCount);
  for (int i = 0; i < n; ++i) {
    const ParabolaPlace s{l->TrackX0[i].get(), l->TrackY0[i].get(), l->TrackX1[i].get(),
                          l->TrackY1[i].get(), straight};
    if (OnParabola(probe, s, l->TrackRadius)) return kLocusHandle;
  }
  return kNoHandle;
}

int HitAngle2Figure(const HitProbe& probe, const FigureRecord& record) {
  const PointRecord* p = record.point();
  if (p == nullptr) return kNoHandle;
  const double start = p->LabelX, end = p->LabelY, radius = p->ArcRadius;
  if (!OnPlane(p->X) || !OnPlane(p->Y) || !Defined(start) || !Defined(end)) return kNoHandle;
  const PointF v = probe.Pixel(p->X, p->Y);
  if (!(std::fabs(v.x) < 20000) || !(std::fabs(v.y) < 20000)) return kNoHandle;
  // An angle of a degree or less has no sector to grab.
  if (RoundHalfEven((end - start) / 2) < 1) return kNoHandle;
  if (!(std::sqrt(probe.Dist2(v)) <= radius * probe.unit)) return kNoHandle;
  // Pixel y grows downwards; the plane's angles count with y upwards.
  const double theta = DirectionDegrees(probe.mouse.x - v.x, v.y - probe.mouse.y);
  // A smaller-angle mark may start below 0 degrees, a wide one end past 360.
  for (const double t : {theta, theta + 360, theta - 360}) {
    if (start <= t && t <= end) return kCurveHandle;
  }
  return kNoHandle;
}

int HitFrameFigure(const HitProbe& probe, const FigureRecord& record) {
  const FrameRecord* f = record.frame();
  if (f == nullptr) return kNoHandle;
  if (!OnPlane(f->X0) || !OnPlane(f->Y0) || !OnPlane(f->X1) || !OnPlane(f->Y1)) return kNoHandle;
  const bool icon = record.type() == kCharFigure && f->IsIcon;
  return FrameHandle(probe.Pixel(f->X0, f->Y0), probe.Pixel(f->X1, f->Y1), icon, probe.mouse);
}

}  // namespace qzarn::interact
