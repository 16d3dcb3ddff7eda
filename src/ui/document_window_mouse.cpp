// The document window's mouse: presses, moves and releases on the screen
// surface handed to the pointer tools, the cursor over the selected figure,
// double clicks, and the layered picture while a figure is dragged.
#include "ui/document_window.h"

#include <QMouseEvent>
#include <QScrollArea>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/recompute.h"
#include "interact/drag_redraw.h"
#include "interact/hit_test.h"
#include "render/draw_screen.h"

namespace qzarn::ui {

namespace {

// The coordinate-system dialog's tabs a double click on an axis opens.
constexpr int kXAxisTab = 1;
constexpr int kYAxisTab = 2;

// Transparent layers kept while a figure is dragged: each costs one picture of
// memory and one blend per step; a drag needing more redraws the whole picture.
constexpr int kMostDragLayers = 4;

// The still picture is cut into pieces once the screen has stood this long
// (an animation or a pan keeps postponing it), a piece per event-loop turn.
constexpr int kKeptPictureDelayMs = 120;
// At most this much memory for the pieces of one window, at most this many
// pieces, and a piece only for this many steps of the picture order.
constexpr std::size_t kKeptPictureBytes = std::size_t{64} << 20;
constexpr std::size_t kMostKeptPieces = 8;
constexpr std::size_t kStepsPerKeptPiece = 16;

}  // namespace

// ---- Mouse ----------------------------------------------------------------------------

interact::PointerEvent DocumentWindow::EventAt(QPoint at, Qt::KeyboardModifiers modifiers,
                                               bool left) const {
  interact::PointerEvent e;
  e.x = at.x();
  e.y = at.y();
  e.shift = modifiers.testFlag(Qt::ShiftModifier);
  e.left = left;
  return e;
}

void DocumentWindow::SyncHitSettings() {
  ctx_.hit.tool_armed = env_.current_tool >= 0;
}

void DocumentWindow::ImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                    QPoint at) {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  const bool left = button == Qt::LeftButton, right = button == Qt::RightButton;
  interact::BeginPress(ctx_, state_, s, at.x(), at.y());
  setFocus(Qt::MouseFocusReason);
  HideFigureHint();

  if (env_.web_mode && right) {
    if (hooks_.coordinate_dialog && hooks_.coordinate_dialog(s, 0)) RefreshScreen();
    return;
  }

  SyncHitSettings();
  if (s.SelectedIndex >= 0 && (left || right)) {
    const interact::HitResult hit =
        interact::HitSelected(s, ctx_.hit, s.SelectedIndex, at.x(), at.y());
    if (!hit.hit()) {
      EndObjectEdit();
      s.SelectedIndex = -1;
    }
    // Dragging a text box to another screen belongs to the figure clipboard,
    // which is not part of this window.
  }

  if (env_.current_tool >= 0) {
    SetCursor(interact::PointerCursor::kDefault);
    interact::ToolMouseDown(ctx_, state_, s, EventAt(at, modifiers, left));
    ClearPromptsOfEndedTool();
    ShowPicture();
    if (s.SelectedIndex >= 0) UpdateCommandState();
    return;
  }
  if (!left && !right) return;
  if (s.SelectedIndex < 0) s.SelectedIndex = interact::PickFigure(s, ctx_.hit, at.x(), at.y()).slot;
  UpdateCommandState();
  if (s.SelectedIndex < 0) {
    env_.current_tool = interact::kPanningTool;
    SetCursor(interact::PointerCursor::kDefault);
  } else {
    // A pan that never saw its release must not turn this press into one.
    if (env_.current_tool == interact::kPanningTool) env_.current_tool = interact::kNoTool;
    SetCursor(interact::PointerCursor::kHandPoint);
  }
  if (!(left && StartDragFromKeptPicture())) RefreshScreen();
}

bool DocumentWindow::MouseCursorFeedback(Qt::MouseButtons buttons, QPoint at) {
  Screen& s = undoable_->screen();
  const FigureRecord* record = s.Figures.record(s.SelectedIndex);
  const interact::HitResult hit =
      record ? interact::HitSelected(s, ctx_.hit, s.SelectedIndex, at.x(), at.y())
             : interact::HitResult{};
  if (!hit.hit()) {
    SetCursor(interact::PointerCursor::kDefault);
    return false;
  }
  const bool framed = record->type() == kCharFigure || record->type() == kOleFigure;
  if (!framed || buttons != Qt::NoButton) {
    SetCursor(interact::PointerCursor::kHandPoint);
    return true;
  }
  // Over a frame without a button: the cursor shows what a drag would move.
  Qt::CursorShape shape = Qt::ArrowCursor;
  switch (hit.handle) {
    case 0:  // bottom-left
    case 8:  // top-right
      shape = Qt::SizeBDiagCursor;
      break;
    case 2:  // top-left
    case 6:  // bottom-right
      shape = Qt::SizeFDiagCursor;
      break;
    case 1:
    case 7:
      shape = Qt::SizeHorCursor;
      break;
    case 3:
    case 5:
      shape = Qt::SizeVerCursor;
      break;
    case interact::kFrameBorderHandle:
      shape = Qt::PointingHandCursor;
      break;
    case interact::kFrameInsideHandle:
      if (record->type() == kCharFigure) shape = Qt::PointingHandCursor;
      break;
    default:
      break;
  }
  surface_->setCursor(shape);
  s.GrabbedHandle = hit.handle;
  return true;
}

void DocumentWindow::ImageMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                                    QPoint at) {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  if (s.ActiveObject >= 0) return;
  SyncHitSettings();
  if (env_.current_tool < 0) {
    const bool over = MouseCursorFeedback(buttons, at);
    const FigureRecord* record = s.Figures.record(s.SelectedIndex);
    const bool framed =
        record != nullptr && (record->type() == kCharFigure || record->type() == kOleFigure);
    if (over && !framed && buttons == Qt::NoButton)
      ShowFigureHint(at);
    else if (!over)
      HideFigureHint();
  }

  const bool left = buttons.testFlag(Qt::LeftButton);
  // Leaving the window with the button down hands the selected figure to the
  // screen it is dropped on; without a main window to remember the source
  // there is no other screen to take it.
  if (left && env_.drag_drop && hooks_.drag_source_changed && isVisible() &&
      env_.current_tool == interact::kNoTool && s.Figures.record(s.SelectedIndex) != nullptr &&
      !scroll_->viewport()->rect().contains(surface_->mapTo(scroll_->viewport(), at))) {
    StartFigureDrag();
    return;
  }
  if (env_.current_tool >= 0) {
    interact::ToolMouseMove(ctx_, state_, s, EventAt(at, modifiers, left));
  } else if (left) {
    interact::DragSelected(ctx_, state_, s, EventAt(at, modifiers, true));
  }
  interact::ShowPosition(ctx_, s, at.x(), at.y());
  ShowPicture();
}

void DocumentWindow::ImageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                  QPoint at) {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  state_.grab_x = state_.grab_y = -1;
  SetCursor(interact::PointerCursor::kDefault);
  s.SnapFine = false;
  ctx_.hit.free_positioning = false;
  SyncHitSettings();
  const int tool = env_.current_tool;
  if (tool >= 0) {
    if (interact::ToolMouseUp(ctx_, state_, s, EventAt(at, modifiers, button == Qt::LeftButton))) {
      TakeUndoSnapshot(s);
      RefreshScreen();
    }
    ClearPromptsOfEndedTool();
  } else if (tool == interact::kPanningTool) {
    // The pan ends with its button.
    env_.current_tool = interact::kNoTool;
  }
  if (s.SelectedIndex >= 0) {
    // The layered picture of the drag ends with the drag: the released picture
    // is drawn whole, exactly.
    if (!s.View().FullRedraw || !drag_picture_.empty()) RefreshScreen();
    s.GrabbedHandle = -1;
    UpdateCommandState();
  }
  ShowPicture();
}

void DocumentWindow::ImageDblClick(QPoint at) {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  HideFigureHint();
  if (s.SelectedIndex < 0 && s.View().ShowAxes) {
    const render::ViewParams params = render::ViewParamsFromScreen(s, nullptr);
    const double x_axis_py = params.view.PlaneToPixelY(0);
    const double y_axis_px = params.view.PlaneToPixelX(0);
    int tab = -1;
    if (std::fabs(at.y() - x_axis_py) <= params.axes.x.width / 2.0 + 2)
      tab = kXAxisTab;
    else if (std::fabs(at.x() - y_axis_px) <= params.axes.y.width / 2.0 + 2)
      tab = kYAxisTab;
    if (tab >= 0) {
      if (hooks_.coordinate_dialog && hooks_.coordinate_dialog(s, tab)) {
        RefreshScreen();
        TakeUndoSnapshot(s);
      }
      SetCursor(interact::PointerCursor::kDefault);
      return;
    }
  }
  EditSelectedFigure();
  if (!env_.drag_drop) interact::ActivateObjectAt(ctx_, s, state_.press_x, state_.press_y);
  ShowPicture();
  SetCursor(interact::PointerCursor::kDefault);
}

// ---- Dragging with the whole picture ---------------------------------------------------

void DocumentWindow::StartDragPicture() {
  Screen& s = undoable_->screen();
  drag_picture_.Clear();
  variable_layers_ = false;
  settle_timer_->stop();
  DropKeptPicture();
  env_.engine.RecomputeScreen(s);
  std::optional<render::DragLayerPlan> plan;
  std::optional<std::vector<int>> changing =
      interact::DragChangingFigures(s, s.SelectedIndex, env_.expressions);
  if (changing)
    plan = render::PlanDragLayers(render::PictureOrder(s.Figures), *changing, kMostDragLayers);
  if (!plan) {
    DrawWholePicture(false);
    return;
  }
  const auto draw = [this](render::Canvas& canvas, std::span<const render::PictureStep> steps) {
    DrawPictureSteps(canvas, steps);
  };
  drag_picture_.Build(picture_, SurfaceSize(), std::move(*plan), std::move(*changing), draw);
  drag_picture_.Compose(picture_, draw);
  surface_->update();
}

void DocumentWindow::RefreshDraggedFigure() {
  if (!undoable_ || printing_) return;
  Screen& s = undoable_->screen();
  if (s.ActiveObject >= 0) return;
  FitSurfaceToScreen();
  EndPicturePainter();
  // A variable step's layers were cut for other figures than this drag's.
  if (drag_picture_.empty() || variable_layers_ || !drag_picture_.Fits(picture_)) {
    StartDragPicture();
    return;
  }
  DropKeptPicture();
  // A pass that meets the computation limit must report as the full pass does.
  if (!env_.engine.RecomputeFigures(s, drag_picture_.changing())) {
    RefreshScreen();
    return;
  }
  drag_picture_.Compose(picture_,
                        [this](render::Canvas& canvas, std::span<const render::PictureStep> steps) {
                          DrawPictureSteps(canvas, steps);
                        });
  surface_->update();
}

bool DocumentWindow::StartDragFromKeptPicture() {
  Screen& s = undoable_->screen();
  if (printing_ || s.ActiveObject >= 0 || s.SelectedIndex < 0 || !s.View().FullRedraw ||
      !kept_picture_.ready())
    return false;
  FitSurfaceToScreen();
  EndPicturePainter();
  if (!KeptPictureCurrent()) return false;
  std::optional<std::vector<int>> changing =
      interact::DragChangingFigures(s, s.SelectedIndex, env_.expressions);
  if (!changing) return false;
  const std::vector<render::PictureStep> order = render::PictureOrder(s.Figures);
  std::optional<render::DragLayerPlan> plan =
      render::PlanDragLayers(order, *changing, kMostDragLayers);
  if (!plan) return false;
  const auto draw = [this](render::Canvas& canvas, std::span<const render::PictureStep> steps) {
    DrawPictureSteps(canvas, steps);
  };
  settle_timer_->stop();
  variable_layers_ = false;
  drag_picture_.Build(picture_, SurfaceSize(), std::move(*plan), std::move(*changing), draw,
                      &kept_picture_);
  // A move usually follows before the surface is painted, and it puts its
  // own step together: the press's picture is put together only if it is
  // looked at first.
  drag_picture_.ComposeLater();
  surface_->update();
  return true;
}

void DocumentWindow::SettlePicture() const {
  if (!drag_picture_.composing_later()) return;
  // The window itself is never const; only the look at its picture is.
  auto& self = const_cast<DocumentWindow&>(*this);
  self.EndPicturePainter();
  drag_picture_.Compose(
      self.picture_, [&self](render::Canvas& canvas, std::span<const render::PictureStep> steps) {
        self.DrawPictureSteps(canvas, steps);
      });
}

// ---- The still picture in pieces ------------------------------------------------------

void DocumentWindow::DropKeptPicture() {
  kept_picture_timer_->stop();
  kept_picture_.Clear();
  kept_picture_key_.clear();
}

void DocumentWindow::ScheduleKeptPicture() {
  DropKeptPicture();
  if (undoable_ && undoable_->screen().View().FullRedraw)
    kept_picture_timer_->start(kKeptPictureDelayMs);
}

std::vector<std::uint8_t> DocumentWindow::KeptPictureKey() const {
  return PictureKey(true);
}

bool DocumentWindow::KeptPictureCurrent() const {
  return kept_picture_.Fits(picture_) && PictureKeyIs(kept_picture_key_, true);
}

namespace {

// Hands `add` every byte a picture is drawn from: the settings (with or
// without the variables), the font, the stretch, the background's size and
// every figure record with its slot.
template <typename Add>
void VisitPictureBytes(const Screen& s, bool with_variables, Add&& add) {
  if (with_variables)
    add(&s.Settings, sizeof s.Settings);
  else
    add(&s.Settings.View, sizeof s.Settings.View);
  add(&s.Font, sizeof s.Font);
  add(&s.StretchX, sizeof s.StretchX);
  add(&s.StretchY, sizeof s.StretchY);
  const std::size_t background = s.Background.bytes.size();
  add(&background, sizeof background);
  const int last = std::min(s.Figures.LastIndex, kLastSlot);
  for (int i = 0; i <= last; ++i) {
    const FigureRecord* record = s.Figures.record(i);
    if (record == nullptr || record->empty()) continue;
    add(&i, sizeof i);
    add(record->bytes().data(), record->bytes().size());
  }
}

}  // namespace

std::vector<std::uint8_t> DocumentWindow::PictureKey(bool with_variables) const {
  std::vector<std::uint8_t> key;
  PictureKeyInto(with_variables, key);
  return key;
}

void DocumentWindow::PictureKeyInto(bool with_variables, std::vector<std::uint8_t>& key) const {
  key.clear();
  VisitPictureBytes(undoable_->screen(), with_variables,
                    [&key](const void* from, std::size_t size) {
                      const auto* bytes = static_cast<const std::uint8_t*>(from);
                      key.insert(key.end(), bytes, bytes + size);
                    });
}

bool DocumentWindow::PictureKeyIs(const std::vector<std::uint8_t>& key, bool with_variables) const {
  // Compared where the bytes lie: a press should not first copy every
  // record of the screen only to find them unchanged.
  std::size_t at = 0;
  bool same = true;
  VisitPictureBytes(undoable_->screen(), with_variables, [&](const void* from, std::size_t size) {
    same = same && at + size <= key.size() && std::memcmp(key.data() + at, from, size) == 0;
    at += size;
  });
  return same && at == key.size();
}

void DocumentWindow::BuildKeptPiece() {
  if (!undoable_ || printing_) return;
  Screen& s = undoable_->screen();
  if (s.ActiveObject >= 0 || !s.View().FullRedraw) return;
  if (!kept_picture_.started()) {
    std::vector<render::PictureStep> order = render::PictureOrder(s.Figures);
    // The outer frame is drawn afresh with every drag step.
    if (!order.empty() && order.back().kind == render::PictureStep::Kind::kOuterFrame)
      order.pop_back();
    // Each cut keeps two pictures; small screens of few figures need none.
    const std::size_t per_cut = 2 * static_cast<std::size_t>(picture_.sizeInBytes());
    const std::size_t by_memory = per_cut > 0 ? kKeptPictureBytes / per_cut : 0;
    const std::size_t by_steps = order.size() / kStepsPerKeptPiece;
    const int pieces =
        static_cast<int>(std::min<std::size_t>({by_memory, by_steps, kMostKeptPieces - 1})) + 1;
    kept_picture_key_ = KeptPictureKey();
    kept_picture_.Start(picture_, SurfaceSize(), std::move(order), pieces);
  } else if (!KeptPictureCurrent()) {
    DropKeptPicture();
    return;
  }
  // The pieces show no selection: a press selects the figure it drags, which
  // is drawn afresh on every step anyway.
  const int selected = s.SelectedIndex;
  s.SelectedIndex = -1;
  const bool done = kept_picture_.BuildNext(
      [this](render::Canvas& canvas, std::span<const render::PictureStep> steps) {
        DrawPictureSteps(canvas, steps);
      });
  s.SelectedIndex = selected;
  if (!done) kept_picture_timer_->start(0);
}

}  // namespace qzarn::ui
