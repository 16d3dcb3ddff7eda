#pragma once
// What the figure engine needs from the user interface: one error notice and
// one yes/no question. The desktop program answers with message boxes; tests
// and the command-line tools answer with recorders or fixed replies. The
// engine itself never opens a window.

#include <string_view>

namespace qzarn {

class EngineUi {
 public:
  virtual ~EngineUi() = default;
  // A failure the user must see: error icon, OK button only. Lines are
  // separated by '\n'; texts are UTF-8.
  virtual void ShowMessage(std::string_view text) = 0;
  // A question with Yes and No and a warning icon; true for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
  // A remark for the status bar (no answer, no icon); ignored where there is none.
  virtual void ShowStatus(std::string_view) {}
};

// Answers for headless runs: errors go nowhere, every question is answered
// with a fixed reply.
class SilentEngineUi final : public EngineUi {
 public:
  explicit SilentEngineUi(bool answer = true) : answer_(answer) {}
  void ShowMessage(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return answer_; }

 private:
  bool answer_;
};

// The message raised when a recompute pass runs into a reference cycle.
inline constexpr std::string_view kCycleMessage =
    "他の図形への参照が循環しています．\nメニュー[設定]→[図形リスト]で問題点を解決してください．";

// The question asked before a figure is deleted together with the figures
// that refer to it.
inline constexpr std::string_view kDeleteDependentsQuestion =
    "参照している図形も削除されます．\n削除しますか？";

}  // namespace qzarn
