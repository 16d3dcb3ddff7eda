#pragma once
// A document window of the desktop program shown (offscreen) on a screen, as
// the window benchmarks drive it: its own undo session in a temporary folder,
// the engine, antialiased drawing, and no questions asked of the user.

#include <memory>
#include <optional>
#include <string>

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "../tests/engine/engine_fixture.h"
#include "document/figure_defaults.h"
#include "document/undo_session.h"
#include "ui/document_window.h"

#include <QTemporaryDir>

namespace qzarn::bench {

class BenchWindow {
 public:
  BenchWindow(std::unique_ptr<Screen> screen, int width, int height) {
    std::string error;
    session_ = UndoSession::Start((temp_.path() + "/undo").toStdString(), error);
    if (!session_) {
      error_ = error;
      return;
    }
    render_.antialiasing = true;
    env_.emplace(ui::DocumentEnvironment{fx_.engine, fx_.expressions, fx_.ui, *session_, render_,
                                         defaults_, tool_, questions_});
    window_ = std::make_unique<ui::DocumentWindow>(*env_, std::move(screen));
    window_->resize(width + 60, height + 60);
    window_->show();
  }
  // Why the window could not be made, or empty.
  const std::string& error() const { return error_; }
  void Fail(std::string error) { error_ = std::move(error); }
  bool ok() const { return window_ != nullptr; }
  ui::DocumentWindow& window() { return *window_; }
  FigureExpressions& expressions() { return fx_.expressions; }

 private:
  class NoQuestions final : public ui::DocumentQuestions {
   public:
    ui::SaveChoice AskSaveChanges(QWidget*, const QString&) override { return ui::SaveChoice::kNo; }
    std::optional<QString> AskSavePath(QWidget*, const QString&) override { return std::nullopt; }
    void ShowError(QWidget*, const QString&) override {}
    bool AskYesNo(QWidget*, const QString&) override { return true; }
  };

  QTemporaryDir temp_;
  std::optional<UndoSession> session_;
  std::string error_;
  testing::EngineFixture fx_;
  render::RenderOptions render_;
  FigureDefaults defaults_;
  int tool_ = interact::kNoTool;
  NoQuestions questions_;
  std::optional<ui::DocumentEnvironment> env_;
  std::unique_ptr<ui::DocumentWindow> window_;
};

}  // namespace qzarn::bench
