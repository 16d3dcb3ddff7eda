// Saving and loading a full screen: 501 figures, 20 of them functions with a
// curve locus of 10 remembered curves of 1,001 points. Compare the compressed
// form's times with the plain form's.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <memory>

#include <cstdio>
#include <random>

#include "document/document_file.h"
#include "document/screen.h"

namespace {

using namespace qzarn;

std::unique_ptr<Screen> FullScreen() {
  ScreenTitleCounter titles;
  auto s = Screen::Create(NewScreenDefaults{}, titles);
  std::mt19937 rng(1);
  int functions = 0;
  for (int slot = 0; slot < kFigureSlots; ++slot) {
    const std::int32_t type =
        slot % 25 == 0 && functions < 20 ? kFunctionFigure : 1 + slot % kLastFigureType;
    FigureRecord r = FigureRecord::Blank(type);
    // Mostly zeros with some values, like a real record (empty locus arrays, short texts).
    for (int k = 0; k < 64; ++k)
      r.bytes()[rng() % r.bytes().size()] = static_cast<std::uint8_t>(rng());
    if (type == kFunctionFigure) {
      ++functions;
      r.function()->KisekiF = true;
      for (int c = 0; c < 10; ++c) {
        CurveSnapshot curve;
        for (int k = 0; k <= 1000; ++k) {
          curve.X.push_back(static_cast<float>(k) * 0.01f - 5.0f);
          curve.Y.push_back(static_cast<float>(c) + 0.001f * static_cast<float>(k * k % 977));
        }
        r.owned.KisekiList.push_back(curve);
      }
    } else if (type == kOleFigure) {
      r.owned.ObjectBytes.assign(2000, 0x42);
    }
    PlaceFigure(s->Figures, slot, std::move(r));
  }
  return s;
}

std::vector<std::uint8_t> Save(const Screen& s, bool compressed) {
  SaveOptions o;
  o.compressed = compressed;
  std::vector<std::uint8_t> out;
  std::string error;
  WriteDocumentBytes(s, "bench.qzl", o, out, error);
  return out;
}

void BM_Save(benchmark::State& state) {
  const bool compressed = state.range(0) != 0;
  auto s = FullScreen();
  std::size_t bytes = 0;
  for (auto _ : state) {
    auto out = Save(*s, compressed);
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["file_bytes"] = static_cast<double>(bytes);
  state.SetLabel(compressed ? "compressed" : "plain");
}

void BM_Load(benchmark::State& state) {
  const bool compressed = state.range(0) != 0;
  auto s = FullScreen();
  const auto bytes = Save(*s, compressed);
  ScreenTitleCounter titles;
  auto target = Screen::Create(NewScreenDefaults{}, titles);
  for (auto _ : state) {
    LoadResult r = ReadDocumentBytes(bytes, *target);
    if (!r.ok()) state.SkipWithError(r.detail.c_str());
  }
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
  state.SetLabel(compressed ? "compressed" : "plain");
}

// Through the file system: the atomic write (temporary file, flush, rename) included.
void BM_SaveFile(benchmark::State& state) {
  const bool compressed = state.range(0) != 0;
  auto s = FullScreen();
  SaveOptions o;
  o.compressed = compressed;
  const std::string path = "/tmp/qzarn-bench-" + std::to_string(::getpid()) + ".qzl";
  for (auto _ : state) {
    if (!SaveDocument(*s, path, o).ok) state.SkipWithError("save failed");
  }
  std::remove(path.c_str());
  state.SetLabel(compressed ? "compressed" : "plain");
}

BENCHMARK(BM_Save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
