#include "expr/program.h"

#include "expr/function_codes.h"
#include "expr/parse_table.h"
#include "expr/reductions.h"

#include <cstddef>
#include <cstring>
#include <iterator>

namespace qzarn {
namespace {

using Op = ProgramOpcode;

// Semantics of the machine for translation: reductions emit the operation
// that the evaluator would compute at that moment, in the same order.
Op FunctionOpcode(int code) {
  switch (code) {
    case kCodeSin:
      return Op::kSin;
    case kCodeCos:
      return Op::kCos;
    case kCodeSqrt:
      return Op::kSqrt;
    case kCodeAbs:
      return Op::kAbs;
    case kCodeExp:
      return Op::kExp;
    case kCodeLn:
      return Op::kLn;
    default:
      return Op::kFunction1;
  }
}

struct Translator {
  CompiledProgram& program;

  ProgramOp& Emit(Op opcode) {
    ProgramOp& op = program.ops[program.count++];
    op = ProgramOp{opcode, 0, 0, 0, 0, 0, 0.0};
    return op;
  }

  void EmitConstant(double v) { Emit(Op::kConst).value = v; }

  void EmitCell(int column, int row) {
    if (column < 1 || column > kVariableColumns || row < 0 || row >= kVariableRows) {
      EmitConstant(0.0);
      return;
    }
    ProgramOp& op = Emit(Op::kVar);
    op.column_index = static_cast<std::uint8_t>(column - 1);
    op.row = static_cast<std::uint8_t>(row);
  }

  // The right operand is the last value pushed; a constant or cell pushed by
  // the operation just before is folded into the operator.
  void EmitBinary(int production) {
    Op base;
    switch (production) {
      case kProdAdd:
        base = Op::kAddS;
        break;
      case kProdSubtract:
        base = Op::kSubS;
        break;
      case kProdMultiply:
        base = Op::kMulS;
        break;
      case kProdDivide:
        base = Op::kDivS;
        break;
      case kProdPower:
        base = Op::kPowS;
        break;
      case kProdLt:
        base = Op::kLtS;
        break;
      case kProdLe:
        base = Op::kLeS;
        break;
      case kProdGt:
        base = Op::kGtS;
        break;
      case kProdGe:
        base = Op::kGeS;
        break;
      default:
        base = Op::kBinaryS;
        break;
    }
    ProgramOp& last = program.ops[program.count - 1];
    int variant = 0;
    if (last.opcode == Op::kConst) variant = 1;
    if (last.opcode == Op::kVar) variant = 2;
    if (variant == 1 && program.count >= 2 && program.ops[program.count - 2].opcode == Op::kVar) {
      // A lone cell as the left operand: an expression whose last operation
      // only pushes is that one push.
      ProgramOp& left = program.ops[program.count - 2];
      left.opcode = static_cast<Op>(static_cast<int>(base) + 3);
      left.code = static_cast<std::uint8_t>(production);
      left.value = last.value;
      --program.count;
      return;
    }
    if (variant == 2 && program.count >= 2 && program.ops[program.count - 2].opcode == Op::kConst) {
      ProgramOp& left = program.ops[program.count - 2];
      left.opcode = static_cast<Op>(static_cast<int>(base) + 4);
      left.code = static_cast<std::uint8_t>(production);
      left.row = last.row;
      left.column_index = last.column_index;
      --program.count;
      return;
    }
    if (variant != 0) {
      last.opcode = static_cast<Op>(static_cast<int>(base) + variant);
      last.code = static_cast<std::uint8_t>(production);
      return;
    }
    Emit(base).code = static_cast<std::uint8_t>(production);
  }

  double Argument(const Token& t, bool negate) {
    if (t.kind == TokenKind::kVariable)
      EmitCell(t.column, t.row);
    else
      EmitConstant(negate ? -t.number : t.number);
    return 0.0;
  }

  double Reduce(int p, const ParseEntry* e, ExprFlags& f) {
    switch (p) {
      case 9:
        Emit(Op::kNegate);
        break;
      case 13:
        EmitCell(e[0].column, e[0].row);
        break;
      case 15:
        EmitConstant(e[0].value);
        break;
      case 16:
        if (!TakesOneArgument(e[0].code))
          f.syntax_error = true;
        else
          Emit(FunctionOpcode(e[0].code)).code = e[0].code;
        break;
      case 21:
        if (e[0].code == kCodePiConstant)
          EmitConstant(kPi);
        else
          Emit(Op::kRandom);
        break;
      case 22:
        if (!TakesTwoArguments(e[0].code)) {
          f.syntax_error = true;
        } else {
          ProgramOp& op = Emit(Op::kFunction2);
          op.code = e[0].code;
          op.uses_variables = f.uses_variables;
        }
        break;
      case 99:
        if (!TakesThreeArguments(e[0].code))
          f.syntax_error = true;
        else
          Emit(Op::kFunction3).code = e[0].code;
        break;
      default:
        if (IsBinaryProduction(p)) EmitBinary(p);
        break;  // single-entry productions and parentheses compute nothing
    }
    return 0.0;
  }
};

// The first opcode of each family of five binary variants (S, C, V, VC, CV).
constexpr int kFirstBinary = static_cast<int>(Op::kAddS);
constexpr int kLastBinary = static_cast<int>(Op::kBinaryCV);

Op BinaryVariant(Op family_s, int variant) {
  return static_cast<Op>(static_cast<int>(family_s) + variant);
}

}  // namespace

int OperandsTaken(ProgramOpcode opcode) {
  const int o = static_cast<int>(opcode);
  if (o >= kFirstBinary && o <= kLastBinary) {
    static constexpr int kByVariant[] = {2, 1, 1, 0, 0};
    return kByVariant[(o - kFirstBinary) % 5];
  }
  switch (opcode) {
    case Op::kConst:
    case Op::kVar:
    case Op::kRandom:
    case Op::kSquareVC:
    case Op::kCubeVC:
    case Op::kFourthVC:
    case Op::kPowWholeVC:
      return 0;
    case Op::kFunction2:
      return 2;
    case Op::kFunction3:
      return 3;
    default:
      return 1;
  }
}

namespace {

// `left op top` with `left` a lone constant or cell, as one operation on the
// top of the stack: the same arithmetic with the operands where they were.
// Sums, products, equality and the logical words do not depend on the order
// of their operands; comparisons turn round.
bool TakeLeftOperand(ProgramOp& op, const ProgramOp& left) {
  const bool cell = left.opcode == Op::kVar;
  const int variant = cell ? 2 : 1;
  Op replaced;
  int code = op.code;
  switch (op.opcode) {
    case Op::kAddS:
    case Op::kMulS:
      replaced = BinaryVariant(op.opcode, variant);
      break;
    case Op::kSubS:
      replaced = cell ? Op::kRSubV : Op::kRSubC;
      break;
    case Op::kDivS:
      replaced = cell ? Op::kRDivV : Op::kRDivC;
      break;
    case Op::kPowS:
      replaced = cell ? Op::kRPowV : Op::kRPowC;
      break;
    case Op::kLtS:
      replaced = BinaryVariant(Op::kGtS, variant);
      code = kProdGt;
      break;
    case Op::kLeS:
      replaced = BinaryVariant(Op::kGeS, variant);
      code = kProdGe;
      break;
    case Op::kGtS:
      replaced = BinaryVariant(Op::kLtS, variant);
      code = kProdLt;
      break;
    case Op::kGeS:
      replaced = BinaryVariant(Op::kLeS, variant);
      code = kProdLe;
      break;
    case Op::kBinaryS:
      if (code != kProdEq && code != kProdNe && code != kProdAnd && code != kProdOr) return false;
      replaced = BinaryVariant(Op::kBinaryS, variant);
      break;
    default:
      return false;
  }
  op = ProgramOp{replaced,  static_cast<std::uint8_t>(code), left.row, left.column_index, 0, 0,
                 left.value};
  return true;
}

// A power with a whole constant exponent of 2 to 8 as products.
void UseWholePower(ProgramOp& op) {
  if ((op.opcode != Op::kPowC && op.opcode != Op::kPowVC) || !IsSmallWholeExponent(op.value))
    return;
  const bool cell = op.opcode == Op::kPowVC;
  const int n = static_cast<int>(op.value);
  if (n == 2)
    op.opcode = cell ? Op::kSquareVC : Op::kSquareC;
  else if (n == 3)
    op.opcode = cell ? Op::kCubeVC : Op::kCubeC;
  else if (n == 4)
    op.opcode = cell ? Op::kFourthVC : Op::kFourthC;
  else
    op.opcode = cell ? Op::kPowWholeVC : Op::kPowWholeC;
  op.code = static_cast<std::uint8_t>(n);
}

// Rewrites the translated program into fewer, more specific operations with
// the same arithmetic in the same order, so the same bits and flags. A lone
// constant or cell left of an operator whose right side is computed moves into
// the operator (it has no effect to keep in place: cells do not change while
// an expression runs, and only RANDOM and the functions have effects); whole
// powers become products.
CompiledProgram Streamline(const CompiledProgram& in) {
  CompiledProgram out;
  // Where each value on the stack starts in `out`.
  int starts[kProgramCapacity];
  int depth = 0;
  for (int i = 0; i < in.count; ++i) {
    ProgramOp op = in.ops[i];
    if (op.opcode == Op::kEnd) {
      out.ops[out.count++] = op;
      break;
    }
    const int taken = OperandsTaken(op.opcode);
    if (taken > depth) return in;  // no stack to follow: leave it as translated
    depth -= taken;
    int start = taken == 0 ? out.count : starts[depth];
    if (taken == 2 && op.opcode != Op::kFunction2) {
      const int left = starts[depth];
      const Op pushed = out.ops[left].opcode;
      if (starts[depth + 1] == left + 1 && (pushed == Op::kConst || pushed == Op::kVar) &&
          TakeLeftOperand(op, out.ops[left])) {
        for (int k = left; k + 1 < out.count; ++k)
          out.ops[k] = out.ops[k + 1];
        --out.count;
        start = left;
      }
    }
    UseWholePower(op);
    out.ops[out.count++] = op;
    starts[depth++] = start;
  }
  return out;
}

// The jump table below is indexed by opcode: the list must follow the enum.
constexpr bool OpcodeListInEnumOrder() {
#define QZ_VALUE(name) Op::name,
  constexpr Op kListed[] = {QZ_PROGRAM_OPCODES(QZ_VALUE)};
#undef QZ_VALUE
  for (std::size_t i = 0; i < std::size(kListed); ++i)
    if (static_cast<std::size_t>(kListed[i]) != i) return false;
  return std::size(kListed) == static_cast<std::size_t>(Op::kEnd) + 1;
}
static_assert(OpcodeListInEnumOrder());

static_assert(sizeof(VariableTable) == sizeof(VariableCell) * kVariableRows * kVariableColumns);
// The cell an operation reads, found by the byte offset worked out once at
// translation; what it reads is what VariableCell::read gives.
inline double Cell(const VariableTable& table, const ProgramOp& op) {
  const auto* cell = reinterpret_cast<const unsigned char*>(&table) + op.cell_offset;
  double v = 0.0;
  if (cell[offsetof(VariableCell, defined)] == 1)
    std::memcpy(&v, cell + offsetof(VariableCell, value_bytes), sizeof v);
  return std::isfinite(v) ? v : 0.0;
}
}  // namespace

CompiledProgram TranslateExpression(const CompiledExpression& compiled) {
  CompiledProgram program;
  Translator sem{program};
  ExprFlags flags;
  CompiledReader reader(compiled);
  ParseEntry stack[kParseStackSize];
  double unused = 0.0;
  bool accepted = RunMachine(sem, reader, stack, flags, unused);
  ProgramOp& end = sem.Emit(Op::kEnd);
  if (!accepted)
    end.code = static_cast<std::uint8_t>((flags.syntax_error ? 1 : 0) | (flags.too_long ? 2 : 0));
  end.uses_variables = flags.uses_variables;
  CompiledProgram streamlined = Streamline(program);
  for (int i = 0; i < streamlined.count; ++i) {
    ProgramOp& op = streamlined.ops[i];
    op.cell_offset = static_cast<std::uint16_t>((op.row * kVariableColumns + op.column_index) *
                                                sizeof(VariableCell));
  }
  return streamlined;
}

// Computed jumps are a compiler extension that both supported compilers share.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
namespace {

Evaluation RunProgram(ExprEngine& engine, const VariableTable& table,
                      const CompiledProgram& program) {
  constexpr bool kFused = false;
#include "expr/program_run.inc"
}

#if defined(__x86_64__) || defined(__i386__)
// The same evaluator for processors with fused multiply-add: the whole powers
// find their rounding errors in one instruction each.
[[gnu::target("fma")]] Evaluation RunProgramFused(ExprEngine& engine, const VariableTable& table,
                                                  const CompiledProgram& program) {
  constexpr bool kFused = true;
#include "expr/program_run.inc"
}

[[gnu::target("fma")]] double WholePowerOnFused(double b, int n, bool& math_error) {
  return WholePower<true>(b, n, math_error);
}

bool DetectFusedProducts() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("fma") != 0;
}
#else
// Elsewhere the plain build serves for both.
Evaluation RunProgramFused(ExprEngine& engine, const VariableTable& table,
                           const CompiledProgram& program) {
  return RunProgram(engine, table, program);
}

double WholePowerOnFused(double b, int n, bool& math_error) {
  return WholePower(b, n, math_error);
}

bool DetectFusedProducts() {
  return false;
}
#endif

}  // namespace
#pragma GCC diagnostic pop

namespace {
// Settled once at start; a program run before (from another static
// initialiser) takes the plain build, which gives the same results.
const bool fused_products = DetectFusedProducts();
}  // namespace

bool FusedProductsAvailable() {
  return fused_products;
}

Evaluation EvaluateProgram(ExprEngine& engine, const VariableTable& table,
                           const CompiledProgram& program) {
  return fused_products ? RunProgramFused(engine, table, program)
                        : RunProgram(engine, table, program);
}

double WholePowerFused(double b, int n, bool& math_error) {
  return WholePowerOnFused(b, n, math_error);
}

Evaluation EvaluateProgramOn(ProductUnit unit, ExprEngine& engine, const VariableTable& table,
                             const CompiledProgram& program) {
  return unit == ProductUnit::kFused ? RunProgramFused(engine, table, program)
                                     : RunProgram(engine, table, program);
}

}  // namespace qzarn
