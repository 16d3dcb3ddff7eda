// Polygons and areas between curves: a filled shape, its outline and the
// label with the name and the enclosed area.

#include <cmath>
#include <vector>

#include "platform/text_encoding.h"
#include "render/figure_drawing_kinds.h"
#include "render/figure_drawing_labels.h"
#include "render/figure_drawing_primitives.h"

namespace qzarn::render {

namespace {

// Corners this far from the surface origin cancel the whole shape.
constexpr double kMaxCornerPixel = 20000;

bool NearCorner(const PointF& c) {
  return std::fabs(c.x) < kMaxCornerPixel && std::fabs(c.y) < kMaxCornerPixel;
}

// "name=area" (or one of them) at the label position the engine computed;
// an area of 20000 or more (1e15: not computed) shows no label at all.
void DrawAreaLabel(FigureInk& ink, bool show_name, bool show_area, std::string_view name_cp932,
                   double area, int decimals, const LabelFont& record_font, double x, double y) {
  if (!(show_name || show_area) || !(std::fabs(area) < 20000)) return;
  const std::string name = show_name ? cp932_to_utf8(name_cp932) : std::string();
  const std::string value = show_area ? FormatDecimals(area, decimals) : std::string();
  const LabelFontSpec font = FontOf(record_font);
  const int size = RoundToInt(std::sqrt(ink.ctx().z()) * font.size * 0.8);
  DrawNamedValueLabel(ink, name, value, font, size, x, y);
}

// The shape of an area in device pixels, closed, or nothing when a corner is
// too far away.
std::vector<PointF> MensekiOutline(const DrawContext& ctx, const PointRecord& m,
                                   const FigureOwned& owned) {
  // Entries come in pairs (x, F(x)), (x, G(x)), one pair per node. A count
  // beyond the lists is cut to the whole pairs both of them hold.
  std::size_t n = m.HatchCount < 0 ? 0 : static_cast<std::size_t>(m.HatchCount.get());
  n = std::min({n, owned.HatchX.size(), owned.HatchY.size()});
  n -= n % 2;
  if (n < 2) return {};
  std::vector<PointF> corners;
  corners.reserve(n + 1);
  auto add = [&](std::size_t i) {
    corners.push_back(ctx.ToDevice(owned.HatchX[i], owned.HatchY[i]));
    return NearCorner(corners.back());
  };
  // Along the first graph, back along the second, and closed at the start.
  for (std::size_t i = 0; i < n; i += 2) {
    if (!add(i)) return {};
  }
  for (std::size_t k = n; k >= 2; k -= 2) {
    if (!add(k - 1)) return {};
  }
  add(0);
  return corners;
}

}  // namespace

std::vector<PlanePoint> UsedVertices(const FigureTable& table, const PolygonRecord& p) {
  std::vector<PlanePoint> vertices;
  for (int i = 0; i < kPolygonVertices; ++i) {
    const std::int32_t ref = p.Refs[i];
    if (ref < 0) continue;
    const FigureRecord* r = table.record(ReferenceSlot(ref));
    if (r == nullptr || r->empty()) continue;
    vertices.push_back({p.VX[i].get(), p.VY[i].get()});
  }
  return vertices;
}

void DrawPolyFigure(FigureInk& ink, const FigureTable& table, const FigureRecord& record) {
  const PolygonRecord* p = record.polygon();
  if (p == nullptr || !ConditionAllows(p->Boolean, p->ConditionValue)) return;
  DrawContext& ctx = ink.ctx();
  std::vector<PlanePoint> corners = UsedVertices(table, *p);
  if (corners.size() < 2) return;
  for (const PlanePoint& c : corners) {
    if (!NearCorner(ctx.ToDevice(c.x, c.y))) return;
  }
  corners.push_back(corners.front());
  // The pattern alone does not fill: new polygons carry a pattern with filling off.
  if (p->DispB && p->StyleB != 0 && !ink.erasable()) {
    ink.Fill(p->ColorB.get(), p->StyleB);
    ink.SolidPen(ctx.params().background, 1);
    ink.canvas().SetBackground(BackgroundMode::kTransparent, ctx.params().background);
    std::vector<PointF> device;
    for (const PlanePoint& c : corners)
      device.push_back(ctx.ToDevice(c.x, c.y));
    ink.canvas().DrawPolygon(device);
    ink.NoFill();
  }
  if (p->DispL || ink.selected()) {
    ink.Pen(p->LineColor.get(), p->SizeL, p->StyleL);
    LinePainter lines = ctx.Lines();
    lines.BeginDash();
    lines.BeginRun();
    for (std::size_t i = 0; i + 1 < corners.size(); ++i)
      lines.DrawSegment(corners[i].x, corners[i].y, corners[i + 1].x, corners[i + 1].y);
    lines.EndRun();
  }
  DrawAreaLabel(ink, p->DispP, p->DispZ, p->Name.view(), p->SS, p->Dir, p->Font, p->LabelX,
                p->LabelY);
}

void DrawMensekiFigure(FigureInk& ink, const FigureRecord& record) {
  const PointRecord* m = record.point();
  if (m == nullptr || !ConditionAllows(m->Boolean, m->ConditionValue)) return;
  DrawContext& ctx = ink.ctx();
  // The point layout read as an area: Coordinates is the hatching switch,
  // TrackThick its pattern, RimRadius its pen width, DispMark the value
  // switch, Direction the number of decimals and ArcRadius the area.
  const bool hatching = m->Coordinates;
  const int pattern = m->TrackThick;
  if (hatching) {
    const std::vector<PointF> corners = MensekiOutline(ctx, *m, record.owned);
    if (!corners.empty()) {
      ink.Pen(m->Color.get(), m->RimRadius, 0);
      if (pattern != 0 && !ink.erasable()) {
        ink.Fill(m->Color.get(), pattern);
        ink.canvas().SetBackground(BackgroundMode::kTransparent, ctx.params().background);
        ink.canvas().DrawPolygon(corners);
        ink.NoFill();
      } else {
        ink.canvas().DrawPolyline(corners);
      }
    }
  }
  DrawAreaLabel(ink, m->DispName, m->DispMark, m->Name.view(), m->ArcRadius, m->Direction, m->Font,
                m->LabelX, m->LabelY);
}

}  // namespace qzarn::render
