#pragma once
// One expression engine, the engine's expression cache and a figure engine
// whose messages and questions are recorded.

#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"

namespace qzarn::testing {

class RecordingUi final : public EngineUi {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  bool AskYesNo(std::string_view text) override {
    questions.emplace_back(text);
    return answer;
  }
  void ShowStatus(std::string_view text) override { statuses.emplace_back(text); }

  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::vector<std::string> statuses;
  bool answer = true;
};

struct EngineFixture {
  ExprEngine expr;
  FigureExpressions expressions{expr};
  RecordingUi ui;
  FigureEngine engine{expressions, ui};
};

}  // namespace qzarn::testing
