#pragma once
// The recompute pass: intermediate equations first, then every figure in slot
// order, each one after the figures it refers to. A figure is computed at most
// once per pass; a counter per root figure stops reference cycles.

#include <cstdint>
#include <span>

#include "document/figure_layouts.h"
#include "engine/geometry_values.h"

namespace qzarn {

class EngineUi;
class FigureExpressions;
class Screen;

// Figure computations started from one root before the pass gives up on it:
// a reference cycle, or a chain of more not-yet-computed figures than this.
inline constexpr int kComputationLimit = 100;

class FigureEngine {
 public:
  FigureEngine(FigureExpressions& expressions, EngineUi& ui);

  // The full pass over `screen`. A pass that runs into the computation limit
  // sets the screen's CycleReported and shows the cycle message, but only when
  // the previous pass had no cycle; a pass without a cycle clears the flag.
  // A call made while a pass is running (from inside the message) is ignored.
  void RecomputeScreen(Screen& screen);

  // A pass over the figures in `slots` alone (ascending), every other figure
  // taken as computed as the last full pass left it: for a change that can
  // reach no figure outside the list (a figure and its dependents, nothing
  // read from a variable). Intermediate equations are not evaluated and no
  // message is shown. Returns false, leaving the Computed flags to the next
  // full pass, when a figure ran into the computation limit or a pass is
  // running; the caller then runs the full pass.
  bool RecomputeFigures(Screen& screen, std::span<const int> slots);

  // Computes the figure in slot ref mod 10000 of the screen being computed if
  // it was not computed in this pass, after the figures it refers to; returns
  // whether it and everything it needed were computed. An empty slot counts as
  // computed. Only meaningful inside RecomputeScreen (constructions call it).
  bool ComputeFigure(std::int32_t ref);

  // --- for the constructions, during a pass ---
  Screen& screen() { return *screen_; }
  // The value of one of the figure's texts against the screen's variables.
  double Evaluate(const Expression& text);
  // The figure is computed and, when its locus is on, its position recorded.
  void RecordLocus(int index);
  // The evaluator of the pass, for the curve samplers that run compiled programs.
  FigureExpressions& expressions() { return expressions_; }
  // Where remarks about the pass go (the status bar).
  EngineUi& ui() { return ui_; }

 private:
  bool ComputeSlot(int index, std::int32_t type);

  FigureExpressions& expressions_;
  EngineUi& ui_;
  Screen* screen_ = nullptr;
  int counter_ = 0;
  bool in_pass_ = false;
};

// Walks a figure's references in field order: each reference is computed
// while every earlier one succeeded, and its coordinates are read either way.
class ReferenceWalk {
 public:
  explicit ReferenceWalk(FigureEngine& engine) : engine_(engine) {}
  // Computes the reference (unless -1) and reads it as a point / a line.
  PlanePoint Point(std::int32_t ref);
  LinePoints Line(std::int32_t ref);
  // For an optional reference: unless it is -1, computes it and copies its
  // point over (x, y), the values the figure's own texts gave.
  void PointInto(std::int32_t ref, F64& x, F64& y);
  // Computes the reference without reading it.
  void Require(std::int32_t ref);
  bool ok() const { return ok_; }

 private:
  FigureEngine& engine_;
  bool ok_ = true;
};

}  // namespace qzarn
