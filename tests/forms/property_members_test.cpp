// Every registered member, walked from its table: the declarations are sound,
// a fresh figure opens, takes valid values, passes OK and stores each control
// into its field; closing without OK leaves the record as it was.

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "document/field_table.h"
#include "forms/property_form.h"
#include "platform/text_encoding.h"
#include "property_form_fixture.h"

namespace qzarn::forms {
namespace {

using Fixture = FormScreenFixture;

// Points A..C and two lines: every member's precondition holds.
struct MembersFixture : Fixture {
  int a, b, c, l, m;
  MembersFixture() {
    a = Add(kPointFigure, "A");
    b = Add(kPointFigure, "B");
    c = Add(kPointFigure, "C");
    l = Add(kLineFigure, "L");
    m = Add(kLineFigure, "M");
  }
  // An explicit function, and points Q1.. that let a polygon choose all its
  // 31 vertices.
  void AddFunctionAndVertices() {
    FigureRecord f = Fresh(kFunctionFigure, 1);
    f.function()->Name = "F";
    NewFigure(*figures, std::move(f));
    for (int k = 1; k <= kPolygonVertices - 3; ++k)
      Add(kPointFigure, "Q" + std::to_string(k));
  }
};

std::int32_t SubKindOf(const MemberSpec& m) {
  return m.sub_kind < 0 ? 0 : m.sub_kind;
}

TEST(PropertyMembers, RegistryFindsEachMemberByTypeAndForm) {
  const std::set<std::string_view> expected = {
      "TPro_Point",     "TPro_Bunten",    "TPro_Cross",   "TPro_Suisen",  "TPro_Angle",
      "TPro_Angle2",    "TPro_Line",      "TPro_Line2",   "TPro_Line3",   "TPro_Houbutsu",
      "TPro_Houbutsu2", "TPro_Houbutsu3", "TPro_Circle",  "TPro_Circle2", "TPro_Circle3",
      "TPro_Circle4",   "TFuncYo",        "TFuncBi",      "TFuncKy",      "TFuncIn",
      "TPro_Cross2",    "TPro_Cross3",    "TPro_Menseki", "TPro_Sessen",  "TPro_Poly",
      "TPro_Spl",       "TPro_Char",      "TPro_OLE"};
  std::set<std::string_view> found;
  for (const MemberSpec* m : AllMembers()) {
    found.insert(m->class_name);
    const FigureRecord fresh = Fixture::Fresh(m->figure_type, SubKindOf(*m));
    EXPECT_EQ(FindMember(fresh), m) << m->class_name;
  }
  for (std::string_view name : expected)
    EXPECT_TRUE(found.count(name)) << name;
  EXPECT_EQ(FindMember(kLineFigure, 7, 0), nullptr);
  EXPECT_EQ(FindMember(kNoFigure, 0, 0), nullptr);
}

// Every control names a field of its record, ids are unique, rules name
// existing controls and pages exist.
TEST(PropertyMembers, DeclarationsNameRealFieldsAndControls) {
  for (const MemberSpec* m : AllMembers()) {
    SCOPED_TRACE(m->class_name);
    EXPECT_FALSE(m->caption.empty());
    EXPECT_GT(m->help_context, 1000);
    EXPECT_FALSE(ExpandNameList(m->names).empty());
    std::set<std::string_view> ids;
    for (const ControlSpec& c : m->controls) {
      SCOPED_TRACE(c.id);
      EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id";
      EXPECT_LT(c.page, static_cast<int>(m->pages.size()));
      if (c.kind != ControlKind::kFont) {
        const FieldInfo* f = FindField(m->figure_type, c.field);
        ASSERT_NE(f, nullptr) << c.field;
        const bool text = c.kind == ControlKind::kName || c.kind == ControlKind::kExpression ||
                          c.kind == ControlKind::kText;
        EXPECT_EQ(f->kind == FieldKind::kString, text);
      }
      if (!c.name_field.empty()) {
        EXPECT_NE(FindField(m->figure_type, c.name_field), nullptr);
      }
    }
    for (const ControlSpec& c : m->controls)
      for (std::string_view rule : {c.enable.first, c.enable.second})
        EXPECT_TRUE(rule.empty() || ids.count(rule)) << c.id << " enabled by " << rule;
    EXPECT_TRUE(ids.count("Name"));
  }
}

// The value each control is given by the walk, and what its field must then hold.
struct Filled {
  std::string text;
  double number = 0;
  std::int32_t reference = kNoReference;
};

TEST(PropertyMembers, EveryMemberOpensValidatesAndStores) {
  for (const MemberSpec* m : AllMembers()) {
    SCOPED_TRACE(m->class_name);
    MembersFixture f;
    f.AddFunctionAndVertices();
    const FigureRecord fresh = Fixture::Fresh(m->figure_type, SubKindOf(*m));
    PropertyForm form(*m, fresh, f.Screen());
    ASSERT_FALSE(form.Open());
    EXPECT_FALSE(form.value("Name").text.empty());  // a name was proposed
    std::vector<Filled> filled(static_cast<std::size_t>(form.ControlCount()));
    int next_figure = 0;
    int next_name = 9;  // several name boxes (intersection sets) take Z9, Z8 ...
    for (int i = 0; i < form.ControlCount(); ++i) {
      const ControlSpec& c = form.control(i);
      Filled& want = filled[static_cast<std::size_t>(i)];
      switch (c.kind) {
        case ControlKind::kName:
          want.text = "Z" + std::to_string(next_name--);
          form.SetText(i, want.text);
          break;
        case ControlKind::kExpression:
        case ControlKind::kText:
          want.text = "a+" + std::to_string(i);
          form.SetText(i, want.text);
          break;
        case ControlKind::kSize:
          form.SetText(i, "3");
          want.number = 3;
          break;
        case ControlKind::kDecimals:
          form.SetText(i, "4");
          want.number = 4;
          break;
        case ControlKind::kAngle:
          form.SetText(i, "495");
          want.number = 135;
          break;
        case ControlKind::kNumber:
          form.SetText(i, "2.5");
          want.number = 2.5;
          break;
        case ControlKind::kChoice:
          form.SetPosition(i, 1);
          want.number = 1 + c.choice_base;
          break;
        case ControlKind::kCheck:
          form.SetChecked(i, !form.value(i).checked);
          want.number = form.value(i).checked != ((c.flags & kInverted) != 0) ? 1 : 0;
          break;
        case ControlKind::kColour:
          form.SetColour(i, 0x102030u + static_cast<unsigned>(i));
          want.number = 0x102030 + i;
          break;
        case ControlKind::kFont:
          form.SetFont({"IPAGothic", 0x0000FF, 14, 3, 128});
          break;
        case ControlKind::kReference: {
          // Each selector takes another figure it offers.
          const std::vector<Candidate>& list = form.value(i).candidates;
          int seen = 0, chosen = -1;
          for (std::size_t k = 0; k < list.size() && chosen < 0; ++k)
            if (list[k].reference >= 0 && seen++ == next_figure) chosen = static_cast<int>(k);
          ASSERT_GE(chosen, 0) << c.id;
          ++next_figure;
          form.SetPosition(i, chosen);
          want.reference = list[static_cast<std::size_t>(chosen)].reference;
          break;
        }
      }
    }
    const auto validation = form.Validate(f.engine, f.prompts);
    ASSERT_FALSE(validation) << validation->message << " at " << validation->control;

    // Closing without OK: the record is untouched.
    FigureRecord record = fresh;
    EXPECT_TRUE(std::equal(record.bytes().begin(), record.bytes().end(), fresh.bytes().begin()));

    form.Store(record);
    for (int i = 0; i < form.ControlCount(); ++i) {
      const ControlSpec& c = form.control(i);
      const Filled& want = filled[static_cast<std::size_t>(i)];
      SCOPED_TRACE(c.id);
      if (c.kind == ControlKind::kFont) {
        EXPECT_EQ(ReadString(record.bytes(), *FindField(m->figure_type, "FontName")), "IPAGothic");
        EXPECT_EQ(ReadNumber(record.bytes(), *FindField(m->figure_type, "FontSet")), 128);
        continue;
      }
      const FieldInfo& field = *FindField(m->figure_type, c.field);
      if (field.kind == FieldKind::kString) {
        EXPECT_EQ(ReadString(record.bytes(), field, c.index), want.text);
      } else if (c.kind == ControlKind::kReference) {
        EXPECT_EQ(ReadNumber(record.bytes(), field, c.index), want.reference);
        if (!c.name_field.empty()) {
          EXPECT_EQ(ReadString(record.bytes(), *FindField(m->figure_type, c.name_field)),
                    f.figures->record(want.reference)->name());
        }
      } else {
        EXPECT_EQ(ReadNumber(record.bytes(), field, c.index), want.number);
      }
    }
  }
}

// Preconditions: with nothing on the screen, a member built on other figures
// does not open and says what is missing.
TEST(PropertyMembers, MembersBuiltOnFiguresNeedThemFirst) {
  for (const MemberSpec* m : AllMembers()) {
    Fixture f;
    const FigureRecord fresh = Fixture::Fresh(m->figure_type, SubKindOf(*m));
    PropertyForm form(*m, fresh, f.Screen());
    const std::optional<std::string> refused = form.Open();
    EXPECT_EQ(refused.value_or(""), m->needs.message) << m->class_name;
  }
}

// The validation steps in their order, walked on a line: each failure names its
// message, page and control; fixing it reveals the next.
TEST(PropertyMembers, ValidationFollowsItsOrder) {
  MembersFixture f;
  const FigureRecord fresh = Fixture::Fresh(kLineFigure, 0);
  PropertyForm form(*FindMember(fresh), fresh, f.Screen());
  ASSERT_FALSE(form.Open());
  auto at = [&](std::string_view id) { return form.IndexOf(id); };
  // Every fault at once: no name, one point twice, equal pairs, a bad condition.
  form.SetText(at("Name"), "");
  form.SetPosition(at("Ref0"), 1);
  form.SetPosition(at("Ref1"), 1);
  form.SetChecked(at("Boolean"), true);
  form.SetText(at("BooleanFunc"), "a>");
  struct Step {
    FormFailure expected;
    std::function<void()> fix;
  };
  const Step steps[] = {
      {{"名前を入力して下さい．", 0, "Name"}, [&] { form.SetText(at("Name"), "a"); }},
      {{"名前が重複しています．", 0, "Ref1"}, [&] { form.SetText(at("Name"), "A"); }},
      {{"名前が重複しています．", 0, "Ref1"},
       [&] {
         form.SetPosition(at("Ref0"), 0);
         form.SetPosition(at("Ref1"), 0);
       }},
      {{"すでに同名の図形があります．", 0, "Name"},
       [&] {
         form.SetText(at("Name"), "N");
         for (const char* id : {"FX0", "FX1"})
           form.SetText(at(id), "1");
         for (const char* id : {"FY0", "FY1"})
           form.SetText(at(id), "2*a");
       }},
      {{"二つの座標が同じです．", 0, "FX1"}, [&] { form.SetText(at("FX1"), "1+"); }},
      {{"数式に誤りがあります．", 0, "FX1"}, [&] { form.SetText(at("FX1"), "1+b"); }},
      {{"数式に誤りがあります．", 1, "BooleanFunc"},
       [&] { form.SetText(at("BooleanFunc"), "a>0"); }},
  };
  for (const Step& step : steps) {
    const std::optional<FormFailure> failure = form.Validate(f.engine, f.prompts);
    ASSERT_TRUE(failure) << step.expected.message;
    EXPECT_EQ(*failure, step.expected);
    step.fix();
  }
  EXPECT_FALSE(form.Validate(f.engine, f.prompts));
}

// The member's own check runs last, after the expressions passed, and may ask.
TEST(PropertyMembers, MemberCheckRunsAfterTheCommonSteps) {
  constexpr ControlSpec kControls[] = {
      {.kind = ControlKind::kName, .id = "Name", .field = "Name"},
      {.kind = ControlKind::kExpression, .id = "FX", .field = "FX", .page = 0}};
  constexpr std::string_view kPages[] = {"定義"};
  constexpr MemberCheck kCheck = [](PropertyForm& form, ExprEngine&,
                                    FormPrompts& prompts) -> std::optional<FormFailure> {
    if (prompts.AskYesNo("続けますか？")) return std::nullopt;
    return FormFailure{"計算する区間を確認して下さい．", 0, form.control(1).id};
  };
  const MemberSpec spec{.class_name = "Test",
                        .caption = "点",
                        .figure_type = kPointFigure,
                        .names = "A",
                        .pages = kPages,
                        .controls = kControls,
                        .check = kCheck};
  Fixture f;
  const FigureRecord fresh = Fixture::Fresh(kPointFigure);
  PropertyForm form(spec, fresh, f.Screen());
  ASSERT_FALSE(form.Open());
  form.SetText(1, "(");
  EXPECT_EQ(form.Validate(f.engine, f.prompts)->message, "数式に誤りがあります．");
  EXPECT_TRUE(f.prompts.asked.empty());
  form.SetText(1, "1");
  f.prompts.answer = false;
  EXPECT_EQ(form.Validate(f.engine, f.prompts)->message, "計算する区間を確認して下さい．");
  f.prompts.answer = true;
  EXPECT_FALSE(form.Validate(f.engine, f.prompts));
}

// Selectors never offer the edited figure, figures removed in an open figure
// list, or a reference to a slot that is gone: such a reference is dropped to
// "(なし)" and counts as a changed definition.
TEST(PropertyMembers, SelectorsOfferOnlyLiveOtherFigures) {
  MembersFixture f;
  FigureRecord bunten = Fixture::Fresh(kBuntenFigure);
  bunten.point()->Name = "D";
  bunten.point()->Ref0 = f.a;
  bunten.point()->Ref1 = f.b;
  const int d = *NewFigure(*f.figures, bunten);
  FormScreen screen = f.Screen(d);
  screen.removed = [&](int slot) { return slot == f.a; };
  PropertyForm form(*FindMember(bunten), bunten, screen);
  ASSERT_FALSE(form.Open());
  const int ref0 = form.IndexOf("Ref0");
  std::vector<std::string> labels;
  for (const Candidate& c : form.value(ref0).candidates)
    labels.push_back(c.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"(なし)", "B", "C"}));
  EXPECT_EQ(form.SelectedReference(ref0), kNoReference);
  EXPECT_EQ(form.SelectedReference(form.IndexOf("Ref1")), f.b);
  EXPECT_TRUE(form.DefinitionChanged());
  form.Store(bunten);
  EXPECT_EQ(bunten.point()->Ref0, kNoReference);
}

// The foot of a perpendicular offers the axes under their own numbers and no
// "(なし)", so a stored x axis (-1) reads back as "ｘ軸".
TEST(PropertyMembers, PerpendicularFootOffersTheAxes) {
  MembersFixture f;
  FigureRecord foot = Fixture::Fresh(kSuisenFigure);
  foot.point()->Ref0 = f.a;
  foot.point()->Ref1 = kYAxisReference;
  PropertyForm form(*FindMember(foot), foot, f.Screen());
  ASSERT_FALSE(form.Open());
  const int line = form.IndexOf("Ref1");
  const ControlValue& v = form.value(line);
  ASSERT_GE(v.candidates.size(), 4u);
  EXPECT_EQ(v.candidates[0].label, "ｘ軸");
  EXPECT_EQ(v.candidates[1].label, "ｙ軸");
  EXPECT_EQ(v.candidates[2].label, "L");
  EXPECT_EQ(form.SelectedReference(line), kYAxisReference);
  EXPECT_FALSE(form.DefinitionChanged());
  form.SetPosition(line, 0);
  form.Store(foot);
  EXPECT_EQ(foot.point()->Ref1, kXAxisReference);
}

// Cross3 points are offered one by one as slot + 10000 × point number.
TEST(PropertyMembers, IntersectionSetPointsAreOfferedOneByOne) {
  MembersFixture f;
  FigureRecord set = Fixture::Fresh(kCross3Figure);
  set.multi_point()->Names[0] = "P1";
  set.multi_point()->Names[2] = "P3";
  const int slot = *NewFigure(*f.figures, set);
  const FigureRecord fresh = Fixture::Fresh(kBuntenFigure);
  PropertyForm form(*FindMember(fresh), fresh, f.Screen());
  ASSERT_FALSE(form.Open());
  const std::vector<Candidate>& list = form.value("Ref0").candidates;
  ASSERT_EQ(list.size(), 6u);
  EXPECT_EQ(list[4].label, "P1");
  EXPECT_EQ(list[4].reference, slot);
  EXPECT_EQ(list[5].label, "P3");
  EXPECT_EQ(list[5].reference, slot + 20000);
  form.SetPosition(form.IndexOf("Ref0"), 5);
  form.SetPosition(form.IndexOf("Ref1"), 1);
  FigureRecord stored = fresh;
  form.Store(stored);
  EXPECT_EQ(stored.point()->Ref0, slot + 20000);
}

TEST(PropertyMembers, ArrowSettingsReachTheLine) {
  MembersFixture f;
  FigureRecord line = Fixture::Fresh(kLineFigure, 0);
  PropertyForm form(*FindMember(line), line, f.Screen());
  ASSERT_FALSE(form.Open());
  ASSERT_TRUE(form.arrow());
  form.SetArrow({3, "0.7", "405"});
  form.Store(line);
  EXPECT_EQ(line.line()->YaTyp, 3);
  EXPECT_EQ(line.line()->YaLng, 0.7);
  EXPECT_EQ(line.line()->YaAng, 45);
}

}  // namespace
}  // namespace qzarn::forms
