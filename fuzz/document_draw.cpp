// Loads arbitrary bytes as a document and, when they load, recomputes every
// figure and draws the screen: whatever a damaged file holds (counts, steps,
// references, texts), opening and showing it must neither crash nor hang.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "document/document_file.h"
#include "document/screen.h"
#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"
#include "render/draw_screen.h"
#include "interact/hit_test.h"
#include "render/recording_canvas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qzarn::ScreenTitleCounter titles;
  std::unique_ptr<qzarn::Screen> screen = qzarn::Screen::Create(qzarn::NewScreenDefaults{}, titles);
  if (!qzarn::ReadDocumentBytes({data, size}, *screen).ok()) return 0;

  qzarn::ExprEngine expr;
  qzarn::FigureExpressions expressions(expr);
  qzarn::SilentEngineUi ui;
  qzarn::FigureEngine engine(expressions, ui);
  // A small device keeps runs quick; drawing clips against it all the same.
  qzarn::render::RecordingCanvas canvas({320, 240});
  qzarn::render::DrawScreenInputs inputs;
  inputs.recompute = [&engine](qzarn::Screen& s) { engine.RecomputeScreen(s); };
  qzarn::render::DrawScreen(canvas, screen.get(), qzarn::render::RenderOptions{}, inputs);
  // A second pass sees the results of the first, as a redraw after an edit does.
  engine.RecomputeScreen(*screen);
  // The mouse moving over it: every figure is hit-tested at a few positions.
  const qzarn::interact::HitSettings hit;
  for (double p : {0.0, 37.5, 160.0, 239.0}) {
    qzarn::interact::PickFigure(*screen, hit, p * 4 / 3, p);
    qzarn::interact::PickPoint(*screen, hit, p, p);
    for (int slot = 0; slot <= std::min(screen->Figures.LastIndex, 500); ++slot)
      qzarn::interact::HitSelected(*screen, hit, slot, p, 240 - p);
  }
  return 0;
}
