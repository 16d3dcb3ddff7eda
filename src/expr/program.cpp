#include "expr/program.h"

#include "expr/function_codes.h"
#include "expr/parse_table.h"
#include "expr/reductions.h"

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
    default:
      return Op::kFunction1;
  }
}

struct Translator {
  CompiledProgram& program;

  ProgramOp& Emit(Op opcode) {
    ProgramOp& op = program.ops[program.count++];
    op = ProgramOp{opcode, 0, 0, 0, 0, 0.0};
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

// How many values an operation takes from the stack; each leaves one.
int OperandsTaken(Op opcode) {
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
  op = ProgramOp{replaced,  static_cast<std::uint8_t>(code), left.row, left.column_index, 0,
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

inline double Cell(const VariableTable& table, const ProgramOp& op) {
  double v = table.cells[op.row][op.column_index].read();
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
  return Streamline(program);
}

// Computed jumps are a compiler extension that both supported compilers share.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
Evaluation EvaluateProgram(ExprEngine& engine, const VariableTable& table,
                           const CompiledProgram& program) {
  // The top of the value stack lives in `acc`; `stack` holds the values below.
  double stack[kParseStackSize + 4];
  int sp = 0;
  double acc = 0.0;
  bool me = false;
  ExprFlags& flags = engine.flags;
  // Each operation jumps straight to the next one's code (one indirect jump per
  // operation site instead of one shared switch), which lets the processor
  // predict the fixed sequence of a program that is run thousands of times.
#define QZ_LABEL(name) &&op_##name,
  static const void* const kLabels[] = {QZ_PROGRAM_OPCODES(QZ_LABEL)};
#undef QZ_LABEL
  static_assert(std::size(kLabels) == static_cast<std::size_t>(Op::kEnd) + 1);
  const ProgramOp* op = program.ops;
#define QZ_NEXT() goto* kLabels[static_cast<int>((++op)->opcode)]
#define QZ_BINARY(S, C, V, VC, CV, EXPR) \
  op_##CV : {                            \
    stack[sp++] = acc;                   \
    double l = op->value;                \
    double r = Cell(table, *op);         \
    acc = EXPR;                          \
    QZ_NEXT();                           \
  }                                      \
  op_##VC : {                            \
    stack[sp++] = acc;                   \
    double l = Cell(table, *op);         \
    double r = op->value;                \
    acc = EXPR;                          \
    QZ_NEXT();                           \
  }                                      \
  op_##S : {                             \
    double r = acc;                      \
    double l = stack[--sp];              \
    acc = EXPR;                          \
    QZ_NEXT();                           \
  }                                      \
  op_##C : {                             \
    double r = op->value;                \
    double l = acc;                      \
    acc = EXPR;                          \
    QZ_NEXT();                           \
  }                                      \
  op_##V : {                             \
    double r = Cell(table, *op);         \
    double l = acc;                      \
    acc = EXPR;                          \
    QZ_NEXT();                           \
  }
  goto* kLabels[static_cast<int>(op->opcode)];
op_kConst:
  stack[sp++] = acc;
  acc = op->value;
  QZ_NEXT();
op_kVar:
  stack[sp++] = acc;
  acc = Cell(table, *op);
  QZ_NEXT();
op_kRandom:
  stack[sp++] = acc;
  acc = NextRandom(engine.random_seed);
  QZ_NEXT();
op_kNegate:
  acc = -acc;
  QZ_NEXT();
  QZ_BINARY(kAddS, kAddC, kAddV, kAddVC, kAddCV, Settle(l + r, me))
  QZ_BINARY(kSubS, kSubC, kSubV, kSubVC, kSubCV, Settle(l - r, me))
  QZ_BINARY(kMulS, kMulC, kMulV, kMulVC, kMulCV, Settle(l * r, me))
  QZ_BINARY(kDivS, kDivC, kDivV, kDivVC, kDivCV, DivideValues(l, r, me))
  QZ_BINARY(kPowS, kPowC, kPowV, kPowVC, kPowCV, PowerRule(l, r, me))
  QZ_BINARY(kLtS, kLtC, kLtV, kLtVC, kLtCV, l < r ? 1.0 : 0.0)
  QZ_BINARY(kLeS, kLeC, kLeV, kLeVC, kLeCV, l <= r ? 1.0 : 0.0)
  QZ_BINARY(kGtS, kGtC, kGtV, kGtVC, kGtCV, l > r ? 1.0 : 0.0)
  QZ_BINARY(kGeS, kGeC, kGeV, kGeVC, kGeCV, l >= r ? 1.0 : 0.0)
  QZ_BINARY(kBinaryS, kBinaryC, kBinaryV, kBinaryVC, kBinaryCV, ApplyBinary(op->code, l, r, me))
op_kRSubC:
  acc = Settle(op->value - acc, me);
  QZ_NEXT();
op_kRSubV:
  acc = Settle(Cell(table, *op) - acc, me);
  QZ_NEXT();
op_kRDivC:
  acc = DivideValues(op->value, acc, me);
  QZ_NEXT();
op_kRDivV:
  acc = DivideValues(Cell(table, *op), acc, me);
  QZ_NEXT();
op_kRPowC:
  acc = PowerRule(op->value, acc, me);
  QZ_NEXT();
op_kRPowV:
  acc = PowerRule(Cell(table, *op), acc, me);
  QZ_NEXT();
op_kSquareC:
  acc = WholePower<2>(acc, me);
  QZ_NEXT();
op_kSquareVC:
  stack[sp++] = acc;
  acc = WholePower<2>(Cell(table, *op), me);
  QZ_NEXT();
op_kCubeC:
  acc = WholePower<3>(acc, me);
  QZ_NEXT();
op_kCubeVC:
  stack[sp++] = acc;
  acc = WholePower<3>(Cell(table, *op), me);
  QZ_NEXT();
op_kPowWholeC:
  acc = WholePower(acc, op->code, me);
  QZ_NEXT();
op_kPowWholeVC:
  stack[sp++] = acc;
  acc = WholePower(Cell(table, *op), op->code, me);
  QZ_NEXT();
op_kSin:
  acc = SineOf(acc);
  QZ_NEXT();
op_kCos:
  acc = CosineOf(acc);
  QZ_NEXT();
op_kSqrt:
  acc = SquareRoot(acc, me);
  QZ_NEXT();
op_kAbs:
  acc = std::fabs(acc);
  QZ_NEXT();
op_kFunction1:
  acc = FunctionOf1(op->code, acc, engine.int_gap, me);
  QZ_NEXT();
op_kFunction2 : {
  bool se = false;
  double x = stack[--sp];
  acc = FunctionOf2(op->code, x, acc, me, se);
  if (se) {
    flags = ExprFlags{true, me, false, op->uses_variables != 0};
    return FinishEvaluation(flags, 0.0);
  }
  QZ_NEXT();
}
op_kFunction3 : {
  double p = stack[--sp];
  double x = stack[--sp];
  acc = FunctionOf3(op->code, x, p, acc, me);
  QZ_NEXT();
}
op_kEnd:
  flags = ExprFlags{(op->code & 1) != 0, me, (op->code & 2) != 0, op->uses_variables != 0};
  return FinishEvaluation(flags, op->code == 0 ? acc : 0.0);
#undef QZ_BINARY
#undef QZ_NEXT
}
#pragma GCC diagnostic pop

}  // namespace qzarn
