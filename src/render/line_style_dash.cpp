#include "render/line_style_dash.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

#include "render/line_style_dda.h"

namespace qzarn::render {
namespace {

int RoundToPixel(double v) {
  return static_cast<int>(std::lrint(v));
}

bool Reachable(double v) {
  return std::isfinite(v) && std::fabs(v) < kMaxDeviceCoordinate;
}

// The coordinate at `at` along the segment a-b, measured on the other axis.
int Interpolate(double a_main, double a_other, double b_main, double b_other, double at) {
  return RoundToPixel(a_other + (at - a_main) * (b_other - a_other) / (b_main - a_main));
}

}  // namespace

LinePainter::LinePainter(LineSurface surface) : surface_(std::move(surface)) {
  if (surface_.styles == nullptr) surface_.styles = &DefaultLineStyles();
}

void LinePainter::BeginDash(bool suspend) {
  FlushDashed();  // the strokes kept so far belong to the pattern before
  dash_.phase = 0;
  dash_.pen_down = false;
  if (suspend) return;
  Canvas& canvas = *surface_.canvas;
  Pen pen = canvas.pen();
  dash_.saved_style = pen.style;
  const int entry = LineStyleEntryOf(pen.style);
  if (entry < 0) {
    dash_.scale = -1;
    dash_.pattern.clear();
    return;
  }
  pen.style = PenStyle::kSolid;
  canvas.SetPen(pen);
  dash_.scale = surface_.pattern_scale;
  dash_.pattern = ExpandPattern(surface_.styles->entries[entry], pen.width, dash_.scale);
}

PointF LinePainter::ToDevice(double x, double y) const {
  return surface_.to_device ? surface_.to_device(x, y) : PointF{x, y};
}

std::optional<std::pair<Point, Point>> LinePainter::Admit(PointF a, PointF b) const {
  if (!Reachable(a.x) || !Reachable(a.y) || !Reachable(b.x) || !Reachable(b.y)) {
    return std::nullopt;
  }
  const double w = surface_.width;
  const double h = surface_.height;
  if ((a.y < 0 && b.y < 0) || (a.y > h && b.y > h) || (a.x < 0 && b.x < 0) ||
      (a.x > w && b.x > w)) {
    return std::nullopt;
  }
  return std::pair{Point{RoundToPixel(a.x), RoundToPixel(a.y)},
                   Point{RoundToPixel(b.x), RoundToPixel(b.y)}};
}

void LinePainter::DrawSegment(double x1, double y1, double x2, double y2) {
  DrawDeviceSegment(ToDevice(x1, y1), ToDevice(x2, y2));
}

void LinePainter::DrawDeviceSegment(PointF from, PointF to) {
  std::optional<std::pair<Point, Point>> ends = Admit(from, to);
  if (!ends) return;
  Canvas& canvas = *surface_.canvas;
  if (canvas.pen().width == 0) return;
  auto [a, b] = *ends;

  if (dash_.active()) {
    const int period = static_cast<int>(dash_.pattern.size());
    if (period == 0) return;  // a style without runs draws nothing
    if (canvas.DrawsDashPatterns()) {
      KeepDashed(a, b);
      return;
    }
    Point down_at = a;
    marks_.clear();
    // Marks wholly outside the device (or the part of it the canvas keeps)
    // are stepped (the phase runs on) but not handed over: a whole line is
    // several times longer than the view, and a rectangle redrawn may be a
    // small part of it.
    const int margin = canvas.pen().width + 1;
    const Rect kept = surface_.kept.value_or(Rect{0, 0, static_cast<int>(std::ceil(surface_.width)),
                                                  static_cast<int>(std::ceil(surface_.height))});
    const int left = kept.left - margin, top = kept.top - margin;
    const int right = kept.right + margin, bottom = kept.bottom + margin;
    auto beyond = [&](Point p, int edge) {
      switch (edge) {
        case 0:
          return p.x < left;
        case 1:
          return p.y < top;
        case 2:
          return p.x > right;
        default:
          return p.y > bottom;
      }
    };
    // Not both beyond the same edge (this runs for every mark of a grid).
    auto keep = [&](Point p, Point q) {
      return std::max(p.x, q.x) >= left && std::min(p.x, q.x) <= right &&
             std::max(p.y, q.y) >= top && std::min(p.y, q.y) <= bottom;
    };
    const LineWalk walk(a, b);
    const long long n = walk.steps();
    const int phase0 = dash_.phase;
    auto ink_at = [&](long long step) {
      return dash_.pattern[static_cast<std::size_t>((phase0 + step + 1) % period)] == 1;
    };
    // The steps at either end that lie beyond one edge (the walk's coordinates
    // only grow or only shrink, so they are a run from that end): no mark
    // with both ends among them is kept, so they are skipped, not stepped.
    auto beyond_run = [&](bool at_start) {
      long long longest = 0;
      for (int edge = 0; edge < 4; ++edge) {
        auto holds = [&](long long k) {  // the first (last) k steps are beyond
          return beyond(walk.At(at_start ? k - 1 : n - k), edge);
        };
        if (!holds(1)) continue;
        long long lo = 1, hi = n;
        while (lo < hi) {
          const long long mid = lo + (hi - lo + 1) / 2;
          if (holds(mid)) {
            lo = mid;
          } else {
            hi = mid - 1;
          }
        }
        longest = std::max(longest, lo);
      }
      return longest;
    };
    const long long skip_start = n > 0 ? beyond_run(true) : 0;
    const long long skip_end = std::min(n - skip_start, n > 0 ? beyond_run(false) : 0);
    if (skip_start > 0) {
      // The pen as it stands after the skipped steps, and where it came down.
      dash_.phase = static_cast<int>((phase0 + skip_start) % period);
      dash_.pen_down = ink_at(skip_start - 1);
      if (dash_.pen_down) {
        long long start = skip_start - 1;
        while (start > 0 && ink_at(start - 1) && skip_start - start <= period)
          --start;
        // A run longer than the pattern is a pattern without gaps.
        if (start > 0 && ink_at(start - 1)) start = 0;
        down_at = walk.At(start);
      }
    }
    // The phase and pen in locals, the phase stepped without a division:
    // this runs for every pixel of a dashed line.
    int phase = dash_.phase % period;
    bool pen_down = dash_.pen_down;
    const std::uint8_t* pattern = dash_.pattern.data();
    walk.Walk(skip_start, n - skip_end, [&](Point p) {
      if (++phase == period) phase = 0;
      const bool ink = pattern[phase] == 1;
      if (ink && !pen_down) {
        pen_down = true;
        down_at = p;
      } else if (!ink && pen_down) {
        pen_down = false;
        if (keep(down_at, p)) {
          marks_.push_back(down_at);
          marks_.push_back(p);
        }
      }
    });
    dash_.phase = phase;
    dash_.pen_down = pen_down;
    if (dash_.pen_down) {
      // A mark running into the skipped end stops at its first gap there;
      // the marks after that lie wholly beyond.
      Point end = b;
      for (long long j = n - skip_end; j < n && j < n - skip_end + period; ++j)
        if (!ink_at(j)) {
          end = walk.At(j);
          break;
        }
      if (keep(down_at, end)) {
        marks_.push_back(down_at);
        marks_.push_back(end);
      }
    }
    dash_.phase = static_cast<int>((phase0 + n) % period);
    dash_.pen_down = false;
    Emit(marks_);
    return;
  }

  if (surface_.printing) std::tie(a, b) = ClipForPrint(a, b, surface_.width, surface_.height);
  if (a == b) return;
  if (in_run_) {
    run_.push_back(a);
    run_.push_back(b);
    return;
  }
  canvas.DrawLine(a, b);
}

void LinePainter::Emit(std::span<const Point> ends) {
  if (in_run_) {
    run_.insert(run_.end(), ends.begin(), ends.end());
  } else {
    surface_.canvas->DrawLines(ends);
  }
}

void LinePainter::KeepDashed(Point a, Point b) {
  const long long steps = LineSteps(a, b);
  if (steps == 0) return;  // no pixel stepped: nothing drawn, the phase stays
  if (in_run_ && !dashed_.empty() && dashed_.back().points.back() == a) {
    dashed_.back().points.push_back(b);
  } else {
    dashed_.push_back(DashedPolyline{{a, b}, dash_.phase});
  }
  const auto period = static_cast<long long>(dash_.pattern.size());
  dash_.phase = static_cast<int>((dash_.phase + steps) % period);
  if (!in_run_) FlushDashed();
}

void LinePainter::FlushDashed() {
  if (dashed_.empty()) return;
  surface_.canvas->DrawDashedPolylines(dashed_, dash_.pattern);
  dashed_.clear();
}

void LinePainter::BeginRun() {
  EndRun();
  in_run_ = true;
}

void LinePainter::EndRun() {
  if (!in_run_) return;
  in_run_ = false;
  FlushDashed();
  if (!run_.empty()) surface_.canvas->DrawJoinedLines(run_);
  run_.clear();
}

void LinePainter::DrawPlainSegment(double x1, double y1, double x2, double y2) {
  DrawPlainDeviceSegment(ToDevice(x1, y1), ToDevice(x2, y2));
}

void LinePainter::DrawPlainDeviceSegment(PointF from, PointF to) {
  std::optional<std::pair<Point, Point>> ends = Admit(from, to);
  if (!ends || ends->first == ends->second) return;
  surface_.canvas->DrawLine(ends->first, ends->second);
}

std::pair<Point, Point> ClipForPrint(Point a, Point b, double width, double height) {
  const long long dx = static_cast<long long>(b.x) - a.x;
  const long long dy = static_cast<long long>(b.y) - a.y;
  if (std::llabs(dy) < std::llabs(dx)) {
    if (a.x > b.x) std::swap(a, b);
    const Point a0 = a, b0 = b;  // both moves follow the original segment
    if (a0.x < 0) a = {0, Interpolate(a0.x, a0.y, b0.x, b0.y, 0)};
    if (b0.x > width) {
      const int right = RoundToPixel(width);
      b = {right, Interpolate(a0.x, a0.y, b0.x, b0.y, right)};
    }
  } else if (dy != 0) {
    if (a.y > b.y) std::swap(a, b);
    const Point a0 = a, b0 = b;
    if (a0.y < 0) a = {Interpolate(a0.y, a0.x, b0.y, b0.x, 0), 0};
    if (b0.y > height) {
      const int bottom = RoundToPixel(height);
      b = {Interpolate(a0.y, a0.x, b0.y, b0.x, bottom), bottom};
    }
  }
  return {a, b};
}

}  // namespace qzarn::render
