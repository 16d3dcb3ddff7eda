#pragma once
// The intermediate-equation window (中間式, TdlgEquation) apart from its
// widgets: the grid of 100 equation rows, what the two editors accept, the
// moves of the current cell and of rows, and the apply that validates the grid
// and stores it as the screen's equations.
//
// Grid texts are UTF-8 as the editors show them; they become code page 932
// only when stored. Whatever reaches an editor (typed, pasted, inserted by the
// input method) passes the same character rule, and an apply refuses a text
// that the document could not store as written.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qzarn {

class ExprEngine;
class Screen;

inline constexpr int kEquationGridRows = 100;  // grid rows 1..100, one per equation
inline constexpr int kEquationNumberColumn = 0;
inline constexpr int kEquationNameColumn = 1;
inline constexpr int kEquationSignColumn = 2;  // "=", never selected
inline constexpr int kEquationTextColumn = 3;
inline constexpr int kEquationNameMaxLength = 2;
inline constexpr int kEquationTextMaxLength = 200;
inline constexpr int kEquationHelpContext = 2100;
inline constexpr int kEquationHelpButtonContext = 2130;

inline constexpr const char* kEquationNameErrorMessage = "変数名に誤りがあります．";
inline constexpr const char* kEquationTextErrorMessage = "数式に誤りがあります．";
inline constexpr const char* kEquationNameEmptyMessage = "変数名が空です．";
inline constexpr const char* kEquationTextEmptyMessage = "数式が空です．";

// "中間式 [" + the screen's caption + "]".
std::string EquationCaption(std::string_view screen_caption);
// The number column: the row number right-aligned in three characters.
std::string EquationRowNumber(int row);
// The 260 names of the name list: a..z, a1..z1, ..., a9..z9.
const std::vector<std::string>& EquationVariableNames();
// A stored entry's name: none when the letter or row is below -99 (an unused
// entry of a new screen), the letter alone for row 0, else letter and digit.
std::string EquationEntryName(int letter, int row);

struct EquationTarget {
  int letter = 0;  // a = 0
  int row = 0;     // 0..9
  bool operator==(const EquationTarget&) const = default;
};
// The window's name rule: one letter, or one letter and one digit 0..9, any
// case ("a0" names a). Nothing for an empty or faulty name.
std::optional<EquationTarget> ParseEquationName(std::string_view name);

// What a typed character does in an editor of the column.
enum class EquationKeyAction {
  kInsert,        // insert `character` (letters folded to lower case)
  kIgnore,        // swallowed
  kPass,          // a control character: the editor handles it
  kToExpression,  // "=" in the name column: go to the same row's expression
};
struct EquationKey {
  EquationKeyAction action = EquationKeyAction::kIgnore;
  char32_t character = 0;
};
EquationKey FilterEquationKey(int column, char32_t c);
// The characters of `utf8` that typing would insert into the column, folded;
// line breaks, tabs and "=" included among those dropped.
std::string FilterEquationText(int column, std::string_view utf8);
// What Ctrl+V puts into the editor: the clipboard text filtered as typing is.
// Nothing (the paste is refused, the editor keeps its text) when the text holds
// characters the document cannot store, or when the filtered expression is
// longer than the field takes.
std::optional<std::string> EquationPasteText(int column, std::string_view utf8);

// The keys that move the editor or rows.
enum class EquationMove { kUp, kDown, kLeft, kRight, kRowUp, kRowDown };

struct EquationRow {
  std::string name;  // UTF-8, as shown
  std::string text;
  bool empty() const { return name.empty() && text.empty(); }
  bool operator==(const EquationRow&) const = default;
};

struct EquationFailure {
  int row = 1;
  int column = kEquationNameColumn;
  const char* message = "";
};

class EquationForm {
 public:
  EquationForm();

  // Fills the rows from the screen's equations; row 1's name becomes current.
  void Load(const Screen& screen);

  // Rows 1..100; a row outside reads as empty and is not written.
  const EquationRow& row(int r) const;
  // Writes an editor's text into a cell, letters folded to lower case.
  void SetCell(int r, int column, std::string_view text);
  const std::string& Cell(int r, int column) const;

  int current_row() const { return row_; }
  int current_column() const { return column_; }
  // Makes a cell current: rows are kept to 1..100; the number column selects
  // the name and the "=" column the expression.
  void MoveTo(int r, int column);

  // A move key in the current editor (the caret and length count characters
  // of its text). Returns whether the key was taken; arrows left and right
  // move only from the caret's end of the text, the others always count as
  // taken (nothing moves at the first or last row).
  bool Move(EquationMove move, int caret = 0, int length = 0);

  // 列挿入: rows current..99 move down (row 100's content is lost), the
  // current row becomes empty. 列削除: the rows below move up, row 100 empties.
  void InsertRow();
  void DeleteRow();

  // The rows checked from the top as an apply checks them; the first failure.
  std::optional<EquationFailure> Validate(const Screen& screen, ExprEngine& engine) const;
  // Validates and, when every row passed, stores the named rows as the
  // screen's equations in grid order and reloads the grid from them. A failure
  // changes nothing in the screen and makes the faulty cell current. The
  // screen is marked modified when its equations changed. The caller
  // recomputes and redraws.
  std::optional<EquationFailure> Apply(Screen& screen, ExprEngine& engine);

  bool applied() const { return applied_; }
  void ClearApplied() { applied_ = false; }

 private:
  std::vector<EquationRow> rows_;  // index 0 = grid row 1
  int row_ = 1;
  int column_ = kEquationNameColumn;
  bool applied_ = false;
};

}  // namespace qzarn
