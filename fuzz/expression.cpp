// Fuzzes the expression engine: the input is taken both as an expression text
// (normalise, compile, evaluate, check) and as a raw compiled form; the
// compiled program must agree with the parsing evaluator to the bit, in
// flags, attribute and random draws.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "expr/engine.h"
#include "expr/program.h"

namespace {

qzarn::VariableTable& Table() {
  static qzarn::VariableTable table = [] {
    qzarn::VariableTable t;
    t.reset_for_new_screen();
    const double values[] = {0, 1, -1, 0.5, 2, 3, 12, 1e-5, 1e10, -7, 700, 33.9, 2.995};
    for (int row = 0; row <= 12; ++row)
      for (int column = 1; column <= 26; ++column)
        t.bind(row, column, values[(row * 26 + column) % std::size(values)]);
    return t;
  }();
  return table;
}

void Compare(const qzarn::CompiledExpression& compiled) {
  static qzarn::ExprEngine machine, fast;
  const std::uint32_t seed = machine.random_seed;
  qzarn::Evaluation want = machine.EvaluateCompiled(Table(), compiled);
  if (!std::isfinite(want.value)) {
    std::fprintf(stderr, "evaluation gave %g\n", want.value);
    std::abort();
  }
  const qzarn::CompiledProgram program = qzarn::TranslateExpression(compiled);
  // Both builds of the program evaluator, where the processor runs both.
  for (qzarn::ProductUnit unit : {qzarn::ProductUnit::kPlain, qzarn::ProductUnit::kFused}) {
    if (unit == qzarn::ProductUnit::kFused && !qzarn::FusedProductsAvailable()) continue;
    fast.random_seed = seed;
    qzarn::Evaluation got = qzarn::EvaluateProgramOn(unit, fast, Table(), program);
    if (std::memcmp(&want.value, &got.value, sizeof want.value) != 0 ||
        want.attribute != got.attribute || !(machine.flags == fast.flags) ||
        machine.random_seed != fast.random_seed) {
      std::fprintf(stderr, "program %.17g/%d differs from machine %.17g/%d\n", got.value,
                   got.attribute, want.value, want.attribute);
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  static qzarn::ExprEngine engine;
  double v = engine.EvaluateText(Table(), text);
  if (!std::isfinite(v)) std::abort();  // plain numbers are finite too
  engine.CheckExpression(Table(), text);
  qzarn::ExpressionUsesVariable(text, 24, 0);

  qzarn::CompileResult r = qzarn::CompileExpression(qzarn::NormaliseExpression(text));
  Compare(r.compiled);
  Compare(qzarn::CompiledExpression::FromBytes(text));
  return 0;
}
