// The drawing tools: figures created by clicks on the plane (a point, or a
// press and a release for two-point figures and frames) and figures whose
// definition is entered in their property dialog.

#include <algorithm>
#include <cmath>

#include "engine/number_format.h"
#include "engine/screen_access.h"
#include "interact/pointer_tools.h"
#include "interact/pointer_tools_support.h"
#include "render/figure_drawing_preview.h"

namespace qzarn::interact {

namespace {

bool IsTwoPointTool(int tool) {
  switch (tool) {
    case kLineTool:
    case kCircleTool:
    case kParabolaTool:
    case kObjectTool:
    case kTextTool:
    case kFormulaObjectTool:
    case kFormulaObjectTool2:
      return true;
    default:
      return false;
  }
}

// The tools whose two points may also come from two separate clicks. Frames
// keep their press-drag-release only: a click on the plane is no frame.
bool TakesTwoClicks(int tool) {
  return tool == kLineTool || tool == kCircleTool || tool == kParabolaTool;
}

bool IsObjectTool(int tool) {
  return tool == kObjectTool || tool == kFormulaObjectTool || tool == kFormulaObjectTool2;
}

SnappedPoint SnappedAt(const PointerContext& ctx, const Screen& screen, double px, double py) {
  const MouseFrame frame = MouseFrameOf(ctx, screen);
  return SnapMouse(frame.view, frame.snap, px, py);
}

// The point figure under the pixel as a reference (a Cross3 point with its
// sub-index); a locus entry counts as no point.
std::int32_t PointReferenceAt(const PointerContext& ctx, const Screen& screen, double px,
                              double py) {
  const HitResult hit = PickPoint(screen, ctx.hit, px, py);
  if (!hit.hit() || hit.handle == kLocusHandle) return kNoReference;
  if (FigureTypeAt(screen, hit.slot) == kCross3Figure && hit.cross3_point > 0)
    return MakeReference(hit.slot, hit.cross3_point);
  return hit.slot;
}

std::string Written(double v) {
  return FormatNumber(v, kWrittenDecimals);
}

// A new figure of the tool's type and form with the remembered attributes, in
// the lowest free slot; nothing when every slot is used.
std::optional<int> CreateFigure(PointerContext& ctx, Screen& screen, ToolFigure what) {
  const std::int32_t sub_kind = what.type == kFunctionFigure ? what.form : 0;
  FigureRecord record = InitialiseFigure(what.type, ctx.defaults, ctx.font, sub_kind,
                                         ctx.cont_attrib ? &ctx.attributes : nullptr);
  if (what.type == kLineFigure || what.type == kParabolaFigure) record.line()->Mode = what.form;
  if (what.type == kCircleFigure) record.circle()->Mode = what.form;
  return NewFigure(screen.Figures, std::move(record));
}

// The property dialog of a new figure: Cancel removes the figure; OK keeps
// it, remembers its attributes and selects it when the settings ask for it.
bool ConfirmNewFigure(PointerContext& ctx, Screen& screen, int index) {
  if (!ctx.ui.EditFigureDialog(screen, index)) {
    FreeFigure(screen.Figures, index);
    return false;
  }
  screen.Modified = true;
  if (ctx.cont_attrib) ctx.attributes.Remember(*screen.Figures.record(index));
  if (ctx.edit_attr) {
    screen.SelectedIndex = index;
    screen.GrabbedHandle = kNoHandle;
  }
  return true;
}

// The pen of the remembered attributes of the type, for its rubber band.
std::optional<PreviewPen> RememberedPen(const PointerContext& ctx, std::int32_t type) {
  if (!ctx.cont_attrib || !ctx.attributes.Has(type)) return std::nullopt;
  FigureRecord probe = FigureRecord::Blank(type);
  ctx.attributes.Apply(probe);
  if (const LineRecord* l = probe.line())
    return PreviewPen{l->LineColor.get(), l->StyleL, l->SizeL};
  if (const CircleRecord* c = probe.circle())
    return PreviewPen{c->RimColor.get(), c->StyleL, c->SizeL};
  return std::nullopt;
}

// Draws the tool's rubber band from the first point to `end` (erasable: the
// same call again removes it).
void DrawBand(PointerContext& ctx, const PointerState& state, Screen& screen, int tool,
              PlanePoint end) {
  if (!(end.x < kOffPlane)) return;
  const ViewParams params = ViewParamsFromScreen(screen, nullptr);
  DrawContext dc(ctx.ui.PictureCanvas(), params, ctx.render);
  const PlanePoint first{state.first_x, state.first_y};
  switch (tool) {
    case kLineTool:
      PreviewLine(dc, first, end, !state.segment, RememberedPen(ctx, kLineFigure));
      break;
    case kCircleTool:
      PreviewCircle(dc, first, std::hypot(end.x - first.x, end.y - first.y),
                    RememberedPen(ctx, kCircleFigure));
      break;
    case kParabolaTool:
      PreviewParabola(dc, first, end, RememberedPen(ctx, kParabolaFigure));
      break;
    default:
      PreviewRectangle(dc, first, end);
      break;
  }
}

void EraseBand(PointerContext& ctx, PointerState& state, Screen& screen, int tool) {
  DrawBand(ctx, state, screen, tool, {state.band_x, state.band_y});
  state.band_x = state.band_y = kOffPlane;
}

template <class Record>
void SetTwoPoints(Record& r, PlanePoint a, PlanePoint b) {
  r.X0 = a.x;
  r.Y0 = a.y;
  r.X1 = b.x;
  r.Y1 = b.y;
  r.FX0 = Written(a.x);
  r.FY0 = Written(a.y);
  r.FX1 = Written(b.x);
  r.FY1 = Written(b.y);
}

// A frame's corners in the order its kind keeps them. A reference stays with
// the corner that lies where its point was found; a corner made of one
// point's x and the other's y gets none.
void SetFrameCorners(FrameRecord& r, bool text_box, PlanePoint a, std::int32_t ref_a, PlanePoint b,
                     std::int32_t ref_b) {
  const double left = std::min(a.x, b.x), right = std::max(a.x, b.x);
  const double low = std::min(a.y, b.y), high = std::max(a.y, b.y);
  const PlanePoint c1{left, text_box ? high : low};
  const PlanePoint c2{right, text_box ? low : high};
  SetTwoPoints(r, c1, c2);
  const auto ref_at = [&](PlanePoint c) {
    if (c == a && ref_a != kNoReference) return ref_a;
    if (c == b) return ref_b;
    return kNoReference;
  };
  r.Ref0 = ref_at(c1);
  r.Ref1 = ref_at(c2);
}

void EndTool(PointerContext& ctx, PointerState& state, Screen& screen) {
  state.awaiting_tool = kNoTool;
  screen.GrabbedHandle = kNoHandle;
  screen.MouseMode = 0;
  ctx.current_tool = kNoTool;
}

}  // namespace

bool IsMouseTool(int tool) {
  return tool == kPointTool || IsTwoPointTool(tool);
}

std::optional<ToolFigure> FigureOfTool(int tool) {
  switch (tool) {
    case kPointTool:
      return ToolFigure{kPointFigure, -1};
    case 52:
      return ToolFigure{kBuntenFigure, -1};
    case 53:
      return ToolFigure{kCross3Figure, -1};
    case 54:
      return ToolFigure{kSuisenFigure, -1};
    case 55:
      return ToolFigure{kAngleFigure, -1};
    case 56:
      return ToolFigure{kAngle2Figure, -1};
    case kLineTool:
      return ToolFigure{kLineFigure, 0};
    case kCircleTool:
      return ToolFigure{kCircleFigure, 0};
    case kParabolaTool:
      return ToolFigure{kParabolaFigure, 0};
    case 60:
    case 77:
      return ToolFigure{kFunctionFigure, 1};
    case 61:
      return ToolFigure{kCross2Figure, -1};
    case 62:
      return ToolFigure{kSessenFigure, -1};
    case 63:
      return ToolFigure{kMensekiFigure, -1};
    case 64:
      return ToolFigure{kPolyFigure, -1};
    case kObjectTool:
    case kFormulaObjectTool:
    case kFormulaObjectTool2:
      return ToolFigure{kOleFigure, -1};
    case kTextTool:
      return ToolFigure{kCharFigure, -1};
    case 68:
      return ToolFigure{kLineFigure, 1};
    case 69:
      return ToolFigure{kLineFigure, 2};
    case 71:
      return ToolFigure{kParabolaFigure, 1};
    case 72:
      return ToolFigure{kParabolaFigure, 2};
    case 74:
      return ToolFigure{kCircleFigure, 3};
    case 75:
      return ToolFigure{kCircleFigure, 1};
    case 76:
      return ToolFigure{kCircleFigure, 2};
    case 78:
      return ToolFigure{kFunctionFigure, 4};
    case 79:
      return ToolFigure{kFunctionFigure, 2};
    case 80:
      return ToolFigure{kFunctionFigure, 3};
    case 83:
      return ToolFigure{kSplineFigure, -1};
    default:
      return std::nullopt;
  }
}

void ToolMouseDown(PointerContext& ctx, PointerState& state, Screen& screen,
                   const PointerEvent& event) {
  const int tool = ctx.current_tool;
  if (!event.left || !IsMouseTool(tool)) return;
  const SnappedPoint p = SnappedAt(ctx, screen, event.x, event.y);
  if (tool == kPointTool) {
    if (const std::optional<int> index = CreateFigure(ctx, screen, *FigureOfTool(tool))) {
      PointRecord& r = *screen.Figures.record(*index)->point();
      r.X = p.x;
      r.Y = p.y;
      r.FX = Written(p.x);
      r.FY = Written(p.y);
      if (ConfirmNewFigure(ctx, screen, *index)) {
        ctx.ui.TakeUndoSnapshot(screen);
        ctx.ui.RefreshScreen();
      }
    }
    ctx.current_tool = kNoTool;
    return;
  }
  // The second click of a click-click keeps the first point and its band.
  if (state.awaiting_tool == tool && screen.MouseMode == 1) {
    state.second_pressed = true;
    return;
  }
  state.awaiting_tool = kNoTool;
  screen.MouseMode = 1;
  state.first_x = p.x;
  state.first_y = p.y;
  state.first_px = event.x;
  state.first_py = event.y;
  state.first_ref = PointReferenceAt(ctx, screen, event.x, event.y);
  state.band_x = state.band_y = kOffPlane;
}

void ToolMouseMove(PointerContext& ctx, PointerState& state, Screen& screen,
                   const PointerEvent& event) {
  const int tool = ctx.current_tool;
  if (!IsMouseTool(tool)) return;
  ctx.ui.SetCursor(PointerCursor::kHandPoint);
  ctx.ui.SetStatus(kPromptPanel, screen.MouseMode == 0 ? kFirstPointPrompt : kSecondPointPrompt);
  const bool band = event.left || state.awaiting_tool == tool;
  if (!band || screen.MouseMode != 1 || !IsTwoPointTool(tool)) return;
  if (tool == kLineTool) ctx.ui.SetStatus(kHintPanel, kLineShiftHint);
  EraseBand(ctx, state, screen, tool);
  const SnappedPoint p = SnappedAt(ctx, screen, event.x, event.y);
  DrawBand(ctx, state, screen, tool, {p.x, p.y});
  state.band_x = p.x;
  state.band_y = p.y;
}

bool DropPendingPoint(PointerState& state, Screen& screen) {
  if (state.awaiting_tool == kNoTool) return false;
  state.awaiting_tool = kNoTool;
  state.band_x = state.band_y = kOffPlane;
  screen.MouseMode = 0;
  return true;
}

void ToggleLineSegment(PointerContext& ctx, PointerState& state, Screen& screen) {
  if (ctx.current_tool != kLineTool) return;
  state.segment = !state.segment;
  ctx.ui.RefreshScreen();
  if (screen.MouseMode == 1) DrawBand(ctx, state, screen, kLineTool, {state.band_x, state.band_y});
}

bool ToolMouseUp(PointerContext& ctx, PointerState& state, Screen& screen,
                 const PointerEvent& event) {
  const int tool = ctx.current_tool;
  if (!event.left || !IsTwoPointTool(tool) || screen.MouseMode != 1) return false;
  const bool click = std::fabs(event.x - state.first_px) <= kClickSlop &&
                     std::fabs(event.y - state.first_py) <= kClickSlop;
  if (state.awaiting_tool == tool && !state.second_pressed) return false;  // a double click's
  if (click && state.awaiting_tool != tool && TakesTwoClicks(tool)) {
    // A click, not a drag: the band follows the pointer to the second click.
    state.awaiting_tool = tool;
    state.second_pressed = false;
    return false;
  }
  EraseBand(ctx, state, screen, tool);
  const SnappedPoint p = SnappedAt(ctx, screen, event.x, event.y);
  const PlanePoint first{state.first_x, state.first_y}, end{p.x, p.y};
  const std::int32_t end_ref = PointReferenceAt(ctx, screen, event.x, event.y);
  const std::optional<int> index = CreateFigure(ctx, screen, *FigureOfTool(tool));
  bool completed = false;
  if (index) {
    FigureRecord& record = *screen.Figures.record(*index);
    switch (tool) {
      case kLineTool:
      case kParabolaTool: {
        LineRecord& r = *record.line();
        SetTwoPoints(r, first, end);
        r.Ref0 = state.first_ref;
        r.Ref1 = end_ref;
        if (tool == kLineTool && ctx.cont_attrib) r.DispB = state.segment;
        break;
      }
      case kCircleTool: {
        CircleRecord& r = *record.circle();
        const double radius = std::hypot(end.x - first.x, end.y - first.y);
        r.X0 = first.x;
        r.Y0 = first.y;
        r.X1 = end.x;
        r.Y1 = end.y;
        r.FX0 = Written(first.x);
        r.FY0 = Written(first.y);
        r.FX1 = Written(radius);
        r.RadiusValue = radius;
        r.Ref0 = state.first_ref;
        r.Ref1 = end_ref;
        break;
      }
      default:
        SetFrameCorners(*record.frame(), tool == kTextTool, first, state.first_ref, end, end_ref);
        // A dragged text frame is the size the user chose: fitting it to the
        // text would replace the corner the dialog shows by one the user
        // never saw. A click gives no frame, so its frame follows the text
        // (whatever the last box remembered, which may have been dragged).
        if (tool == kTextTool) record.frame()->IsIcon = click;
        break;
    }
    if (IsObjectTool(tool))
      ctx.ui.CreateObjectFigure(screen, *index, tool);
    else
      completed = ConfirmNewFigure(ctx, screen, *index);
  }
  EndTool(ctx, state, screen);
  return completed;
}

bool InsertByDialog(PointerContext& ctx, Screen& screen) {
  const int tool = ctx.current_tool;
  if (IsMouseTool(tool)) return false;
  const std::optional<ToolFigure> what = FigureOfTool(tool);
  ctx.current_tool = kNoTool;
  if (!what) return false;
  const std::optional<int> index = CreateFigure(ctx, screen, *what);
  return index && ConfirmNewFigure(ctx, screen, *index);
}

bool EditSelected(PointerContext& ctx, const PointerState& state, Screen& screen) {
  const int index = screen.SelectedIndex;
  if (screen.Figures.record(index) == nullptr) return false;
  if (FigureTypeAt(screen, index) == kOleFigure) {
    HitSettings hit = ctx.hit;
    hit.tool_armed = false;
    if (HitSelected(screen, hit, index, state.press_x, state.press_y).handle == kFrameInsideHandle)
      return false;
  }
  const bool confirmed = ctx.ui.EditFigureDialog(screen, index);
  if (confirmed) screen.Modified = true;
  ctx.ui.RefreshScreen();
  return confirmed;
}

bool ActivateObjectAt(PointerContext& ctx, Screen& screen, double px, double py) {
  const int index = screen.SelectedIndex;
  if (FigureTypeAt(screen, index) != kOleFigure) return false;
  HitSettings hit = ctx.hit;
  hit.tool_armed = false;
  if (HitSelected(screen, hit, index, px, py).handle != kFrameInsideHandle) return false;
  ctx.ui.BeginObjectEdit(screen, index);
  return true;
}

}  // namespace qzarn::interact
