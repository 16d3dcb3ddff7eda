// The main window's side of the variable palettes: which palette the active
// screen shows, the 表示 menu's palette items, the tool-bar cycle, the palette
// editor's opener and the start-up palette.

#include "forms/palette_editor.h"
#include "shell/main_window.h"

#include <utility>

#include <QPointer>
#include <QSignalBlocker>

namespace qzarn::shell {

namespace {

constexpr int kNoPalette = 0;
constexpr int kStandardPalette = 1;
constexpr int kUserPalette = 2;

}  // namespace

ui::TEditValue& MainWindow::standardPalette() {
  if (standard_palette_ == nullptr) {
    standard_palette_ = new ui::TEditValue(expressions_, this);
    standard_palette_->SetRestricted(start_.web_mode);
    standard_palette_->closed_by_user = [this] {
      if (standard_palette_action_ != nullptr) standard_palette_action_->setChecked(false);
    };
    standard_palette_->switch_to_user = [this] { UserPaletteClick(); };
    standard_palette_->edit_palette = [this] { EditPaletteClick(); };
  }
  return *standard_palette_;
}

ui::TEditValue2& MainWindow::userPalette() {
  if (user_palette_ == nullptr) {
    user_palette_ = new ui::TEditValue2(expressions_, this);
    user_palette_->SetRestricted(start_.web_mode);
    user_palette_->closed_by_user = [this] {
      if (user_palette_action_ != nullptr) user_palette_action_->setChecked(false);
    };
    user_palette_->switch_to_standard = [this] { StandardPaletteClick(); };
    user_palette_->edit_palette = [this] { EditPaletteClick(); };
    user_palette_->open_animation = [this](std::size_t index) { OpenAnimation(index); };
    user_palette_->close_animation = [this] {
      if (anime_window_ != nullptr) anime_window_->Detach();
    };
  }
  return *user_palette_;
}

void MainWindow::OpenAnimation(std::size_t index) {
  ui::TEditValue2& palette = userPalette();
  if (index >= palette.boxes().size() || index >= palette.layout().boxes.size()) return;
  QPointer<ui::PaletteSpinBox> spin = palette.boxes()[index];
  ui::AnimeTarget target;
  target.box = spin;
  target.window = palette.shownWindow();
  target.entry = palette.layout().boxes[index];
  // The player stops when the box goes, so these only run while it is there.
  target.shown = [spin] { return spin ? spin->value() : 0.0; };
  target.show = [spin](double value) {
    if (spin == nullptr) return;
    const QSignalBlocker quiet(spin);  // the player applies the value itself
    spin->setValue(value);
  };
  animeWindow().OpenFor(std::move(target));
}

void MainWindow::ShowPaletteMode(ui::DocumentWindow* w, int mode) {
  if (mode != kStandardPalette && standard_palette_ != nullptr) standard_palette_->hide();
  if (mode != kUserPalette && user_palette_ != nullptr) user_palette_->hide();
  if (w != nullptr && mode == kStandardPalette) {
    ui::TEditValue& palette = standardPalette();
    palette.ShowScreen(w);
    if (!palette.isVisible()) {
      if (!std::exchange(standard_palette_placed_, true))
        palette.PlaceAtBottomRight(frameGeometry());
      palette.show();
    }
  } else if (w != nullptr && mode == kUserPalette) {
    ui::TEditValue2& palette = userPalette();
    palette.ShowScreen(w);
    if (!palette.isVisible()) {
      if (!std::exchange(user_palette_placed_, true)) palette.PlaceAtBottomRight(frameGeometry());
      palette.show();
    }
  }
  palette_window_ = w;
  if (standard_palette_action_ != nullptr)
    standard_palette_action_->setChecked(w != nullptr && mode == kStandardPalette);
  if (user_palette_action_ != nullptr)
    user_palette_action_->setChecked(w != nullptr && mode == kUserPalette);
}

void MainWindow::SyncPalettes() {
  ui::DocumentWindow* w = activeDocument();
  Screen* screen = w != nullptr && !w->closed() ? w->screen() : nullptr;
  if (screen == nullptr) {
    // The last screen closed: the palettes have nothing left to show.
    ShowPaletteMode(nullptr, kNoPalette);
    if (standard_palette_ != nullptr) standard_palette_->ShowScreen(nullptr);
    if (user_palette_ != nullptr) user_palette_->ShowScreen(nullptr);
    return;
  }
  const int mode = screen->View().PaletteMode;
  if (w != palette_window_) {
    ShowPaletteMode(w, mode);
    return;
  }
  if (standard_palette_ != nullptr && standard_palette_->isVisible()) standard_palette_->Refresh();
  if (user_palette_ != nullptr && user_palette_->isVisible()) user_palette_->Refresh();
}

void MainWindow::ShowStartPalette(ui::DocumentWindow& active) {
  Screen* screen = active.screen();
  if (screen == nullptr) return;
  const int chosen = settings_.user().ValuePalette;
  if (chosen == kStandardPalette || chosen == kUserPalette) screen->View().PaletteMode = chosen;
  palette_window_ = nullptr;
  SyncPalettes();
}

namespace {

// A palette menu item: closes its palette when it is shown (not in the
// restricted start mode), otherwise shows it in place of the other one.
int ToggledMode(int current, int item, bool shown, bool restricted) {
  if (current == item && shown) return restricted ? item : kNoPalette;
  return item;
}

}  // namespace

void MainWindow::StandardPaletteClick() {
  ui::DocumentWindow* w = activeDocument();
  Screen* screen = w != nullptr ? w->screen() : nullptr;
  if (screen == nullptr) return;
  const bool shown = standard_palette_ != nullptr && standard_palette_->isVisible();
  const int mode =
      ToggledMode(screen->View().PaletteMode, kStandardPalette, shown, start_.web_mode);
  screen->View().PaletteMode = mode;
  ShowPaletteMode(w, mode);
  if (mode == kStandardPalette) standardPalette().raise();
}

void MainWindow::UserPaletteClick() {
  ui::DocumentWindow* w = activeDocument();
  Screen* screen = w != nullptr ? w->screen() : nullptr;
  if (screen == nullptr) return;
  const bool shown = user_palette_ != nullptr && user_palette_->isVisible();
  const int mode = ToggledMode(screen->View().PaletteMode, kUserPalette, shown, start_.web_mode);
  screen->View().PaletteMode = mode;
  ShowPaletteMode(w, mode);
  if (mode == kUserPalette) userPalette().raise();
}

void MainWindow::CyclePaletteClick() {
  ui::DocumentWindow* w = activeDocument();
  Screen* screen = w != nullptr ? w->screen() : nullptr;
  if (screen == nullptr) return;
  const bool standard = standard_palette_ != nullptr && standard_palette_->isVisible();
  const bool user = user_palette_ != nullptr && user_palette_->isVisible();
  int mode = kStandardPalette;
  if (standard) mode = kUserPalette;
  if (user) mode = start_.web_mode ? kUserPalette : kNoPalette;
  screen->View().PaletteMode = mode;
  ShowPaletteMode(w, mode);
}

void MainWindow::EditPaletteClick() {
  ui::DocumentWindow* w = activeDocument();
  Screen* screen = w != nullptr && !w->closed() ? w->screen() : nullptr;
  if (screen == nullptr) return;
  // The palette shown closes while the editor is open; the mode stays
  // stored so that Cancel brings it back.
  const int before = screen->View().PaletteMode;
  ShowPaletteMode(w, kNoPalette);
  ui::PaletteEditorQuestions questions = palette_questions;
  if (!questions.error)
    questions.error = [this](QWidget* p, const QString& t) { questions_->ShowError(p, t); };
  if (!questions.yes_no)
    questions.yes_no = [this](QWidget* p, const QString& t) { return questions_->AskYesNo(p, t); };
  ui::TEditValue_E editor(*screen, w->windowTitle(), settings_.user().InitFont, questions, this);
  const int result = run_palette_editor ? run_palette_editor(editor) : editor.exec();
  if (result == QDialog::Accepted) {
    screen->View().PaletteMode = kUserPalette;
    // The palette starts at the values the editor stored.
    ApplyStoredPaletteValues(*screen, expressions_);
    ShowPaletteMode(w, kUserPalette);
    userPalette().Rebuild();
    // The new design can be undone like any other change of the screen.
    w->RefreshScreen();
    w->M_SaveDoClick();
  } else {
    screen->View().PaletteMode = before;
    ShowPaletteMode(w, before);
    w->RefreshScreen();
  }
  UpdateCommandState();
}

}  // namespace qzarn::shell
