// The figures built on graphs (intersection of two graphs, tangent, area) and
// polygons, computed by the recompute pass on screens built in code.

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "document/document_file.h"
#include "engine/graph_constructions.h"
#include "engine/graph_text.h"
#include "engine_fixture.h"
#include "screen_builder.h"

namespace qzarn {
namespace {

using testing::EngineFixture;
using testing::ScreenBuilder;

constexpr double U = UndefinedValue;
constexpr int kColumnA = 1;

class CurveFiguresTest : public ::testing::Test, public EngineFixture {
 protected:
  void Pass() { engine.RecomputeScreen(b.screen()); }
  void SetA(double v) { b.screen().Variables().write(0, kColumnA, v); }
  PointRecord& P(int i) { return *b.Record(i).point(); }
  LineRecord& L(int i) { return *b.Record(i).line(); }
  PolygonRecord& Poly(int i) { return *b.Record(i).polygon(); }
  const FigureOwned& Owned(int i) { return b.Record(i).owned; }

  int Add(FigureRecord rec) { return b.AddRecord(std::move(rec)); }

  // Intersection of graphs f and g with the interval texts.
  int Cross2(std::int32_t f, std::int32_t g, const char* from, const char* to) {
    return b.PointFamily(kCross2Figure, from, to, f, g);
  }
  // Area between f and g over the interval texts (or the x of two points).
  int Menseki(std::int32_t f, std::int32_t g, const char* from, const char* to, int n,
              std::int32_t p_from = kNoReference, std::int32_t p_to = kNoReference) {
    const int i = b.PointFamily(kMensekiFigure, from, to, f, g);
    P(i).RR() = n;
    P(i).Ref2 = p_from;
    P(i).Ref3 = p_to;
    P(i).HatchCount = -1;
    return i;
  }
  // Tangent (kind 0) or normal (1) of f at the x text, or at a point's x.
  int Sessen(std::int32_t f, const char* x0, int kind, std::int32_t point = kNoReference) {
    FigureRecord rec = FigureRecord::Blank(kSessenFigure);
    LineRecord& r = *rec.line();
    r.Ref0 = f;
    r.Ref1 = point;
    r.Ref2 = kNoReference;
    r.FX0 = x0;
    r.TangentKind() = kind;
    return Add(std::move(rec));
  }
  int Polygon(const std::vector<int>& points) {
    FigureRecord rec = FigureRecord::Blank(kPolyFigure);
    PolygonRecord& r = *rec.polygon();
    for (int i = 0; i < kPolygonVertices; ++i)
      r.Refs[i] =
          i < static_cast<int>(points.size()) ? points[static_cast<std::size_t>(i)] : kNoReference;
    return Add(std::move(rec));
  }
  // A parabola in the general form y = a x^2 + b x + c.
  int GeneralParabola(const char* a, const char* bb, const char* c) {
    return b.LineLike(kParabolaFigure, 1, a, bb, c, "");
  }

  ScreenBuilder b;
};

TEST_F(CurveFiguresTest, GraphTextOfEachKind) {
  const int line = b.Line("0", "1", "1", "3");
  const int vertical = b.Line("2", "0", "2", "5");
  const int vertex_form = b.LineLike(kParabolaFigure, 0, "1", "-1", "2", "0");
  const int general = GeneralParabola("1", "-2", "3");
  const int straight = GeneralParabola("0", "2", "1");
  const int standard = b.LineLike(kParabolaFigure, 2, "-2", "1", "4", "");
  const int explicit_f = b.Function("2*x+a");
  const int parametric = b.Function("cos(t)");
  b.Record(parametric).function()->FuncKind = kParametricCurve;
  const int recursive = b.Function("y+1");
  b.Record(recursive).function()->Recursive = 1;
  const int point = b.Point("1", "1");
  const int undefined_line = b.LineLike(kLineFigure, 1, "0", "0", "1", "");  // 0x + 0y + 1 = 0
  const int tangent = Sessen(explicit_f, "0", kTangentLine);
  Pass();

  struct Case {
    std::int32_t ref;
    const char* text;
  };
  const Case cases[] = {
      {line, "2*x+1"},
      {vertical, ""},
      {vertex_form, "1*x*x-2*x+0"},
      {general, "1*x*x-2*x+3"},
      {straight, "2*x+1"},  // the vanished squared term leaves the line y = 2x + 1
      {standard, "-2*x*x+4*x+2"},
      {explicit_f, "2*x+a"},
      {parametric, ""},
      {recursive, ""},
      {point, ""},
      {undefined_line, ""},
      {kXAxisReference, "0"},
      {kYAxisReference, ""},
      {MakeReference(400), ""},  // an empty slot
  };
  for (const Case& c : cases)
    EXPECT_EQ(GraphText(b.screen(), c.ref), c.text) << c.ref;
  // A tangent is a line figure too (a = 0).
  EXPECT_EQ(GraphText(b.screen(), tangent), "2*x+0");
}

TEST_F(CurveFiguresTest, IntersectionOfGraphs) {
  const int square = b.Function("x*x");
  const int two = b.Line("0", "2", "1", "2");
  const int on_0_3 = Cross2(square, two, "0", "3");
  const int on_m3_3 = Cross2(square, two, "-3", "3");
  const int parabola = GeneralParabola("1", "0", "-1");
  const int end_test = Cross2(parabola, kXAxisReference, "1", "2");
  const int vertical = b.Line("1", "0", "1", "1");
  const int with_vertical = Cross2(square, vertical, "-5", "5");
  const int point = b.Point("1", "1");
  const int with_point = Cross2(square, point, "-5", "5");
  Pass();

  EXPECT_NEAR(P(on_0_3).X, std::sqrt(2.0), 1e-4);
  EXPECT_NEAR(P(on_0_3).Y, 2.0, 1e-3);
  EXPECT_EQ(P(end_test).X, 1.0);
  EXPECT_EQ(P(end_test).Y, 0.0);
  for (const int none : {on_m3_3, with_vertical, with_point}) {
    EXPECT_EQ(P(none).X, U) << none;
    EXPECT_EQ(P(none).Y, U) << none;
  }
  // Another point may stand on the intersection.
  const int follower = b.Point("0", "0", on_0_3);
  Pass();
  EXPECT_NEAR(P(follower).X, std::sqrt(2.0), 1e-4);
}

TEST_F(CurveFiguresTest, TangentsAndNormals) {
  const int square = b.Function("x*x");
  const int tangent = Sessen(square, "1", kTangentLine);
  const int contact = b.Point("1", "7");
  const int normal_at_point = Sessen(square, "", kNormalLine, contact);
  const int normal_at_vertex = Sessen(square, "0", kNormalLine);
  const int vertical = b.Line("1", "0", "1", "1");
  const int on_vertical = Sessen(vertical, "1", kTangentLine);
  // A stale line from an earlier pass must not survive on a graph that has none.
  L(on_vertical).X0 = L(on_vertical).Y0 = L(on_vertical).X1 = L(on_vertical).Y1 = 3;
  Pass();

  EXPECT_NEAR(L(tangent).X0, 1, 1e-12);
  EXPECT_NEAR(L(tangent).Y0, 1, 1e-12);
  EXPECT_NEAR(L(tangent).X1, 1 + 2 / std::sqrt(5.0), 1e-6);
  EXPECT_NEAR(L(tangent).Y1, 1 + 4 / std::sqrt(5.0), 1e-6);
  // The normal at the point's x = 1 has slope -1/2.
  EXPECT_NEAR(L(normal_at_point).X1, 1 + 4 / std::sqrt(5.0), 1e-6);
  EXPECT_NEAR(L(normal_at_point).Y1, 1 - 2 / std::sqrt(5.0), 1e-6);
  for (const int none : {normal_at_vertex, on_vertical}) {
    const LineRecord& r = L(none);
    EXPECT_EQ((LinePoints{{r.X0, r.Y0}, {r.X1, r.Y1}}), kUndefinedLine) << none;
  }
}

TEST_F(CurveFiguresTest, AreaBetweenGraphsWithHatchList) {
  const int square = b.Function("x*x");
  const int area = Menseki(square, kXAxisReference, "0", "1", 10);
  const int x = b.Function("x");
  const int minus_x = b.Function("-x");
  const int unsigned_area = Menseki(x, minus_x, "-1", "1", 50);
  const int from = b.Point("1", "0");
  const int to = b.Point("0", "0");
  const int reversed = Menseki(square, kXAxisReference, "0", "1", 10, from, to);
  const int vertical = b.Line("1", "0", "1", "1");
  const int on_vertical = Menseki(vertical, kXAxisReference, "0", "1", 10);
  P(on_vertical).AreaValue() = 5;  // a value from an earlier pass
  const int damaged = Menseki(square, kXAxisReference, "0", "1", 0);
  Pass();

  EXPECT_NEAR(P(area).AreaValue(), 1.0 / 3.0, 1e-12);
  EXPECT_EQ(P(area).HatchCount, 22);
  ASSERT_EQ(Owned(area).HatchX.size(), 22u);
  ASSERT_EQ(Owned(area).HatchY.size(), 22u);
  EXPECT_EQ(Owned(area).HatchX[20], 1.0f);
  EXPECT_EQ(Owned(area).HatchY[20], 1.0f);
  EXPECT_EQ(Owned(area).HatchY[21], 0.0f);
  EXPECT_NEAR(P(area).LabelX, 0.5, 1e-12);
  EXPECT_NEAR(P(area).LabelY, 0.125, 1e-12);
  EXPECT_NEAR(P(unsigned_area).AreaValue(), 2.0, 1e-9);
  EXPECT_EQ(P(unsigned_area).HatchCount, 102);
  for (const int none : {reversed, on_vertical, damaged}) {
    EXPECT_EQ(P(none).AreaValue(), U) << none;
    EXPECT_EQ(P(none).HatchCount, -1) << none;
    EXPECT_TRUE(Owned(none).HatchX.empty()) << none;
  }
}

TEST_F(CurveFiguresTest, ConstructionsOnAFunctionFollowItsVariable) {
  // y = x^2 - a meets the x axis at sqrt(a); its tangent at 1 has slope 2;
  // the area down to the x axis over [2, 3] is 19/3 - a.
  const int f = b.Function("x*x-a");
  const int root = Cross2(f, kXAxisReference, "0", "3");
  const int tangent = Sessen(f, "1", kTangentLine);
  const int area = Menseki(f, kXAxisReference, "2", "3", 10);
  P(root).Track = 1;
  P(root).TrackCount = -1;
  L(tangent).PaintFlag = 1;
  L(tangent).TrackCount = -1;
  for (const double a : {1.0, 4.0}) {
    SetA(a);
    b.screen().Modified = false;
    Pass();
    EXPECT_NEAR(P(root).X, std::sqrt(a), 1e-4) << a;
    EXPECT_NEAR(L(tangent).Y0, 1 - a, 1e-9) << a;
    EXPECT_NEAR(P(area).AreaValue(), 19.0 / 3.0 - a, 1e-9) << a;
    EXPECT_TRUE(b.screen().Modified) << a;
  }
  // Both moving figures left one locus entry per pass.
  EXPECT_EQ(P(root).TrackCount, 1);
  EXPECT_NEAR(P(root).TrackX[0], 1.0f, 1e-4);
  EXPECT_NEAR(P(root).TrackX[1], 2.0f, 1e-4);
  EXPECT_EQ(L(tangent).TrackCount, 1);
  EXPECT_FLOAT_EQ(L(tangent).TrackY0[1], -3.0f);
}

TEST_F(CurveFiguresTest, HatchListIsRebuiltAfterASaveLoadRoundTrip) {
  const int f = b.Function("x*x");
  const int area = Menseki(f, kXAxisReference, "0", "2", 25);
  Pass();
  ASSERT_EQ(P(area).HatchCount, 52);
  const std::vector<float> xs = Owned(area).HatchX, ys = Owned(area).HatchY;

  std::vector<std::uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(WriteDocumentBytes(b.screen(), "area.qzl", SaveOptions{}, bytes, error)) << error;
  std::unique_ptr<Screen> loaded = testing::NewTestScreen();
  ASSERT_TRUE(ReadDocumentBytes(bytes, *loaded).ok());
  FigureRecord& rec = *loaded->Figures.record(area);
  // The file keeps no hatch list: the next pass computes it again.
  EXPECT_EQ(rec.point()->HatchCount, -1);
  EXPECT_TRUE(rec.owned.HatchX.empty());
  engine.RecomputeScreen(*loaded);
  EXPECT_EQ(rec.point()->HatchCount, 52);
  EXPECT_EQ(rec.owned.HatchX, xs);
  EXPECT_EQ(rec.owned.HatchY, ys);
  EXPECT_NEAR(rec.point()->AreaValue(), 8.0 / 3.0, 1e-12);
}

TEST_F(CurveFiguresTest, PolygonAreaFromItsPoints) {
  const int p0 = b.Point("0", "0");
  const int p1 = b.Point("1", "0");
  const int p2 = b.Point("1", "1");
  const int p3 = b.Point("0", "1");
  const int square = Polygon({p0, p1, p2, p3});
  const int crossing = Polygon({p0, p2, p1, p3});
  const int on_edge = b.Bunten(p0, p1, "1", "2");
  const int with_edge_point = Polygon({p0, on_edge, p1, p2, p3});
  const int inside = b.Bunten(p0, p2, "1", "2");
  const int with_inside_point = Polygon({p0, p1, p2, p3, inside});
  const int two = Polygon({p0, p1});
  Pass();

  EXPECT_NEAR(Poly(square).PolyArea(), 1.0, 1e-12);
  EXPECT_NEAR(Poly(square).LabelX, 0.5, 1e-12);
  EXPECT_NEAR(Poly(square).LabelY, 0.5, 1e-12);
  EXPECT_EQ(Poly(crossing).PolyArea(), U);
  // A vertex on an edge goes straight on; one inside the square bends inwards.
  EXPECT_NEAR(Poly(with_edge_point).PolyArea(), 1.0, 1e-12);
  EXPECT_NEAR(Poly(with_edge_point).LabelX, (1.0 / 3 + 2) / 5, 1e-12);
  EXPECT_EQ(Poly(with_inside_point).PolyArea(), U);
  EXPECT_EQ(Poly(two).PolyArea(), U);
}

}  // namespace
}  // namespace qzarn
