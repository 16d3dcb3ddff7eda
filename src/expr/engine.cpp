#include "expr/engine.h"

#include "expr/decimal.h"
#include "expr/function_codes.h"
#include "expr/reductions.h"

namespace qzarn {
namespace {

// Semantics of the machine for evaluation: every reduction computes its value
// on the spot.
struct Evaluator {
  const VariableTable& table;
  ExprEngine& engine;

  double Argument(const Token& t, bool negate) {
    if (t.kind == TokenKind::kVariable) return ReadCell(table, t.column, t.row);
    return negate ? -t.number : t.number;
  }

  double Reduce(int p, const ParseEntry* e, ExprFlags& f) {
    switch (p) {
      case 9:
        return -e[1].value;
      case 13:
        return ReadCell(table, e[0].column, e[0].row);
      case 14:
        return e[1].value;
      case 16:
        if (!TakesOneArgument(e[0].code)) break;
        return FunctionOf1(e[0].code, e[2].value, engine.int_gap, f.math_error);
      case 21:
        if (e[0].code == kCodePiConstant) return kPi;
        return NextRandom(engine.random_seed);
      case 22:
        if (!TakesTwoArguments(e[0].code)) break;
        return FunctionOf2(e[0].code, e[2].value, e[4].value, f.math_error, f.syntax_error);
      case 99:
        if (!TakesThreeArguments(e[0].code)) break;
        return FunctionOf3(e[0].code, e[2].value, e[4].value, e[6].value, f.math_error);
      default:
        if (IsBinaryProduction(p)) return ApplyBinary(p, e[0].value, e[2].value, f.math_error);
        return e[0].value;  // single-entry productions pass their value on
    }
    // A function applied to a number of arguments its catalogue entry does not take.
    f.syntax_error = true;
    return 0.0;
  }
};

}  // namespace

CompiledExpression ExprEngine::Compile(std::string_view normalised) {
  CompileResult r = CompileExpression(normalised);
  if (!r.plain_number) {
    flags.syntax_error = r.syntax_error;
    flags.math_error = false;
    flags.uses_variables = r.uses_variables;
  }
  return r.compiled;
}

Evaluation ExprEngine::EvaluateCompiled(const VariableTable& table,
                                        const CompiledExpression& compiled) {
  flags.clear();
  CompiledReader reader(compiled);
  Evaluator sem{table, *this};
  double value = 0.0;
  RunMachine(sem, reader, stack_, flags, value);
  return FinishEvaluation(flags, value);
}

Evaluation ExprEngine::EvaluateTextDetailed(const VariableTable& table, std::string_view text) {
  if (text.empty()) return {0.0, 1};
  if (IsPlainNumberText(text)) return {*ParseDecimal(text), 1};
  NormaliseExpressionInto(text, scratch_);
  CompiledExpression compiled = Compile(scratch_);
  return EvaluateCompiled(table, compiled);
}

bool ExprEngine::CheckExpression(const VariableTable& table, std::string_view text) {
  if (text.empty()) return true;
  NormaliseExpressionInto(text, scratch_);
  CompiledExpression compiled = Compile(scratch_);
  EvaluateCompiled(table, compiled);
  return !flags.syntax_error && !flags.too_long;
}

bool ExpressionUsesVariable(std::string_view text, int column, int row) {
  CompileResult r = CompileExpression(NormaliseExpression(text));
  // Walk the items rather than searching bytes: the eight bytes of a number
  // may happen to look like a reference.
  CompiledReader reader(r.compiled, CompiledReader::kWholeLength);
  ExprFlags scratch;
  for (;;) {
    Token t = reader.Next(scratch);
    if (t.kind == TokenKind::kEnd) return false;
    if (t.kind == TokenKind::kVariable && t.column == column && t.row == row) return true;
  }
}

std::optional<VariableName> ParseVariableName(std::string_view text) {
  auto letter = [](char c) -> int {
    if (c >= 'a' && c <= 'z') return c - 'a' + 1;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
    return 0;
  };
  if (text.size() == 1 && letter(text[0])) return VariableName{letter(text[0]), 0};
  if (text.size() == 2 && letter(text[0]) && text[1] >= '1' && text[1] <= '9')
    return VariableName{letter(text[0]), text[1] - '0'};
  return std::nullopt;
}

}  // namespace qzarn
