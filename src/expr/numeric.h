#pragma once
// The arithmetic of the evaluator: the operators and the function catalogue
// with their domain checks. Every routine returns a finite value: a domain
// error sets `math_error` and gives 0, a result too large for a double gives 0
// without any flag, and an invalid operation sets `math_error`.
//
// Both the parsing evaluator and the compiled program call exactly these
// routines, so the two give bit-identical values.

#include <cmath>
#include <cstdint>
#include <type_traits>

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

// LOG and LN: arguments up to 0 are a math error, those below 0.01 give -100.
inline double Logarithm(double x, double divisor, bool& math_error) {
  if (x <= 0) {
    math_error = true;
    return 0.0;
  }
  if (x < 0.01) return -100.0;
  return std::log(x) / divisor;
}

// EXP: arguments of magnitude 709 and more are a math error.
inline double ExponentialOf(double x, bool& math_error) {
  if (std::fabs(x) >= 709) {
    math_error = true;
    return 0.0;
  }
  return std::exp(x);
}

double PowerRuleSlow(double b, double e, bool& math_error);
// The library's `pow`, out of line: a compiler that sees a constant exponent
// may replace `pow(b, 2)` by `b * b`, which rounds differently from the library
// for some bases.
double LibraryPower(double b, double e);

// `b ^ n` for a whole n of 2 to 8 by repeated products, each carried with its
// exact rounding error in a second double. Only for |b| between 1e-36
// and 1e36 (squares: 1e-150 and 1e150): there |n·ln b| < 700, so the
// overflow rule cannot trigger, and the power stays a normal double. The pair
// holds the true power to about 2^-100, so its leading part is the correctly
// rounded power.
//
// The library power rounds once, after an error of at most 0.011 ulp from its
// exponential plus |n·ln b|·1.5·2^-15 ulp from its logarithm: at most 0.043 ulp
// in the whole product range, 0.0125 ulp where |n·ln b| ≤ 32 (the core range).
// Those are ulps of the true power, counted for the worst place in a binade (a
// relative error times 2^53), so they hold just below a power of two too. So
// it returns the correctly rounded power whenever the true value lies more
// than 0.043 (core: 0.0125) ulp inside half an ulp of it. The products accept
// 0.444 ulp (core: 0.485 ulp); nearer halfway (about one power in ten, in the
// core range one in thirty-three) they give up and the caller takes the
// library power. Either way the bits are those of the slow way.
//
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

// The exact rounding error of the product p = fl(x·y): by one fused
// multiply-add in an evaluator built for a processor that has it, else by
// Dekker's products of halves (y's halves given). Both are exact, so both give
// the same double.
template <bool kFused>
[[gnu::always_inline]] inline double ExactProductError(double x, double y, double p, double y_high,
                                                       double y_low) {
  if constexpr (kFused)
    return __builtin_fma(x, y, -p);
  else
    return ProductError(x, p, y_high, y_low);
}

// 2^k as a constant.
constexpr double PowerOfTwo(int k) {
  double v = 1.0;
  for (; k > 0; --k)
    v *= 2.0;
  for (; k < 0; ++k)
    v /= 2.0;
  return v;
}

// Bounds on |b| for b^N: the product range, and the core range 2^±(46/N)
// where |N·ln b| ≤ 46·ln 2 < 32.
template <int N>
inline constexpr double kProductLimit = N == 2 ? 1e150 : 1e36;
template <int N>
inline constexpr double kCoreLimit = PowerOfTwo(46 / N);

// Where |b|^n can neither overflow the rule's limit nor leave the normal doubles.
inline bool InProductRange(double b, int n) {
  const double a = std::fabs(b);
  const double limit = n == 2 ? kProductLimit<2> : kProductLimit<3>;
  return a > 1 / limit && a < limit;
}

// True when `hi` is the double nearest to hi + lo with a margin the library
// power cannot cross: hi + lo·stretch still rounds to hi, so |lo| is below
// half the gap to hi's neighbour on lo's side divided by the stretch. Below a
// power of two that gap is half an ulp of hi, and so is the true power's ulp:
// the margin shrinks with it.
inline bool ProductsDecide(double hi, double lo, double stretch) {
  return hi + lo * stretch == hi;
}
// Half an ulp over these: 0.444 and 0.485 ulp.
inline constexpr double kProductStretch = 1.125;
inline constexpr double kCoreStretch = 1.03125;

// hi + lo = b^M to about 2^-100, by squaring where M is even and one more
// product by b where it is odd (b^4 takes two roundings instead of three).
template <int M, bool kFused>
[[gnu::always_inline]] inline void PowerPair(double b, double b_high, double b_low, double& hi,
                                             double& lo) {
  if constexpr (M == 2) {
    // b·b rounds once, so its error is the whole remainder.
    hi = b * b;
    lo = ExactProductError<kFused>(b, b, hi, b_high, b_low);
  } else if constexpr (M % 2 == 0) {
    double h, l;
    PowerPair<M / 2, kFused>(b, b_high, b_low, h, l);
    // (h + l)^2 = h·h + 2·h·l + l·l, the last below 2^-104 of the square.
    double h_high = 0, h_low = 0;
    if constexpr (!kFused) SplitHalves(h, h_high, h_low);
    const double p = h * h;
    const double err = ExactProductError<kFused>(h, h, p, h_high, h_low) + (h + h) * l;
    hi = p + err;
    lo = err - (hi - p);
  } else {
    double h, l;
    PowerPair<M - 1, kFused>(b, b_high, b_low, h, l);
    const double p = h * b;
    const double err = ExactProductError<kFused>(h, b, p, b_high, b_low) + l * b;
    hi = p + err;
    lo = err - (hi - p);
  }
}

// b^N for a b in the product range; false where the products cannot tell.
template <int N, bool kFused = false>
[[gnu::always_inline]] inline bool PowerByProducts(double b, double stretch, double& result) {
  static_assert(N >= 2 && N <= 8);
  double b_high = 0, b_low = 0;
  if constexpr (!kFused) SplitHalves(b, b_high, b_low);
  double hi, lo;
  PowerPair<N, kFused>(b, b_high, b_low, hi, lo);
  if (!ProductsDecide(hi, lo, stretch)) return false;
  result = hi;
  return true;
}

template <int N>
inline bool InCoreRange(double b) {
  static_assert(kCoreLimit<N> < kProductLimit<N>);
  const double a = std::fabs(b);
  return a > 1 / kCoreLimit<N> && a < kCoreLimit<N>;
}

// Calls f(std::integral_constant<int, n>{}, args...) for a whole n of 2 to 8
// known only at run time. `f` captures nothing: the evaluator's operands stay
// in registers.
template <class F, class... Args>
[[gnu::always_inline]] inline decltype(auto) WithWholeExponent(int n, F f, Args&&... args) {
  switch (n) {
    case 2:
      return f(std::integral_constant<int, 2>{}, args...);
    case 3:
      return f(std::integral_constant<int, 3>{}, args...);
    case 4:
      return f(std::integral_constant<int, 4>{}, args...);
    case 5:
      return f(std::integral_constant<int, 5>{}, args...);
    case 6:
      return f(std::integral_constant<int, 6>{}, args...);
    case 7:
      return f(std::integral_constant<int, 7>{}, args...);
    default:
      return f(std::integral_constant<int, 8>{}, args...);
  }
}

inline bool WholePowerByProducts(double b, int n, double& result) {
  if (!InProductRange(b, n)) return false;
  return WithWholeExponent(
      n,
      [](auto k, double base, double& r) {
        const double stretch = InCoreRange<k()>(base) ? kCoreStretch : kProductStretch;
        return PowerByProducts<k()>(base, stretch, r);
      },
      b, result);
}

// `b ^ N` for a whole N of 2 to 8 known in advance (the compiled program's
// `x^2`, `x^3` ...). Inside the product range the slow way reduces to the
// library power, so that is the fallback there.
template <int N, bool kFused = false>
[[gnu::always_inline]] inline double WholePower(double b, bool& math_error) {
  double r;
  if (InCoreRange<N>(b)) [[likely]] {
    if (PowerByProducts<N, kFused>(b, kCoreStretch, r)) [[likely]]
      return r;
    return LibraryPower(b, N);
  }
  if (!InProductRange(b, N)) return PowerRuleSlow(b, N, math_error);
  if (PowerByProducts<N, kFused>(b, kProductStretch, r)) return r;
  return LibraryPower(b, N);
}

// `b ^ n` for a whole n of 2 to 8 chosen at run time.
template <bool kFused = false>
[[gnu::always_inline]] inline double WholePower(double b, int n, bool& math_error) {
  return WithWholeExponent(
      n, [](auto k, double base, bool& me) __attribute__((always_inline)) {
        return WholePower<k(), kFused>(base, me);
      },
      b, math_error);
}

// A whole exponent the product way handles: 2 to 8.
inline bool IsSmallWholeExponent(double e) {
  return e >= 2.0 && e <= 8.0 && e == static_cast<double>(static_cast<int>(e));
}

// `b ^ e`. Small whole powers (the common `x^2`, `x^3`) are products where
// that gives the same double as the slow way.
inline double PowerRule(double b, double e, bool& math_error) {
  if (IsSmallWholeExponent(e)) return WholePower(b, static_cast<int>(e), math_error);
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
