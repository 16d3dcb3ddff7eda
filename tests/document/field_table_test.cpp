#include "document/field_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>

#include "document/figure_table.h"

namespace qzarn {
namespace {

TEST(FieldTable, EveryFieldOfEveryTypeLiesInsideItsStoredRecord) {
  for (int t = 1; t <= kLastFigureType; ++t) {
    const auto fields = FieldsOfType(t);
    ASSERT_FALSE(fields.empty()) << t;
    for (const FieldInfo* f : fields)
      EXPECT_LE(f->offset + f->size(), static_cast<std::uint32_t>(RecordSize(t)))
          << IniSectionName(t) << "." << f->name;
  }
}

TEST(FieldTable, NamesAreUniqueAndFieldsDoNotOverlapWithinAType) {
  for (int t = 1; t <= kLastFigureType; ++t) {
    std::set<std::string_view> names;
    const auto fields = FieldsOfType(t);
    for (std::size_t i = 0; i < fields.size(); ++i) {
      EXPECT_TRUE(names.insert(fields[i]->name).second)
          << IniSectionName(t) << " repeats " << fields[i]->name;
      if (i > 0) {
        const FieldInfo* prev = fields[i - 1];
        EXPECT_LE(prev->offset + prev->size(), fields[i]->offset)
            << IniSectionName(t) << ": " << prev->name << " overlaps " << fields[i]->name;
      }
    }
  }
}

TEST(FieldTable, EveryEntryServesAtLeastOneTypeOfItsFamily) {
  const LayoutFamily families[] = {LayoutFamily::kPoint,     LayoutFamily::kLine,
                                   LayoutFamily::kCircle,    LayoutFamily::kFunction,
                                   LayoutFamily::kFrame,     LayoutFamily::kPolygon,
                                   LayoutFamily::kMultiPoint};
  for (LayoutFamily family : families) {
    const auto table = FieldTable(family);
    ASSERT_FALSE(table.empty());
    EXPECT_TRUE(
        std::is_sorted(table.begin(), table.end(),
                       [](const FieldInfo& a, const FieldInfo& b) { return a.offset < b.offset; }));
    for (const FieldInfo& f : table) {
      EXPECT_NE(f.types, 0u) << f.name;
      EXPECT_EQ(f.types & ~FamilyMask(family), 0u) << f.name;
    }
  }
}

TEST(FieldTable, LooksUpNamesPerType) {
  struct Case {
    int type;
    const char* name;
    std::uint32_t offset;  // 0 with kind kU8 means: absent
    FieldKind kind;
    bool present;
  };
  const Case cases[] = {
      {kPointFigure, "Radius", 12, FieldKind::kI32, true},
      {kAngle2Figure, "Radius", 56, FieldKind::kF64, true},
      {kAngle2Figure, "RadiusRR", 12, FieldKind::kI32, true},
      {kMensekiFigure, "RR", 12, FieldKind::kI32, true},
      {kMensekiFigure, "Radius", 0, FieldKind::kU8, false},
      {kMensekiFigure, "AreaValue", 56, FieldKind::kF64, true},
      {kMensekiFigure, "PaintColor", 924, FieldKind::kColour, true},
      {kPointFigure, "PaintColor", 0, FieldKind::kU8, false},
      {kAngle2Figure, "Index4", 856, FieldKind::kI32, true},
      {kSessenFigure, "TangentKind", 60, FieldKind::kI32, true},
      {kLineFigure, "YaTyp", 60, FieldKind::kI32, true},
      {kFunctionFigure, "AreaWd2", 2259, FieldKind::kString, true},
      {kFunctionFigure, "SampleX", 1936, FieldKind::kPointer, true},
      {kOleFigure, "SizeM", 1348, FieldKind::kI32, true},
      {kOleFigure, "FontName", 0, FieldKind::kU8, false},
      {kCharFigure, "FontName", 1348, FieldKind::kString, true},
      {kCharFigure, "CharY", 2060, FieldKind::kI32, true},
      {kPolyFigure, "PolyArea", 52, FieldKind::kF64, true},
      {kSplineFigure, "SS", 52, FieldKind::kF64, true},
      {kCross3Figure, "TrackY", 10528, FieldKind::kF32, true},
      {0, "Mode", 0, FieldKind::kU8, false},
  };
  for (const Case& c : cases) {
    const FieldInfo* f = FindField(c.type, c.name);
    ASSERT_EQ(f != nullptr, c.present) << c.type << " " << c.name;
    if (!f) continue;
    EXPECT_EQ(f->offset, c.offset) << c.name;
    EXPECT_EQ(f->kind, c.kind) << c.name;
  }
  EXPECT_EQ(FindField(kCross3Figure, "TrackY")->count, 4 * kTrackLength);
  EXPECT_EQ(FindField(kCross3Figure, "FXs")->count, 4);
  EXPECT_EQ(FindField(kCharFigure, "Lines")->capacity, 60);
}

TEST(FieldAccess, NumbersThroughTheTableMatchTheLayout) {
  FigureRecord r = FigureRecord::Blank(kPointFigure);
  const FieldInfo& radius = *FindField(kPointFigure, "Radius");
  const FieldInfo& x = *FindField(kPointFigure, "X");
  const FieldInfo& paint = *FindField(kPointFigure, "Paint");
  const FieldInfo& colour = *FindField(kPointFigure, "TrackColor");
  const FieldInfo& track = *FindField(kPointFigure, "TrackY");
  EXPECT_TRUE(WriteNumber(r.bytes(), radius, 7.4));
  EXPECT_TRUE(WriteNumber(r.bytes(), x, -1.25));
  EXPECT_TRUE(WriteNumber(r.bytes(), paint, 5));
  EXPECT_TRUE(WriteNumber(r.bytes(), colour, 0x0000FF));
  EXPECT_TRUE(WriteNumber(r.bytes(), track, 3.5, 500));
  const PointRecord& p = *r.point();
  EXPECT_EQ(static_cast<int>(p.Radius), 7);
  EXPECT_EQ(static_cast<double>(p.X), -1.25);
  EXPECT_EQ(p.Paint.raw, 1);
  EXPECT_EQ(static_cast<std::uint32_t>(p.TrackColor), 0x0000FFu);
  EXPECT_EQ(static_cast<float>(p.TrackY[500]), 3.5f);
  EXPECT_EQ(ReadNumber(r.bytes(), radius), 7.0);
  EXPECT_EQ(ReadNumber(r.bytes(), track, 500), 3.5);
}

TEST(FieldAccess, RefusesWhatDoesNotFit) {
  FigureRecord r = FigureRecord::Blank(kPointFigure);
  const FieldInfo& track = *FindField(kPointFigure, "TrackY");
  const FieldInfo& name = *FindField(kPointFigure, "Name");
  const FieldInfo& radius = *FindField(kPointFigure, "Radius");
  const FieldInfo& limit = *FindField(kPointFigure, "LimitS");
  EXPECT_FALSE(WriteNumber(r.bytes(), track, 1, 501));
  EXPECT_FALSE(WriteNumber(r.bytes(), track, 1, -1));
  EXPECT_FALSE(ReadNumber(r.bytes(), name).has_value());
  EXPECT_FALSE(WriteString(r.bytes(), radius, "7"));
  EXPECT_FALSE(WriteNumber(r.bytes(), radius, std::nan("")));
  // A record read from an old document may be too short for LimitS.
  EXPECT_FALSE(ReadNumber(r.stored_bytes(FormatVersion::kV102), limit).has_value());
  // Out-of-range integers are clamped, not wrapped.
  EXPECT_TRUE(WriteNumber(r.bytes(), radius, 1e12));
  EXPECT_EQ(static_cast<int>(r.point()->Radius), INT32_MAX);
}

TEST(FieldAccess, StringsAreCutToCapacity) {
  FigureRecord r = FigureRecord::Blank(kCross3Figure);
  const FieldInfo& names = *FindField(kCross3Figure, "Names");
  const FieldInfo& fys = *FindField(kCross3Figure, "FYs");
  EXPECT_TRUE(WriteString(r.bytes(), names, "ABCDE", 2));
  EXPECT_EQ(r.multi_point()->Names[2].view(), "ABCD");
  EXPECT_EQ(ReadString(r.bytes(), names, 2), "ABCD");
  const std::string long_text(300, '1');
  EXPECT_TRUE(WriteString(r.bytes(), fys, long_text, 3));
  EXPECT_EQ(r.multi_point()->FYs[3].size(), 250u);
  EXPECT_EQ(r.multi_point()->FYs[2].size(), 0u);
}

}  // namespace
}  // namespace qzarn
