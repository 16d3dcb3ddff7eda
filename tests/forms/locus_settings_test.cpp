#include "forms/locus_settings.h"

#include <gtest/gtest.h>

#include "engine/locus.h"

namespace qzarn {
namespace {

// A figure of the type whose locus is switched on and holds three entries.
FigureRecord RecordingFigure(std::int32_t type) {
  FigureRecord r = FigureRecord::Blank(type);
  LocusSettings on = *ReadLocusSettings(r);
  on.on = true;
  ApplyLocusSettings(r, on);
  if (FunctionRecord* f = r.function()) {
    f->CurveValid = 1;
    f->SampleLast = 2;
    r.owned.SampleX = {0, 1, 2};
    r.owned.SampleY = {0, 1, 4};
    f->TrackCount = -1;
    for (int i = 0; i < 3; ++i)
      TakeLocusSnapshot(r);
    return r;
  }
  ClearLocus(r);
  for (int i = 0; i < 3; ++i) {
    if (PointRecord* p = r.point()) p->X = i;
    if (LineRecord* l = r.line()) l->X0 = i;
    if (CircleRecord* c = r.circle()) c->X0 = i;
    if (MultiPointRecord* m = r.multi_point()) m->PX[0] = i;
    RecordLocus(r);
  }
  return r;
}

const std::int32_t kLocusTypes[] = {kPointFigure,  kBuntenFigure, kCross2Figure,
                                    kCross3Figure, kLineFigure,   kParabolaFigure,
                                    kSessenFigure, kCircleFigure, kFunctionFigure};

TEST(LocusSettings, ConfirmedAttributesAreStoredAndReadBackForEveryFamily) {
  for (std::int32_t type : kLocusTypes) {
    SCOPED_TRACE(type);
    FigureRecord r = RecordingFigure(type);
    ASSERT_TRUE(HasLocusEntries(r));
    LocusSettings s = *ReadLocusSettings(r);
    EXPECT_TRUE(s.on);
    s.point_size = 15;
    s.line_width = 0;  // below 1 is stored as 1
    s.colour = 0x00336699;
    s.connect = s.show_lines = s.show_points = true;
    EXPECT_FALSE(ApplyLocusSettings(r, s));  // attributes only: the locus stays
    EXPECT_TRUE(HasLocusEntries(r));
    const LocusSettings back = *ReadLocusSettings(r);
    EXPECT_EQ(back.point_size, 15);
    EXPECT_EQ(back.line_width, 1);
    EXPECT_EQ(back.colour, 0x00336699u);
    const bool function = type == kFunctionFigure;
    const bool has_connect = !function && (r.point() != nullptr || r.multi_point() != nullptr);
    EXPECT_EQ(back.connect, has_connect);
    EXPECT_EQ(back.show_lines, function);
    EXPECT_EQ(LocusDialogOf(r), function ? LocusDialogKind::kFunction : LocusDialogKind::kFigure);
  }
}

TEST(LocusSettings, SwitchingOffOrTheClearButtonEmptiesTheLocus) {
  for (std::int32_t type : kLocusTypes) {
    SCOPED_TRACE(type);
    FigureRecord r = RecordingFigure(type);
    LocusSettings s = *ReadLocusSettings(r);
    s.clear = true;
    EXPECT_TRUE(ApplyLocusSettings(r, s));
    // A function with a valid curve keeps that curve as its only entry.
    if (type == kFunctionFigure) {
      EXPECT_EQ(r.owned.KisekiList.size(), 1u);
    } else {
      EXPECT_FALSE(HasLocusEntries(r));
    }

    r = RecordingFigure(type);
    s = *ReadLocusSettings(r);
    s.on = false;
    EXPECT_TRUE(ApplyLocusSettings(r, s));
    EXPECT_FALSE(HasLocusEntries(r));  // switched off: not even the present curve
    EXPECT_FALSE(LocusOn(r));

    s.on = true;  // switching on again clears nothing
    EXPECT_FALSE(ApplyLocusSettings(r, s));
    EXPECT_TRUE(LocusOn(r));
  }
}

TEST(LocusSettings, ChangedDefinitionClearsOnlyARecordingNonEmptyLocus) {
  FigureRecord r = RecordingFigure(kPointFigure);
  EXPECT_FALSE(ClearLocusForChangedDefinition(r, false));  // only the colour changed
  EXPECT_TRUE(HasLocusEntries(r));
  EXPECT_TRUE(ClearLocusForChangedDefinition(r, true));
  EXPECT_FALSE(HasLocusEntries(r));
  EXPECT_FALSE(ClearLocusForChangedDefinition(r, true));  // already empty: no message

  FigureRecord off = RecordingFigure(kCircleFigure);
  off.circle()->PaintFlag = false;
  EXPECT_FALSE(ClearLocusForChangedDefinition(off, true));
  EXPECT_TRUE(HasLocusEntries(off));
}

TEST(LocusSettings, FiguresWithoutALocusHaveNoDialog) {
  for (std::int32_t type : {kPolyFigure, kMensekiFigure, kAngleFigure, kCharFigure}) {
    FigureRecord r = FigureRecord::Blank(type);
    EXPECT_FALSE(LocusDialogOf(r)) << type;
    EXPECT_FALSE(ReadLocusSettings(r)) << type;
    EXPECT_FALSE(ApplyLocusSettings(r, LocusSettings{})) << type;
  }
  EXPECT_EQ(LocusDialogCaption("P1"), "軌跡 [P1]");
}

}  // namespace
}  // namespace qzarn
