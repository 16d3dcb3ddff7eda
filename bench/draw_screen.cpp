// A whole frame of a lesson screen (bench/teacher_screen.h) at 1280 x 960:
// the recompute pass and the picture, with and without antialiasing, at 100
// and 500 figures; beside it the plainest QPainter drawing of the same
// picture. The plain drawing is what a hand-written QPainter program would
// do with the figures' geometry: default pens, every line cut to the image
// and drawn once, one polyline per curve, the marks of a dashed line in one
// call. Run interleaved and read the ratios:
//   bench_draw_screen --benchmark_enable_random_interleaving=true --benchmark_repetitions=9
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"
#include "render/draw_screen.h"
#include "render/recording_canvas.h"
#include "render/segment_clip.h"
#include "teacher_screen.h"

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
using bench::kFrameHeight;
using bench::kFrameWidth;

RenderOptions Options(bool antialias) {
  RenderOptions o;
  o.antialiasing = antialias;
  return o;
}

// Arguments: antialiasing (0/1), figures.
void BM_Frame(benchmark::State& state) {
  std::unique_ptr<Screen> screen = bench::TeacherScreen(static_cast<int>(state.range(1)));
  ExprEngine expr;
  FigureExpressions expressions(expr);
  SilentEngineUi ui;
  FigureEngine engine(expressions, ui);
  QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  QtCanvas canvas(painter, {kFrameWidth, kFrameHeight});
  const RenderOptions options = Options(state.range(0) != 0);
  for (auto _ : state) {
    engine.RecomputeScreen(*screen);
    DrawScreen(canvas, screen.get(), options);
    benchmark::DoNotOptimize(image.constBits());
  }
}

// The picture alone, without the recompute pass.
void BM_DrawOnly(benchmark::State& state) {
  std::unique_ptr<Screen> screen = bench::TeacherScreen(static_cast<int>(state.range(1)));
  QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  QtCanvas canvas(painter, {kFrameWidth, kFrameHeight});
  const RenderOptions options = Options(state.range(0) != 0);
  for (auto _ : state) {
    DrawScreen(canvas, screen.get(), options);
    benchmark::DoNotOptimize(image.constBits());
  }
}

// The picture as plain painter calls, prepared once (the geometry a plain
// program would hold) and drawn per frame.
struct PlainPicture {
  struct Item {
    CallKind kind;
    Pen pen;
    Brush brush;
    Font font;
    std::vector<QPointF> points;  // polyline, polygon, text point
    QList<QLineF> lines;          // lines and dash marks
    QRectF box;
    std::string text;
  };
  std::vector<Item> items;
};

bool Touches(const CanvasCall& a, const CanvasCall& b) {
  return a.points.size() == 2 && b.points.size() == 2 && a.points[1] == b.points[0];
}

PlainPicture PlanPlainPicture(const Screen& screen, bool antialias) {
  RecordingCanvas recording({kFrameWidth, kFrameHeight});
  DrawScreen(recording, const_cast<Screen*>(&screen), Options(antialias));
  const std::vector<CanvasCall> calls = recording.DrawingCalls();
  const RectF image{0, 0, kFrameWidth, kFrameHeight};
  PlainPicture plain;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const CanvasCall& c = calls[i];
    PlainPicture::Item item{c.kind, c.state.pen, c.state.brush, c.state.font, {}, {}, {}, {}};
    if (c.kind == CallKind::kLine) {
      // A chain of touching lines in one pen is a curve: one polyline. Loose
      // lines in one pen (dash marks, hatching) go in one call, cut to the image.
      std::size_t j = i + 1;
      while (j < calls.size() && calls[j].kind == CallKind::kLine &&
             calls[j].state.pen == c.state.pen && Touches(calls[j - 1], calls[j]))
        ++j;
      if (j - i > 2) {
        item.kind = CallKind::kPolyline;
        item.points.emplace_back(c.points[0].x, c.points[0].y);
        for (std::size_t k = i; k < j; ++k)
          item.points.emplace_back(calls[k].points[1].x, calls[k].points[1].y);
      } else {
        j = i;
        while (j < calls.size() && calls[j].kind == CallKind::kLine &&
               calls[j].state.pen == c.state.pen) {
          if (auto cut = ClipSegment(calls[j].points[0], calls[j].points[1], image))
            item.lines.append(QLineF(cut->from.x, cut->from.y, cut->to.x, cut->to.y));
          ++j;
        }
      }
      i = j - 1;
      plain.items.push_back(std::move(item));
      continue;
    }
    for (const PointF& p : c.points)
      item.points.emplace_back(p.x, p.y);
    item.box = QRectF(c.box.left, c.box.top, c.box.right - c.box.left, c.box.bottom - c.box.top);
    item.text = c.text;
    plain.items.push_back(std::move(item));
  }
  return plain;
}

void DrawPlain(QPainter& painter, const PlainPicture& plain, bool antialias) {
  Pen last_pen{0xFFFFFFFF, -1, PenStyle::kSolid};
  Brush last_brush{BrushStyle::kClear, 0xFFFFFFFF};
  for (const PlainPicture::Item& item : plain.items) {
    if (!(item.pen == last_pen)) {
      last_pen = item.pen;
      // A plain pen: Qt's own ends and joins.
      QPen pen = ToQPen(last_pen, antialias);
      pen.setCapStyle(Qt::SquareCap);
      pen.setJoinStyle(Qt::BevelJoin);
      painter.setPen(pen);
    }
    if (!(item.brush == last_brush)) {
      last_brush = item.brush;
      painter.setBrush(last_brush.style == BrushStyle::kClear
                           ? QBrush(Qt::NoBrush)
                           : QBrush(ToQColor(last_brush.colour), Qt::SolidPattern));
    }
    switch (item.kind) {
      case CallKind::kLine:
        painter.drawLines(item.lines);
        break;
      case CallKind::kPolyline:
        painter.drawPolyline(item.points.data(), static_cast<int>(item.points.size()));
        break;
      case CallKind::kPolygon:
        painter.drawPolygon(item.points.data(), static_cast<int>(item.points.size()));
        break;
      case CallKind::kRectangle:
        painter.drawRect(item.box);
        break;
      case CallKind::kEllipse:
        painter.drawEllipse(item.box);
        break;
      case CallKind::kText:
        painter.setFont(QtCanvas::ToQFont(item.font, antialias));
        painter.drawText(
            item.points[0],
            QString::fromUtf8(item.text.data(), static_cast<qsizetype>(item.text.size())));
        break;
      default:
        break;
    }
  }
}

void BM_PlainQPainter(benchmark::State& state) {
  std::unique_ptr<Screen> screen = bench::TeacherScreen(static_cast<int>(state.range(1)));
  const bool antialias = state.range(0) != 0;
  const PlainPicture plain = PlanPlainPicture(*screen, antialias);
  QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, antialias);
  for (auto _ : state) {
    image.fill(Qt::white);
    DrawPlain(painter, plain, antialias);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["calls"] = static_cast<double>(plain.items.size());
}

void FrameArguments(benchmark::internal::Benchmark* b) {
  b->ArgsProduct({{0, 1}, {100, 500}})->ArgNames({"aa", "figures"})->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Frame)->Apply(FrameArguments);
BENCHMARK(BM_DrawOnly)->Apply(FrameArguments);
BENCHMARK(BM_PlainQPainter)->Apply(FrameArguments);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  // A frame of the picture as it stands, for looking at: QZARN_FRAME_PNG=FILE.
  if (const char* png = std::getenv("QZARN_FRAME_PNG")) {
    std::unique_ptr<Screen> screen = bench::TeacherScreen(100);
    QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
    {
      QPainter painter(&image);
      QtCanvas canvas(painter, {kFrameWidth, kFrameHeight});
      DrawScreen(canvas, screen.get(), Options(true));
    }
    image.save(QString::fromUtf8(png));
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
