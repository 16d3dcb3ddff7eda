#include "render/drag_layers.h"

#include <algorithm>

namespace qzarn::render {

std::optional<DragLayerPlan> PlanDragLayers(std::span<const PictureStep> order,
                                            std::span<const int> changing, int max_layers) {
  using Kind = PictureStep::Kind;
  const auto redrawn = [&](const PictureStep& step) {
    if (step.kind == Kind::kOuterFrame) return true;
    return step.kind == Kind::kFigure &&
           std::binary_search(changing.begin(), changing.end(), step.slot);
  };
  const auto first = std::find_if(order.begin(), order.end(), [&](const PictureStep& s) {
    return s.kind == Kind::kFigure && redrawn(s);
  });
  if (first == order.end()) return std::nullopt;
  DragLayerPlan plan;
  plan.below.assign(order.begin(), first);
  int layers = 0;
  for (auto it = first; it != order.end(); ++it) {
    if (redrawn(*it)) {
      if (plan.runs.empty() || !plan.runs.back().kept.empty()) plan.runs.emplace_back();
      plan.runs.back().drawn.push_back(*it);
    } else {
      if (plan.runs.back().kept.empty() && ++layers > max_layers) return std::nullopt;
      plan.runs.back().kept.push_back(*it);
    }
  }
  return plan;
}

}  // namespace qzarn::render
