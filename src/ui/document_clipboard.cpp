// The figure clipboard of a document window: the selected figure copied as it
// stands, cut as one undoable step, pasted through its property dialog, and
// dragged onto another screen.

#include "ui/document_window.h"

#include <QDrag>
#include <QMimeData>

#include "forms/figure_clipboard.h"

namespace qzarn::ui {

namespace {

// The drag of a figure between screens carries no data of its own: the record
// is taken from the source window's selection when it is dropped.
constexpr const char* kFigureDragFormat = "application/x-qzarn-figure-drag";

}  // namespace

std::optional<FigureRecord> DocumentWindow::SelectedFigureCopy() const {
  if (!undoable_) return std::nullopt;
  const Screen& s = undoable_->screen();
  if (s.Figures.record(s.SelectedIndex) == nullptr) return std::nullopt;
  return forms::SettledCopy(s, s.SelectedIndex);
}

void DocumentWindow::CutSelectedFigure(const std::function<void()>& copy) {
  if (!undoable_ ||
      undoable_->screen().Figures.record(undoable_->screen().SelectedIndex) == nullptr)
    return;
  // Drags since the last snapshot have none of their own: the state before the
  // cut is recorded first, so that undoing the cut brings back exactly that.
  TakeUndoSnapshot(undoable_->screen());
  copy();
  DeleteSelectedFigure();  // records the state after the cut
  UpdateCommandState();
}

bool DocumentWindow::PasteFigure(const FigureRecord& record) {
  if (!undoable_) return false;
  Screen& s = undoable_->screen();
  EndObjectEdit();
  const std::optional<int> index = forms::InsertCopy(s, record);
  if (!index) return false;
  bool kept = EditFigureDialog(s, *index);
  if (kept) {
    s.Modified = true;
    TakeUndoSnapshot(s);
  } else {
    FreeFigure(s.Figures, *index);
    s.ActiveObject = -1;
  }
  s.SelectedIndex = -1;
  s.GrabbedHandle = -1;
  RefreshScreen();
  UpdateCommandState();
  return kept;
}

bool DocumentWindow::ImageDragOver(const QMimeData& mime) const {
  if (!undoable_ || !env_.drag_drop || !mime.hasFormat(QString::fromLatin1(kFigureDragFormat)))
    return false;
  DocumentWindow* source = hooks_.drag_source ? hooks_.drag_source() : nullptr;
  return source != nullptr && source != this && !source->closed();
}

bool DocumentWindow::ImageDragDrop(const QMimeData& mime) {
  if (!ImageDragOver(mime)) return false;
  DocumentWindow* source = hooks_.drag_source();
  const std::optional<FigureRecord> record = source->SelectedFigureCopy();
  if (hooks_.drag_source_changed) hooks_.drag_source_changed(nullptr);
  if (!record) return false;
  PasteFigure(*record);
  return true;
}

void DocumentWindow::StartFigureDrag() {
  if (hooks_.drag_source_changed) hooks_.drag_source_changed(this);
  auto* drag = new QDrag(surface_);
  auto* mime = new QMimeData;
  mime->setData(QString::fromLatin1(kFigureDragFormat), QByteArray());
  drag->setMimeData(mime);
  drag->exec(Qt::CopyAction);
  if (hooks_.drag_source_changed) hooks_.drag_source_changed(nullptr);
  // The release went to the drop target: end the drag here as a release would.
  if (!closed())
    ImageMouseUp(Qt::LeftButton, Qt::NoModifier,
                 QPoint(static_cast<int>(state_.press_x), static_cast<int>(state_.press_y)));
}

}  // namespace qzarn::ui
