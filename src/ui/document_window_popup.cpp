// The screen's pop-up menu: its commands, and which of them show for the
// selected figure when it opens.
#include "ui/document_window.h"

#include <QMenu>

#include "engine/function_sampling.h"
#include "engine/locus.h"
#include "forms/locus_settings.h"

namespace qzarn::ui {

namespace {

// An inequality region (an implicit function with a relation other than "= 0").
bool IsImplicitRegion(const FigureRecord& record) {
  const FunctionRecord* f = record.function();
  return f != nullptr && f->FuncKind == kImplicitCurve && f->Mode != 0;
}

}  // namespace

void DocumentWindow::BuildPopup() {
  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupProperty"));
  const auto add = [this](const char* caption, auto slot) {
    QAction* action = popup_->addAction(QString::fromUtf8(caption));
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  clear_all_loci_ = add("全図形の軌跡の消去(&S)", [this] {
    ClearAllLoci(undoable_->screen());
    undoable_->screen().Modified = true;
    RefreshScreen();
  });
  figure_separator_ = popup_->addSeparator();
  figure_settings_ = add("図形の設定(&P)...", [this] { EditSelectedFigure(); });
  object_settings_ = add("ｵﾌﾟｼﾞｪｸﾄの設定(&P)...", [this] { EditSelectedFigure(); });
  object_edit_ = add("ｵﾌﾞｼﾞｪｸﾄの編集(&E)", [this] {
    BeginObjectEdit(undoable_->screen(), undoable_->screen().SelectedIndex);
  });
  locus_settings_ = add("軌跡の設定(&K)...", [this] {
    Screen& s = undoable_->screen();
    if (hooks_.locus_dialog && hooks_.locus_dialog(s, s.SelectedIndex)) {
      s.Modified = true;
      RefreshScreen();
      TakeUndoSnapshot(s);
    }
  });
  locus_clear_ = add("軌跡の消去(&L)", [this] {
    Screen& s = undoable_->screen();
    if (FigureRecord* record = s.Figures.record(s.SelectedIndex)) {
      ClearLocus(*record);
      s.Modified = true;
      RefreshScreen();
    }
  });
  const auto run = [](const std::function<void()>& hook) {
    return [&hook] {
      if (hook) hook();
    };
  };
  popup_->addSeparator();
  coordinate_system_ = add("座標系の設定(&Z)...", [this] { M_ZahyoClick(); });
  coordinate_system_->setEnabled(static_cast<bool>(hooks_.coordinate_dialog));
  equations_ = add("中間式(&F)...", run(hooks_.edit_equations));
  equations_->setEnabled(static_cast<bool>(hooks_.edit_equations));
  popup_->addSeparator();
  // No keys here: the main window's commands own Ctrl+X, C and V.
  cut_ = add("切り取り(&T)", run(hooks_.cut_figure));
  copy_ = add("コピー(&C)", run(hooks_.copy_figure));
  paste_ = add("貼り付け(&P)", run(hooks_.paste_figure));
  popup_->addSeparator();
  popup_->addAction(undo_);
  popup_->addAction(redo_);
  popup_->addAction(temporary_save_);
}

void DocumentWindow::M_ZahyoClick() {
  Screen& s = undoable_->screen();
  if (hooks_.coordinate_dialog && hooks_.coordinate_dialog(s, 0)) {
    RefreshScreen();
    TakeUndoSnapshot(s);
  }
}

void DocumentWindow::PopupPropertyPopup() {
  if (!undoable_) return;
  UpdateCommandState();
  const Screen& s = undoable_->screen();
  const FigureRecord* record = s.Figures.record(s.SelectedIndex);
  const bool any_locus = AnyLocusOn(s);
  clear_all_loci_->setVisible(any_locus);
  figure_separator_->setVisible(record != nullptr || any_locus);
  const bool object = record != nullptr && record->type() == kOleFigure;
  figure_settings_->setVisible(record != nullptr && !object);
  object_settings_->setVisible(object);
  object_edit_->setVisible(object);
  const bool locus =
      record != nullptr && LocusDialogOf(*record).has_value() && !IsImplicitRegion(*record);
  locus_settings_->setVisible(locus);
  locus_settings_->setEnabled(static_cast<bool>(hooks_.locus_dialog));
  locus_clear_->setVisible(locus && LocusOn(*record));
  cut_->setEnabled(record != nullptr && hooks_.cut_figure);
  copy_->setEnabled(record != nullptr && hooks_.copy_figure);
  paste_->setEnabled(hooks_.paste_figure && hooks_.has_copied_figure && hooks_.has_copied_figure());
}

}  // namespace qzarn::ui
