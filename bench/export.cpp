// Exporting screens as picture files: PNG, SVG and PDF through the same
// drawing pass, each writing a real file; the rich example (1280 x 960) and
// a new-figure lesson of 100 figures (bench/draw_screen_workloads.h). The SVG
// and PDF rows against the PNG row are the cost of vector output; "bytes" is
// the file's size.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "draw_screen_workloads.h"
#include "render/draw_screen.h"

#include <QGuiApplication>

#include "qt/picture_export.h"
#include "qt/qt_fonts.h"

namespace {

using namespace qzarn;

void Export(benchmark::State& state, render::PictureKind kind, const char* extension) {
  std::unique_ptr<Screen> screen =
      state.range(0) == 0 ? examples::RichExample() : bench::NewFigureLesson(100);
  const std::string path =
      (std::filesystem::temp_directory_path() / ("qzarn-bench-export" + std::string(extension)))
          .string();
  PictureRequest request;
  request.kind = kind;
  std::string error;
  for (auto _ : state) {
    if (!ExportScreenPicture(*screen, render::RenderOptions{}, {}, request, path, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}

void BM_ExportPng(benchmark::State& state) {
  Export(state, render::PictureKind::kPng, ".png");
}
void BM_ExportSvg(benchmark::State& state) {
  Export(state, render::PictureKind::kSvg, ".svg");
}
void BM_ExportPdf(benchmark::State& state) {
  Export(state, render::PictureKind::kPdf, ".pdf");
}
// Argument: 0 the rich example, 1 the lesson.
BENCHMARK(BM_ExportPng)->ArgName("lesson")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSvg)->ArgName("lesson")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPdf)->ArgName("lesson")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
