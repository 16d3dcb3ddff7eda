// The main window's side of the variable palettes: which palette the active
// screen shows, the 表示 menu's palette items and the start-up palette.

#include "shell/main_window.h"

namespace qzarn::shell {

namespace {

constexpr int kNoPalette = 0;
constexpr int kStandardPalette = 1;

}  // namespace

ui::TEditValue& MainWindow::standardPalette() {
  if (standard_palette_ == nullptr) {
    standard_palette_ = new ui::TEditValue(expressions_, this);
    standard_palette_->SetRestricted(start_.web_mode);
    standard_palette_->closed_by_user = [this] {
      if (standard_palette_action_ != nullptr) standard_palette_action_->setChecked(false);
    };
  }
  return *standard_palette_;
}

void MainWindow::SyncPalettes() {
  ui::DocumentWindow* w = activeDocument();
  Screen* screen = w != nullptr && !w->closed() ? w->screen() : nullptr;
  if (screen == nullptr) {
    // The last screen closed: the palette has nothing left to show.
    palette_window_ = nullptr;
    if (standard_palette_ != nullptr) {
      standard_palette_->ShowScreen(nullptr);
      standard_palette_->hide();
    }
    if (standard_palette_action_ != nullptr) standard_palette_action_->setChecked(false);
    return;
  }
  const bool standard = screen->View().PaletteMode == kStandardPalette;
  if (standard_palette_action_ != nullptr) standard_palette_action_->setChecked(standard);
  if (w != palette_window_) {
    palette_window_ = w;
    if (standard) {
      ui::TEditValue& palette = standardPalette();
      palette.ShowScreen(w);
      if (!palette.isVisible()) {
        palette.PlaceAtBottomRight(frameGeometry());
        palette.show();
      }
    } else if (standard_palette_ != nullptr) {
      standard_palette_->hide();
      standard_palette_->ShowScreen(w);
    }
    return;
  }
  if (standard_palette_ != nullptr && standard_palette_->isVisible()) standard_palette_->Refresh();
}

void MainWindow::ShowStartPalette(ui::DocumentWindow& active) {
  Screen* screen = active.screen();
  if (screen == nullptr) return;
  // The user-defined palette is not part of this program yet: a setting of 2
  // shows the palette the screen stores.
  if (settings_.user().ValuePalette == kStandardPalette)
    screen->View().PaletteMode = kStandardPalette;
  palette_window_ = nullptr;
  SyncPalettes();
}

void MainWindow::StandardPaletteClick() {
  ui::DocumentWindow* w = activeDocument();
  Screen* screen = w != nullptr ? w->screen() : nullptr;
  if (screen == nullptr) return;
  ui::TEditValue& palette = standardPalette();
  if (screen->View().PaletteMode == kStandardPalette && palette.isVisible()) {
    if (!start_.web_mode) {
      screen->View().PaletteMode = kNoPalette;
      palette.hide();
    }
  } else {
    screen->View().PaletteMode = kStandardPalette;
    palette.ShowScreen(w);
    palette.PlaceAtBottomRight(frameGeometry());
    palette.show();
    palette.raise();
  }
  palette_window_ = w;
  standard_palette_action_->setChecked(screen->View().PaletteMode == kStandardPalette);
}

}  // namespace qzarn::shell
