// The share of a spline's own arithmetic in drawing it: the table of a closed
// 31-point spline and its 101 samples at the default step, against the whole
// screen picture of the splines example (four splines with their points) in a
// 640 x 480 image. Splines are interpolated afresh in every picture, so the
// first should stay a small fraction of the second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "../tests/render/example_screens.h"
#include "engine/spline.h"
#include "render/draw_screen.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "qt/qt_canvas.h"
#include "qt/qt_fonts.h"

namespace {

using namespace qzarn;

std::vector<PlanePoint> Star() {
  std::vector<PlanePoint> points;
  for (int i = 0; i < kPolygonVertices; ++i) {
    const double a = 2 * std::numbers::pi * i / kPolygonVertices;
    const double r = i % 2 == 0 ? 10 : 6;
    points.push_back({r * std::cos(a), r * std::sin(a)});
  }
  return points;
}

void BM_SplineTableAndSamples(benchmark::State& state) {
  const std::vector<PlanePoint> points = Star();
  for (auto _ : state) {
    const SplineTable table(points, true);
    double sum = 0;
    for (int i = 0; i <= 100; ++i)
      sum += SplinePoint(table, i * 0.01).x;
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_SplineTableAndSamples)->Unit(benchmark::kMicrosecond);

void BM_SplinesExamplePicture(benchmark::State& state) {
  std::unique_ptr<Screen> screen = examples::SplinesExample();
  const int w = screen->View().ScreenWidth, h = screen->View().ScreenHeight;
  QImage image(w, h, QImage::Format_RGB32);
  QPainter painter(&image);
  QtCanvas canvas(painter, {w, h});
  render::RenderOptions options;
  for (auto _ : state) {
    render::DrawScreen(canvas, screen.get(), options);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_SplinesExamplePicture)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  qzarn::InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
