// A document window's printing pass and the recovery copy of its screen: the
// two ways its screen leaves the window besides saving and the picture export.
#include "ui/document_window.h"

#include "engine/recompute.h"

namespace qzarn::ui {

double DocumentWindow::PrintScreen(QPainter& painter, render::Size page, int percent,
                                   bool white_out) {
  if (!undoable_) return 1.0;
  // Cleared however the pass ends, so the window never stays in print mode.
  struct PrintingFlag {
    bool& flag;
    explicit PrintingFlag(bool& f) : flag(f) { flag = true; }
    ~PrintingFlag() { flag = false; }
  } printing(printing_);
  render::DrawScreenInputs inputs;
  inputs.recompute = [this](Screen& screen) { env_.engine.RecomputeScreen(screen); };
  inputs.picture = BackgroundPicture();
  return PaintPrintPage(painter, page, undoable_->screen(), env_.render, inputs, percent,
                        white_out);
}

bool DocumentWindow::KeepForRecovery(std::string& error) {
  return !undoable_ || undoable_->KeepForRecovery(error);
}

}  // namespace qzarn::ui
