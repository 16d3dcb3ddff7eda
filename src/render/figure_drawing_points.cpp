// Point-like figures: points, dividing points, intersections of lines, feet of
// perpendiculars, intersections of functions, and the four points of Cross3.

#include <cmath>

#include "platform/text_encoding.h"
#include "render/figure_drawing_kinds.h"
#include "render/figure_drawing_labels.h"
#include "render/figure_drawing_primitives.h"

namespace qzarn::render {

namespace {

struct PointLocus {
  int count;  // TrackCount
  const F32* xs;
  const F32* ys;
  int radius;  // TrackRadius
  int thick;   // TrackThick
  Colour colour;
  bool connect;
  bool dots_only;
};

// The remembered positions of a point: dots, and with connection lines between
// consecutive entries (not across the newest entry once the ring has wrapped).
void DrawPointLocus(FigureInk& ink, const PointLocus& locus) {
  const int n = LocusEntries(locus.count);
  if (n == 0) return;
  DrawContext& ctx = ink.ctx();
  ink.Fill(locus.colour, 1);
  ink.SolidPen(locus.colour, locus.thick);
  const bool connect = locus.connect && !locus.dots_only;
  if (!(locus.radius == 1 && connect)) {
    const int r = ink.MarkRadius(locus.radius);
    for (int i = 0; i < n; ++i)
      DrawDot(ctx, r, locus.xs[i].get(), locus.ys[i].get());
  }
  if (!connect) return;
  LinePainter lines = ctx.Lines();
  lines.BeginDash(true);
  const int newest = locus.count >= kLocusRing ? locus.count % kLocusRing : -1;
  for (int i = 0; i + 1 < n; ++i) {
    if (i == newest) continue;
    const double x0 = locus.xs[i].get(), y0 = locus.ys[i].get();
    const double x1 = locus.xs[i + 1].get(), y1 = locus.ys[i + 1].get();
    if (!OnPlane(x0) || !OnPlane(y0) || !OnPlane(x1) || !OnPlane(y1)) continue;
    lines.DrawPlainSegment(x0, y0, x1, y1);
  }
}

// The mark itself: brush in the fill colour when painted, rim pen (none at width 0).
void DrawMark(FigureInk& ink, bool paint, Colour fill, Colour rim, int rim_width, int size,
              double x, double y) {
  if (paint)
    ink.Fill(fill, 1);
  else
    ink.NoFill();
  if (rim_width > 0)
    ink.SolidPen(rim, rim_width);
  else
    ink.NoPen();
  DrawDot(ink.ctx(), ink.MarkRadius(size), x, y);
}

bool HasFigure(const FigureTable& table, std::int32_t ref) {
  const FigureRecord* r = table.record(ReferenceSlot(ref));
  return ref >= 0 && r != nullptr && !r->empty();
}

}  // namespace

void DrawPointFigure(FigureInk& ink, const FigureTable& table, const FigureRecord& record) {
  const PointRecord* p = record.point();
  if (p == nullptr || !ConditionAllows(p->Boolean, p->ConditionValue)) return;
  const bool bunten = record.type() == kBuntenFigure;
  if (p->Track) {
    DrawPointLocus(ink, {p->TrackCount, p->TrackX, p->TrackY, p->TrackRadius, p->TrackThick,
                         p->TrackColor.get(), static_cast<bool>(p->TrackConnect), bunten});
  }
  if (!p->DispMark) return;
  if (bunten && (!HasFigure(table, p->Ref0) || !HasFigure(table, p->Ref1))) return;
  const double x = p->X, y = p->Y;
  DrawMark(ink, p->Paint, p->Color.get(), p->RimColor.get(), p->RimRadius, p->Radius, x, y);
  if (bunten && p->RatioDegenerate != 0 && Defined(x) && Defined(y)) {
    // A ratio with m + n = 0 shows the midpoint; the red cross says so.
    ink.SolidPen(MakeColour(255, 0, 0), 2);
    LinePainter lines = ink.ctx().Lines();
    lines.BeginDash(true);
    lines.DrawPlainSegment(x - 0.3, y - 0.3, x + 0.3, y + 0.3);
    lines.DrawPlainSegment(x - 0.3, y + 0.3, x + 0.3, y - 0.3);
  }
  const std::string name = p->DispName ? cp932_to_utf8(p->Name.view()) : std::string();
  DrawPointLabel(ink, name, p->Direction, p->Coordinates, FontOf(p->Font), p->Radius, p->RimRadius,
                 x, y);
}

void DrawCross3Figure(FigureInk& ink, const FigureRecord& record) {
  const MultiPointRecord* m = record.multi_point();
  if (m == nullptr || !ConditionAllows(m->Boolean, m->ConditionValue)) return;
  if (m->Track) {
    for (int i = 0; i < kCross3Points; ++i) {
      DrawPointLocus(ink,
                     {m->TrackCount[i], m->TrackX[i], m->TrackY[i], m->TrackRadius, m->TrackThick,
                      m->TrackColor.get(), static_cast<bool>(m->TrackConnect), false});
    }
  }
  if (!m->DispMark) return;
  const LabelFontSpec font = FontOf(m->Font);
  for (int i = 0; i < kCross3Points; ++i) {
    const double x = m->PX[i], y = m->PY[i];
    if (!Defined(x) || !Defined(y)) continue;
    DrawMark(ink, m->Paint, m->Color.get(), m->RimColor.get(), m->RimRadius, m->Radius, x, y);
    // A double intersection is labelled once.
    if (i > 0 && x == m->PX[i - 1].get() && y == m->PY[i - 1].get()) continue;
    const std::string name = m->DispName ? cp932_to_utf8(m->Names[i].view()) : std::string();
    DrawPointLabel(ink, name, m->Direction, m->Coordinates, font, m->Radius, m->RimRadius, x, y);
  }
}

}  // namespace qzarn::render
