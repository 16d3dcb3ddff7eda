#include "render/figure_drawing.h"

#include "render/curve_drawing.h"
#include "render/figure_drawing_kinds.h"
#include "render/object_frame.h"
#include "render/text_box.h"

namespace qzarn::render {

FigureLayer LayerOf(const FigureRecord& record) {
  switch (record.type()) {
    case kOleFigure:
    case kCharFigure: {
      const FrameRecord* f = record.frame();
      return f != nullptr && f->IsFront ? FigureLayer::kFrontFrames : FigureLayer::kBack;
    }
    case kPolyFigure:
      return FigureLayer::kBack;
    case kMensekiFigure:
    case kAngle2Figure:
      return FigureLayer::kFrontAreas;
    default:
      return FigureLayer::kFrontShapes;
  }
}

void DrawFigure(DrawContext& ctx, const FigureTable& table, int index) {
  const FigureRecord* record = table.record(index);
  if (record == nullptr || record->empty()) return;
  FigureInk ink(ctx, index == ctx.params().selected_index);
  switch (record->type()) {
    case kPointFigure:
    case kBuntenFigure:
    case kCrossFigure:
    case kSuisenFigure:
    case kCross2Figure:
      DrawPointFigure(ink, table, *record);
      break;
    case kCross3Figure:
      DrawCross3Figure(ink, *record);
      break;
    case kLineFigure:
    case kSessenFigure:
      DrawLineFigure(ink, *record);
      break;
    case kAngleFigure:
      DrawAngleFigure(ink, *record);
      break;
    case kParabolaFigure:
      DrawParabolaFigure(ink, *record);
      break;
    case kCircleFigure:
      DrawCircleFigure(ink, *record);
      break;
    case kAngle2Figure:
      DrawAngle2Figure(ink, *record);
      break;
    case kPolyFigure:
      DrawPolyFigure(ink, table, *record);
      break;
    case kCharFigure:
      if (const FrameRecord* f = record->frame()) DrawTextBox(ink, *f);
      break;
    case kFunctionFigure:
      DrawFunctionFigure(ink, *record);
      break;
    case kMensekiFigure:
      DrawMensekiFigure(ink, *record);
      break;
    case kSplineFigure:
      DrawSplineFigure(ink, table, *record);
      break;
    case kOleFigure:
      DrawObjectFigure(ink, *record);
      break;
    default:
      break;
  }
}

void DrawFigures(DrawContext& ctx, const FigureTable& table, FigureLayer layer, int excluded) {
  const int last = std::min(table.LastIndex, kLastSlot);
  for (int i = 0; i <= last; ++i) {
    if (i == excluded) continue;
    const FigureRecord* record = table.record(i);
    if (record == nullptr || record->empty() || LayerOf(*record) != layer) continue;
    DrawFigure(ctx, table, i);
  }
}

}  // namespace qzarn::render
