#pragma once
// Lesson sheets for the gallery (examples/gallery/) and the quick lesson's
// pictures, built in code from definitions only: expression texts,
// references, variables, palette entries. A recompute pass fills in every
// position, as the program does after loading, so a sheet is a real
// construction that moves when its variables move. Sheets with a locus are
// "animated" here: their variable is stepped and the screen recomputed once
// per step, so the traces are what the animation window would leave.

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "document/palette_item_fields.h"
#include "engine/function_sampling.h"
#include "engine/implicit_curves.h"
#include "engine/locus.h"
#include "example_screens.h"
#include "platform/text_encoding.h"

namespace qzarn::examples {

// The column of a one-letter variable in row 0 of the variable table.
inline int VariableColumn(char letter) {
  return letter - 'a' + 1;
}

class SheetBuilder : public ScreenBuilder {
 public:
  explicit SheetBuilder(int width = 640, int height = 480) : ScreenBuilder(width, height) {}

  void SetVariable(char letter, double value) {
    screen().Variables().write(0, VariableColumn(letter), value);
  }

  // A free point whose coordinates are expression texts (a point that moves
  // with its variables).
  int PointOf(const char* name, const char* fx, const char* fy, std::uint32_t colour = 0,
              int direction = 45, bool coordinates = false) {
    const int slot = Point(name, 0, 0, colour, direction, coordinates);
    PointAt(slot).FX = fx;
    PointAt(slot).FY = fy;
    return slot;
  }

  // A line or segment between two figure references (a point, or one point
  // of an intersection set: slot + 10000 * i).
  int Segment(std::int32_t a, std::int32_t b, std::uint32_t colour, int style = 0,
              bool segment = true, int width = 2) {
    FigureRecord r = FigureRecord::Blank(kLineFigure);
    LineRecord& l = *r.line();
    SetLineLook(l, colour, style, width);
    l.DispB = segment;
    l.Ref0 = a;
    l.Ref1 = b;
    return Add(std::move(r));
  }

  // A line a*x + b*y + c = 0 from its three coefficient texts.
  int GeneralLine(const char* a, const char* b, const char* c, std::uint32_t colour,
                  int style = 0) {
    FigureRecord r = FigureRecord::Blank(kLineFigure);
    LineRecord& l = *r.line();
    SetLineLook(l, colour, style, 2);
    l.Mode = 1;
    l.FX0 = a;
    l.FY0 = b;
    l.FX1 = c;
    return Add(std::move(r));
  }

  // Circle with centre point `centre` through point `through`.
  int CircleThrough(std::int32_t centre, std::int32_t through, std::uint32_t colour,
                    int style = 0) {
    const int slot = Circle(0, 0, 0, colour, style);
    CircleRecord& c = CircleAt(slot);
    c.FX0 = "";
    c.FY0 = "";
    c.FX1 = "";
    c.Ref0 = centre;
    c.Ref1 = through;
    return slot;
  }

  // Circle with centre (cx, cy) and radius r, as expression texts.
  int CircleOf(const char* cx, const char* cy, const char* r, std::uint32_t colour, int style = 0) {
    const int slot = Circle(0, 0, 0, colour, style);
    CircleRecord& c = CircleAt(slot);
    c.FX0 = cx;
    c.FY0 = cy;
    c.FX1 = r;
    return slot;
  }

  // Circle through three figure references.
  int CircleThrough3(std::int32_t a, std::int32_t b, std::int32_t c, std::uint32_t colour) {
    const int slot = Circle(0, 0, 0, colour);
    CircleRecord& r = CircleAt(slot);
    r.Mode = 3;
    r.Ref0 = a;
    r.Ref1 = b;
    r.Ref2 = c;
    r.DispB = false;
    return slot;
  }

  // All intersection points of two lines, circles or parabolas.
  int Intersections(std::int32_t a, std::int32_t b, std::initializer_list<const char*> names,
                    std::uint32_t colour) {
    FigureRecord r = FigureRecord::Blank(kCross3Figure);
    MultiPointRecord& m = *r.multi_point();
    int i = 0;
    for (const char* name : names)
      m.Names[i++] = name;
    m.Radius = 3;
    m.RimRadius = 2;
    m.Color = colour;
    m.RimColor = colour;
    m.Paint = true;
    m.DispName = true;
    m.DispMark = true;
    m.Direction = 45;
    m.Ref0 = a;
    m.Ref1 = b;
    LabelFontOf(m.Font);
    return Add(std::move(r));
  }

  // Measured angle a-o-b between figure references.
  int AngleMark(std::int32_t a, std::int32_t o, std::int32_t b, std::uint32_t colour) {
    FigureRecord r = FigureRecord::Blank(kAngle2Figure);
    PointRecord& p = *r.point();
    p.Ref0 = a;
    p.Ref1 = o;
    p.Ref2 = b;
    p.Ref3 = 0;
    p.ArcRadius = 0.8;
    p.Color = colour;
    p.RimColor = 0xE0E0E0;
    p.RimRadius = 1;
    p.Radius = 8;
    p.DispMark = true;
    p.Coordinates = true;  // the smaller angle
    p.LimitS = 1;
    LabelFontOf(p.Font, 14);
    return Add(std::move(r));
  }

  // A curve of any kind over [from, to] step `step` (expression texts).
  int Curve(int kind, const char* fx, const char* fy, std::uint32_t colour, const char* from,
            const char* to, const char* step, int width = 2) {
    const int slot = Function(fx, colour, width);
    FunctionRecord& f = FunctionAt(slot);
    f.FuncKind = kind;
    f.FuncY = fy;
    f.AreaSx1 = from;
    f.AreaEx1 = to;
    f.AreaWd1 = step;
    if (kind == kParametricCurve) f.ParamVar = 19;  // t
    if (kind == kPolarCurve) f.ParamVar = 18;       // t
    return slot;
  }

  // A family: the variable `letter` runs over [from, to] step `step`.
  void Family(int slot, char letter, const char* from, const char* to, const char* step) {
    FunctionRecord& f = FunctionAt(slot);
    const int index = letter - 'a' + 1;  // "*" comes first
    if (f.FuncKind == kExplicitCurve)
      f.ParamVar = index;
    else
      f.FamilyVar = f.FuncKind == kPolarCurve && letter > 'r' ? index - 1 : index;
    f.AreaSx2 = from;
    f.AreaEx2 = to;
    f.AreaWd2 = step;
  }

  // F(x, y) = 0, or the region F(x, y) < 0 hatched, over the square |x|, |y| <= range.
  int Implicit(const char* f, int relation, const char* range, const char* cell,
               std::uint32_t colour) {
    const int slot = Function(f, colour);
    FunctionRecord& r = FunctionAt(slot);
    r.FuncKind = kImplicitCurve;
    r.Mode = relation;
    const std::string low = std::string("-") + range;
    r.AreaSx1 = low;
    r.AreaEx1 = range;
    r.AreaWd1 = cell;
    r.AreaSx2 = low;
    r.AreaEx2 = range;
    r.AreaWd2 = cell;
    r.FamilyVar = kHatchRising;
    r.pType = relation != kRelationCurve;
    return slot;
  }

  // A text box whose top-left corner is at (x, y); lines in UTF-8.
  int TextBox(double x, double y, std::initializer_list<const char*> lines, int size = 14,
              std::uint32_t background = 0xF0FFFF) {
    FigureRecord r = FigureRecord::Blank(kCharFigure);
    FrameRecord& f = *r.frame();
    f.FX0 = Num(x);
    f.FY0 = Num(y);
    f.FX1 = Num(x + 1);
    f.FY1 = Num(y - 1);
    f.Ref0 = -1;
    f.Ref1 = -1;
    f.IsFront = true;
    f.IsIcon = true;
    f.DispL = true;
    f.SizeL = 1;
    f.RimColor = 0x808080;
    f.DispBk = true;
    f.ColorBk = background;
    TextFrameTail& t = f.Text();
    LabelFontOf(t.Font, size);
    t.CharW = 4;
    t.CharY = 2;
    int i = 0;
    for (const char* line : lines)
      t.Lines[i++] = utf8_to_cp932(line).bytes;
    return Add(std::move(r));
  }

  // The sheet's title box in the upper-left corner of a 640 x 480 surface.
  int Title(std::initializer_list<const char*> lines) { return TextBox(-12.4, 9.4, lines); }

  // An entry of the user-defined palette: a caption, then a box for the variable.
  void PaletteBox(char letter, const char* caption, double minimum, double maximum, double step) {
    Screen& s = screen();
    const int row = boxes_++;
    const double value = s.Variables().read(0, VariableColumn(letter));
    PaletteItem& label = s.PaletteItems[static_cast<std::size_t>(2 * row)];
    label.SetKind(kPaletteLabel);
    SetText(label, "Caption", utf8_to_cp932(caption).bytes);
    SetNumber(label, "Left", 8);
    SetNumber(label, "Top", 10 + 30 * row);
    SetNumber(label, "FontSize", 10);
    SetNumber(label, "FontSet", 128);
    PaletteItem& box = s.PaletteItems[static_cast<std::size_t>(2 * row + 1)];
    box.SetKind(kPaletteVariableBox);
    const std::pair<const char*, double> numbers[] = {{"Variable", letter - 'a'},
                                                      {"Left", 90},
                                                      {"Top", 6 + 30 * row},
                                                      {"Width", 90},
                                                      {"Height", 24},
                                                      {"Value", value},
                                                      {"InitialValue", value},
                                                      {"Minimum", minimum},
                                                      {"Maximum", maximum},
                                                      {"Step", step},
                                                      {"FontSize", 10},
                                                      {"FontSet", 128}};
    for (const auto& [name, v] : numbers)
      SetNumber(box, name, v);
    ViewSettings& view = s.View();
    view.PaletteMode = 2;
    view.PaletteWidth = 200;
    view.PaletteHeight = 16 + 30 * boxes_;
  }

  // Steps the variable from `from` to `to` and recomputes at every value, so
  // that the points whose locus is on leave their trace (started afresh at
  // `from`). The variable is then set to `rest` with the loci switched off,
  // as a teacher would, so the trace keeps no jump back.
  void Animate(char letter, double from, double to, double step, double rest) {
    SetVariable(letter, from);
    RecomputeExample(screen());
    ClearAllLoci(screen());
    for (double v = from; v <= to + step / 2; v += step) {
      SetVariable(letter, v);
      RecomputeExample(screen());
    }
    std::vector<PointRecord*> traced;
    for (int i = 0; i <= screen().Figures.LastIndex; ++i) {
      FigureRecord* r = screen().Figures.record(i);
      if (r != nullptr && r->point() != nullptr && r->point()->Track) traced.push_back(r->point());
    }
    for (PointRecord* p : traced)
      p->Track = false;
    SetVariable(letter, rest);
    RecomputeExample(screen());
    for (PointRecord* p : traced)
      p->Track = true;
  }

  // Appends the intermediate equation `letter` = text.
  void Equation(char letter, const char* text) {
    EquationBlock& e = screen().Equations;
    const int i = e.EquationLast + 1;
    e.Entries[i].LetterIndex = letter - 'a';
    e.Entries[i].Row = 0;
    e.Entries[i].Text = text;
    e.EquationLast = i;
  }

  FunctionRecord& FunctionAt(int slot) { return *screen().Figures.record(slot)->function(); }

 private:
  static const FieldInfo* FindField(const PaletteItem& item, std::string_view name) {
    for (const FieldInfo& f : PaletteItemFields(item.Kind()))
      if (f.name == name) return &f;
    return nullptr;
  }
  static void SetNumber(PaletteItem& item, std::string_view name, double v) {
    if (const FieldInfo* f = FindField(item, name)) WriteNumber(item.Bytes, *f, v);
  }
  static void SetText(PaletteItem& item, std::string_view name, const std::string& bytes) {
    if (const FieldInfo* f = FindField(item, name)) WriteString(item.Bytes, *f, bytes);
  }

  int boxes_ = 0;
};

}  // namespace qzarn::examples

namespace qzarn::examples {

// ---- The lesson sheets --------------------------------------------------------------------

// y = ax^2 + bx + c with a palette for a, b and c; the vertex V left its
// trace while b ran from -6 to 6 (the parabola y = c - x^2 for a = 1).
inline std::unique_ptr<Screen> VertexPaletteSheet() {
  SheetBuilder b;
  b.SetVariable('a', 1);
  b.SetVariable('b', -2);
  b.SetVariable('c', -3);
  b.Title({"二次関数 y = ax^2| + bx + c", "a = $a:0:1$,  b = $b:0:1$,  c = $c:0:1$",
           "パレットで b を動かすと頂点 V は", "放物線 y = c - ax^2| の上を動きます"});
  b.Function("a*x^2+b*x+c", 0xC00000);
  const int v = b.PointOf("V", "0-b/(2*a)", "c-b^2/(4*a)", 0x0000C0, 315, true);
  PointRecord& vertex = b.PointAt(v);
  vertex.Track = true;
  vertex.TrackConnect = false;
  vertex.TrackRadius = 2;
  vertex.TrackThick = 1;
  vertex.TrackColor = 0x4080FF;
  b.PaletteBox('a', "a (開き)", -3, 3, 0.1);
  b.PaletteBox('b', "b (1次の係数)", -6, 6, 0.5);
  b.PaletteBox('c', "c (定数項)", -6, 6, 0.5);
  b.Animate('b', -6, 6, 0.5, -2);
  return b.Take();
}

// The two tangents from an outside point P to a circle, found as the
// intersections with the circle on the diameter OP.
inline std::unique_ptr<Screen> CircleTangentsSheet() {
  SheetBuilder b;
  b.SetVariable('a', 9);
  b.SetVariable('b', 2);
  b.Title(
      {"円外の点 P から引いた接線", "OP を直径とする円と円 O の交点が", "接点 T_1|, T_2| です"});
  const int o = b.Point("O", 0, 0, 0, 225);
  const int circle = b.CircleOf("0", "0", "4", 0xC00000);
  const int p = b.PointOf("P", "a", "b", 0x0000C0, 45, true);
  const int m = b.Bunten("M", o, p, 1, 1);
  const int thales = b.CircleThrough(m, o, 0x909090, 1);
  const int t = b.Intersections(circle, thales, {"T1", "T2"}, 0x008000);
  b.Segment(p, t, 0x008000, 0, false);
  b.Segment(p, t + 10000, 0x008000, 0, false);
  b.Segment(o, t, 0x606060, 2);
  b.Segment(o, t + 10000, 0x606060, 2);
  b.AngleMark(o, t, p, 0x008000);
  b.PaletteBox('a', "P の x 座標", -12, 12, 0.5);
  b.PaletteBox('b', "P の y 座標", -9, 9, 0.5);
  RecomputeExample(b.screen());
  return b.Take();
}

// The point P = (cos a, sin a) on the unit circle and the point (a, sin a)
// on the sine graph at the same height.
inline std::unique_ptr<Screen> UnitCircleSineSheet() {
  SheetBuilder b;
  ViewSettings& view = b.screen().View();
  view.Scale = 50;
  view.PanX = -90;
  b.SetVariable('a', 2.2);
  b.TextBox(-4.5, 4.7, {"単位円と y = sin x", "角 a = $a:0:2$ (ラジアン)", "sin a = $s:0:3$"});
  b.Equation('s', "sin(a)");
  const int c = b.Point("C", -2, 0, 0, 225);
  b.CircleOf("-2", "0", "1", 0xC00000);
  b.Curve(kExplicitCurve, "sin(x)", "", 0x0000C0, "0", "2*pi", "0.05");
  const int p = b.PointOf("P", "-2+cos(a)", "sin(a)", 0x008000, 90);
  const int q = b.PointOf("Q", "a", "sin(a)", 0x008000, 45);
  const int foot = b.PointOf("H", "a", "0", 0x606060, 270);
  b.Segment(c, p, 0x008000);
  b.Segment(p, q, 0x008000, 1);
  b.Segment(foot, q, 0x606060, 2);
  b.PaletteBox('a', "角 a", 0, 6.3, 0.1);
  RecomputeExample(b.screen());
  return b.Take();
}

// The midpoint M of a fixed point A and a point P running round a circle
// traces a circle of half the radius.
inline std::unique_ptr<Screen> MidpointLocusSheet() {
  SheetBuilder b;
  b.SetVariable('t', 1);
  b.Title(
      {"中点の軌跡", "P が円 O の上を 1 周すると、", "AP の中点 M は半径が半分の円をえがきます"});
  b.Point("O", 0, 0, 0, 225);
  b.CircleOf("0", "0", "5", 0xC00000);
  const int a = b.Point("A", 7, -3, 0, 315, true);
  const int p = b.PointOf("P", "5*cos(t)", "5*sin(t)", 0x0000C0, 90);
  b.Segment(a, p, 0x606060);
  const int m = b.Bunten("M", a, p, 1, 1);
  PointRecord& mid = b.PointAt(m);
  mid.Track = true;
  mid.TrackConnect = true;
  mid.TrackRadius = 1;
  mid.TrackThick = 2;
  mid.TrackColor = 0x00A000;
  b.PaletteBox('t', "角 t", 0, 6.3, 0.1);
  b.Animate('t', 0, 6.3, 0.1, 1);
  return b.Take();
}

inline std::unique_ptr<Screen> LissajousSheet() {
  SheetBuilder b;
  b.SetVariable('a', 3);
  b.SetVariable('b', 2);
  b.Title({"リサジュー図形", "x = 8 sin(at),  y = 6 sin(bt)", "a = $a:0:0$,  b = $b:0:0$"});
  b.Curve(kParametricCurve, "8*sin(a*t)", "6*sin(b*t)", 0xC00000, "0", "2*pi", "pi/300");
  b.PaletteBox('a', "a", 1, 9, 1);
  b.PaletteBox('b', "b", 1, 9, 1);
  RecomputeExample(b.screen());
  return b.Take();
}

// The feasible region of two constraints in the first quadrant and the
// level line x + y = k of the objective.
inline std::unique_ptr<Screen> LinearProgrammingSheet() {
  SheetBuilder b;
  ViewSettings& view = b.screen().View();
  view.Scale = 40;
  view.PanX = -160;
  view.PanY = 120;
  b.SetVariable('k', 4);
  b.TextBox(4.2, 8.6,
            {"線形計画法", "x + 2y ≦ 8,  3x + y ≦ 9,  x ≧ 0,  y ≧ 0",
             "x + y = k (k = $k:0:1$) を動かして", "最大値 5 (点 B) を見つけます"});
  const int l1 = b.GeneralLine("1", "2", "-8", 0xC00000);
  const int l2 = b.GeneralLine("3", "1", "-9", 0x0000C0);
  const int o = b.Point("O", 0, 0, 0, 225);
  const int a = b.Point("A", 3, 0, 0, 315, true);
  const int v = b.Cross("B", l1, l2);
  b.PointAt(v).Coordinates = true;
  const int c = b.Point("C", 0, 4, 0, 135, true);
  b.Poly({o, a, v, c}, 0x008000, 0x80FF80, 1, false);
  b.GeneralLine("1", "1", "0-k", 0x800080, 1);
  b.PaletteBox('k', "k", 0, 8, 0.5);
  RecomputeExample(b.screen());
  return b.Take();
}

inline std::unique_ptr<Screen> AreaBetweenGraphsSheet() {
  SheetBuilder b;
  b.Title({"2 つのグラフで囲まれた部分の面積", "y = 4 - x^2| と y = x - 2",
           "交点の x 座標は -3 と 2、面積は 125/6"});
  const int f = b.Function("4-x^2", 0xC00000);
  const int g = b.Function("x-2", 0x0000C0);
  b.Area("S", f, g, -3, 2, 0xFF8040, 3);
  b.Cross2("P", f, g, -5, 0, 180);
  b.Cross2("Q", f, g, 0, 5, 0);
  RecomputeExample(b.screen());
  return b.Take();
}

// a(n+1) = a(n)/2 + 2 from two starting values, both tending to 4.
inline std::unique_ptr<Screen> RecurrenceSheet() {
  SheetBuilder b;
  b.Title({"漸化式 a_n+1| = a_n| / 2 + 2", "a_0| = -6 からも a_0| = 9 からも",
           "極限値 4 に近づきます"});
  for (const auto& [start, colour] : {std::pair{-6.0, 0xC00000u}, std::pair{9.0, 0x0000C0u}}) {
    const int s = b.Curve(kExplicitCurve, "y/2+2", "", colour, "0", "12", "1");
    FunctionRecord& f = b.FunctionAt(s);
    f.Recursive = true;
    f.InitY = start;
    f.DispP = true;
    f.SizeP = 3;
    f.SizeL = 1;
  }
  b.Curve(kExplicitCurve, "4", "", 0x808080, "-13", "13", "1", 1);
  b.FunctionAt(b.screen().Figures.LastIndex).StyleL = 1;
  RecomputeExample(b.screen());
  return b.Take();
}

inline std::unique_ptr<Screen> PolarRosesSheet() {
  SheetBuilder b;
  b.SetVariable('a', 5);
  b.Title({"極方程式のバラ曲線とカージオイド", "r = 8 cos(at)  (a = $a:0:0$: 花びら $n:0:0$ 枚)",
           "r = 3(1 + cos t)"});
  b.Equation('n', "a+a*(a%2=0)");
  b.Curve(kPolarCurve, "8*cos(a*t)", "", 0xC00000, "0", "2*pi", "pi/360");
  b.Curve(kPolarCurve, "3*(1+cos(t))", "", 0x0000C0, "0", "2*pi", "pi/180");
  b.PaletteBox('a', "a", 1, 9, 1);
  RecomputeExample(b.screen());
  return b.Take();
}

// An ellipse with its foci and a point P on it (PF1 + PF2 = 12), and a
// hyperbola with its asymptotes.
inline std::unique_ptr<Screen> ConicSectionsSheet() {
  SheetBuilder b;
  b.SetVariable('a', 1);
  b.Title({"2 次曲線", "楕円 x^2|/36 + y^2|/16 = 1 (PF_1| + PF_2| = 12)",
           "双曲線 x^2|/16 - y^2|/9 = 1 と漸近線"});
  b.Implicit("x^2/36+y^2/16-1", kRelationCurve, "12", "0.25", 0xC00000);
  b.Implicit("x^2/16-y^2/9-1", kRelationCurve, "12", "0.25", 0x0000C0);
  b.GeneralLine("3", "-4", "0", 0x808080, 1);
  b.GeneralLine("3", "4", "0", 0x808080, 1);
  const int f1 = b.PointOf("F1", "0-sqrt(20)", "0", 0x008000, 270);
  const int f2 = b.PointOf("F2", "sqrt(20)", "0", 0x008000, 270);
  const int p = b.PointOf("P", "6*cos(a)", "4*sin(a)", 0xC00000, 45);
  b.Segment(p, f1, 0x008000);
  b.Segment(p, f2, 0x008000);
  b.PaletteBox('a', "P の角 a", 0, 6.3, 0.1);
  RecomputeExample(b.screen());
  return b.Take();
}

// Measured heights of a thrown ball joined by a spline, beside the model
// parabola with vertex (1, 6).
inline std::unique_ptr<Screen> SplineDataSheet() {
  SheetBuilder b;
  b.Title(
      {"測定値をなめらかにつなぐ", "点を通るスプライン曲線 (赤) と", "模型の放物線 (青の点線)"});
  const double data[][2] = {{-9, -6.3}, {-7, -2.2}, {-5, 1.1}, {-3, 3.7}, {-1, 5.4},
                            {1, 6.1},   {3, 5.3},   {5, 3.9},  {7, 1.2},  {9, -2.0}};
  std::vector<int> points;
  for (const auto& d : data)
    points.push_back(b.Point("", d[0], d[1], 0x000000, 90));
  b.Spline(points, 0x0000C0, 0, false);
  b.Parabola(1, 6, 3, 5.5, 0xC00000, 2);
  RecomputeExample(b.screen());
  return b.Take();
}

// z1 = a + bi, z2 = c + di, their sum (the parallelogram) and product.
inline std::unique_ptr<Screen> ComplexPlaneSheet() {
  SheetBuilder b;
  b.screen().View().CoordinateKind = 4;
  b.SetVariable('a', 3);
  b.SetVariable('b', 2);
  b.SetVariable('c', -1);
  b.SetVariable('d', 2);
  b.Title({"複素数平面", "和 z_1| + z_2| は平行四辺形の頂点", "積 z_1|z_2| は長さの積・偏角の和"});
  const int o = b.Point("O", 0, 0, 0, 225);
  const int z1 = b.PointOf("z1", "a", "b", 0xC00000, 0, true);
  const int z2 = b.PointOf("z2", "c", "d", 0x0000C0, 135, true);
  const int sum = b.PointOf("S", "a+c", "b+d", 0x008000, 45, true);
  const int product = b.PointOf("P", "a*c-b*d", "a*d+b*c", 0x800080, 135, true);
  for (const auto& [to, colour] : {std::pair{z1, 0xC00000u}, std::pair{z2, 0x0000C0u},
                                   std::pair{sum, 0x008000u}, std::pair{product, 0x800080u}})
    b.LineAt(b.Segment(o, to, colour)).YaTyp = 2;
  b.Segment(z1, sum, 0x808080, 1);
  b.Segment(z2, sum, 0x808080, 1);
  for (char v : {'a', 'b', 'c', 'd'}) {
    const char caption[] = {v, '\0'};
    b.PaletteBox(v, caption, -6, 6, 0.5);
  }
  RecomputeExample(b.screen());
  return b.Take();
}

// Medians meeting at the centroid G, and the circumscribed circle.
inline std::unique_ptr<Screen> TriangleCentresSheet() {
  SheetBuilder b;
  b.Title({"三角形の重心と外接円", "中線 AL, BM の交点が重心 G", "(頂点をドラッグして確かめます)"});
  const int a = b.Point("A", -7, -5, 0, 225);
  const int c = b.Point("B", 7, -6, 0, 315);
  const int d = b.Point("C", 0, 6, 0, 90);
  b.Segment(a, c, 0);
  b.Segment(c, d, 0);
  b.Segment(d, a, 0);
  const int l = b.Bunten("L", c, d, 1, 1);
  const int m = b.Bunten("M", d, a, 1, 1);
  b.Bunten("N", a, c, 1, 1);
  const int ml = b.Segment(a, l, 0x0000C0, 1);
  const int mm = b.Segment(c, m, 0x0000C0, 1);
  b.Cross("G", ml, mm);
  b.CircleThrough3(a, c, d, 0xC00000);
  RecomputeExample(b.screen());
  return b.Take();
}

// The tangent of y = x^3/8 - 2x at x = a; the point (a, slope) traced while
// a ran from -5 to 5 draws the derivative.
inline std::unique_ptr<Screen> TangentSlopeSheet() {
  SheetBuilder b;
  b.SetVariable('a', 2);
  b.Title({"接線の傾きと導関数", "y = x^3|/8 - 2x の x = a での接線",
           "点 D(a, 傾き) の軌跡が y = f'(x)"});
  const int f = b.Function("x^3/8-2*x", 0xC00000);
  const int t = b.Sessen(f, 2, 0x0000C0);
  b.LineAt(t).FX0 = "a";
  b.PointOf("T", "a", "a^3/8-2*a", 0x0000C0, 135);
  const int d = b.PointOf("D", "a", "3*a^2/8-2", 0x008000, 315, true);
  PointRecord& slope = b.PointAt(d);
  slope.Track = true;
  slope.TrackConnect = false;
  slope.TrackRadius = 2;
  slope.TrackThick = 1;
  slope.TrackColor = 0x00A000;
  b.PaletteBox('a', "接点の x 座標 a", -6, 6, 0.25);
  b.Animate('a', -5, 5, 0.2, 2);
  return b.Take();
}

// y = 2^x and its inverse log2 x, mirror images in y = x.
inline std::unique_ptr<Screen> InverseFunctionsSheet() {
  SheetBuilder b;
  b.SetVariable('a', 1.5);
  b.Title({"指数関数と対数関数", "y = 2^x| と y = log_2| x は", "直線 y = x について対称"});
  b.Function("2^x", 0xC00000);
  b.Curve(kExplicitCurve, "ln(x)/ln(2)", "", 0x0000C0, "0.01", "13", "0.02");
  b.Function("x", 0x808080, 1);
  b.FunctionAt(b.screen().Figures.LastIndex).StyleL = 1;
  const int p = b.PointOf("P", "a", "2^a", 0xC00000, 135, true);
  const int q = b.PointOf("Q", "2^a", "a", 0x0000C0, 315, true);
  b.Segment(p, q, 0x008000, 2);
  b.PaletteBox('a', "a", -4, 3.5, 0.1);
  RecomputeExample(b.screen());
  return b.Take();
}

inline std::unique_ptr<Screen> SineFamilySheet() {
  SheetBuilder b;
  b.Title({"関数族 y = a sin(x - b)", "a = 1, 2, 3 の 3 本を 1 つの図形で",
           "b = $b:0:2$ (位相のずれ)"});
  b.SetVariable('b', 0.5);
  const int f = b.Function("a*sin(x-b)", 0xC00000);
  b.Family(f, 'a', "1", "3", "1");
  b.PaletteBox('b', "b", -3.2, 3.2, 0.1);
  RecomputeExample(b.screen());
  return b.Take();
}

// The squares on the sides of a 3-4-5 right triangle with their areas.
inline std::unique_ptr<Screen> PythagorasSheet() {
  SheetBuilder b;
  b.Title({"三平方の定理", "9 + 16 = 25"});
  auto square = [&b](std::initializer_list<std::array<double, 2>> corners, std::uint32_t fill) {
    std::vector<int> v;
    for (const auto& c : corners)
      v.push_back(b.Point("", c[0], c[1], 0x000000, 0));
    b.Poly(v, 0x000000, fill, 1, true);
  };
  square({{-2, -2}, {2, -2}, {2, -6}, {-2, -6}}, 0xFFC0C0);
  square({{-2, -2}, {-2, 1}, {-5, 1}, {-5, -2}}, 0xC0C0FF);
  square({{2, -2}, {5, 2}, {1, 5}, {-2, 1}}, 0xC0FFC0);
  RecomputeExample(b.screen());
  return b.Take();
}

// ---- The quick lesson ---------------------------------------------------------------------

inline constexpr int kLessonSteps = 6;

// The construction of the quick lesson after step 1..6: two points, the line
// through them, the circle about A through B, the family y = b sin(ax) for
// b = 1, 2, 3, the palette that set a to 2, and the trace of a point P
// carried along the curve b = 2 by an animation of c.
inline std::unique_ptr<Screen> LessonStep(int step) {
  SheetBuilder b;
  b.SetVariable('a', 1);
  const int a = b.Point("A", -3, 1, 0, 135);
  const int c = b.Point("B", 2, 3, 0, 45);
  if (step >= 2) b.Segment(a, c, 0xC00000, 0, false);
  if (step >= 3) b.CircleThrough(a, c, 0x0000C0);
  if (step >= 4) {
    const int f = b.Function("b*sin(a*x)", 0x008000);
    b.Family(f, 'b', "1", "3", "1");
  }
  if (step >= 5) {
    b.PaletteBox('a', "a", 0, 4, 0.1);
    b.SetVariable('a', 2);
  }
  if (step >= 6) {
    const int p = b.PointOf("P", "c", "2*sin(a*c)", 0x800080, 90);
    PointRecord& r = b.PointAt(p);
    r.Track = true;
    r.TrackRadius = 2;
    r.TrackThick = 1;
    r.TrackColor = 0xC000C0;
    b.Animate('c', -12, 12, 0.25, 1);
  }
  RecomputeExample(b.screen());
  return b.Take();
}

struct GallerySheet {
  const char* name;   // file name without ".qzl"
  const char* title;  // as the handbook lists it (UTF-8)
  std::function<std::unique_ptr<Screen>()> make;
};

inline std::vector<GallerySheet> AllGallerySheets() {
  return {
      {"vertex_palette", "二次関数の頂点をパレットで動かす", VertexPaletteSheet},
      {"circle_tangents", "円外の点から引いた接線", CircleTangentsSheet},
      {"unit_circle_sine", "単位円と正弦曲線", UnitCircleSineSheet},
      {"midpoint_locus", "中点の軌跡", MidpointLocusSheet},
      {"lissajous", "リサジュー図形", LissajousSheet},
      {"linear_programming", "線形計画法の領域", LinearProgrammingSheet},
      {"area_between_graphs", "2 つのグラフの間の面積", AreaBetweenGraphsSheet},
      {"recurrence", "漸化式で決まる数列", RecurrenceSheet},
      {"polar_roses", "極方程式のバラ曲線", PolarRosesSheet},
      {"conic_sections", "楕円と双曲線", ConicSectionsSheet},
      {"spline_data", "測定値を通るスプライン曲線", SplineDataSheet},
      {"complex_plane", "複素数平面の和と積", ComplexPlaneSheet},
      {"triangle_centres", "三角形の重心と外接円", TriangleCentresSheet},
      {"tangent_slope", "接線の傾きと導関数", TangentSlopeSheet},
      {"inverse_functions", "指数関数と対数関数", InverseFunctionsSheet},
      {"sine_family", "関数族 y = a sin(x - b)", SineFamilySheet},
      {"pythagoras", "三平方の定理", PythagorasSheet},
  };
}

}  // namespace qzarn::examples
