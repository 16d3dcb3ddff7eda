#include "engine/implicit_curves.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace qzarn {

namespace {

constexpr double kZeroValue = 1e-10;
constexpr int kMaxRows = 100000;
constexpr int kSubdivision = 6;
// The finest root tolerance a dialog offers; used when the stored one is unusable.
constexpr double kFinestTolerance = 1e-7;
constexpr int kBisectionLimit = 200;
constexpr double kBoundaryPrecision = 1e-4;
// Hatch points stop being appended at this many entries, leaving room for the
// separators, the boundary and the area entries.
constexpr int kHatchEntryLimit = 9998;

struct EdgeRoot {
  bool has = false;
  double x = 0, y = 0;
};

// Cells of one sweep: how many steps of `size` fit with start <= end - size/2.
long long CellCount(double start, double end, double size) {
  const double q = (end - size / 2 - start) / size;
  if (!std::isfinite(q) || q < 0) return q > 0 ? static_cast<long long>(kMaxImplicitCells) + 1 : 0;
  if (q > kMaxImplicitCells) return static_cast<long long>(kMaxImplicitCells) + 1;
  long long n = static_cast<long long>(std::floor(q)) + 1;
  // Settle rounding at the boundary with the exact test.
  while (n > 0 && start + static_cast<double>(n - 1) * size > end - size / 2)
    --n;
  while (start + static_cast<double>(n) * size <= end - size / 2)
    ++n;
  return n;
}

double TopLevelCells(const ImplicitSpec& spec, double w) {
  return static_cast<double>(CellCount(spec.sx, spec.ex, w)) *
         static_cast<double>(std::min<long long>(CellCount(spec.sy, spec.ey, w), kMaxRows));
}

// The cell size to trace with: the asked one when its cells keep within the cap, else the
// smallest size (to 0.1 %) above it whose cells do.
double CellWithinCap(const ImplicitSpec& spec) {
  double w = spec.w;
  const double cells = TopLevelCells(spec, w);
  if (cells <= kMaxImplicitCells) return w;
  if (!std::isfinite(spec.ex - spec.sx) || !std::isfinite(spec.ey - spec.sy)) return w;
  w *= std::sqrt(cells / kMaxImplicitCells);
  for (int i = 0; i < 100 && TopLevelCells(spec, w) > kMaxImplicitCells; ++i)
    w *= 1.001;
  return w;
}

class Tracer {
 public:
  Tracer(CurveProgram& f, CurveProgram* condition, VariableTable& vars, const ImplicitSpec& spec,
         SampleList& out)
      : f_(f), condition_(condition), vars_(vars), out_(out), level_(spec.level) {
    tolerance_ =
        spec.tolerance > 0 && std::isfinite(spec.tolerance) ? spec.tolerance : kFinestTolerance;
  }

  void Trace(double sx, double ex, double sy, double ey, double h, double g, int depth) {
    if (depth > level_ || full_) return;
    const long long columns = CellCount(sx, ex, h);
    const long long rows = std::min<long long>(CellCount(sy, ey, g), kMaxRows);
    if (columns <= 0 || rows <= 0) return;
    if (static_cast<double>(columns) * static_cast<double>(rows) > kMaxImplicitCells) return;
    const auto n_rows = static_cast<std::size_t>(rows);
    // Corner values of the column's left and right sides and the roots of the
    // right edges, handed on to the next column.
    std::vector<double> left(n_rows + 1), right(n_rows + 1);
    std::vector<EdgeRoot> left_roots(n_rows), right_roots(n_rows);
    for (long long i = 0; i < columns && !full_; ++i) {
      const double x0 = sx + static_cast<double>(i) * h;
      const double x1 = x0 + h;
      for (std::size_t j = 0; j <= n_rows; ++j) {
        const double y = sy + static_cast<double>(j) * g;
        if (i == 0) left[j] = F(x0, y);
        right[j] = F(x1, y);
      }
      EdgeRoot below;  // the top edge of the cell below
      for (std::size_t j = 0; j < n_rows && !full_; ++j) {
        const double y0 = sy + static_cast<double>(j) * g;
        const double y1 = y0 + g;
        EdgeRoot e[4];  // bottom, top, left, right
        e[0] = j == 0 ? Root(x0, y0, left[j], x1, y0, right[j]) : below;
        e[1] = Root(x0, y1, left[j + 1], x1, y1, right[j + 1]);
        e[2] = i == 0 ? Root(x0, y0, left[j], x0, y1, left[j + 1]) : left_roots[j];
        e[3] = Root(x1, y0, right[j], x1, y1, right[j + 1]);
        below = e[1];
        right_roots[j] = e[3];
        Cell(e, x0, y0, x1, y1, h, g, depth);
      }
      std::swap(left, right);
      std::swap(left_roots, right_roots);
    }
  }

  bool full() const { return full_; }

 private:
  double F(double x, double y) {
    vars_.bind(0, kColumnX, x);
    vars_.bind(0, kColumnY, y);
    return f_.Evaluate(vars_);
  }

  // The root of F on the edge P..Q (one coordinate fixed) by bisection.
  EdgeRoot Root(double px, double py, double fp, double qx, double qy, double fq) {
    if (std::fabs(fp) < kZeroValue) return {true, px, py};
    if (std::fabs(fq) < kZeroValue) return {true, qx, qy};
    if (!(fp * fq <= 0)) return {};
    const double length = std::fabs(qx - px) + std::fabs(qy - py);
    double a = 0, b = 1, fa = fp, mid = 0.5;
    for (int k = 0; k < kBisectionLimit; ++k) {
      mid = (a + b) / 2;
      const double fm = F(px + mid * (qx - px), py + mid * (qy - py));
      if (fa * fm <= 0) {
        b = mid;
      } else {
        a = mid;
        fa = fm;
      }
      if ((b - a) * length < tolerance_) break;
    }
    return {true, px + mid * (qx - px), py + mid * (qy - py)};
  }

  static bool Near(const EdgeRoot& r, double x, double y) {
    return std::fabs(r.x - x) + std::fabs(r.y - y) <= kZeroValue;
  }

  void Cell(EdgeRoot (&e)[4], double x0, double y0, double x1, double y1, double h, double g,
            int depth) {
    int n = 0;
    for (const EdgeRoot& r : e)
      n += r.has ? 1 : 0;
    if (n >= 3 && depth == level_) {
      // A root on a corner is found by both edges meeting there: count it once.
      const double cx[2] = {x0, x1};
      const double cy[2] = {y0, y1};
      for (int side = 0; side < 2; ++side) {             // bottom (0) or top (1)
        for (int upright = 2; upright < 4; ++upright) {  // left (2) or right (3)
          const double x = cx[upright - 2], y = cy[side];
          if (e[side].has && e[upright].has && Near(e[side], x, y) && Near(e[upright], x, y)) {
            e[upright].has = false;
            --n;
          }
        }
      }
    }
    if (n == 2) {
      const EdgeRoot* pair[2];
      int k = 0;
      for (const EdgeRoot& r : e)
        if (r.has && k < 2) pair[k++] = &r;
      AppendSegment(*pair[0], *pair[1]);
    } else if (n >= 3) {
      Trace(x0, x1, y0, y1, h / kSubdivision, g / kSubdivision, depth + 1);
    }
  }

  void AppendSegment(const EdgeRoot& a, const EdgeRoot& b) {
    if (out_.last() + 2 >= kMaxSampleEntries) {
      full_ = true;
      return;
    }
    if (condition_ != nullptr && condition_->Evaluate(vars_) == 0) {
      out_.AppendBreak();
      out_.AppendBreak();
      return;
    }
    out_.Append(a.x, a.y);
    out_.Append(b.x, b.y);
  }

  CurveProgram& f_;
  CurveProgram* condition_;
  VariableTable& vars_;
  SampleList& out_;
  int level_;
  double tolerance_;
  bool full_ = false;
};

// The hatching of a region: lines through the lattice sx + i*w, sy + j*w.
class Hatcher {
 public:
  Hatcher(CurveProgram& f, VariableTable& vars, const ImplicitSpec& spec, double ex, double ey,
          SampleList& out)
      : f_(f), vars_(vars), spec_(spec), out_(out) {
    imax_ = LastIndex(spec.sx, ex, spec.w);
    jmax_ = LastIndex(spec.sy, ey, spec.w);
  }

  // Walks every hatch line; returns the summed length of the inside runs.
  double Run() {
    if (imax_ < 0 || jmax_ < 0) return 0;
    if (static_cast<double>(imax_ + 1) * static_cast<double>(jmax_ + 1) > kMaxImplicitCells)
      return 0;
    switch (spec_.hatch) {
      case kHatchHorizontal:
        for (long long j = 0; j <= jmax_; ++j)
          Line(0, j, 1, 0);
        break;
      case kHatchVertical:
        for (long long i = 0; i <= imax_; ++i)
          Line(i, 0, 0, 1);
        break;
      case kHatchFalling:
        // Lines i + j = k, walked up and to the left from the bottom or right side.
        for (long long k = 0; k <= imax_ + jmax_; ++k) {
          const long long i = std::min(k, imax_);
          Line(i, k - i, -1, 1);
        }
        break;
      default:
        // Lines j - i = k, walked up and to the right from the left or bottom side.
        for (long long k = -imax_; k <= jmax_; ++k) {
          const long long i = std::max<long long>(0, -k);
          Line(i, i + k, 1, 1);
        }
        break;
    }
    return sum_;
  }

 private:
  static long long LastIndex(double start, double end, double w) {
    const double q = (end - start) / w;
    if (!std::isfinite(q) || q < 0) return -1;
    return static_cast<long long>(std::floor(std::fmin(q, kMaxImplicitCells)));
  }

  bool Inside(double x, double y) {
    vars_.bind(0, kColumnX, std::trunc(x * 1e8) / 1e8);
    vars_.bind(0, kColumnY, std::trunc(y * 1e8) / 1e8);
    const double v = f_.Evaluate(vars_);
    if (f_.math_error()) return false;
    switch (spec_.relation) {
      case kRelationGreater:
        return v > 0;
      case kRelationGreaterEqual:
        return v >= 0;
      case kRelationLess:
        return v < 0;
      default:
        return v <= 0;
    }
  }

  // The boundary between two lattice points of different state.
  void Boundary(double ax, double ay, bool a_inside, double bx, double by, double& x, double& y) {
    for (int k = 0; k < kBisectionLimit; ++k) {
      if (std::fabs(bx - ax) + std::fabs(by - ay) < kBoundaryPrecision) break;
      const double mx = (ax + bx) / 2, my = (ay + by) / 2;
      if (Inside(mx, my) == a_inside) {
        ax = mx;
        ay = my;
      } else {
        bx = mx;
        by = my;
      }
    }
    x = (ax + bx) / 2;
    y = (ay + by) / 2;
  }

  void Put(double x, double y, int& appended) {
    if (out_.size() >= kHatchEntryLimit) return;
    out_.Append(x, y);
    ++appended;
  }

  void Line(long long i, long long j, int di, int dj) {
    int appended = 0;
    bool open = false, before = false;
    double ox = 0, oy = 0, px = 0, py = 0;
    auto close = [&](double x, double y) {
      Put(x, y, appended);
      sum_ += std::hypot(x - ox, y - oy);
      open = false;
    };
    for (bool first = true; i >= 0 && i <= imax_ && j >= 0 && j <= jmax_;
         i += di, j += dj, first = false) {
      const double x = spec_.sx + static_cast<double>(i) * spec_.w;
      const double y = spec_.sy + static_cast<double>(j) * spec_.w;
      const bool inside = Inside(x, y);
      if (first) {
        if (inside) {
          open = true;
          ox = x;
          oy = y;
          Put(x, y, appended);
        }
      } else if (inside != before) {
        double bx, by;
        Boundary(px, py, before, x, y, bx, by);
        if (inside) {
          open = true;
          ox = bx;
          oy = by;
          Put(bx, by, appended);
        } else if (open) {
          close(bx, by);
        }
      }
      before = inside;
      px = x;
      py = y;
    }
    if (open) close(px, py);
    if (appended % 2 != 0) out_.AppendBreak();
  }

  CurveProgram& f_;
  VariableTable& vars_;
  const ImplicitSpec& spec_;
  SampleList& out_;
  long long imax_ = -1, jmax_ = -1;
  double sum_ = 0;
};

}  // namespace

double TraceImplicitCurve(CurveProgram& f, CurveProgram* condition, VariableTable& vars,
                          const ImplicitSpec& spec, SampleList& out) {
  if (!(spec.w >= kMinimumStep)) return spec.w;
  const double w = CellWithinCap(spec);
  Tracer tracer(f, condition, vars, spec, out);
  tracer.Trace(spec.sx, spec.ex, spec.sy, spec.ey, w, w, 1);
  return w;
}

double HatchRegion(CurveProgram& f, CurveProgram* condition, VariableTable& vars,
                   const ImplicitSpec& spec, SampleList& out) {
  const double w = spec.w;
  if (!(w >= kMinimumStep)) return w;
  const double ex = spec.ex + w / 20;
  const double ey = spec.ey + w / 20;
  const double sum = Hatcher(f, vars, spec, ex, ey, out).Run();
  double area = sum * w;
  if (spec.hatch == kHatchRising || spec.hatch == kHatchFalling || spec.hatch < kHatchRising ||
      spec.hatch > kHatchVertical)
    area = sum * w / std::numbers::sqrt2 -
           (std::fabs(ex - spec.sx) * w + std::fabs(ey - spec.sy) * w) / 4;
  out.Append(kRegionSeparator, kRegionSeparator);
  out.Append(kRegionSeparator, kRegionSeparator);
  ImplicitSpec boundary = spec;
  boundary.ex = ex;
  boundary.ey = ey;
  const double traced = TraceImplicitCurve(f, condition, vars, boundary, out);
  if (out.last() + 10 < kMaxSampleEntries) {
    out.AppendBreak();
    out.AppendBreak();
    out.Append(kRegionAreaMark, area);
    out.Append(ex, ey);
  }
  return traced;
}

}  // namespace qzarn
