#include "forms/figure_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_fixture.h"
#include "engine/screen_builder.h"
#include "figure_list_fixture.h"
#include "platform/text_encoding.h"

namespace qzarn {
namespace {

using testing::ABLine;
using testing::EngineFixture;
using testing::Name;
using testing::RecordingUi;
using testing::ScreenBuilder;

TEST(FigureListTest, RowsFollowSlotOrderAndNameReferences) {
  ABLine s;
  FigureList list(s.b.screen());
  ASSERT_EQ(list.rows().size(), 501u);
  EXPECT_EQ(list.rows()[0].number, "   1");
  EXPECT_EQ(list.rows()[500].number, " 501");
  EXPECT_EQ(list.SlotOfRow(0), s.a);
  EXPECT_EQ(list.SlotOfRow(2), s.line);
  EXPECT_EQ(list.SlotOfRow(4), -1);
  EXPECT_EQ(list.rows()[2].name, "直線L");
  EXPECT_EQ(list.rows()[2].content, "点A、点Bを参照");
  EXPECT_EQ(list.rows()[0].content, "");
  EXPECT_EQ(list.rows()[0].shown, "");
  EXPECT_EQ(list.rows()[0].locus, "");
}

TEST(FigureListTest, DeleteAsksAndRemovesDependentsOnlyFromTheCopy) {
  ABLine s;
  FigureList list(s.b.screen());
  RecordingUi ui;
  ui.answer = false;
  EXPECT_EQ(list.Delete(s.a, ui), 0);
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0], "参照している図形も削除されます．\n削除しますか？");
  EXPECT_EQ(list.DeletedCount(), 0);
  EXPECT_EQ(list.rows()[0].slot, s.a);

  ui.answer = true;
  EXPECT_EQ(list.Delete(s.a, ui), 2);
  EXPECT_TRUE(list.Deleted(s.a));
  EXPECT_TRUE(list.Deleted(s.line));
  EXPECT_FALSE(list.Deleted(s.c));
  EXPECT_EQ(list.SlotOfRow(0), s.c);
  EXPECT_EQ(list.SlotOfRow(1), s.free_point);
  EXPECT_EQ(list.SlotOfRow(2), -1);
  // Cancel: the screen is untouched until the list is confirmed.
  EXPECT_FALSE(s.b.screen().Figures[s.a].empty());
  EXPECT_FALSE(s.b.screen().Figures[s.line].empty());
  EXPECT_FALSE(s.b.screen().Modified);
}

TEST(FigureListTest, FigureWithoutDependentsGoesWithoutAQuestion) {
  ABLine s;
  FigureList list(s.b.screen());
  RecordingUi ui;
  ui.answer = false;
  EXPECT_EQ(list.Delete(s.line, ui), 1);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(list.Delete(s.line, ui), 0);  // already gone
  EXPECT_EQ(list.Delete(-1, ui), 0);
  EXPECT_EQ(list.Delete(501, ui), 0);
}

TEST(FigureListTest, ApplyFreesDeletedFiguresAndTakesASnapshot) {
  ABLine s;
  FigureList list(s.b.screen());
  RecordingUi ui;
  list.Delete(s.a, ui);
  int snapshots = 0;
  EXPECT_EQ(list.Apply([&] { ++snapshots; }), 2);
  EXPECT_EQ(snapshots, 1);
  const Screen& screen = s.b.screen();
  EXPECT_TRUE(screen.Figures[s.a].empty());
  EXPECT_TRUE(screen.Figures[s.line].empty());
  EXPECT_FALSE(screen.Figures[s.c].empty());
  EXPECT_TRUE(screen.Modified);
  for (int i = 0; i < kFigureSlots; ++i)
    EXPECT_EQ(screen.Figures[i].Marked, 0) << i;
}

// A property dialog opened from the list re-points the free point at A after A
// was removed in the list: confirming the list frees A and must not leave the
// free point referring to the freed slot.
TEST(FigureListTest, FigurePointedAtARemovedOneGoesWithIt) {
  ABLine s;
  FigureList list(s.b.screen());
  RecordingUi ui;
  list.Delete(s.a, ui);
  s.b.Record(s.free_point).point()->Ref0 = s.a;
  EXPECT_EQ(list.Apply({}), 3);
  const Screen& screen = s.b.screen();
  for (int i = 0; i < kFigureSlots; ++i) {
    const FigureRecord* r = screen.Figures.record(i);
    if (r == nullptr) continue;
    for (int k = 0; k < ReferenceCount(r->type()); ++k) {
      const std::int32_t ref = ReferenceAt(*r, k);
      EXPECT_TRUE(ref < 0 || screen.Figures.record(ReferenceSlot(ref)) != nullptr) << i;
    }
  }
  EXPECT_FALSE(screen.Figures[s.c].empty());
}

TEST(FigureListTest, PropertyChangesOnTheSharedRecordShowAfterRefill) {
  ABLine s;
  FigureList list(s.b.screen());
  s.b.Record(s.line).line()->DispB = true;
  Name(s.b.Record(s.a), "Q1");
  list.Refill();
  EXPECT_EQ(list.rows()[2].name, "線分L");
  EXPECT_EQ(list.rows()[2].content, "点Q1、点Bを参照");
}

// A figure that disappears from the screen behind the list's back (a property
// dialog discarding it) drops out of the rows and is not freed twice.
TEST(FigureListTest, FigureFreedOnTheScreenMeanwhileIsSkipped) {
  ABLine s;
  FigureList list(s.b.screen());
  FreeFigure(s.b.screen().Figures, s.line);
  list.Refill();
  EXPECT_EQ(list.RowOfSlot(s.line), -1);
  EXPECT_EQ(list.SlotOfRow(2), s.free_point);
  RecordingUi ui;
  EXPECT_EQ(list.Delete(s.a, ui), 1);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(list.Apply(nullptr), 1);
  EXPECT_TRUE(s.b.screen().Figures[s.a].empty());
  EXPECT_FALSE(s.b.screen().Figures[s.c].empty());
}

TEST(FigureListTest, DisplayColumnShowsHiddenAndCycle) {
  ABLine s;
  s.b.Record(s.c).point()->DispMark = false;
  s.b.Record(s.free_point).point()->DispMark = false;
  s.b.screen().Figures[s.free_point].Computed = 0;  // caught in a cycle, and hidden
  s.b.Record(s.line).line()->PaintFlag = true;
  FigureList list(s.b.screen());
  EXPECT_EQ(list.rows()[1].shown, " ×");
  EXPECT_EQ(list.rows()[3].shown, "循環");
  EXPECT_EQ(list.rows()[2].locus, " ○");
  s.b.Record(s.c).point()->DispMark = true;
  list.Refill();
  EXPECT_EQ(list.rows()[1].shown, "");
}

TEST(FigureListTest, RealCycleIsMarkedAfterARecompute) {
  EngineFixture f;
  ScreenBuilder b;
  const int p = b.Point("1", "1");
  const int q = b.Point("2", "2", p);
  b.Record(p).point()->Ref0 = q;  // p and q are tied to each other
  const int r = b.Point("5", "5");
  b.Record(r).point()->DispMark = true;
  f.engine.RecomputeScreen(b.screen());
  FigureList list(b.screen());
  EXPECT_EQ(list.rows()[static_cast<std::size_t>(list.RowOfSlot(p))].shown, "循環");
  EXPECT_EQ(list.rows()[static_cast<std::size_t>(list.RowOfSlot(q))].shown, "循環");
  EXPECT_EQ(list.rows()[static_cast<std::size_t>(list.RowOfSlot(r))].shown, "");
}

FigureRecord Function(int kind, int mode, std::string_view x, std::string_view y) {
  FigureRecord rec = FigureRecord::Blank(kFunctionFigure);
  rec.function()->FuncKind = kind;
  rec.function()->Mode = mode;
  rec.function()->FuncX = x;
  rec.function()->FuncY = y;
  return rec;
}

TEST(FigureListTest, NamesAndContentsByKind) {
  ScreenBuilder b;
  const int p = b.Point("0", "0");
  Name(b.Record(p), "Ｐ１");  // two full-width characters: four bytes
  const int general = b.LineLike(kLineFigure, 1, "1", "2", "3", "");
  const int standard = b.LineLike(kParabolaFigure, 2, "1", "2", "3", "");
  const int circle = b.Circle(1, "1", "1", "0", "0", "-1");
  const int param = b.AddRecord(Function(2, -1, "cos(t)", "sin(t)"));
  const int polar = b.AddRecord(Function(3, -1, "2", ""));
  const int implicit = b.AddRecord(Function(4, 0, "x^2+y^2-1", ""));
  const int region = b.AddRecord(Function(4, 4, "x-y", ""));
  const int foot = b.Suisen(p, kXAxisReference);
  const int foot_y = b.Suisen(p, kYAxisReference);
  const int text = b.Frame(kCharFigure, "0", "0", "1", "1");
  b.Record(text).frame()->Text().Lines[0] = utf8_to_cp932("三角形").bytes;
  b.Record(text).frame()->Text().Lines[2] = "ABC";
  Name(b.Record(text), "O1");
  const int poly = b.AddRecord([&] {
    FigureRecord rec = FigureRecord::Blank(kPolyFigure);
    for (auto& ref : rec.polygon()->Refs)
      ref = kNoReference;
    rec.polygon()->Refs[0] = p;
    rec.polygon()->Refs[1] = foot;
    rec.polygon()->Refs[2] = foot_y;
    return rec;
  }());
  const int tangent = b.LineLike(kSessenFigure, -1, "1", "", "", "", param);
  b.Record(tangent).line()->TangentKind() = 1;
  const int cross3 = b.Cross3(circle, kXAxisReference);
  b.Record(cross3).multi_point()->Names[0] = "S";
  b.Record(cross3).multi_point()->Names[1] = "T";
  const int on_cross3 = b.Point("0", "0", MakeReference(cross3, 1));
  const Screen& s = b.screen();
  struct Case {
    int slot;
    std::string name, content;
  };
  const std::vector<Case> cases = {
      {p, "点Ｐ１", ""},
      {general, "直線", "一般形"},
      {standard, "放物線", "標準形"},
      {circle, "円", "一般形"},
      {param, "媒介変数", "x=cos(t), y=sin(t)"},
      {polar, "極方程式", "y=2"},
      {implicit, "陰関数", "x^2+y^2-1＝０"},
      {region, "領域", "x-y≦０"},
      {foot, "垂線の足", "点Ｐ１、ｘ軸を参照"},
      {foot_y, "垂線の足", "点Ｐ１、ｙ軸を参照"},
      {text, "文字領域", "三角形/ABC/"},
      {poly, "多角形", "点Ｐ１,垂線の足,垂線の足を参照"},
      {tangent, "法線", "媒介変数を参照"},
      {cross3, "交点S,T", "円,ｘ軸を参照"},
      {on_cross3, "点", "交点Tを参照"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FigureDisplayName(s, c.slot), c.name) << c.slot;
    EXPECT_EQ(FigureContentText(s, c.slot), c.content) << c.slot;
  }
  EXPECT_EQ(FigureDisplayName(s, 400), "");
  EXPECT_EQ(FigureContentText(s, -3), "");
}

}  // namespace
}  // namespace qzarn
