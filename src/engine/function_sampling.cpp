#include "engine/function_sampling.h"

#include <charconv>
#include <cmath>
#include <new>
#include <string>

#include "document/screen.h"
#include "engine/implicit_curves.h"
#include "expr/engine.h"
#include "expr/normalise.h"
#include "expr/program.h"
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

    double v = g.s2;
    for (double k = 0; k <= m; ++k) {
      if (family_column != 0) vars_.bind(0, family_column, v);
      double p = g.s1;
      for (double step = 0; step <= n; ++step) {
        // The last step ends exactly at the range end.
        if (step > 0) p = step == n ? g.e1 : std::fmin(p + g.w1, g.e1);
        vars_.bind(0, param_column, p);
        if (!Sample(body, second.get(), condition.get(), p, step == 0)) return;
      }
      if (!Push(kSampleBreak, kSampleBreak)) return;
      v += g.w2;
    }
  }

 private:
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
  const auto end =
      ToCharsGeneral(digits, digits + sizeof digits, cell, 3).ptr;
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
    SampleList list;
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
