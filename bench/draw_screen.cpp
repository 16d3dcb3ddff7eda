// A whole frame of a lesson screen (bench/teacher_screen.h) at 1280 x 960:
// the recompute pass and the picture, with and without antialiasing, at 100
// and 500 figures; beside it the plainest QPainter drawing of the same
// picture (bench/plain_picture.h), drawn from the figures themselves. Run
// interleaved and read the table of medians and ratios at the end:
//   bench_draw_screen --benchmark_enable_random_interleaving=true --benchmark_repetitions=9
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"
#include "plain_picture.h"
#include "ratio_report.h"
#include "render/draw_screen.h"
#include "teacher_screen.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

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

void BM_PlainQPainter(benchmark::State& state) {
  std::unique_ptr<Screen> screen = bench::TeacherScreen(static_cast<int>(state.range(1)));
  const bool antialias = state.range(0) != 0;
  const bench::PlainPicture plain(*screen, kFrameWidth, kFrameHeight);
  QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, antialias);
  painter.setRenderHint(QPainter::TextAntialiasing, antialias);
  for (auto _ : state) {
    image.fill(Qt::white);
    plain.Draw(painter);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["calls"] = static_cast<double>(plain.shapes().size());
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
  // The plain drawing beside it: QZARN_PLAIN_PNG=FILE.
  if (const char* png = std::getenv("QZARN_PLAIN_PNG")) {
    std::unique_ptr<Screen> screen = bench::TeacherScreen(100);
    QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing, true);
      bench::PlainPicture(*screen, kFrameWidth, kFrameHeight).Draw(painter);
    }
    image.save(QString::fromUtf8(png));
  }
  bench::RepetitionReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  // The frame (recompute + picture) beside the plain drawing: times in ms,
  // median [lowest-highest] over the repetitions, and the ratio frame / plain
  // taken repetition by repetition (below 1: the frame is faster). Wall time
  // is what the user waits for; processor time is that of the drawing thread.
  std::printf("\n%-14s %-22s %-22s %-22s %-22s %-20s %-20s\n", "aa, figures", "frame wall",
              "frame cpu", "plain wall", "plain cpu", "wall ratio", "cpu ratio");
  for (int aa : {0, 1})
    for (int figures : {100, 500}) {
      const std::string args = "/aa:" + std::to_string(aa) + "/figures:" + std::to_string(figures);
      auto times = [&](const std::map<std::string, bench::RepetitionTimes>& all,
                       const char* name) -> const bench::RepetitionTimes& {
        static const bench::RepetitionTimes none;
        auto it = all.find(name + args);
        return it == all.end() ? none : it->second;
      };
      const auto& fw = times(reporter.wall, "BM_Frame");
      const auto& fc = times(reporter.cpu, "BM_Frame");
      const auto& pw = times(reporter.wall, "BM_PlainQPainter");
      const auto& pc = times(reporter.cpu, "BM_PlainQPainter");
      if (fw.empty() || pw.empty()) continue;
      auto show = [](const bench::RatioSpread& s, int decimals) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f [%.*f-%.*f]", decimals, s.median, decimals, s.low,
                      decimals, s.high);
        return std::string(text);
      };
      std::printf("%-14s %-22s %-22s %-22s %-22s %-20s %-20s\n",
                  (std::to_string(aa) + ", " + std::to_string(figures)).c_str(),
                  show(bench::TimesOf(fw), 1).c_str(), show(bench::TimesOf(fc), 1).c_str(),
                  show(bench::TimesOf(pw), 1).c_str(), show(bench::TimesOf(pc), 1).c_str(),
                  show(bench::Ratios(fw, pw), 2).c_str(), show(bench::Ratios(fc, pc), 2).c_str());
    }
  return 0;
}
