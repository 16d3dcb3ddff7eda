#include "engine/locus.h"

#include <gtest/gtest.h>

#include "document/document_file.h"
#include "document/screen.h"

namespace qzarn {
namespace {

FigureRecord PointWithLocus(std::int32_t type = kPointFigure) {
  FigureRecord r = FigureRecord::Blank(type);
  r.point()->Track = true;
  r.point()->TrackCount = -1;
  return r;
}

void MovePoint(FigureRecord& r, double x, double y) {
  r.point()->X = x;
  r.point()->Y = y;
}

FigureRecord FunctionWithCurve(int samples) {
  FigureRecord r = FigureRecord::Blank(kFunctionFigure);
  FunctionRecord& f = *r.function();
  f.KisekiF = true;
  f.TrackCount = -1;
  f.CurveValid = 1;
  f.SampleLast = samples - 1;
  for (int i = 0; i < samples; ++i) {
    r.owned.SampleX.push_back(static_cast<float>(i));
    r.owned.SampleY.push_back(static_cast<float>(i * i));
  }
  return r;
}

TEST(LocusRing, CounterRunsToNinetyNineHundredNinetyNineThenDropsToFiveHundred) {
  struct Case {
    std::int32_t count, next, entries;
  };
  const Case cases[] = {{-1, 0, 0},       {-7, 0, 0},        {0, 1, 1},       {498, 499, 499},
                        {499, 500, 500},  {500, 501, 500},   {998, 999, 500}, {999, 500, 500},
                        {1000, 501, 500}, {123456, 957, 500}};
  for (const Case& c : cases) {
    EXPECT_EQ(NextLocusCount(c.count), c.next) << c.count;
    EXPECT_EQ(LocusEntryCount(c.count), c.entries) << c.count;
  }
}

TEST(RecordLocus, SixHundredPositionsKeepTheLastFiveHundred) {
  FigureRecord r = PointWithLocus();
  for (int i = 0; i < 600; ++i) {
    MovePoint(r, i, -i);
    ASSERT_TRUE(RecordLocus(r));
  }
  const PointRecord& p = *r.point();
  EXPECT_EQ(p.TrackCount, 599);
  EXPECT_FLOAT_EQ(p.TrackX[99].get(), 599.0f);  // newest
  EXPECT_FLOAT_EQ(p.TrackY[99].get(), -599.0f);
  EXPECT_FLOAT_EQ(p.TrackX[100].get(), 100.0f);  // oldest kept
  EXPECT_FLOAT_EQ(p.TrackX[499].get(), 499.0f);

  // 400 more wrap the counter from 999 back to 500.
  for (int i = 600; i < 1001; ++i) {
    MovePoint(r, i, 0);
    RecordLocus(r);
  }
  EXPECT_EQ(r.point()->TrackCount, 500);
  EXPECT_FLOAT_EQ(r.point()->TrackX[0].get(), 1000.0f);
}

TEST(RecordLocus, StillFiguresAddNothing) {
  struct Case {
    double x0, y0, x1, y1;
    bool recorded;
  };
  const Case cases[] = {
      {1.0, 2.0, 1.0, 2.0, false},
      {1.0, 2.0, 1.0 + 5e-7, 2.0 - 5e-7, false},
      {1.0, 2.0, 1.0 + 1e-5, 2.0, true},
      {1.0, 2.0, 1.0, 2.5, true},
      // Values that do not survive 32-bit rounding stay still all the same.
      {100.1, 3.3, 100.1, 3.3, false},
      {12345.678, -0.1, 12345.678, -0.1, false},
      {1e15, 1e15, 1e15, 1e15, false},  // undefined points are stored like any other
  };
  for (const Case& c : cases) {
    FigureRecord r = PointWithLocus(kCrossFigure);
    MovePoint(r, c.x0, c.y0);
    ASSERT_TRUE(RecordLocus(r));
    MovePoint(r, c.x1, c.y1);
    EXPECT_EQ(RecordLocus(r), c.recorded) << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
    EXPECT_EQ(r.point()->TrackCount, c.recorded ? 1 : 0);
  }
}

TEST(RecordLocus, OnlyFiguresWithTheirSwitchOnRecord) {
  FigureRecord off = PointWithLocus();
  off.point()->Track = false;
  EXPECT_FALSE(RecordLocus(off));
  EXPECT_EQ(off.point()->TrackCount, -1);
  // Angle, measured angle and area have no locus, whatever their flag bytes say.
  for (std::int32_t type : {kAngle2Figure, kMensekiFigure}) {
    FigureRecord r = PointWithLocus(type);
    EXPECT_FALSE(RecordLocus(r)) << type;
    EXPECT_FALSE(LocusOn(r));
  }
  FigureRecord angle = FigureRecord::Blank(kAngleFigure);
  angle.line()->PaintFlag = true;
  angle.line()->TrackCount = -1;
  EXPECT_FALSE(RecordLocus(angle));
  EXPECT_FALSE(CanHaveLocus(kAngleFigure));
}

TEST(RecordLocus, LinesAndCirclesStoreTheirShape) {
  FigureRecord line = FigureRecord::Blank(kSessenFigure);
  LineRecord& l = *line.line();
  l.PaintFlag = true;
  l.TrackCount = -1;
  l.X0 = 1, l.Y0 = 2, l.X1 = 3, l.Y1 = 4;
  ASSERT_TRUE(RecordLocus(line));
  l.X1 = 5;  // one end moving is a move
  ASSERT_TRUE(RecordLocus(line));
  EXPECT_EQ(l.TrackCount, 1);
  EXPECT_FLOAT_EQ(l.TrackX1[0].get(), 3.0f);
  EXPECT_FLOAT_EQ(l.TrackX1[1].get(), 5.0f);
  EXPECT_FLOAT_EQ(l.TrackY0[1].get(), 2.0f);

  FigureRecord circle = FigureRecord::Blank(kCircleFigure);
  CircleRecord& c = *circle.circle();
  c.PaintFlag = true;
  c.TrackCount = -1;
  c.X0 = -1, c.Y0 = 0.5, c.RadiusValue = 2;
  ASSERT_TRUE(RecordLocus(circle));
  EXPECT_FALSE(RecordLocus(circle));
  c.RadiusValue = 3;  // a growing circle about a fixed centre still moves
  ASSERT_TRUE(RecordLocus(circle));
  EXPECT_FLOAT_EQ(c.TrackR[1].get(), 3.0f);
  EXPECT_FLOAT_EQ(c.TrackCX[1].get(), -1.0f);
}

TEST(RecordLocus, IntersectionSetRecordsOnlyThePointsThatMoved) {
  FigureRecord r = FigureRecord::Blank(kCross3Figure);
  MultiPointRecord& m = *r.multi_point();
  m.Track = true;
  for (int i = 0; i < kCross3Points; ++i) {
    m.TrackCount[i] = -1;
    m.PX[i] = i;
    m.PY[i] = 1e15;  // undefined points are recorded like any other
  }
  ASSERT_TRUE(RecordLocus(r));
  m.PX[1] = 7.5;
  ASSERT_TRUE(RecordLocus(r));
  EXPECT_EQ(m.TrackCount[0], 0);
  EXPECT_EQ(m.TrackCount[1], 1);
  EXPECT_EQ(m.TrackCount[2], 0);
  EXPECT_EQ(m.TrackCount[3], 0);
  EXPECT_FLOAT_EQ(m.TrackX[1][1].get(), 7.5f);
  EXPECT_FALSE(RecordLocus(r));
}

TEST(TakeLocusSnapshot, FiveHundredSnapshotsThenTheOldestIsReplaced) {
  FigureRecord r = FunctionWithCurve(3);
  for (int i = 0; i < 500; ++i) {
    r.owned.SampleY[0] = static_cast<float>(i);
    ASSERT_TRUE(TakeLocusSnapshot(r));
  }
  EXPECT_EQ(r.function()->TrackCount, 500);
  ASSERT_EQ(r.owned.KisekiList.size(), 500u);

  r.owned.SampleY[0] = 1000.0f;
  r.owned.SampleX.resize(2);  // a resampled curve may have fewer samples
  r.owned.SampleY.resize(2);
  r.function()->SampleLast = 1;
  ASSERT_TRUE(TakeLocusSnapshot(r));
  EXPECT_EQ(r.function()->TrackCount, 501);
  ASSERT_EQ(r.owned.KisekiList.size(), 500u);
  EXPECT_FLOAT_EQ(r.owned.KisekiList[0].Y[0], 1000.0f);
  EXPECT_EQ(r.owned.KisekiList[0].X.size(), 2u);
  EXPECT_FLOAT_EQ(r.owned.KisekiList[1].Y[0], 1.0f);
}

TEST(TakeLocusSnapshot, SampleCountBeyondTheSamplesIsCut) {
  FigureRecord r = FunctionWithCurve(4);
  r.function()->SampleLast = 99;  // damaged: more than the arrays hold
  ASSERT_TRUE(TakeLocusSnapshot(r));
  EXPECT_EQ(r.owned.KisekiList.back().X.size(), 4u);
  r.function()->KisekiF = false;
  EXPECT_FALSE(TakeLocusSnapshot(r));
}

TEST(ClearLocus, FunctionKeepsItsCurrentCurveOnlyWhenValid) {
  FigureRecord r = FunctionWithCurve(5);
  for (int i = 0; i < 7; ++i)
    TakeLocusSnapshot(r);
  ClearLocus(r);
  EXPECT_EQ(r.function()->TrackCount, 1);
  ASSERT_EQ(r.owned.KisekiList.size(), 1u);
  EXPECT_EQ(r.owned.KisekiList[0].Y.size(), 5u);

  r.function()->CurveValid = 0;
  ClearLocus(r);
  EXPECT_EQ(r.function()->TrackCount, -1);
  EXPECT_TRUE(r.owned.KisekiList.empty());
}

std::unique_ptr<Screen> ScreenWithLoci() {
  ScreenTitleCounter titles;
  auto s = Screen::Create(NewScreenDefaults{}, titles);
  FigureRecord p = PointWithLocus();
  p.point()->TrackConnect = true;
  for (int i = 0; i < 3; ++i) {
    MovePoint(p, i, 2 * i);
    RecordLocus(p);
  }
  NewFigure(s->Figures, std::move(p));
  FigureRecord f = FunctionWithCurve(6);
  TakeLocusSnapshot(f);
  f.owned.SampleY[2] = -4.0f;
  TakeLocusSnapshot(f);
  NewFigure(s->Figures, std::move(f));
  NewFigure(s->Figures, FigureRecord::Blank(kCircleFigure));
  return s;
}

TEST(ScreenLoci, EngineHookMarksModifiedAndClearAllEmptiesEveryLocus) {
  auto s = ScreenWithLoci();
  EXPECT_TRUE(AnyLocusOn(*s));
  s->Modified = false;
  EXPECT_FALSE(RecordLocus(*s, 0));  // the point did not move
  EXPECT_FALSE(s->Modified);
  MovePoint(*s->Figures.record(0), 9, 9);
  EXPECT_TRUE(RecordLocus(*s, 0));
  EXPECT_TRUE(s->Modified);
  EXPECT_TRUE(RecordLocus(*s, 1));  // a resampled function takes a snapshot
  EXPECT_FALSE(RecordLocus(*s, 77));

  ClearAllLoci(*s);
  EXPECT_FALSE(HasLocusEntries(*s->Figures.record(0)));
  EXPECT_EQ(s->Figures.record(1)->owned.KisekiList.size(), 1u);
  EXPECT_EQ(s->Figures.record(2)->circle()->TrackCount, -1);

  s->Figures.record(0)->point()->Track = false;
  s->Figures.record(1)->function()->KisekiF = false;
  EXPECT_FALSE(AnyLocusOn(*s));
}

TEST(ScreenLoci, LociTravelWithTheDocument) {
  auto s = ScreenWithLoci();
  std::vector<std::uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(WritePlainDocument(*s, "loci.qzl", SaveOptions{}, bytes, error)) << error;
  ScreenTitleCounter titles;
  auto back = Screen::Create(NewScreenDefaults{}, titles);
  ASSERT_TRUE(ReadPlainDocument(bytes, *back).ok());

  const PointRecord& p = *back->Figures.record(0)->point();
  EXPECT_EQ(p.TrackCount, 2);
  EXPECT_FLOAT_EQ(p.TrackY[2].get(), 4.0f);
  const FigureRecord& f = *back->Figures.record(1);
  EXPECT_EQ(f.function()->TrackCount, 2);
  ASSERT_EQ(f.owned.KisekiList.size(), 2u);
  EXPECT_EQ(f.owned.KisekiList[1].X.size(), 6u);
  EXPECT_FLOAT_EQ(f.owned.KisekiList[1].Y[2], -4.0f);
  EXPECT_FLOAT_EQ(f.owned.KisekiList[0].Y[2], 4.0f);
}

}  // namespace
}  // namespace qzarn
