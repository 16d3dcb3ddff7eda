#pragma once
// What each computing production does to its values, shared by the parsing
// evaluator and the compiled program so that both compute bit for bit alike.

#include <cmath>

#include "expr/expr_types.h"
#include "expr/numeric.h"
#include "expr/variable_table.h"

namespace qzarn {

// Production numbers of the binary operators.
enum BinaryProduction : int {
  kProdAdd = 1,
  kProdSubtract = 2,
  kProdMultiply = 4,
  kProdDivide = 5,
  kProdPower = 7,
  kProdIntDiv = 101,
  kProdMod = 102,
  kProdEq = 110,
  kProdLt = 111,
  kProdLe = 112,
  kProdGt = 113,
  kProdGe = 114,
  kProdNe = 115,
  kProdAnd = 116,
  kProdOr = 117,
};

inline bool IsBinaryProduction(int p) {
  return p == 1 || p == 2 || p == 4 || p == 5 || p == 7 || p == 101 || p == 102 ||
         (p >= 110 && p <= 117);
}

// The value a variable item reads: cells outside the table and cells holding
// no finite number read as 0, like cells that are not defined.
inline double ReadCell(const VariableTable& table, int column, int row) {
  if (column < 1 || column > kVariableColumns || row < 0 || row >= kVariableRows) return 0.0;
  double v = table.read(row, column);
  return std::isfinite(v) ? v : 0.0;
}

inline double ApplyBinary(int p, double l, double r, bool& math_error) {
  switch (p) {
    case kProdAdd:
      return Settle(l + r, math_error);
    case kProdSubtract:
      return Settle(l - r, math_error);
    case kProdMultiply:
      return Settle(l * r, math_error);
    case kProdDivide:
      return DivideValues(l, r, math_error);
    case kProdPower:
      return PowerRule(l, r, math_error);
    case kProdIntDiv:
      return IntegerQuotient(l, r, math_error);
    case kProdMod:
      return IntegerRemainder(l, r, math_error);
    case kProdEq:
      return l == r ? 1.0 : 0.0;
    case kProdLt:
      return l < r ? 1.0 : 0.0;
    case kProdLe:
      return l <= r ? 1.0 : 0.0;
    case kProdGt:
      return l > r ? 1.0 : 0.0;
    case kProdGe:
      return l >= r ? 1.0 : 0.0;
    case kProdNe:
      return l != r ? 1.0 : 0.0;
    case kProdAnd:
      return l * r == 1 ? 1.0 : 0.0;
    case kProdOr: {
      double s = l + r;
      return s == 1 || s == 2 ? 1.0 : 0.0;
    }
    default:
      return 0.0;
  }
}

// The value of an evaluation that parsed: off the plane after a math error,
// else pulled to +-10000 from beyond +-20000. Both bounds are tested whatever
// the value, so that a block of samples computes it without branches.
inline double AcceptedValue(double v, bool math_error) {
  const bool below = v < -20000;
  const bool above = v > 20000;
  const double clamped = below ? -10000.0 : above ? 10000.0 : v;
  return math_error ? kOffPlaneValue : clamped;
}

// The value and attribute code handed to the caller once parsing stopped.
inline Evaluation FinishEvaluation(const ExprFlags& f, double v) {
  Evaluation e;
  if (!f.math_error && (f.syntax_error || f.too_long))
    e.value = 0.0;
  else
    e.value = AcceptedValue(v, f.math_error);
  if (f.syntax_error || f.too_long)
    e.attribute = 1;
  else
    e.attribute = (f.uses_variables ? 2 : 1) + (f.math_error ? 4 : 0);
  return e;
}

}  // namespace qzarn
