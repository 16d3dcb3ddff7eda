#include "interact/drag_redraw.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "engine/references.h"
#include "engine/screen_access.h"

namespace qzarn::interact {

namespace {

// Whether the word appears anywhere in the record's bytes, in any case. A
// name or a text-box line that merely spells it only costs the fast path.
bool MentionsRandom(std::span<const std::uint8_t> bytes) {
  constexpr std::string_view kWord = "RANDOM";
  if (bytes.size() < kWord.size()) return false;
  for (std::size_t i = 0; i + kWord.size() <= bytes.size(); ++i) {
    std::size_t k = 0;
    while (k < kWord.size() && std::toupper(bytes[i + k]) == kWord[k])
      ++k;
    if (k == kWord.size()) return true;
  }
  return false;
}

}  // namespace

std::optional<std::vector<int>> DragChangingFigures(const Screen& screen, int index) {
  if (screen.Equations.EquationLast >= 0) return std::nullopt;
  const int last = LastFigureIndex(screen);
  for (int i = 0; i <= last; ++i) {
    const FigureRecord* record = screen.Figures.record(i);
    if (record == nullptr || record->empty()) continue;
    if (!IsComputed(screen, i) || MentionsRandom(record->bytes())) return std::nullopt;
    const FunctionRecord* f = record->function();
    if (f != nullptr && f->CurveValid == 0) return std::nullopt;
  }
  std::vector<int> changing = FigureAndDependents(screen, index);
  if (changing.empty()) return std::nullopt;
  return changing;
}

}  // namespace qzarn::interact
