// One full screen picture (DrawScreen) of a rich example screen into a
// 1280 x 960 image, beside the bare QPainter calls for the same primitives
// (recorded once, replayed straight onto the painter). The ratio of the two
// is the cost of the drawing layer itself.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "../tests/render/example_screens.h"
#include "render/draw_screen.h"
#include "render/recording_canvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>

#include "qt/qt_canvas.h"
#include "qt/qt_fonts.h"
#include "qt/qt_image.h"

namespace {

using namespace qzarn;
using namespace qzarn::render;

constexpr int kWidth = 1280, kHeight = 960;

RenderOptions Options(bool antialias) {
  RenderOptions o;
  o.antialiasing = antialias;
  return o;
}

void BM_DrawScreen(benchmark::State& state) {
  std::unique_ptr<Screen> screen = examples::RichExample();
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  QtCanvas canvas(painter, {kWidth, kHeight});
  const RenderOptions options = Options(state.range(0) != 0);
  for (auto _ : state) {
    DrawScreen(canvas, screen.get(), options);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_DrawScreen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same primitives with nothing but QPainter: pens and brushes set only
// when they change, as the canvas does.
void BM_BareQPainter(benchmark::State& state) {
  std::unique_ptr<Screen> screen = examples::RichExample();
  RecordingCanvas recording({kWidth, kHeight});
  const RenderOptions options = Options(state.range(0) != 0);
  DrawScreen(recording, screen.get(), options);
  const std::vector<CanvasCall> calls = recording.DrawingCalls();
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, options.antialiasing);
  std::vector<QPointF> points;
  QList<QLineF> lines;
  for (auto _ : state) {
    Pen last_pen{0xFFFFFFFF, -1, PenStyle::kSolid};
    Brush last_brush{BrushStyle::kClear, 0xFFFFFFFF};
    for (std::size_t i = 0; i < calls.size(); ++i) {
      const CanvasCall& c = calls[i];
      if (!(c.state.pen == last_pen)) {
        last_pen = c.state.pen;
        painter.setPen(ToQPen(last_pen, options.antialiasing));  // the canvas's own pens
      }
      if (!(c.state.brush == last_brush)) {
        last_brush = c.state.brush;
        painter.setBrush(last_brush.style == BrushStyle::kClear
                             ? QBrush(Qt::NoBrush)
                             : QBrush(ToQColor(last_brush.colour), Qt::SolidPattern));
      }
      if (c.kind == CallKind::kLine) {
        // A run of lines in one pen goes to the painter in one call, as a
        // hand-written QPainter program would batch the dash marks.
        lines.clear();
        std::size_t j = i;
        while (j < calls.size() && calls[j].kind == CallKind::kLine &&
               calls[j].state.pen == last_pen) {
          lines.append(QLineF(calls[j].points[0].x, calls[j].points[0].y, calls[j].points[1].x,
                              calls[j].points[1].y));
          ++j;
        }
        painter.drawLines(lines);
        i = j - 1;
        continue;
      }
      points.clear();
      for (const PointF& p : c.points)
        points.emplace_back(p.x, p.y);
      const QRectF box(c.box.left, c.box.top, c.box.right - c.box.left, c.box.bottom - c.box.top);
      switch (c.kind) {
        case CallKind::kPolyline:
          painter.drawPolyline(points.data(), static_cast<int>(points.size()));
          break;
        case CallKind::kPolygon:
          painter.drawPolygon(points.data(), static_cast<int>(points.size()));
          break;
        case CallKind::kRectangle:
          painter.drawRect(box);
          break;
        case CallKind::kEllipse:
          painter.drawEllipse(box);
          break;
        case CallKind::kText:
          painter.drawText(points[0],
                           QString::fromUtf8(c.text.data(), static_cast<int>(c.text.size())));
          break;
        default:
          break;
      }
    }
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["primitives"] = static_cast<double>(calls.size());
}
BENCHMARK(BM_BareQPainter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
