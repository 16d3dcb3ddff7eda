#include "interact/hit_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "engine/function_sampling.h"
#include "engine/implicit_curves.h"
#include "render/figure_drawing_fixture.h"
#include "render/figure_drawing_ink.h"

namespace qzarn::interact {
namespace {

// A new 640 x 480 screen at 100 %: the origin at (320, 240), 25 pixels per unit.
double Px(double x) {
  return 320 + 25 * x;
}
double Py(double y) {
  return 240 - 25 * y;
}

class HitTestTest : public FigureDrawingTest {
 protected:
  HitResult Pick(double px, double py) { return PickFigure(*screen, settings, px, py); }
  HitResult PickAt(double x, double y) { return Pick(Px(x), Py(y)); }
  HitResult Selected(int slot, double px, double py) {
    return HitSelected(*screen, settings, slot, px, py);
  }

  CircleRecord& AddCircle(double x, double y, double r) {
    CircleRecord& c = *Add(kCircleFigure).circle();
    c.X0 = x;
    c.Y0 = y;
    c.RadiusValue = r;
    c.DispL = true;
    c.SizeL = 2;
    c.SizeP = 3;
    return c;
  }

  FrameRecord& AddTextBox(double x0, double y0, double x1, double y1) {
    FrameRecord& f = *Add(kCharFigure).frame();
    f.X0 = x0;
    f.Y0 = y0;
    f.X1 = x1;
    f.Y1 = y1;
    return f;
  }

  // A polygon (or spline) through new points at the given corners.
  PolygonRecord& AddPolygon(const std::vector<PlanePoint>& corners, std::int32_t type) {
    std::vector<int> slots;
    for (const PlanePoint& c : corners) {
      slots.push_back(next_slot);
      AddPoint(c.x, c.y);
    }
    PolygonRecord& p = *Add(type).polygon();
    for (int i = 0; i < kPolygonVertices; ++i)
      p.Refs[i] = kNoReference;
    for (std::size_t i = 0; i < corners.size(); ++i) {
      p.Refs[i] = slots[i];
      p.VX[i] = corners[i].x;
      p.VY[i] = corners[i].y;
    }
    p.DispL = true;
    p.SizeL = 2;
    p.SS = 0.01;
    return p;
  }

  FigureRecord& AddFunction(const std::vector<float>& xs, const std::vector<float>& ys) {
    FigureRecord& r = Add(kFunctionFigure);
    FunctionRecord& f = *r.function();
    f.FuncKind = kExplicitCurve;
    f.DispL = true;
    f.SizeL = 2;
    f.SizeP = 3;
    r.owned.SampleX = xs;
    r.owned.SampleY = ys;
    f.SampleLast = static_cast<std::int32_t>(xs.size()) - 1;
    return r;
  }

  HitSettings settings;
};

struct BandCase {
  std::string name;
  PointF a, b;
  bool restricted;
  PointF mouse;
  bool hit;
};

TEST(InBandTest, MeasuresAlongTheSteeperAxis) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<BandCase> cases = {
      // Exactly 45 degrees is measured horizontally: 3 pixels of a width-2 line.
      {"diagonal 3 px right", {0, 0}, {100, -100}, true, {53, -50}, true},
      {"diagonal 3 px left", {0, 0}, {100, -100}, true, {47, -50}, true},
      {"diagonal 3.5 px right", {0, 0}, {100, -100}, true, {53.5, -50}, false},
      // Slightly flatter: measured vertically, so 3.2 px sideways is 3.17 px off.
      {"flatter 3 px below", {0, 0}, {100, -99}, true, {50, -46.5}, true},
      {"flatter 3.2 px right", {0, 0}, {100, -99}, true, {53.2, -49.5}, false},
      {"beyond the end, restricted", {0, 0}, {100, -100}, true, {110, -110}, false},
      {"beyond the end, whole line", {0, 0}, {100, -100}, false, {110, -110}, true},
      {"vertical restricted on y", {5, 0}, {5, 100}, true, {6, 101}, false},
      {"coinciding ends", {5, 5}, {5, 5}, false, {5, 5}, false},
      {"far pixel y", {0, 0}, {100, 20000}, false, {50, 10000}, false},
      {"NaN end", {0, 0}, {nan, 10}, false, {0, 0}, false},
      {"NaN mouse", {0, 0}, {100, 0}, false, {nan, 0}, false},
  };
  for (const BandCase& c : cases)
    EXPECT_EQ(InBand(c.a, c.b, 3, c.restricted, c.mouse), c.hit) << c.name;
}

TEST(FrameHandleTest, GripsBorderAndInside) {
  // A box from (100, 100) to (200, 160) in pixels, corners given in any order.
  const PointF c0{200, 100}, c1{100, 160};
  struct Case {
    PointF mouse;
    int handle;
  };
  const std::vector<Case> cases = {
      {{102, 158}, 0},  {{102, 130}, 1}, {{102, 102}, 2},  {{150, 158}, 3},  {{150, 102}, 5},
      {{198, 158}, 6},  {{198, 130}, 7}, {{198, 102}, 8},  {{130, 102}, 10}, {{102, 145}, 10},
      {{150, 130}, 12}, {{99, 130}, -1}, {{150, 161}, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FrameHandle(c0, c1, false, c.mouse), c.handle) << c.mouse.x << "," << c.mouse.y;
  }
  // A text box sized to its text is grabbed whole.
  EXPECT_EQ(FrameHandle(c0, c1, true, {102, 158}), kFrameInsideHandle);
  EXPECT_EQ(FrameHandle(c0, c1, true, {99, 130}), kNoHandle);
}

TEST_F(HitTestTest, SearchOrderPrefersPointsThenFramesThenHigherSlots) {
  AddPoint(1, 1);         // slot 0, on both lines
  AddLine(0, 0, 2, 2);    // slot 1
  AddLine(-1, -1, 3, 3);  // slot 2: the same line, higher slot
  EXPECT_EQ(PickAt(1, 1).slot, 0);
  EXPECT_EQ(PickAt(1.5, 1.5).slot, 2);

  AddTextBox(5, 1, 7, -1);  // slot 3
  AddCircle(9, 0, 3);       // slot 4: its rim runs through the box at x = 6
  EXPECT_EQ(PickAt(6, 0).slot, 3);
  EXPECT_EQ(PickAt(12, 0), (HitResult{4, kSecondPointHandle, -1}));

  settings.tool_armed = true;
  EXPECT_FALSE(PickAt(1.5, 1.5).hit());
  EXPECT_EQ(PickPoint(*screen, settings, Px(1), Py(1)).slot, 0);
  EXPECT_FALSE(Selected(2, Px(1.5), Py(1.5)).hit());
}

TEST_F(HitTestTest, ShownOnlyPassesOverHiddenFigures) {
  PointRecord& p = AddPoint(1, 1);  // slot 0, on the line
  LineRecord& l = AddLine(0, 0, 2, 2);
  p.DispMark = false;
  EXPECT_EQ(PickAt(1, 1).slot, 0);  // hidden figures can be picked by default
  settings.shown_only = true;
  EXPECT_EQ(PickAt(1, 1).slot, 1);
  EXPECT_FALSE(PickPoint(*screen, settings, Px(1), Py(1)).hit());
  l.DispL = false;
  EXPECT_FALSE(PickAt(1, 1).hit());
  p.DispMark = true;
  EXPECT_EQ(PickPoint(*screen, settings, Px(1), Py(1)).slot, 0);
}

TEST_F(HitTestTest, SegmentIsHitBetweenItsPointsOnlyAWholeLineEverywhere) {
  LineRecord& l = AddLine(0, 0, 2, 0);
  l.DispB = true;
  EXPECT_TRUE(PickAt(1, 0).hit());
  EXPECT_FALSE(PickAt(4, 0).hit());
  l.DispB = false;
  EXPECT_EQ(PickAt(4, 0), (HitResult{0, kCurveHandle, -1}));
  EXPECT_EQ(PickAt(-8, 0).handle, kCurveHandle);
}

TEST_F(HitTestTest, DefiningPointsAreHandlesOnlyWhenFree) {
  AddPoint(-5, 3);                      // slot 0
  LineRecord& l = AddLine(0, 0, 4, 0);  // slot 1
  l.DispB = true;
  l.Ref0 = kNoReference;
  l.Ref1 = kNoReference;
  EXPECT_EQ(Selected(1, Px(0), Py(0)).handle, kMarkHandle);
  EXPECT_EQ(Selected(1, Px(4), Py(0)).handle, kSecondPointHandle);
  l.Ref0 = 0;  // the first point follows a point figure: only the line is there
  EXPECT_EQ(Selected(1, Px(0), Py(0)).handle, kCurveHandle);
}

TEST_F(HitTestTest, PointMarkRadiusScalesWithTheFindFactor) {
  PointRecord& p = AddPoint(0, 0);
  p.Radius = 3;
  p.RimRadius = 0;
  struct Case {
    double factor, offset;
    bool hit;
  };
  // Radius 3 + 1 pixel; the factor multiplies the squared radius.
  for (const Case& c : std::vector<Case>{
           {1, 4, true}, {1, 4.5, false}, {4, 8, true}, {4, 8.5, false}, {0, 0.5, false}}) {
    settings.factors.PointFindValue = c.factor;
    EXPECT_EQ(Pick(320 + c.offset, 240).hit(), c.hit) << c.factor << " " << c.offset;
  }
}

TEST_F(HitTestTest, LocusEntriesAreHitFarFromThePoint) {
  PointRecord& p = AddPoint(8, 8);
  p.Track = true;
  p.TrackRadius = 2;
  p.TrackThick = 1;
  p.TrackCount = 2;
  const float xs[] = {-3, -3, 1}, ys[] = {0, 2, 2};
  for (int i = 0; i < 3; ++i) {
    p.TrackX[i] = xs[i];
    p.TrackY[i] = ys[i];
  }
  EXPECT_EQ(PickAt(-3, 2), (HitResult{0, kLocusHandle, -1}));
  EXPECT_FALSE(PickAt(-3, 1).hit());  // between two dots
  p.TrackConnect = true;
  EXPECT_EQ(PickAt(-3, 1).handle, kLocusHandle);
  EXPECT_EQ(PickAt(-1, 2).handle, kLocusHandle);
  // Once the ring wrapped, the join from the newest entry to the next is not drawn.
  p.TrackCount = 500;  // newest entry: index 0
  EXPECT_FALSE(PickAt(-3, 1).hit());
  EXPECT_TRUE(PickAt(-1, 2).hit());
}

TEST_F(HitTestTest, SelectedGripsAreTwiceAsLarge) {
  MultiPointRecord& m = *Add(kCross3Figure).multi_point();
  m.Radius = 3;
  m.RimRadius = 0;
  for (int i = 0; i < kCross3Points; ++i) {
    m.PX[i] = kUndefinedCoordinate;
    m.PY[i] = kUndefinedCoordinate;
  }
  m.PX[2] = 2;
  m.PY[2] = 0;
  EXPECT_EQ(PickPoint(*screen, settings, Px(2), Py(0)), (HitResult{0, kMarkHandle, 2}));
  // 6 pixels away: outside the radius 4 of a pick, inside the radius 7 of a grab.
  EXPECT_FALSE(PickPoint(*screen, settings, Px(2) + 6, Py(0)).hit());
  EXPECT_EQ(Selected(0, Px(2) + 6, Py(0)), (HitResult{0, kMarkHandle, 2}));
  settings.point_zoom = false;  // the doubling follows the zoom only with point zoom on
  EXPECT_FALSE(Selected(0, Px(2) + 6, Py(0)).hit());
}

TEST_F(HitTestTest, CircleCentreRimAndTinyCircles) {
  AddCircle(0, 0, 2);
  struct Case {
    double dx;
    int handle;
  };
  // Rim at 50 pixels: from 50 - 1 - 2 to 50 + 1 pixels.
  for (const Case& c : std::vector<Case>{{0, kMarkHandle},
                                         {10, -1},
                                         {47, kSecondPointHandle},
                                         {51, kSecondPointHandle},
                                         {46.5, -1},
                                         {51.5, -1}}) {
    EXPECT_EQ(Pick(320 + c.dx, 240).handle, c.handle) << c.dx;
  }
  // A circle of one pixel radius: everything within its pen is the rim.
  CircleRecord& tiny = *screen->Figures.record(0)->circle();
  tiny.RadiusValue = 0.04;
  tiny.SizeP = 0;
  EXPECT_EQ(Pick(320.5, 240).handle, kSecondPointHandle);
  tiny.RadiusValue = -2;  // nothing is drawn for a negative radius
  EXPECT_FALSE(Pick(370, 240).hit());
}

TEST_F(HitTestTest, PolygonIsNotGrabbedAtItsVertices) {
  AddPolygon({{0, 0}, {4, 0}, {0, 4}}, kPolyFigure);  // points in slots 0..2, polygon 3
  EXPECT_EQ(PickAt(0, 0).slot, 0);                    // the point there
  EXPECT_FALSE(Selected(3, Px(0), Py(0)).hit());
  EXPECT_FALSE(Selected(3, Px(0) + 3, Py(0)).hit());  // within SizeL * 2z when grabbed
  EXPECT_TRUE(Selected(3, Px(0) + 5, Py(0)).hit());
  EXPECT_EQ(PickAt(2, 0), (HitResult{3, kCurveHandle, -1}));
  EXPECT_EQ(PickAt(0, 2).slot, 3);   // the closing edge
  EXPECT_FALSE(PickAt(1, 1).hit());  // the inside is not the outline
}

struct AngleCase {
  double start, end, mouse_degrees, distance;
  bool hit;
};

TEST_F(HitTestTest, AngleMarkSector) {
  PointRecord& a = *Add(kAngle2Figure).point();
  a.ArcRadius = 2;  // 50 pixels
  const std::vector<AngleCase> cases = {
      {0, 90, 45, 1, true},    {0, 90, 100, 1, false},
      {0, 90, 45, 2.1, false}, {30, 31, 30.5, 1, false},  // one degree: cannot be hit
      {30, 32.5, 31, 1, true}, {-90, 0, 315, 1, true},    // a smaller angle across 0 degrees
      {300, 420, 30, 1, true}, {300, 420, 200, 1, false},
  };
  for (const AngleCase& c : cases) {
    a.LabelX = c.start;
    a.LabelY = c.end;
    const double t = c.mouse_degrees * std::numbers::pi / 180;
    EXPECT_EQ(PickAt(c.distance * std::cos(t), c.distance * std::sin(t)).hit(), c.hit)
        << c.start << ".." << c.end << " at " << c.mouse_degrees;
  }
  a.LabelY = kUndefinedCoordinate;
  EXPECT_FALSE(PickAt(0.5, 0.5).hit());
}

TEST_F(HitTestTest, ParabolaCurveArmsAndDegenerateForms) {
  LineRecord& l = AddLine(0, 0, 1, 1, kParabolaFigure);  // y = x^2
  l.Ref0 = 5;  // the vertex follows another figure: no vertex handle
  l.Ref1 = 5;
  struct Case {
    double x, y;
    bool hit;
  };
  for (const Case& c : std::vector<Case>{{0, 0, true},
                                         {2, 4, true},
                                         {-2, 4, true},
                                         {2, 3, false},
                                         {3, 9, true},
                                         {3.05, 9, true},
                                         {3.3, 9, false},
                                         {0, 1, false}}) {
    EXPECT_EQ(PickAt(c.x, c.y).hit(), c.hit) << c.x << "," << c.y;
  }
  l.Y1 = 0;  // the horizontal line y = 0 across the view
  EXPECT_TRUE(PickAt(12, 0).hit());
  l.X1 = 0;  // vertex and point together: only the vertex mark is drawn
  EXPECT_FALSE(PickAt(5, 0).hit());
}

TEST_F(HitTestTest, FunctionCurveBreaksJumpsAndDots) {
  // y = x on [-4, 0], a break, then a jump to y = x + 6.
  FigureRecord& r = AddFunction({-4, -2, 0, 20000, 1, 2, 3}, {-4, -2, 0, 20000, 7, 8, 9});
  EXPECT_EQ(PickAt(-1, -1), (HitResult{0, kCurveHandle, -1}));
  EXPECT_FALSE(PickAt(0.5, 3.5).hit());  // no join across the break
  EXPECT_TRUE(PickAt(2.5, 8.5).hit());
  FunctionRecord& f = *r.function();
  f.DispL = false;
  f.DispP = true;
  EXPECT_TRUE(PickAt(-2, -2).hit());
  EXPECT_FALSE(PickAt(-1, -1).hit());
  EXPECT_TRUE(Selected(0, Px(-2) + 5, Py(-2)).hit());  // dots of 2 * SizeP when selected
  f.SampleLast = 1000000;  // a count beyond the lists reads the lists only
  EXPECT_TRUE(PickAt(3, 9).hit());
}

TEST_F(HitTestTest, RegionHatchingAndBoundaryAsShown) {
  // One hatch segment, the separator, one boundary segment, the area entry.
  const float sep = kRegionSeparator, area = kRegionAreaMark;
  FigureRecord& r = AddFunction({-6, -4, sep, sep, -6, -4, 20000, 20000, area, 0},
                                {1, 1, sep, sep, -1, -1, 20000, 20000, 12, 0});
  FunctionRecord& f = *r.function();
  f.FuncKind = kImplicitCurve;
  f.Mode = kRelationGreater;
  f.Recursive = true;  // hatching hidden
  EXPECT_FALSE(PickAt(-5, 1).hit());
  EXPECT_TRUE(PickAt(-5, -1).hit());
  f.Recursive = false;
  f.DispL = false;  // hatching shown, boundary hidden
  EXPECT_TRUE(PickAt(-5, 1).hit());
  EXPECT_FALSE(PickAt(-5, -1).hit());
  f.Recursive = true;  // neither shown: the segment ends count as dots
  EXPECT_TRUE(PickAt(-4, -1).hit());
  EXPECT_FALSE(PickAt(-5, -1).hit());
}

TEST_F(HitTestTest, AreaHatchAndSpline) {
  FigureRecord& area = Add(kMensekiFigure);
  area.owned.HatchX = {-6, -6, -5, -5};
  area.owned.HatchY = {0, 3, 0, 3};
  area.point()->HatchCount = 1000;  // damaged: more than the lists hold
  area.point()->RimRadius = 1;
  EXPECT_EQ(PickAt(-5, 1.5), (HitResult{0, kCurveHandle, -1}));
  EXPECT_FALSE(PickAt(-5.5, 1.5).hit());

  AddPolygon({{2, 0}, {4, 2}, {6, 0}}, kSplineFigure);  // points 1..3, spline 4
  EXPECT_EQ(Selected(4, Px(4), Py(2)).handle, kCurveHandle);
  EXPECT_FALSE(Selected(4, Px(4), Py(0)).hit());
}

// Damaged values must never crash nor hit, wherever the mouse is.
TEST_F(HitTestTest, DamagedRecordsAreNeverHit) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // Scale 1 at 10 % with the origin panned far left: the off-plane value
  // 20000 lands in the middle of the surface.
  screen->View().Scale = 1;
  screen->View().Zoom = 10;
  screen->View().PanX = -2000;
  for (const double bad : {nan, inf, 1e15, 20000.0, -20000.0}) {
    PointRecord& p = AddPoint(bad, 0);
    p.Track = true;
    p.TrackCount = 100000;
    for (int i = 0; i < kTrackLength; ++i) {
      p.TrackX[i] = static_cast<float>(bad);
      p.TrackY[i] = 0;
    }
    AddLine(bad, 0, 20000, 1);
    AddCircle(bad, 0, 2);
    AddCircle(20000, 0, bad);
    PointRecord& a = *Add(kAngle2Figure).point();
    a.X = 20000;
    a.LabelX = 0;
    a.LabelY = bad;
    a.ArcRadius = 1e6;
    AddTextBox(bad, 0, 20000, 1);
    AddLine(20000, 0, bad, 1, kParabolaFigure);
    AddPolygon({{20000, 0}, {bad, 1}, {20000, 2}}, kPolyFigure);
    FigureRecord& f = AddFunction({20000, static_cast<float>(bad), 20000}, {0, 1, 2});
    f.function()->SampleLast = 1 << 30;
  }
  screen->Figures.LastIndex = 99999;
  for (int x = 0; x < 640; x += 4) {
    for (int y = 0; y < 480; y += 4) {
      ASSERT_FALSE(Pick(x, y).hit()) << x << "," << y;
    }
  }
  for (int slot = 0; slot < next_slot; ++slot)
    EXPECT_FALSE(Selected(slot, 320, 240).hit()) << slot;
}

// Pixels on what drawing put on the canvas hit the figure; pixels well away do not.
TEST_F(HitTestTest, DrawnStrokesAreHit) {
  AddLine(-6, -4, 2, 5).DispB = true;                // slot 0
  AddCircle(6, 3, 2.5);                              // slot 1
  AddFunction({-10, -8, -6, -4}, {-6, -2, -3, -7});  // slot 2
  RecordingCanvas canvas = Draw();
  int checked = 0;
  for (const CanvasCall& c : canvas.DrawingCalls()) {
    std::vector<PointF> on;
    if (c.kind == CallKind::kLine) {
      on.push_back({(c.points[0].x + c.points[1].x) / 2, (c.points[0].y + c.points[1].y) / 2});
    } else if (c.kind == CallKind::kEllipse && c.box.right - c.box.left > 20) {
      const double cy = (c.box.top + c.box.bottom) / 2;
      on.push_back({c.box.left, cy});
      on.push_back({c.box.right, cy});
    }
    for (const PointF& p : on) {
      EXPECT_TRUE(Pick(p.x, p.y).hit()) << p.x << "," << p.y;
      ++checked;
    }
  }
  EXPECT_GE(checked, 5);
  for (const PointF& away : std::vector<PointF>{{Px(-4), Py(2)}, {Px(6), Py(4)}, {Px(-7), Py(0)}})
    EXPECT_FALSE(Pick(away.x, away.y).hit()) << away.x << "," << away.y;
}

}  // namespace
}  // namespace qzarn::interact
