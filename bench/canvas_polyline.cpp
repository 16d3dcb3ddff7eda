// Cost of drawing a long curve on the screen bitmap: a 10,000-point 2-pixel
// antialiased polyline on a 1280 x 960 image in one QPainter call against the
// canvas's pieces of about 100 points, and the same curve dashed (stepped
// pixel by pixel with the dash phase carried across the 9,999 segments).
#include <benchmark/benchmark.h>
#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <cmath>
#include <vector>

#include "qt/qt_canvas.h"
#include "render/line_style_dash.h"
#include "render/recording_canvas.h"

namespace {

using namespace qzarn::render;

constexpr int kWidth = 1280;
constexpr int kHeight = 960;
constexpr int kPoints = 10000;

// A function graph as the engine samples it: many short segments, wiggling.
std::vector<PointF> Curve() {
  std::vector<PointF> pts;
  pts.reserve(kPoints);
  for (int i = 0; i < kPoints; ++i) {
    const double t = static_cast<double>(i) / (kPoints - 1);
    pts.push_back({t * kWidth, kHeight / 2.0 + 400 * std::sin(t * 40) * std::cos(t * 7)});
  }
  return pts;
}

void BM_PolylineOneCall(benchmark::State& state) {
  const std::vector<PointF> curve = Curve();
  QPolygonF poly;
  for (const PointF& p : curve)
    poly << QPointF(p.x + 0.5, p.y + 0.5);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  QPen pen(Qt::black, 2);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  for (auto _ : state) {
    painter.drawPolyline(poly);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_PolylineOneCall)->Unit(benchmark::kMillisecond);

void BM_PolylineCanvasPieces(benchmark::State& state) {
  const std::vector<PointF> curve = Curve();
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  qzarn::QtCanvas canvas(painter, {kWidth, kHeight});
  canvas.SetAntialiasing(true);
  canvas.SetPen({kBlack, 2, PenStyle::kSolid});
  for (auto _ : state) {
    canvas.DrawPolyline(std::span<const PointF>(curve));
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_PolylineCanvasPieces)->Unit(benchmark::kMillisecond);

// The curve as the figure code draws a dashed function graph: one BeginDash,
// then DrawSegment per sample.
void DashedCurve(benchmark::State& state, Canvas& canvas) {
  const std::vector<PointF> curve = Curve();
  canvas.SetAntialiasing(true);
  for (auto _ : state) {
    canvas.SetPen({kBlack, 2, PenStyle::kDash});
    LinePainter lines(LineSurface{&canvas, kWidth, kHeight, false, 1, nullptr, nullptr, {}});
    lines.BeginDash();
    for (std::size_t i = 1; i < curve.size(); ++i)
      lines.DrawDeviceSegment(curve[i - 1], curve[i]);
  }
}

void BM_DashedPolylineQt(benchmark::State& state) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  qzarn::QtCanvas canvas(painter, {kWidth, kHeight});
  DashedCurve(state, canvas);
}
BENCHMARK(BM_DashedPolylineQt)->Unit(benchmark::kMillisecond);

// The stepping alone: a canvas that only counts.
class CountingCanvas : public RecordingCanvas {
 public:
  void DrawLine(Point, Point) override { ++lines; }
  long lines = 0;
};

void BM_DashedPolylineSteppingOnly(benchmark::State& state) {
  CountingCanvas canvas;
  DashedCurve(state, canvas);
  state.counters["dash_lines_per_pass"] = benchmark::Counter(
      static_cast<double>(canvas.lines) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_DashedPolylineSteppingOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
