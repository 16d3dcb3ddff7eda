#include "engine/graph_constructions.h"

#include <cmath>

namespace qzarn {

namespace {

// |F - G| below this at an interval end makes that end the intersection.
constexpr double kEndTolerance = 1e-10;
// The bisection stops once its interval is narrower than this.
constexpr double kBisectionWidth = 1e-4;
// Halvings that always suffice: ends below 1e15 in magnitude reach either the
// width above or two neighbouring doubles (which halving no longer separates)
// well within this many steps.
constexpr int kBisectionSteps = 200;
// Half the step of the central difference.
constexpr double kDerivativeStep = 1e-8;
// Distance from the contact point to the tangent's second point.
constexpr double kTangentLength = 2.0;

// F(x) - G(x), or UndefinedValue when either raises a math error.
double Difference(const Graph& f, const Graph& g, double x) {
  const GraphValue fy = f(x);
  const GraphValue gy = g(x);
  if (fy.error || gy.error) return UndefinedValue;
  const double h = fy.y - gy.y;
  return std::isfinite(h) ? h : UndefinedValue;
}

// The value of F at x, UndefinedValue on a math error.
double ValueOrUndefined(const Graph& f, double x) {
  const GraphValue v = f(x);
  return v.error ? UndefinedValue : v.y;
}

}  // namespace

PlanePoint IntersectGraphs(const Graph& f, const Graph& g, double a, double b) {
  if (IsUndefinedInput(a) || IsUndefinedInput(b)) return kUndefinedPoint;
  const double ha = Difference(f, g, a);
  double root = 0.0;
  if (std::fabs(ha) < kEndTolerance) {
    root = a;
  } else {
    const double hb = Difference(f, g, b);
    if (std::fabs(hb) < kEndTolerance) {
      root = b;
    } else {
      if (ha * hb > 0.0) return kUndefinedPoint;
      double l = a, hl = ha, u = b;
      for (int step = 0; step < kBisectionSteps; ++step) {
        root = 0.5 * (l + u);
        const double hm = Difference(f, g, root);
        if (hl * hm > 0.0) {
          l = root;
          hl = hm;
        } else {
          u = root;
        }
        if (std::fabs(l - u) < kBisectionWidth) break;
      }
    }
  }
  return {root, ValueOrUndefined(f, root)};
}

LinePoints TangentOfGraph(const Graph& f, double x0, int kind) {
  if (IsUndefinedInput(x0)) return kUndefinedLine;
  const GraphValue y0 = f(x0);
  const GraphValue right = f(x0 + kDerivativeStep);
  const GraphValue left = f(x0 - kDerivativeStep);
  // A graph that cannot be evaluated beside the contact point has no slope
  // there; the error value 20000 would otherwise pass for a steep one.
  if (y0.error || right.error || left.error) return kUndefinedLine;
  const double d = (right.y - left.y) / (2.0 * kDerivativeStep);
  double slope = d;
  if (kind == kNormalLine) {
    if (!(std::fabs(d) > 1e-15)) return kUndefinedLine;  // the normal would be vertical
    slope = -1.0 / d;
  } else if (!(std::fabs(d) <= 1e15)) {
    return kUndefinedLine;
  }
  const double norm = std::sqrt(slope * slope + 1.0);
  return {{x0, y0.y}, {x0 + kTangentLength / norm, y0.y + kTangentLength * slope / norm}};
}

namespace {

// Simpson's rule over the nodes, filling the hatch list as it goes; returns
// false as soon as an evaluation raised a math error.
class SimpsonArea {
 public:
  SimpsonArea(const Graph& f, const Graph& g, AreaResult& out) : f_(f), g_(g), out_(out) {}

  bool Run(double a, double b, int n, double& sum) {
    const double h = (b - a) / n;
    out_.hatch_x.reserve(static_cast<std::size_t>(2 * (n + 1)));
    out_.hatch_y.reserve(static_cast<std::size_t>(2 * (n + 1)));
    double left = 0.0;
    if (!Node(a, left)) return false;
    sum = 0.0;
    for (int i = 1; i <= n; ++i) {
      const double x_left = a + (i - 1) * h;
      double mid = 0.0;
      if (!Distance(x_left + 0.5 * h, mid)) return false;
      // The last node is the interval end itself, not a sum of steps.
      const double x = i == n ? b : a + i * h;
      double right = 0.0;
      if (!Node(x, right)) return false;
      sum += left + 4.0 * mid + right;
      left = right;
    }
    return true;
  }

 private:
  // |F(x) - G(x)| into d; false on a math error.
  bool Distance(double x, double& d) {
    GraphValue fy, gy;
    return Distance(x, d, fy, gy);
  }
  bool Distance(double x, double& d, GraphValue& fy, GraphValue& gy) {
    fy = f_(x);
    gy = g_(x);
    if (fy.error || gy.error) return false;
    d = std::fabs(fy.y - gy.y);
    return true;
  }
  // A node: its distance and its hatch segment from F to G.
  bool Node(double x, double& d) {
    GraphValue fy, gy;
    if (!Distance(x, d, fy, gy)) return false;
    out_.hatch_x.push_back(static_cast<float>(x));
    out_.hatch_y.push_back(static_cast<float>(fy.y));
    out_.hatch_x.push_back(static_cast<float>(x));
    out_.hatch_y.push_back(static_cast<float>(gy.y));
    return true;
  }

  const Graph& f_;
  const Graph& g_;
  AreaResult& out_;
};

}  // namespace

AreaResult AreaBetweenGraphs(const Graph& f, const Graph& g, double a, double b, int n) {
  AreaResult out;
  if (IsUndefinedInput(a) || IsUndefinedInput(b) || a > b) return out;
  if (n < 1 || n > kMaxAreaSubdivisions) return out;
  double sum = 0.0;
  if (SimpsonArea(f, g, out).Run(a, b, n, sum)) {
    out.area = (b - a) / n * sum / 6.0;
  } else {
    out.hatch_x.clear();
    out.hatch_y.clear();
  }
  const double m = 0.5 * (a + b);
  const double fm = f(m).y;
  const double gm = g(m).y;
  out.has_label = true;
  out.label = {m, 0.5 * (fm + gm)};
  return out;
}

}  // namespace qzarn
