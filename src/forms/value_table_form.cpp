#include "forms/value_table_form.h"

#include <charconv>
#include <cstring>
#include <system_error>

#include "document/screen.h"
#include "engine/equations.h"
#include "engine/number_format.h"
#include "platform/float_chars.h"

namespace qzarn {

namespace {

// Grid row `letter`, column `subscript` shows the cell (row = subscript,
// column = letter + 1).
const VariableCell& CellOf(const VariableTable& variables, int letter, int subscript) {
  return variables.cell(subscript, letter + 1);
}

}  // namespace

std::string ValueTableCaption(std::string_view screen_caption) {
  return "変数ﾃｰﾌﾞﾙ [" + std::string(screen_caption) + "]";
}

std::string ValueTableColumnHeading(int subscript) {
  return subscript <= 0 ? std::string() : std::to_string(subscript);
}

std::string ValueTableRowHeading(int letter) {
  return std::string(1, static_cast<char>('a' + letter));
}

std::string FormatTableValue(double value) {
  return FormatNumber(value, kValueTableDecimals);
}

double ParseTableValue(std::string_view text) {
  for (char c : text)
    if (!IsTableValueCharacter(static_cast<unsigned char>(c))) return 0.0;
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = FromChars(text.data(), end, value);
  if (error != std::errc() || stop != end) return 0.0;
  return value;
}

bool IsTableValueCharacter(char32_t c) {
  return (c >= U'0' && c <= U'9') || c == U'-' || c == U'.';
}

ValueTableForm::ValueTableForm(const VariableTable& variables) {
  for (int letter = 0; letter < kValueTableLetters; ++letter)
    for (int sub = 0; sub < kValueTableSubscripts; ++sub)
      opened_[letter][sub] = FormatTableValue(CellOf(variables, letter, sub).read());
  texts_ = opened_;
}

const std::string& ValueTableForm::Text(int letter, int subscript) const {
  return texts_[letter][subscript];
}

void ValueTableForm::SetText(int letter, int subscript, std::string text) {
  texts_[letter][subscript] = std::move(text);
}

bool ValueTableForm::Changed(int letter, int subscript) const {
  return texts_[letter][subscript] != opened_[letter][subscript];
}

int ValueTableForm::ChangedCount() const {
  int count = 0;
  for (int letter = 0; letter < kValueTableLetters; ++letter)
    for (int sub = 0; sub < kValueTableSubscripts; ++sub)
      if (Changed(letter, sub)) ++count;
  return count;
}

int ValueTableForm::WriteChanged(VariableTable& variables) const {
  int written = 0;
  for (int letter = 0; letter < kValueTableLetters; ++letter)
    for (int sub = 0; sub < kValueTableSubscripts; ++sub)
      if (Changed(letter, sub)) {
        variables.write(sub, letter + 1, ParseTableValue(texts_[letter][sub]));
        ++written;
      }
  return written;
}

int ApplyValueTable(const ValueTableForm& form, Screen& screen) {
  const int written = form.WriteChanged(screen.Variables());
  InvalidateAllCurves(screen);
  if (written > 0) screen.Modified = true;
  return written;
}

int WriteChangedVariables(const VariableTable& opened, const VariableTable& edited,
                          VariableTable& target) {
  int written = 0;
  for (int row = 0; row < kVariableRows; ++row)
    for (int column = 1; column <= kVariableColumns; ++column) {
      const VariableCell& before = opened.cell(row, column);
      const VariableCell& after = edited.cell(row, column);
      if (std::memcmp(&before, &after, sizeof before) == 0) continue;
      target.cell(row, column) = after;
      ++written;
    }
  return written;
}

}  // namespace qzarn
