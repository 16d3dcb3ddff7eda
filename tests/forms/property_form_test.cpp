#include "forms/property_form.h"

#include <gtest/gtest.h>

#include "engine/locus.h"
#include "property_form_fixture.h"

namespace qzarn::forms {
namespace {

using Fixture = FormScreenFixture;

TEST(PropertyFormNames, ExpandsGroupsInOrder) {
  const std::vector<std::string> names = ExpandNameList("L L0-2 M1-2 La-c");
  EXPECT_EQ(names, (std::vector<std::string>{"L", "L0", "L1", "L2", "M1", "M2", "La", "Lb", "Lc"}));
  EXPECT_EQ(ExpandNameList("A-Z P1-9 Q1-9").size(), 44u);
}

TEST(PropertyFormNames, ProposesFirstUnusedNameOfTheList) {
  Fixture f;
  for (const char* n : {"A", "B", "C"})
    f.Add(kPointFigure, n);
  const FigureRecord fresh = Fixture::Fresh(kPointFigure);
  PropertyForm form(*FindMember(fresh), fresh, f.Screen());
  ASSERT_FALSE(form.Open());
  EXPECT_EQ(form.value("Name").text, "D");
}

// A new or copied text box carries the placeholder "??": its dialog offers
// O, then O1..O9, never the placeholder; a real name is kept.
TEST(PropertyFormNames, AnUnnamedTextBoxIsOfferedTheNextFreeO) {
  Fixture f;
  const FigureRecord fresh = Fixture::Fresh(kCharFigure);
  ASSERT_EQ(std::string(fresh.frame()->Name.view()), "??");
  PropertyForm first(*FindMember(fresh), fresh, f.Screen());
  ASSERT_FALSE(first.Open());
  EXPECT_EQ(first.value("Name").text, "O");
  FigureRecord named = Fixture::Fresh(kCharFigure);
  named.frame()->Name = "O";
  NewFigure(*f.figures, std::move(named));
  PropertyForm second(*FindMember(fresh), fresh, f.Screen());
  ASSERT_FALSE(second.Open());
  EXPECT_EQ(second.value("Name").text, "O1");
  FigureRecord own = Fixture::Fresh(kCharFigure);
  own.frame()->Name = "T";
  PropertyForm kept(*FindMember(own), own, f.Screen());
  ASSERT_FALSE(kept.Open());
  EXPECT_EQ(kept.value("Name").text, "T");
}

TEST(PropertyFormNames, AnotherFiguresNameIsRefusedOwnNameKept) {
  Fixture f;
  f.Add(kPointFigure, "A");
  const int b = f.Add(kPointFigure, "B");
  PropertyForm form(*FindMember(*f.figures->record(b)), *f.figures->record(b), f.Screen(b));
  ASSERT_FALSE(form.Open());
  EXPECT_EQ(form.value("Name").text, "B");
  EXPECT_FALSE(form.Validate(f.engine, f.prompts));
  form.SetText(form.IndexOf("Name"), "a");  // typed lower case becomes A
  const std::optional<FormFailure> failure = form.Validate(f.engine, f.prompts);
  ASSERT_TRUE(failure);
  EXPECT_EQ(*failure, (FormFailure{"すでに同名の図形があります．", 0, "Name"}));
}

TEST(PropertyFormControls, SizeAndLabelPositionAreCorrected) {
  Fixture f;
  FigureRecord record = Fixture::Fresh(kPointFigure);
  PropertyForm form(*FindMember(record), record, f.Screen());
  ASSERT_FALSE(form.Open());
  const int size = form.IndexOf("Radius"), rim = form.IndexOf("RimRadius");
  const int angle = form.IndexOf("Direction");
  form.SetText(size, "0");
  form.SetText(rim, "0");
  form.SetText(angle, "405");
  form.Leave(size);
  form.Leave(rim);
  form.Leave(angle);
  EXPECT_EQ(form.value(size).text, "1");
  EXPECT_EQ(form.value(rim).text, "0");  // the rim width is not corrected
  EXPECT_EQ(form.value(angle).text, "45ﾟ");
  // Stored corrected even when the field was never left.
  form.SetText(size, "");
  form.SetText(angle, "-90");
  form.Store(record);
  EXPECT_EQ(record.point()->Radius, 1);
  EXPECT_EQ(record.point()->RimRadius, 0);
  EXPECT_EQ(record.point()->Direction, 270);
}

TEST(PropertyFormControls, DependentControlsFollowTheirSwitches) {
  Fixture f;
  FigureRecord record = Fixture::Fresh(kPointFigure);
  PropertyForm form(*FindMember(record), record, f.Screen());
  ASSERT_FALSE(form.Open());
  const int show = form.IndexOf("DispMark"), name = form.IndexOf("DispName");
  const int coords = form.IndexOf("Coordinates");
  form.SetChecked(show, false);
  form.SetChecked(name, false);
  form.SetChecked(coords, false);
  form.SetChecked(form.IndexOf("Boolean"), false);
  for (const char* id : {"Radius", "RimRadius", "RimColor", "Direction", "Font", "BooleanFunc"})
    EXPECT_FALSE(form.Enabled(form.IndexOf(id))) << id;
  form.SetChecked(coords, true);
  EXPECT_TRUE(form.Enabled(form.IndexOf("Direction")));
  EXPECT_TRUE(form.Enabled(form.IndexOf("Font")));
  EXPECT_FALSE(form.Enabled(form.IndexOf("Radius")));
  // A disabled condition is not checked.
  form.SetText(form.IndexOf("BooleanFunc"), "(((");
  EXPECT_FALSE(form.Validate(f.engine, f.prompts));
  form.SetChecked(form.IndexOf("Boolean"), true);
  EXPECT_EQ(form.Validate(f.engine, f.prompts)->control, "BooleanFunc");
}

TEST(PropertyFormControls, ExpressionsTakePrintableSingleByteText) {
  Fixture f;
  FigureRecord record = Fixture::Fresh(kPointFigure);
  PropertyForm form(*FindMember(record), record, f.Screen());
  ASSERT_FALSE(form.Open());
  const int x = form.IndexOf("FX");
  form.SetText(x, "1+あ2\t");
  EXPECT_EQ(form.value(x).text, "1+2");
  form.SetText(x, std::string(300, '1'));
  EXPECT_EQ(form.value(x).text.size(), 200u);
}

// A point whose locus is on and holds three positions.
FigureRecord RecordingPoint() {
  FigureRecord r = Fixture::Fresh(kPointFigure);
  r.point()->Name = "A";
  r.point()->Track = true;
  ClearLocus(r);
  for (int i = 0; i < 3; ++i) {
    r.point()->X = i;
    RecordLocus(r);
  }
  return r;
}

TEST(PropertyFormLocus, ClearedOnlyWhenTheDefinitionChanged) {
  Fixture f;
  const int slot = *NewFigure(*f.figures, RecordingPoint());
  FigureRecord& stored = *f.figures->record(slot);
  {
    PropertyForm form(*FindMember(stored), stored, f.Screen(slot));
    ASSERT_FALSE(form.Open());
    form.SetColour(form.IndexOf("Color"), 0x123456);
    ASSERT_TRUE(std::holds_alternative<StoreResult>(form.Confirm(stored, f.engine, f.prompts)));
    EXPECT_TRUE(f.prompts.informed.empty());
    EXPECT_TRUE(HasLocusEntries(stored));
    EXPECT_EQ(stored.point()->Color.get(), 0x123456u);
  }
  PropertyForm form(*FindMember(stored), stored, f.Screen(slot));
  ASSERT_FALSE(form.Open());
  form.SetText(form.IndexOf("FX"), "a+1");
  const auto result = form.Confirm(stored, f.engine, f.prompts);
  ASSERT_TRUE(std::holds_alternative<StoreResult>(result));
  EXPECT_TRUE(std::get<StoreResult>(result).locus_cleared);
  EXPECT_EQ(f.prompts.informed,
            std::vector<std::string>{"定義が変更されたので、軌跡をクリアします．"});
  EXPECT_FALSE(HasLocusEntries(stored));
  EXPECT_EQ(stored.point()->FX, "a+1");
}

TEST(PropertyFormVariables, OnlyCellsTheDialogChangedAreWrittenBack) {
  Fixture f;
  f.settings->Variables.write(0, 1, 1e-12);  // a tiny value no text would keep
  FigureRecord record = Fixture::Fresh(kPointFigure);
  PropertyForm form(*FindMember(record), record, f.Screen());
  ASSERT_FALSE(form.Open());
  form.settings().Variables.write(0, 2, 5);  // the dialog sets b
  f.settings->Variables.write(0, 3, 7);      // an animation tick sets c meanwhile
  EXPECT_EQ(form.ApplyVariables(*f.settings), 1);
  EXPECT_EQ(f.settings->Variables.read(0, 1), 1e-12);
  EXPECT_EQ(f.settings->Variables.read(0, 2), 5);
  EXPECT_EQ(f.settings->Variables.read(0, 3), 7);
}

// A name box that takes any length: the stored name is cut to the field's
// four bytes without splitting a two-byte character.
TEST(PropertyFormStore, NamesAreCutOnCharacterBoundaries) {
  constexpr ControlSpec kControls[] = {
      {.kind = ControlKind::kName, .id = "Name", .caption = "点(&P)", .field = "Name"}};
  constexpr std::string_view kPages[] = {"定義"};
  const MemberSpec spec{.class_name = "Test",
                        .caption = "点",
                        .figure_type = kPointFigure,
                        .names = "A",
                        .pages = kPages,
                        .controls = kControls,
                        .locus_button = false};
  Fixture f;
  for (const auto& [typed, stored] : std::vector<std::pair<std::string, std::string>>{
           {"ABCあ", "ABC"}, {"Aあい", "A\x82\xa0"}, {"ABあ", "AB\x82\xa0"}, {"ABCDE", "ABCD"}}) {
    FigureRecord record = Fixture::Fresh(kPointFigure);
    PropertyForm form(spec, record, f.Screen());
    ASSERT_FALSE(form.Open());
    form.SetText(0, typed);
    form.Store(record);
    EXPECT_EQ(record.point()->Name.view(), stored) << typed;
  }
}

}  // namespace
}  // namespace qzarn::forms
