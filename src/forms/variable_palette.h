#pragma once
// The variable palettes apart from their windows: which variables a screen
// leaves free, the standard palette's list, steps and limits, and the common
// path by which every palette writes a value into the screen.

#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "expr/variable_table.h"

namespace qzarn {

class FigureExpressions;
class Screen;

inline constexpr int kStandardPaletteHelpContext = 1500;
inline constexpr int kUserPaletteHelpContext = 1510;
// The standard palette never writes a value beyond ±100.
inline constexpr double kStandardPaletteLimit = 100.0;
inline constexpr int kPaletteValueMaxLength = 20;
inline constexpr int kPaletteStepMaxLength = 6;
// The step list's entries, largest first.
inline constexpr const char* kPaletteSteps[] = {"1",    "0.5",  "0.25",  "0.2",  "0.1",
                                                "0.05", "0.01", "0.005", "0.001"};

// A plain or subscripted variable: row 0..9 (0 = plain), letter 0..25 (a = 0).
struct PaletteVariable {
  int row = 0;
  int letter = 0;
  int column() const { return letter + 1; }
  bool operator==(const PaletteVariable&) const = default;
};

// "a".."z" for row 0, "a1".."z9" otherwise.
std::string PaletteVariableName(PaletteVariable v);
// A name the palette lists (a letter, or a letter and a digit 1..9, any case).
std::optional<PaletteVariable> PaletteVariableFromName(std::string_view name);

// One flag per variable cell (row 0..12, column 1..42).
class UsedVariables {
 public:
  bool used(int row, int column) const;
  void set(int row, int column, bool on);
  // The used cells the palette can show (rows 0..9, letters a..z): row by row,
  // a..z within a row.
  std::vector<PaletteVariable> PaletteList() const;

 private:
  std::bitset<kVariableRows * kVariableColumns> flags_;
};

// The variables the screen's expression texts refer to and leave free: every
// text of every figure and intermediate equation counts, then the variables
// that function figures bind (curve parameter, family parameter, x and y of
// the recurrence, x and y of implicit functions) and those the equations
// assign are taken out again.
UsedVariables CollectUsedVariables(const Screen& screen);
// The variables that are not free on the screen: bound by a function figure
// or assigned by an intermediate equation. No palette box may drive them.
UsedVariables NotFreeVariables(const Screen& screen);

// Writes the value into the variable's cell when it differs from it, marks the
// curves that mention the variable for resampling and the screen modified.
// Returns whether anything was written; the caller then recomputes and
// redraws. A variable outside a..z / row 0..9 writes nothing.
bool ApplyVariableValue(Screen& screen, PaletteVariable v, double value,
                        FigureExpressions& expressions);

// The value field's text as a number: not a number reads as 0.
double ParsePaletteValue(std::string_view text);
// A value as the value field shows it (up to ten decimals, "." always).
std::string FormatPaletteValue(double value);
// The step list's text as a step: not a number stores 0.
double ParsePaletteStep(std::string_view text);
std::string FormatPaletteStep(double step);

double ClampStandardValue(double value);
// The spin button: value ± step, limited to ±100.
double StandardSpinUp(double value, double step);
double StandardSpinDown(double value, double step);

// What can be typed: the value field takes digits, "-" and "."; the step list
// digits and "."; control characters pass in both.
bool IsPaletteValueCharacter(char32_t c);
bool IsPaletteStepCharacter(char32_t c);

// The standard palette (変数, TEditValue) for one screen: its list, the chosen
// variable and the step, kept in the screen's palette fields.
class StandardPaletteForm {
 public:
  // Rebuilds the list from the screen (on activation) and selects the
  // screen's PaletteVariable, or the first entry when that is not listed.
  void Load(Screen& screen);
  const std::vector<PaletteVariable>& list() const { return list_; }
  bool enabled() const { return !list_.empty(); }
  // Index into list(), -1 for none.
  int selected() const { return selected_; }
  // Selects list entry `index` and stores it as the screen's PaletteVariable.
  void Select(Screen& screen, int index);
  // The selected variable's value as the field shows it; empty without one.
  std::string ValueText(const Screen& screen) const;

  // The value field changes: each applies through ApplyVariableValue when the
  // new value differs from the cell, and returns whether it did.
  // The spin button and the arrow keys work from the field's text.
  bool SpinUp(Screen& screen, std::string_view field, FigureExpressions& expressions);
  bool SpinDown(Screen& screen, std::string_view field, FigureExpressions& expressions);
  // Enter or leaving the field after the user changed its text.
  bool EnterValue(Screen& screen, std::string_view text, FigureExpressions& expressions);
  // The step list: stores the text's number in PaletteStep.
  static void SetStep(Screen& screen, std::string_view text);

 private:
  std::optional<PaletteVariable> Current() const;
  bool Apply(Screen& screen, double value, FigureExpressions& expressions);

  std::vector<PaletteVariable> list_;
  int selected_ = -1;
};

}  // namespace qzarn
