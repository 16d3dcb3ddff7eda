#pragma once
// Reads tokens from a compiled form for the evaluator. Reading sets
// `uses_variables` for a variable item and `too_long` for a token that would
// start at or beyond byte 240.

#include <cstdint>
#include <cstring>

#include "expr/compiler.h"
#include "expr/expr_types.h"
#include "expr/function_codes.h"
#include "expr/tokens.h"

namespace qzarn {

class CompiledReader {
 public:
  enum Limit { kEvaluatorLimit, kWholeLength };
  explicit CompiledReader(const CompiledExpression& c, Limit limit = kEvaluatorLimit)
      : bytes_(c.bytes),
        length_(c.length),
        start_limit_(limit == kEvaluatorLimit ? kTokenStartLimit : kCompiledCapacity) {}

  Token Next(ExprFlags& flags) {
    Token t;
    if (pos_ >= length_) return t;  // end
    if (pos_ >= start_limit_) {
      flags.too_long = true;
      t.kind = TokenKind::kBad;
      return t;
    }
    std::uint8_t b = bytes_[pos_++];
    switch (b) {
      case '+':
        t.kind = TokenKind::kPlus;
        return t;
      case '-':
        t.kind = TokenKind::kMinus;
        return t;
      case '*':
        t.kind = TokenKind::kTimes;
        return t;
      case '/':
        t.kind = TokenKind::kDivide;
        return t;
      case '^':
        t.kind = TokenKind::kPower;
        return t;
      case '(':
        t.kind = TokenKind::kOpen;
        return t;
      case ')':
        t.kind = TokenKind::kClose;
        return t;
      case ',':
        t.kind = TokenKind::kComma;
        return t;
      case '\\':
        t.kind = TokenKind::kIntDiv;
        return t;
      case '%':
        t.kind = TokenKind::kMod;
        return t;
      case '=':
        t.kind = TokenKind::kEq;
        return t;
      case '<':
        t.kind = TokenKind::kLt;
        if (pos_ < length_ && bytes_[pos_] == '=') {
          t.kind = TokenKind::kLe;
          ++pos_;
        } else if (pos_ < length_ && bytes_[pos_] == '>') {
          t.kind = TokenKind::kNe;
          ++pos_;
        }
        return t;
      case '>':
        t.kind = TokenKind::kGt;
        if (pos_ < length_ && bytes_[pos_] == '=') {
          t.kind = TokenKind::kGe;
          ++pos_;
        }
        return t;
      case kItemShortInt:
        if (length_ - pos_ < 2) break;
        t.kind = TokenKind::kNumber;
        t.number = bytes_[pos_] * 256 + bytes_[pos_ + 1];
        pos_ += 2;
        return t;
      case kItemDouble: {
        if (length_ - pos_ < 8) break;
        double v;
        std::memcpy(&v, bytes_ + pos_, sizeof v);
        pos_ += 8;
        if (!(v - v == 0)) break;  // a literal that is not a finite number
        t.kind = TokenKind::kNumber;
        t.number = v;
        return t;
      }
      default:
        if (b >= 0xF0) {
          if (length_ - pos_ < 4) break;
          t.kind = TokenKind::kVariable;
          t.column = static_cast<std::uint16_t>(bytes_[pos_] * 256 + bytes_[pos_ + 1]);
          t.row = static_cast<std::uint16_t>(bytes_[pos_ + 2] * 256 + bytes_[pos_ + 3]);
          pos_ += 4;
          flags.uses_variables = true;
          return t;
        }
        if (b >= kFirstCode && b <= kLastCode) {
          t.code = b;
          switch (KindOfCode(b)) {
            case CodeKind::kConstant:
              t.kind = TokenKind::kConstant;
              break;
            case CodeKind::kAnd:
              t.kind = TokenKind::kAnd;
              break;
            case CodeKind::kOr:
              t.kind = TokenKind::kOr;
              break;
            case CodeKind::kFunction:
              t.kind = TokenKind::kFunction;
              break;
            default:
              t.kind = TokenKind::kReserved;
              break;
          }
          return t;
        }
        break;
    }
    t.kind = TokenKind::kBad;
    return t;
  }

 private:
  const std::uint8_t* bytes_;
  int length_;
  int start_limit_;
  int pos_ = 0;
};

}  // namespace qzarn
