#include "expr/function_codes.h"

namespace qzarn {
namespace {

constexpr std::string_view kNames[kLastCode - kFirstCode + 1] = {
    "PI",     "RANDOM", "AND",   "OR",      "STD",     "COUNT",   "RANK",    "SQRT",  "INT",
    "SQR",    "ROUND",  "SIN",   "COS",     "TAN",     "LOG",     "LN",      "EXP",   "ATAN",
    "PI",     "ABS",    "SIGN",  "RANDOM",  "POW",     "CON",     "PER",     "FAC",   "BIN",
    "ASIN",   "ACOS",   "SINH",  "COSH",    "TANH",    "ASINH",   "ACOSH",   "ATANH", "GAMMA",
    "LEGEND", "CELI1",  "CELI2", "BESSELJ", "BESSELY", "BESSELI", "BESSELK",
};

}  // namespace

std::string_view CodeName(int code) {
  if (code < kFirstCode || code > kLastCode) return {};
  return kNames[code - kFirstCode];
}

CodeKind KindOfCode(int code) {
  switch (code) {
    case kCodePiConstant:
    case kCodeRandom:
    case kCodeRandomAlias:
      return CodeKind::kConstant;
    case kCodeAnd:
      return CodeKind::kAnd;
    case kCodeOr:
      return CodeKind::kOr;
    case kCodeStd:
    case kCodeCount:
    case kCodeRank:
      return CodeKind::kReserved;
    default:
      return code >= kCodeSqrt && code <= kLastCode ? CodeKind::kFunction : CodeKind::kNone;
  }
}

bool TakesOneArgument(int code) {
  return (code >= kCodeSqrt && code <= kCodeSign) || code == kCodeFac ||
         (code >= kCodeAsin && code <= kCodeGamma);
}

bool TakesTwoArguments(int code) {
  return code == kCodeRound || code == kCodeCon || code == kCodePer ||
         (code >= kCodeLegend && code <= kCodeBesselK);
}

bool TakesThreeArguments(int code) {
  return code == kCodePow || code == kCodeBin;
}

}  // namespace qzarn
