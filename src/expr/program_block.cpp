#include "expr/program_block.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "expr/numeric.h"
#include "expr/reductions.h"

namespace qzarn {
namespace {

using Op = ProgramOpcode;

constexpr int kFirstBinary = static_cast<int>(Op::kAddS);
constexpr int kLastBinary = static_cast<int>(Op::kBinaryCV);
// The scalar evaluator's stack below its accumulator, plus the accumulator.
constexpr int kSlots = kParseStackSize + 5;

// The five forms of a binary family, in the order of ProgramOpcode.
enum BinaryForm { kFormS, kFormC, kFormV, kFormVC, kFormCV };

bool IsBinary(Op opcode) {
  const int o = static_cast<int>(opcode);
  return o >= kFirstBinary && o <= kLastBinary;
}
BinaryForm FormOf(Op opcode) {
  return static_cast<BinaryForm>((static_cast<int>(opcode) - kFirstBinary) % 5);
}
// The S form of the family an opcode belongs to.
Op FamilyOf(Op opcode) {
  return static_cast<Op>(static_cast<int>(opcode) - FormOf(opcode));
}

bool ReadsCell(Op opcode) {
  if (IsBinary(opcode)) return FormOf(opcode) >= kFormV;
  switch (opcode) {
    case Op::kVar:
    case Op::kRSubV:
    case Op::kRDivV:
    case Op::kRPowV:
    case Op::kSquareVC:
    case Op::kCubeVC:
    case Op::kFourthVC:
    case Op::kPowWholeVC:
      return true;
    default:
      return false;
  }
}

// One operand of a step: a block of values, or one value for every sample.
struct Operand {
  const double* block = nullptr;
  double value = 0.0;
};

// One operation resolved for a block: operands, the slot it writes.
struct Step {
  Op opcode;
  int code;
  Operand left, right;  // unary operations use `left`
  double* out;
  const double* third;  // kFunction3: the middle argument sits in `right`, the last here
  bool uses_variables;
};

struct Workspace {
  // Two banks of slots: an operation that replaces a value on the stack writes
  // the other bank's slot, so no operation writes over its own operands.
  double slots[2][kSlots][kProgramBlockSize];
  int bank[kSlots];
  double lanes[kMaxSampleLanes][kProgramBlockSize];
  bool math_error[kProgramBlockSize];
  // Samples a ROUND digit error stopped, with their flags at that point.
  bool stopped[kProgramBlockSize];
  bool stopped_math_error[kProgramBlockSize];
  bool stopped_uses_variables[kProgramBlockSize];
  Step steps[kProgramCapacity];
  // Samples a quick pass left to the full rule (one word per sample, as wide as a value).
  std::uint64_t marked[kProgramBlockSize];
  bool any_stopped;
  // The table with the lanes bound, for blocks run sample by sample.
  VariableTable bound;
};

// One workspace per thread, made on its first block: threads that never
// sample a curve carry none.
Workspace& ThreadWorkspace() {
  thread_local std::unique_ptr<Workspace> workspace = std::make_unique<Workspace>();
  return *workspace;
}

// What an operation's cell holds for the block: a lane's values (cleaned as
// a cell read cleans them) or the table's one value.
Operand CellOperand(const VariableTable& table, const ProgramOp& op,
                    std::span<const SampleLane> lanes, Workspace& w) {
  const int column = op.column_index + 1;
  for (std::size_t k = 0; k < lanes.size(); ++k)
    if (lanes[k].row == op.row && lanes[k].column == column) return Operand{w.lanes[k], 0.0};
  const double v = table.read(op.row, column);
  return Operand{nullptr, std::isfinite(v) ? v : 0.0};
}

// Resolves the program into steps over slots; false when its stack cannot be
// followed (the block then runs sample by sample).
bool Plan(const CompiledProgram& program, const VariableTable& table,
          std::span<const SampleLane> lanes, Workspace& w, int& steps, int& depth) {
  depth = 0;
  steps = 0;
  for (int& b : w.bank)
    b = 0;
  const auto slot = [&w](int k) { return w.slots[w.bank[k]][k]; };
  for (int i = 0; i < program.count; ++i) {
    const ProgramOp& op = program.ops[i];
    Step& s = w.steps[steps++];
    s = Step{op.opcode, op.code, {}, {}, nullptr, nullptr, op.uses_variables != 0};
    if (op.opcode == Op::kEnd) return true;
    const int taken = OperandsTaken(op.opcode);
    if (taken > depth) return false;
    const int base = depth - taken;
    if (base >= kSlots) return false;
    // Operands are resolved before the output moves to the other bank.
    const bool replaces = taken > 0;
    const Operand cell = ReadsCell(op.opcode) ? CellOperand(table, op, lanes, w) : Operand{};
    const Operand constant{nullptr, op.value};
    if (IsBinary(op.opcode)) {
      switch (FormOf(op.opcode)) {
        case kFormS:
          s.left = Operand{slot(base)};
          s.right = Operand{slot(base + 1)};
          break;
        case kFormC:
          s.left = Operand{slot(base)};
          s.right = constant;
          break;
        case kFormV:
          s.left = Operand{slot(base)};
          s.right = cell;
          break;
        case kFormVC:
          s.left = cell;
          s.right = constant;
          break;
        case kFormCV:
          s.left = constant;
          s.right = cell;
          break;
      }
      s.opcode = FamilyOf(op.opcode);
    } else {
      switch (op.opcode) {
        case Op::kConst:
          s.left = constant;
          break;
        case Op::kVar:
        case Op::kSquareVC:
        case Op::kCubeVC:
        case Op::kFourthVC:
        case Op::kPowWholeVC:
          s.left = cell;
          break;
        case Op::kRSubC:
        case Op::kRDivC:
        case Op::kRPowC:
          s.left = constant;
          s.right = Operand{slot(base)};
          break;
        case Op::kRSubV:
        case Op::kRDivV:
        case Op::kRPowV:
          s.left = cell;
          s.right = Operand{slot(base)};
          break;
        case Op::kFunction2:
          s.left = Operand{slot(base)};
          s.right = Operand{slot(base + 1)};
          break;
        case Op::kFunction3:
          s.left = Operand{slot(base)};
          s.right = Operand{slot(base + 1)};
          s.third = slot(base + 2);
          break;
        case Op::kRandom:
          return false;
        default:  // the rest take the top of the stack
          s.left = Operand{slot(base)};
          break;
      }
    }
    if (replaces) w.bank[base] ^= 1;
    s.out = slot(base);
    depth = base + 1;
  }
  return false;  // no end: not a program the translator makes
}

// out[i] = f(left, right) for every sample, with the math error of each
// sample gathered; one loop per combination of blocks and single values.
template <class F>
[[gnu::always_inline]] inline void Binary(const Step& s, int n, bool* me, F f) {
  double* out = s.out;
  const double* a = s.left.block;
  const double* b = s.right.block;
  const double av = s.left.value;
  const double bv = s.right.value;
  if (a != nullptr && b != nullptr) {
    for (int i = 0; i < n; ++i) {
      bool e = false;
      out[i] = f(a[i], b[i], e);
      me[i] |= e;
    }
  } else if (a != nullptr) {
    for (int i = 0; i < n; ++i) {
      bool e = false;
      out[i] = f(a[i], bv, e);
      me[i] |= e;
    }
  } else if (b != nullptr) {
    for (int i = 0; i < n; ++i) {
      bool e = false;
      out[i] = f(av, b[i], e);
      me[i] |= e;
    }
  } else {
    bool e = false;
    const double v = f(av, bv, e);
    for (int i = 0; i < n; ++i) {
      out[i] = v;
      me[i] |= e;
    }
  }
}

template <class F>
[[gnu::always_inline]] inline void Unary(const Step& s, int n, bool* me, F f) {
  Binary(
      s, n, me, [f](double x, double, bool& e) __attribute__((always_inline)) { return f(x, e); });
}

// Calls body(i, left, right) for every sample; one loop per combination of
// blocks and single values.
template <class F>
[[gnu::always_inline]] inline void ForEachSample(const Step& s, int n, F body) {
  const double* a = s.left.block;
  const double* b = s.right.block;
  const double av = s.left.value;
  const double bv = s.right.value;
  if (a != nullptr && b != nullptr) {
    for (int i = 0; i < n; ++i)
      body(i, a[i], b[i]);
  } else if (a != nullptr) {
    for (int i = 0; i < n; ++i)
      body(i, a[i], bv);
  } else if (b != nullptr) {
    for (int i = 0; i < n; ++i)
      body(i, av, b[i]);
  } else {
    for (int i = 0; i < n; ++i)
      body(i, av, bv);
  }
}

// Operations whose usual case is plain arithmetic. A first pass computes
// every sample the quick way and notes the samples that leave it (a result
// that is not finite, a divisor too small, a power the products cannot
// decide); a second pass gives only those samples the full rule. Where the
// quick way holds it gives the full rule's bits, so the first pass is most of
// what a block costs, and it has no branches to keep it from running several
// samples per instruction.
//
// kMarks: whether the first pass keeps a mark per sample. Sums, differences,
// products and quotients leave the quick way almost never, so they only note
// that some sample did, and the second pass finds those samples by computing
// them again (their operands are still there: no operation writes over its
// own operands). Whole powers leave it for a few samples of most blocks.
template <bool kMarks, class Quick, class Full>
[[gnu::always_inline]] inline void Checked(const Step& s, int n, bool* me, Workspace& w,
                                           Quick quick, Full full) {
  double* out = s.out;
  std::uint64_t* marked = w.marked;
  std::uint64_t any = 0;
  ForEachSample(
      s, n, [&](int i, double l, double r) __attribute__((always_inline)) {
        bool off = false;
        out[i] = quick(l, r, off);
        const std::uint64_t m = off ? 1 : 0;
        if constexpr (kMarks) marked[i] = m;
        any |= m;
      });
  if (any == 0) [[likely]]
    return;
  const auto redo = [&](int i) __attribute__((always_inline)) {
    const double l = s.left.block != nullptr ? s.left.block[i] : s.left.value;
    const double r = s.right.block != nullptr ? s.right.block[i] : s.right.value;
    if constexpr (!kMarks) {
      bool off = false;
      quick(l, r, off);
      if (!off) return;
    }
    bool e = false;
    out[i] = full(l, r, e);
    me[i] |= e;
  };
  if constexpr (kMarks) {
    // The marks as bits, then one visit per marked sample: a branch per
    // sample would be mispredicted at every mark.
    for (int first = 0; first < n; first += 64) {
      const int count = n - first < 64 ? n - first : 64;
      std::uint64_t bits = 0;
      for (int j = 0; j < count; ++j)
        bits |= marked[first + j] << j;
      for (; bits != 0; bits &= bits - 1)
        redo(first + std::countr_zero(bits));
    }
  } else {
    for (int i = 0; i < n; ++i)
      redo(i);
  }
}

// Not finite: infinite or not a number, without a branch.
[[gnu::always_inline]] inline bool NotFinite(double v) {
  return v - v != 0;
}

template <int N, bool kFused>
[[gnu::always_inline]] inline void Power(const Step& s, int n, bool* me, Workspace& w) {
  Checked<true>(
      s, n, me, w, [](double b, double, bool& off) __attribute__((always_inline)) {
        double b_high = 0, b_low = 0;
        if constexpr (!kFused) SplitHalves(b, b_high, b_low);
        double hi, lo;
        PowerPair<N, kFused>(b, b_high, b_low, hi, lo);
        // InCoreRange's test without its branch: comparisons the processor may run
        // for several samples at once.
        const double a = std::fabs(b);
        const bool core = (a > 1 / kCoreLimit<N>)&(a < kCoreLimit<N>);
        off = !(core & ProductsDecide(hi, lo, kCoreStretch));
        return hi;
      },
      [](double b, double, bool& e)
          __attribute__((always_inline)) { return WholePower<N, kFused>(b, e); });
}

// Operations that call the library once a sample (SIN, COS, EXP, LN, the
// catalogue's functions) run out of the block runner's line, as plain loops
// of calls: inside it every call would first clear the wide registers the
// runner's arithmetic uses, which costs some processors as much as a fifth of
// the call.
template <class F>
[[gnu::noinline]] void CallEachSample(const Step& s, int n, bool* me, F f) {
  Unary(s, n, me, f);
}

template <bool kFused>
[[gnu::always_inline]] inline void RunSteps(ExprEngine& engine, Workspace& w, int steps, int n) {
  bool* me = w.math_error;
  const auto settle = [](double v, bool& off) __attribute__((always_inline)) {
    off = NotFinite(v);
    return v;
  };
  const auto add = [settle](double l, double r, bool& off) __attribute__((always_inline)) {
    return settle(l + r, off);
  };
  const auto subtract = [settle](double l, double r, bool& off) __attribute__((always_inline)) {
    return settle(l - r, off);
  };
  const auto multiply = [settle](double l, double r, bool& off) __attribute__((always_inline)) {
    return settle(l * r, off);
  };
  const auto divide = [](double l, double r, bool& off) __attribute__((always_inline)) {
    const double v = l / r;
    off = (std::fabs(r) < 0.0001) | NotFinite(v);
    return v;
  };
  const auto full_add = [](double l, double r, bool& e) __attribute__((always_inline)) {
    return Settle(l + r, e);
  };
  const auto full_subtract = [](double l, double r, bool& e) __attribute__((always_inline)) {
    return Settle(l - r, e);
  };
  const auto full_multiply = [](double l, double r, bool& e) __attribute__((always_inline)) {
    return Settle(l * r, e);
  };
  const auto full_divide = [](double l, double r, bool& e) __attribute__((always_inline)) {
    return DivideValues(l, r, e);
  };
  for (int k = 0; k < steps; ++k) {
    const Step& s = w.steps[k];
    switch (s.opcode) {
      case Op::kConst:
      case Op::kVar:
        Unary(
            s, n, me, [](double x, bool&) __attribute__((always_inline)) { return x; });
        break;
      case Op::kNegate:
        Unary(
            s, n, me, [](double x, bool&) __attribute__((always_inline)) { return -x; });
        break;
      case Op::kAddS:
        Checked<false>(s, n, me, w, add, full_add);
        break;
      case Op::kSubS:
      case Op::kRSubC:
      case Op::kRSubV:
        Checked<false>(s, n, me, w, subtract, full_subtract);
        break;
      case Op::kMulS:
        Checked<false>(s, n, me, w, multiply, full_multiply);
        break;
      case Op::kDivS:
      case Op::kRDivC:
      case Op::kRDivV:
        Checked<false>(s, n, me, w, divide, full_divide);
        break;
      case Op::kPowS:
        Binary(
            s, n, me, [](double l, double r, bool& e) __attribute__((always_inline)) {
              return PowerRule(l, r, e);
            });
        break;
      case Op::kLtS:
        Binary(
            s, n, me, [](double l, double r, bool&) __attribute__((always_inline)) {
              return l < r ? 1.0 : 0.0;
            });
        break;
      case Op::kLeS:
        Binary(
            s, n, me, [](double l, double r, bool&) __attribute__((always_inline)) {
              return l <= r ? 1.0 : 0.0;
            });
        break;
      case Op::kGtS:
        Binary(
            s, n, me, [](double l, double r, bool&) __attribute__((always_inline)) {
              return l > r ? 1.0 : 0.0;
            });
        break;
      case Op::kGeS:
        Binary(
            s, n, me, [](double l, double r, bool&) __attribute__((always_inline)) {
              return l >= r ? 1.0 : 0.0;
            });
        break;
      case Op::kBinaryS: {
        const int code = s.code;
        Binary(s, n, me,
               [code](double l, double r, bool& e) { return ApplyBinary(code, l, r, e); });
        break;
      }
      case Op::kRPowC:
      case Op::kRPowV:
        Binary(
            s, n, me, [](double l, double r, bool& e) __attribute__((always_inline)) {
              return PowerRule(l, r, e);
            });
        break;
      case Op::kSquareC:
      case Op::kSquareVC:
        Power<2, kFused>(s, n, me, w);
        break;
      case Op::kCubeC:
      case Op::kCubeVC:
        Power<3, kFused>(s, n, me, w);
        break;
      case Op::kFourthC:
      case Op::kFourthVC:
        Power<4, kFused>(s, n, me, w);
        break;
      case Op::kPowWholeC:
      case Op::kPowWholeVC:
        WithWholeExponent(
            s.code,
            [](auto e, const Step& step, int count, bool* errors, Workspace& space)
                __attribute__((always_inline)) { Power<e(), kFused>(step, count, errors, space); },
            s, n, me, w);
        break;
      case Op::kSin:
        CallEachSample(s, n, me, [](double x, bool&) { return SineOf(x); });
        break;
      case Op::kCos:
        CallEachSample(s, n, me, [](double x, bool&) { return CosineOf(x); });
        break;
      case Op::kSqrt:
        Unary(
            s, n, me,
            [](double x, bool& e) __attribute__((always_inline)) { return SquareRoot(x, e); });
        break;
      case Op::kAbs:
        Unary(
            s, n, me, [](double x, bool&) __attribute__((always_inline)) { return std::fabs(x); });
        break;
      case Op::kExp:
        CallEachSample(s, n, me, [](double x, bool& e) { return ExponentialOf(x, e); });
        break;
      case Op::kLn:
        CallEachSample(s, n, me, [](double x, bool& e) { return Logarithm(x, 1.0, e); });
        break;
      case Op::kFunction1: {
        const int code = s.code;
        const double gap = engine.int_gap;
        CallEachSample(s, n, me,
                       [code, gap](double x, bool& e) { return FunctionOf1(code, x, gap, e); });
        break;
      }
      case Op::kFunction2:
        // A ROUND digit error stops that sample with its flags as they stood;
        // the block goes on computing it, and the value is dropped at the end.
        for (int i = 0; i < n; ++i) {
          bool se = false;
          s.out[i] = FunctionOf2(s.code, s.left.block[i], s.right.block[i], me[i], se);
          if (se && !w.stopped[i]) {
            w.stopped[i] = true;
            w.any_stopped = true;
            w.stopped_math_error[i] = me[i];
            w.stopped_uses_variables[i] = s.uses_variables;
          }
        }
        break;
      case Op::kFunction3:
        for (int i = 0; i < n; ++i)
          s.out[i] = FunctionOf3(s.code, s.left.block[i], s.right.block[i], s.third[i], me[i]);
        break;
      default:  // kEnd; kRandom never reaches a block
        return;
    }
  }
}

// Whether any of the first n flags is set, a word at a time.
bool AnyTrue(const bool* flags, int n) {
  std::uint64_t any = 0;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, flags + i, sizeof word);
    any |= word;
  }
  for (; i < n; ++i)
    any |= flags[i] ? 1 : 0;
  return any != 0;
}

// One block of n samples from `start` on, the program planned (steps, depth).
template <bool kFused>
[[gnu::always_inline]] inline void RunBlock(ExprEngine& engine, const CompiledProgram& program,
                                            std::span<const SampleLane> lanes, int steps, int depth,
                                            int start, int n, double* values, bool* math_errors) {
  Workspace& w = ThreadWorkspace();
  for (std::size_t k = 0; k < lanes.size(); ++k)
    for (int i = 0; i < n; ++i) {
      const double v = lanes[k].values[start + i];
      w.lanes[k][i] = std::isfinite(v) ? v : 0.0;
    }
  for (int i = 0; i < n; ++i) {
    w.math_error[i] = false;
    w.stopped[i] = false;
  }
  w.any_stopped = false;
  RunSteps<kFused>(engine, w, steps, n);
  const ProgramOp& end = program.ops[program.count - 1];
  const ExprFlags ended{(end.code & 1) != 0, false, (end.code & 2) != 0, end.uses_variables != 0};
  // The scalar evaluator's accumulator starts at 0: an empty program ends on it.
  static constexpr double kNothing[kProgramBlockSize] = {};
  const double* top = depth > 0 ? w.slots[w.bank[depth - 1]][depth - 1] : kNothing;
  ExprFlags f = ended;
  if (end.code == 0 && !w.any_stopped) {
    // AcceptedValue in two passes: the bounds for every sample over doubles
    // alone (several samples per instruction), then the off-plane value for
    // the few samples with a math error.
    for (int i = 0; i < n; ++i)
      values[i] = AcceptedValue(top[i], false);
    std::memcpy(math_errors, w.math_error, static_cast<std::size_t>(n));
    if (AnyTrue(w.math_error, n))
      for (int i = 0; i < n; ++i)
        if (w.math_error[i]) values[i] = AcceptedValue(top[i], true);
    f.math_error = w.math_error[n - 1];
  } else {
    for (int i = 0; i < n; ++i) {
      double v = 0.0;
      if (w.stopped[i]) {
        f = ExprFlags{true, w.stopped_math_error[i], false, w.stopped_uses_variables[i]};
      } else {
        f = ended;
        f.math_error = w.math_error[i];
        v = end.code == 0 ? top[i] : 0.0;
      }
      values[i] = FinishEvaluation(f, v).value;
      math_errors[i] = f.math_error;
    }
  }
  engine.flags = f;
}

// Every block of a call: the plan holds for all of them, as the table does
// not change during the call and each block's lane values go to the same
// workspace rows.
template <bool kFused>
[[gnu::always_inline]] inline void RunBlocks(ExprEngine& engine, const CompiledProgram& program,
                                             std::span<const SampleLane> lanes, int steps,
                                             int depth, int count, double* values,
                                             bool* math_errors) {
  for (int start = 0; start < count; start += kProgramBlockSize) {
    const int n = count - start < kProgramBlockSize ? count - start : kProgramBlockSize;
    RunBlock<kFused>(engine, program, lanes, steps, depth, start, n, values + start,
                     math_errors + start);
  }
}

// Sample by sample, for what a block cannot take.
void RunEachSample(ProductUnit unit, ExprEngine& engine, const VariableTable& table,
                   const CompiledProgram& program, std::span<const SampleLane> lanes, int n,
                   double* values, bool* math_errors) {
  VariableTable& bound = ThreadWorkspace().bound;
  bound = table;
  for (int i = 0; i < n; ++i) {
    for (const SampleLane& lane : lanes)
      bound.bind(lane.row, lane.column, lane.values[i]);
    values[i] = EvaluateProgramOn(unit, engine, bound, program).value;
    math_errors[i] = engine.flags.math_error;
  }
}

void RunBlocksPlain(ExprEngine& engine, const CompiledProgram& program,
                    std::span<const SampleLane> lanes, int steps, int depth, int count,
                    double* values, bool* math_errors) {
  RunBlocks<false>(engine, program, lanes, steps, depth, count, values, math_errors);
}

#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("fma")]] void RunBlocksFused(ExprEngine& engine, const CompiledProgram& program,
                                           std::span<const SampleLane> lanes, int steps, int depth,
                                           int count, double* values, bool* math_errors) {
  RunBlocks<true>(engine, program, lanes, steps, depth, count, values, math_errors);
}
#else
void RunBlocksFused(ExprEngine& engine, const CompiledProgram& program,
                    std::span<const SampleLane> lanes, int steps, int depth, int count,
                    double* values, bool* math_errors) {
  RunBlocksPlain(engine, program, lanes, steps, depth, count, values, math_errors);
}
#endif

}  // namespace

bool ProgramReadsCell(const CompiledProgram& program, int row, int column) {
  for (int i = 0; i < program.count; ++i) {
    const ProgramOp& op = program.ops[i];
    if (ReadsCell(op.opcode) && op.row == row && op.column_index + 1 == column) return true;
  }
  return false;
}

bool ProgramDrawsRandom(const CompiledProgram& program) {
  for (int i = 0; i < program.count; ++i)
    if (program.ops[i].opcode == Op::kRandom) return true;
  return false;
}

void EvaluateProgramBlockOn(ProductUnit unit, ExprEngine& engine, const VariableTable& table,
                            const CompiledProgram& program, std::span<const SampleLane> lanes,
                            int count, double* values, bool* math_errors) {
  if (count <= 0) return;
  int steps = 0, depth = 0;
  if (lanes.size() <= kMaxSampleLanes && !ProgramDrawsRandom(program) &&
      Plan(program, table, lanes, ThreadWorkspace(), steps, depth)) {
    if (unit == ProductUnit::kFused)
      RunBlocksFused(engine, program, lanes, steps, depth, count, values, math_errors);
    else
      RunBlocksPlain(engine, program, lanes, steps, depth, count, values, math_errors);
    return;
  }
  RunEachSample(unit, engine, table, program, lanes, count, values, math_errors);
}

void EvaluateProgramBlock(ExprEngine& engine, const VariableTable& table,
                          const CompiledProgram& program, std::span<const SampleLane> lanes,
                          int count, double* values, bool* math_errors) {
  EvaluateProgramBlockOn(FusedProductsAvailable() ? ProductUnit::kFused : ProductUnit::kPlain,
                         engine, table, program, lanes, count, values, math_errors);
}

}  // namespace qzarn
