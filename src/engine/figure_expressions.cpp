#include "engine/figure_expressions.h"

#include "expr/decimal.h"
#include "expr/engine.h"
#include "expr/normalise.h"
#include "expr/program.h"

namespace qzarn {

namespace {

// Past this many texts the cache starts over; a screen holds at most a few
// thousand texts, so only texts typed and discarded over a long session go.
constexpr std::size_t kCacheLimit = 4096;

}  // namespace

struct FigureExpressions::Compiled {
  enum class Kind {
    kEmpty,     // reads as 0
    kNumber,    // a plain number, taken as written
    kProgram,   // compiled once, evaluated against the variables each time
    kRejected,  // compilation itself failed: evaluated the long way every time
  };
  Kind kind = Kind::kEmpty;
  double number = 0.0;
  CompiledProgram program;
};

FigureExpressions::FigureExpressions(ExprEngine& expr) : expr_(expr) {}
FigureExpressions::~FigureExpressions() = default;

std::size_t FigureExpressions::cached_texts() const {
  return cache_.size();
}

FigureExpressions::Compiled& FigureExpressions::Lookup(std::string_view text) {
  auto it = cache_.find(text);
  if (it != cache_.end()) return *it->second;
  if (cache_.size() >= kCacheLimit) cache_.clear();

  auto entry = std::make_unique<Compiled>();
  if (text.empty()) {
    entry->kind = Compiled::Kind::kEmpty;
  } else if (IsPlainNumberText(text)) {
    entry->kind = Compiled::Kind::kNumber;
    entry->number = ParseDecimal(text).value_or(0.0);
  } else {
    const CompiledExpression compiled = expr_.Compile(NormaliseExpression(text));
    if (expr_.flags.syntax_error) {
      entry->kind = Compiled::Kind::kRejected;
    } else {
      entry->kind = Compiled::Kind::kProgram;
      entry->program = TranslateExpression(compiled);
    }
  }
  return *cache_.emplace(std::string(text), std::move(entry)).first->second;
}

double FigureExpressions::Evaluate(const VariableTable& table, std::string_view text) {
  const Compiled& c = Lookup(text);
  switch (c.kind) {
    case Compiled::Kind::kEmpty:
      return 0.0;
    case Compiled::Kind::kNumber:
      return c.number;
    case Compiled::Kind::kProgram:
      return EvaluateProgram(expr_, table, c.program).value;
    case Compiled::Kind::kRejected:
      break;
  }
  return expr_.EvaluateText(table, text);
}

bool FigureExpressions::UsesVariable(std::string_view text, int row, int column) {
  if (row < 0 || row >= kVariableRows || column < 1 || column > kVariableColumns) return false;
  auto it = usage_.find(text);
  if (it == usage_.end()) {
    if (usage_.size() >= kCacheLimit) usage_.clear();
    it = usage_.emplace(std::string(text), Usage{}).first;
  }
  Usage& usage = it->second;
  const std::size_t cell = static_cast<std::size_t>(row * kVariableColumns + column - 1);
  if (!usage.known[cell]) {
    usage.known[cell] = true;
    usage.uses[cell] = ExpressionUsesVariable(text, column, row);
  }
  return usage.uses[cell];
}

}  // namespace qzarn
