// Dragging the selected figure: its definition texts follow the mouse where
// they are plain numbers or single variables; references and expressions
// keep the figure where its definition puts it.

#include <algorithm>
#include <cmath>
#include <string_view>

#include "engine/equations.h"
#include "engine/number_format.h"
#include "engine/recompute.h"
#include "engine/variable_reach.h"
#include "expr/engine.h"
#include "expr/normalise.h"
#include "interact/pointer_tools.h"
#include "interact/pointer_tools_support.h"
#include "render/draw_screen.h"

namespace qzarn::interact {

namespace {

// A moved frame edge stays this many pixels away from the opposite edge.
constexpr double kMinFrameExtent = 12;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

bool IsPlain(const Expression& text) {
  return IsPlainNumberText(Trimmed(text.view()));
}

// One drag step of one figure: the picture of the figure is taken away once,
// right before the first change, and put back after the last.
class DragStep {
 public:
  DragStep(PointerContext& ctx, Screen& screen) : ctx_(ctx), screen_(screen) {}

  void Begin() {
    if (begun_) return;
    begun_ = true;
    if (!screen_.View().FullRedraw)
      DrawSelectedFigure(ctx_.ui.PictureCanvas(), screen_, ctx_.render);
  }

  void End() {
    if (!begun_) return;
    if (!screen_.View().FullRedraw)
      DrawSelectedFigure(ctx_.ui.PictureCanvas(), screen_, ctx_.render);
    else
      ctx_.ui.RefreshDraggedFigure();
    screen_.Modified = true;
    ctx_.ui.SetCursor(PointerCursor::kHandPoint);
  }

  // The coordinate text follows the value; the stored coordinate takes the
  // value unless the text did not follow (a variable's recompute has set it).
  void Follow(Expression& text, F64& coordinate, double value) {
    const std::string_view t = Trimmed(text.view());
    if (!IsPlainNumberText(t) && !ParseVariableName(t)) return;
    Begin();
    const CoordinateWrite write = DragCoordinate(ctx_, screen_, text, value);
    if (write == CoordinateWrite::kNumber) coordinate = value;
  }

 private:
  PointerContext& ctx_;
  Screen& screen_;
  bool begun_ = false;
};

// Moves both defining points by (dx, dy) when all four texts are numbers.
template <class Record>
void Translate(DragStep& step, Record& r, double dx, double dy) {
  if (r.Ref0 != kNoReference || r.Ref1 != kNoReference) return;
  if (!IsPlain(r.FX0) || !IsPlain(r.FY0) || !IsPlain(r.FX1) || !IsPlain(r.FY1)) return;
  if (dx == 0 && dy == 0) return;
  step.Begin();
  r.X0 = r.X0 + dx;
  r.Y0 = r.Y0 + dy;
  r.X1 = r.X1 + dx;
  r.Y1 = r.Y1 + dy;
  r.FX0 = FormatNumber(r.X0, kWrittenDecimals);
  r.FY0 = FormatNumber(r.Y0, kWrittenDecimals);
  r.FX1 = FormatNumber(r.X1, kWrittenDecimals);
  r.FY1 = FormatNumber(r.Y1, kWrittenDecimals);
}

void DragLine(DragStep& step, LineRecord& r, int handle, PlanePoint now, PlanePoint before) {
  switch (handle) {
    case kMarkHandle:
      if (r.Ref0 != kNoReference) return;
      step.Follow(r.FX0, r.X0, now.x);
      step.Follow(r.FY0, r.Y0, now.y);
      return;
    case kSecondPointHandle:
      if (r.Ref1 != kNoReference) return;
      step.Follow(r.FX1, r.X1, now.x);
      step.Follow(r.FY1, r.Y1, now.y);
      return;
    case kCurveHandle:
      Translate(step, r, now.x - before.x, now.y - before.y);
      return;
    default:
      return;
  }
}

void DragCircle(DragStep& step, CircleRecord& r, int handle, PlanePoint now) {
  if (handle == kMarkHandle) {
    if (r.Ref0 != kNoReference) return;
    step.Follow(r.FX0, r.X0, now.x);
    step.Follow(r.FY0, r.Y0, now.y);
  } else if (handle == kSecondPointHandle) {
    if (r.Ref1 != kNoReference || !IsPlain(r.FX1)) return;
    step.Begin();
    r.X1 = now.x;
    r.Y1 = now.y;
    const double radius = std::hypot(now.x - r.X0, now.y - r.Y0);
    r.FX1 = FormatNumber(radius, kWrittenDecimals);
    r.RadiusValue = radius;
  }
}

// Which edges a frame grip moves: column 0 left, 2 right; row 0 bottom, 2 top.
struct FrameEdges {
  bool left, right, bottom, top;
};
FrameEdges EdgesOf(int handle) {
  const int column = handle / 3, row = handle % 3;
  return {column == 0, column == 2, row == 0, row == 2};
}

void DragFrameGrip(DragStep& step, const ViewTransform& view, const SnapSettings& snap,
                   FrameRecord& r, bool text_box, int handle, double px, double py) {
  const FrameEdges e = EdgesOf(handle);
  // Corner 1 is bottom-left of an object and top-left of a text box.
  F64& bottom = text_box ? r.Y1 : r.Y0;
  F64& top = text_box ? r.Y0 : r.Y1;
  Expression& bottom_text = text_box ? r.FY1 : r.FY0;
  Expression& top_text = text_box ? r.FY0 : r.FY1;
  const bool bottom_in_corner1 = !text_box;
  const bool uses_corner1 = e.left || (e.bottom && bottom_in_corner1) || (e.top && text_box);
  const bool uses_corner2 = e.right || (e.bottom && text_box) || (e.top && !text_box);
  if (uses_corner1 && r.Ref0 != kNoReference) return;
  if (uses_corner2 && r.Ref1 != kNoReference) return;

  // Pixel edges (y grows downwards): a moved edge keeps its distance.
  const double left_px = view.PlaneToPixelX(r.X0), right_px = view.PlaneToPixelX(r.X1);
  const double bottom_px = view.PlaneToPixelY(bottom), top_px = view.PlaneToPixelY(top);
  if (e.left) px = std::min(px, right_px - kMinFrameExtent);
  if (e.right) px = std::max(px, left_px + kMinFrameExtent);
  if (e.bottom) py = std::max(py, top_px + kMinFrameExtent);
  if (e.top) py = std::min(py, bottom_px - kMinFrameExtent);
  const SnappedPoint p = SnapMouse(view, snap, px, py);
  if (e.left) step.Follow(r.FX0, r.X0, p.x);
  if (e.right) step.Follow(r.FX1, r.X1, p.x);
  if (e.bottom) step.Follow(bottom_text, bottom, p.y);
  if (e.top) step.Follow(top_text, top, p.y);
}

void DragFrame(DragStep& step, const ViewTransform& view, const SnapSettings& snap, FrameRecord& r,
               bool text_box, int handle, double px, double py, PlanePoint now, PlanePoint before) {
  if (handle >= 0 && handle <= 8 && handle != 4) {
    DragFrameGrip(step, view, snap, r, text_box, handle, px, py);
  } else if (handle == kFrameBorderHandle || (text_box && handle == kFrameInsideHandle)) {
    Translate(step, r, now.x - before.x, now.y - before.y);
  }
}

}  // namespace

CoordinateWrite DragCoordinate(PointerContext& ctx, Screen& screen, Expression& text,
                               double value) {
  const std::string_view t = Trimmed(text.view());
  if (IsPlainNumberText(t)) {
    text = FormatNumber(value, kWrittenDecimals);
    return CoordinateWrite::kNumber;
  }
  const std::optional<VariableName> name = ParseVariableName(t);
  if (!name) return CoordinateWrite::kUnchanged;
  AssignVariable(screen, name->row, name->column, value, ctx.expressions);
  // Only the figures reading the variable can move; the rest stay as the last
  // full pass left them.
  const VariableRef cell[] = {{name->row, name->column}};
  const std::optional<std::vector<int>> reached = FiguresReachedBy(screen, ctx.expressions, cell);
  if (!reached || !ctx.engine.RecomputeFigures(screen, *reached))
    ctx.engine.RecomputeScreen(screen);
  return CoordinateWrite::kVariable;
}

void BeginPress(PointerContext& ctx, PointerState& state, Screen& screen, double px, double py) {
  state.press_x = px;
  state.press_y = py;
  state.grab_x = px - screen.View().PanX;
  state.grab_y = py - screen.View().PanY;
  const MouseFrame frame = MouseFrameOf(ctx, screen);
  SetLastMouse(screen, px, py, SnapMouse(frame.view, frame.snap, px, py));
}

void DragSelected(PointerContext& ctx, PointerState& state, Screen& screen,
                  const PointerEvent& event) {
  if (ctx.current_tool == kPanningTool) {
    PanTo(ctx, state, screen, event.x, event.y);
    return;
  }
  const int index = screen.SelectedIndex;
  FigureRecord* record = screen.Figures.record(index);
  if (record == nullptr) return;
  if (screen.GrabbedHandle == kNoHandle) {
    HitSettings hit = ctx.hit;
    hit.tool_armed = false;
    screen.GrabbedHandle =
        HitSelected(screen, hit, index, screen.LastMouse.PixelX, screen.LastMouse.PixelY).handle;
  }
  const int handle = screen.GrabbedHandle;

  const MouseFrame frame = MouseFrameOf(ctx, screen);
  const SnappedPoint now_s = SnapMouse(frame.view, frame.snap, event.x, event.y);
  const PlanePoint now{now_s.x, now_s.y}, before{screen.LastMouse.X, screen.LastMouse.Y};

  DragStep step(ctx, screen);
  switch (record->type()) {
    case kPointFigure: {
      PointRecord& p = *record->point();
      if (handle != kMarkHandle) break;
      if (!(std::fabs(p.X) < kOffPlane) || !(std::fabs(p.Y) < kOffPlane)) break;
      step.Follow(p.FX, p.X, now.x);
      step.Follow(p.FY, p.Y, now.y);
      break;
    }
    case kLineFigure:
    case kParabolaFigure: {
      LineRecord& l = *record->line();
      if (l.Mode == 0) DragLine(step, l, handle, now, before);
      break;
    }
    case kCircleFigure: {
      CircleRecord& c = *record->circle();
      if (c.Mode == 0) DragCircle(step, c, handle, now);
      break;
    }
    case kOleFigure:
    case kCharFigure:
      DragFrame(step, frame.view, frame.snap, *record->frame(), record->type() == kCharFigure,
                handle, event.x, event.y, now, before);
      break;
    default:
      break;
  }
  step.End();
  SetLastMouse(screen, event.x, event.y, now_s);
}

bool PanTo(PointerContext& ctx, const PointerState& state, Screen& screen, double px, double py) {
  ViewSettings& v = screen.View();
  const double width = v.ScreenWidth, height = v.ScreenHeight;
  if (!(px >= 11 && px < width - 10 && py >= 11 && py < height - 10)) return false;
  const auto clamp = [](double pan) {
    return static_cast<std::int16_t>(RoundToInt(std::clamp(pan, -5000.0, 5000.0)));
  };
  v.PanX = clamp(px - state.grab_x);
  v.PanY = clamp(py - state.grab_y);
  screen.Modified = true;
  ctx.ui.RefreshScreen();
  return true;
}

}  // namespace qzarn::interact
