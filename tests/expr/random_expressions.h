#pragma once
// Random expression texts for differential and robustness tests: sentences of
// the language (nested operators, all functions, arguments, comparisons) and
// mangled versions of them.

#include <random>
#include <string>

namespace qzarn::testing {

class ExpressionGenerator {
 public:
  explicit ExpressionGenerator(unsigned seed) : rng_(seed) {}

  std::string Sentence(int depth = 4) { return Expr(depth); }

  // A sentence with a few characters deleted, inserted or replaced.
  std::string Mangled() {
    std::string s = Sentence();
    static const std::string kPool = " +-*/^\\%=<>(),.$0123456789eEabnxyzASINCOPR\x80\xff:!";
    int edits = Pick(1, 4);
    for (int i = 0; i < edits; ++i) {
      std::size_t at =
          s.empty() ? 0 : static_cast<std::size_t>(Pick(0, static_cast<int>(s.size())));
      char c = kPool[static_cast<std::size_t>(Pick(0, static_cast<int>(kPool.size()) - 1))];
      switch (Pick(0, 2)) {
        case 0:
          if (at < s.size()) s.erase(at, 1);
          break;
        case 1:
          s.insert(at, 1, c);
          break;
        default:
          if (at < s.size()) s[at] = c;
          break;
      }
    }
    return s;
  }

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

 private:
  std::string Number() {
    switch (Pick(0, 6)) {
      case 0:
        return std::to_string(Pick(0, 10));
      case 1:
        return std::to_string(Pick(0, 40000));
      case 2:
        return std::to_string(Pick(0, 99)) + "." + std::to_string(Pick(0, 999));
      case 3:
        return "." + std::to_string(Pick(0, 99));
      case 4:
        return std::to_string(Pick(1, 9)) + "e" + std::to_string(Pick(-5, 320));
      case 5:
        return "0.0001";
      default:
        return std::to_string(Pick(1, 3)) + ".5";
    }
  }

  std::string Variable() {
    static const char* kNames[] = {"a", "b", "n", "x", "y", "x1", "a2", "aa1", "z12", "$x", "k"};
    return kNames[Pick(0, 10)];
  }

  std::string Argument(bool allow_minus) {
    switch (Pick(0, 4)) {
      case 0:
        return Variable();
      case 1:
        return allow_minus ? "-" + Number() : Number();
      default:
        return std::to_string(Pick(0, 12));
    }
  }

  std::string Expr(int depth) {
    if (depth <= 0) return Pick(0, 1) ? Number() : Variable();
    static const char* kOne[] = {"sqrt", "int",  "sqr",   "round", "sin",   "cos",
                                 "tan",  "log",  "ln",    "exp",   "atan",  "pi",
                                 "abs",  "sign", "fac",   "asin",  "acos",  "sinh",
                                 "cosh", "tanh", "asinh", "acosh", "atanh", "gamma"};
    static const char* kTwo[] = {"round", "con",     "per",     "legend",  "celi1",
                                 "celi2", "besselj", "bessely", "besseli", "besselk"};
    static const char* kOps[] = {"+", "-",  "*", "/",  "^",  "\\",    "%",   "=",
                                 "<", "<=", ">", ">=", "<>", " and ", " or "};
    switch (Pick(0, 11)) {
      case 0:
        return Number();
      case 1:
        return Variable();
      case 2:
        return Pick(0, 3) ? "pi" : "random";
      case 3:
        return "(" + Expr(depth - 1) + ")";
      case 4:
        return std::string(kOne[Pick(0, 23)]) + "(" + Expr(depth - 1) + ")";
      case 5:
        return std::string(kTwo[Pick(0, 9)]) + "(" + Expr(depth - 1) + "," + Argument(true) + ")";
      case 6:
        return std::string(Pick(0, 1) ? "pow" : "bin") + "(" + Expr(depth - 1) + "," +
               Argument(true) + "," + Argument(false) + ")";
      case 7:
        return "-" + Expr(depth - 1);
      default:
        return Expr(depth - 1) + kOps[Pick(0, 14)] + Expr(depth - 1);
    }
  }

  std::mt19937 rng_;
};

}  // namespace qzarn::testing
