#pragma once
// The variable table (変数ﾃｰﾌﾞﾙ, TValueTable) apart from its window: the 26 × 10
// grid of the plain and subscripted variables a..z, a1..z9 of a copy of the
// screen's variables, and writing back what the user changed.
//
// Only the cells whose text the user changed are written back. Writing every
// cell from its shown text would round each untouched value to the ten
// decimals of the grid (a value below 1e-10 would become 0), and would put
// back old values over variables that an animation tick or a palette changed
// while the window was open.

#include <array>
#include <string>
#include <string_view>

#include "expr/variable_table.h"

namespace qzarn {

class Screen;

inline constexpr int kValueTableLetters = 26;     // grid rows a..z
inline constexpr int kValueTableSubscripts = 10;  // grid columns: plain, 1..9
inline constexpr int kValueTableHelpContext = 2090;
// The grid shows values with at most this many decimals.
inline constexpr int kValueTableDecimals = 10;

// "変数ﾃｰﾌﾞﾙ [" + the screen's caption + "]" (UTF-8).
std::string ValueTableCaption(std::string_view screen_caption);
// The heading of a value column: none for the plain variable, "1".."9" for the
// subscripts.
std::string ValueTableColumnHeading(int subscript);
// The heading of a grid row: "a".."z".
std::string ValueTableRowHeading(int letter);

// A value as the grid shows it: up to ten decimals, trailing zeros removed,
// magnitudes below 1e-10 as "0", always with "." as the decimal point.
std::string FormatTableValue(double value);
// A cell's text as a value: a text that is not a whole number (empty, "-",
// "1-2", "1.2.3") reads as 0. Independent of the locale.
double ParseTableValue(std::string_view text);
// Whether the character can be typed into a cell: digits, "-" and ".".
bool IsTableValueCharacter(char32_t c);

class ValueTableForm {
 public:
  // Fills the grid from the variables (rows 0..9, columns a..z).
  explicit ValueTableForm(const VariableTable& variables);

  // letter 0..25 (a..z), subscript 0..9 (0 = plain variable); callers keep
  // them in range.
  const std::string& Text(int letter, int subscript) const;
  void SetText(int letter, int subscript, std::string text);
  // Whether the cell's text differs from the one it opened with.
  bool Changed(int letter, int subscript) const;
  int ChangedCount() const;

  // Writes the value of every changed cell into `variables` (its defined flag
  // stays as it is); the other cells keep whatever value they hold now.
  // Returns the number of cells written.
  int WriteChanged(VariableTable& variables) const;

 private:
  using Grid = std::array<std::array<std::string, kValueTableSubscripts>, kValueTableLetters>;
  Grid opened_;
  Grid texts_;
};

// Confirms the table for a screen: writes the changed cells into the screen's
// variables, marks every function curve for resampling and, when a cell was
// written, marks the screen modified. Returns the number of cells written.
int ApplyValueTable(const ValueTableForm& form, Screen& screen);

// For a dialog that edited a copy of the variables: writes into `target` only
// the cells (flag and value) in which `edited` differs from `opened`, the copy
// as the dialog took it. Cells the dialog did not change keep the value they
// hold in `target` now, even when something else wrote them meanwhile.
// Returns the number of cells written.
int WriteChangedVariables(const VariableTable& opened, const VariableTable& edited,
                          VariableTable& target);

}  // namespace qzarn
