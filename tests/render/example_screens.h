#pragma once
// Example screens built in code, one per figure family that can be drawn: the
// sources of examples/*.qzl, of the reference renders and of the drawing
// benchmark. Every figure carries both its definition (expression texts and
// references) and the values the engine computes from it, so the pictures are
// the same with or without a recompute pass.

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "document/screen.h"
#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"

namespace qzarn::examples {

inline std::string Num(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

// One recompute pass over the screen, as after loading a document.
inline void RecomputeExample(Screen& screen) {
  ExprEngine expr;
  FigureExpressions expressions(expr);
  SilentEngineUi ui;
  FigureEngine engine(expressions, ui);
  engine.RecomputeScreen(screen);
}

class ScreenBuilder {
 public:
  explicit ScreenBuilder(int width = 640, int height = 480) {
    NewScreenDefaults d;
    d.InitScreenX = width;
    d.InitScreenY = height;
    d.InitGridColor = 0xC0C0C0;
    ScreenTitleCounter titles;
    screen_ = Screen::Create(d, titles);
    // The IPA substitute of the usual Japanese UI font.
    screen_->Font.FontName = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
  }

  Screen& screen() { return *screen_; }
  std::unique_ptr<Screen> Take() { return std::move(screen_); }

  int Add(FigureRecord record) {
    const int slot = next_++;
    PlaceFigure(screen_->Figures, slot, std::move(record));
    return slot;
  }

  static void LabelFontOf(LabelFont& f, int size = 16, std::uint32_t colour = 0) {
    f.FontName = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
    f.FontSize = size;
    f.FontColor = colour;
    f.FontSet = 128;
  }

  int Point(const char* name, double x, double y, std::uint32_t colour = 0x000000,
            int direction = 45, bool coordinates = false) {
    FigureRecord r = FigureRecord::Blank(kPointFigure);
    PointRecord& p = *r.point();
    SetPointLook(p, name, colour, direction, coordinates);
    p.FX = Num(x);
    p.FY = Num(y);
    p.X = x;
    p.Y = y;
    p.Ref0 = -1;
    return Add(std::move(r));
  }

  PointRecord& PointAt(int slot) { return *screen_->Figures.record(slot)->point(); }
  LineRecord& LineAt(int slot) { return *screen_->Figures.record(slot)->line(); }
  CircleRecord& CircleAt(int slot) { return *screen_->Figures.record(slot)->circle(); }

  // Dividing point of a and b in the ratio m : n.
  int Bunten(const char* name, int a, int b, double m, double n) {
    FigureRecord r = FigureRecord::Blank(kBuntenFigure);
    PointRecord& p = *r.point();
    SetPointLook(p, name, 0x008000, 90, false);
    const PointRecord& pa = PointAt(a);
    const PointRecord& pb = PointAt(b);
    p.FX = Num(m);
    p.FY = Num(n);
    p.Ref0 = a;
    p.Ref1 = b;
    if (std::fabs(m + n) < 1e-10) {
      p.RatioDegenerate = 1;
      p.X = (pa.X + pb.X) / 2;
      p.Y = (pa.Y + pb.Y) / 2;
    } else {
      p.X = (n * pa.X + m * pb.X) / (m + n);
      p.Y = (n * pa.Y + m * pb.Y) / (m + n);
    }
    return Add(std::move(r));
  }

  // Line through two point figures.
  int Line(int a, int b, std::uint32_t colour, int style = 0, bool segment = false, int arrows = 0,
           int width = 2) {
    FigureRecord r = FigureRecord::Blank(kLineFigure);
    LineRecord& l = *r.line();
    SetLineLook(l, colour, style, width);
    l.DispB = segment;
    l.YaTyp = arrows;
    const PointRecord& pa = PointAt(a);
    const PointRecord& pb = PointAt(b);
    l.Ref0 = a;
    l.Ref1 = b;
    l.X0 = pa.X;
    l.Y0 = pa.Y;
    l.X1 = pb.X;
    l.Y1 = pb.Y;
    return Add(std::move(r));
  }

  // Intersection of two line figures.
  int Cross(const char* name, int la, int lb) {
    const LineRecord& a = LineAt(la);
    const LineRecord& b = LineAt(lb);
    const double dxa = a.X1 - a.X0, dya = a.Y1 - a.Y0, dxb = b.X1 - b.X0, dyb = b.Y1 - b.Y0;
    const double det = dxa * dyb - dya * dxb;
    FigureRecord r = FigureRecord::Blank(kCrossFigure);
    PointRecord& p = *r.point();
    SetPointLook(p, name, 0x0000FF, 45, false);
    p.Ref0 = la;
    p.Ref1 = lb;
    if (std::fabs(det) <= 1e-10) {
      p.X = 20000;
      p.Y = 20000;
    } else {
      const double fa = dya * a.X0 - dxa * a.Y0, fb = dyb * b.X0 - dxb * b.Y0;
      p.X = (dxa * fb - dxb * fa) / det;
      p.Y = (dya * fb - dyb * fa) / det;
    }
    return Add(std::move(r));
  }

  // Foot of the perpendicular from a point to a line figure.
  int Suisen(const char* name, int point, int line) {
    const PointRecord& p0 = PointAt(point);
    const LineRecord& l = LineAt(line);
    const double dx = l.X1 - l.X0, dy = l.Y1 - l.Y0, q = dx * dx + dy * dy;
    const double t = ((p0.X - l.X0) * dx + (p0.Y - l.Y0) * dy) / q;
    FigureRecord r = FigureRecord::Blank(kSuisenFigure);
    PointRecord& p = *r.point();
    SetPointLook(p, name, 0x800080, 315, false);
    p.Ref0 = point;
    p.Ref1 = line;
    p.X = l.X0 + t * dx;
    p.Y = l.Y0 + t * dy;
    return Add(std::move(r));
  }

  int Circle(double cx, double cy, double radius, std::uint32_t colour, int style = 0, int fill = 0,
             std::uint32_t fill_colour = 0x808080, int width = 2) {
    FigureRecord r = FigureRecord::Blank(kCircleFigure);
    CircleRecord& c = *r.circle();
    c.Mode = 0;
    c.FX0 = Num(cx);
    c.FY0 = Num(cy);
    c.FX1 = Num(radius);
    c.X0 = cx;
    c.Y0 = cy;
    c.RadiusValue = radius;
    c.Ref0 = -1;
    c.Ref1 = -1;
    c.Ref2 = -1;
    c.RimColor = colour;
    c.CenterColor = colour;
    c.DomainColor = fill_colour;
    c.DispL = true;
    c.DispB = true;
    c.SizeL = width;
    c.SizeP = 3;
    c.StyleL = style;
    c.StyleB = fill;
    LabelFontOf(c.Font);
    return Add(std::move(r));
  }

  // Parabola by vertex and a point on it.
  int Parabola(double h, double k, double x1, double y1, std::uint32_t colour, int style = 0) {
    FigureRecord r = FigureRecord::Blank(kParabolaFigure);
    LineRecord& l = *r.line();
    SetLineLook(l, colour, style, 2);
    l.FX0 = Num(h);
    l.FY0 = Num(k);
    l.FX1 = Num(x1);
    l.FY1 = Num(y1);
    l.X0 = h;
    l.Y0 = k;
    l.X1 = x1;
    l.Y1 = y1;
    l.Ref0 = -1;
    l.Ref1 = -1;
    return Add(std::move(r));
  }

  // Measured angle AOB (counter-clockwise from OA to OB).
  int Angle2(int a, int o, int b, std::uint32_t rim, std::uint32_t fill, double radius = 1) {
    const PointRecord& pa = PointAt(a);
    const PointRecord& po = PointAt(o);
    const PointRecord& pb = PointAt(b);
    double alpha = Direction(pa.X - po.X, pa.Y - po.Y);
    double gamma = Direction(pb.X - po.X, pb.Y - po.Y);
    if (alpha > gamma) gamma += 360;
    FigureRecord r = FigureRecord::Blank(kAngle2Figure);
    PointRecord& p = *r.point();
    p.Ref0 = a;
    p.Ref1 = o;
    p.Ref2 = b;
    p.Ref3 = 0;  // outline style
    p.X = po.X;
    p.Y = po.Y;
    p.LabelX = alpha;
    p.LabelY = gamma;
    p.ArcRadius = radius;
    p.Color = rim;
    p.RimColor = fill;
    p.RimRadius = 1;
    p.Radius = 8;
    p.DispMark = true;
    p.DispName = true;
    p.LimitS = 1;
    LabelFontOf(p.Font, 14);
    return Add(std::move(r));
  }

  int Poly(const std::vector<int>& vertices, std::uint32_t line, std::uint32_t fill, int pattern,
           bool show_area) {
    FigureRecord r = FigureRecord::Blank(kPolyFigure);
    PolygonRecord& p = *r.polygon();
    p.Mode = -1;
    p.Name = "S";
    p.DispL = true;
    p.DispB = pattern != 0;
    p.DispP = show_area;
    p.DispZ = show_area;
    p.LineColor = line;
    p.SizeL = 2;
    p.ColorB = fill;
    p.StyleB = pattern;
    p.Dir = 2;
    SetVertices(p, vertices);
    double sx = 0, sy = 0, area = 0;
    const std::size_t n = vertices.size();
    for (std::size_t i = 0; i < n && i < kPolygonVertices; ++i) {
      const PointRecord& v = PointAt(vertices[i]);
      const PointRecord& w = PointAt(vertices[(i + 1) % n]);
      sx += v.X;
      sy += v.Y;
      area += v.X * w.Y - w.X * v.Y;
    }
    p.LabelX = sx / static_cast<double>(n);
    p.LabelY = sy / static_cast<double>(n);
    p.SS = std::fabs(area) / 2;
    LabelFontOf(p.Font, 16, 0x000080);
    return Add(std::move(r));
  }

  // Explicit function y = f(x) sampled over [-13, 13].
  int Function(const char* text, std::uint32_t colour, int width = 2) {
    FigureRecord r = FigureRecord::Blank(kFunctionFigure);
    FunctionRecord& f = *r.function();
    f.FuncKind = 1;
    f.FuncX = text;
    f.AreaSx1 = "-13";
    f.AreaEx1 = "13";
    f.AreaWd1 = "0.05";
    f.Seido = 1e-4;
    f.DispL = true;
    f.SizeL = width;
    f.SizeP = 2;
    f.ColorL = colour;
    f.ColorP = colour;
    LabelFontOf(f.Font);
    return Add(std::move(r));
  }

  // Area between two graphs (-1: the x axis) over [a, b], hatched with a
  // pattern, its value shown.
  int Area(const char* name, int f, int g, double a, double b, std::uint32_t colour, int pattern,
           int nodes = 50) {
    FigureRecord r = FigureRecord::Blank(kMensekiFigure);
    PointRecord& m = *r.point();
    m.Name = name;
    m.Ref0 = f;
    m.Ref1 = g;
    m.Ref2 = -1;
    m.Ref3 = -1;
    m.FX = Num(a);
    m.FY = Num(b);
    m.Radius = nodes;
    m.Color = colour;
    m.RimColor = colour;
    m.RimRadius = 1;
    m.Direction = 2;         // decimals
    m.DispName = true;       // name
    m.DispMark = true;       // value
    m.Coordinates = true;    // hatching
    m.TrackThick = pattern;  // hatch pattern
    m.TrackColor = 0x0000FF;
    m.ArcRadius = 1e15;  // until computed
    m.HatchCount = -1;
    LabelFontOf(m.Font, 18, 0x000080);
    return Add(std::move(r));
  }

  // Intersection of two graphs inside [a, b].
  int Cross2(const char* name, int f, int g, double a, double b, int direction) {
    FigureRecord r = FigureRecord::Blank(kCross2Figure);
    PointRecord& p = *r.point();
    SetPointLook(p, name, 0x0000C0, direction, true);
    p.Ref0 = f;
    p.Ref1 = g;
    p.FX = Num(a);
    p.FY = Num(b);
    p.X = 1e15;
    p.Y = 1e15;
    return Add(std::move(r));
  }

  // Tangent to a graph at x, with its slope shown.
  int Sessen(int f, double x, std::uint32_t colour, int style = 0) {
    FigureRecord r = FigureRecord::Blank(kSessenFigure);
    LineRecord& l = *r.line();
    SetLineLook(l, colour, style, 2);
    l.Ref0 = f;
    l.FX0 = Num(x);
    l.DispN = true;
    l.DispP = true;
    l.X0 = l.Y0 = l.X1 = l.Y1 = 1e15;  // until computed
    return Add(std::move(r));
  }

  // Spline through point figures, open or closed.
  int Spline(const std::vector<int>& vertices, std::uint32_t colour, int style, bool closed,
             int width = 2) {
    FigureRecord r = FigureRecord::Blank(kSplineFigure);
    PolygonRecord& p = *r.polygon();
    p.Mode = -1;
    p.DispL = true;
    p.DispP = closed;
    p.LineColor = colour;
    p.SizeL = width;
    p.StyleL = style;
    p.SS = 0.01;
    p.Dir = 1;
    SetVertices(p, vertices);
    LabelFontOf(p.Font);
    return Add(std::move(r));
  }

  // The references of a polygon or spline and the vertices the engine copies.
  void SetVertices(PolygonRecord& p, const std::vector<int>& vertices) {
    for (int i = 0; i < kPolygonVertices; ++i)
      p.Refs[i] = -1;
    for (std::size_t i = 0; i < vertices.size() && i < kPolygonVertices; ++i) {
      const PointRecord& v = PointAt(vertices[i]);
      p.Refs[i] = vertices[i];
      p.VX[i] = v.X;
      p.VY[i] = v.Y;
    }
  }

  static double Direction(double dx, double dy) {
    if (dx == 0 && dy == 0) return 0;
    double a = std::atan2(dy, dx) * 180 / std::numbers::pi;
    if (a < 0) a += 360;
    return a;
  }

 protected:
  static void SetPointLook(PointRecord& p, const char* name, std::uint32_t colour, int direction,
                           bool coordinates) {
    p.Name = name;
    p.Radius = 3;
    p.RimRadius = 2;
    p.Color = colour;
    p.RimColor = colour;
    p.Paint = true;
    p.Direction = direction;
    p.DispName = true;
    p.DispMark = true;
    p.Coordinates = coordinates;
    p.Ref0 = -1;
    p.Ref1 = -1;
    p.Ref2 = -1;
    p.Ref3 = -1;
    p.LimitS = 2;
    LabelFontOf(p.Font);
  }

  static void SetLineLook(LineRecord& l, std::uint32_t colour, int style, int width) {
    l.LineColor = colour;
    l.PointColor = colour;
    l.pType = true;
    l.DispL = true;
    l.SizeL = width;
    l.SizeP = 3;
    l.StyleL = style;
    l.YaLng = 0.5;
    l.YaAng = 30;
    l.LimitS = 2;
    l.Ref0 = -1;
    l.Ref1 = -1;
    l.Ref2 = -1;
    LabelFontOf(l.Font);
  }

 private:
  std::unique_ptr<Screen> screen_;
  int next_ = 0;
};

// ---- The example screens ---------------------------------------------------------------

inline std::unique_ptr<Screen> LinesExample() {
  ScreenBuilder b;
  const int a = b.Point("A", -8, -4, 0, 225);
  const int c = b.Point("B", 6, 5, 0, 45);
  const int d = b.Point("C", -9, 6, 0, 135);
  const int e = b.Point("D", 9, -6, 0, 315);
  const int f = b.Point("E", -6, -8, 0, 225);
  const int g = b.Point("F", 4, -2, 0, 45);
  const int line = b.Line(a, c, 0xC00000);                // whole line, solid
  const int seg = b.Line(d, e, 0x0080FF, 1, true, 3, 2);  // dashed segment, two heads
  b.Line(f, g, 0x008000, 0, true, 2, 3);                  // solid arrow
  b.LineAt(b.Line(b.Point("G", -10, 2), b.Point("H", -2, 8), 0x800080, 3, true)).DispN = true;
  b.Line(b.Point("K", 2, 8), b.Point("L", 11, 1), 0x404040, 4, false, 0, 1);  // dash-dot-dot
  b.Cross("P", line, seg);
  b.Suisen("Q", c, seg);
  return b.Take();
}

inline std::unique_ptr<Screen> CirclesExample() {
  ScreenBuilder b;
  for (int pattern = 1; pattern <= 7; ++pattern) {
    const double x = -10.5 + (pattern - 1) * 3.5;
    b.Circle(x, 5, 1.5, 0x000000, 0, pattern, 0x2060C0);
  }
  b.Circle(-6, -3.5, 4, 0xC00000, 1);                 // dashed
  b.Circle(3, -3.5, 3, 0x008000, 2);                  // dotted
  b.Circle(9, -4, 2.5, 0x800080, 3, 0, 0x808080, 4);  // wide dash-dot
  b.Circle(0, 0, 0, 0x000000);                        // a circle of radius 0 shows its centre
  return b.Take();
}

inline std::unique_ptr<Screen> ParabolasExample() {
  ScreenBuilder b;
  b.Parabola(1, 2, 2, 3, 0xC00000);                              // y = x^2 - 2x + 3
  b.Parabola(-2, 4, 0, 2, 0x0080FF, 1);                          // y = -(x+2)^2 / 2 + 4, dashed
  b.Parabola(0, -50, 1, -49, 0x008000, 2);                       // vertex far below the view
  b.LineAt(b.Parabola(6, -6, 7, -5.75, 0x800080)).DispP = true;  // flat, vertex marked
  return b.Take();
}

inline std::unique_ptr<Screen> PointsExample() {
  ScreenBuilder b;
  const int o = b.Point("O1", 0, 0, 0, 225);
  const int a = b.Point("A", 6, 0, 0xC00000, 0, true);
  const int c = b.Point("B", 3, 5, 0x0000C0, 90, true);
  const int d = b.Point("C", -5, 3, 0x008000, 135);
  b.Point("D", -5, -4, 0x800080, 270, true);
  b.Bunten("M", a, c, 1, 1);
  b.Bunten("N", d, o, 1, -1);  // m + n = 0: shown at the midpoint with a warning cross
  b.Angle2(a, o, c, 0x000000, 0xC0C0C0, 1.5);
  const int e = b.Point("E", -8, -6, 0, 180);
  const int f = b.Point("F", -4, -6, 0, 0);
  const int g = b.Point("G", -4, -2, 0, 90);
  b.Angle2(e, g, f, 0x0000C0, 0xFFC0C0, 1);    // 45 degrees
  b.Angle2(g, f, e, 0x0000C0, 0xC0FFC0, 0.8);  // a right angle: a square mark
  for (int i = 0; i < 8; ++i) {
    const double t = i * std::numbers::pi / 4;
    const std::string name(1, static_cast<char>('a' + i));
    b.Point(name.c_str(), 9 + 2 * std::cos(t), 5 + 2 * std::sin(t), 0x404040, i * 45);
  }
  return b.Take();
}

inline std::unique_ptr<Screen> PolygonExample() {
  ScreenBuilder b;
  const int p1 = b.Point("A", -6, -4);
  const int p2 = b.Point("B", 5, -5);
  const int p3 = b.Point("C", 7, 3);
  const int p4 = b.Point("D", -2, 6);
  b.Poly({p1, p2, p3, p4}, 0x000080, 0x4080FF, 4, true);
  const int q1 = b.Point("E", -11, 6);
  const int q2 = b.Point("F", -8, 8);
  const int q3 = b.Point("G", -9, 3);
  b.Poly({q1, q2, q3}, 0x008000, 0x00C000, 1, false);
  return b.Take();
}

inline std::unique_ptr<Screen> SplinesExample() {
  ScreenBuilder b;
  // An open curve through a zigzag, and the same points joined dashed.
  const int a = b.Point("A", -11, -6, 0, 270);
  const int c = b.Point("B", -8, 2, 0, 90);
  const int d = b.Point("C", -4, -3, 0, 270);
  const int e = b.Point("D", -1, 5, 0, 90);
  b.Spline({a, c, d, e}, 0xC00000, 0, false);
  const int f = b.Point("E", -11, -9, 0, 180);
  const int g = b.Point("F", -6, -7, 0, 270);
  const int h = b.Point("G", -1, -9, 0, 0);
  b.Spline({f, g, h}, 0x0060C0, 1, false);
  // Closed curves: a rounded quadrilateral, dash-dot, and a loop through
  // three points.
  const int p = b.Point("P", 3, 1, 0, 225);
  const int q = b.Point("Q", 10, 0, 0, 315);
  const int r = b.Point("R", 9, 7, 0, 45);
  const int s = b.Point("S", 4, 6, 0, 135);
  b.Spline({p, q, r, s}, 0x008000, 3, true, 3);
  const int u = b.Point("U", 4, -4, 0, 180);
  const int v = b.Point("V", 10, -6, 0, 0);
  const int w = b.Point("W", 7, -9, 0, 270);
  b.Spline({u, v, w}, 0x800080, 0, true);
  return b.Take();
}

// Figures whose values come from curves (areas, intersections and tangents
// of graphs): computed by a recompute pass, as the program does after loading.
inline std::unique_ptr<Screen> AreasExample() {
  ScreenBuilder b;
  const int f = b.Function("x^2/2-2", 0xC00000);  // dark blue
  const int g = b.Function("x+2", 0x008000);
  b.Area("S1", f, g, -2, 4, 0xFF8040, 3);  // 18
  b.Cross2("P", f, g, 0, 6, 0);            // (4, 6)
  b.Sessen(f, -3, 0x0000C0, 1);            // slope -3 at (-3, 2.5)
  const int p1 = b.Point("A", 5, -8.5, 0, 270);
  const int p2 = b.Point("B", 11, -8, 0, 315);
  const int p3 = b.Point("C", 11.5, -3.5, 0, 45);
  const int p4 = b.Point("D", 6.5, -2.5, 0, 135);
  b.Poly({p1, p2, p3, p4}, 0x800000, 0xFFC080, 5, true);
  RecomputeExample(b.screen());
  return b.Take();
}

// The coordinate kinds, each with a few figures.
inline std::unique_ptr<Screen> CoordinateKindExample(int kind) {
  ScreenBuilder b;
  ViewSettings& v = b.screen().View();
  v.CoordinateKind = static_cast<std::int16_t>(kind);
  const int a = b.Point("A", 2, 3, 0xC00000, 45, true);
  const int c = b.Point("B", -4, -2, 0x0000C0, 225, true);
  b.Line(a, c, 0x008000);
  return b.Take();
}

inline std::unique_ptr<Screen> GridExample() {
  ScreenBuilder b(480, 360);
  ViewSettings& v = b.screen().View();
  v.GridAsPoints = true;
  v.GridWidth = 3;
  v.Zoom = 150;
  v.PanX = -60;
  v.PanY = 40;
  v.XAxisColor = 0x0000C0u;
  v.YAxisColor = 0xC00000u;
  v.XAxisWidthStep = 3;
  v.YAxisWidthStep = 3;
  v.BackColor = 0xF0FFFFu;
  b.Circle(1, 1, 2, 0x000000, 0, 2, 0x808080);
  return b.Take();
}

inline std::unique_ptr<Screen> LocusExample() {
  ScreenBuilder b;
  const int p = b.Point("P", 4, 0, 0xC00000);
  PointRecord& r = b.PointAt(p);
  r.Track = true;
  r.TrackConnect = true;
  r.TrackRadius = 2;
  r.TrackThick = 2;
  r.TrackColor = 0x0000FFu;
  for (int i = 0; i < 120; ++i) {
    const double t = i * 2 * std::numbers::pi / 120;
    r.TrackX[i] = static_cast<float>(4 * std::cos(3 * t));
    r.TrackY[i] = static_cast<float>(4 * std::sin(2 * t));
  }
  r.TrackCount = 119;
  const int c = b.Circle(-7, 4, 1, 0x008000);
  CircleRecord& cr = b.CircleAt(c);
  cr.PaintFlag = true;
  cr.PaintColor = 0x80C080u;
  cr.TrackRadius = 1;
  for (int i = 0; i < 10; ++i) {
    cr.TrackCX[i] = static_cast<float>(-9 + i * 0.4);
    cr.TrackCY[i] = 4.0f;
    cr.TrackR[i] = static_cast<float>(0.5 + 0.1 * i);
  }
  cr.TrackCount = 9;
  return b.Take();
}

struct NamedExample {
  const char* name;
  std::function<std::unique_ptr<Screen>()> make;
};

inline std::vector<NamedExample> AllExamples() {
  return {
      {"lines", LinesExample},
      {"circles", CirclesExample},
      {"parabolas", ParabolasExample},
      {"points", PointsExample},
      {"polygon", PolygonExample},
      {"splines", SplinesExample},
      {"areas", AreasExample},
      {"degrees", [] { return CoordinateKindExample(1); }},
      {"radians", [] { return CoordinateKindExample(2); }},
      {"polar", [] { return CoordinateKindExample(3); }},
      {"complex", [] { return CoordinateKindExample(4); }},
      {"grid_dots", GridExample},
      {"locus", LocusExample},
  };
}

// Everything at once on a 1280 x 960 surface: the benchmark's screen.
inline std::unique_ptr<Screen> RichExample() {
  ScreenBuilder b(1280, 960);
  for (int i = 0; i < 40; ++i) {
    const double t = i * 2 * std::numbers::pi / 40;
    const int p = b.Point("", 20 * std::cos(t), 15 * std::sin(t), 0x000000, 0);
    const int q = b.Point("", 10 * std::cos(2 * t), 8 * std::sin(3 * t), 0xC00000, 90);
    b.Line(p, q, 0x0000C0 + static_cast<std::uint32_t>(i * 4), i % 5, i % 2 == 0, i % 4, 1 + i % 3);
  }
  for (int i = 0; i < 20; ++i)
    b.Circle(-20 + 2 * i, (i % 5) - 2.0, 1 + (i % 4), 0x008000, i % 5, i % 8, 0x80C0FF);
  for (int i = 0; i < 10; ++i)
    b.Parabola(-10 + 2 * i, -5 + i, -9 + 2 * i, -5 + i + 0.2 * (i - 5), 0x800080, i % 3);
  return b.Take();
}

}  // namespace qzarn::examples
