// A document window's printing pass, its picture exports and the recovery
// copy of its screen: the ways its screen leaves the window besides saving.
#include "ui/document_window.h"

#include "engine/recompute.h"
#include "qt/qt_image.h"
#include "render/save_picture.h"

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

bool DocumentWindow::SaveAsPicture(const QString& path, QString& written, QString& error) {
  if (!undoable_) return false;
  EndPicturePainter();
  std::string written_path;
  std::string why;
  if (!render::SaveAsPicture(FromQImage(picture()), path.toStdString(), written_path, why)) {
    error = QString::fromStdString(why);
    return false;
  }
  written = QString::fromStdString(written_path);
  return true;
}

bool DocumentWindow::ExportPicture(const PictureRequest& request, const QString& path,
                                   QString& error) {
  if (!undoable_) return false;
  render::DrawScreenInputs inputs;
  inputs.recompute = [this](Screen& screen) { env_.engine.RecomputeScreen(screen); };
  inputs.picture = BackgroundPicture();
  std::string why;
  if (!ExportScreenPicture(undoable_->screen(), env_.render, inputs, request, path.toStdString(),
                           why)) {
    error = QString::fromStdString(why);
    return false;
  }
  return true;
}

}  // namespace qzarn::ui
