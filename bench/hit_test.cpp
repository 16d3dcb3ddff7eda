// Hit testing a screen of 500 figures at one mouse position, against one
// picture of the same screen on a recording canvas. The window hit-tests on
// every mouse move, so the counter "per_picture" (hit test time / picture
// time) must stay far below 1.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include "document/screen.h"
#include "render/draw_screen.h"
#include "interact/hit_test.h"
#include "render/recording_canvas.h"

namespace {

using namespace qzarn;
using namespace qzarn::render;
using namespace qzarn::interact;

constexpr int kFigures = 500;

void Put(Screen& screen, int slot, FigureRecord record) {
  PlaceFigure(screen.Figures, slot, std::move(record));
}

// Points (a fifth with a locus of 200 entries), lines, circles, parabolas,
// function graphs of 400 samples, polygons and text boxes spread over the view.
std::unique_ptr<Screen> FiveHundredFigures() {
  NewScreenDefaults d;
  d.InitScreenX = 640;
  d.InitScreenY = 480;
  ScreenTitleCounter titles;
  std::unique_ptr<Screen> screen = Screen::Create(d, titles);
  for (int i = 0; i < kFigures; ++i) {
    const double x = -10 + (i * 7 % 200) / 10.0, y = -7 + (i * 13 % 140) / 10.0;
    switch (i % 8) {
      case 0:
      case 1: {
        FigureRecord r = FigureRecord::Blank(kPointFigure);
        PointRecord& p = *r.point();
        p.X = x;
        p.Y = y;
        p.Radius = 3;
        p.RimRadius = 2;
        p.DispMark = true;
        p.Paint = true;
        if (i % 5 == 0) {
          p.Track = true;
          p.TrackRadius = 2;
          p.TrackThick = 1;
          p.TrackCount = 199;
          for (int k = 0; k < 200; ++k) {
            p.TrackX[k] = static_cast<float>(x + std::cos(k * 0.05));
            p.TrackY[k] = static_cast<float>(y + std::sin(k * 0.05));
          }
        }
        Put(*screen, i, std::move(r));
        break;
      }
      case 2:
      case 3: {
        FigureRecord r = FigureRecord::Blank(i % 8 == 2 ? kLineFigure : kParabolaFigure);
        LineRecord& l = *r.line();
        l.X0 = x;
        l.Y0 = y;
        l.X1 = x + 1;
        l.Y1 = y + 0.5 + (i % 3);
        l.DispL = true;
        l.DispB = i % 16 == 2;
        l.SizeL = 2;
        l.SizeP = 3;
        l.Ref0 = kNoReference;
        l.Ref1 = kNoReference;
        Put(*screen, i, std::move(r));
        break;
      }
      case 4: {
        FigureRecord r = FigureRecord::Blank(kCircleFigure);
        CircleRecord& c = *r.circle();
        c.X0 = x;
        c.Y0 = y;
        c.RadiusValue = 0.5 + (i % 4);
        c.DispL = true;
        c.SizeL = 2;
        c.SizeP = 3;
        Put(*screen, i, std::move(r));
        break;
      }
      case 5: {
        FigureRecord r = FigureRecord::Blank(kFunctionFigure);
        FunctionRecord& f = *r.function();
        f.FuncKind = 1;
        f.DispL = true;
        f.SizeL = 2;
        for (int k = 0; k < 400; ++k) {
          const double t = -10 + k * 0.05;
          r.owned.SampleX.push_back(static_cast<float>(t));
          r.owned.SampleY.push_back(static_cast<float>(y + std::sin(t + i)));
        }
        f.SampleLast = 399;
        Put(*screen, i, std::move(r));
        break;
      }
      case 6: {
        // A polygon through the two points placed just before it.
        FigureRecord r = FigureRecord::Blank(kPolyFigure);
        PolygonRecord& p = *r.polygon();
        for (int k = 0; k < kPolygonVertices; ++k)
          p.Refs[k] = kNoReference;
        const int corners[] = {i - 6, i - 5, i - 6};
        for (int k = 0; k < 3; ++k) {
          p.Refs[k] = corners[k];
          const PointRecord* v = screen->Figures.record(corners[k])->point();
          p.VX[k] = v->X + (k == 2 ? 1.5 : 0);
          p.VY[k] = v->Y + (k == 2 ? -1 : 0);
        }
        p.DispL = true;
        p.SizeL = 2;
        Put(*screen, i, std::move(r));
        break;
      }
      default: {
        FigureRecord r = FigureRecord::Blank(kCharFigure);
        FrameRecord& f = *r.frame();
        f.X0 = x;
        f.Y0 = y;
        f.X1 = x + 1.2;
        f.Y1 = y - 0.6;
        Put(*screen, i, std::move(r));
        break;
      }
    }
  }
  return screen;
}

// Microseconds of one picture of the screen on a recording canvas.
double PictureMicroseconds(Screen& screen) {
  const RenderOptions options;
  constexpr int kRuns = 20;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRuns; ++i) {
    RecordingCanvas canvas({640, 480});
    DrawScreen(canvas, &screen, options);
    benchmark::DoNotOptimize(canvas.calls().size());
  }
  const std::chrono::duration<double, std::micro> elapsed =
      std::chrono::steady_clock::now() - start;
  return elapsed.count() / kRuns;
}

template <class Test>
void RunAgainstPicture(benchmark::State& state, Screen& screen, Test test) {
  const double picture = PictureMicroseconds(screen);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state)
    benchmark::DoNotOptimize(test());
  const std::chrono::duration<double, std::micro> elapsed =
      std::chrono::steady_clock::now() - start;
  const double each = elapsed.count() / static_cast<double>(state.iterations());
  state.counters["picture_us"] = picture;
  state.counters["per_picture"] = each / picture;
}

// A press where nothing lies: every figure and every locus entry is tried.
void BM_PickFigureMiss(benchmark::State& state) {
  std::unique_ptr<Screen> screen = FiveHundredFigures();
  const HitSettings settings;
  RunAgainstPicture(state, *screen, [&] { return PickFigure(*screen, settings, 2, 2).slot; });
}
BENCHMARK(BM_PickFigureMiss)->Unit(benchmark::kMicrosecond);

// A mouse move over the screen while a function graph is selected.
void BM_HitSelectedFunction(benchmark::State& state) {
  std::unique_ptr<Screen> screen = FiveHundredFigures();
  const HitSettings settings;
  RunAgainstPicture(state, *screen, [&] { return HitSelected(*screen, settings, 5, 2, 2).handle; });
}
BENCHMARK(BM_HitSelectedFunction)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
