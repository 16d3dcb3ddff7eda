#pragma once
// Function records and their resampling for the curve tests.

#include <cmath>
#include <string>

#include "document/figure_table.h"
#include "engine/function_sampling.h"
#include "expr/engine.h"
#include "expr/variable_table.h"

namespace qzarn::testing_curves {

struct CurveFixture {
  ExprEngine expr;
  VariableTable vars{};
  FigureRecord record = FigureRecord::Blank(kFunctionFigure);

  CurveFixture() { vars.reset_for_new_screen(); }

  FunctionRecord& f() { return *record.function(); }
  // An explicit, parametric or polar curve with the default ranges.
  FunctionRecord& Define(int kind, const char* fx, const char* s = "-10", const char* e = "10",
                         const char* w = "0.1") {
    FunctionRecord& r = f();
    r.FuncKind = kind;
    r.FuncX = fx;
    r.AreaSx1 = s;
    r.AreaEx1 = e;
    r.AreaWd1 = w;
    r.ParamVar = kind == kParametricCurve ? 19 : 0;
    r.CurveValid = 0;
    return r;
  }
  void Family(const char* s, const char* e, const char* w) {
    f().AreaSx2 = s;
    f().AreaEx2 = e;
    f().AreaWd2 = w;
  }
  bool Resample() { return ResampleFunction(f(), record.owned, vars, expr); }
  int entries() const { return static_cast<int>(record.owned.SampleX.size()); }
  float X(int i) const { return record.owned.SampleX.at(static_cast<std::size_t>(i)); }
  float Y(int i) const { return record.owned.SampleY.at(static_cast<std::size_t>(i)); }
  bool IsBreak(int i) const { return X(i) == kSampleBreak && Y(i) == kSampleBreak; }
};

}  // namespace qzarn::testing_curves
