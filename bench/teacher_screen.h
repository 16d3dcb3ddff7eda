#pragma once
// The screen the frame benchmarks draw: what a lesson screen holds, at a
// chosen number of figures. Three graphs (a cubic, a sine, an exponential),
// the area between two of them, an implicit disc region and an implicit
// ellipse at the new-figure sampling defaults, a filled polygon, two text
// boxes, and groups of named points, lines (whole, segments, dashed, arrows)
// and circles until the count is reached. Grid and axes as a new screen has
// them, 1280 x 960 pixels.

#include <memory>
#include <string>

#include "../tests/render/example_screens.h"
#include "engine/function_sampling.h"
#include "engine/implicit_curves.h"

namespace qzarn::bench {

inline constexpr int kFrameWidth = 1280, kFrameHeight = 960;
// Where the free point D lies on the plane; 25 pixels per unit about the
// surface centre.
inline constexpr double kDragX = 2, kDragY = -11;

inline void ImplicitFigure(examples::ScreenBuilder& b, const char* text, int relation,
                           std::uint32_t colour) {
  FigureRecord r = FigureRecord::Blank(kFunctionFigure);
  FunctionRecord& f = *r.function();
  f.FuncKind = kImplicitCurve;
  f.FuncX = text;
  f.Mode = relation;
  f.FamilyVar = kHatchRising;
  // The sampling defaults of a new function figure.
  f.AreaSx1 = "-10";
  f.AreaEx1 = "10";
  f.AreaWd1 = "0.1";
  f.AreaSx2 = "-10";
  f.AreaEx2 = "10";
  f.AreaWd2 = "0.1";
  f.Seido = 0.01;
  f.DispL = true;
  f.SizeL = 2;
  f.ColorL = colour;
  f.ColorP = colour;
  f.pType = relation != kRelationCurve;
  examples::ScreenBuilder::LabelFontOf(f.Font);
  b.Add(std::move(r));
}

inline void TextBox(examples::ScreenBuilder& b, double x, double y, const char* first,
                    const char* second) {
  FigureRecord r = FigureRecord::Blank(kCharFigure);
  FrameRecord& f = *r.frame();
  f.X0 = x;
  f.Y0 = y;
  f.X1 = x + 6;
  f.Y1 = y - 2;
  f.DispL = true;
  f.SizeL = 1;
  f.RimColor = 0x804000u;
  f.Boolean = false;
  f.IsIcon = false;
  f.DispBk = true;
  f.ColorBk = 0xE0FFFFu;
  TextFrameTail& t = f.Text();
  t.Font.FontName = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
  t.Font.FontSize = 16;
  t.Font.FontSet = 128;
  t.CharW = 5;
  t.CharY = 4;
  for (auto& line : t.Lines)
    line = "";
  t.Lines[0] = first;
  t.Lines[1] = second;
  b.Add(std::move(r));
}

inline std::unique_ptr<Screen> TeacherScreen(int figures) {
  examples::ScreenBuilder b(kFrameWidth, kFrameHeight);
  const int cubic = b.Function("x^3/20-x", 0xC00000);
  const int sine = b.Function("2*SIN(x)", 0x008000);
  b.Function("EXP(x/4)-3", 0x800080);
  b.Area("S", cubic, sine, -3, 3, 0xFF8040, 3);
  ImplicitFigure(b, "(x-6)^2+(y-4)^2-4", kRelationLess, 0x008080);
  ImplicitFigure(b, "x^2/25+y^2/9-1", kRelationCurve, 0x404040);
  const int a = b.Point("A", -8, -6, 0x000000, 0);
  const int c = b.Point("B", -3, -7, 0x000000, 0);
  const int d = b.Point("C", -4, -3, 0x000000, 0);
  b.Poly({a, c, d}, 0x800000, 0xC0C0FF, 1, true);
  TextBox(b, -14, 9, "f(x) = x^3/20 - x", "g(x) = 2 sin x");
  TextBox(b, 6, -6, "area S", "between f and g");
  // A free point the drag benchmarks move, with three lines hanging on it.
  const int drag = b.Point("D", kDragX, kDragY, 0x0000FF, 0);
  int made = 14;
  int first_points[3] = {-1, -1, -1};
  for (int i = 0; made < figures; ++i) {
    const double t = i * 0.37;
    const std::string p_name = "P" + std::to_string(i), q_name = "Q" + std::to_string(i);
    const int p = b.Point(p_name.c_str(), 12 * std::cos(t), 9 * std::sin(1.3 * t), 0x000000, 0);
    const int q = b.Point(q_name.c_str(), 6 * std::cos(2 * t), 5 * std::sin(3 * t), 0xC00000, 90);
    b.Line(p, q, 0x0000C0 + static_cast<std::uint32_t>(i % 60 * 4), i % 5, i % 2 == 0, i % 4,
           1 + i % 3);
    b.Circle(6 * std::cos(t), 4 * std::sin(t), 1 + (i % 4), 0x008000, i % 5, i % 8, 0x80C0FF);
    made += 4;
    if (i < 3) first_points[i] = p;
  }
  for (int p : first_points)
    if (p >= 0) b.Line(drag, p, 0x606060, 0, true, 0, 2);
  examples::RecomputeExample(b.screen());
  return b.Take();
}

}  // namespace qzarn::bench
