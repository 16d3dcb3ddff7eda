#pragma once
// One-byte codes of the built-in functions, constants and word operators, as
// they appear in the compiled form.

#include <cstdint>
#include <string_view>

namespace qzarn {

enum FunctionCode : std::uint8_t {
  kCodePiConstant = 144,
  kCodeRandom = 145,
  kCodeAnd = 146,
  kCodeOr = 147,
  kCodeStd = 148,  // 148..150: reserved names no text produces
  kCodeCount = 149,
  kCodeRank = 150,
  kCodeSqrt = 151,
  kCodeInt = 152,
  kCodeSqr = 153,
  kCodeRound = 154,
  kCodeSin = 155,
  kCodeCos = 156,
  kCodeTan = 157,
  kCodeLog = 158,
  kCodeLn = 159,
  kCodeExp = 160,
  kCodeAtan = 161,
  kCodePiFunction = 162,
  kCodeAbs = 163,
  kCodeSign = 164,
  kCodeRandomAlias = 165,  // never produced by compilation
  kCodePow = 166,
  kCodeCon = 167,
  kCodePer = 168,
  kCodeFac = 169,
  kCodeBin = 170,
  kCodeAsin = 171,
  kCodeAcos = 172,
  kCodeSinh = 173,
  kCodeCosh = 174,
  kCodeTanh = 175,
  kCodeAsinh = 176,
  kCodeAcosh = 177,
  kCodeAtanh = 178,
  kCodeGamma = 179,
  kCodeLegend = 180,
  kCodeCeli1 = 181,
  kCodeCeli2 = 182,
  kCodeBesselJ = 183,
  kCodeBesselY = 184,
  kCodeBesselI = 185,
  kCodeBesselK = 186,
};

inline constexpr int kFirstCode = 144;
inline constexpr int kLastCode = 186;

enum class CodeKind : std::uint8_t { kNone, kConstant, kAnd, kOr, kReserved, kFunction };

// The fixed name table (upper case, at most 8 characters); empty outside 144..186.
std::string_view CodeName(int code);
CodeKind KindOfCode(int code);

// Catalogue arity: how many arguments a function code takes in each form.
bool TakesOneArgument(int code);
bool TakesTwoArguments(int code);
bool TakesThreeArguments(int code);

}  // namespace qzarn
