#include "render/text_box.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/float_chars.h"
#include "platform/text_encoding.h"
#include "render/figure_drawing_labels.h"
#include "render/figure_drawing_primitives.h"

namespace qzarn::render {

namespace {

constexpr double kMaxCornerCoordinate = 1e8;
// The box of an automatic-size text box without any text.
constexpr int kEmptyBoxSize = 20;
// Decimals of corner values written back into the corner expressions.
constexpr int kCornerDecimals = 10;

bool CornersUsable(const FrameRecord& f) {
  for (double v : {f.X0.get(), f.Y0.get(), f.X1.get(), f.Y1.get()})
    if (!(std::fabs(v) < kMaxCornerCoordinate)) return false;
  return true;
}

bool Displayed(const FrameRecord& f) {
  return ConditionAllows(f.Boolean, f.ConditionValue) && CornersUsable(f);
}

Font MakeFont(DrawContext& ctx, const LabelFontSpec& spec, int size, Colour colour) {
  SetLabelFont(ctx, spec.family, size, spec.style, spec.charset, colour);
  return ctx.canvas().font();
}

}  // namespace

TextBoxLayout LayoutTextBox(DrawContext& ctx, const FrameRecord& f, Colour text_colour) {
  const TextFrameTail& t = f.Text();
  const LabelFontSpec spec = FontOf(t.Font);
  const double z = ctx.z();
  const double ps = ctx.print_scale();
  Canvas& canvas = ctx.canvas();

  TextBoxLayout out;
  MarkupStyle& style = out.style;
  style.small = MakeFont(ctx, spec, RoundToInt(spec.size * z * 0.6), text_colour);
  style.normal = MakeFont(ctx, spec, RoundToInt(spec.size * z), text_colour);
  MeasureMarkupFonts(canvas, style);
  style.char_spacing = t.CharX * z * ps;
  style.variables = ctx.params().variables;
  out.line_spacing = t.CharY * z * ps;
  out.pitch = RoundToInt(ps * t.CharY * z + style.normal_h_height);
  out.margin =
      SaturatingAdd(ctx.PenWidth(std::max(f.SizeL.get(), 0)) / 2, TruncateToInt(t.CharW * z * ps));
  if (style.normal.style & kFontItalic) out.italic_allowance = 0.13 * style.normal_h_height;

  Rect& b = out.box;
  b.left = RoundToInt(ctx.PX(f.X0));
  // Corners far off the surface saturate at the int range; every sum below does too.
  b.top = SaturatingAdd(RoundToInt(ctx.PY(f.Y0)), 1);
  b.right = SaturatingAdd(RoundToInt(ctx.PX(f.X1)), 1);
  b.bottom = RoundToInt(ctx.PY(f.Y1));
  if (f.IsIcon) {
    double widest = -1;
    int last = -1;
    for (int i = 0; i < kTextLines; ++i) {
      const std::string_view line = t.Lines[i].view();
      if (line.empty()) continue;
      last = i;
      // Measured from the box's left edge, so the widest line includes the
      // left margin and the frame gets the same margin on the right.
      widest = std::max(widest,
                        MeasureMarkupLine(canvas, line, out.margin + out.italic_allowance, style));
    }
    if (last < 0) {
      b.right = SaturatingAdd(b.left, kEmptyBoxSize);
      b.bottom = SaturatingAdd(b.top, kEmptyBoxSize);
    } else {
      b.right = ClampToInt(std::int64_t{b.left} + RoundAwayToInt(widest) + out.margin);
      b.bottom = ClampToInt(std::int64_t{b.top} + std::int64_t{last + 1} * out.pitch +
                            2 * std::int64_t{out.margin} - RoundAwayToInt(out.line_spacing));
    }
  } else {
    if (b.left > b.right) std::swap(b.left, b.right);
    if (b.top > b.bottom) std::swap(b.top, b.bottom);
  }
  return out;
}

void DrawTextBox(FigureInk& ink, const FrameRecord& f) {
  if (!Displayed(f)) return;
  DrawContext& ctx = ink.ctx();
  Canvas& canvas = ctx.canvas();
  const TextFrameTail& t = f.Text();
  const TextBoxLayout layout = LayoutTextBox(ctx, f, ink.Of(t.Font.FontColor.get()));
  const Rect& b = layout.box;
  // Saturated corners may be INT_MIN, whose magnitude an int cannot hold.
  const auto off_surface = [](int v) { return std::fabs(static_cast<double>(v)) >= kMaxPixel; };
  if (off_surface(b.left) || off_surface(b.right) || off_surface(b.top) || off_surface(b.bottom))
    return;

  Colour background = ctx.params().background;
  if (ink.selected()) {
    background = kButtonFaceColour;
  } else if (f.DispBk) {
    background = f.ColorBk.get() & 0xFFFFFFu;
  }
  if (f.DispBk && !ink.erasable()) {
    ink.NoPen();
    canvas.SetBrush(Brush{BrushStyle::kSolid, ctx.InkColour(background)});
    canvas.DrawRectangle(b);
  }
  if (f.DispL) {
    ink.Pen(f.RimColor.get(), f.SizeL, f.StyleL);
    ink.NoFill();
    canvas.DrawRectangle(b);
  }
  if (ink.erasable()) return;

  canvas.SetBackground(BackgroundMode::kTransparent, background);
  const RectF limits{static_cast<double>(b.left), static_cast<double>(b.top),
                     static_cast<double>(b.right), static_cast<double>(b.bottom)};
  for (int i = 0; i < kTextLines; ++i) {
    const std::string_view line = t.Lines[i].view();
    if (line.empty()) continue;
    const PointF start{
        static_cast<double>(b.left) + layout.margin + layout.italic_allowance,
        static_cast<double>(b.top) + layout.margin + static_cast<double>(i) * layout.pitch};
    LayoutMarkupLine(canvas, line, start, limits, layout.style);
  }
}

bool IsPlainNumberText(std::string_view text) {
  if (text.empty()) return true;
  const char* first = text.data();
  const char* last = first + text.size();
  if (*first == '+') ++first;
  double v = 0;
  const auto [end, ec] = FromCharsFixed(first, last, v);
  return ec == std::errc() && end == last;
}

bool FitTextBox(DrawContext& ctx, FrameRecord& f) {
  if (!f.IsIcon || !Displayed(f)) return false;
  ctx.canvas().SaveState();
  const TextBoxLayout layout = LayoutTextBox(ctx, f, kBlack);
  ctx.canvas().RestoreState();
  const double x1 = ctx.view().PixelToPlaneX(layout.box.right - 1);
  const double y1 = ctx.view().PixelToPlaneY(layout.box.bottom);
  if (!std::isfinite(x1) || !std::isfinite(y1)) return false;
  bool changed = f.X1.get() != x1 || f.Y1.get() != y1;
  f.X1 = x1;
  f.Y1 = y1;
  if (IsPlainNumberText(f.FX1.view())) {
    const std::string text = FormatDecimals(x1, kCornerDecimals);
    changed |= f.FX1.view() != text;
    f.FX1 = text;
  }
  if (IsPlainNumberText(f.FY1.view())) {
    const std::string text = FormatDecimals(y1, kCornerDecimals);
    changed |= f.FY1.view() != text;
    f.FY1 = text;
  }
  return changed;
}

void FitTextBoxes(DrawContext& ctx, FigureTable& table) {
  const int last = std::min<int>(table.LastIndex, kLastSlot);
  for (int i = 0; i <= last; ++i) {
    FigureRecord* record = table.record(i);
    if (record == nullptr || record->empty() || record->type() != kCharFigure) continue;
    if (FrameRecord* f = record->frame()) FitTextBox(ctx, *f);
  }
}

}  // namespace qzarn::render
