#include "engine/variable_reach.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "document/field_table.h"
#include "engine/figure_expressions.h"
#include "engine/locus.h"
#include "engine/references.h"
#include "engine/screen_access.h"
#include "expr/engine.h"

namespace qzarn {

namespace {

// The most characters of a figure name or a font name: such texts are never
// evaluated, and a point named "A" must not count as reading the variable a.
constexpr std::uint16_t kLongestUnevaluatedText = 32;
constexpr std::string_view kTextLinesField = "Lines";

// Whether the word appears in one of the record's texts, in any case. A name
// or a text-box line that merely spells it only costs the fast path.
bool MentionsRandom(const FigureRecord& record) {
  constexpr std::string_view kWord = "RANDOM";
  const std::int32_t type = record.type();
  if (!IsFigureType(type)) return false;
  for (const FieldInfo& field : FieldTable(FamilyOf(type))) {
    if (field.kind != FieldKind::kString || !field.applies_to(type)) continue;
    for (int n = 0; n < field.count; ++n) {
      const std::optional<std::string_view> text = ReadString(record.bytes(), field, n);
      if (!text || text->size() < kWord.size()) continue;
      for (std::size_t i = 0; i + kWord.size() <= text->size(); ++i) {
        std::size_t k = 0;
        while (k < kWord.size() &&
               std::toupper(static_cast<unsigned char>((*text)[i + k])) == kWord[k])
          ++k;
        if (k == kWord.size()) return true;
      }
    }
  }
  return false;
}

}  // namespace

bool PartialPassPossible(const Screen& screen) {
  if (screen.Equations.EquationLast >= 0) return false;
  const int last = LastFigureIndex(screen);
  for (int i = 0; i <= last; ++i) {
    const FigureRecord* record = screen.Figures.record(i);
    if (record == nullptr || record->empty()) continue;
    if (!IsComputed(screen, i) || MentionsRandom(*record)) return false;
  }
  return true;
}

bool FigureReadsVariable(const Screen& screen, int index, FigureExpressions& expressions,
                         VariableRef cell) {
  const FigureRecord* record = screen.Figures.record(index);
  if (record == nullptr || record->empty()) return false;
  const std::int32_t type = record->type();
  if (!IsFigureType(type)) return false;
  const std::span<const std::uint8_t> bytes = record->bytes();
  for (const FieldInfo& field : FieldTable(FamilyOf(type))) {
    if (field.kind != FieldKind::kString || !field.applies_to(type)) continue;
    const bool lines = field.name == kTextLinesField;
    if (!lines && field.capacity <= kLongestUnevaluatedText) continue;
    for (int k = 0; k < field.count; ++k) {
      const std::optional<std::string_view> text = ReadString(bytes, field, k);
      if (!text || text->empty()) continue;
      if (lines ? text->find('$') != std::string_view::npos
                : expressions.UsesVariable(*text, cell.row, cell.column))
        return true;
    }
  }
  return false;
}

std::optional<std::vector<int>> FiguresReachedBy(const Screen& screen,
                                                 FigureExpressions& expressions,
                                                 std::span<const VariableRef> cells,
                                                 std::span<const int> figures) {
  if (!PartialPassPossible(screen)) return std::nullopt;
  const int last = LastFigureIndex(screen);
  std::vector<int> seeds(figures.begin(), figures.end());
  for (int i = 0; i <= last; ++i) {
    const FigureRecord* record = screen.Figures.record(i);
    if (record == nullptr || record->empty()) continue;
    const FunctionRecord* f = record->function();
    const bool seed = (f != nullptr && f->CurveValid == 0) || LocusOn(*record) ||
                      std::any_of(cells.begin(), cells.end(), [&](VariableRef cell) {
                        return FigureReadsVariable(screen, i, expressions, cell);
                      });
    if (seed) seeds.push_back(i);
  }
  return FiguresAndDependents(screen, seeds);
}

std::vector<VariableRef> VariablesNamedBy(const FigureRecord& record) {
  std::vector<VariableRef> cells;
  const std::int32_t type = record.type();
  if (!IsFigureType(type)) return cells;
  for (const FieldInfo& field : FieldTable(FamilyOf(type))) {
    if (field.kind != FieldKind::kString || !field.applies_to(type) ||
        field.capacity <= kLongestUnevaluatedText || field.name == kTextLinesField)
      continue;
    for (int k = 0; k < field.count; ++k) {
      std::optional<std::string_view> text = ReadString(record.bytes(), field, k);
      if (!text) continue;
      while (!text->empty() && text->front() == ' ')
        text->remove_prefix(1);
      while (!text->empty() && text->back() == ' ')
        text->remove_suffix(1);
      const std::optional<VariableName> name = ParseVariableName(*text);
      if (!name) continue;
      const VariableRef cell{name->row, name->column};
      if (std::find(cells.begin(), cells.end(), cell) == cells.end()) cells.push_back(cell);
    }
  }
  return cells;
}

}  // namespace qzarn
