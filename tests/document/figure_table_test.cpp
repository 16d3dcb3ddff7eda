#include "document/figure_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "document/field_table.h"

namespace qzarn {
namespace {

FigureRecord NamedPoint(std::string_view name) {
  FigureRecord r = FigureRecord::Blank(kPointFigure);
  r.point()->Name = name;
  return r;
}

class FigureTableTest : public ::testing::Test {
 protected:
  std::unique_ptr<FigureTable> table = std::make_unique<FigureTable>();
};

TEST_F(FigureTableTest, NewTableIsEmpty) {
  EXPECT_EQ(table->LastIndex, -1);
  EXPECT_TRUE(HasFreeSlot(*table));
  EXPECT_EQ(table->record(0), nullptr);
  EXPECT_EQ(table->slot(-1), nullptr);
  EXPECT_EQ(table->slot(501), nullptr);
}

TEST_F(FigureTableTest, NewFigureTakesTheLowestEmptySlotAndRaisesLastIndex) {
  for (int i = 0; i < 6; ++i)
    ASSERT_EQ(NewFigure(*table, NamedPoint("")), i);
  EXPECT_EQ(table->LastIndex, 5);
  (*table)[3].Computed = 1;
  FreeFigure(*table, 3);
  EXPECT_TRUE((*table)[3].empty());
  EXPECT_EQ(table->LastIndex, 5);  // deleting never lowers it
  (*table)[0].Marked = 1;
  EXPECT_EQ(NewFigure(*table, FigureRecord::Blank(kCircleFigure)), 3);
  EXPECT_EQ((*table)[3].FigureType, kCircleFigure);
  EXPECT_EQ((*table)[3].Computed, 0);
  EXPECT_EQ((*table)[3].Marked, 0);
  EXPECT_NE(table->record(3)->circle(), nullptr);
  EXPECT_EQ(table->LastIndex, 5);
}

TEST_F(FigureTableTest, TheFiveHundredAndSecondFigureIsRefused) {
  for (int i = 0; i < kFigureSlots; ++i)
    ASSERT_TRUE(NewFigure(*table, NamedPoint("")));
  EXPECT_EQ(table->LastIndex, 500);
  EXPECT_FALSE(HasFreeSlot(*table));
  EXPECT_FALSE(NewFigure(*table, NamedPoint("")).has_value());
  EXPECT_EQ(table->LastIndex, 500);
  FreeFigure(*table, 250);
  EXPECT_TRUE(HasFreeSlot(*table));
  EXPECT_EQ(NewFigure(*table, NamedPoint("")), 250);
}

TEST_F(FigureTableTest, RecordsThatDoNotFitTheirTypeAreRefused) {
  EXPECT_FALSE(NewFigure(*table, FigureRecord{}).has_value());
  EXPECT_FALSE(NewFigure(*table, FigureRecord::Blank(0)).has_value());
  EXPECT_FALSE(PlaceFigure(*table, 501, NamedPoint("")));
  EXPECT_FALSE(PlaceFigure(*table, -1, NamedPoint("")));
  EXPECT_EQ(table->LastIndex, -1);
}

TEST_F(FigureTableTest, PlaceFigureFillsTheNamedSlotAndReplacesItsContent) {
  EXPECT_TRUE(PlaceFigure(*table, 17, FigureRecord::Blank(kCross3Figure)));
  EXPECT_EQ(table->LastIndex, 17);
  EXPECT_TRUE(PlaceFigure(*table, 4, NamedPoint("A")));
  EXPECT_EQ(table->LastIndex, 17);
  FigureRecord f = FigureRecord::Blank(kFunctionFigure);
  f.owned.SampleX.assign(100, 1.0f);
  ASSERT_TRUE(PlaceFigure(*table, 4, std::move(f)));
  EXPECT_EQ((*table)[4].FigureType, kFunctionFigure);
  EXPECT_EQ(table->record(4)->owned.SampleX.size(), 100u);
}

TEST_F(FigureTableTest, FreeingReleasesEverythingTheFigureOwns) {
  FigureRecord f = FigureRecord::Blank(kFunctionFigure);
  f.owned.SampleX.assign(10001, 0.5f);
  f.owned.SampleY.assign(10001, 0.5f);
  f.owned.KisekiList.push_back({{1, 2}, {3, 4}});
  const int slot = *NewFigure(*table, std::move(f));
  FreeFigure(*table, slot);
  const FigureSlot& s = (*table)[slot];
  EXPECT_TRUE(s.empty());
  EXPECT_TRUE(s.Record.empty());
  EXPECT_TRUE(s.Record.bytes().empty());
  EXPECT_TRUE(s.Record.owned.empty());
  EXPECT_EQ(s.Record.owned.SampleX.capacity(), 0u);
  FreeFigure(*table, 999);  // ignored
}

TEST_F(FigureTableTest, ClearTableEmptiesEverySlot) {
  for (int i = 0; i < 3; ++i)
    NewFigure(*table, NamedPoint(""));
  PlaceFigure(*table, 400, FigureRecord::Blank(kOleFigure));
  table->record(400)->owned.ObjectBytes.assign(64, 7);
  ClearTable(*table);
  EXPECT_EQ(table->LastIndex, -1);
  for (const FigureSlot& s : table->slots())
    EXPECT_TRUE(s.empty());
  EXPECT_EQ(NewFigure(*table, NamedPoint("")), 0);
}

TEST_F(FigureTableTest, FindByNameSkipsTheOwnFigureAndSeesEveryCross3Point) {
  NewFigure(*table, NamedPoint("A"));  // 0
  FigureRecord c3 = FigureRecord::Blank(kCross3Figure);
  c3.multi_point()->Names[2] = "P3";
  NewFigure(*table, std::move(c3));  // 1
  FigureRecord line = FigureRecord::Blank(kLineFigure);
  line.line()->Name = "L";
  NewFigure(*table, std::move(line));  // 2
  NewFigure(*table, NamedPoint(""));   // 3

  EXPECT_TRUE(FindByName(*table, "A", 5));
  EXPECT_FALSE(FindByName(*table, "A", 0));
  EXPECT_TRUE(FindByName(*table, "P3", 0));
  EXPECT_FALSE(FindByName(*table, "P3", 1));
  EXPECT_TRUE(FindByName(*table, "L", -1));
  EXPECT_FALSE(FindByName(*table, "a", -1));  // names are case-sensitive
  EXPECT_FALSE(FindByName(*table, "", -1));   // unnamed figures clash with nothing
  FreeFigure(*table, 0);
  EXPECT_FALSE(FindByName(*table, "A", -1));
}

TEST_F(FigureTableTest, ACopiedTableOwnsItsOwnRecords) {
  FigureRecord f = FigureRecord::Blank(kFunctionFigure);
  f.owned.SampleX.assign(5, 1.0f);
  NewFigure(*table, std::move(f));
  auto copy = std::make_unique<FigureTable>(*table);  // what a property dialog edits
  copy->record(0)->function()->SizeL = 9;
  copy->record(0)->owned.SampleX.clear();
  FreeFigure(*copy, 0);
  EXPECT_EQ(static_cast<int>(table->record(0)->function()->SizeL), 0);
  EXPECT_EQ(table->record(0)->owned.SampleX.size(), 5u);
}

TEST_F(FigureTableTest, StoredSlotCarriesTheWordsAsRead) {
  NewFigure(*table, NamedPoint("A"));
  FigureSlot& s = (*table)[0];
  s.RecordWord = 0x00AB1234;
  s.Computed = 1;
  const StoredSlot stored = s.stored();
  EXPECT_EQ(static_cast<std::uint32_t>(stored.Record), 0x00AB1234u);
  EXPECT_EQ(static_cast<int>(stored.FigureType), kPointFigure);
  EXPECT_EQ(stored.Computed, 1);
  EXPECT_EQ(stored.Marked, 0);
}

TEST(References, EncodeAndDecode) {
  struct Case {
    int slot, sub;
    std::int32_t ref;
  };
  const Case cases[] = {{17, 2, 20017}, {0, 0, 0},   {500, 3, 30500}, {3, 0, 3},
                        {501, 0, -1},   {-1, 0, -1}, {5, 4, -1},      {5, -1, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(MakeReference(c.slot, c.sub), c.ref) << c.slot << "/" << c.sub;
    if (c.ref >= 0) {
      EXPECT_EQ(ReferenceSlot(c.ref), c.slot);
      EXPECT_EQ(ReferenceSubIndex(c.ref), c.sub);
      EXPECT_TRUE(RefersTo(c.ref, c.slot));
    }
  }
  EXPECT_EQ(ReferenceSlot(kXAxisReference), -1);
  EXPECT_EQ(ReferenceSlot(kYAxisReference), -2);
  EXPECT_EQ(ReferenceSubIndex(kYAxisReference), 0);
  EXPECT_FALSE(RefersTo(kNoReference, 9999));
  EXPECT_TRUE(RefersTo(20017, 17));
  EXPECT_FALSE(RefersTo(20017, 20017));
}

}  // namespace
}  // namespace qzarn

namespace qzarn {
namespace {

TEST(References, FieldsPerTypeReadTheRefWords) {
  struct Case {
    int type;
    int count;
  };
  const Case cases[] = {{kPointFigure, 1},    {kSuisenFigure, 2},
                        {kMensekiFigure, 4},  {kAngle2Figure, 3},
                        {kAngleFigure, 3},    {kLineFigure, 2},
                        {kCircleFigure, 3},   {kCharFigure, 2},
                        {kOleFigure, 2},      {kPolyFigure, 31},
                        {kSplineFigure, 31},  {kCross3Figure, 2},
                        {kFunctionFigure, 0}, {0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(ReferenceCount(c.type), c.count) << c.type;
    FigureRecord r = FigureRecord::Blank(c.type);
    for (int i = 0; i < c.count; ++i)
      ASSERT_TRUE(SetReferenceAt(r, i, 100 + i)) << c.type;
    EXPECT_FALSE(SetReferenceAt(r, c.count, 7));
    EXPECT_EQ(ReferenceAt(r, c.count), kNoReference);
    if (c.count == 0) continue;
    // The words sit where the layouts name them.
    const FieldInfo* first =
        FindField(c.type, c.type == kPolyFigure || c.type == kSplineFigure ? "Refs" : "Ref0");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ReadNumber(r.bytes(), *first), 100.0);
    EXPECT_EQ(ReferenceAt(r, c.count - 1), 100 + c.count - 1);
  }
  // Angle2 keeps its line style in the fourth word; it is no reference.
  FigureRecord a = FigureRecord::Blank(kAngle2Figure);
  a.point()->Index4() = 5;
  EXPECT_FALSE(DependsOn(a, 5));
}

TEST(References, DependsOnComparesBySlot) {
  FigureRecord s = FigureRecord::Blank(kSuisenFigure);
  SetReferenceAt(s, 0, MakeReference(4));
  SetReferenceAt(s, 1, kYAxisReference);
  EXPECT_TRUE(DependsOn(s, 4));
  EXPECT_FALSE(DependsOn(s, 2));  // -2 names the y axis, not slot 2
  FigureRecord p = FigureRecord::Blank(kPolyFigure);
  for (int i = 0; i < kPolygonVertices; ++i)
    SetReferenceAt(p, i, kNoReference);
  SetReferenceAt(p, 30, MakeReference(17, 2));
  EXPECT_TRUE(DependsOn(p, 17));
  EXPECT_FALSE(DependsOn(p, 2));
}

}  // namespace
}  // namespace qzarn
