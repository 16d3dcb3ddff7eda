#include "engine/cross3.h"

#include <algorithm>
#include <cmath>

#include "engine/parabola_constructions.h"
#include "engine/polynomial_roots.h"

namespace qzarn {

namespace {

constexpr double kVerticalLine = 1e-10;
constexpr double kVerticalOtherLine = 1e-6;
constexpr double kParallel = 1e-10;
constexpr double kFlatParabola = 1e-10;
constexpr double kVerticalParabola = 1e-5;

Cross3Points NoPoints() {
  return {kUndefinedPoint, kUndefinedPoint, kUndefinedPoint, kUndefinedPoint};
}

// A discriminant of tiny magnitude is a touching point.
double CleanDiscriminant(double d) {
  return std::fabs(d) < kDiscriminantTolerance ? 0.0 : d;
}

double Slope(const LinePoints& l) {
  return (l.p1.y - l.p0.y) / (l.p1.x - l.p0.x);
}

double Intercept(const LinePoints& l, double slope) {
  return l.p0.y - slope * l.p0.x;
}

bool InBox(const LinePoints& l, PlanePoint p) {
  return std::min(l.p0.x, l.p1.x) <= p.x && p.x <= std::max(l.p0.x, l.p1.x) &&
         std::min(l.p0.y, l.p1.y) <= p.y && p.y <= std::max(l.p0.y, l.p1.y);
}

// Points (x, ...) where the non-vertical line y = ma x + na meets the circle,
// minus root first, y taken from the line.
void LineMeetsCircle(double ma, double na, PlanePoint c, double r, Cross3Points& out) {
  const double h = ma * c.y + c.x - ma * na;
  const double e = ma * ma + 1.0;
  const double d = CleanDiscriminant(h * h - ((na - c.y) * (na - c.y) + c.x * c.x - r * r) * e);
  if (d < 0.0) return;
  const double s = std::sqrt(d);
  const double x0 = (h - s) / e;
  out[0] = {x0, ma * x0 + na};
  if (d > 0.0) {
    const double x1 = (h + s) / e;
    out[1] = {x1, ma * x1 + na};
  }
}

void VerticalLineMeets(double xa, const Cross3Curve& b, Cross3Points& out) {
  switch (b.kind) {
    case Cross3CurveKind::kLine:
      if (std::fabs(b.line.p0.x - b.line.p1.x) < kVerticalOtherLine) return;
      {
        const double mb = Slope(b.line);
        out[0] = {xa, mb * xa + Intercept(b.line, mb)};
      }
      return;
    case Cross3CurveKind::kParabola:
      out[0] = {xa, b.k * xa * xa + b.m * xa + b.n};
      return;
    case Cross3CurveKind::kCircle: {
      const double d =
          CleanDiscriminant(b.radius * b.radius - (xa - b.centre.x) * (xa - b.centre.x));
      if (d < 0.0) return;
      const double s = std::sqrt(d);
      out[0] = {xa, b.centre.y - s};
      if (d > 0.0) out[1] = {xa, b.centre.y + s};
      return;
    }
    case Cross3CurveKind::kNone:
      return;
  }
}

void SlopedLineMeets(const LinePoints& a, const Cross3Curve& b, Cross3Points& out) {
  const double ma = Slope(a);
  const double na = Intercept(a, ma);
  switch (b.kind) {
    case Cross3CurveKind::kLine: {
      if (std::fabs(b.line.p0.x - b.line.p1.x) < kVerticalLine) {
        const double x = b.line.p0.x;
        out[0] = {x, ma * x + na};
        return;
      }
      const double mb = Slope(b.line);
      if (std::fabs(ma - mb) < kParallel) return;
      const double x = (Intercept(b.line, mb) - na) / (ma - mb);
      out[0] = {x, ma * x + na};
      return;
    }
    case Cross3CurveKind::kParabola: {
      if (std::fabs(b.k) < kFlatParabola) {
        if (std::fabs(b.m - ma) < kParallel) return;
        const double x = (b.n - na) / (ma - b.m);
        out[0] = {x, ma * x + na};
        return;
      }
      const double bm = b.m - ma;
      const double bn = b.n - na;
      const double d = CleanDiscriminant(bm * bm - 4.0 * b.k * bn);
      if (d < 0.0) return;
      const double s = std::sqrt(d);
      const double x0 = (-bm - s) / (2.0 * b.k);
      out[0] = {x0, ma * x0 + na};
      if (d > 0.0) {
        const double x1 = (-bm + s) / (2.0 * b.k);
        out[1] = {x1, ma * x1 + na};
      }
      return;
    }
    case Cross3CurveKind::kCircle:
      LineMeetsCircle(ma, na, b.centre, b.radius, out);
      return;
    case Cross3CurveKind::kNone:
      return;
  }
}

void CircleMeetsCircle(const Cross3Curve& a, const Cross3Curve& b, Cross3Points& out) {
  const double ax = a.centre.x, ay = a.centre.y, bx = b.centre.x, by = b.centre.y;
  const double ra = a.radius, rb = b.radius;
  if (ay != by) {
    const double w = -(ax - bx) / (ay - by);
    const double v =
        ((ax * ax - bx * bx) + (ay * ay - by * by) - (ra * ra - rb * rb)) / (2.0 * (ay - by));
    LineMeetsCircle(w, v, b.centre, rb, out);
  } else if (ax != bx) {
    const double x = ((ax * ax - bx * bx) - (ra * ra - rb * rb)) / (2.0 * (ax - bx));
    const double d = CleanDiscriminant(rb * rb - (x - bx) * (x - bx));
    if (d < 0.0) return;
    const double s = std::sqrt(d);
    out[0] = {x, by - s};
    if (d > 0.0) out[1] = {x, by + s};
  }
}

void CircleMeetsParabola(const Cross3Curve& a, const Cross3Curve& b, Cross3Points& out) {
  const double k = b.k, m = b.m, n = b.n;
  const double cx = a.centre.x, dy = n - a.centre.y;
  const auto roots = SolveQuartic(dy * dy + cx * cx - a.radius * a.radius, 2.0 * m * dy - 2.0 * cx,
                                  m * m + 1.0 + 2.0 * k * dy, 2.0 * k * m, k * k);
  for (int i = 0; i < 4; ++i) {
    double x = roots[static_cast<std::size_t>(i)];
    if (std::fabs(x) < 1e-15) x = 0.0;
    if (std::fabs(x) < UndefinedValue)
      out[static_cast<std::size_t>(i)] = {x, k * x * x + m * x + n};
  }
}

void ParabolaMeetsParabola(const Cross3Curve& a, const Cross3Curve& b, Cross3Points& out) {
  const double dk = a.k - b.k, dm = a.m - b.m, dn = a.n - b.n;
  auto y_of = [&b](double x) { return b.k * x * x + b.m * x + b.n; };
  if (dk != 0.0) {
    const double d = CleanDiscriminant(dm * dm - 4.0 * dk * dn);
    if (d < 0.0) return;
    const double s = std::sqrt(d);
    const double x0 = (-dm - s) / (2.0 * dk);
    out[0] = {x0, y_of(x0)};
    if (d > 0.0) {
      const double x1 = (-dm + s) / (2.0 * dk);
      out[1] = {x1, y_of(x1)};
    }
  } else if (dm != 0.0) {
    const double x = -dn / dm;
    out[0] = {x, y_of(x)};
  }
}

}  // namespace

Cross3Curve Cross3Line(const LinePoints& line, bool segment) {
  Cross3Curve c;
  if (IsUndefinedInput(line.p0) || IsUndefinedInput(line.p1)) return c;
  c.kind = Cross3CurveKind::kLine;
  c.line = line;
  c.segment = segment;
  return c;
}

Cross3Curve Cross3Circle(PlanePoint centre, double radius) {
  Cross3Curve c;
  if (IsUndefinedInput(centre) || IsUndefinedInput(radius) || radius < 0.0) return c;
  c.kind = Cross3CurveKind::kCircle;
  c.centre = centre;
  c.radius = radius;
  return c;
}

Cross3Curve Cross3Parabola(const LinePoints& parabola) {
  Cross3Curve c;
  const PlanePoint v = parabola.p0, p = parabola.p1;
  if (IsUndefinedInput(p) || IsUndefinedInput(v.y)) return c;
  if (v.x == kStraightParabolaMarker) {
    if (p.x == 0.0) return c;
    c.kind = Cross3CurveKind::kParabola;
    c.k = 0.0;
    c.m = (p.y - v.y) / p.x;
    c.n = v.y;
    return c;
  }
  if (IsUndefinedInput(v.x) || !(std::fabs(v.x - p.x) >= kVerticalParabola)) return c;
  c.kind = Cross3CurveKind::kParabola;
  c.k = (p.y - v.y) / ((p.x - v.x) * (p.x - v.x));
  c.m = -2.0 * c.k * v.x;
  c.n = c.k * v.x * v.x + v.y;
  return c;
}

Cross3Points IntersectCurves(const Cross3Curve& a, const Cross3Curve& b) {
  Cross3Points out = NoPoints();
  using K = Cross3CurveKind;
  if (a.kind == K::kLine) {
    if (std::fabs(a.line.p0.x - a.line.p1.x) < kVerticalLine)
      VerticalLineMeets(a.line.p0.x, b, out);
    else
      SlopedLineMeets(a.line, b, out);
    for (auto& p : out) {
      if (p == kUndefinedPoint) continue;
      if ((a.segment && !InBox(a.line, p)) ||
          (b.kind == K::kLine && b.segment && !InBox(b.line, p)))
        p = kUndefinedPoint;
    }
  } else if (a.kind == K::kCircle && b.kind == K::kCircle) {
    CircleMeetsCircle(a, b, out);
  } else if (a.kind == K::kCircle && b.kind == K::kParabola) {
    CircleMeetsParabola(a, b, out);
  } else if (a.kind == K::kParabola && b.kind == K::kParabola) {
    ParabolaMeetsParabola(a, b, out);
  }
  return out;
}

}  // namespace qzarn
