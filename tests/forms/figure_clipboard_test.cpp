#include "forms/figure_clipboard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "document/screen.h"
#include "engine/engine_fixture.h"
#include "engine/screen_builder.h"

namespace qzarn::forms {
namespace {

std::unique_ptr<Screen> NewScreen() {
  static ScreenTitleCounter titles;
  return Screen::Create(NewScreenDefaults{}, titles);
}

// A record of the type with a name, every reference set to slot 7, loci on and
// the reserved block scribbled over: everything a copy must not keep.
FigureRecord TiedRecord(std::int32_t type) {
  FigureRecord r = FigureRecord::Blank(type);
  for (int i = 0; i < ReferenceCount(type); ++i)
    SetReferenceAt(r, i, 7);
  if (PointRecord* p = r.point()) {
    p->Name = "A";
    p->Ref0 = 7;
    p->Ref1 = 7;
    p->Track = true;
    p->TrackConnect = true;
    p->TrackCount = 12;
    p->RatioDegenerate = 1;
    p->X = 2.5;
    p->Reserved[0] = 9.0F;
  } else if (LineRecord* l = r.line()) {
    l->Name = "l";
    l->PointName1 = "P";
    l->PointName2 = "Q";
    l->PaintFlag = true;
    l->TrackCount = 12;
    l->X0 = 2.5;
    l->Reserved[0] = 9.0F;
  } else if (CircleRecord* c = r.circle()) {
    c->Name = "c";
    c->PointName1 = "P";
    c->PointName3 = "R";
    c->PaintFlag = true;
    c->TrackCount = 12;
    c->Reserved[0] = 9.0F;
  } else if (FunctionRecord* f = r.function()) {
    f->Name = "f";
    f->CurveValid = 1;
    f->SampleLast = 40;
    f->KisekiF = true;
    f->TrackCount = 3;
    f->Reserved[0] = 9.0F;
    r.owned.SampleX.assign(41, 1.0F);
    const float xs[] = {1.0F, 2.0F};
    r.owned.KisekiList.push_back(xs, xs);
    r.owned.KisekiList.push_back(xs, xs);
  } else if (FrameRecord* fr = r.frame()) {
    fr->Name = "T";
    fr->PointName1 = "P";
    fr->X0 = 2.5;
    if (type == kOleFigure) fr->Object().Container = 77;
  } else if (PolygonRecord* pg = r.polygon()) {
    pg->Name = "D";
    pg->VX[3] = 2.5;
  } else if (MultiPointRecord* m = r.multi_point()) {
    for (FigureName& name : m->Names)
      name = "K";
    m->Track = true;
    m->Reserved2480 = 1;
    for (I32& count : m->TrackCount)
      count = 5;
  }
  if (type == kMensekiFigure) {
    r.owned.HatchX.assign(8, 1.0F);
    r.point()->HatchCount = 8;
  }
  return r;
}

TEST(DetachCopyTest, EveryTypeLosesNamesReferencesLociAndRuntimeData) {
  for (std::int32_t type = 1; type <= kLastFigureType; ++type) {
    SCOPED_TRACE(type);
    FigureRecord r = TiedRecord(type);
    DetachCopy(r);
    EXPECT_EQ(r.name(), type == kCharFigure ? "??" : "");
    // Every reference a figure of the type can hold is none afterwards.
    const int refs = type == kPointFigure ? 2 : ReferenceCount(type);
    for (int i = 0; i < refs; ++i) {
      if (type == kPointFigure && i == 1) {
        EXPECT_EQ(r.point()->Ref1, kNoReference);
      } else {
        EXPECT_EQ(ReferenceAt(r, i), kNoReference) << "reference " << i;
      }
    }
    EXPECT_TRUE(r.owned.SampleX.empty());
    EXPECT_TRUE(r.owned.KisekiList.empty());
    EXPECT_TRUE(r.owned.HatchX.empty());
    if (const PointRecord* p = r.point()) {
      EXPECT_FALSE(p->Track);
      EXPECT_EQ(p->TrackCount, -1);
      EXPECT_FLOAT_EQ(p->Reserved[0], kReservedBlockInit[0]);
      EXPECT_DOUBLE_EQ(p->X, 2.5);  // coordinates stay
      if (type == kPointFigure) {
        EXPECT_FALSE(p->TrackConnect);
      }
      if (type == kCrossFigure || type == kCross2Figure || type == kMensekiFigure) {
        EXPECT_EQ(p->RatioDegenerate, 0);
      }
      if (type == kMensekiFigure) {
        EXPECT_EQ(p->HatchCount, -1);
      }
    }
    if (const LineRecord* l = r.line()) {
      if (type != kAngleFigure) {
        EXPECT_FALSE(l->PaintFlag);
        EXPECT_EQ(l->TrackCount, -1);
      }
      if (type == kParabolaFigure || type == kAngleFigure) {
        EXPECT_TRUE(l->PointName1.empty());
      }
      EXPECT_DOUBLE_EQ(l->X0, 2.5);
      EXPECT_FLOAT_EQ(l->Reserved[0], kReservedBlockInit[0]);
    }
    if (const CircleRecord* c = r.circle()) {
      EXPECT_TRUE(c->PointName1.empty());
      EXPECT_TRUE(c->PointName3.empty());
      EXPECT_FALSE(c->PaintFlag);
    }
    if (const FunctionRecord* f = r.function()) {
      EXPECT_EQ(f->CurveValid, 0);
      EXPECT_EQ(f->SampleLast, -1);
      EXPECT_FALSE(f->KisekiF);
    }
    if (const FrameRecord* fr = r.frame()) {
      EXPECT_TRUE(fr->PointName1.empty());
      EXPECT_DOUBLE_EQ(fr->X0, 2.5);
      if (type == kOleFigure) {
        EXPECT_EQ(fr->Object().Container, 0U);
      }
    }
    if (const PolygonRecord* pg = r.polygon()) {
      EXPECT_DOUBLE_EQ(pg->VX[3], 2.5);
    }
    if (const MultiPointRecord* m = r.multi_point()) {
      for (const FigureName& name : m->Names)
        EXPECT_TRUE(name.empty());
      EXPECT_FALSE(m->Track);
      EXPECT_EQ(m->Reserved2480, 0);
      for (const I32& count : m->TrackCount)
        EXPECT_EQ(count, -1);
    }
  }
}

TEST(FigureClipboardTest, CopyPasteAcrossScreensGivesAnIndependentFreeFigure) {
  auto source = NewScreen();
  auto target = NewScreen();
  CopiedFigure copied;
  EXPECT_FALSE(copied.CopyFrom(*source));  // nothing selected
  EXPECT_FALSE(copied.held());

  const int area = *NewFigure(source->Figures, TiedRecord(kMensekiFigure));
  source->SelectedIndex = area;
  ASSERT_TRUE(copied.CopyFrom(*source));
  // The held copy owns its hatch: freeing the original leaves it whole.
  FreeFigure(source->Figures, area);
  ASSERT_TRUE(copied.held());
  EXPECT_EQ(copied.record()->owned.HatchX.size(), 8U);
  EXPECT_EQ(copied.record()->point()->Ref0, 7);  // detached only when pasted

  // Pasted twice into another screen: two free figures, the copy still held.
  const auto first = InsertCopy(*target, *copied.record());
  const auto second = InsertCopy(*target, *copied.record());
  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  const FigureRecord& pasted = *target->Figures.record(*first);
  EXPECT_EQ(pasted.point()->Ref0, kNoReference);
  EXPECT_TRUE(pasted.owned.HatchX.empty());
  EXPECT_TRUE(copied.held());
  EXPECT_EQ(target->SelectedIndex, -1);
}

// A circle about P through Q, a line P-Q, a text box hung on P and a point tied
// to P, all made while P was at (-3, 1); P has since been dragged to (-4.6, 2.6).
TEST(FigureClipboardTest, ACopyLiesWhereItsFigureLiesNowNotWhereItWasMade) {
  testing::EngineFixture fx;
  testing::ScreenBuilder b;
  const int p = b.Point("-3", "1");
  const int q = b.Point("2", "3");
  const int circle = b.Circle(0, "-3", "1", "5.385", "", "", "", p, q);
  const int line = b.LineLike(kLineFigure, 0, "-3", "1", "2", "3", p, q);
  const int text = b.Frame(kCharFigure, "-3", "1", "0", "0", p);
  const int tied = b.Point("-3", "1", p);
  const int lost = b.Point("1", "1", 400);  // refers to an empty slot
  b.Record(p).point()->FX = "-4.6";
  b.Record(p).point()->FY = "2.6";
  fx.engine.RecomputeScreen(b.screen());

  const auto text_of = [](const Expression& e) { return std::string(e.view()); };
  const FigureRecord c = SettledCopy(b.screen(), circle);
  EXPECT_EQ(text_of(c.circle()->FX0), "-4.6");
  EXPECT_EQ(text_of(c.circle()->FY0), "2.6");
  EXPECT_NEAR(std::stod(text_of(c.circle()->FX1)), std::hypot(6.6, 0.4), 1e-9);
  const FigureRecord l = SettledCopy(b.screen(), line);
  EXPECT_EQ(text_of(l.line()->FX0), "-4.6");
  EXPECT_EQ(text_of(l.line()->FY1), "3");
  const FigureRecord t = SettledCopy(b.screen(), text);
  EXPECT_EQ(text_of(t.frame()->FX0), "-4.6");
  EXPECT_EQ(text_of(t.frame()->FX1), "0");  // no reference: the text stays
  EXPECT_EQ(text_of(SettledCopy(b.screen(), tied).point()->FY), "2.6");
  EXPECT_EQ(text_of(SettledCopy(b.screen(), lost).point()->FX), "1");
  // The held copy is settled too, and pasted elsewhere it computes to the same circle.
  b.screen().SelectedIndex = circle;
  CopiedFigure copied;
  ASSERT_TRUE(copied.CopyFrom(b.screen()));
  auto target = NewScreen();
  const auto pasted = InsertCopy(*target, *copied.record());
  ASSERT_TRUE(pasted);
  fx.engine.RecomputeScreen(*target);
  const CircleRecord& on_target = *target->Figures.record(*pasted)->circle();
  EXPECT_NEAR(on_target.X0, -4.6, 1e-9);
  EXPECT_NEAR(on_target.Y0, 2.6, 1e-9);
  EXPECT_NEAR(on_target.RadiusValue, std::hypot(6.6, 0.4), 1e-9);
  EXPECT_TRUE(SettledCopy(b.screen(), 300).empty());
}

TEST(FigureClipboardTest, PasteIntoAFullTableOrOfNothingDoesNothing) {
  auto screen = NewScreen();
  for (int i = 0; i < kFigureSlots; ++i)
    ASSERT_TRUE(NewFigure(screen->Figures, FigureRecord::Blank(kPointFigure)));
  EXPECT_FALSE(InsertCopy(*screen, FigureRecord::Blank(kCircleFigure)));
  auto empty = NewScreen();
  EXPECT_FALSE(InsertCopy(*empty, FigureRecord{}));
}

}  // namespace
}  // namespace qzarn::forms
