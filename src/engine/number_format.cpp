#include "engine/number_format.h"

#include <cmath>
#include <vector>

#include "platform/c_number_format.h"

namespace qzarn {

std::string FormatNumber(double value, int decimals) {
  if (std::fabs(value) < 1e-10) return "0";
  if (decimals < 0) decimals = 0;
  if (decimals > 30) decimals = 30;
  const int size = FormatC(nullptr, 0, "%.*f", decimals, value);
  if (size <= 0) return "0";
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
  FormatC(buffer.data(), buffer.size(), "%.*f", decimals, value);
  std::string text(buffer.data(), static_cast<std::size_t>(size));
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0')
      text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  // A tiny negative value rounds to "-0", which would read back as a
  // different text for the same number.
  if (text == "-0") return "0";
  return text;
}

namespace {

constexpr int kGraphDecimals = 8;
constexpr double kVerticalGraphTolerance = 1e-5;

std::string Signed(double v) {
  std::string text = FormatNumber(v, kGraphDecimals);
  return text.front() == '-' ? text : "+" + text;
}

}  // namespace

std::string LineGraphText(const LinePoints& line) {
  const double dx = line.p1.x - line.p0.x;
  if (!(std::fabs(dx) >= kVerticalGraphTolerance)) return {};
  const double a = (line.p1.y - line.p0.y) / dx;
  const double b = line.p0.y - a * line.p0.x;
  return FormatNumber(a, kGraphDecimals) + "*x" + Signed(b);
}

std::string ParabolaGraphText(const LinePoints& parabola) {
  const double x0 = parabola.p0.x;
  const double y0 = parabola.p0.y;
  const double dx = parabola.p1.x - x0;
  if (!(std::fabs(dx) >= kVerticalGraphTolerance)) return {};
  const double k = (parabola.p1.y - y0) / (dx * dx);
  return FormatNumber(k, kGraphDecimals) + "*x*x" + Signed(-2.0 * k * x0) + "*x" +
         Signed(k * x0 * x0 + y0);
}

}  // namespace qzarn
