// One undo snapshot of a working screen: 200 figures, 20 of them with a locus
// (15 full position rings, 5 functions with 50 remembered curves of 201 points).
// The counter target_ratio is the wall time per snapshot over the 5 ms an edit may
// spend on its snapshot; below 1 is on target. BM_UndoRedo reads them back.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "document/screen.h"
#include "document/undo.h"
#include "engine/locus.h"

namespace {

using namespace qzarn;

constexpr double kTargetSeconds = 0.005;

void MovePointAlongRing(FigureRecord& r) {
  for (int i = 0; i < kLocusRingSize; ++i) {
    r.point()->X = i * 0.01;
    r.point()->Y = -i * 0.02;
    RecordLocus(r);
  }
}

std::unique_ptr<Screen> WorkingScreen() {
  ScreenTitleCounter titles;
  auto s = Screen::Create(NewScreenDefaults{}, titles);
  const std::int32_t kinds[] = {kPointFigure, kLineFigure, kCircleFigure, kCrossFigure};
  int loci = 0;
  for (int slot = 0; slot < 200; ++slot) {
    const bool function = slot % 40 == 0;
    const std::int32_t type = function ? kFunctionFigure : kinds[slot % 4];
    FigureRecord r = FigureRecord::Blank(type);
    if (function) {
      FunctionRecord& f = *r.function();
      f.KisekiF = true;
      f.TrackCount = -1;
      f.SampleLast = 200;
      for (int k = 0; k <= 200; ++k) {
        r.owned.SampleX.push_back(static_cast<float>(k) * 0.05f - 5.0f);
        r.owned.SampleY.push_back(static_cast<float>(k % 17));
      }
      for (int c = 0; c < 50; ++c)
        TakeLocusSnapshot(r);
      ++loci;
    } else if (type == kPointFigure && loci < 20) {
      r.point()->Track = true;
      r.point()->TrackCount = -1;
      MovePointAlongRing(r);
      ++loci;
    }
    PlaceFigure(s->Figures, slot, std::move(r));
  }
  return s;
}

struct Fixture {
  Fixture() {
    char pattern[] = "/tmp/qzarn-bench-undo-XXXXXX";
    dir = ::mkdtemp(pattern);
    std::string error;
    store = std::make_unique<UndoStore>(*TempFolder::Open(dir, error));
    screen = WorkingScreen();
    ResetUndo(*screen, *store);
  }
  ~Fixture() {
    DeleteSnapshots(*screen);
    std::filesystem::remove_all(dir);
  }
  std::string dir;
  std::unique_ptr<UndoStore> store;
  std::unique_ptr<Screen> screen;
};

void BM_TakeSnapshot(benchmark::State& state) {
  Fixture fx;
  for (auto _ : state) {
    UndoResult r = TakeSnapshot(*fx.screen, *fx.store);
    if (!r.ok()) state.SkipWithError(r.detail.c_str());
  }
  state.counters["target_ratio"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kTargetSeconds,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
// Wall time: the snapshot is a file write, whose waiting is no processor time.
BENCHMARK(BM_TakeSnapshot)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_UndoRedo(benchmark::State& state) {
  Fixture fx;
  TakeSnapshot(*fx.screen, *fx.store);
  TakeSnapshot(*fx.screen, *fx.store);
  for (auto _ : state) {
    UndoResult r = Undo(*fx.screen, *fx.store);
    if (r.ok()) r = Redo(*fx.screen, *fx.store);
    if (!r.ok()) state.SkipWithError(r.detail.c_str());
  }
  state.counters["target_ratio"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 2 * kTargetSeconds,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UndoRedo)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
