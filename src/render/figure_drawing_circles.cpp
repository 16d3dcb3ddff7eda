// Circles (with their fill and locus) and angle measure marks.

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/text_encoding.h"
#include "render/figure_drawing_kinds.h"
#include "render/figure_drawing_labels.h"
#include "render/figure_drawing_primitives.h"

namespace qzarn::render {

namespace {

constexpr int kCircleThreePoints = 3;
constexpr int kMaxSectorCorners = 721;

double PixelRadius(const DrawContext& ctx, double r) {
  return ctx.scale() * r * ctx.z();
}

void DrawCircleLocus(FigureInk& ink, const CircleRecord& c) {
  const int n = LocusEntries(c.TrackCount);
  if (!c.PaintFlag || n == 0) return;
  DrawContext& ctx = ink.ctx();
  if (c.DispL) {
    ink.Pen(c.PaintColor.get(), c.TrackRadius, 0);
    ink.NoFill();
    LinePainter lines = ctx.Lines();
    lines.BeginDash();
    for (int i = 0; i < n; ++i)
      DrawCircle(ctx, lines, PixelRadius(ctx, c.TrackR[i].get()), c.TrackCX[i].get(),
                 c.TrackCY[i].get());
  }
  if (c.DispB) {
    ink.Fill(c.PaintColor.get(), 1);
    ink.SolidPen(c.PaintColor.get(), 1);
    const int r = ink.MarkRadius(c.SizeP);
    for (int i = 0; i < n; ++i)
      DrawDot(ctx, r, c.TrackCX[i].get(), c.TrackCY[i].get());
  }
}

}  // namespace

void DrawCircleFigure(FigureInk& ink, const FigureRecord& record) {
  const CircleRecord* c = record.circle();
  if (c == nullptr || !ConditionAllows(c->Boolean, c->ConditionValue)) return;
  DrawContext& ctx = ink.ctx();
  DrawCircleLocus(ink, *c);
  const double x = c->X0, y = c->Y0, r = c->RadiusValue;
  if (!Defined(x) || !Defined(y) || !Defined(r)) return;
  const double rho = PixelRadius(ctx, r);
  if (c->DispL) {
    if (c->StyleB != 0 && !ink.erasable()) {
      ink.NoPen();
      ink.Fill(c->DomainColor.get(), c->StyleB);
      ink.canvas().SetBackground(BackgroundMode::kTransparent, ctx.params().background);
      DrawDot(ctx, rho, x, y);
    }
    ink.Pen(c->RimColor.get(), c->SizeL, c->StyleL);
    ink.NoFill();
    LinePainter lines = ctx.Lines();
    lines.BeginDash();
    DrawCircle(ctx, lines, rho, x, y);
  }
  if (std::fabs(r) < 1e-10 || c->DispB || ink.selected()) {
    ink.Fill(c->CenterColor.get(), 1);
    ink.SolidPen(c->CenterColor.get(), 1);
    DrawDot(ctx, ink.MarkRadius(c->SizeP), x, y);
  }
  const bool own_centre = c->Mode == kCircleThreePoints || c->Ref0 < 0;
  if (own_centre && c->DispC && (!c->Name.empty() || c->DispZ)) {
    DrawPointLabel(ink, cp932_to_utf8(c->Name.view()), c->Dir, c->DispZ, FontOf(c->Font), c->SizeP,
                   1, x, y);
  }
}

void DrawAngle2Figure(FigureInk& ink, const FigureRecord& record) {
  const PointRecord* p = record.point();
  if (p == nullptr || !ConditionAllows(p->Boolean, p->ConditionValue)) return;
  DrawContext& ctx = ink.ctx();
  const double vx = p->X, vy = p->Y, alpha = p->LabelX, beta = p->LabelY;
  const double radius = p->ArcRadius;
  if (!Defined(vx) || !Defined(vy) || !Defined(alpha) || !Defined(beta) || !Defined(radius)) return;
  const double sweep = beta - alpha;
  const double mid = (alpha + beta) / 2 * std::numbers::pi / 180;
  if (p->DispMark || ink.selected()) {
    ink.Pen(p->Color.get(), p->RimRadius, p->Ref3);
    ink.Fill(p->RimColor.get(), 1);
    const PointF v = ctx.ToDevice(vx, vy);
    const double rho = radius * ctx.scale() * ctx.z() * ctx.print_scale();
    auto at = [&](double degrees, double scale) {
      const double a = degrees * std::numbers::pi / 180;
      return PointF{v.x + scale * rho * std::cos(a), v.y - scale * rho * std::sin(a)};
    };
    std::vector<PointF> corners;
    const double n = RoundHalfEven(sweep);
    if (std::fabs(sweep - 90) < 1e-4) {
      corners = {at(alpha, 1), at((alpha + beta) / 2, std::sqrt(2.0)), at(beta, 1), v};
    } else if (n >= 1 && n < kMaxSectorCorners) {
      const int steps = static_cast<int>(n);
      for (int i = 0; i <= steps; ++i)
        corners.push_back(at(alpha + sweep * i / steps, 1));
      corners.push_back(v);
    }
    bool near = !corners.empty();
    for (const PointF& c : corners)
      near = near && std::fabs(c.x) < kMaxPixel && std::fabs(c.y) < kMaxPixel;
    if (near) ink.canvas().DrawPolygon(corners);
  }
  if (p->DispName) {
    const LabelFontSpec font = FontOf(p->Font);
    const bool sjis = font.charset == 128;
    std::string text;
    if (ctx.params().axes.kind == CoordinateKind::kRadians)
      text = FormatDecimals(std::fabs(sweep) / 180, p->LimitS) + (sjis ? "\u03C0" : "pi");
    else
      text = FormatDecimals(std::fabs(sweep), p->LimitS) + (sjis ? "\uFF9F" : "\u00B0");
    const int size = RoundToInt(std::sqrt(ctx.z()) * font.size);
    DrawValueLabel(ink, text, font, size, vx + radius * std::cos(mid), vy + radius * std::sin(mid),
                   false);
  }
}

}  // namespace qzarn::render
