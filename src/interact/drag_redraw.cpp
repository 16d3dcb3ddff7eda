#include "interact/drag_redraw.h"

#include "engine/variable_reach.h"

namespace qzarn::interact {

std::optional<std::vector<int>> DragChangingFigures(const Screen& screen, int index,
                                                    FigureExpressions& expressions) {
  const FigureRecord* record = screen.Figures.record(index);
  if (record == nullptr || record->empty()) return std::nullopt;
  const std::vector<VariableRef> cells = VariablesNamedBy(*record);
  const int dragged[] = {index};
  return FiguresReachedBy(screen, expressions, cells, dragged);
}

}  // namespace qzarn::interact
