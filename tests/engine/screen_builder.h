#pragma once
// Small screens built in code for the engine tests and the recompute benchmark:
// figures with their texts and references and nothing else set.

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "document/figure_table.h"
#include "document/screen.h"

namespace qzarn::testing {

inline std::unique_ptr<Screen> NewTestScreen() {
  static ScreenTitleCounter titles;
  return Screen::Create(NewScreenDefaults{}, titles);
}

class ScreenBuilder {
 public:
  ScreenBuilder() : screen_(NewTestScreen()) {}

  Screen& screen() { return *screen_; }
  std::unique_ptr<Screen> release() { return std::move(screen_); }

  // A free point at (fx, fy), or tied to another point.
  int Point(std::string_view fx, std::string_view fy, std::int32_t ref0 = kNoReference) {
    return AddPointLike(kPointFigure, fx, fy, ref0, kNoReference);
  }
  int Bunten(std::int32_t p1, std::int32_t p2, std::string_view m, std::string_view n) {
    return AddPointLike(kBuntenFigure, m, n, p1, p2);
  }
  int Cross(std::int32_t line_a, std::int32_t line_b) {
    return AddPointLike(kCrossFigure, "", "", line_a, line_b);
  }
  int Suisen(std::int32_t point, std::int32_t line) {
    return AddPointLike(kSuisenFigure, "", "", point, line);
  }
  int Angle2(std::int32_t a, std::int32_t o, std::int32_t b, bool smaller) {
    const int i = AddPointLike(kAngle2Figure, "", "", a, o);
    PointRecord& r = *Record(i).point();
    r.Ref2 = b;
    r.Coordinates = smaller;
    return i;
  }

  // Line or parabola: two points (mode 0, optionally referenced) or the
  // coefficient texts of the equation forms.
  int LineLike(std::int32_t type, int mode, std::string_view fx0, std::string_view fy0,
               std::string_view fx1, std::string_view fy1, std::int32_t ref0 = kNoReference,
               std::int32_t ref1 = kNoReference) {
    FigureRecord rec = FigureRecord::Blank(type);
    LineRecord& r = *rec.line();
    r.Mode = mode;
    SetTwoPoints(r, fx0, fy0, fx1, fy1, ref0, ref1);
    r.Ref2 = kNoReference;
    r.Lng = 10.0;
    return Add(std::move(rec));
  }
  int Line(std::string_view fx0, std::string_view fy0, std::string_view fx1, std::string_view fy1) {
    return LineLike(kLineFigure, 0, fx0, fy0, fx1, fy1);
  }
  int LineThrough(std::int32_t p0, std::int32_t p1) {
    return LineLike(kLineFigure, 0, "", "", "", "", p0, p1);
  }
  int Angle(std::int32_t a, std::int32_t o, std::int32_t b, std::string_view m, std::string_view n,
            double length, bool both_sides) {
    const int i = LineLike(kAngleFigure, -1, m, n, "", "", a, o);
    LineRecord& r = *Record(i).line();
    r.Ref2 = b;
    r.Lng = length;
    r.DispC = both_sides;
    return i;
  }

  int Circle(int mode, std::string_view fx0, std::string_view fy0, std::string_view fx1,
             std::string_view fy1 = "", std::string_view fx2 = "", std::string_view fy2 = "",
             std::int32_t ref0 = kNoReference, std::int32_t ref1 = kNoReference,
             std::int32_t ref2 = kNoReference) {
    FigureRecord rec = FigureRecord::Blank(kCircleFigure);
    CircleRecord& r = *rec.circle();
    r.Mode = mode;
    SetTwoPoints(r, fx0, fy0, fx1, fy1, ref0, ref1);
    r.FX2 = fx2;
    r.FY2 = fy2;
    r.Ref2 = ref2;
    return Add(std::move(rec));
  }

  int Frame(std::int32_t type, std::string_view fx0, std::string_view fy0, std::string_view fx1,
            std::string_view fy1, std::int32_t ref0 = kNoReference,
            std::int32_t ref1 = kNoReference) {
    FigureRecord rec = FigureRecord::Blank(type);
    SetTwoPoints(*rec.frame(), fx0, fy0, fx1, fy1, ref0, ref1);
    return Add(std::move(rec));
  }

  // An explicit function y = body with a valid curve.
  int Function(std::string_view body) {
    FigureRecord rec = FigureRecord::Blank(kFunctionFigure);
    FunctionRecord& r = *rec.function();
    r.FuncKind = 1;
    r.FuncX = body;
    r.AreaSx1 = "-10";
    r.AreaEx1 = "10";
    r.AreaWd1 = "0.1";
    r.CurveValid = 1;
    return Add(std::move(rec));
  }

  int Cross3(std::int32_t a, std::int32_t b) {
    FigureRecord rec = FigureRecord::Blank(kCross3Figure);
    MultiPointRecord& r = *rec.multi_point();
    r.Ref0 = a;
    r.Ref1 = b;
    r.Ref2 = kNoReference;
    r.Ref3 = kNoReference;
    return Add(std::move(rec));
  }

  // Appends an intermediate equation `letter row` = text.
  void Equation(int letter_index, int row, std::string_view text) {
    EquationBlock& e = screen_->Equations;
    const int i = e.EquationLast + 1;
    e.Entries[i].LetterIndex = letter_index;
    e.Entries[i].Row = row;
    e.Entries[i].Text = text;
    e.EquationLast = i;
  }

  FigureRecord& Record(int index) { return screen_->Figures[index].Record; }

  // Any point-family figure by its two texts and first two references, and any
  // record made elsewhere.
  int PointFamily(std::int32_t type, std::string_view fx, std::string_view fy, std::int32_t ref0,
                  std::int32_t ref1) {
    return AddPointLike(type, fx, fy, ref0, ref1);
  }
  int AddRecord(FigureRecord rec) { return Add(std::move(rec)); }

 private:
  // The texts and references of the first two points, as lines, circles and
  // frames name them alike.
  template <class Layout>
  static void SetTwoPoints(Layout& r, std::string_view fx0, std::string_view fy0,
                           std::string_view fx1, std::string_view fy1, std::int32_t ref0,
                           std::int32_t ref1) {
    r.FX0 = fx0;
    r.FY0 = fy0;
    r.FX1 = fx1;
    r.FY1 = fy1;
    r.Ref0 = ref0;
    r.Ref1 = ref1;
  }

  int AddPointLike(std::int32_t type, std::string_view fx, std::string_view fy, std::int32_t ref0,
                   std::int32_t ref1) {
    FigureRecord rec = FigureRecord::Blank(type);
    PointRecord& r = *rec.point();
    r.FX = fx;
    r.FY = fy;
    r.Ref0 = ref0;
    r.Ref1 = ref1;
    r.Ref2 = kNoReference;
    r.Ref3 = kNoReference;
    return Add(std::move(rec));
  }

  int Add(FigureRecord rec) {
    const std::optional<int> index = NewFigure(screen_->Figures, std::move(rec));
    return index.value();
  }

  std::unique_ptr<Screen> screen_;
};

}  // namespace qzarn::testing
