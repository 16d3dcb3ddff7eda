#pragma once
// Which figures a change of variable values can reach, so that a palette or
// animation step, or a drag that rewrites a variable, recomputes and redraws
// only those and leaves the rest of the screen as the last full pass left it.

#include <optional>
#include <span>
#include <vector>

#include "document/screen.h"

namespace qzarn {

class FigureExpressions;

// One cell of the screen's variable table (row 0..12, column 1..42).
struct VariableRef {
  int row = 0;
  int column = 0;
  friend bool operator==(const VariableRef&, const VariableRef&) = default;
};

// Whether a pass over some figures alone can give what the full pass gives:
// no intermediate equations (they run on every pass and may feed any
// variable), no RANDOM in any text (a full pass draws new values), and every
// figure computed by the last full pass (no reference cycle left behind).
bool PartialPassPossible(const Screen& screen);

// Whether one of the figure's texts reads the cell: an expression it
// evaluates (coordinates, radii, bodies and ranges, its display condition),
// or, for a text box, a value inserted into its lines (any "$" counts, since
// the inserted expression may read any variable).
bool FigureReadsVariable(const Screen& screen, int index, FigureExpressions& expressions,
                         VariableRef cell);

// The figures a pass must recompute, and the picture redraw, after the cells
// changed and the given figures' own texts were rewritten, in slot order:
// those figures, the figures reading one of the cells, every function whose
// curve waits to be resampled anyway, every figure whose locus is on (a full
// pass records it again), and every figure depending on one of these.
// Nothing when only the full pass is exact (PartialPassPossible).
std::optional<std::vector<int>> FiguresReachedBy(const Screen& screen,
                                                 FigureExpressions& expressions,
                                                 std::span<const VariableRef> cells,
                                                 std::span<const int> figures = {});

// The cells named by the figure's texts that are a variable name alone (what
// a drag of the figure may rewrite).
std::vector<VariableRef> VariablesNamedBy(const FigureRecord& record);

}  // namespace qzarn
