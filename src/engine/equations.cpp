#include "engine/equations.h"

#include <algorithm>

#include "engine/figure_expressions.h"
#include "engine/screen_access.h"

namespace qzarn {

namespace {

bool TextUses(FigureExpressions& expressions, const Expression& text, int row, int column) {
  return !text.empty() && expressions.UsesVariable(text.view(), row, column);
}

// Every text that shapes the curve: the body, both ranges and, while it is on,
// the display condition. Texts a kind does not read are tested as well; a
// needless resample costs time, a missed one would leave a stale curve.
bool CurveUses(FigureExpressions& expressions, const FunctionRecord& r, int row, int column) {
  if (r.Boolean && TextUses(expressions, r.BooleanFunc, row, column)) return true;
  for (const Expression* text :
       {&r.FuncX, &r.FuncY, &r.AreaSx1, &r.AreaEx1, &r.AreaWd1, &r.AreaSx2, &r.AreaEx2, &r.AreaWd2})
    if (TextUses(expressions, *text, row, column)) return true;
  return false;
}

}  // namespace

void AssignVariable(Screen& screen, int row, int column, double value,
                    FigureExpressions& expressions) {
  if (row < 0 || row >= kVariableRows || column < 1 || column > kVariableColumns) return;
  VariablesOf(screen).write(row, column, value);
  InvalidateCurvesUsing(screen, row, column, expressions);
}

void InvalidateCurvesUsing(Screen& screen, int row, int column, FigureExpressions& expressions) {
  const int last = LastFigureIndex(screen);
  for (int i = 0; i <= last; ++i) {
    if (FigureTypeAt(screen, i) != kFunctionFigure) continue;
    FunctionRecord& r = RecordAt<FunctionRecord>(screen, i);
    if (r.CurveValid && CurveUses(expressions, r, row, column)) r.CurveValid = 0;
  }
}

void InvalidateAllCurves(Screen& screen) {
  const int last = LastFigureIndex(screen);
  for (int i = 0; i <= last; ++i)
    if (FigureTypeAt(screen, i) == kFunctionFigure)
      RecordAt<FunctionRecord>(screen, i).CurveValid = 0;
}

void EvaluateEquations(Screen& screen, FigureExpressions& expressions) {
  EquationBlock& equations = EquationsOf(screen);
  const int last = std::min<int>(equations.EquationLast, kEquationCount - 1);
  for (int i = 0; i <= last; ++i) {
    const EquationEntry& e = equations.Entries[i];
    const int letter = e.LetterIndex;
    const int row = e.Row;
    if (letter < 0 || letter > 25 || row < 0 || row > 9) continue;
    const double value = expressions.Evaluate(VariablesOf(screen), e.Text.view());
    AssignVariable(screen, row, letter + 1, value, expressions);
  }
}

}  // namespace qzarn
