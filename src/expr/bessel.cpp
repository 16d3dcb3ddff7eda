// Bessel functions of integer order: polynomial approximations for orders 0
// and 1, recurrences for higher orders.
#include <cmath>

#include "expr/numeric.h"
#include "expr/numeric_support.h"

namespace qzarn {
namespace {

using numeric_detail::Fail;

// Coefficients from the constant term upward.
template <int N>
double Poly(const double (&c)[N], double t) {
  double sum = 0.0;
  for (int k = N - 1; k >= 0; --k)
    sum = sum * t + c[k];
  return sum;
}

// Orders are whole numbers in -32757..32757; negative orders are rejected.
bool ValidOrder(double n) {
  return n == std::trunc(n) && n >= 0 && n <= 32757;
}

// Signals overflow out of a recurrence: too large for a double, no flag.
constexpr double kOverflow = HUGE_VAL;

bool J0(double x, double& out) {
  if (x < 0) return false;
  if (x <= 4) {
    static constexpr double c[] = {1.0,          -3.9999998721, 3.9999973021, -1.7777560599,
                                   0.4443584263, -0.0709253492, 0.0076771853, -0.0005014415};
    double y = x / 4;
    out = Poly(c, y * y);
    return true;
  }
  static constexpr double p[] = {0.3989422793,  -0.00175302,  0.00017343,
                                 -0.0000487613, 0.0000173565, -0.0000037043};
  static constexpr double q[] = {-0.0124669441, 0.0004564324,  -0.0000869791,
                                 0.0000342468,  -0.0000142078, 0.0000032312};
  double t = 16 / (x * x);
  double theta = x - kPi / 4;
  out =
      (2 / std::sqrt(x)) * (Poly(p, t) * std::cos(theta) - (4 / x) * Poly(q, t) * std::sin(theta));
  return true;
}

bool J1(double x, double& out) {
  if (x < 0) return false;
  if (x <= 4) {
    static constexpr double c[] = {1.9999999998, -3.999999971,  2.6666660544, -0.8888839649,
                                   0.1777582922, -0.0236616773, 0.0022069155, -0.0001289769};
    double y = x / 4;
    out = y * Poly(c, y * y);
    return true;
  }
  static constexpr double p[] = {0.3989422819, 0.0029218256, -0.000223203,
                                 0.0000580759, -0.000020092, 0.0000042414};
  static constexpr double q[] = {0.0374008364,  -0.00063904, 0.0001064741,
                                 -0.0000398708, 0.00001622,  -0.0000036594};
  double t = 16 / (x * x);
  double theta = x - 2.356194490192345;
  out =
      (2 / std::sqrt(x)) * (Poly(p, t) * std::cos(theta) - (4 / x) * Poly(q, t) * std::sin(theta));
  return true;
}

// Abramowitz and Stegun 9.4.1 and 9.4.4 (the latter is J1(x) / x), in (x/3)^2.
constexpr double kJ0Small[] = {1.0,       -2.2499997, 1.2656208, -0.3163866,
                               0.0444479, -0.0039444, 0.0002100};
constexpr double kJ1Small[] = {0.5,        -0.56249985, 0.21093573, -0.03954289,
                               0.00443319, -0.00031761, 0.00001109};

bool Y0(double x, double& out) {
  if (x <= 0) return false;
  if (x <= 3) {
    static constexpr double c[] = {0.36746691,  0.60559366, -0.74350384, 0.25300117,
                                   -0.04261214, 0.00427916, -0.00024846};
    double t = (x / 3) * (x / 3);
    out = (2 / kPi) * std::log(x / 2) * Poly(kJ0Small, t) + Poly(c, t);
    return true;
  }
  static constexpr double f[] = {0.79788456, -0.00000077, -0.00552740, -0.00009512,
                                 0.00137237, -0.00072805, 0.00014476};
  static constexpr double th[] = {0.78539816, 0.04166397, 0.00003954, -0.00262573,
                                  0.00054125, 0.00029333, -0.00013558};
  double u = 3 / x;
  out = Poly(f, u) * std::sin(x - Poly(th, u)) / std::sqrt(x);
  return true;
}

bool Y1(double x, double& out) {
  if (x <= 0) return false;
  if (x <= 3) {
    static constexpr double c[] = {-0.6366198, 0.2212091,  2.1682709, -1.3164827,
                                   0.3123951,  -0.0400976, 0.0027873};
    double t = (x / 3) * (x / 3);
    out = (2 / kPi) * std::log(x / 2) * (x * Poly(kJ1Small, t)) + Poly(c, t) / x;
    return true;
  }
  static constexpr double f[] = {0.79788456,  0.00000156, 0.01659667, 0.00017105,
                                 -0.00249511, 0.00113653, -0.00020033};
  static constexpr double th[] = {0.78539816,  -0.12499612, -0.0000565, 0.00637879,
                                  -0.00074348, -0.00079824, 0.00029166};
  double u = 3 / x;
  out = -Poly(f, u) * std::cos(x - Poly(th, u)) / std::sqrt(x);
  return true;
}

// Abramowitz and Stegun 9.8.1 and 9.8.3 (the latter is I1(x) / x), in (x/3.75)^2.
constexpr double kI0Small[] = {1.0,       3.5156229, 3.0899424, 1.2067492,
                               0.2659732, 0.0360768, 0.0045813};
constexpr double kI1Small[] = {0.5,        0.87890594, 0.51498869, 0.15084934,
                               0.02658733, 0.00301532, 0.00032411};

bool I0(double x, double& out) {
  if (x < 0) return false;
  if (x <= 3.75) {
    double t = (x / 3.75) * (x / 3.75);
    out = Poly(kI0Small, t);
    return true;
  }
  static constexpr double p[] = {0.39894228,   0.013285917, 0.002253187,  -0.001575649, 0.009162808,
                                 -0.020577063, 0.026355372, -0.016476329, 0.003923767};
  out = std::exp(x) / std::sqrt(x) * Poly(p, 3.75 / x);
  return true;
}

bool I1(double x, double& out) {
  if (x < 0) return false;
  if (x <= 3.75) {
    double t = (x / 3.75) * (x / 3.75);
    out = x * Poly(kI1Small, t);
    return true;
  }
  static constexpr double p[] = {0.39894228,  -0.039880242, -0.003620183, 0.001638014, -0.01031555,
                                 0.022829673, -0.028953121, 0.017876535,  -0.004200587};
  out = std::exp(x) / std::sqrt(x) * Poly(p, 3.75 / x);
  return true;
}

bool K0(double x, double& out) {
  if (x <= 0) return false;
  if (x <= 2) {
    static constexpr double c[] = {-0.57721566, 0.42278420, 0.23069756, 0.03488590,
                                   0.00262698,  0.00010750, 0.00000740};
    double t = (x / 2) * (x / 2);
    double i0 = Poly(kI0Small, (x / 3.75) * (x / 3.75));
    out = -std::log(x / 2) * i0 + Poly(c, t);
    return true;
  }
  static constexpr double c[] = {1.25331414, -0.07832358, 0.02189568, -0.01062446,
                                 0.00587872, -0.00251540, 0.00053208};
  out = std::exp(-x) / std::sqrt(x) * Poly(c, 2 / x);
  return true;
}

bool K1(double x, double& out) {
  if (x <= 0) return false;
  if (x <= 2) {
    static constexpr double c[] = {1.0,         0.15443144,  -0.67278579, -0.18156897,
                                   -0.01919402, -0.00110404, -0.00004686};
    double t = (x / 2) * (x / 2);
    double i1 = x * Poly(kI1Small, (x / 3.75) * (x / 3.75));
    out = std::log(x / 2) * i1 + Poly(c, t) / x;
    return true;
  }
  static constexpr double c[] = {1.25331414,  0.23498619, -0.03655620, 0.01504268,
                                 -0.00780353, 0.00325614, -0.00068245};
  out = std::exp(-x) / std::sqrt(x) * Poly(c, 2 / x);
  return true;
}

using OrderZeroOrOne = bool (*)(double, double&);

// Shared start of the four families: order check, then orders 0 and 1 directly.
bool LowOrder(double x, double n, OrderZeroOrOne zero, OrderZeroOrOne one, double& out,
              bool& handled, bool& math_error) {
  handled = true;
  if (!ValidOrder(n)) return Fail(math_error), false;
  if (n == 0 || n == 1) {
    if (!(n == 0 ? zero : one)(x, out)) return Fail(math_error), false;
    out = Settle(out, math_error);
    return true;
  }
  handled = false;
  return true;
}

bool IsOdd(int n) {
  return n % 2 != 0;
}

// Y and K of order n >= 2: F(j+1) = j * (2/x) * F(j) + sign * F(j-1), upward
// from orders 0 and 1.
double UpwardFromLowOrders(double x, double n, OrderZeroOrOne zero, OrderZeroOrOne one, double sign,
                           bool& math_error) {
  double out = 0.0;
  bool handled;
  if (!LowOrder(x, n, zero, one, out, handled, math_error) || handled) return out;
  double prev, cur;
  if (!zero(x, prev) || !one(x, cur)) return Fail(math_error);
  int order = static_cast<int>(n);
  double t = 2 / x;
  for (int j = 1; j < order; ++j) {
    double next = j * t * cur + sign * prev;
    if (!std::isfinite(next)) return Settle(kOverflow, math_error);
    prev = cur;
    cur = next;
  }
  return Settle(cur, math_error);
}

}  // namespace

double BesselJ(double x, double n, bool& math_error) {
  double out = 0.0;
  bool handled;
  if (!LowOrder(x, n, J0, J1, out, handled, math_error) || handled) return out;
  if (x == 0) return 0.0;
  int order = static_cast<int>(n);
  double a = std::fabs(x);
  double t = 2 / a;
  double answer;
  if (a > order) {
    double prev, cur;
    J0(a, prev);
    J1(a, cur);
    for (int j = 1; j < order; ++j) {
      double next = j * t * cur - prev;
      prev = cur;
      cur = next;
    }
    answer = cur;
  } else {
    int m = 2 * ((order + static_cast<int>(std::sqrt(40.0 * order))) / 2);
    double b_above = 0.0, b = 1.0, sum = 0.0;
    answer = 0.0;
    bool add = false;
    for (int j = m; j > 0; --j) {
      double b_below = j * t * b - b_above;
      b_above = b;
      b = b_below;
      if (std::fabs(b) > 1e10) {
        b *= 1e-10;
        b_above *= 1e-10;
        answer *= 1e-10;
        sum *= 1e-10;
      }
      if (add) sum += b;
      add = !add;
      if (j == order) answer = b_above;
    }
    answer /= 2 * sum - b;
  }
  if (x < 0 && IsOdd(order)) answer = -answer;
  return Settle(answer, math_error);
}

double BesselY(double x, double n, bool& math_error) {
  return UpwardFromLowOrders(x, n, Y0, Y1, -1.0, math_error);
}

double BesselI(double x, double n, bool& math_error) {
  double out = 0.0;
  bool handled;
  if (!LowOrder(x, n, I0, I1, out, handled, math_error) || handled) return out;
  if (x == 0) return 0.0;
  int order = static_cast<int>(n);
  double t = 2 / std::fabs(x);
  int m = 2 * (order + static_cast<int>(std::sqrt(40.0 * order)));
  double b_above = 0.0, b = 1.0, answer = 0.0;
  for (int j = m; j > 0; --j) {
    double b_below = b_above + j * t * b;
    b_above = b;
    b = b_below;
    if (std::fabs(b) > 1e10) {
      answer *= 1e-10;
      b *= 1e-10;
      b_above *= 1e-10;
    }
    if (j == order) answer = b_above;
  }
  double i0;
  if (!I0(x, i0)) return Fail(math_error);
  answer *= i0 / b;
  if (x < 0 && IsOdd(order)) answer = -answer;
  return Settle(answer, math_error);
}

double BesselK(double x, double n, bool& math_error) {
  return UpwardFromLowOrders(x, n, K0, K1, 1.0, math_error);
}

}  // namespace qzarn
