#pragma once
// Small helpers of the numeric library's translation units.

#include <cmath>

namespace qzarn::numeric_detail {

inline bool IsWhole(double v) {
  return v == std::trunc(v);
}

// A domain error: the flag is set and the reduction's value is 0.
inline double Fail(bool& math_error) {
  math_error = true;
  return 0.0;
}

}  // namespace qzarn::numeric_detail
