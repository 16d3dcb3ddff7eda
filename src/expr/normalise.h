#pragma once
// First stage of every expression text: case folding, space removal and the
// explicit row digit of plain variables (`x` becomes `X0`).

#include <string>
#include <string_view>

namespace qzarn {

// True when the whole text is a plain decimal number that does not start with
// E/e; such texts are taken as written by every stage.
bool IsPlainNumberText(std::string_view text);

std::string NormaliseExpression(std::string_view text);

// The same into a caller's buffer, which is cleared first (reuse one buffer
// to avoid allocating per call).
void NormaliseExpressionInto(std::string_view text, std::string& out);

}  // namespace qzarn
