#pragma once
// Turns a normalised expression text into its compiled byte form: every
// number, variable and function name decoded into one item. Grammar errors are
// left to the evaluator; compilation only rejects unknown characters and words.

#include <string_view>

#include "expr/expr_types.h"

namespace qzarn {

// Compiled-form item lead bytes.
inline constexpr std::uint8_t kItemShortInt = 0x80;  // + 2 bytes, 0..32767
inline constexpr std::uint8_t kItemDouble = 0x81;    // + 8 bytes, little-endian IEEE double
inline constexpr std::uint8_t kItemVariable = 0xF0;  // | `$` bits, + column (2) + row (2)

struct CompileResult {
  CompiledExpression compiled;
  bool syntax_error = false;
  bool uses_variables = false;
  // The text was a plain number: the flags are not to be touched at all.
  bool plain_number = false;
};

// `text` should come from NormaliseExpression.
CompileResult CompileExpression(std::string_view text);

// Appends a number item the way compilation does (short form for whole
// numbers 0..32767, otherwise the eight bytes of the double).
void AppendNumberItem(CompiledExpression& out, double value);

}  // namespace qzarn
