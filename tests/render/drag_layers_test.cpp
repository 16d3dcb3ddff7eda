#include "render/drag_layers.h"

#include <gtest/gtest.h>

#include <string>

namespace qzarn::render {
namespace {

using Kind = PictureStep::Kind;

// A picture order written as text: B background, A axes, O outer frame, a
// digit the figure in that slot.
std::vector<PictureStep> Order(std::string_view text) {
  std::vector<PictureStep> order;
  for (char c : text) {
    if (c == 'B') order.push_back({Kind::kBackground, -1});
    if (c == 'A') order.push_back({Kind::kAxes, -1});
    if (c == 'O') order.push_back({Kind::kOuterFrame, -1});
    if (c >= '0' && c <= '9') order.push_back({Kind::kFigure, c - '0'});
  }
  return order;
}

// The plan written back the same way: below | drawn/kept | drawn/kept ...
std::string Text(const DragLayerPlan& plan) {
  const auto steps = [](const std::vector<PictureStep>& s) {
    std::string out;
    for (const PictureStep& step : s)
      out += step.kind == Kind::kBackground   ? 'B'
             : step.kind == Kind::kAxes       ? 'A'
             : step.kind == Kind::kOuterFrame ? 'O'
                                              : static_cast<char>('0' + step.slot);
    return out;
  };
  std::string out = steps(plan.below);
  for (const DragLayerPlan::Run& run : plan.runs)
    out += " | " + steps(run.drawn) + "/" + steps(run.kept);
  return out;
}

TEST(PlanDragLayers, SplitsThePictureRoundTheChangingFigures) {
  struct Case {
    const char* order;
    std::vector<int> changing;
    int max_layers;
    const char* plan;  // nullptr: no plan
  };
  const Case cases[] = {
      // A point over everything else, its lines at the very end.
      {"B0A12345O", {2, 5}, 4, "B0A1 | 2/34 | 5O/"},
      // The dragged figure last: nothing kept above it but the frame.
      {"B0A12O", {2}, 4, "B0A1 | 2O/"},
      // A polygon in the back layer changes: the axes go on a layer.
      {"B0A12O", {0}, 4, "B | 0/A12 | O/"},
      // Neighbours in the order share one run.
      {"BA1234O", {2, 3}, 4, "BA1 | 23/4 | O/"},
      // Three kept stretches with room for two layers only.
      {"BA123456O", {1, 3, 5}, 2, nullptr},
      {"BA123456O", {1, 3, 5}, 3, "BA | 1/2 | 3/4 | 5/6 | O/"},
      // A changing slot that is not drawn (an empty or excluded one).
      {"BA12O", {7}, 4, nullptr},
  };
  for (const Case& c : cases) {
    const std::vector<PictureStep> order = Order(c.order);
    const std::optional<DragLayerPlan> plan = PlanDragLayers(order, c.changing, c.max_layers);
    if (c.plan == nullptr) {
      EXPECT_FALSE(plan) << c.order << " -> " << Text(*plan);
      continue;
    }
    ASSERT_TRUE(plan) << c.order;
    EXPECT_EQ(Text(*plan), c.plan) << c.order;
  }
}

}  // namespace
}  // namespace qzarn::render
