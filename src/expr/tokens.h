#pragma once
// Token kinds shared by the compiler (reading normalised text) and the
// evaluator (reading the compiled form).

#include <cstdint>

namespace qzarn {

enum class TokenKind : std::uint8_t {
  kPlus,
  kMinus,
  kTimes,
  kDivide,
  kPower,
  kOpen,
  kClose,
  kComma,
  kIntDiv,
  kMod,
  kEq,
  kLt,
  kLe,
  kGt,
  kGe,
  kNe,
  kAnd,
  kOr,
  kNumber,
  kVariable,
  kFunction,
  kConstant,
  kReserved,  // codes 148..150: no state accepts them
  kEnd,
  kBad,
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::uint8_t code = 0;         // function, constant or word-operator code
  std::uint8_t dollar_bits = 0;  // variable: bit 1 `$` before letters, bit 0 before digits
  std::uint16_t column = 0;      // variable
  std::uint16_t row = 0;         // variable
  double number = 0.0;           // number
};

}  // namespace qzarn
