#include "render/draw_screen.h"

#include <algorithm>

#include "document/embedded_object.h"
#include "platform/text_encoding.h"
#include "render/background.h"
#include "render/draw_axes.h"
#include "render/figure_drawing.h"
#include "render/text_box.h"

namespace qzarn::render {

namespace {

AxisSettings AxisFrom(std::int16_t style, std::int16_t width_step, std::uint32_t colour,
                      double interval, bool automatic, std::string_view name_cp932) {
  AxisSettings a;
  a.style = style;
  const auto bits = static_cast<std::uint16_t>(width_step);
  a.width = bits & 0xFF;
  a.label_step = bits >> 8;
  a.colour = colour & 0xFFFFFFu;
  a.interval = interval;
  a.automatic = automatic;
  a.name = cp932_to_utf8(name_cp932);
  return a;
}

}  // namespace

ViewParams ViewParamsFromView(const ViewSettings& v, const AxisFont& font,
                              const RgbImage* picture) {
  ViewParams p;
  p.view.surface_width = v.ScreenWidth;
  p.view.surface_height = v.ScreenHeight;
  p.view.scale = v.Scale.get() > 0 ? v.Scale.get() : 25;
  p.view.zoom = (v.Zoom.get() > 0 ? v.Zoom.get() : 100) / 100.0;
  p.view.centre_x = v.CentreX;
  p.view.centre_y = v.CentreY;
  p.view.pan_x = v.PanX;
  p.view.pan_y = v.PanY;
  p.coordinate_kind_code = v.CoordinateKind;
  AxesSettings& a = p.axes;
  const int kind = v.CoordinateKind;
  a.kind = kind >= 0 && kind <= 4 ? static_cast<CoordinateKind>(kind) : CoordinateKind::kStandard;
  a.x = AxisFrom(v.XAxisStyle, v.XAxisWidthStep, v.XAxisColor, v.XTick, v.AutoXTick,
                 v.XAxisName.view());
  a.y = AxisFrom(v.YAxisStyle, v.YAxisWidthStep, v.YAxisColor, v.YTick, v.AutoYTick,
                 v.YAxisName.view());
  a.show_axes = v.ShowAxes;
  a.show_grid = v.ShowGrid;
  a.grid_as_points = v.GridAsPoints;
  a.grid_style = v.GridStyle;
  a.grid_width = v.GridWidth;
  a.grid_colour = v.GridColor.get() & 0xFFFFFFu;
  a.font_size = font.FontSize;
  a.japanese_font = font.FontSet.get() == 128;
  a.font_style = font.FontStyle;
  p.axis_font_family = cp932_to_utf8(font.FontName.view());
  p.background = v.BackColor.get() & 0xFFFFFFu;
  p.picture_mode = v.BackgroundMode;
  p.picture = picture;
  p.full_redraw = v.FullRedraw;
  return p;
}

ViewParams ViewParamsFromScreen(const Screen& screen, const RgbImage* picture) {
  ViewParams p = ViewParamsFromView(screen.View(), screen.Font, picture);
  p.view.stretch_x = screen.StretchX > 0 ? screen.StretchX : 1.0;
  p.view.stretch_y = screen.StretchY > 0 ? screen.StretchY : 1.0;
  p.selected_index = screen.SelectedIndex;
  p.variables = &screen.Variables();
  return p;
}

std::vector<PictureStep> PictureOrder(const FigureTable& figures, bool printing, int excluded) {
  using Kind = PictureStep::Kind;
  std::vector<PictureStep> order;
  const auto pass = [&](FigureLayer layer) {
    const int last = std::min(figures.LastIndex, kLastSlot);
    for (int i = 0; i <= last; ++i) {
      if (i == excluded) continue;
      const FigureRecord* record = figures.record(i);
      if (record == nullptr || record->empty() || LayerOf(*record) != layer) continue;
      order.push_back({Kind::kFigure, i});
    }
  };
  order.push_back({Kind::kBackground, -1});
  pass(FigureLayer::kBack);
  order.push_back({Kind::kAxes, -1});
  pass(FigureLayer::kFrontAreas);
  pass(FigureLayer::kFrontShapes);
  pass(FigureLayer::kFrontFrames);
  if (!printing) order.push_back({Kind::kOuterFrame, -1});
  return order;
}

namespace {

void DrawSteps(DrawContext& ctx, const FigureTable& figures, std::span<const PictureStep> steps) {
  for (const PictureStep& step : steps) {
    switch (step.kind) {
      case PictureStep::Kind::kBackground:
        DrawBackground(ctx);
        break;
      case PictureStep::Kind::kFigure:
        DrawFigure(ctx, figures, step.slot);
        break;
      case PictureStep::Kind::kAxes:
        DrawAxes(ctx);
        DrawAxisLabels(ctx);
        break;
      case PictureStep::Kind::kOuterFrame:
        DrawOuterFrame(ctx);
        break;
    }
  }
}

}  // namespace

void DrawScreen(Canvas& canvas, Screen* screen, const RenderOptions& options,
                const DrawScreenInputs& inputs) {
  if (screen == nullptr) return;
  const ViewParams params = ViewParamsFromScreen(*screen, inputs.picture);
  DrawContext ctx(canvas, params, options, inputs.print);
  if (inputs.recompute) inputs.recompute(*screen);
  FitTextBoxes(ctx, screen->Figures);
  DrawSteps(ctx, screen->Figures,
            PictureOrder(screen->Figures, inputs.print.printing, inputs.excluded));
  ctx.End();
}

void DrawScreenInParts(Canvas& canvas, Screen* screen, const RenderOptions& options,
                       const DrawScreenInputs& inputs,
                       const std::function<void(const DrawPicturePart&)>& draw_parts) {
  if (screen == nullptr) return;
  const ViewParams params = ViewParamsFromScreen(*screen, inputs.picture);
  {
    DrawContext ctx(canvas, params, options, inputs.print);
    if (inputs.recompute) inputs.recompute(*screen);
    FitTextBoxes(ctx, screen->Figures);
  }
  // An embedded object keeps what it was last found to hold: found now,
  // drawing it only reads it, whichever part draws it.
  for (int i = 0; i <= std::min(screen->Figures.LastIndex, kLastSlot); ++i)
    if (const FigureRecord* record = screen->Figures.record(i);
        record != nullptr && !record->owned.ObjectBytes.empty())
      ObjectSummaryOf(record->owned);
  const std::vector<PictureStep> order =
      PictureOrder(screen->Figures, inputs.print.printing, inputs.excluded);
  const FigureTable& figures = screen->Figures;
  draw_parts([&](Canvas& part) {
    DrawContext ctx(part, params, options, inputs.print);
    DrawSteps(ctx, figures, order);
    ctx.End();
  });
}

void DrawPictureSteps(Canvas& canvas, Screen& screen, const RenderOptions& options,
                      const DrawScreenInputs& inputs, std::span<const PictureStep> steps) {
  const ViewParams params = ViewParamsFromScreen(screen, inputs.picture);
  DrawContext ctx(canvas, params, options, inputs.print);
  FitTextBoxes(ctx, screen.Figures);
  DrawSteps(ctx, screen.Figures, steps);
  ctx.End();
}

void DrawSelectedFigure(Canvas& canvas, const Screen& screen, const RenderOptions& options) {
  if (screen.SelectedIndex < 0) return;
  const ViewParams params = ViewParamsFromScreen(screen, nullptr);
  DrawContext ctx(canvas, params, options);
  DrawFigure(ctx, screen.Figures, screen.SelectedIndex);
}

}  // namespace qzarn::render
