#pragma once
// The fast path for curve sampling: a compiled form translated once into
// postfix code with resolved cells, run without re-parsing. It computes the
// same values, flags, attribute codes and random draws as the parsing
// evaluator, because the translation is made by the very same parse machine
// and every operation calls the same arithmetic.

#include <cstdint>

#include "expr/engine.h"
#include "expr/expr_types.h"
#include "expr/variable_table.h"

namespace qzarn {

// Every opcode, in the order of ProgramOpcode (the evaluator keeps a jump table in this order).
// clang-format off
#define QZ_PROGRAM_OPCODES(X)                                                       \
  X(kConst) X(kVar) X(kRandom) X(kNegate)                                           \
  X(kAddS) X(kAddC) X(kAddV) X(kAddVC) X(kAddCV)                                    \
  X(kSubS) X(kSubC) X(kSubV) X(kSubVC) X(kSubCV)                                    \
  X(kMulS) X(kMulC) X(kMulV) X(kMulVC) X(kMulCV)                                    \
  X(kDivS) X(kDivC) X(kDivV) X(kDivVC) X(kDivCV)                                    \
  X(kPowS) X(kPowC) X(kPowV) X(kPowVC) X(kPowCV)                                    \
  X(kLtS) X(kLtC) X(kLtV) X(kLtVC) X(kLtCV)                                         \
  X(kLeS) X(kLeC) X(kLeV) X(kLeVC) X(kLeCV)                                         \
  X(kGtS) X(kGtC) X(kGtV) X(kGtVC) X(kGtCV)                                         \
  X(kGeS) X(kGeC) X(kGeV) X(kGeVC) X(kGeCV)                                         \
  X(kBinaryS) X(kBinaryC) X(kBinaryV) X(kBinaryVC) X(kBinaryCV)                     \
  X(kRSubC) X(kRSubV) X(kRDivC) X(kRDivV) X(kRPowC) X(kRPowV)                       \
  X(kSquareC) X(kSquareVC) X(kCubeC) X(kCubeVC) X(kFourthC) X(kFourthVC)            \
  X(kPowWholeC) X(kPowWholeVC)                                                      \
  X(kSin) X(kCos) X(kSqrt) X(kAbs) X(kExp) X(kLn)                                   \
  X(kFunction1) X(kFunction2) X(kFunction3) X(kEnd)
// clang-format on

enum class ProgramOpcode : std::uint8_t {
  kConst,   // push value
  kVar,     // push the cell (row, column)
  kRandom,  // push the next random value
  kNegate,
  // Binary operators; S takes the right operand from the stack, C is the
  // constant `value`, V the cell; VC pushes the operation of the cell (left)
  // and the constant (right), CV the constant (left) and the cell (right).
  // `code` holds the production for kBinary*.
  kAddS,
  kAddC,
  kAddV,
  kAddVC,
  kAddCV,
  kSubS,
  kSubC,
  kSubV,
  kSubVC,
  kSubCV,
  kMulS,
  kMulC,
  kMulV,
  kMulVC,
  kMulCV,
  kDivS,
  kDivC,
  kDivV,
  kDivVC,
  kDivCV,
  kPowS,
  kPowC,
  kPowV,
  kPowVC,
  kPowCV,
  kLtS,
  kLtC,
  kLtV,
  kLtVC,
  kLtCV,
  kLeS,
  kLeC,
  kLeV,
  kLeVC,
  kLeCV,
  kGtS,
  kGtC,
  kGtV,
  kGtVC,
  kGtCV,
  kGeS,
  kGeC,
  kGeV,
  kGeVC,
  kGeCV,
  kBinaryS,
  kBinaryC,
  kBinaryV,
  kBinaryVC,
  kBinaryCV,
  // The constant or the cell on the left, the top of the stack on the right:
  // `2^x`, `4-(...)`, `1/(...)`.
  kRSubC,
  kRSubV,
  kRDivC,
  kRDivV,
  kRPowC,
  kRPowV,
  // The top of the stack (C) or the cell (VC, pushed) to a whole power of
  // 2 (Square), 3 (Cube), 4 (Fourth) or `code` (5..8, PowWhole).
  kSquareC,
  kSquareVC,
  kCubeC,
  kCubeVC,
  kFourthC,
  kFourthVC,
  kPowWholeC,
  kPowWholeVC,
  kSin,  // the most common functions, inline
  kCos,
  kSqrt,
  kAbs,
  kExp,
  kLn,
  kFunction1,  // code
  kFunction2,  // code; a ROUND digit error stops with the flags as they stood
  kFunction3,  // code
  kEnd,        // code: bit 0 syntax error, bit 1 length error; else accept
};

struct ProgramOp {
  ProgramOpcode opcode;
  std::uint8_t code;
  std::uint8_t row;
  std::uint8_t column_index;    // column - 1
  std::uint8_t uses_variables;  // kFunction2 and kEnd: the flag at that point of parsing
  std::uint16_t cell_offset;    // where the cell (row, column) starts in the table's bytes
  double value;
};
static_assert(sizeof(ProgramOp) == 16);

// Every token yields at most one operation, plus the end.
inline constexpr int kProgramCapacity = kCompiledCapacity + 2;

struct CompiledProgram {
  ProgramOp ops[kProgramCapacity];
  int count = 0;
};

CompiledProgram TranslateExpression(const CompiledExpression& compiled);

// How many values an operation takes from the stack (the top counted); each
// leaves one.
int OperandsTaken(ProgramOpcode opcode);

// Sets engine.flags and draws from engine.random_seed exactly as
// engine.EvaluateCompiled would for the translated compiled form.
Evaluation EvaluateProgram(ExprEngine& engine, const VariableTable& table,
                           const CompiledProgram& program);

// The evaluator comes in two builds with the same results: plain arithmetic,
// and fused multiply-add for the whole powers' exact rounding errors where the
// processor has it. EvaluateProgram picks the fused one when it can; tests
// compare both.
enum class ProductUnit { kPlain, kFused };
bool FusedProductsAvailable();
// kFused only where FusedProductsAvailable(). WholePowerFused is the fused
// build's `b ^ n` for a whole n of 2 to 8, as a test sees it.
double WholePowerFused(double b, int n, bool& math_error);
Evaluation EvaluateProgramOn(ProductUnit unit, ExprEngine& engine, const VariableTable& table,
                             const CompiledProgram& program);

}  // namespace qzarn
