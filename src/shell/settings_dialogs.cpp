// The main window's settings dialogs: the coordinate system of a screen, the line
// styles and the options. What they change beyond one screen (the axis layout, the
// dash patterns, the options) is drawn by every open screen at once.

#include "engine/equations.h"
#include "forms/coordinate_system_form.h"
#include "forms/line_style_form.h"
#include "forms/options_form.h"
#include "shell/main_window.h"
#include "ui/coordinate_system_dialog.h"
#include "ui/line_style_dialog.h"
#include "ui/options_dialog.h"
#include "ui/property_subdialogs.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMdiSubWindow>

namespace qzarn::shell {

ui::DocumentHooks MainWindow::DocumentHooksForWindow() {
  ui::DocumentHooks hooks;
  // A figure placed with a tool survives only an OK; the pointer tools free it
  // on Cancel, then recompute, redraw and take the undo snapshot themselves.
  hooks.figure_dialog = [this](Screen& edited, int slot) {
    return ui::OpenPropertyDialog(edited, slot, expr_, this, PropertyHooks());
  };
  hooks.coordinate_dialog = [this](Screen& screen, int tab) {
    return EditCoordinateSystemOf(screen, tab);
  };
  hooks.locus_dialog = [this](Screen& screen, int slot) {
    FigureRecord* record = screen.Figures.record(slot);
    return record != nullptr && ui::EditFigureLocus(this, *record);
  };
  hooks.has_copied_figure = [this] { return copied_figure_.held(); };
  hooks.drop_copied_figure = [this] {
    copied_figure_.drop();
    UpdateCommandState();
  };
  hooks.cut_figure = [this] { CutFigure(); };
  hooks.copy_figure = [this] { CopyFigure(); };
  hooks.paste_figure = [this] { PasteFigure(); };
  hooks.edit_equations = [this] { EditEquClick(); };
  hooks.drag_source_changed = [this](ui::DocumentWindow* source) { drag_source_ = source; };
  hooks.drag_source = [this] { return drag_source_.data(); };
  return hooks;
}

void MainWindow::CopyFigure() {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return;
  if (!copied_figure_.CopyFrom(*w->screen())) return;
  // What this program put on the system clipboard (a screen picture) would
  // be pasted instead of the figure's picture: take it back, and leave other
  // programs' data alone.
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard->ownsClipboard()) clipboard->clear();
  UpdateCommandState();
}

void MainWindow::CutFigure() {
  if (ui::DocumentWindow* w = activeDocument()) w->CutSelectedFigure([this] { CopyFigure(); });
  UpdateCommandState();
}

void MainWindow::PasteFigure() {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || !copied_figure_.held()) return;
  w->PasteFigure(*copied_figure_.record());
  UpdateCommandState();
}

bool MainWindow::EditCoordinateSystemOf(Screen& screen, int tab) {
  ui::CoordinateDialogServices services;
  services.ask_yes_no = [this](QWidget* parent, const QString& text) {
    return questions_->AskYesNo(parent, text);
  };
  services.show_error = [this](QWidget* parent, const QString& text) {
    questions_->ShowError(parent, text);
  };
  services.edit_line_styles = [this](QWidget* parent) { EditLineStylesClick(parent); };
  const bool restricted = env_ != nullptr && env_->web_mode;
  if (!ui::EditCoordinateSystem(screen, settings_.user(), restricted, render_, services, tab, this))
    return false;
  // The layout values belong to every screen; the settings file is written now.
  ApplyDialogSettings();
  ReportSettingsProblems(settings_.save());
  return true;
}

void MainWindow::EditLineStylesClick(QWidget* parent) {
  const std::optional<render::LineStyleTable> edited = ui::EditLineStyles(
      line_styles_, parent != nullptr ? parent : this,
      [this](QWidget* p, const QString& text) { return questions_->AskYesNo(p, text); });
  if (!edited) return;
  forms::StoreLineStylesInSettings(*edited, settings_.user());
  ApplyDialogSettings();
}

void MainWindow::AjustOptionClick() {
  OpenOptions(false);
}

bool MainWindow::OpenOptions(bool print_only, QWidget* parent) {
  ui::OptionsDialogServices services;
  services.ask_yes_no = [this](QWidget* p, const QString& text) {
    return questions_->AskYesNo(p, text);
  };
  services.show_error = [this](QWidget* p, const QString& text) { questions_->ShowError(p, text); };
  bool tangent_changed = false;
  const bool confirmed = ui::ShowOptions(settings_.user(), print_only, services,
                                         parent != nullptr ? parent : this, &tangent_changed);
  if (confirmed && tangent_changed) {
    // The threshold is read by every sampling pass, so every screen's explicit
    // functions are sampled again, not only the active one's.
    for (ui::DocumentWindow* w : documents())
      if (w->screen() != nullptr) forms::InvalidateExplicitCurves(*w->screen());
  }
  if (confirmed) ApplyDialogSettings();
  RebuildRecentFiles();
  if (ui::DocumentWindow* w = activeDocument()) w->RefreshScreen();
  return confirmed;
}

void MainWindow::ApplyDialogSettings() {
  if (apply_settings) apply_settings();
  ApplySettings();
  for (ui::DocumentWindow* w : documents())
    w->RefreshScreen();
}

}  // namespace qzarn::shell
