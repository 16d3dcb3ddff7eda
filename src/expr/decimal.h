#pragma once
// The decimal-to-double conversion the language is built on: an optional sign,
// digits with at most one decimal point (at least one digit), and an optional
// exponent E/e with an optional sign and at least one digit. No spaces, no
// hexadecimal, no infinities; a text whose value does not fit a double is
// rejected rather than turned into infinity.

#include <optional>
#include <string_view>

namespace qzarn {

std::optional<double> ParseDecimal(std::string_view text);

}  // namespace qzarn
