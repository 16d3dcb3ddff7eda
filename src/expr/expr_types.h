#pragma once
// Shared vocabulary of the expression engine: the compiled byte form, the
// status flags every call reports through, and the value conventions the
// figure engine relies on.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace qzarn {

// A construction without geometric result.
inline constexpr double kUndefinedValue = 1e15;
// The value of a failed evaluation or a missing reference; anything this far
// out is off the plane for drawing, hit testing and dragging.
inline constexpr double kOffPlaneValue = 20000.0;

// Capacity of expression texts and of the compiled form.
inline constexpr int kCompiledCapacity = 250;
// The evaluator refuses a token that starts at or beyond this byte offset.
inline constexpr int kTokenStartLimit = 240;
// Entries of the parse stack, the bottom entry included.
inline constexpr int kParseStackSize = 20;

// The compact byte form of one expression: a length-prefixed string of at most
// 250 bytes. Rebuilt from the text whenever needed, never stored.
struct CompiledExpression {
  std::uint8_t length = 0;
  std::uint8_t bytes[kCompiledCapacity] = {};

  // Appends one byte; bytes beyond the capacity are dropped (the evaluator's
  // length check then rejects the expression).
  void push(std::uint8_t b) {
    if (length < kCompiledCapacity) bytes[length++] = b;
  }
  std::string_view view() const {
    return {reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length)};
  }
  void clear() { length = 0; }
  static CompiledExpression FromBytes(std::string_view raw) {
    CompiledExpression c;
    for (char ch : raw)
      c.push(static_cast<std::uint8_t>(ch));
    return c;
  }
};

// The engine's status after a call; callers read it immediately afterwards.
struct ExprFlags {
  bool syntax_error = false;    // the text or its grammar is invalid
  bool math_error = false;      // a value cannot be computed
  bool too_long = false;        // the compiled form is longer than the evaluator accepts
  bool uses_variables = false;  // the expression refers to at least one variable

  void clear() { *this = ExprFlags{}; }
  friend bool operator==(const ExprFlags&, const ExprFlags&) = default;
};

// Value and attribute code of one evaluation. The attribute is 1 without
// variables, 2 with variables, plus 4 for a math error; 1 after a syntax or
// length error.
struct Evaluation {
  double value = 0.0;
  int attribute = 1;
};

}  // namespace qzarn
