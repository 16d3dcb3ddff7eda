#include "render/figure_drawing_ink.h"

#include "platform/text_encoding.h"
#include "render/figure_drawing_primitives.h"

namespace qzarn::render {

FigureInk::FigureInk(DrawContext& ctx, bool selected)
    : ctx_(ctx), selected_(selected), erasable_(selected && !ctx.params().full_redraw) {
  canvas().SetRasterMode(erasable_ ? RasterMode::kNotXor : RasterMode::kCopy);
}

FigureInk::~FigureInk() {
  canvas().SetRasterMode(RasterMode::kCopy);
}

Colour FigureInk::Of(Colour c) const {
  c &= 0xFFFFFFu;
  if (selected_) c = SelectionColour(ctx_, ctx_.params().background, c);
  return ctx_.InkColour(c);
}

void FigureInk::Pen(Colour c, int width, int style_code) {
  canvas().SetPen(
      render::Pen{Of(c), ctx_.PenWidth(std::max(width, 0)), PenStyleFromStyleCode(style_code)});
}

void FigureInk::NoPen() {
  canvas().SetPen(render::Pen{canvas().pen().colour, 1, PenStyle::kClear});
}

void FigureInk::Fill(Colour c, int pattern) {
  if (erasable_) {
    NoFill();
    return;
  }
  canvas().SetBrush(Brush{BrushStyleFromFillPattern(pattern), Of(c)});
}

void FigureInk::NoFill() {
  canvas().SetBrush(Brush{BrushStyle::kClear, canvas().brush().colour});
}

int FigureInk::MarkRadius(int size) const {
  if (!ctx_.options().layout.point_zoom) return size;
  return RoundToInt(size * ctx_.z());
}

LabelFontSpec FontOf(const LabelFont& font) {
  LabelFontSpec s;
  s.family = cp932_to_utf8(font.FontName.view());
  s.colour = font.FontColor.get() & 0xFFFFFFu;
  s.size = font.FontSize.get();
  s.style = font.FontStyle;
  s.charset = font.FontSet.get();
  return s;
}

}  // namespace qzarn::render
