#include "expr/compiler.h"

#include <cmath>
#include <cstring>

#include "expr/decimal.h"
#include "expr/normalise.h"
#include "expr/source_reader.h"

namespace qzarn {
namespace {

void AppendDouble(CompiledExpression& out, double value) {
  std::uint8_t raw[8];
  std::memcpy(raw, &value, sizeof raw);  // the host is little-endian, like the item
  out.push(kItemDouble);
  for (std::uint8_t b : raw)
    out.push(b);
}

}  // namespace

void AppendNumberItem(CompiledExpression& out, double value) {
  // Literals are never negative (a leading minus is an operator).
  if (value == std::floor(value) && value >= 0 && value <= 32767) {
    int v = static_cast<int>(value);
    out.push(kItemShortInt);
    out.push(static_cast<std::uint8_t>(v / 256));
    out.push(static_cast<std::uint8_t>(v % 256));
    return;
  }
  AppendDouble(out, value);
}

CompileResult CompileExpression(std::string_view text) {
  CompileResult result;
  if (IsPlainNumberText(text) && text.find("E0") == std::string_view::npos) {
    result.plain_number = true;
    AppendDouble(result.compiled, *ParseDecimal(text));
    return result;
  }
  // Spaces are dropped and at most 250 characters are compiled.
  char input_buffer[kCompiledCapacity];
  std::size_t n = 0;
  for (char c : text) {
    if (c == ' ') continue;
    if (n == sizeof input_buffer) break;
    input_buffer[n++] = c;
  }
  std::string_view input(input_buffer, n);
  CompiledExpression& out = result.compiled;
  while (!input.empty()) {
    std::string_view before = input;
    Token t = ReadSourceToken(input);
    switch (t.kind) {
      case TokenKind::kEnd:
        return result;
      case TokenKind::kBad:
        result.syntax_error = true;
        result.compiled.clear();
        return result;
      case TokenKind::kVariable:
        out.push(static_cast<std::uint8_t>(kItemVariable | t.dollar_bits));
        out.push(static_cast<std::uint8_t>(t.column / 256));
        out.push(static_cast<std::uint8_t>(t.column % 256));
        out.push(static_cast<std::uint8_t>(t.row / 256));
        out.push(static_cast<std::uint8_t>(t.row % 256));
        result.uses_variables = true;
        break;
      case TokenKind::kFunction:
      case TokenKind::kConstant:
      case TokenKind::kAnd:
      case TokenKind::kOr:
        out.push(t.code);
        break;
      case TokenKind::kNumber:
        AppendNumberItem(out, t.number);
        break;
      default:
        // Operators, parentheses and commas are copied as written.
        for (std::size_t i = 0; i < before.size() - input.size(); ++i)
          out.push(static_cast<std::uint8_t>(before[i]));
        break;
    }
  }
  return result;
}

}  // namespace qzarn
