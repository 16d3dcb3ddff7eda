// Normalisation and the compiled byte form, byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "expr/compiler.h"
#include "expr/engine.h"
#include "expr/normalise.h"

namespace qzarn {
namespace {

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

std::string DoubleItem(double v) {
  unsigned char raw[8];
  std::memcpy(raw, &v, 8);
  return "81" + Hex(std::string_view(reinterpret_cast<const char*>(raw), 8));
}

TEST(Normalise, FoldsRemovesSpacesAndMarksPlainVariables) {
  struct {
    const char* in;
    const char* out;
  } const cases[] = {
      {"2*x", "2*X0"},
      {"sin(x)", "SIN(X0)"},
      {"x2", "X2"},
      {"xy", "XY"},
      {"2e", "2E0"},
      {"x*1.5e-2", "X0*1.5E0-2"},
      {"1.5e-2", "1.5e-2"},
      {"x*1e5", "X0*1E5"},
      {" a + b ", "A0+B0"},
      {"$a", "$A0"},
      {"e5", "E5"},
      {"-3", "-3"},
      {"a b", "AB"},
      {"x<=y", "X0<=Y0"},
      {"\xe3\x81\x82x", "\xe3\x81\x82X0"},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NormaliseExpression(c.in), c.out) << c.in;
}

struct BytesCase {
  const char* text;  // before normalisation
  std::string hex;
  bool uses_variables;
};

TEST(Compile, ItemsAreByteExact) {
  const BytesCase cases[] = {
      {"2*x",
       "8000022a"
       "f000180000",
       true},
      {".5*x",
       DoubleItem(0.5) + "2a"
                         "f000180000",
       true},
      {"x+32767",
       "f000180000"
       "2b"
       "807fff",
       true},
      {"x+32768",
       "f000180000"
       "2b" +
           DoubleItem(32768),
       true},
      {"x+1e5",
       "f000180000"
       "2b" +
           DoubleItem(100000),
       true},
      {"1.5e-2", DoubleItem(0.015), false},
      {"2e", "800002", false},
      {"a<=b<>c>=d",
       "f000010000"
       "3c3d"
       "f000020000"
       "3c3e"
       "f000030000"
       "3e3d"
       "f000040000",
       true},
      {"pi(2)+pi",
       "a2"
       "28800002"
       "29"
       "2b"
       "90",
       false},
      {"random", "91", false},
      {"(a<b)and(c<d)or(1)", "28f0000100003cf000020000299228f0000300003cf00004000029932880000129",
       true},
      {"sqrt(x)+sqr(x)",
       "9728f00018000029"
       "2b"
       "9928f00018000029",
       true},
      {"asinh(x)*asin(x)",
       "b028f00018000029"
       "2a"
       "ab28f00018000029",
       true},
      {"besselk(x,2)", "ba28f0001800002c80000229", true},
      {"aa1+ao12",
       "f0001b0001"
       "2b"
       "f00029000c",
       true},
      {"$x", "f200180000", true},
      {"x7\\2%3",
       "f000180007"
       "5c800002"
       "25800003",
       true},
      {"", "", false},
  };
  for (const auto& c : cases) {
    CompileResult r = CompileExpression(NormaliseExpression(c.text));
    EXPECT_FALSE(r.syntax_error) << c.text;
    EXPECT_EQ(Hex(r.compiled.view()), c.hex) << c.text;
    EXPECT_EQ(r.uses_variables, c.uses_variables) << c.text;
  }
}

TEST(Compile, BadTokensGiveAnEmptyFormAndASyntaxError) {
  for (const char* text : {"sinx", "1.2.3", "xy", "a13", "a123x", ".", "2:3", "1E400", "a!", "x&y",
                           "\xe3\x81\x82", "ap1", "2*$", "x#"}) {
    CompileResult r = CompileExpression(NormaliseExpression(text));
    EXPECT_TRUE(r.syntax_error) << text;
    EXPECT_EQ(r.compiled.length, 0) << text;
  }
}

TEST(Compile, ReadsAtMost250Characters) {
  std::string text = "1";
  for (int i = 0; i < 124; ++i)
    text += "+1";  // 249 characters
  EXPECT_FALSE(CompileExpression(text + "+x").syntax_error);
  // Character 251 is not read, so a bad character there goes unnoticed.
  EXPECT_FALSE(CompileExpression(text + "+!").syntax_error);
  EXPECT_TRUE(CompileExpression(text + "!").syntax_error);
  // The output stops at 250 bytes.
  EXPECT_EQ(CompileExpression(text).compiled.length, 250);
}

TEST(Compile, EngineFlagsFollowTheCompiler) {
  ExprEngine engine;
  engine.flags.math_error = true;
  engine.flags.too_long = true;
  engine.Compile("1.5");  // the plain-number path touches nothing
  EXPECT_TRUE(engine.flags.math_error);
  engine.Compile("X0+1");
  EXPECT_FALSE(engine.flags.math_error);
  EXPECT_TRUE(engine.flags.uses_variables);
  EXPECT_TRUE(engine.flags.too_long);  // compilation leaves the length flag alone
  engine.Compile("X0+Q");
  EXPECT_TRUE(engine.flags.syntax_error);
}

}  // namespace
}  // namespace qzarn
