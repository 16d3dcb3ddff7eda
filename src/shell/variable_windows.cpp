// The main window's side of the intermediate-equation window and of the
// animation player: made on first use, one each for the run.

#include "shell/main_window.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace qzarn::shell {

ui::TdlgEquation& MainWindow::equationWindow() {
  if (equation_window_ == nullptr) {
    equation_window_ = new ui::TdlgEquation(expr_, *questions_, this);
    // A newly assigned variable leaves the standard palette's list, and both
    // palettes show the values the equations gave.
    equation_window_->applied = [this](ui::DocumentWindow&) {
      if (standard_palette_ != nullptr && standard_palette_->isVisible())
        standard_palette_->Refresh();
      if (user_palette_ != nullptr && user_palette_->isVisible()) user_palette_->Refresh();
    };
  }
  return *equation_window_;
}

void MainWindow::EditEquClick() {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return;
  equationWindow().OpenFor(w);
}

void MainWindow::SyncEquationWindow() {
  if (equation_window_ == nullptr) return;
  const QList<ui::DocumentWindow*> open = documents();
  if (open.isEmpty()) {
    // The last screen closed: the window has nothing left to show.
    equation_window_->ActiveScreenChanged(nullptr);
    return;
  }
  // The current sub-window stays what it was while a tool window has the
  // focus, so activating the equation window itself is no change of screen.
  QMdiSubWindow* sub = mdi_->currentSubWindow();
  auto* w = sub != nullptr ? qobject_cast<ui::DocumentWindow*>(sub->widget()) : nullptr;
  if (w == nullptr || w->closed()) w = activeDocument();
  if (w == nullptr || w->closed()) w = open.back();
  equation_window_->ActiveScreenChanged(w);
}

ui::Tdlg_Anime& MainWindow::animeWindow() {
  if (anime_window_ == nullptr) {
    anime_window_ = new ui::Tdlg_Anime(expressions_, settings_.user().InitAnimeTime, this);
    anime_window_->pause_stored = [this](double pause) { settings_.user().InitAnimeTime = pause; };
  }
  return *anime_window_;
}

}  // namespace qzarn::shell
