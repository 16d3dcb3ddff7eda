#pragma once
// Screens for variable steps: a 500-figure lesson with a new figure's
// attributes where a tenth of the figures (50 circles) read the variable a,
// made last (together at the end of the picture order) or spread through
// the figure list (every other group of four).

#include <memory>
#include <string>

#include "document/figure_defaults.h"
#include "draw_screen_workloads.h"

namespace qzarn::bench {

inline std::unique_ptr<Screen> TenthReadA(bool spread, int width, int height) {
  constexpr int kFigures = 500, kReaders = 50;
  std::unique_ptr<Screen> screen = bench::NewFigureLesson(spread ? kFigures : kFigures - kReaders);
  const FigureDefaults defaults;
  const auto reads_a = [](CircleRecord& c, int k) {
    c.FX0 = ("a+" + std::to_string(k % 9 - 4)).c_str();
    c.FY0 = std::to_string(k % 7 - 3).c_str();
  };
  if (spread) {
    // The circle of every other group of four reads a: a tenth of the figures.
    for (int i = 0, k = 0; i < kFigures && k < kReaders; ++i) {
      FigureRecord* r = screen->Figures.record(i);
      if (r == nullptr || r->type() != kCircleFigure || (i / 4) % 2 != 0) continue;
      reads_a(*r->circle(), k++);
    }
  } else {
    for (int k = 0; k < kReaders; ++k) {
      FigureRecord circle = defaults.Record(kCircleFigure);
      CircleRecord& c = *circle.circle();
      c.Mode = 0;
      reads_a(c, k);
      c.FX1 = std::to_string(1 + k % 3).c_str();
      c.Ref0 = c.Ref1 = c.Ref2 = -1;
      NewFigure(screen->Figures, std::move(circle));
    }
  }
  screen->View().ScreenWidth = width;
  screen->View().ScreenHeight = height;
  return screen;
}

}  // namespace qzarn::bench
