#include "engine/function_sampling.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>
#include <string>

#include "document/screen.h"
#include "engine/implicit_curves.h"
#include "expr/engine.h"
#include "expr/normalise.h"
#include "expr/program.h"
#include "expr/program_block.h"
#include "platform/float_chars.h"

namespace qzarn {

CurveProgram::CurveProgram(ExprEngine& expr, std::string_view text)
    : expr_(expr), program_(std::make_unique<CompiledProgram>()) {
  const CompiledExpression compiled = expr_.Compile(NormaliseExpression(text));
  *program_ = TranslateExpression(compiled);
}

CurveProgram::~CurveProgram() = default;

double CurveProgram::Evaluate(const VariableTable& table) {
  const Evaluation e = EvaluateProgram(expr_, table, *program_);
  math_error_ = expr_.flags.math_error;
  return e.value;
}

bool CurveProgram::Reads(int row, int column) const {
  return ProgramReadsCell(*program_, row, column);
}

bool CurveProgram::DrawsRandom() const {
  return ProgramDrawsRandom(*program_);
}

void CurveProgram::EvaluateBlock(const VariableTable& table, std::span<const SampleLane> lanes,
                                 int count, double* values, bool* math_errors) {
  EvaluateProgramBlock(expr_, table, *program_, lanes, count, values, math_errors);
  math_error_ = expr_.flags.math_error;
}

int FamilyColumnAbcwz(std::int32_t index) {
  if (index >= 1 && index <= 23) return index;
  return index == 24 ? 26 : 0;
}

int ParameterColumnAbcwz(std::int32_t index) {
  if (index >= 0 && index <= 22) return index + 1;
  return index == 23 ? 26 : 0;
}

int AngleColumnNoR(std::int32_t index) {
  if (index >= 0 && index <= 16) return index + 1;
  if (index >= 17 && index <= 24) return index + 2;
  return 0;
}

int FamilyColumnNoR(std::int32_t index) {
  return index >= 1 ? AngleColumnNoR(index - 1) : 0;
}

namespace {

// More steps than this can never be taken: the list fills up first.
constexpr double kStepCountCap = 1e6;

struct Ranges {
  double s1, e1, w1, s2, e2, w2;
};

// Number of whole steps of a range; rounded to nearest or truncated. NaN and
// huge counts are kept finite.
double StepCount(double s, double e, double w, bool truncate) {
  const double q = (e - s) / w;
  if (!std::isfinite(q)) return q > 0 ? kStepCountCap : -1;
  const double n = truncate ? std::trunc(q) : std::round(q);
  return std::fmin(n, kStepCountCap);
}

// The explicit, parametric and polar samplers share this frame: the family
// loop, the parameter sweep with its shortened last step, the display
// condition, math errors as breaks and the entry cap.
class CurveSampler {
 public:
  CurveSampler(const FunctionRecord& r, VariableTable& vars, ExprEngine& expr, SampleList& out)
      : r_(r), vars_(vars), expr_(expr), out_(out) {}

  void Run(const Ranges& g) {
    const int kind = r_.FuncKind;
    int param_column = kColumnX;
    int family_column = 0;
    if (kind == kExplicitCurve) {
      family_column = FamilyColumnAbcwz(r_.ParamVar);
    } else if (kind == kParametricCurve) {
      param_column = ParameterColumnAbcwz(r_.ParamVar);
      family_column = FamilyColumnAbcwz(r_.FamilyVar);
    } else {
      param_column = AngleColumnNoR(r_.ParamVar);
      family_column = FamilyColumnNoR(r_.FamilyVar);
    }
    if (param_column == 0) return;
    if (!(g.w1 >= kMinimumStep)) return;
    if (family_column != 0 && !(g.w2 >= kMinimumStep)) return;
    const bool truncate = kind == kPolarCurve;
    double n = StepCount(g.s1, g.e1, g.w1, truncate);
    const double m = family_column != 0 ? StepCount(g.s2, g.e2, g.w2, truncate) : 0;
    if (!(n >= 1) || !(m >= 0)) return;
    if (g.s1 + n * g.w1 < g.e1) n += 1;

    CurveProgram body(expr_, r_.FuncX.view());
    std::unique_ptr<CurveProgram> second;
    if (kind == kParametricCurve) second = std::make_unique<CurveProgram>(expr_, r_.FuncY.view());
    std::unique_ptr<CurveProgram> condition;
    if (r_.Boolean) condition = std::make_unique<CurveProgram>(expr_, r_.BooleanFunc.view());

    const bool blocks = InBlocks(body, second.get(), condition.get());
    double v = g.s2;
    for (double k = 0; k <= m; ++k) {
      if (family_column != 0) vars_.bind(0, family_column, v);
      if (blocks) {
        if (!SweepInBlocks(body, second.get(), condition.get(), param_column, g, n)) return;
      } else {
        double p = g.s1;
        for (double step = 0; step <= n; ++step) {
          // The last step ends exactly at the range end.
          if (step > 0) p = step == n ? g.e1 : std::fmin(p + g.w1, g.e1);
          vars_.bind(0, param_column, p);
          if (!Sample(body, second.get(), condition.get(), p, step == 0)) return;
        }
      }
      if (!Push(kSampleBreak, kSampleBreak)) return;
      v += g.w2;
    }
  }

 private:
  // A sweep may be computed a block of samples at a time when no sample
  // depends on the one before: the bodies read none of the cells the sweep
  // binds to results (recurrences do), and nothing draws random numbers
  // (their order interleaves the programs sample by sample).
  bool InBlocks(const CurveProgram& body, const CurveProgram* second,
                const CurveProgram* condition) const {
    for (const CurveProgram* program : {&body, second, condition})
      if (program != nullptr && program->DrawsRandom()) return false;
    const int kind = r_.FuncKind;
    for (const CurveProgram* program : {&body, second}) {
      if (program == nullptr) continue;
      // The cells a sample binds besides the parameter: what the next sample
      // of a recurrence reads.
      if (kind == kPolarCurve ? program->Reads(0, kColumnR)
                              : program->Reads(0, kColumnY) ||
                                    (kind == kParametricCurve && program->Reads(0, kColumnX)))
        return false;
    }
    return true;
  }

  // One sweep of the parameter, steps 0..n, a block at a time; the samples
  // go out as Sample would append them, and the cells end bound as the last
  // sample computed left them. False once the list is full.
  bool SweepInBlocks(CurveProgram& body, CurveProgram* second, CurveProgram* condition,
                     int param_column, const Ranges& g, double n) {
    // Several evaluator blocks a call: the program is resolved once a call.
    constexpr int kBlock = 4 * kProgramBlockSize;
    double ps[kBlock], xs[kBlock], ys[kBlock], kept[kBlock], shown[kBlock];
    bool errors[kBlock], second_errors[kBlock], unused[kBlock];
    const int kind = r_.FuncKind;
    double p = g.s1;
    for (double first_step = 0; first_step <= n; first_step += kBlock) {
      // Steps first_step .. first_step + count - 1 (whole numbers all).
      const int count = n - first_step + 1 < kBlock ? static_cast<int>(n - first_step) + 1 : kBlock;
      int k = 0;
      if (first_step == 0) ps[k++] = p;
      const double end = g.e1;
      const double w = g.w1;
      for (; k < count; ++k) {
        // fmin's value where the sum is plainly below the end, without its call
        // on the chain of additions the whole sweep waits for.
        const double next = p + w;
        p = next < end ? next : std::fmin(next, end);
        ps[k] = p;
      }
      // The last step ends exactly at the range end.
      if (first_step + count - 1 == n && n > 0) ps[count - 1] = p = end;
      const SampleLane parameter[] = {{0, param_column, ps}};
      body.EvaluateBlock(vars_, parameter, count, kind == kParametricCurve ? xs : ys, errors);
      if (kind == kParametricCurve)
        second->EvaluateBlock(vars_, parameter, count, ys, second_errors);
      const bool first_block = first_step == 0;
      int result_column = kColumnY;
      const double* results = ys;
      // An explicit curve's x is the parameter itself.
      const double* xv = kind == kExplicitCurve ? ps : xs;
      if (kind == kExplicitCurve) {
        if (r_.Recursive && first_block) {
          ys[0] = r_.InitY;
          errors[0] = false;
        }
      } else if (kind == kParametricCurve) {
        for (int i = 0; i < count; ++i)
          errors[i] = errors[i] || second_errors[i];
        if (r_.Recursive && first_block) {
          xs[0] = r_.InitX;
          ys[0] = r_.InitY;
          errors[0] = false;
        }
      } else {
        // The radius goes to its cell; the point is on the ray.
        for (int i = 0; i < count; ++i) {
          const double rho = ys[i];
          kept[i] = rho;
          xs[i] = rho * std::cos(ps[i]);
          ys[i] = rho * std::sin(ps[i]);
        }
        result_column = kColumnR;
        results = kept;
      }
      if (condition != nullptr) {
        SampleLane seen[3] = {{0, param_column, ps}, {0, result_column, results}, {}};
        int lanes = 2;
        if (kind == kParametricCurve) seen[lanes++] = SampleLane{0, kColumnX, xs};
        condition->EvaluateBlock(vars_, std::span(seen, lanes), count, shown, unused);
      }
      // A math error breaks the curve only at a step sample (not the first).
      if (first_block) errors[0] = false;
      if (out_.size() + count < kMaxSampleEntries - 1) {
        // No entry of this block can fill the list: out in one piece.
        // The entries first, then the breaks over them: each loop runs
        // several samples per instruction.
        float* fx = nullptr;
        float* fy = nullptr;
        out_.Extend(count, fx, fy);
        for (int i = 0; i < count; ++i) {
          fx[i] = static_cast<float>(xv[i]);
          fy[i] = static_cast<float>(ys[i]);
        }
        if (condition != nullptr ||
            std::memchr(errors, true, static_cast<std::size_t>(std::max(count, 0))))
          for (int i = 0; i < count; ++i)
            if (errors[i] || (condition != nullptr && shown[i] == 0)) fx[i] = fy[i] = kSampleBreak;
        const int i = count - 1;
        vars_.bind(0, param_column, ps[i]);
        if (kind == kParametricCurve) vars_.bind(0, kColumnX, xs[i]);
        vars_.bind(0, result_column, results[i]);
        continue;
      }
      for (int i = 0; i < count; ++i) {
        bool gap = errors[i];
        if (!gap && condition != nullptr && shown[i] == 0) gap = true;
        const bool more = gap ? Push(kSampleBreak, kSampleBreak) : Push(xv[i], ys[i]);
        if (!more || i == count - 1) {
          vars_.bind(0, param_column, ps[i]);
          if (kind == kParametricCurve) vars_.bind(0, kColumnX, xs[i]);
          vars_.bind(0, result_column, results[i]);
        }
        if (!more) return false;
      }
    }
    return true;
  }

  // Computes and appends one sample; false once the list is full.
  bool Sample(CurveProgram& body, CurveProgram* second, CurveProgram* condition, double p,
              bool first) {
    double x = 0, y = 0;
    bool error = false;
    switch (static_cast<int>(r_.FuncKind)) {
      case kExplicitCurve:
        x = p;
        if (r_.Recursive && first) {
          y = r_.InitY;
        } else {
          y = body.Evaluate(vars_);
          error = body.math_error();
        }
        vars_.bind(0, kColumnY, y);
        break;
      case kParametricCurve:
        if (r_.Recursive && first) {
          x = r_.InitX;
          y = r_.InitY;
        } else {
          x = body.Evaluate(vars_);
          error = body.math_error();
          y = second->Evaluate(vars_);
          error = error || second->math_error();
        }
        vars_.bind(0, kColumnX, x);
        vars_.bind(0, kColumnY, y);
        break;
      default: {  // polar
        if (!first) vars_.bind(0, kColumnR, r_.InitY);
        const double rho = body.Evaluate(vars_);
        error = body.math_error();
        vars_.bind(0, kColumnR, rho);
        x = rho * std::cos(p);
        y = rho * std::sin(p);
        break;
      }
    }
    // A math error breaks the curve only at a step sample: the first sample of a curve keeps
    // the off-plane value the evaluator gave it.
    bool gap = error && !first;
    if (!gap && condition != nullptr && condition->Evaluate(vars_) == 0) gap = true;
    if (gap) return Push(kSampleBreak, kSampleBreak);
    return Push(x, y);
  }

  // Appends; once the last index plus 2 reaches the cap, closes the list with
  // a break and reports it full.
  bool Push(double x, double y) {
    out_.Append(x, y);
    if (out_.last() + 2 >= kMaxSampleEntries) {
      out_.AppendBreak();
      return false;
    }
    return true;
  }

  const FunctionRecord& r_;
  VariableTable& vars_;
  ExprEngine& expr_;
  SampleList& out_;
};

void SampleInto(FunctionRecord& r, VariableTable& vars, ExprEngine& expr, SampleList& out) {
  const Ranges g{
      expr.EvaluateText(vars, r.AreaSx1.view()), expr.EvaluateText(vars, r.AreaEx1.view()),
      expr.EvaluateText(vars, r.AreaWd1.view()), expr.EvaluateText(vars, r.AreaSx2.view()),
      expr.EvaluateText(vars, r.AreaEx2.view()), expr.EvaluateText(vars, r.AreaWd2.view())};
  switch (static_cast<int>(r.FuncKind)) {
    case kExplicitCurve:
    case kParametricCurve:
    case kPolarCurve:
      CurveSampler(r, vars, expr, out).Run(g);
      break;
    case kImplicitCurve: {
      if (r.ParamVar < 0 || r.ParamVar > 2) r.ParamVar = 0;
      ImplicitSpec spec;
      spec.sx = g.s1;
      spec.ex = g.e1;
      spec.sy = g.s2;
      spec.ey = g.e2;
      spec.w = g.w2;
      spec.tolerance = r.Seido;
      spec.level = r.ParamVar + 1;
      spec.relation = r.Mode;
      spec.hatch = r.FamilyVar;
      CurveProgram f(expr, r.FuncX.view());
      std::unique_ptr<CurveProgram> condition;
      if (r.Boolean) condition = std::make_unique<CurveProgram>(expr, r.BooleanFunc.view());
      const double traced = spec.relation == 0
                                ? TraceImplicitCurve(f, condition.get(), vars, spec, out)
                                : HatchRegion(f, condition.get(), vars, spec, out);
      if (traced > spec.w) out.set_coarse_cell(traced);
      break;
    }
    default:
      break;
  }
}

bool Uses(const Expression& text, int row, int column) {
  return !text.empty() && ExpressionUsesVariable(text.view(), column, row);
}

}  // namespace

std::string CoarseImplicitNotice(double cell) {
  char digits[32];
  const auto end = ToCharsGeneral(digits, digits + sizeof digits, cell, 3).ptr;
  return "陰関数の区画が多すぎるため，区画の幅を " + std::string(digits, end) +
         " にして描きました．";
}

bool ResampleFunction(FunctionRecord& record, FigureOwned& owned, VariableTable& vars,
                      ExprEngine& expr, std::string* notice) {
  if (record.CurveValid) return false;
  owned.SampleX.clear();
  owned.SampleY.clear();
  owned.SampleX.shrink_to_fit();
  owned.SampleY.shrink_to_fit();
  record.SampleLast = -1;
  try {
    // One list per thread, kept between resamplings: a curve's full room
    // taken and given back each time costs the system's pages again.
    static thread_local SampleList list;
    list.Clear();
    SampleInto(record, vars, expr, list);
    if (list.size() > 0) {
      owned.SampleX.assign(list.xs().begin(), list.xs().end());
      owned.SampleY.assign(list.ys().begin(), list.ys().end());
      record.SampleLast = list.last();
    }
    if (list.coarse_cell() > 0 && notice != nullptr)
      *notice = CoarseImplicitNotice(list.coarse_cell());
  } catch (const std::bad_alloc&) {
    owned.SampleX.clear();
    owned.SampleY.clear();
    record.SampleLast = -1;
  }
  record.CurveValid = 1;
  return true;
}

bool ResampleFunction(Screen& screen, ExprEngine& expr, int slot, std::string* notice) {
  FigureRecord* rec = screen.Figures.record(slot);
  if (rec == nullptr || rec->type() != kFunctionFigure) return false;
  FunctionRecord* f = rec->function();
  if (f == nullptr) return false;
  return ResampleFunction(*f, rec->owned, screen.Variables(), expr, notice);
}

bool FunctionUsesVariable(const FunctionRecord& r, int row, int column) {
  if (r.Boolean && Uses(r.BooleanFunc, row, column)) return true;
  switch (static_cast<int>(r.FuncKind)) {
    case kParametricCurve:
      if (Uses(r.FuncY, row, column)) return true;
      [[fallthrough]];
    case kExplicitCurve:
    case kPolarCurve:
      // The family range counts too: leaving it out would keep a stale family.
      for (const Expression* t :
           {&r.FuncX, &r.AreaSx1, &r.AreaEx1, &r.AreaWd1, &r.AreaSx2, &r.AreaEx2, &r.AreaWd2})
        if (Uses(*t, row, column)) return true;
      return false;
    case kImplicitCurve:
      for (const Expression* t :
           {&r.FuncX, &r.FuncY, &r.AreaSx1, &r.AreaEx1, &r.AreaWd1, &r.AreaSx2, &r.AreaEx2})
        if (Uses(*t, row, column)) return true;
      return Uses(r.AreaWd2, row, column);
    default:
      return false;
  }
}

}  // namespace qzarn
