#include "forms/equation_form.h"

#include <algorithm>
#include <utility>

#include "document/screen.h"
#include "expr/engine.h"
#include "platform/text_encoding.h"

namespace qzarn {

namespace {

constexpr int kLetters = 26;
constexpr int kNamedRows = 10;  // rows 0..9 of the variables

bool IsLetter(char32_t c) {
  return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}
bool IsDigit(char32_t c) {
  return c >= U'0' && c <= U'9';
}
char32_t Fold(char32_t c) {
  return (c >= U'A' && c <= U'Z') ? c - U'A' + U'a' : c;
}
bool IsControl(char32_t c) {
  return c < 0x20 || c == 0x7F;
}

// The expression editor takes the characters of expressions: operators,
// brackets, comparison, digits and letters; nothing else (no space, no "$").
bool IsExpressionCharacter(char32_t c) {
  constexpr std::u32string_view kSigns = U"%()*+,-./<=>\\^";
  return IsLetter(c) || IsDigit(c) || kSigns.find(c) != std::u32string_view::npos;
}

std::string FoldText(std::string_view text) {
  std::string folded(text);
  for (char& c : folded)
    c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
  return folded;
}

// The lists in use agree (what lies beyond the last entry is never read).
bool SameEquations(const EquationBlock& x, const EquationBlock& y) {
  const int last = std::min<int>(x.EquationLast, kEquationCount - 1);
  if (last != std::min<int>(y.EquationLast, kEquationCount - 1)) return false;
  for (int i = 0; i <= last; ++i) {
    const EquationEntry& a = x.Entries[i];
    const EquationEntry& b = y.Entries[i];
    if (a.LetterIndex != b.LetterIndex || a.Row != b.Row || a.Text.view() != b.Text.view())
      return false;
  }
  return true;
}

const EquationRow& EmptyRow() {
  static const EquationRow empty;
  return empty;
}

}  // namespace

std::string EquationCaption(std::string_view screen_caption) {
  return "中間式 [" + std::string(screen_caption) + "]";
}

std::string EquationRowNumber(int row) {
  std::string digits = std::to_string(row);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), ' ');
  return digits;
}

const std::vector<std::string>& EquationVariableNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (int row = 0; row < kNamedRows; ++row)
      for (int letter = 0; letter < kLetters; ++letter)
        list.push_back(EquationEntryName(letter, row));
    return list;
  }();
  return names;
}

std::string EquationEntryName(int letter, int row) {
  if (letter < -99 || row < -99) return {};
  // Only a damaged document holds other numbers; they are shown, not invented.
  if (letter < 0 || letter >= kLetters || row < 0 || row >= kNamedRows) return "?";
  std::string name(1, static_cast<char>('a' + letter));
  if (row != 0) name += static_cast<char>('0' + row);
  return name;
}

std::optional<EquationTarget> ParseEquationName(std::string_view name) {
  if (name.empty() || name.size() > 2) return std::nullopt;
  const char32_t first = static_cast<unsigned char>(name[0]);
  if (!IsLetter(first)) return std::nullopt;
  EquationTarget target{static_cast<int>(Fold(first) - U'a'), 0};
  if (name.size() == 2) {
    const char32_t digit = static_cast<unsigned char>(name[1]);
    if (!IsDigit(digit)) return std::nullopt;
    target.row = static_cast<int>(digit - U'0');
  }
  return target;
}

EquationKey FilterEquationKey(int column, char32_t c) {
  if (IsControl(c)) return {EquationKeyAction::kPass, c};
  if (column == kEquationNameColumn) {
    if (c == U'=') return {EquationKeyAction::kToExpression, c};
    if (IsLetter(c) || IsDigit(c)) return {EquationKeyAction::kInsert, Fold(c)};
    return {EquationKeyAction::kIgnore, c};
  }
  if (IsExpressionCharacter(c)) return {EquationKeyAction::kInsert, Fold(c)};
  return {EquationKeyAction::kIgnore, c};
}

std::string FilterEquationText(int column, std::string_view utf8) {
  // Every character an editor takes is ASCII, so the bytes of longer UTF-8
  // sequences are all dropped here.
  std::string kept;
  for (const char byte : utf8) {
    const char32_t c = static_cast<unsigned char>(byte);
    if (c >= 0x80) continue;
    const EquationKey key = FilterEquationKey(column, c);
    if (key.action == EquationKeyAction::kInsert) kept += static_cast<char>(key.character);
  }
  return kept;
}

std::optional<std::string> EquationPasteText(int column, std::string_view utf8) {
  if (utf8_to_cp932(utf8).lossy) return std::nullopt;
  std::string kept = FilterEquationText(column, utf8);
  if (column == kEquationTextColumn && kept.size() > kEquationTextMaxLength) return std::nullopt;
  return kept;
}

// ---- The grid ------------------------------------------------------------------

EquationForm::EquationForm() : rows_(kEquationGridRows) {}

void EquationForm::Load(const Screen& screen) {
  const EquationBlock& block = screen.Equations;
  const int last = std::min<int>(block.EquationLast, kEquationCount - 1);
  for (int i = 0; i < kEquationGridRows; ++i) {
    EquationRow& r = rows_[static_cast<std::size_t>(i)];
    if (i <= last) {
      const EquationEntry& e = block.Entries[i];
      r.name = EquationEntryName(e.LetterIndex, e.Row);
      r.text = cp932_to_utf8(e.Text.view());
    } else {
      r = EquationRow{};
    }
  }
  row_ = 1;
  column_ = kEquationNameColumn;
}

const EquationRow& EquationForm::row(int r) const {
  if (r < 1 || r > kEquationGridRows) return EmptyRow();
  return rows_[static_cast<std::size_t>(r - 1)];
}

void EquationForm::SetCell(int r, int column, std::string_view text) {
  if (r < 1 || r > kEquationGridRows) return;
  EquationRow& target = rows_[static_cast<std::size_t>(r - 1)];
  (column == kEquationNameColumn ? target.name : target.text) = FoldText(text);
}

const std::string& EquationForm::Cell(int r, int column) const {
  return column == kEquationNameColumn ? row(r).name : row(r).text;
}

void EquationForm::MoveTo(int r, int column) {
  row_ = std::clamp(r, 1, kEquationGridRows);
  column_ = column <= kEquationNameColumn ? kEquationNameColumn : kEquationTextColumn;
}

bool EquationForm::Move(EquationMove move, int caret, int length) {
  switch (move) {
    case EquationMove::kUp:
      MoveTo(row_ - 1, column_);
      return true;
    case EquationMove::kDown:
      MoveTo(row_ + 1, column_);
      return true;
    case EquationMove::kLeft:
      if (column_ != kEquationTextColumn || caret != 0) return false;
      column_ = kEquationNameColumn;
      return true;
    case EquationMove::kRight:
      if (column_ != kEquationNameColumn || caret < length) return false;
      column_ = kEquationTextColumn;
      return true;
    case EquationMove::kRowUp:
      if (row_ > 1) {
        std::swap(rows_[static_cast<std::size_t>(row_ - 1)],
                  rows_[static_cast<std::size_t>(row_ - 2)]);
        --row_;
      }
      return true;
    case EquationMove::kRowDown:
      if (row_ < kEquationGridRows) {
        std::swap(rows_[static_cast<std::size_t>(row_ - 1)], rows_[static_cast<std::size_t>(row_)]);
        ++row_;
      }
      return true;
  }
  return false;
}

void EquationForm::InsertRow() {
  const auto at = rows_.begin() + (row_ - 1);
  std::move_backward(at, rows_.end() - 1, rows_.end());
  *at = EquationRow{};
}

void EquationForm::DeleteRow() {
  const auto at = rows_.begin() + (row_ - 1);
  std::move(at + 1, rows_.end(), at);
  rows_.back() = EquationRow{};
}

std::optional<EquationFailure> EquationForm::Validate(const Screen& screen,
                                                      ExprEngine& engine) const {
  for (int r = 1; r <= kEquationGridRows; ++r) {
    const EquationRow& e = row(r);
    if (!e.name.empty() && !ParseEquationName(e.name))
      return EquationFailure{r, kEquationNameColumn, kEquationNameErrorMessage};
    if (!e.text.empty()) {
      // A text the document cannot hold as written (only the function
      // catalogue can bring one) is refused rather than stored altered.
      const Cp932Text stored = utf8_to_cp932(e.text);
      if (stored.lossy || stored.bytes.size() > decltype(EquationEntry::Text)::kCapacity ||
          !engine.CheckExpression(screen.Variables(), stored.bytes))
        return EquationFailure{r, kEquationTextColumn, kEquationTextErrorMessage};
    }
    if (e.name.empty() && !e.text.empty())
      return EquationFailure{r, kEquationNameColumn, kEquationNameEmptyMessage};
    if (!e.name.empty() && e.text.empty())
      return EquationFailure{r, kEquationTextColumn, kEquationTextEmptyMessage};
  }
  return std::nullopt;
}

std::optional<EquationFailure> EquationForm::Apply(Screen& screen, ExprEngine& engine) {
  if (std::optional<EquationFailure> failure = Validate(screen, engine)) {
    MoveTo(failure->row, failure->column);
    return failure;
  }
  EquationBlock stored;
  ResetEquations(stored);
  int count = 0;
  for (const EquationRow& e : rows_) {
    if (e.name.empty() || e.text.empty()) continue;
    const EquationTarget target = *ParseEquationName(e.name);
    EquationEntry& entry = stored.Entries[count++];
    entry.LetterIndex = target.letter;
    entry.Row = target.row;
    entry.Text = utf8_to_cp932(e.text).bytes;
  }
  stored.EquationLast = count - 1;
  // A changed list must be offered for saving even when no curve is resampled.
  if (!SameEquations(stored, screen.Equations)) screen.Modified = true;
  screen.Equations = stored;
  Load(screen);
  applied_ = true;
  return std::nullopt;
}

}  // namespace qzarn
