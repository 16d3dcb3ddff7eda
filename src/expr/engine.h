#pragma once
// The expression engine: status flags, the random sequence and the INT gap,
// plus the parse stack, owned by one object that callers pass by reference.
// Single-threaded: one evaluation (and the reading of its flags) at a time
// per engine.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "expr/compiler.h"
#include "expr/expr_types.h"
#include "expr/normalise.h"
#include "expr/parse_table.h"
#include "expr/variable_table.h"

namespace qzarn {

inline constexpr double kDefaultIntGap = 0.01;

class ExprEngine {
 public:
  ExprEngine() { scratch_.reserve(512); }

  // Status of the last call.
  ExprFlags flags;
  // RANDOM's generator state; 0 at start, never reseeded.
  std::uint32_t random_seed = 0;
  // How far below the next integer INT reports a math error (Math_Int_Limit).
  double int_gap = kDefaultIntGap;

  // Compiles a normalised text, clearing syntax, math and uses-variables
  // flags first (all flags stay as they were for a plain number).
  CompiledExpression Compile(std::string_view normalised);

  // Parses and evaluates at most the first 250 bytes of `compiled`.
  Evaluation EvaluateCompiled(const VariableTable& table, const CompiledExpression& compiled);

  // A plain number is returned as written without touching the flags; an
  // empty text is 0; anything else is normalised, compiled and evaluated.
  double EvaluateText(const VariableTable& table, std::string_view text) {
    return EvaluateTextDetailed(table, text).value;
  }
  Evaluation EvaluateTextDetailed(const VariableTable& table, std::string_view text);

  // Valid unless compiling or one trial evaluation reports a syntax or length
  // error; an empty text is valid. The trial evaluation draws random values.
  bool CheckExpression(const VariableTable& table, std::string_view text);

 private:
  ParseEntry stack_[kParseStackSize] = {};
  std::string scratch_;
};

// True when the compiled text refers to the cell (column, row), with or
// without `$` marks.
bool ExpressionUsesVariable(std::string_view text, int column, int row);

struct VariableName {
  int column;
  int row;
};
// A name the palette and the pointer tools accept: one letter a..z, or one
// letter followed by one digit 1..9 (any case).
std::optional<VariableName> ParseVariableName(std::string_view text);

}  // namespace qzarn
