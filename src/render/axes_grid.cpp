#include "render/axes_grid.h"
#include "platform/c_number_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <unordered_set>

namespace qzarn::render {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kStep30 = kPi / 6;  // 30 degrees in plane units
// Grid and label loops stop here whatever the settings say: a stored interval
// of 0.01 at zoom 10 % on a 2500 pixel surface needs about 10^5 positions.
constexpr long kMaxPositions = 200000;
// A dotted grid denser than this covers the surface with overlapping marks (a
// 2500 x 2500 surface has 6.25 million pixels, and every mark is at least 3
// pixels wide), so such a grid is left out instead of planned: a damaged or
// extreme view (a huge surface, a tiny scale with a 0.01 interval) would
// otherwise ask for billions of marks and stall the window.
constexpr std::size_t kMaxGridDots = 2000000;

// A manual interval as read from a file may be zero or negative; the dialog
// never stores less than 0.01, so that is the smallest step we walk.
double SafeInterval(double v) {
  return std::isfinite(v) && v >= 0.01 ? v : 0.01;
}

long Round(double v) {
  double r = RoundHalfEven(v);
  if (!(std::fabs(r) < 1e9)) return r > 0 ? 1000000000L : -1000000000L;
  return static_cast<long>(r);
}

int LabelStep(const AxisSettings& a, int none_chosen) {
  return a.label_step == 0 ? none_chosen : a.label_step;
}

std::string DegreeSign(bool japanese_font) {
  // Half-width katakana semi-voiced mark in a Shift-JIS font, the Latin-1
  // degree sign otherwise.
  return japanese_font ? "\uFF9F" : "\u00B0";
}

// Keeps the first of the positions that fall on the same device pixel. Grid
// lines or dots closer than a pixel paint the same pixels again, and a small
// interval at a low zoom (0.01 at 10 %) would otherwise ask for a hundred
// thousand full-length lines each redraw.
template <typename ToPixel>
void KeepOnePerPixel(std::vector<double>& positions, ToPixel&& to_pixel) {
  std::unordered_set<long long> seen;
  std::erase_if(positions, [&](double v) {
    const double px = std::round(to_pixel(v));
    const long long key = std::fabs(px) < 4e18 ? static_cast<long long>(px) : 0;
    return !seen.insert(key).second;
  });
}

// Positions k * step for k = 0, 1, 2 ... while k * step <= limit (limit >= 0).
template <typename F>
void WalkMultiples(double step, double limit, F&& f) {
  for (long k = 0; k <= kMaxPositions; ++k) {
    double v = static_cast<double>(k) * step;
    if (v > limit) break;
    f(k, v);
  }
}

// Grid positions along one axis in the standard kinds (both signs, 0 once).
std::vector<double> StandardLinePositions(const AxisSettings& a, double z, double lo, double hi) {
  std::vector<double> out;
  if (a.automatic) {
    const long up = std::min(Round(hi), kMaxPositions);
    const long down = std::min(Round(-lo), kMaxPositions);
    for (long i = 0; i <= up; ++i)
      if (z >= 1 || i % 5 == 0) out.push_back(static_cast<double>(i));
    for (long i = 1; i <= down; ++i)
      if (z >= 1 || i % 5 == 0) out.push_back(-static_cast<double>(i));
  } else {
    const double step = SafeInterval(a.interval);
    WalkMultiples(step, hi, [&](long, double v) { out.push_back(v); });
    WalkMultiples(step, -lo, [&](long k, double v) {
      if (k > 0) out.push_back(-v);
    });
  }
  return out;
}

// Grid positions along x in the degree and radian kinds.
std::vector<double> ThirtyDegreeLinePositions(const AxisSettings& a, double z, double left,
                                              double right) {
  std::vector<double> out;
  if (a.automatic) {
    const long every = z > 2 ? 1 : (z >= 1 ? 3 : 12);
    const long up = std::min(Round(2 * right), kMaxPositions);
    const long down = std::min(Round(-2 * left), kMaxPositions);
    for (long k = 0; k <= up; ++k)
      if (k % every == 0) out.push_back(static_cast<double>(k) * kStep30);
    for (long k = 1; k <= down; ++k)
      if (k % every == 0) out.push_back(-static_cast<double>(k) * kStep30);
  } else {
    const double step = SafeInterval(a.interval);
    WalkMultiples(step, static_cast<double>(Round(2 * right)),
                  [&](long, double k) { out.push_back(k * kStep30); });
    WalkMultiples(step, static_cast<double>(Round(-2 * left)), [&](long i, double k) {
      if (i > 0) out.push_back(-k * kStep30);
    });
  }
  return out;
}

// Dot positions along one axis: multiples of step within [lo, hi], origin first.
std::vector<double> DotPositions(double step, double lo, double hi) {
  std::vector<double> out;
  WalkMultiples(step, hi, [&](long, double v) { out.push_back(v); });
  WalkMultiples(step, -lo, [&](long k, double v) {
    if (k > 0) out.push_back(-v);
  });
  return out;
}

void PlanPolarGrid(const ViewTransform& view, const AxesSettings& axes, GridPlan& plan) {
  const double z = view.zoom;
  const double bound = view.surface_width / view.scale / z;  // R
  if (plan.as_dots) {
    const double step = axes.x.automatic ? (z >= 1 ? 1.0 : 5.0) : SafeInterval(axes.x.interval);
    const double n = axes.y.automatic ? 12.0 : SafeInterval(axes.y.interval);
    const long rays = std::min(Round(2 * n), kMaxPositions);
    const long half = std::max(Round(n), 1L);
    const std::size_t per_ray = static_cast<std::size_t>(
        std::min(static_cast<double>(kMaxPositions) + 1,
                 std::floor(static_cast<double>(Round(bound)) / step) + 1));
    if (static_cast<double>(rays) * static_cast<double>(per_ray) > kMaxGridDots) return;
    plan.dots.push_back({0, 0});
    for (long c = 0; c < rays; ++c) {
      const double angle = static_cast<double>(c) / static_cast<double>(half) * kPi;
      WalkMultiples(step, static_cast<double>(Round(bound)), [&](long k, double r) {
        if (k > 0) plan.dots.push_back({r * std::cos(angle), r * std::sin(angle)});
      });
    }
    return;
  }
  if (axes.x.automatic) {
    const long last = std::min(Round(bound), kMaxPositions);
    for (long i = 1; i <= last; ++i)
      if (z >= 1 || i % 5 == 0) plan.circles.push_back(static_cast<double>(i));
  } else {
    WalkMultiples(SafeInterval(axes.x.interval), static_cast<double>(Round(bound)),
                  [&](long k, double r) {
                    if (k > 0) plan.circles.push_back(r);
                  });
  }
  KeepOnePerPixel(plan.circles, [&](double radius) { return radius * view.UnitPixels(); });
  const long count =
      axes.y.automatic ? 12 : std::min(Round(SafeInterval(axes.y.interval)), kMaxPositions);
  for (long i = 0; i < count; ++i) {
    if (i == 0 && axes.show_axes) continue;  // the X axis covers it
    const double angle = static_cast<double>(i) / static_cast<double>(count) * kPi;
    const double c = bound * std::cos(angle), s = bound * std::sin(angle);
    plan.lines.push_back({{-c, -s}, {c, s}});
  }
}

// Ticks and labels of one axis side. positions are plane values along the
// axis (signed); label(i, v) gives the label text or "" for a tick only.
struct TickSink {
  std::vector<PlaneSegment>* ticks;
  std::vector<AxisLabel>* labels;
  AxisId axis;
  double half;          // tick half length t0 + own half width
  double label_offset;  // o0 - half width of the other axis
  void Tick(double v) {
    if (axis == AxisId::kX)
      ticks->push_back({{v, -half}, {v, half}});
    else
      ticks->push_back({{half, v}, {-half, v}});
  }
  void Label(double v, std::string text) {
    if (text.empty()) return;
    AxisLabel l;
    l.text = std::move(text);
    l.axis = axis;
    if (axis == AxisId::kX) {
      l.x = v;
      l.y = label_offset;
      l.h = HAnchor::kCentre;
      l.v = VAnchor::kTop;
    } else {
      l.x = label_offset;
      l.y = v;
      l.h = HAnchor::kRight;
      l.v = VAnchor::kMiddle;
    }
    labels->push_back(std::move(l));
  }
};

// Standard counting on one side: sign +1 or -1; extent = round(right) - round(2h) for
// the positive side (the loop ends one unit before it), round(-left) for the negative.
void StandardSide(TickSink& sink, const AxisSettings& a, int label_step, double z, int sign,
                  long auto_last, double manual_bound, bool grid_shown, bool force_manual,
                  double manual_interval) {
  if (a.automatic && !force_manual) {
    const long n = z >= 1 ? 5 : (z >= 0.5 ? 10 : 20);
    for (long g = 1; g <= std::min(auto_last, kMaxPositions); ++g) {
      if (z > 2 || g % n == 0) {
        const double v = sign * static_cast<double>(g);
        sink.Tick(v);
        sink.Label(v, std::to_string(sign * g));
      }
    }
    return;
  }
  const double step = SafeInterval(manual_interval);
  WalkMultiples(step, manual_bound, [&](long i, double c) {
    if (i == 0) return;
    const double v = sign * c;
    if (i % label_step == 0) {
      sink.Tick(v);
      sink.Label(v, FormatTickValue(v));
    } else if (!grid_shown) {
      sink.Tick(v);
    }
  });
}

// X axis counted in 30 degree steps: label(k) gives the text for step index k.
template <typename LabelFn>
void ThirtyDegreeSide(TickSink& sink, const AxisSettings& a, double z, int sign, long auto_last,
                      double manual_bound, bool grid_shown, LabelFn&& label) {
  if (a.automatic) {
    const long every = z >= 1 ? 3 : (z >= 0.5 ? 6 : 12);
    for (long k = 1; k <= std::min(auto_last, kMaxPositions); ++k) {
      const double index = sign * static_cast<double>(k);
      if (z > 2) {
        sink.Tick(index * kStep30);
        if (k % 2 == 0) sink.Label(index * kStep30, label(index, false));
      } else if (k % every == 0) {
        sink.Tick(index * kStep30);
        sink.Label(index * kStep30, label(index, false));
      }
    }
    return;
  }
  const int step_labels = LabelStep(a, 6);
  WalkMultiples(SafeInterval(a.interval), manual_bound, [&](long i, double u) {
    if (i == 0) return;
    const double index = sign * u;
    if (i % step_labels == 0) {
      sink.Tick(index * kStep30);
      sink.Label(index * kStep30, label(index, true));
    } else if (!grid_shown) {
      sink.Tick(index * kStep30);
    }
  });
}

}  // namespace

std::string FormatTickValue(double value) {
  if (std::fabs(value) < 1e-10) return "0";
  char buf[64];
  FormatC(buf, sizeof buf, "%.1f", value);
  std::string s = buf;
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0')
      s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

std::string RadianLabel(bool fractions, double index, bool japanese_font) {
  const std::string pi = japanese_font ? "\u03C0" : "pi";
  const long d = Round(index);
  const long e = 30 * d;
  if (e == 180) return pi;
  if (e == -180) return "-" + pi;
  if (e % 180 == 0) return std::to_string(d / 6) + pi;
  if (!fractions) return "";
  return FormatTickValue(index / 6) + pi;
}

int AxisLabelFontSize(const AxesSettings& axes, double z) {
  double size = std::sqrt(z) * axes.font_size;
  const bool thirty =
      axes.kind == CoordinateKind::kDegrees || axes.kind == CoordinateKind::kRadians;
  if (thirty && z >= 1) size *= 0.9;
  return static_cast<int>(Round(size));
}

AxisMetrics ComputeAxisMetrics(const ViewTransform& view, const AxesSettings& axes,
                               const AxisLayout& layout) {
  AxisMetrics m;
  m.z = view.zoom;
  m.a = view.scale * view.zoom / 25.0;
  m.t0 = layout.axis_char_ajust / m.z;
  m.o0 = layout.axis_char_zero / m.z;
  m.hx = axes.x.width / (view.scale * m.z) / 2;
  m.hy = axes.y.width / (view.scale * m.z) / 2;
  return m;
}

GridPlan PlanGrid(const ViewTransform& view, const AxesSettings& axes) {
  GridPlan plan;
  plan.as_dots = axes.grid_as_points;
  if (!axes.show_grid) return plan;
  const double z = view.zoom;
  const PlaneRect r = view.VisibleRect();
  plan.dot_radius = std::max(1, static_cast<int>(Round(std::sqrt(z * axes.grid_width))));

  if (axes.kind == CoordinateKind::kPolar) {
    PlanPolarGrid(view, axes, plan);
    return plan;
  }
  const bool thirty =
      axes.kind == CoordinateKind::kDegrees || axes.kind == CoordinateKind::kRadians;
  if (plan.as_dots) {
    std::vector<double> xs;
    if (thirty) {
      const double step =
          axes.x.automatic ? (z < 1 ? 12.0 : (z <= 2 ? 3.0 : 1.0)) : SafeInterval(axes.x.interval);
      for (double k : DotPositions(step, 2 * r.left, 2 * r.right))
        xs.push_back(k * kStep30);
    } else {
      const double step = axes.x.automatic ? (z >= 1 ? 1.0 : 5.0) : SafeInterval(axes.x.interval);
      xs = DotPositions(step, r.left, r.right);
    }
    const double ystep = axes.y.automatic ? (z >= 1 ? 1.0 : 5.0) : SafeInterval(axes.y.interval);
    std::vector<double> ys = DotPositions(ystep, r.bottom, r.top);
    KeepOnePerPixel(xs, [&](double x) { return view.PlaneToPixelX(x); });
    KeepOnePerPixel(ys, [&](double y) { return view.PlaneToPixelY(y); });
    const auto columns =
        std::count_if(xs.begin(), xs.end(), [&](double x) { return x >= r.left && x <= r.right; });
    if (static_cast<double>(columns) * static_cast<double>(ys.size()) > kMaxGridDots) return plan;
    for (double x : xs) {
      if (x < r.left || x > r.right) continue;
      for (double y : ys)
        plan.dots.push_back({x, y});
    }
    return plan;
  }
  std::vector<double> xs = thirty ? ThirtyDegreeLinePositions(axes.x, z, r.left, r.right)
                                  : StandardLinePositions(axes.x, z, r.left, r.right);
  std::vector<double> ys = StandardLinePositions(axes.y, z, r.bottom, r.top);
  KeepOnePerPixel(xs, [&](double x) { return view.PlaneToPixelX(x); });
  KeepOnePerPixel(ys, [&](double y) { return view.PlaneToPixelY(y); });
  for (double x : xs)
    plan.lines.push_back({{x, r.top}, {x, r.bottom}});
  for (double y : ys)
    plan.lines.push_back({{r.left, y}, {r.right, y}});
  return plan;
}

AxisArrowsPlan PlanAxisArrows(const ViewTransform& view, const AxesSettings& axes,
                              const AxisLayout& layout, bool enlarge_widths) {
  AxisArrowsPlan plan;
  plan.shown = axes.show_axes;
  if (!plan.shown) return plan;
  const AxisMetrics m = ComputeAxisMetrics(view, axes, layout);
  const PlaneRect r = view.VisibleRect();
  const double length = layout.arrow_length / m.a;
  const double half = layout.arrow_half_width / m.a;
  auto px = [&](double x) { return static_cast<int>(Round(view.PlaneToPixelX(x))); };
  auto py = [&](double y) { return static_cast<int>(Round(view.PlaneToPixelY(y))); };
  auto widths = [&](int width) {
    double l = width;
    if (enlarge_widths) l *= view.print_scale;
    const int li = static_cast<int>(Round(l));
    return std::pair<int, int>{li, static_cast<int>(Round(li / 2.0))};
  };
  {
    const auto [l, mm] = widths(axes.x.width);
    const PixelPoint tip{px(r.right), py(0)};
    const int base = px(r.right - length);
    const int upper = py(half), lower = py(-half);
    const int notch = px(r.right - 0.7 * length) - l;
    const PixelPoint end{px(r.left), py(0)};
    plan.x_axis = {tip,
                   PixelPoint{base - l, upper - l},
                   PixelPoint{notch, tip.y - mm},
                   PixelPoint{end.x, end.y - mm},
                   PixelPoint{end.x, end.y + mm},
                   PixelPoint{notch, tip.y + mm},
                   PixelPoint{base - l, lower + l}};
  }
  {
    // The same shape turned to point up: "back along the axis" is +y in pixels.
    const auto [l, mm] = widths(axes.y.width);
    const PixelPoint tip{px(0), py(r.top)};
    const int base = py(r.top - length);
    const int left_barb = px(-half), right_barb = px(half);
    const int notch = py(r.top - 0.7 * length) + l;
    const PixelPoint end{px(0), py(r.bottom)};
    plan.y_axis = {tip,
                   PixelPoint{left_barb - l, base + l},
                   PixelPoint{tip.x - mm, notch},
                   PixelPoint{end.x - mm, end.y},
                   PixelPoint{end.x + mm, end.y},
                   PixelPoint{tip.x + mm, notch},
                   PixelPoint{right_barb + l, base + l}};
  }
  return plan;
}

AxisLabelsPlan PlanAxisLabels(const ViewTransform& view, const AxesSettings& axes,
                              const AxisLayout& layout) {
  AxisLabelsPlan plan;
  plan.shown = axes.show_axes;
  if (!plan.shown) return plan;
  const AxisMetrics m = ComputeAxisMetrics(view, axes, layout);
  const PlaneRect r = view.VisibleRect();
  const double z = m.z;
  plan.font_size = AxisLabelFontSize(axes, z);

  TickSink xs{&plan.x_ticks, &plan.labels, AxisId::kX, m.t0 + m.hx, m.o0 - m.hx};
  TickSink ys{&plan.y_ticks, &plan.labels, AxisId::kY, m.t0 + m.hy, m.o0 - m.hy};
  const bool grid = axes.show_grid;
  const long rx = Round(r.right), lx = Round(-r.left);
  const long ry = Round(r.top), by = Round(-r.bottom);
  const long twice_hx = Round(2 * m.hx), twice_hy = Round(2 * m.hy);

  auto origin = [&] {
    AxisLabel o;
    o.text = "O";
    o.x = m.o0 - m.hy;
    o.y = m.o0 - m.hx;
    o.h = HAnchor::kRight;
    o.v = VAnchor::kTop;
    plan.labels.push_back(o);
  };

  if (axes.kind == CoordinateKind::kDegrees || axes.kind == CoordinateKind::kRadians) {
    const bool radians = axes.kind == CoordinateKind::kRadians;
    auto label = [&](double index, bool fractions) -> std::string {
      if (radians) return RadianLabel(fractions, index, axes.japanese_font);
      return std::to_string(Round(index * 30)) + DegreeSign(axes.japanese_font);
    };
    const long pos_last = Round(2 * r.right - kPi / 2 - static_cast<double>(twice_hx));
    const long neg_last = Round(-2 * r.left - kPi / 2);
    const double pos_bound = static_cast<double>(Round(2 * r.right - kPi / 2) - twice_hx);
    const double neg_bound = static_cast<double>(Round(-2 * r.left - kPi / 2));
    ThirtyDegreeSide(xs, axes.x, z, +1, pos_last, pos_bound, grid, label);
    origin();
    ThirtyDegreeSide(xs, axes.x, z, -1, neg_last, neg_bound, grid, label);
  } else {
    const int step = LabelStep(axes.x, 5);
    const double iv = SafeInterval(axes.x.interval);
    StandardSide(xs, axes.x, step, z, +1, rx - twice_hx - 1,
                 static_cast<double>(rx - twice_hx) - iv, grid, false, axes.x.interval);
    origin();
    StandardSide(xs, axes.x, step, z, -1, lx - 1, static_cast<double>(lx) - iv, grid, false,
                 axes.x.interval);
  }

  // Y axis: negative side first. In the polar kind both axes count radius and the
  // Y axis follows the X axis's manual rule.
  const bool polar = axes.kind == CoordinateKind::kPolar;
  const AxisSettings& ya = axes.y;
  const int ystep = polar ? LabelStep(axes.x, 5) : LabelStep(ya, 5);
  const double yinterval = polar ? axes.x.interval : ya.interval;
  const double yiv = SafeInterval(yinterval);
  StandardSide(ys, ya, ystep, z, -1, by - 1, static_cast<double>(by) - yiv, grid, polar, yinterval);
  StandardSide(ys, ya, ystep, z, +1, ry - twice_hy - 1, static_cast<double>(ry - twice_hy) - yiv,
               grid, polar, yinterval);

  AxisLabel xname;
  xname.text = axes.x.name;
  xname.x = r.right + layout.axis_x_char_x / z;
  xname.y = layout.axis_x_char_y / z + 2 * m.hx;
  xname.h = HAnchor::kRight;
  xname.v = VAnchor::kBottom;
  xname.italic = true;
  AxisLabel yname;
  yname.text = axes.y.name;
  yname.x = layout.axis_y_char_x / z + 2 * m.hy;
  yname.y = r.top - layout.axis_y_char_y / z;
  yname.h = HAnchor::kLeft;
  yname.v = VAnchor::kTop;
  yname.axis = AxisId::kY;
  yname.italic = true;
  if (!xname.text.empty()) plan.labels.push_back(xname);
  if (!yname.text.empty()) plan.labels.push_back(yname);
  return plan;
}

}  // namespace qzarn::render
