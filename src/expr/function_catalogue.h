#pragma once
// The built-in function catalogue: the fixed list of templates offered beside
// every expression field, and the rule that inserts one of them at the caret.
// Qt-free so that the rule is tested without a display.
//
// Texts are UTF-16 and the caret is counted in UTF-16 code units: that is how
// a QLineEdit counts its cursorPosition(), so the user-interface edge passes
// text and caret through unchanged (every catalogue template is ASCII, so a
// template adds exactly as many code units as it has characters).

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace qzarn {

struct FunctionCatalogueEntry {
  std::u16string_view inserted;     // the text put into the field
  std::u16string_view format;       // shown to the user; 式 = expression, 数 = number or variable
  std::u16string_view description;  // shown to the user
};

inline constexpr std::size_t kFunctionCatalogueSize = 36;
// Every catalogue text fits this many characters.
inline constexpr std::size_t kFunctionCatalogueTextLimit = 60;

// The entries in display order (row 1 of the list is index 0).
const std::array<FunctionCatalogueEntry, kFunctionCatalogueSize>& FunctionCatalogue();

struct CatalogueInsertion {
  std::u16string text;
  int caret = 0;  // UTF-16 code units before the caret
};

// Puts `inserted` into `text` after the first `caret` code units and places
// the caret where the user types next: between the parentheses of a
// one-argument template, right after the opening parenthesis of a
// three-argument one, after the template otherwise. Text selected in the
// field is not replaced. A caret outside the text is clamped to it, and a
// caret that would split a surrogate pair is moved past the pair.
CatalogueInsertion InsertCatalogueText(std::u16string_view text, int caret,
                                       std::u16string_view inserted);

// The same with the template of catalogue entry `index` (0-based); an index
// outside the catalogue throws std::out_of_range.
CatalogueInsertion InsertCatalogueEntry(std::u16string_view text, int caret, std::size_t index);

}  // namespace qzarn
