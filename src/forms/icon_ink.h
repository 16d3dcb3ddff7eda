#pragma once
// The tool-bar icons are drawn in a dark ink with a few colours, for a light
// bar. On a dark bar (a dark desktop scheme) the ink would all but vanish:
// the same drawings are then inked in light tones and brighter colours.

#include <cstdint>
#include <string>
#include <string_view>

namespace qzarn::forms {

// The icon's SVG text for a bar of the given darkness: unchanged for a light
// bar; for a dark one every ink colour is swapped for its light counterpart
// (paper fills such as white stay).
std::string InkedIcon(std::string_view svg, bool dark_bar);

// Whether a bar colour (0xRRGGBB) counts as dark: its relative luminance
// below that of middle grey.
bool IsDarkColour(std::uint32_t rgb);

// The contrast ratio of two colours (0xRRGGBB), 1 to 21.
double ContrastRatio(std::uint32_t a, std::uint32_t b);

}  // namespace qzarn::forms
