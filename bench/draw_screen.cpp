// The picture of a screen (the drawing pass alone, figures already computed)
// against the plainest QPainter drawing of the same picture
// (bench/plain_picture.h), on every shipped example and gallery sheet, on
// lesson screens of 100 and 500 figures with the attributes new figures get,
// and on a screen of 100 function graphs (bench/draw_screen_workloads.h).
// Run interleaved and read the table of medians and ratios at the end:
//   bench_draw_screen --benchmark_enable_random_interleaving=true --benchmark_repetitions=9
// QZARN_PICTURES_DIR=DIR writes both pictures of every workload there
// (NAME-ours.png, NAME-plain.png) to be looked at side by side.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "draw_screen_workloads.h"
#include "plain_picture.h"
#include "ratio_report.h"
#include "render/draw_screen.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "qt/qt_canvas_bands.h"
#include "qt/qt_fonts.h"
#include "qt/qt_image.h"

namespace {

using namespace qzarn;
using namespace qzarn::render;

QImage Blank(const Screen& screen) {
  QImage image(screen.View().ScreenWidth, screen.View().ScreenHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// A frame as the window draws one: a fresh painter and canvas on the kept
// picture (whose own background step clears it), a tall one in bands shared
// out among the processors.
void DrawOurs(QImage& image, Screen& screen, bool antialias, int bands = 0) {
  RenderOptions options;
  options.antialiasing = antialias;
  const Size surface{image.width(), image.height()};
  if (bands > 0)
    DrawScreenPictureInBands(image, surface, &screen, options, {}, bands,
                             static_cast<int>(std::thread::hardware_concurrency()));
  else
    DrawScreenPicture(image, surface, &screen, options);
}

// A frame of a plain program: a fresh painter on its kept image, cleared.
void DrawPlain(QImage& image, const bench::PlainPicture& plain, bool antialias) {
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, antialias);
  painter.setRenderHint(QPainter::TextAntialiasing, antialias);
  plain.Draw(painter);
}

// bands: 0 as the window draws, else that many.
void Ours(benchmark::State& state, const bench::Workload& w, bool antialias, int bands) {
  std::unique_ptr<Screen> screen = w.make();
  QImage image = Blank(*screen);
  for (auto _ : state) {
    DrawOurs(image, *screen, antialias, bands);
    benchmark::DoNotOptimize(image.constBits());
  }
}

void Plain(benchmark::State& state, const bench::Workload& w, bool antialias) {
  std::unique_ptr<Screen> screen = w.make();
  const bench::PlainPicture plain(*screen, screen->View().ScreenWidth, screen->View().ScreenHeight);
  QImage image = Blank(*screen);
  for (auto _ : state) {
    DrawPlain(image, plain, antialias);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["calls"] = static_cast<double>(plain.shapes().size());
}

// Workloads measured without antialiasing as well.
bool AlsoAliased(const std::string& name) {
  return name.starts_with("lesson:") || name.starts_with("graphs:");
}

void WritePictures(const std::vector<bench::Workload>& all, const std::string& dir) {
  for (const bench::Workload& w : all) {
    std::unique_ptr<Screen> screen = w.make();
    std::string file = w.name;
    for (char& c : file)
      if (c == ':') c = '-';
    QImage ours = Blank(*screen);
    DrawOurs(ours, *screen, true);
    ours.save(QString::fromStdString(dir + "/" + file + "-ours.png"));
    QImage plain = Blank(*screen);
    DrawPlain(plain,
              bench::PlainPicture(*screen, screen->View().ScreenWidth, screen->View().ScreenHeight),
              true);
    if (const char* bands = std::getenv("QZARN_PICTURE_BANDS")) {
      // The same picture in a given number of bands, to compare with ours.
      QImage banded = Blank(*screen);
      DrawOurs(banded, *screen, true, std::atoi(bands));
      banded.save(QString::fromStdString(dir + "/" + file + "-bands.png"));
    }
    plain.save(QString::fromStdString(dir + "/" + file + "-plain.png"));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  InstallFontSubstitutions();
  const std::vector<bench::Workload> all = bench::AllWorkloads();
  std::vector<std::string> rows;
  for (const bench::Workload& w : all)
    for (int aa : {1, 0}) {
      if (aa == 0 && !AlsoAliased(w.name)) continue;
      const std::string args = w.name + "/aa:" + std::to_string(aa);
      rows.push_back(args);
      // Processor time counts every thread of the process: the bands' too.
      benchmark::RegisterBenchmark(("Ours/" + args).c_str(), Ours, w, aa != 0, 0)
          ->Unit(benchmark::kMillisecond)
          ->MeasureProcessCPUTime();
      benchmark::RegisterBenchmark(("Plain/" + args).c_str(), Plain, w, aa != 0)
          ->Unit(benchmark::kMillisecond)
          ->MeasureProcessCPUTime();
      // The lessons drawn by one canvas as well: what the bands gain.
      if (w.name.starts_with("lesson:")) {
        rows.push_back("1 band " + args);
        benchmark::RegisterBenchmark(("Ours/1 band " + args).c_str(), Ours, w, aa != 0, 1)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime();
      }
    }
  benchmark::Initialize(&argc, argv);
  if (const char* dir = std::getenv("QZARN_PICTURES_DIR")) WritePictures(all, dir);
  bench::RepetitionReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  // Ours beside the plain drawing: times in ms, median [lowest-highest] over
  // the repetitions, and the ratio ours / plain taken repetition by repetition
  // (below 1: ours is faster). Processor time is that of every thread of the
  // process (the bands are drawn on several); wall time is what a user waits,
  // though on a loaded machine it mostly measures the wait for a processor.
  std::printf("\n%-34s %-20s %-20s %-18s %-20s %-20s %-18s\n", "workload", "ours cpu ms",
              "plain cpu ms", "cpu ratio", "ours wall ms", "plain wall ms", "wall ratio");
  auto show = [](const bench::RatioSpread& s, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f [%.*f-%.*f]", decimals, s.median, decimals, s.low,
                  decimals, s.high);
    return std::string(text);
  };
  for (const std::string& row : rows) {
    // "1 band NAME" is ours in one band beside the same plain drawing.
    const std::string plain_row = row.starts_with("1 band ") ? row.substr(7) : row;
    const std::string ours = "Ours/" + row + "/process_time";
    const std::string plain = "Plain/" + plain_row + "/process_time";
    auto oc = reporter.cpu.find(ours), pc = reporter.cpu.find(plain);
    auto ow = reporter.wall.find(ours), pw = reporter.wall.find(plain);
    if (oc == reporter.cpu.end() || pc == reporter.cpu.end()) continue;
    std::printf(
        "%-34s %-20s %-20s %-18s %-20s %-20s %-18s\n", row.c_str(),
        show(bench::TimesOf(oc->second), 2).c_str(), show(bench::TimesOf(pc->second), 2).c_str(),
        show(bench::Ratios(oc->second, pc->second), 2).c_str(),
        show(bench::TimesOf(ow->second), 1).c_str(), show(bench::TimesOf(pw->second), 1).c_str(),
        show(bench::Ratios(ow->second, pw->second), 2).c_str());
  }
  return 0;
}
