#include <cmath>
#include <map>
#include <numbers>
#include <utility>

#include <gtest/gtest.h>

#include "engine/implicit_curves.h"
#include "function_test_support.h"

namespace qzarn {
namespace {

using testing_curves::CurveFixture;

// An implicit function or region over [-r, r] in both directions.
FunctionRecord& DefineImplicit(CurveFixture& c, const char* f, int relation, const char* r,
                               const char* w, int level = 0, double seido = 1e-4) {
  FunctionRecord& rec = c.f();
  rec.FuncKind = kImplicitCurve;
  rec.FuncX = f;
  rec.Mode = relation;
  const std::string lo = std::string("-") + r;
  rec.AreaSx1 = lo;
  rec.AreaEx1 = r;
  rec.AreaSx2 = lo;
  rec.AreaEx2 = r;
  rec.AreaWd2 = w;
  rec.ParamVar = level;
  rec.Seido = seido;
  rec.FamilyVar = kHatchHorizontal;
  rec.CurveValid = 0;
  return rec;
}

TEST(ImplicitCurve, CircleIsAClosedChainOnTheCircle) {
  CurveFixture c;
  DefineImplicit(c, "x^2+y^2-4", 0, "3", "0.5");
  ASSERT_TRUE(c.Resample());
  const int n = c.entries();
  ASSERT_GT(n, 20);
  ASSERT_EQ(n % 2, 0);
  std::map<std::pair<float, float>, int> ends;
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(std::hypot(c.X(i), c.Y(i)), 2, 1e-4) << i;
    ++ends[{c.X(i), c.Y(i)}];
  }
  // Neighbouring cells share their edge roots exactly: no end dangles (a root
  // on a cell corner is an end in each cell around it).
  for (const auto& [point, count] : ends)
    EXPECT_GE(count, 2) << point.first << "," << point.second;
}

TEST(ImplicitCurve, CrossingLinesLeaveAGapThatSubdivisionShrinks) {
  double previous = 1e9;
  for (int level = 0; level < 3; ++level) {
    SCOPED_TRACE(level);
    CurveFixture c;
    DefineImplicit(c, "x*y", 0, "1.75", "0.5", level);
    // Shift the grid so that the crossing lies inside a cell.
    c.f().AreaSx1 = "-1.6";
    c.f().AreaSx2 = "-1.6";
    ASSERT_TRUE(c.Resample());
    double nearest = 1e9;
    for (int i = 0; i < c.entries(); ++i)
      nearest = std::fmin(nearest, std::hypot(c.X(i), c.Y(i)));
    const double deepest_cell = 0.5 / std::pow(6.0, level);
    EXPECT_GT(nearest, 0.0);
    EXPECT_LE(nearest, deepest_cell * std::numbers::sqrt2);
    EXPECT_LT(nearest, previous);
    previous = nearest;
  }
}

TEST(ImplicitCurve, DisplayConditionTurnsSegmentsIntoBreaks) {
  CurveFixture c;
  DefineImplicit(c, "x^2+y^2-4", 0, "3", "0.5");
  c.f().Boolean = true;
  c.f().BooleanFunc = "x>0";
  ASSERT_TRUE(c.Resample());
  int kept = 0, broken = 0;
  for (int i = 0; i + 1 < c.entries(); i += 2) {
    if (c.IsBreak(i)) {
      EXPECT_TRUE(c.IsBreak(i + 1));
      ++broken;
    } else {
      EXPECT_GE(c.X(i), -1e-3);
      ++kept;
    }
  }
  EXPECT_GT(kept, 5);
  EXPECT_GT(broken, 5);
}

TEST(ImplicitCurve, UnusableCellSizeGivesNoCurve) {
  for (const char* w : {"0", "1e-9", "-0.5", "1e-7"}) {
    CurveFixture c;
    DefineImplicit(c, "x^2+y^2-4", 0, "3", w);
    ASSERT_TRUE(c.Resample()) << w;
    EXPECT_EQ(c.f().SampleLast, -1) << w;
  }
}

// A cell size that would need more than the cap of top-level cells is traced with the
// smallest cell the cap allows, and the resampling says so; below the cap nothing is said.
TEST(ImplicitCurve, TooManyCellsAreTracedCoarserAndSaidSo) {
  const struct {
    const char* relation_text;
    int relation;
    const char* w;
    bool coarse;
  } cases[] = {
      {"curve", 0, "0.002", true},
      {"region", kRelationLess, "0.002", true},
      {"curve within the cap", 0, "0.05", false},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(::testing::Message() << t.relation_text << " w=" << t.w);
    CurveFixture c;
    DefineImplicit(c, "x^2+y^2-25", t.relation, "10", t.w);
    std::string notice;
    ASSERT_TRUE(ResampleFunction(c.f(), c.record.owned, c.vars, c.expr, &notice));
    EXPECT_EQ(!notice.empty(), t.coarse) << notice;
    if (t.relation != 0) continue;
    // The curve is there: every sample that is not a break lies near the circle.
    int on_circle = 0;
    for (int i = 0; i < c.entries(); ++i) {
      if (c.IsBreak(i)) continue;
      EXPECT_NEAR(std::hypot(c.X(i), c.Y(i)), 5.0, 0.05) << i;
      ++on_circle;
    }
    EXPECT_GT(on_circle, 100);
  }
  ImplicitSpec spec;
  spec.sx = spec.sy = -10;
  spec.ex = spec.ey = 10;
  spec.w = 0.002;
  CurveFixture c;
  CurveProgram f(c.expr, "x^2+y^2-25");
  SampleList list;
  const double used = TraceImplicitCurve(f, nullptr, c.vars, spec, list);
  EXPECT_GT(used, 0.0099);  // about 20 / sqrt(4e6)
  EXPECT_LT(used, 0.0102);
  EXPECT_EQ(CoarseImplicitNotice(0.0100123),
            "陰関数の区画が多すぎるため，区画の幅を 0.01 にして描きました．");
}

TEST(ImplicitCurve, LevelOutsideTheOfferedListIsReset) {
  CurveFixture c;
  DefineImplicit(c, "x^2+y^2-4", 0, "3", "0.5", 7);
  ASSERT_TRUE(c.Resample());
  EXPECT_EQ(c.f().ParamVar, 0);
  EXPECT_GT(c.entries(), 0);
}

struct RegionLayout {
  int separator = -1;  // index of the first (200000, 200000)
  int area_mark = -1;  // index of (-200000, A)
};

RegionLayout Layout(const CurveFixture& c) {
  RegionLayout l;
  for (int i = 0; i < c.entries(); ++i) {
    if (l.separator < 0 && c.X(i) == kRegionSeparator) l.separator = i;
    if (c.X(i) == kRegionAreaMark) l.area_mark = i;
  }
  return l;
}

TEST(ImplicitRegion, DiscAreaInEveryHatchDirection) {
  for (int direction = 0; direction < 4; ++direction) {
    SCOPED_TRACE(direction);
    CurveFixture c;
    DefineImplicit(c, "x^2+y^2-4", kRelationLess, "3", "0.1");
    c.f().FamilyVar = direction;
    ASSERT_TRUE(c.Resample());
    const RegionLayout l = Layout(c);
    ASSERT_GT(l.separator, 0);
    ASSERT_EQ(l.area_mark, c.entries() - 2);
    EXPECT_EQ(l.separator % 2, 0);
    EXPECT_EQ(c.X(l.separator + 1), kRegionSeparator);
    EXPECT_TRUE(c.IsBreak(l.area_mark - 1));
    EXPECT_TRUE(c.IsBreak(l.area_mark - 2));
    // Diagonal estimates take off a quarter spacing strip along two sides.
    const double correction = direction < 2 ? (6.005 * 0.1 + 6.005 * 0.1) / 4 : 0;
    EXPECT_NEAR(c.Y(l.area_mark), 4 * std::numbers::pi - correction, 0.1);
    EXPECT_FLOAT_EQ(c.X(l.area_mark + 1), 3.005f);
    EXPECT_FLOAT_EQ(c.Y(l.area_mark + 1), 3.005f);
    // Hatch segments lie in the disc; boundary segments on its rim.
    for (int i = 0; i < l.separator; ++i) {
      if (!c.IsBreak(i)) {
        EXPECT_LE(std::hypot(c.X(i), c.Y(i)), 2 + 1e-3) << i;
      }
    }
    for (int i = l.separator + 2; i < l.area_mark - 2; ++i)
      EXPECT_NEAR(std::hypot(c.X(i), c.Y(i)), 2, 1e-3) << i;
  }
}

TEST(ImplicitRegion, OutsideOfTheDiscHasTheRemainingArea) {
  CurveFixture c;
  DefineImplicit(c, "x^2+y^2-4", kRelationGreaterEqual, "3", "0.1");
  ASSERT_TRUE(c.Resample());
  const RegionLayout l = Layout(c);
  ASSERT_GT(l.area_mark, 0);
  // 61 horizontal lines of length 6 at spacing 0.1, less the disc.
  EXPECT_NEAR(c.Y(l.area_mark), 6.1 * 6 - 4 * std::numbers::pi, 0.1);
}

TEST(ImplicitRegion, UndefinedEverywhereHasNoHatching) {
  CurveFixture c;
  DefineImplicit(c, "SQRT(-1-x^2)", kRelationGreaterEqual, "3", "0.5");
  ASSERT_TRUE(c.Resample());
  ASSERT_GE(c.entries(), 6);
  EXPECT_EQ(c.X(0), kRegionSeparator);
  EXPECT_EQ(c.X(1), kRegionSeparator);
  EXPECT_EQ(Layout(c).area_mark, c.entries() - 2);
  EXPECT_FLOAT_EQ(c.Y(c.entries() - 2), 0);
}

TEST(ImplicitRegion, StaysWithinTheEntryCap) {
  CurveFixture c;
  DefineImplicit(c, "SIN(3*x)*COS(3*y)", kRelationGreater, "10", "0.05");
  ASSERT_TRUE(c.Resample());
  EXPECT_LE(c.entries(), kMaxSampleEntries);
  const RegionLayout l = Layout(c);
  ASSERT_GE(l.separator, 0);
  EXPECT_LE(l.separator, 9999);
}

}  // namespace
}  // namespace qzarn
