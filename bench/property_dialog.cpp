// Opening a figure property dialog on a screen of 500 figures: the form reads
// the record and builds every candidate list (each selector offers every point
// or curve of the screen), then the window is built from the member's table.
// Offscreen; the dialog is built but not shown, which is what stands between a
// double-click and the window appearing. The counter `of_50ms` is the mean
// time of one opening divided by the 50 ms the user may wait at most.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "document/figure_defaults.h"
#include "expr/engine.h"
#include "forms/property_form.h"
#include "ui/property_dialog.h"

#include <QApplication>
#include <QTabWidget>

namespace {

using namespace qzarn;

constexpr int kPoints = 250, kLines = 150, kCircles = 50, kFunctions = 50;
static_assert(kPoints + kLines + kCircles + kFunctions == 500);

struct BusyScreen {
  ScreenTitleCounter titles;
  std::unique_ptr<Screen> screen = Screen::Create(NewScreenDefaults{}, titles);
  FigureDefaults defaults;
  int line = -1, point = -1, function = -1, circle = -1;

  int Add(std::int32_t type, std::int32_t sub_kind, const char* name) {
    FigureRecord r = InitialiseFigure(type, defaults, NewFigureFont{}, sub_kind);
    if (LineRecord* l = r.line()) {
      l->Mode = sub_kind;
      l->Name = name;
    }
    if (CircleRecord* c = r.circle()) {
      c->Mode = sub_kind;
      c->Name = name;
    }
    if (PointRecord* p = r.point()) p->Name = name;
    return *NewFigure(screen->Figures, std::move(r));
  }

  BusyScreen() {
    // Names repeat beyond the suggestion lists; the dialogs do not mind.
    for (int i = 0; i < kPoints; ++i)
      point =
          Add(kPointFigure, 0, i < 26 ? std::string(1, static_cast<char>('A' + i)).c_str() : "P1");
    for (int i = 0; i < kLines; ++i) {
      line = Add(kLineFigure, 0, "L");
      LineRecord& l = *screen->Figures.record(line)->line();
      l.Ref0 = i % kPoints;
      l.Ref1 = (i + 1) % kPoints;
    }
    for (int i = 0; i < kCircles; ++i)
      circle = Add(kCircleFigure, 0, "C");
    for (int i = 0; i < kFunctions; ++i)
      function = Add(kFunctionFigure, 1, "");
  }
};

QApplication& App() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "bench_property_dialog";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

// Argument: 0 the last line (two point selectors), 1 the last point, 2 the
// last circle, 3 the last explicit function.
void BM_OpenPropertyDialog(benchmark::State& state) {
  App();
  BusyScreen s;
  ExprEngine engine;
  const int measured[] = {s.line, s.point, s.circle, s.function};
  const int slot = measured[state.range(0)];
  FigureRecord& record = *s.screen->Figures.record(slot);
  const forms::MemberSpec* spec = forms::FindMember(record);
  if (spec == nullptr) {
    state.SkipWithError("no member for the figure");
    return;
  }
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    forms::PropertyForm form(*spec, record,
                             forms::FormScreen{s.screen->Figures, s.screen->Settings, slot, {}});
    if (form.Open()) {
      state.SkipWithError("the form refused to open");
      return;
    }
    ui::PropertyDialog dialog(form, record, engine, {});
    benchmark::DoNotOptimize(dialog.pages().count());
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.SetLabel(std::string(spec->class_name));
  state.counters["of_50ms"] = seconds / static_cast<double>(state.iterations()) / 0.050;
}
BENCHMARK(BM_OpenPropertyDialog)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
