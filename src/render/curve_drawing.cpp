#include "render/curve_drawing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/function_sampling.h"
#include "engine/implicit_curves.h"
#include "render/figure_drawing_kinds.h"
#include "render/figure_drawing_labels.h"
#include "render/figure_drawing_primitives.h"

namespace qzarn::render {

namespace {

constexpr double kBreakLimit = 20000;
constexpr double kFlatDifference = 1e-5;
constexpr int kBoundaryClearing = 6;

bool OffCurve(double v) {
  return !(std::fabs(v) < kBreakLimit);
}

// Draws sample pairs (0,1), (2,3), ... as loose segments from `begin` up to
// (not including) `end`; pairs with a break end are skipped. At width 1 the
// end pixel of every segment is set too, so that no pixel gap remains.
void DrawPairs(FigureInk& ink, std::span<const float> xs, std::span<const float> ys,
               std::size_t begin, std::size_t end, bool end_pixels) {
  DrawContext& ctx = ink.ctx();
  LinePainter lines = ctx.Lines();
  lines.BeginDash();
  const Colour colour = ink.canvas().pen().colour;
  // The end pixels are set between the segments, so those go one by one.
  if (!end_pixels) lines.BeginRun();
  for (std::size_t i = begin; i + 1 < end; i += 2) {
    const double x0 = xs[i], y0 = ys[i], x1 = xs[i + 1], y1 = ys[i + 1];
    if (OffCurve(x0) || OffCurve(y0) || OffCurve(x1) || OffCurve(y1)) continue;
    lines.DrawSegment(x0, y0, x1, y1);
    if (end_pixels) {
      const double px = ctx.PX(x1), py = ctx.PY(y1);
      if (std::fabs(px) < kMaxPixel && std::fabs(py) < kMaxPixel)
        ink.canvas().SetPixel(Point{RoundToInt(px), RoundToInt(py)}, colour);
    }
  }
  lines.EndRun();
}

void DrawJoined(FigureInk& ink, std::span<const float> xs, std::span<const float> ys,
                bool full_tests) {
  const std::vector<bool> joins = CurveJoins(xs, ys, ink.ctx().options().tangent, full_tests);
  LinePainter lines = ink.ctx().Lines();
  lines.BeginDash();
  lines.BeginRun();
  for (std::size_t i = 1; i < joins.size(); ++i)
    if (joins[i]) lines.DrawSegment(xs[i - 1], ys[i - 1], xs[i], ys[i]);
  lines.EndRun();
}

void DrawSamplePoints(FigureInk& ink, std::span<const float> xs, std::span<const float> ys,
                      Colour colour, int size) {
  ink.Fill(colour, 1);
  ink.SolidPen(colour, 1);
  const int radius = ink.MarkRadius(size);
  for (std::size_t i = 0; i < xs.size(); ++i)
    if (!OffCurve(xs[i]) && !OffCurve(ys[i])) DrawDot(ink.ctx(), radius, xs[i], ys[i]);
}

void DrawLocus(FigureInk& ink, const FunctionRecord& f, const FigureOwned& owned) {
  if (!f.KisekiF) return;
  const int n =
      std::min<int>(LocusEntries(f.TrackCount), static_cast<int>(owned.KisekiList.size()));
  const bool implicit = f.FuncKind == kImplicitCurve;
  for (int k = 0; k < n; ++k) {
    const CurveSnapshotView s = owned.KisekiList[static_cast<std::size_t>(k)];
    const std::size_t m = s.X.size();
    const std::span<const float> xs = s.X, ys = s.Y;
    if (f.KisekiL) {
      ink.SolidPen(f.PaintColor.get(), f.KisekiW);
      if (implicit)
        DrawPairs(ink, xs, ys, 0, m, false);
      else
        DrawJoined(ink, xs, ys, false);
    }
    if (f.KisekiP) DrawSamplePoints(ink, xs, ys, f.PaintColor.get(), f.KisekiR);
  }
}

// A region: hatching up to the first separator, the boundary up to the area
// entry, then the area text.
void DrawRegion(FigureInk& ink, const FunctionRecord& f, std::span<const float> xs,
                std::span<const float> ys) {
  DrawContext& ctx = ink.ctx();
  const std::size_t n = xs.size();
  std::size_t separator = 0;
  while (separator < n && xs[separator] != kRegionSeparator)
    ++separator;
  double max_x = -std::numeric_limits<double>::infinity(), max_y = max_x;
  for (std::size_t i = 0; i < separator; ++i) {
    if (OffCurve(xs[i]) || OffCurve(ys[i])) continue;
    max_x = std::max<double>(max_x, xs[i]);
    max_y = std::max<double>(max_y, ys[i]);
  }
  if (!f.Recursive) {
    ink.SolidPen(f.ColorP.get(), 1);
    DrawPairs(ink, xs, ys, 0, separator, false);
  }
  std::size_t begin = separator;
  while (begin < n && xs[begin] == kRegionSeparator)
    ++begin;
  std::size_t area_mark = begin;
  while (area_mark < n && xs[area_mark] != kRegionAreaMark)
    ++area_mark;
  const int relation = f.Mode;
  if (relation == kRelationGreater || relation == kRelationLess) {
    // Clear the hatching along a boundary that does not belong to the region.
    const int width = static_cast<int>(f.SizeL) + kBoundaryClearing;
    const int device_width =
        ctx.printing() ? static_cast<int>(RoundHalfEven(width * ctx.print_scale())) : width;
    ink.canvas().SetPen(Pen{ctx.params().background, device_width, PenStyle::kSolid});
    DrawPairs(ink, xs, ys, begin, area_mark, false);
  }
  if (f.DispL) {
    ink.Pen(f.ColorL.get(), f.SizeL, f.StyleL);
    DrawPairs(ink, xs, ys, begin, area_mark, f.SizeL <= 1);
  }
  if (!f.pType || area_mark >= n || !ink.labels()) return;
  const double area = ys[area_mark];
  double x = max_x, y = max_y;
  if (area_mark + 1 < n) {
    x = std::isfinite(x) ? std::min<double>(x, xs[area_mark + 1]) : xs[area_mark + 1];
    y = std::isfinite(y) ? std::min<double>(y, ys[area_mark + 1]) : ys[area_mark + 1];
  }
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  const LabelFontSpec font = FontOf(f.Font);
  SetLabelFont(ctx, font.family, RoundToInt(std::sqrt(ctx.z()) * font.size * 0.8), font.style,
               font.charset, ink.Of(font.colour));
  ink.canvas().SetBackground(BackgroundMode::kTransparent, ctx.params().background);
  DrawLabelText(ctx, FormatDecimals(area, 2), x, y, HAnchor::kRight, VAnchor::kTop);
}

}  // namespace

std::vector<bool> CurveJoins(std::span<const float> xs, std::span<const float> ys, double t,
                             bool full_tests) {
  const std::size_t n = std::min(xs.size(), ys.size());
  std::vector<bool> joins(n, false);
  double pdx = 0, pdy = 0;  // the difference of the join before
  for (std::size_t i = 1; i < n; ++i) {
    const double x = xs[i], y = ys[i], xp = xs[i - 1], yp = ys[i - 1];
    if (OffCurve(x) || OffCurve(xp) || OffCurve(pdx)) continue;
    const double dx = x - xp, dy = y - yp;
    const bool jump = dx * pdx <= -t || dy * pdy <= -t;
    pdx = dx;
    pdy = dy;
    if (jump || OffCurve(y) || OffCurve(yp)) continue;
    if (full_tests && std::fabs(dx) >= kFlatDifference && std::fabs(dy) >= kFlatDifference &&
        (std::fabs(dx / dy) > 100 * t || std::fabs(dy / dx) > 100 * t))
      continue;
    joins[i] = true;
  }
  return joins;
}

void DrawFunctionFigure(FigureInk& ink, const FigureRecord& record) {
  const FunctionRecord* f = record.function();
  if (f == nullptr) return;
  const FigureOwned& owned = record.owned;
  DrawLocus(ink, *f, owned);
  const std::size_t stored = std::min(owned.SampleX.size(), owned.SampleY.size());
  const std::size_t n =
      f->SampleLast < 0
          ? 0
          : std::min<std::size_t>(stored, static_cast<std::size_t>(f->SampleLast) + 1);
  if (n == 0) return;
  const std::span<const float> xs(owned.SampleX.data(), n), ys(owned.SampleY.data(), n);
  ink.NoFill();
  const bool implicit = f->FuncKind == kImplicitCurve;
  const bool region = implicit && f->Mode != kRelationCurve;
  if (region) {
    DrawRegion(ink, *f, xs, ys);
    return;
  }
  if (f->DispL) {
    ink.Pen(f->ColorL.get(), f->SizeL, f->StyleL);
    if (implicit)
      DrawPairs(ink, xs, ys, 0, n, f->SizeL <= 1);
    else
      DrawJoined(ink, xs, ys, true);
  }
  if (f->DispP) DrawSamplePoints(ink, xs, ys, f->ColorP.get(), f->SizeP);
}

}  // namespace qzarn::render
