// Any bytes as the text-mode edition's stored functions (FUNCTION.DAT), each entry brought
// into a screen as an import does, then recomputed and drawn: a hostile data folder's texts
// (expressions, ranges) must neither crash nor hang the screen they land on. The input is
// repeated to the full record count, so that short inputs reach every entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include "document/figure_defaults.h"
#include "document/screen.h"
#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"
#include "import/legacy_data.h"
#include "import/page_import.h"
#include "render/draw_screen.h"
#include "render/recording_canvas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qzarn;
  if (size == 0) return 0;
  std::vector<std::uint8_t> file(import::kFunctionEntries * import::kFunctionRecordSize);
  for (std::size_t i = 0; i < file.size(); ++i)
    file[i] = data[i % size];
  std::vector<import::FunctionEntry> entries;
  std::string error;
  if (!import::ReadFunctionFile(file, entries, error)) std::abort();

  static const FigureDefaults defaults;
  ScreenTitleCounter titles;
  std::unique_ptr<Screen> screen = Screen::Create(NewScreenDefaults{}, titles);
  // A few entries per run keep runs quick; which ones depends on the input.
  const std::size_t first = data[0] % entries.size();
  for (std::size_t k = 0; k < 4 && k < entries.size(); ++k)
    if (!import::AddImportedFunction(screen->Figures, defaults, NewFigureFont{},
                                     entries[(first + k * 25) % entries.size()]))
      std::abort();

  ExprEngine expr;
  FigureExpressions expressions(expr);
  SilentEngineUi ui;
  FigureEngine engine(expressions, ui);
  render::RecordingCanvas canvas({320, 240});
  render::DrawScreenInputs inputs;
  inputs.recompute = [&engine](Screen& s) { engine.RecomputeScreen(s); };
  render::DrawScreen(canvas, screen.get(), render::RenderOptions{}, inputs);
  return 0;
}
