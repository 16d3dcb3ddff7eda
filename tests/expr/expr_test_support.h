#pragma once
// A screen's variable table plus an engine, for expression tests.

#include <string_view>

#include "expr/engine.h"
#include "expr/variable_table.h"

namespace qzarn::testing {

struct Bench {
  VariableTable table;
  ExprEngine engine;

  Bench() { table.reset_for_new_screen(); }

  // Sets a plain variable a..z (row 0) or a subscripted one.
  void Set(char letter, double v, int row = 0) { table.write(row, letter - 'a' + 1, v); }

  // Text -> normalise -> compile -> evaluate, the road of every figure text.
  Evaluation Eval(std::string_view text) {
    std::string normalised = NormaliseExpression(text);
    CompiledExpression compiled = engine.Compile(normalised);
    return engine.EvaluateCompiled(table, compiled);
  }
};

}  // namespace qzarn::testing
