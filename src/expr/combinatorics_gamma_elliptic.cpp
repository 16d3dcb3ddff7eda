// Combinatorics, powers with a fractional exponent, Gamma, Legendre
// polynomials and complete elliptic integrals of the function catalogue.
#include <cfloat>
#include <cmath>

#include "expr/numeric.h"
#include "expr/numeric_support.h"

namespace qzarn {
namespace {

using numeric_detail::Fail;
using numeric_detail::IsWhole;

bool CombinatoricArguments(double n, double r) {
  return IsWhole(n) && IsWhole(r) && n >= 0 && r >= 0 && n <= 3000 && r <= 3000;
}

// nCr by v := v / k * (n - r + k) for k = r .. 1; false when it overflows.
// Products run in extended precision and are rounded once, so that results
// that are whole numbers come out exact (10C3 is 120, not 120.00000000000001).
bool BinomialCoefficient(double n, double r, double& v) {
  long double acc = 1.0L;
  for (double k = r; k >= 1; k -= 1) {
    acc = acc / k * (static_cast<long double>(n) - r + k);
    if (!(acc <= DBL_MAX)) return false;
  }
  v = static_cast<double>(acc);
  return true;
}

// p^e for the binomial probability: a power of 0 is 1 for the exponent 0 and
// 0 otherwise.
double ProbabilityPower(double p, double e) {
  if (p == 0) return e == 0 ? 1.0 : 0.0;
  return std::pow(p, e);
}

// Polynomial of Abramowitz and Stegun 6.1.36 for Gamma(1 + t), 0 <= t <= 1.
double GammaPolynomial(double t) {
  constexpr double g[] = {1.0,          -0.577191652, 0.988205891,  -0.897056937, 0.918206857,
                          -0.756704078, 0.482199394,  -0.193527818, 0.035868343};
  double sum = 0.0;
  for (int k = 8; k >= 0; --k)
    sum = sum * t + g[k];
  return sum;
}

// The arithmetic-geometric mean loops stop when the two means meet within
// eps; a loop whose means no longer change (eps below what they can reach) or
// that runs this long stops as well.
constexpr int kMaxMeanRounds = 1100;

}  // namespace

double Factorial(double n, bool& math_error) {
  if (!IsWhole(n) || n < 0 || n > 3000) return Fail(math_error);
  long double v = 1.0L;
  for (double k = n; k >= 1; k -= 1) {
    v *= k;
    if (!(v <= DBL_MAX)) return Fail(math_error);
  }
  return static_cast<double>(v);
}

double Combinations(double n, double r, bool& math_error) {
  if (!CombinatoricArguments(n, r)) return Fail(math_error);
  if (n == r || r == 0) return 1.0;
  if (n < r) return Fail(math_error);
  double v;
  if (!BinomialCoefficient(n, r, v)) return Fail(math_error);
  return v;
}

double Permutations(double n, double r, bool& math_error) {
  if (!CombinatoricArguments(n, r)) return Fail(math_error);
  if (r == 0) return 1.0;
  if (n < r) return Fail(math_error);
  long double v = 1.0L;
  for (double k = n; k >= n - r + 1; k -= 1) {
    v *= k;
    if (!(v <= DBL_MAX)) return Fail(math_error);
  }
  return static_cast<double>(v);
}

double BinomialProbability(double p, double n, double r, bool& math_error) {
  if (!IsWhole(r) || !IsWhole(n) || n < 0 || r < 0 || n < r || p < 0 || p > 1)
    return Fail(math_error);
  double v = 1.0;
  if (n != r && n != 0) {
    // nCr = nC(n-r): counting from the smaller side keeps huge n with r near n
    // from looping for ages; short loops keep the plain order.
    double k = r > 1e6 && n - r < r ? n - r : r;
    if (!BinomialCoefficient(n, k, v)) return Fail(math_error);
  }
  return Settle(v * ProbabilityPower(p, r) * ProbabilityPower(1 - p, n - r), math_error);
}

double FractionalPower(double x, double p, double q, bool& math_error) {
  if (!IsWhole(p) || !IsWhole(q) || std::fabs(p) >= 32767 || std::fabs(q) >= 32767 || q == 0)
    return Fail(math_error);
  double s = p / q;
  if (x == 0) return s == 0 ? 1.0 : 0.0;
  if (x > 0 || s == 0) {
    if (x <= 0) return Fail(math_error);
    double r = s * std::log(x);
    if (r < -709) return 0.0;
    if (r > 709) return Fail(math_error);
    return Settle(std::pow(x, s), math_error);
  }
  double r = s * std::log(-x);
  if (r < -709) return 0.0;
  if (r > 709 || std::fabs(s) > 32767) return Fail(math_error);
  double magnitude = std::pow(-x, s);
  bool negate;
  if (IsWhole(s)) {
    negate = std::fmod(s, 2.0) != 0;
  } else {
    if (std::fmod(q, 2.0) == 0) return Fail(math_error);
    negate = std::fmod(p, 2.0) != 0;
  }
  return Settle(negate ? -magnitude : magnitude, math_error);
}

double Gamma(double x, bool& math_error) {
  if (x <= 0 || x >= 34) return Fail(math_error);
  double u = 1.0, d = x;
  while (d > 1) {
    d -= 1;
    u *= d;
  }
  return Settle(u * GammaPolynomial(d) / d, math_error);
}

double Legendre(double x, double n, bool& math_error) {
  if (!IsWhole(n) || n < 0 || n > 32757) return Fail(math_error);
  if (n == 0) return 1.0;
  if (n == 1) return x;
  double f = 1.0, e = x, d = n, v = 0.0;
  do {
    d -= 1;
    v = x * e + (x * e - f) * d / (d + 1);
    if (!std::isfinite(v)) return Settle(v, math_error);
    f = e;
    e = v;
  } while (d >= 2);
  return v;
}

double EllipticK(double k, double eps, bool& math_error) {
  if (!(eps > 0) || std::fabs(k) > 1) return Fail(math_error);
  double a = 1.0, b = std::sqrt(1 - k * k);
  for (int round = 0; round < kMaxMeanRounds; ++round) {
    double c = (a + b) / 2;
    double g = std::sqrt(a * b);
    bool unchanged = c == a && g == b;
    a = c;
    b = g;
    if (std::fabs(a - b) <= eps || unchanged) break;
  }
  if (a == 0) return Fail(math_error);  // division by zero
  return Settle(kPi / 2 / a, math_error);
}

double EllipticE(double k, double eps, bool& math_error) {
  if (!(eps > 0) || std::fabs(k) > 1) return Fail(math_error);
  double a = 1.0, b = std::sqrt(1 - k * k);
  double sum = 0.0, c = a;
  for (int i = 0; i < kMaxMeanRounds; ++i) {
    c = (a + b) / 2;
    double g = std::sqrt(a * b);
    double h = (a - b) / 2;
    if (h != 0) sum += std::ldexp(h * h, i);
    if (std::fabs(c - g) < eps || (c == a && g == b)) break;
    a = c;
    b = g;
  }
  if (c == 0) return Fail(math_error);  // division by zero
  return Settle(kPi / 2 / c * (1 - (k * k / 2 + sum)), math_error);
}

}  // namespace qzarn
