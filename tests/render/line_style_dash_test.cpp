#include "render/line_style_dash.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "render/line_style_dda.h"
#include "render/recording_canvas.h"

namespace qzarn::render {
namespace {

using Pixels = std::set<std::pair<int, int>>;

// Pixels inked by the recorded 1-pixel lines: a line covers its stepped
// points, the end excluded, like the device line it stands for.
Pixels Inked(const RecordingCanvas& canvas) {
  Pixels out;
  for (const CanvasCall& c : canvas.CallsOf(CallKind::kLine)) {
    Point a{static_cast<int>(c.points[0].x), static_cast<int>(c.points[0].y)};
    Point b{static_cast<int>(c.points[1].x), static_cast<int>(c.points[1].y)};
    for (Point p : LinePoints(a, b))
      out.insert({p.x, p.y});
  }
  return out;
}

std::set<int> InkedColumns(const RecordingCanvas& canvas) {
  std::set<int> columns;
  for (auto [x, y] : Inked(canvas))
    columns.insert(x);
  return columns;
}

struct Fixture {
  RecordingCanvas canvas{{640, 480}};
  LinePainter painter;
  explicit Fixture(PenStyle style, int width = 1, bool printing = false)
      : painter(LineSurface{&canvas, 640, 480, printing, 1, nullptr, nullptr, {}}) {
    canvas.SetPen({kBlack, width, style});
    painter.BeginDash();
    canvas.ClearCalls();
  }
};

TEST(DrawSegment, DefaultDashAtWidthOne) {
  Fixture f(PenStyle::kDash);
  EXPECT_TRUE(f.painter.dash().active());
  EXPECT_EQ(f.canvas.pen().style, PenStyle::kSolid);  // the marks are drawn solid
  f.painter.DrawSegment(10, 5, 30, 5);
  // Pattern 0,0,1,1,1,1 (period 6); the phase advances before each pixel, so
  // the first pixel reads byte 1 and ink starts at the second pixel.
  std::vector<CanvasCall> lines = f.canvas.CallsOf(CallKind::kLine);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].points, (std::vector<PointF>{{11, 5}, {15, 5}}));
  EXPECT_EQ(lines[1].points, (std::vector<PointF>{{17, 5}, {21, 5}}));
  EXPECT_EQ(lines[2].points, (std::vector<PointF>{{23, 5}, {27, 5}}));
  EXPECT_EQ(lines[3].points, (std::vector<PointF>{{29, 5}, {30, 5}}));  // pen still down at the end
  EXPECT_EQ(f.painter.dash().phase, 20 % 6);
  EXPECT_FALSE(f.painter.dash().pen_down);
}

TEST(DrawSegment, PhaseRunsOnAcrossPolylineJoints) {
  // One long flat line and the same line cut into uneven pieces ink the same
  // columns (the pieces may round their rows differently).
  for (PenStyle style :
       {PenStyle::kDash, PenStyle::kDot, PenStyle::kDashDot, PenStyle::kDashDotDot}) {
    Fixture whole(style);
    whole.painter.DrawSegment(0, 0, 90, 45);
    Fixture pieces(style);
    const int cuts[] = {0, 7, 10, 11, 23, 40, 41, 42, 66, 90};
    for (std::size_t i = 0; i + 1 < std::size(cuts); ++i) {
      pieces.painter.DrawSegment(cuts[i], cuts[i] / 2, cuts[i + 1], cuts[i + 1] / 2);
    }
    EXPECT_EQ(InkedColumns(whole.canvas), InkedColumns(pieces.canvas)) << static_cast<int>(style);
    EXPECT_FALSE(Inked(whole.canvas).empty());
  }
}

TEST(DrawSegment, BeginDashRestartsThePhase) {
  Fixture f(PenStyle::kDash);
  f.painter.DrawSegment(0, 0, 3, 0);
  EXPECT_EQ(f.painter.dash().phase, 3);
  f.painter.BeginDash(/*suspend=*/true);
  EXPECT_EQ(f.painter.dash().phase, 0);
  EXPECT_TRUE(f.painter.dash().active());  // the pattern is kept
}

TEST(DrawSegment, SolidPenDrawsOneLine) {
  Fixture f(PenStyle::kSolid, 3);
  EXPECT_FALSE(f.painter.dash().active());
  f.painter.DrawSegment(10.4, 20.5, 100.6, 21.5);
  std::vector<CanvasCall> lines = f.canvas.CallsOf(CallKind::kLine);
  ASSERT_EQ(lines.size(), 1u);
  // Ends rounded to the nearest pixel, halves to even.
  EXPECT_EQ(lines[0].points, (std::vector<PointF>{{10, 20}, {101, 22}}));
  EXPECT_TRUE(lines[0].integer);
  EXPECT_EQ(lines[0].state.pen.width, 3);
}

TEST(DrawSegment, ClearPenStaysClear) {
  Fixture f(PenStyle::kClear);
  EXPECT_FALSE(f.painter.dash().active());
  EXPECT_EQ(f.canvas.pen().style, PenStyle::kClear);
}

struct RejectCase {
  const char* name;
  PointF a, b;
  bool drawn;
};

TEST(DrawSegment, RejectsSegmentsThatCannotReachTheSurface) {
  const std::vector<RejectCase> cases = {
      {"inside", {10, 10}, {20, 20}, true},
      {"crossing the surface", {-100, 240}, {800, 240}, true},
      {"both above", {10, -1}, {600, -5}, false},
      {"both below", {10, 481}, {600, 500}, false},
      {"both left", {-1, 10}, {-50, 400}, false},
      {"both right", {641, 10}, {700, 400}, false},
      {"one end at 10^7", {10, 10}, {1e7, 10}, false},
      {"one end at -10^7", {10, 10}, {10, -1e7}, false},
      {"just below 10^7", {10, 10}, {9999999.4, 10}, true},
      {"not a number", {10, 10}, {std::nan(""), 10}, false},
      {"coincident ends", {10.2, 10}, {9.8, 10}, false},
  };
  for (PenStyle style : {PenStyle::kSolid, PenStyle::kDash}) {
    for (const RejectCase& c : cases) {
      SCOPED_TRACE(c.name);
      if (style == PenStyle::kDash && std::string_view(c.name) == "just below 10^7") {
        continue;  // drawn, but stepping 10^7 pixels is a test of patience only
      }
      Fixture f(style);
      f.painter.DrawSegment(c.a.x, c.a.y, c.b.x, c.b.y);
      EXPECT_EQ(f.canvas.CountOf(CallKind::kLine) > 0, c.drawn);
    }
  }
}

TEST(DrawSegment, WidthZeroAndEmptyPatternDrawNothing) {
  Fixture zero(PenStyle::kSolid, 0);
  zero.painter.DrawSegment(0, 0, 100, 100);
  EXPECT_EQ(zero.canvas.CountOf(CallKind::kLine), 0u);

  LineStyleTable styles = DefaultLineStyles();
  styles.entries[1].run_count = 0;
  RecordingCanvas canvas;
  LinePainter painter(LineSurface{&canvas, 640, 480, false, 1, &styles, nullptr, {}});
  canvas.SetPen({kBlack, 2, PenStyle::kDot});
  painter.BeginDash();
  painter.DrawSegment(0, 0, 100, 100);
  EXPECT_TRUE(painter.dash().active());
  EXPECT_EQ(canvas.CountOf(CallKind::kLine), 0u);
}

TEST(DrawSegment, WiderPensStretchThePattern) {
  Fixture f(PenStyle::kDot, 3);  // gap 5, mark 2, period 7
  f.painter.DrawSegment(0, 0, 14, 0);
  std::vector<CanvasCall> lines = f.canvas.CallsOf(CallKind::kLine);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].points, (std::vector<PointF>{{4, 0}, {6, 0}}));
  EXPECT_EQ(lines[1].points, (std::vector<PointF>{{11, 0}, {13, 0}}));
}

TEST(DrawSegment, PlaneUnitsGoThroughTheMapping) {
  RecordingCanvas canvas;
  LinePainter painter(LineSurface{&canvas,
                                  640,
                                  480,
                                  false,
                                  1,
                                  nullptr,
                                  [](double x, double y) {
                                    return PointF{320 + 25 * x, 240 - 25 * y};
                                  },
                                  {}});
  painter.BeginDash();
  painter.DrawSegment(0, 0, 1, 1);
  painter.DrawSegment(0, 0, 1e6, 0);  // maps beyond 10^7 pixels
  std::vector<CanvasCall> lines = canvas.CallsOf(CallKind::kLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points, (std::vector<PointF>{{320, 240}, {345, 215}}));
}

TEST(DrawSegment, PrintingClipsSolidSegmentsToTheExtents) {
  Fixture f(PenStyle::kSolid, 1, /*printing=*/true);
  f.painter.DrawSegment(-100, 100, 740, 142);
  std::vector<CanvasCall> lines = f.canvas.CallsOf(CallKind::kLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points, (std::vector<PointF>{{0, 105}, {640, 137}}));
}

struct ClipCase {
  Point a, b;
  Point ca, cb;
};

TEST(ClipForPrint, MovesEndsOntoTheEdges) {
  const std::vector<ClipCase> cases = {
      {{-10, 0}, {110, 12}, {0, 1}, {100, 11}},  // flat: clipped in x
      {{110, 12}, {-10, 0}, {0, 1}, {100, 11}},  // ends reordered by x
      {{0, -10}, {12, 110}, {1, 0}, {6, 50}},    // steep: clipped in y, H = 50
      {{5, 5}, {50, 40}, {5, 5}, {50, 40}},      // inside: unchanged
      {{3, 3}, {3, 3}, {3, 3}, {3, 3}},          // a point stays put
  };
  for (const ClipCase& c : cases) {
    auto [a, b] = ClipForPrint(c.a, c.b, 100, 50);
    EXPECT_EQ(a, c.ca);
    EXPECT_EQ(b, c.cb);
  }
}

TEST(DrawPlainSegment, NeverDashed) {
  Fixture f(PenStyle::kDash, 2);
  f.painter.DrawPlainSegment(0, 0, 50, 0);
  f.painter.DrawPlainSegment(0, 0, 0, 2e7);
  std::vector<CanvasCall> lines = f.canvas.CallsOf(CallKind::kLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points, (std::vector<PointF>{{0, 0}, {50, 0}}));
}

// A run hands the same lines to the canvas as segments drawn one by one, in
// one joined call made at its end, for solid and dashed pens alike.
class JoinCountingCanvas : public RecordingCanvas {
 public:
  using RecordingCanvas::RecordingCanvas;
  void DrawJoinedLines(std::span<const Point> ends) override {
    ++joined_calls;
    RecordingCanvas::DrawJoinedLines(ends);
  }
  int joined_calls = 0;
};

TEST(DrawSegment, ARunDrawsTheSameLinesInOneJoinedCall) {
  const PointF zigzag[] = {{10, 10}, {90, 30}, {150, 12}, {230, 80}, {700, 90}, {800, 95}};
  for (PenStyle style : {PenStyle::kSolid, PenStyle::kDash, PenStyle::kDashDot}) {
    SCOPED_TRACE(static_cast<int>(style));
    std::vector<std::vector<PointF>> lines[2];
    for (int in_run = 0; in_run < 2; ++in_run) {
      JoinCountingCanvas canvas({640, 480});
      canvas.SetPen({kBlack, 2, style});
      LinePainter painter(LineSurface{&canvas, 640, 480, false, 1, nullptr, nullptr, {}});
      painter.BeginDash();
      canvas.ClearCalls();
      if (in_run) painter.BeginRun();
      for (std::size_t i = 0; i + 1 < std::size(zigzag); ++i)
        painter.DrawDeviceSegment(zigzag[i], zigzag[i + 1]);
      // Nothing reaches the canvas before the run ends.
      if (in_run) {
        EXPECT_EQ(canvas.CountOf(CallKind::kLine), 0u);
        painter.EndRun();
      }
      painter.EndRun();  // a second end draws nothing more
      EXPECT_EQ(canvas.joined_calls, in_run);
      for (const CanvasCall& c : canvas.CallsOf(CallKind::kLine))
        lines[in_run].push_back(c.points);
    }
    EXPECT_FALSE(lines[0].empty());
    EXPECT_EQ(lines[1], lines[0]);
  }
}

// Whole lines run far beyond the surface; the dash stepper skips the ends
// that lie beyond one edge instead of stepping each pixel there. The marks it
// hands over, and the phase it leaves for the next segment, must be those of
// stepping every pixel and dropping the marks wholly beyond one edge.
TEST(DrawSegment, SkippedEndsGiveTheSameMarksAsSteppingEveryPixel) {
  std::vector<std::pair<Point, Point>> segments = {
      {{-4000, -2900}, {4160, 3220}}, {{5000, 240}, {-5000, 300}}, {{330, -3000}, {300, 3000}},
      {{-800, 60}, {900, 60}},        {{33, 2000}, {33, -700}},    {{40, 50}, {3000, 700}},
      {{-200, -900}, {120, 100}},     {{10, 10}, {150, 100}},      {{-1000, 1000}, {1000, -1000}},
      {{-30, -30}, {700, 520}},       {{-5, 470}, {2000, 485}},    {{639, -50}, {641, 900}},
  };
  // More lines through and past the corners, from a fixed pseudo-random walk.
  unsigned seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<unsigned>(2 * range)) - range;
  };
  for (int i = 0; i < 40; ++i)
    segments.push_back(
        {{320 + next(3000), 240 + next(3000)}, {320 + next(3000), 240 + next(3000)}});
  for (PenStyle style :
       {PenStyle::kDash, PenStyle::kDot, PenStyle::kDashDot, PenStyle::kDashDotDot})
    for (int width : {1, 2, 3}) {
      SCOPED_TRACE(testing::Message() << "style " << static_cast<int>(style) << " width " << width);
      Fixture f(style, width);
      const std::vector<std::uint8_t> pattern = f.painter.dash().pattern;
      const int period = static_cast<int>(pattern.size());
      const int margin = width + 1, right = 640 + margin, bottom = 480 + margin;
      int phase = 0;
      for (const auto& [a, b] : segments) {
        SCOPED_TRACE(testing::Message() << a.x << "," << a.y << " to " << b.x << "," << b.y);
        f.canvas.ClearCalls();
        f.painter.DrawSegment(a.x, a.y, b.x, b.y);
        std::vector<std::vector<PointF>> expected;
        auto keep = [&](Point p, Point q) {
          return !((p.x < -margin && q.x < -margin) || (p.y < -margin && q.y < -margin) ||
                   (p.x > right && q.x > right) || (p.y > bottom && q.y > bottom));
        };
        const bool off = (a.y < 0 && b.y < 0) || (a.y > 480 && b.y > 480) || (a.x < 0 && b.x < 0) ||
                         (a.x > 640 && b.x > 640);
        if (!off) {
          bool down = false;
          Point down_at = a;
          for (Point p : LinePoints(a, b)) {
            phase = (phase + 1) % period;
            const bool ink = pattern[static_cast<std::size_t>(phase)] == 1;
            if (ink && !down) {
              down = true;
              down_at = p;
            } else if (!ink && down) {
              down = false;
              if (keep(down_at, p))
                expected.push_back(
                    {{double(down_at.x), double(down_at.y)}, {double(p.x), double(p.y)}});
            }
          }
          if (down && keep(down_at, b))
            expected.push_back(
                {{double(down_at.x), double(down_at.y)}, {double(b.x), double(b.y)}});
        }
        std::vector<std::vector<PointF>> marks;
        for (const CanvasCall& c : f.canvas.CallsOf(CallKind::kLine))
          marks.push_back(c.points);
        EXPECT_EQ(marks, expected);
        EXPECT_EQ(f.painter.dash().phase, phase);
        EXPECT_FALSE(f.painter.dash().pen_down);
      }
    }
}

}  // namespace
}  // namespace qzarn::render

namespace qzarn::render {
namespace {

// A device that dashes strokes itself: it keeps the strokes it is handed.
class DashingCanvas : public RecordingCanvas {
 public:
  using RecordingCanvas::RecordingCanvas;
  bool DrawsDashPatterns() const override { return true; }
  void DrawDashedPolylines(std::span<const DashedPolyline> strokes,
                           std::span<const std::uint8_t> p) override {
    calls.emplace_back(strokes.begin(), strokes.end());
    pattern.assign(p.begin(), p.end());
  }
  // The pixels the strokes ink: stepped pixel k of a stroke takes pattern
  // entry phase + k + 1, running on over its corners.
  Pixels Inked() const {
    Pixels out;
    const auto period = static_cast<long long>(pattern.size());
    for (const auto& call : calls)
      for (const DashedPolyline& s : call) {
        long long k = 0;
        for (std::size_t i = 1; i < s.points.size(); ++i)
          StepLine(s.points[i - 1], s.points[i], [&](Point p) {
            if (pattern[static_cast<std::size_t>((s.phase + k + 1) % period)] != 0)
              out.insert({p.x, p.y});
            ++k;
          });
      }
    return out;
  }
  std::vector<std::vector<DashedPolyline>> calls;
  std::vector<std::uint8_t> pattern;
};

// Whole strokes carry the pattern and phase the stepped marks have: the
// pixels they ink are the marks' pixels, a run goes in one call with joined
// segments as one polyline, and separate segments start where the phase
// stood.
TEST(LinePainterWholeStrokes, InkTheMarksPixels) {
  // Along rows, columns and diagonals, where a mark's own line steps the
  // pixels of its segment's walk.
  const std::vector<std::pair<Point, Point>> segments = {
      {{10, 10}, {60, 10}},    {{60, 10}, {90, 40}}, {{90, 40}, {90, 100}},  // joined
      {{200, 50}, {120, 130}},                                               // apart
      {{5, 200}, {5, 200}},                                                  // no pixel
      {{30, 300}, {300, 300}}};
  for (PenStyle style : {PenStyle::kDash, PenStyle::kDot, PenStyle::kDashDotDot})
    for (int width : {1, 3})
      for (bool run : {false, true}) {
        SCOPED_TRACE(testing::Message() << int(style) << " width " << width << " run " << run);
        auto draw = [&](Canvas& canvas) {
          canvas.SetPen({kBlack, width, style});
          LinePainter lines(LineSurface{&canvas, 640, 480, false, 1, nullptr, nullptr, {}});
          lines.BeginDash();
          if (run) lines.BeginRun();
          for (const auto& [a, b] : segments)
            lines.DrawDeviceSegment({double(a.x), double(a.y)}, {double(b.x), double(b.y)});
          if (run) lines.EndRun();
        };
        RecordingCanvas marks({640, 480});
        draw(marks);
        DashingCanvas whole({640, 480});
        draw(whole);
        EXPECT_TRUE(whole.CallsOf(CallKind::kLine).empty());
        EXPECT_EQ(whole.Inked(), Inked(marks));
        ASSERT_FALSE(whole.calls.empty());
        if (run) {
          ASSERT_EQ(whole.calls.size(), 1u);
          ASSERT_EQ(whole.calls[0].size(), 3u);
          EXPECT_EQ(whole.calls[0][0].points.size(), 4u);
        } else {
          EXPECT_EQ(whole.calls.size(), 5u);  // the segment without a pixel is dropped
        }
      }
}

}  // namespace
// A canvas keeping one band of the picture, or one rectangle of it redrawn,
// is handed exactly the marks of the whole picture that reach what it keeps
// (with the pen's margin), and the phase runs on as over the whole picture:
// every part inks what the whole picture inks there.
TEST(DrawSegment, APartOfThePictureGetsTheWholePicturesMarksThatReachIt) {
  const std::pair<Point, Point> segments[] = {
      {{-4000, -2900}, {4160, 3220}}, {{5000, 240}, {-5000, 300}}, {{330, -3000}, {300, 3000}},
      {{-800, 160}, {900, 160}},      {{33, 2000}, {33, -700}},    {{40, 50}, {3000, 700}},
      {{-200, -900}, {120, 100}},     {{10, 10}, {150, 400}},      {{639, -50}, {641, 900}},
      {{250, 470}, {250, 10}},        {{600, 200}, {100, 200}},
  };
  const Rect parts[] = {{0, 150, 640, 330}, {200, 150, 420, 330}, {0, 0, 32, 32}};
  for (const Rect& part : parts)
    for (PenStyle style : {PenStyle::kDash, PenStyle::kDot, PenStyle::kDashDot})
      for (int width : {1, 3}) {
        SCOPED_TRACE(testing::Message() << "part " << part.left << "," << part.top << " style "
                                        << static_cast<int>(style) << " width " << width);
        const int margin = width + 1;
        Fixture whole(style, width);
        RecordingCanvas part_canvas{{640, 480}};
        part_canvas.SetPen({kBlack, width, style});
        LinePainter painter(LineSurface{&part_canvas, 640, 480, false, 1, nullptr, nullptr, part});
        painter.BeginDash();
        for (const auto& [a, b] : segments) {
          SCOPED_TRACE(testing::Message() << a.x << "," << a.y << " to " << b.x << "," << b.y);
          whole.canvas.ClearCalls();
          part_canvas.ClearCalls();
          whole.painter.DrawSegment(a.x, a.y, b.x, b.y);
          painter.DrawSegment(a.x, a.y, b.x, b.y);
          std::vector<std::vector<PointF>> expected, marks;
          for (const CanvasCall& c : whole.canvas.CallsOf(CallKind::kLine)) {
            const PointF p = c.points[0], q = c.points[1];
            if (std::max(p.y, q.y) < part.top - margin ||
                std::min(p.y, q.y) > part.bottom + margin ||
                std::max(p.x, q.x) < part.left - margin || std::min(p.x, q.x) > part.right + margin)
              continue;
            expected.push_back(c.points);
          }
          for (const CanvasCall& c : part_canvas.CallsOf(CallKind::kLine))
            marks.push_back(c.points);
          EXPECT_EQ(marks, expected);
          EXPECT_EQ(painter.dash().phase, whole.painter.dash().phase);
        }
      }
}

}  // namespace qzarn::render
