#include "expr/source_reader.h"

#include <cmath>

#include "expr/decimal.h"
#include "expr/function_codes.h"

namespace qzarn {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return c >= 'A' && c <= 'Z';
}

// Names tried as prefixes, in this order, before variables: longer names come
// before the shorter ones they begin with (SQRT before SQR, SINH before SIN).
constexpr std::string_view kFunctionOrder[] = {
    "SQRT",  "INT",    "SQR",   "SINH",  "COSH",  "TANH",    "SIN",     "COS",     "TAN",
    "LOG",   "LN",     "EXP",   "ABS",   "CON",   "FAC",     "PER",     "BIN",     "ASINH",
    "ACOSH", "ATANH",  "ATAN",  "ASIN",  "ACOS",  "BESSELJ", "BESSELY", "BESSELI", "BESSELK",
    "GAMMA", "LEGEND", "CELI1", "CELI2", "ROUND", "SIGN",    "POW",
};

std::uint8_t FirstCodeNamed(std::string_view name, int from, int to) {
  for (int code = from; code <= to; ++code)
    if (CodeName(code) == name) return static_cast<std::uint8_t>(code);
  return 0;
}

Token Bad() {
  Token t;
  t.kind = TokenKind::kBad;
  return t;
}

Token ReadNumber(std::string_view& input) {
  std::size_t i = 0;
  while (i < input.size() && (IsDigit(input[i]) || input[i] == '.'))
    ++i;
  if (i < input.size() && input[i] == 'E') {
    ++i;
    if (i < input.size() && (input[i] == '+' || input[i] == '-')) ++i;
    for (int n = 0; n < 3 && i < input.size() && IsDigit(input[i]); ++n)
      ++i;
  }
  std::string_view text = input.substr(0, i);
  input.remove_prefix(i);
  if (text == ".") return Bad();
  // A number may begin with its point; the conversion wants a digit first.
  char buffer[300];
  std::size_t n = 0;
  if (text.front() == '.') buffer[n++] = '0';
  if (text.size() + n >= sizeof buffer) return Bad();
  text.copy(buffer + n, text.size());
  n += text.size();
  std::optional<double> value = ParseDecimal(std::string_view(buffer, n));
  if (!value || std::fabs(*value) > 1e308) return Bad();
  Token t;
  t.kind = TokenKind::kNumber;
  t.number = *value;
  return t;
}

Token ReadVariable(std::string_view& input) {
  std::size_t i = 0;
  Token t;
  t.kind = TokenKind::kVariable;
  if (i < input.size() && input[i] == '$') {
    t.dollar_bits |= 2;
    ++i;
  }
  if (i >= input.size() || !IsLetter(input[i])) return Bad();
  int column = input[i++] - 'A' + 1;
  if (i < input.size() && IsLetter(input[i])) column = column * 26 + (input[i++] - 'A' + 1);
  if (i < input.size() && input[i] == '$') {
    t.dollar_bits |= 1;
    ++i;
  }
  int row = 0;
  int digits = 0;
  while (digits < 2 && i < input.size() && IsDigit(input[i])) {
    row = row * 10 + (input[i++] - '0');
    ++digits;
  }
  if (column > 41 || digits == 0 || row > 12) return Bad();
  input.remove_prefix(i);
  t.column = static_cast<std::uint16_t>(column);
  t.row = static_cast<std::uint16_t>(row);
  return t;
}

Token ReadName(std::string_view& input) {
  for (std::string_view name : kFunctionOrder) {
    if (input.starts_with(name)) {
      input.remove_prefix(name.size());
      Token t;
      t.kind = TokenKind::kFunction;
      t.code = FirstCodeNamed(name, kCodeSqrt, kLastCode);
      return t;
    }
  }
  if (input.starts_with("PI(")) {
    input.remove_prefix(2);  // the parenthesis stays for the next token
    Token t;
    t.kind = TokenKind::kFunction;
    t.code = FirstCodeNamed("PI", kCodeSqrt, kLastCode);
    return t;
  }
  constexpr std::string_view kWords[] = {"AND", "OR", "PI", "RANDOM"};
  constexpr TokenKind kKinds[] = {TokenKind::kAnd, TokenKind::kOr, TokenKind::kConstant,
                                  TokenKind::kConstant};
  for (int k = 0; k < 4; ++k) {
    if (input.starts_with(kWords[k])) {
      input.remove_prefix(kWords[k].size());
      Token t;
      t.kind = kKinds[k];
      t.code = FirstCodeNamed(kWords[k], kCodePiConstant, kCodeOr);
      return t;
    }
  }
  return ReadVariable(input);
}

Token ReadOperator(std::string_view& input) {
  char c = input.front();
  input.remove_prefix(1);
  Token t;
  switch (c) {
    case '+':
      t.kind = TokenKind::kPlus;
      break;
    case '-':
      t.kind = TokenKind::kMinus;
      break;
    case '*':
      t.kind = TokenKind::kTimes;
      break;
    case '/':
      t.kind = TokenKind::kDivide;
      break;
    case '^':
      t.kind = TokenKind::kPower;
      break;
    case '(':
      t.kind = TokenKind::kOpen;
      break;
    case ')':
      t.kind = TokenKind::kClose;
      break;
    case '\\':
      t.kind = TokenKind::kIntDiv;
      break;
    case '%':
      t.kind = TokenKind::kMod;
      break;
    case '=':
      t.kind = TokenKind::kEq;
      break;
    case '<':
      t.kind = TokenKind::kLt;
      if (!input.empty() && input.front() == '=') {
        t.kind = TokenKind::kLe;
        input.remove_prefix(1);
      } else if (!input.empty() && input.front() == '>') {
        t.kind = TokenKind::kNe;
        input.remove_prefix(1);
      }
      break;
    case '>':
      t.kind = TokenKind::kGt;
      if (!input.empty() && input.front() == '=') {
        t.kind = TokenKind::kGe;
        input.remove_prefix(1);
      }
      break;
    default:
      t.kind = TokenKind::kBad;
  }
  return t;
}

}  // namespace

Token ReadSourceToken(std::string_view& input) {
  while (!input.empty() && input.front() == ' ')
    input.remove_prefix(1);
  if (input.empty()) return Token{};
  char c = input.front();
  if (c == ',') {
    input.remove_prefix(1);
    Token t;
    t.kind = TokenKind::kComma;
    return t;
  }
  if (IsDigit(c) || c == '.') return ReadNumber(input);
  if (IsLetter(c) || c == '$') return ReadName(input);
  return ReadOperator(input);
}

}  // namespace qzarn
