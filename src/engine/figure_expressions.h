#pragma once
// Evaluation of the expression texts of figures and intermediate equations
// against a screen's variables. Every text is compiled once and kept by its
// exact bytes; a compiled program reads the variable cells at each evaluation,
// so a changed variable is seen by the very next evaluation.

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "expr/variable_table.h"

namespace qzarn {

class ExprEngine;

class FigureExpressions {
 public:
  explicit FigureExpressions(ExprEngine& expr);
  ~FigureExpressions();
  FigureExpressions(const FigureExpressions&) = delete;
  FigureExpressions& operator=(const FigureExpressions&) = delete;

  // The value of `text` (code page 932 bytes) read as the evaluator reads it:
  // empty = 0, a plain number as written, a failing expression OffPlaneValue,
  // a syntax error 0.
  double Evaluate(const VariableTable& table, std::string_view text);

  // Whether `text` refers to the variable cell (row, column).
  bool UsesVariable(std::string_view text, int row, int column);

  ExprEngine& expr() { return expr_; }

  // Texts cached at the moment; the cache is bounded and starts over when full.
  std::size_t cached_texts() const;

 private:
  struct Compiled;
  Compiled& Lookup(std::string_view text);

  // Lookups by string_view without building a key string.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  template <class Value>
  using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

  // Which variable cells a text refers to, answered cell by cell on demand.
  struct Usage {
    std::bitset<kVariableRows * kVariableColumns> known;
    std::bitset<kVariableRows * kVariableColumns> uses;
  };

  ExprEngine& expr_;
  TextMap<std::unique_ptr<Compiled>> cache_;
  TextMap<Usage> usage_;
};

}  // namespace qzarn
