// The `qzarn-cli eval` contract, run against the built program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct CliRun {
  int exit_code;
  std::vector<std::string> lines;
};

std::string Quote(const std::string& arg) {
  std::string out = "'";
  for (char c : arg) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

CliRun Eval(const std::vector<std::string>& args) {
  std::string command = std::string(QZARN_CLI) + " eval";
  for (const std::string& a : args)
    command += " " + Quote(a);
  command += " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  CliRun run{-1, {}};
  if (!pipe) return run;
  std::string current;
  int c;
  while ((c = std::fgetc(pipe)) != EOF) {
    if (c == '\n') {
      run.lines.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(c);
    }
  }
  int status = pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(EvalCommand, PrintsOneJsonObjectPerText) {
  CliRun r = Eval({"--var", "x=3", "2*x", "1/0", "sin("});
  ASSERT_EQ(r.exit_code, 0);
  ASSERT_EQ(r.lines.size(), 3u);
  EXPECT_EQ(r.lines[0],
            R"({"text": "2*x", "normalised": "2*X0", "compiled": "8000022af000180000", )"
            R"("value": 6, "syntax_error": false, "math_error": false, "too_long": false, )"
            R"("uses_variables": true, "attribute": 2, "valid": true})");
  EXPECT_EQ(r.lines[1],
            R"({"text": "1/0", "normalised": "1/0", "compiled": "8000012f800000", )"
            R"("value": 20000, "syntax_error": false, "math_error": true, "too_long": false, )"
            R"("uses_variables": false, "attribute": 5, "valid": true})");
  EXPECT_EQ(r.lines[2],
            R"({"text": "sin(", "normalised": "SIN(", "compiled": "9b28", )"
            R"("value": 0, "syntax_error": true, "math_error": false, "too_long": false, )"
            R"("uses_variables": false, "attribute": 1, "valid": false})");
}

TEST(EvalCommand, VariablesIntGapAndSubscripts) {
  CliRun r =
      Eval({"--var", "a=1.5", "--var=B3=-2", "--int-gap", "0.001", "a*b3", "int(2.995)", "a"});
  ASSERT_EQ(r.exit_code, 0);
  ASSERT_EQ(r.lines.size(), 3u);
  EXPECT_NE(r.lines[0].find(R"("value": -3,)"), std::string::npos) << r.lines[0];
  EXPECT_NE(r.lines[1].find(R"("value": 2,)"), std::string::npos) << r.lines[1];
  EXPECT_NE(r.lines[2].find(R"("value": 1.5,)"), std::string::npos) << r.lines[2];
}

TEST(EvalCommand, PlainNumbersAreTakenAsWrittenWithClearedFlags) {
  CliRun r = Eval({"1/0", "25000", "-2^2", ""});
  ASSERT_EQ(r.exit_code, 0);
  ASSERT_EQ(r.lines.size(), 4u);
  EXPECT_EQ(r.lines[1],
            R"({"text": "25000", "normalised": "25000", "compiled": "8100000000006ad840", )"
            R"("value": 25000, "syntax_error": false, "math_error": false, "too_long": false, )"
            R"("uses_variables": false, "attribute": 1, "valid": true})");
  EXPECT_NE(r.lines[2].find(R"("value": 4,)"), std::string::npos) << r.lines[2];
  EXPECT_EQ(r.lines[3], R"({"text": "", "normalised": "", "compiled": "", "value": 0, )"
                        R"("syntax_error": false, "math_error": false, "too_long": false, )"
                        R"("uses_variables": false, "attribute": 1, "valid": true})");
}

TEST(EvalCommand, OneRandomSequenceAcrossValueAndValidity) {
  CliRun r = Eval({"random", "random"});
  ASSERT_EQ(r.exit_code, 0);
  ASSERT_EQ(r.lines.size(), 2u);
  // Draws 1 (value) and 2 (validity check) for the first text, 3 for the second.
  EXPECT_NE(r.lines[0].find(R"("value": 2.3283064365386963e-10,)"), std::string::npos);
  std::uint32_t seed = 1;
  seed = seed * 134775813u + 1u;
  seed = seed * 134775813u + 1u;
  char expected[64];
  std::snprintf(expected, sizeof expected, "\"value\": %.17g,", seed / 4294967296.0);
  EXPECT_NE(r.lines[1].find(expected), std::string::npos) << r.lines[1];
}

TEST(EvalCommand, EscapesTextsForJson) {
  CliRun r = Eval({"a\"b\\c\td", "\xe3\x81\x82", "\x82\xa0x"});
  ASSERT_EQ(r.exit_code, 0);
  ASSERT_EQ(r.lines.size(), 3u);
  EXPECT_EQ(r.lines[0].rfind(R"({"text": "a\"b\\c\td", "normalised": "A0\"B0\\C0\tD0")", 0), 0u)
      << r.lines[0];
  EXPECT_EQ(r.lines[1].rfind("{\"text\": \"\xe3\x81\x82\"", 0), 0u) << r.lines[1];
  EXPECT_EQ(r.lines[2].rfind(R"({"text": "\u0082\u00a0x", "normalised": "\u0082\u00a0X0")", 0), 0u)
      << r.lines[2];
}

TEST(EvalCommand, BadArgumentsExitWithTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--var", "a=1"},
      {"--bogus", "1"},
      {"--var", "a0=1", "a"},
      {"--var", "aa=1", "a"},
      {"--var", "a=x", "a"},
      {"--var", "a=1e999", "a"},
      {"--var", "a", "a"},
      {"--int-gap", "wide", "a"},
      {"1", "--var"},
  };
  for (const auto& args : bad) {
    CliRun r = Eval(args);
    EXPECT_EQ(r.exit_code, 2) << (args.empty() ? "(none)" : args[0]);
    EXPECT_TRUE(r.lines.empty());
  }
}

TEST(EvalCommand, DoubleDashEndsOptions) {
  CliRun r = Eval({"--", "--x"});
  ASSERT_EQ(r.exit_code, 0);
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_NE(r.lines[0].find(R"("syntax_error": true)"), std::string::npos);
}

}  // namespace
