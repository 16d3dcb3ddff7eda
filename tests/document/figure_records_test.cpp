#include <gtest/gtest.h>

#include <cstring>

#include "document/figure_layouts.h"
#include "document/figure_table.h"
#include "document/figure_types.h"

namespace qzarn {
namespace {

TEST(RecordSize, CurrentAndOlderDocumentVersions) {
  struct Case {
    int type;
    FormatVersion version;
    int size;
  };
  const Case cases[] = {
      {kNoFigure, FormatVersion::kV105, 0},
      {19, FormatVersion::kV105, 0},
      {-1, FormatVersion::kV105, 0},
      {kLineFigure, FormatVersion::kV105, 9520},
      {kPointFigure, FormatVersion::kV105, 4996},
      {kCircleFigure, FormatVersion::kV105, 8024},
      {kFunctionFigure, FormatVersion::kV105, 2512},
      {kOleFigure, FormatVersion::kV105, 1400},
      {kCharFigure, FormatVersion::kV105, 2064},
      {kPolyFigure, FormatVersion::kV105, 1040},
      {kSplineFigure, FormatVersion::kV105, 1040},
      {kCross3Figure, FormatVersion::kV105, 18600},
      {kAngle2Figure, FormatVersion::kV105, 4996},
      // Older writers: shorter records.
      {kFunctionFigure, FormatVersion::kV100, 1984},
      {kFunctionFigure, FormatVersion::kV101, 2008},
      {kFunctionFigure, FormatVersion::kV103, 2008},
      {kFunctionFigure, FormatVersion::kV104, 2512},
      {kCharFigure, FormatVersion::kV101, 2052},
      {kCharFigure, FormatVersion::kV102, 2064},
      {kPointFigure, FormatVersion::kV102, 4992},
      {kMensekiFigure, FormatVersion::kV100, 4992},
      {kPointFigure, FormatVersion::kV103, 4996},
      {kSessenFigure, FormatVersion::kV102, 9516},
      {kCircleFigure, FormatVersion::kV100, 8024},
      {kOleFigure, FormatVersion::kV100, 1400},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RecordSize(c.type, c.version), c.size)
        << "type " << c.type << " version " << static_cast<int>(c.version);
}

TEST(RecordSize, LayoutStructsCoverTheStoredRecord) {
  for (int t = 1; t <= kLastFigureType; ++t) {
    EXPECT_GE(LayoutSize(t), static_cast<std::size_t>(RecordSize(t))) << t;
    EXPECT_NE(FamilyOf(t), LayoutFamily::kNone);
  }
  EXPECT_EQ(LayoutSize(kOleFigure), 2064u);  // shares the text box layout
  EXPECT_EQ(LayoutSize(0), 0u);
}

TEST(FigureRecord, BlankRecordHoldsTheReservedBlockPattern) {
  const float expected[10] = {0, 1, 0, 0, 1, 0, 0, 1, 1, 0};
  for (int t = 1; t <= kLastFigureType; ++t) {
    FigureRecord r = FigureRecord::Blank(t);
    ASSERT_EQ(r.type(), t);
    // The block sits 40 bytes before the end of the stored record, except in
    // Cross3 (four reserved bytes follow), the text box (three words follow)
    // and the function graph (the locus settings and the second domain follow).
    std::size_t end = static_cast<std::size_t>(RecordSize(t));
    if (t == kCross3Figure) end -= 4;
    if (t == kCharFigure) end -= 12;
    if (t == kFunctionFigure) end = 1984;
    if (FamilyOf(t) == LayoutFamily::kPoint || FamilyOf(t) == LayoutFamily::kLine) end -= 4;
    for (int i = 0; i < 10; ++i) {
      float v;
      std::memcpy(&v, r.bytes().data() + end - 40 + 4 * i, 4);
      EXPECT_EQ(v, expected[i]) << "type " << t << " entry " << i;
    }
  }
  EXPECT_TRUE(FigureRecord::Blank(0).empty());
  EXPECT_TRUE(FigureRecord::Blank(42).bytes().empty());
}

TEST(FigureRecord, ViewsMatchTheFamilyOnly) {
  FigureRecord p = FigureRecord::Blank(kMensekiFigure);
  EXPECT_NE(p.point(), nullptr);
  EXPECT_EQ(p.line(), nullptr);
  EXPECT_EQ(p.multi_point(), nullptr);
  FigureRecord o = FigureRecord::Blank(kOleFigure);
  EXPECT_NE(o.frame(), nullptr);
  EXPECT_EQ(o.stored_bytes().size(), 1400u);
  FigureRecord none;
  EXPECT_EQ(none.point(), nullptr);
  EXPECT_EQ(none.frame(), nullptr);
}

TEST(FigureRecord, FieldsAreLittleEndianAtTheirOffsets) {
  FigureRecord r = FigureRecord::Blank(kLineFigure);
  LineRecord& line = *r.line();
  line.Lng = 2.5;          // offset 52: not 8-aligned
  line.Ref1 = 0x01020304;  // offset 1380
  line.LineColor = 0x00FF8000;
  const auto* b = r.bytes().data();
  double lng;
  std::memcpy(&lng, b + 52, 8);
  EXPECT_EQ(lng, 2.5);
  EXPECT_EQ(b[1380], 0x04);
  EXPECT_EQ(b[1383], 0x01);
  EXPECT_EQ(b[20], 0x00);
  EXPECT_EQ(b[21], 0x80);
  EXPECT_EQ(b[22], 0xFF);
  EXPECT_EQ(static_cast<double>(line.Lng), 2.5);
}

TEST(FigureRecord, AlternateNamesShareTheirBytes) {
  FigureRecord r = FigureRecord::Blank(kMensekiFigure);
  PointRecord& m = *r.point();
  m.RR() = 25;
  m.AreaValue() = 1e15;
  m.PaintType() = 6;
  EXPECT_EQ(static_cast<int>(m.Radius), 25);
  EXPECT_EQ(static_cast<double>(m.ArcRadius), 1e15);
  EXPECT_EQ(static_cast<int>(m.TrackThick), 6);

  FigureRecord o = FigureRecord::Blank(kOleFigure);
  o.frame()->Object().SizeM = 3;
  EXPECT_EQ(o.bytes()[1348], 3);
  FigureRecord t = FigureRecord::Blank(kCharFigure);
  t.frame()->Text().CharY = 7;
  EXPECT_EQ(t.bytes()[2060], 7);
}

TEST(PString, CutsAtCapacityWithoutSplittingACharacter) {
  PString<4> name{};
  EXPECT_FALSE(name.assign("ABCDE"));  // five characters: cut to four
  EXPECT_EQ(name.view(), "ABCD");
  EXPECT_TRUE(name.assign("P1"));
  EXPECT_EQ(name.view(), "P1");
  // "A" then two two-byte characters: the second one would straddle the end.
  EXPECT_FALSE(name.assign("A\x82\xa0\x82\xa2"));
  EXPECT_EQ(name.size(), 3u);
  EXPECT_EQ(name.view(), "A\x82\xa0");
  // A half-width katakana (one byte, 0xA1..0xDF) is not a lead byte.
  EXPECT_TRUE(name.assign("\xb1\xb2\xb3\xb4"));
  EXPECT_EQ(name.size(), 4u);
}

TEST(PString, CorruptLengthByteIsClamped) {
  PString<4> name{};
  name.Length = 200;
  std::memcpy(name.Chars, "WXYZ", 4);
  EXPECT_EQ(name.size(), 4u);
  EXPECT_EQ(name.view(), "WXYZ");
}

}  // namespace
}  // namespace qzarn
