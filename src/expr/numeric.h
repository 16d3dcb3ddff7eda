#pragma once
// The arithmetic of the evaluator: the operators and the function catalogue
// with their domain checks. Every routine returns a finite value: a domain
// error sets `math_error` and gives 0, a result too large for a double gives 0
// without any flag, and an invalid operation sets `math_error`.
//
// Both the parsing evaluator and the compiled program call exactly these
// routines, so the two give bit-identical values.

#include <bit>
#include <cmath>
#include <cstdint>

namespace qzarn {

inline constexpr double kPi = 3.141592653589793;

// The last step of every reduction: overflow to infinity yields 0 without a
// flag, an invalid operation yields 0 with `math_error`.
inline double Settle(double v, bool& math_error) {
  if (std::isfinite(v)) [[likely]]
    return v;
  if (std::isnan(v)) math_error = true;
  return 0.0;
}

// Real division: divisors below 0.0001 in magnitude are a math error.
inline double DivideValues(double l, double r, bool& math_error) {
  if (std::fabs(r) < 0.0001) {
    math_error = true;
    return 0.0;
  }
  return Settle(l / r, math_error);
}

// SQRT: magnitudes up to 0.000001 count as 0, below that a math error.
inline double SquareRoot(double x, bool& math_error) {
  if (std::fabs(x) <= 0.000001) return 0.0;
  if (x < 0) {
    math_error = true;
    return 0.0;
  }
  return std::sqrt(x);
}

// SIN and COS give 0 from 2^63 on, where the reduction of the angle fails.
inline double SineOf(double x) {
  return std::fabs(x) >= 9223372036854775808.0 ? 0.0 : std::sin(x);
}
inline double CosineOf(double x) {
  return std::fabs(x) >= 9223372036854775808.0 ? 0.0 : std::cos(x);
}

double PowerRuleSlow(double b, double e, bool& math_error);

// `b ^ n` for a whole n of 2 to 8 by repeated products, each carried with its
// exact rounding error in a second double. Only for |b| between 1e-36
// and 1e36 (squares: 1e-150 and 1e150): there |n·ln b| < 700, so the
// overflow rule cannot trigger, and the power stays a normal double. The pair
// holds the true power to about 2^-100, so its leading part is the correctly
// rounded power. The library power is off by at most 0.54 ulp and therefore
// returns the same double whenever the true value lies more than 0.46 ulp
// from it; nearer halfway (about one power in ten) and at powers of two,
// where the gap below halves, this gives up and the caller takes the slow
// way. Either way the bits are those of the slow way.
// The two halves of x (Veltkamp): each has at most 26 significant bits, so
// products of halves are exact.
inline void SplitHalves(double x, double& high, double& low) {
  const double c = 134217729.0 * x;  // 2^27 + 1
  high = c - (c - x);
  low = x - high;
}

// The rounding error of x·y, exactly (Dekker): x·y = fl(x·y) + the result,
// given y's halves. Plain products and sums, so that it needs no fused
// multiply-add from the processor.
inline double ProductError(double x, double product, double y_high, double y_low) {
  double x_high, x_low;
  SplitHalves(x, x_high, x_low);
  return ((x_high * y_high - product) + x_high * y_low + x_low * y_high) + x_low * y_low;
}

inline bool WholePowerByProducts(double b, int n, double& result) {
  const double a = std::fabs(b);
  const double limit = n == 2 ? 1e150 : 1e36;
  if (!(a > 1 / limit && a < limit)) return false;
  double b_high, b_low;
  SplitHalves(b, b_high, b_low);
  double hi = b, lo = 0.0;
  for (int k = 1; k < n; ++k) {
    const double p = hi * b;
    const double err = ProductError(hi, p, b_high, b_low) + lo * b;
    hi = p + err;
    lo = err - (hi - p);
  }
  const auto bits = std::bit_cast<std::uint64_t>(hi);
  constexpr std::uint64_t kMantissa = (std::uint64_t{1} << 52) - 1;
  if ((bits & kMantissa) == 0) return false;
  const std::uint64_t exponent_bits = bits & (std::uint64_t{0x7FF} << 52);
  const double ulp = std::bit_cast<double>(exponent_bits) * 0x1p-52;  // 2^(exponent of hi - 52)
  if (!(std::fabs(lo) < 0.45 * ulp)) return false;
  result = hi;
  return true;
}

// `b ^ e`. Small whole powers (the common `x^2`, `x^3`) are products where
// that gives the same double as the slow way.
inline double PowerRule(double b, double e, bool& math_error) {
  if (e >= 2.0 && e <= 8.0 && e == static_cast<double>(static_cast<int>(e))) {
    double r;
    if (WholePowerByProducts(b, static_cast<int>(e), r)) return r;
  }
  return PowerRuleSlow(b, e, math_error);
}

// `\` and `%`: whole operands of at most 1e10 that fit 32 bits, divisor not 0.
double IntegerQuotient(double l, double r, bool& math_error);
double IntegerRemainder(double l, double r, bool& math_error);

// The linear congruential generator behind RANDOM: a value in [0, 1).
inline double NextRandom(std::uint32_t& seed) {
  seed = seed * 134775813u + 1u;
  return seed / 4294967296.0;
}

// Catalogue functions by code. `FunctionOf2` sets `syntax_error` for a
// ROUND digit count outside -10..10.
double FunctionOf1(int code, double x, double int_gap, bool& math_error);
double FunctionOf2(int code, double x, double arg, bool& math_error, bool& syntax_error);
double FunctionOf3(int code, double x, double p, double q, bool& math_error);

// Numeric library (also used directly by tests).
double RoundHalfAway(double x);
double RoundToDigits(double x, int digits);
double Factorial(double n, bool& math_error);
double Combinations(double n, double r, bool& math_error);
double Permutations(double n, double r, bool& math_error);
double BinomialProbability(double p, double n, double r, bool& math_error);
double FractionalPower(double x, double p, double q, bool& math_error);
double Gamma(double x, bool& math_error);
double Legendre(double x, double n, bool& math_error);
double EllipticK(double k, double eps, bool& math_error);
double EllipticE(double k, double eps, bool& math_error);
double BesselJ(double x, double n, bool& math_error);
double BesselY(double x, double n, bool& math_error);
double BesselI(double x, double n, bool& math_error);
double BesselK(double x, double n, bool& math_error);

}  // namespace qzarn
