#pragma once
// How a changed variable reaches the figures, and the intermediate equations
// that derive variables at the start of every recompute.

namespace qzarn {

class FigureExpressions;
class Screen;

// Writes `value` into the cell (row 0..12, column 1..42) of the screen's
// variables without touching its defined flag, then invalidates the function
// curves that mention the cell. A cell outside the table is ignored.
void AssignVariable(Screen& screen, int row, int column, double value,
                    FigureExpressions& expressions);

// Clears CurveValid of every function figure with a valid curve one of whose
// texts refers to the cell, so that the next pass resamples it.
void InvalidateCurvesUsing(Screen& screen, int row, int column, FigureExpressions& expressions);

// Clears CurveValid of every function figure (value table, options, load).
void InvalidateAllCurves(Screen& screen);

// Evaluates the intermediate equations from the top and assigns each result
// to its variable; a later equation sees the results of earlier ones. Entries
// naming no variable a..z / row 0..9 (a damaged document) are skipped.
void EvaluateEquations(Screen& screen, FigureExpressions& expressions);

}  // namespace qzarn
