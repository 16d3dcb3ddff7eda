#pragma once
// The screens the picture benchmark draws: every shipped example and gallery
// sheet, lesson screens of generated figures with exactly the attributes a
// new figure gets (the built-in defaults: solid lines, the new screen's
// dotted grid), and a screen of 100 function graphs.

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../tests/render/example_screens.h"
#include "../tests/render/gallery_sheets.h"
#include "document/figure_defaults.h"

namespace qzarn::bench {

inline constexpr int kLessonWidth = 1280, kLessonHeight = 960;

// Groups of two points, the line through them and a circle, placed over the
// plane, until `figures` figures stand; every figure is the default record
// of its type with only its place and name set.
inline std::unique_ptr<Screen> NewFigureLesson(int figures) {
  examples::ScreenBuilder b(kLessonWidth, kLessonHeight);
  const FigureDefaults defaults;
  auto point = [&](const std::string& name, double x, double y) {
    FigureRecord r = defaults.Record(kPointFigure);
    PointRecord& p = *r.point();
    p.Name = name.c_str();
    p.FX = examples::Num(x);
    p.FY = examples::Num(y);
    p.X = x;
    p.Y = y;
    p.Ref0 = -1;
    return b.Add(std::move(r));
  };
  int made = 0;
  for (int i = 0; made + 4 <= figures; ++i) {
    const double t = i * 0.37;
    const int p = point("P" + std::to_string(i), 22 * std::cos(t), 17 * std::sin(1.3 * t));
    const int q = point("Q" + std::to_string(i), 11 * std::cos(2 * t), 9 * std::sin(3 * t));
    FigureRecord line = defaults.Record(kLineFigure);
    LineRecord& l = *line.line();
    const PointRecord& pa = b.PointAt(p);
    const PointRecord& pb = b.PointAt(q);
    l.Ref0 = p;
    l.Ref1 = q;
    l.X0 = pa.X;
    l.Y0 = pa.Y;
    l.X1 = pb.X;
    l.Y1 = pb.Y;
    b.Add(std::move(line));
    FigureRecord circle = defaults.Record(kCircleFigure);
    CircleRecord& c = *circle.circle();
    c.Mode = 0;
    c.X0 = 20 * std::cos(1.7 * t);
    c.Y0 = 15 * std::sin(t);
    c.RadiusValue = 1 + (i % 4);
    c.FX0 = examples::Num(c.X0);
    c.FY0 = examples::Num(c.Y0);
    c.FX1 = examples::Num(c.RadiusValue);
    c.Ref0 = c.Ref1 = c.Ref2 = -1;
    b.Add(std::move(circle));
    made += 4;
  }
  examples::RecomputeExample(b.screen());
  return b.Take();
}

// 100 graphs y = f(x) of 521 samples each over [-13, 13], drawn 2 pixels
// wide as new graphs are.
inline std::unique_ptr<Screen> HundredGraphs() {
  examples::ScreenBuilder b(kLessonWidth, kLessonHeight);
  const char* shapes[] = {"SIN(x+%g)*%g", "(x-%g)^2/%g-8", "COS(x*%g/4)*%g/2", "x^3/%g/40+%g/9"};
  for (int i = 0; i < 100; ++i) {
    char text[64];
    const double a = 1 + i % 13, c = 2 + i % 7;
    std::snprintf(text, sizeof text, shapes[i % 4], a, c);
    b.Function(text, 0x000000u + static_cast<std::uint32_t>(i * 0x020301));
  }
  examples::RecomputeExample(b.screen());
  return b.Take();
}

struct Workload {
  std::string name;
  std::function<std::unique_ptr<Screen>()> make;
};

inline std::vector<Workload> AllWorkloads() {
  std::vector<Workload> all;
  for (const examples::NamedExample& e : examples::AllExamples())
    all.push_back({std::string("example:") + e.name, e.make});
  all.push_back({"example:rich", examples::RichExample});
  for (const examples::GallerySheet& s : examples::AllGallerySheets())
    all.push_back({std::string("sheet:") + s.name, s.make});
  all.push_back({"lesson:100", [] { return NewFigureLesson(100); }});
  all.push_back({"lesson:500", [] { return NewFigureLesson(500); }});
  all.push_back({"graphs:100", HundredGraphs});
  return all;
}

}  // namespace qzarn::bench
