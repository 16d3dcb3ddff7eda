#include "app/cli/cli_document.h"
#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"

namespace qzarn::cli {

// One pass with a fresh expression engine, as the desktop program runs after
// loading. A reference cycle asks nothing of a headless run: it shows in the
// figures' Computed flags and the screen's CycleReported.
void RecomputeForCli(Screen& screen) {
  ExprEngine expr;
  FigureExpressions expressions(expr);
  SilentEngineUi ui;
  FigureEngine engine(expressions, ui);
  engine.RecomputeScreen(screen);
}

}  // namespace qzarn::cli
