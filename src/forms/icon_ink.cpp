#include "forms/icon_ink.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace qzarn::forms {

namespace {

// Ink on a light bar → ink on a dark bar. The light tones keep the hue so
// that a red point is still red and a blue line still blue.
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kDarkInks = {{
    {"#2b2b2b", "#e6e6e6"},  // outlines, text
    {"#1d5fc7", "#6ea8ff"},  // lines
    {"#d7261e", "#ff6b61"},  // points
    {"#2e9a44", "#5ccf72"},  // curves
    {"#5a6f8f", "#a9bcd8"},
    {"#c98a00", "#f2b233"},
}};

double Channel(std::uint32_t c) {
  const double v = static_cast<double>(c & 0xFF) / 255.0;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double Luminance(std::uint32_t rgb) {
  return 0.2126 * Channel(rgb >> 16) + 0.7152 * Channel(rgb >> 8) + 0.0722 * Channel(rgb);
}

}  // namespace

std::string InkedIcon(std::string_view svg, bool dark_bar) {
  std::string out(svg);
  if (!dark_bar) return out;
  for (const auto& [light, dark] : kDarkInks) {
    for (std::size_t at = out.find(light); at != std::string::npos;
         at = out.find(light, at + dark.size()))
      out.replace(at, light.size(), dark);
  }
  return out;
}

bool IsDarkColour(std::uint32_t rgb) {
  return Luminance(rgb) < Luminance(0x808080);
}

double ContrastRatio(std::uint32_t a, std::uint32_t b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace qzarn::forms
