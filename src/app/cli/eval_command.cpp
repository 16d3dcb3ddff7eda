// qzarn-cli eval [--var NAME=VALUE]... [--int-gap G] TEXT...
//
// Evaluates each TEXT against one fresh variable table (rows 0..9 of a..z
// defined with 0, then the --var assignments in order) and one engine, so all
// texts share one random sequence starting from seed 0. Prints one JSON
// object per TEXT and line.
//
// What the fields show:
//  - "normalised" is NormaliseExpression(TEXT) and "compiled" the hex bytes of
//    CompileExpression of that (no length byte) — for every text, also for
//    those EvaluateText takes as plain numbers, where they show the single
//    number item (or, for a number written with "E0", its token form).
//  - The four flags are cleared before each TEXT and reported as they stand
//    after EvaluateText: a plain number or an empty text leaves them cleared
//    (all false) and has attribute 1, like any constant expression without
//    error. A text that fails to compile is reported with the flags of the
//    evaluation of its empty compiled form (a syntax error).
//  - "valid" is CheckExpression on the same table, run after "value"; its
//    trial evaluation draws from the same random sequence.
// Options are recognised anywhere before a "--" argument; an argument that
// starts with a single "-" ("-x^2") is a TEXT. Exit 0 after printing, even
// for invalid expressions; exit 2 with a usage message for bad arguments.
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/commands.h"
#include "expr/compiler.h"
#include "expr/decimal.h"
#include "expr/engine.h"
#include "expr/normalise.h"
#include "platform/c_number_format.h"

namespace qzarn::cli {
namespace {

int Usage(const char* problem, std::string_view detail = {}) {
  std::fprintf(stderr, "eval: %s%s\n", problem, std::string(detail).c_str());
  std::fprintf(stderr, "usage: qzarn-cli eval [--var NAME=VALUE]... [--int-gap G] TEXT...\n");
  return 2;
}

// Length of the valid UTF-8 sequence starting at s[i], 0 if there is none.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = byte(i);
  std::size_t n;
  unsigned min;
  unsigned cp;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2, min = 0x80, cp = b & 0x1Fu;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3, min = 0x800, cp = b & 0x0Fu;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4, min = 0x10000, cp = b & 0x07u;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

// A JSON string: valid UTF-8 passes through; every byte that is not part of a
// valid sequence is written as \u00XX (the byte's value), so nothing is lost
// and the output stays valid.
std::string JsonString(std::string_view s) {
  std::string out = "\"";
  char buffer[8];
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      std::size_t n = Utf8SequenceLength(s, i);
      if (n > 0) {
        out.append(s.substr(i, n));
        i += n;
        continue;
      }
      std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
      out += buffer;
    } else if (c == '"') {
      out += "\\\"";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
      out += buffer;
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  out += '"';
  return out;
}

std::string JsonNumber(double v) {
  if (!std::isfinite(v)) return "null";  // cannot happen after clamping; keeps the JSON valid
  char buffer[40];
  FormatC(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (char ch : bytes) {
    unsigned char b = static_cast<unsigned char>(ch);
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

const char* Bool(bool b) {
  return b ? "true" : "false";
}

struct Assignment {
  VariableName name;
  double value;
};

}  // namespace

int RunEval(int argc, char** argv) {
  std::vector<Assignment> assignments;
  std::vector<std::string_view> texts;
  double int_gap = kDefaultIntGap;
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (options_done || !arg.starts_with("--")) {
      texts.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    std::string_view option = arg;
    std::string_view value;
    bool has_value = false;
    if (std::size_t eq = arg.find('='); eq != std::string_view::npos) {
      option = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      has_value = true;
    }
    if (option != "--var" && option != "--int-gap") return Usage("unknown option ", arg);
    if (!has_value) {
      if (i + 1 >= argc) return Usage("missing value after ", option);
      value = argv[++i];
    }
    if (option == "--int-gap") {
      std::optional<double> g = ParseDecimal(value);
      if (!g) return Usage("bad --int-gap value: ", value);
      int_gap = *g;
      continue;
    }
    std::size_t eq = value.find('=');
    if (eq == std::string_view::npos) return Usage("--var wants NAME=VALUE, got ", value);
    std::optional<VariableName> name = ParseVariableName(value.substr(0, eq));
    if (!name) return Usage("bad variable name: ", value.substr(0, eq));
    std::optional<double> v = ParseDecimal(value.substr(eq + 1));
    if (!v) return Usage("bad variable value: ", value.substr(eq + 1));
    assignments.push_back({*name, *v});
  }
  if (texts.empty()) return Usage("no TEXT given");

  static VariableTable table;
  table.reset_for_new_screen();
  for (const Assignment& a : assignments)
    table.write(a.name.row, a.name.column, a.value);

  ExprEngine engine;
  engine.int_gap = int_gap;
  for (std::string_view text : texts) {
    engine.flags.clear();
    Evaluation result = engine.EvaluateTextDetailed(table, text);
    ExprFlags flags = engine.flags;
    std::string normalised = NormaliseExpression(text);
    CompileResult compiled = CompileExpression(normalised);
    bool valid = engine.CheckExpression(table, text);
    std::printf(
        "{\"text\": %s, \"normalised\": %s, \"compiled\": \"%s\", \"value\": %s, "
        "\"syntax_error\": %s, \"math_error\": %s, \"too_long\": %s, \"uses_variables\": %s, "
        "\"attribute\": %d, \"valid\": %s}\n",
        JsonString(text).c_str(), JsonString(normalised).c_str(),
        Hex(compiled.compiled.view()).c_str(), JsonNumber(result.value).c_str(),
        Bool(flags.syntax_error), Bool(flags.math_error), Bool(flags.too_long),
        Bool(flags.uses_variables), result.attribute, Bool(valid));
  }
  return 0;
}

}  // namespace qzarn::cli
