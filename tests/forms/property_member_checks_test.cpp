// The checks and reactions particular to the function, graph and shape
// members: required texts, distinct variables, intervals, vertex counts, the
// names of intersection sets, the recurrence question and the selector lists.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/property_form.h"
#include "property_form_fixture.h"

namespace qzarn::forms {
namespace {

const MemberSpec& Member(std::string_view class_name) {
  for (const MemberSpec* m : AllMembers())
    if (m->class_name == class_name) return *m;
  ADD_FAILURE() << class_name << " not registered";
  return *AllMembers().front();
}

// Points A, B, C (A at x = 3), lines L, M, a circle C1, a parabola H, an
// explicit function F, a parametric function G and a recurrence R.
struct ChecksFixture : FormScreenFixture {
  int a, b, c, l, m, circle, parabola, f, g, r;
  ChecksFixture() {
    a = Add(kPointFigure, "A");
    figures->record(a)->point()->X = 3;
    b = Add(kPointFigure, "B");
    figures->record(b)->point()->X = 1;
    c = Add(kPointFigure, "C");
    l = Add(kLineFigure, "L");
    m = Add(kLineFigure, "M");
    circle = Add(kCircleFigure, "C1");
    parabola = Add(kParabolaFigure, "H");
    f = AddFunction("F", 1, false);
    g = AddFunction("G", 2, false);
    r = AddFunction("R", 1, true);
  }
  int AddFunction(std::string_view name, int kind, bool recursive) {
    FigureRecord rec = Fresh(kFunctionFigure, kind);
    rec.function()->Name = name;
    rec.function()->Recursive = recursive;
    return *NewFigure(*figures, std::move(rec));
  }
};

// A form on a fresh figure of the member, opened on the fixture's screen.
struct OpenForm {
  FigureRecord record;
  PropertyForm form;
  OpenForm(const ChecksFixture& f, std::string_view class_name)
      : record(Fresh(class_name)), form(Member(class_name), record, f.Screen()) {
    EXPECT_FALSE(form.Open()) << class_name;
  }
  // A new figure of the member; a function has its texts filled in.
  static FigureRecord Fresh(std::string_view class_name) {
    const MemberSpec& m = Member(class_name);
    FigureRecord r = FormScreenFixture::Fresh(m.figure_type, std::max(0, m.sub_kind));
    if (FunctionRecord* fn = r.function()) {
      fn->FuncX = "x";
      fn->FuncY = "x";
    }
    return r;
  }
  int at(std::string_view id) const {
    const int i = form.IndexOf(id);
    EXPECT_GE(i, 0) << id;
    return i;
  }
  void Text(std::string_view id, std::string_view text) { form.SetText(at(id), text); }
  void Position(std::string_view id, int p) { form.SetPosition(at(id), p); }
  // Selects the figure in `slot` (sub-index 0) in a selector.
  void Choose(std::string_view id, int slot) {
    const auto& list = form.value(at(id)).candidates;
    for (std::size_t k = 0; k < list.size(); ++k)
      if (list[k].reference == MakeReference(slot)) return Position(id, static_cast<int>(k));
    ADD_FAILURE() << "slot " << slot << " not offered in " << id;
  }
};

TEST(PropertyMemberChecks, EachMemberRefusesWithItsMessageAtItsControl) {
  struct Case {
    std::string_view member;
    std::function<void(OpenForm&, const ChecksFixture&)> fault;
    FormFailure expected;
  };
  const Case cases[] = {
      {"TFuncYo",
       [](OpenForm& o, auto&) { o.Text("FuncX", ""); },
       {"式または数値を入力して下さい．", 0, "FuncX"}},
      {"TFuncYo",
       [](OpenForm& o, auto&) { o.Text("AreaEx1", ""); },
       {"式または数値を入力して下さい．", 0, "AreaEx1"}},
      {"TFuncYo",
       [](OpenForm& o, auto&) {
         o.Position("ParamVar", 1);
         o.Text("AreaWd2", "");
       },
       {"式または値を入力して下さい．", 0, "AreaWd2"}},
      {"TFuncYo",
       [](OpenForm& o, auto&) {
         o.form.SetChecked(o.at("Recursive"), true);
         o.Text("InitY", "");
       },
       {"数値を入力して下さい．", 3, "InitY"}},
      {"TFuncBi",
       [](OpenForm& o, auto&) { o.Text("FuncY", ""); },
       {"式または数値を入力して下さい．", 0, "FuncY"}},
      {"TFuncBi",
       [](OpenForm& o, auto&) {
         o.Position("ParamVar", 19);   // t
         o.Position("FamilyVar", 20);  // t
       },
       {"同じ変数名は指定できません．", 0, "FamilyVar"}},
      {"TFuncKy",
       [](OpenForm& o, auto&) {
         o.Position("ParamVar", 17);   // s (r is not offered)
         o.Position("FamilyVar", 18);  // s
       },
       {"同じ変数名は指定できません．", 0, "FamilyVar"}},
      {"TFuncIn",
       [](OpenForm& o, auto&) { o.Text("Seido", ""); },
       {"値を入力して下さい．", 0, "Seido"}},
      {"TFuncIn",
       [](OpenForm& o, auto&) { o.Text("FuncX", "x*x+y*y-"); },
       {"数式に誤りがあります．", 0, "FuncX"}},
      {"TPro_Cross2",
       [](OpenForm& o, const ChecksFixture& f) {
         o.Choose("Ref0", f.f);
         o.Choose("Ref1", f.f);
       },
       {"関数名が重複しています．", 0, "Ref1"}},
      {"TPro_Cross3",
       [](OpenForm& o, const ChecksFixture& f) {
         o.Choose("Ref0", f.l);
         o.Choose("Ref1", f.l);
       },
       {"図形が重複しています．", 0, "Ref1"}},
      {"TPro_Cross3",
       [](OpenForm& o, const ChecksFixture& f) {
         o.Choose("Ref0", f.l);
         o.Choose("Ref1", f.circle);
         o.Text("Name2", o.form.value("Name").text);
       },
       {"すでに同名の図形があります．", 0, "Name2"}},
      {"TPro_Cross3",
       [](OpenForm& o, const ChecksFixture& f) {
         o.Choose("Ref0", f.l);
         o.Choose("Ref1", f.circle);
         o.Text("Name4", "b");  // typed lower case, stored as B: taken
       },
       {"すでに同名の図形があります．", 0, "Name4"}},
      {"TPro_Menseki",
       [](OpenForm& o, const ChecksFixture& f) {
         o.Choose("Ref0", f.f);
         o.Text("FX", "2");
         o.Text("FY", "1");
       },
       {"計算する区間を確認して下さい．", 0, "FY"}},
      {"TPro_Menseki",
       [](OpenForm& o, const ChecksFixture& f) {
         o.Choose("Ref0", f.f);
         o.Choose("Ref2", f.a);  // x = 3
         o.Choose("Ref3", f.b);  // x = 1
       },
       {"計算する区間を確認して下さい．", 0, "Ref3"}},
      {"TPro_Poly",
       [](OpenForm& o, const ChecksFixture& f) {
         o.Choose("Refs0", f.a);
         o.Choose("Refs1", f.b);
       },
       {"３つ以上の点を指定して下さい．", 0, "Refs0"}},
      {"TPro_Poly",
       [](OpenForm& o, const ChecksFixture& f) {
         o.Choose("Refs0", f.a);
         o.Choose("Refs1", f.b);
         o.Choose("Refs5", f.a);
       },
       {"点が重複しています．", 0, "Refs5"}},
      {"TPro_Spl",
       [](OpenForm& o, const ChecksFixture& f) { o.Choose("Refs3", f.c); },
       {"２つ以上の点を指定して下さい．", 0, "Refs0"}},
      {"TPro_Char",
       [](OpenForm& o, auto&) {
         o.Text("FX0", "1");
         o.Text("FY0", "a");
         o.Text("FX1", "1");
         o.Text("FY1", "a");
       },
       {"二つの座標が同じです．", 0, "FX1"}},
      {"TPro_OLE",
       [](OpenForm& o, auto&) {
         o.Text("FX0", "0");
         o.Text("FY0", "0");
         o.Text("FX1", "0");
         o.Text("FY1", "0");
       },
       {"二つの座標が同じです．", 0, "FX1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.member) + " " + c.expected.message);
    ChecksFixture f;
    OpenForm o(f, c.member);
    // The fresh figure as opened is valid once its required choices are made.
    if (c.member == "TPro_Poly" || c.member == "TPro_Spl") {
      for (std::string_view id : {"Refs0", "Refs1", "Refs2"})
        o.Position(id, 0);
    }
    c.fault(o, f);
    const std::optional<FormFailure> failure = o.form.Validate(f.engine, f.prompts);
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, c.expected) << failure->message << " at " << failure->control;
  }
}

TEST(PropertyMemberChecks, TickingTheRecurrenceOffersTheFirstTenTerms) {
  for (std::string_view member : {"TFuncYo", "TFuncBi"}) {
    SCOPED_TRACE(member);
    for (const bool yes : {true, false}) {
      ChecksFixture f;
      OpenForm o(f, member);
      f.prompts.answer = yes;
      const int recursive = o.at("Recursive");
      EXPECT_FALSE(o.form.Enabled(o.at("InitY")));
      o.form.SetChecked(recursive, true);
      o.form.Changed(recursive, f.prompts);
      EXPECT_TRUE(o.form.Enabled(o.at("InitY")));
      ASSERT_EQ(f.prompts.asked, std::vector<std::string>{"定義域を漸化式の設定しますか？"});
      const std::string informed = yes ? "第10項まで計算するように自動設定しました．"
                                       : "再帰計算の定義域の設定はヘルプを参照して下さい．";
      EXPECT_EQ(f.prompts.informed, std::vector<std::string>{informed});
      const char* range[] = {"AreaSx1", "AreaEx1", "AreaWd1"};
      const char* set[] = {"1", "10", "1"};
      const char* kept[] = {"-10", "10", "0.1"};
      for (int k = 0; k < 3; ++k)
        EXPECT_EQ(o.form.value(range[k]).text, yes ? set[k] : kept[k]) << range[k];
      // Clearing the box asks nothing; other controls never ask.
      o.form.SetChecked(recursive, false);
      o.form.Changed(recursive, f.prompts);
      o.form.Changed(o.at("FuncX"), f.prompts);
      EXPECT_EQ(f.prompts.asked.size(), 1u);
    }
  }
}

TEST(PropertyMemberChecks, IntersectionSetStoresItsFiguresInTheComputedOrder) {
  const struct {
    int ChecksFixture::*first;
    int ChecksFixture::*second;
    int ChecksFixture::*stored_first;
  } cases[] = {
      {&ChecksFixture::circle, &ChecksFixture::l, &ChecksFixture::l},
      {&ChecksFixture::parabola, &ChecksFixture::circle, &ChecksFixture::circle},
      {&ChecksFixture::parabola, &ChecksFixture::m, &ChecksFixture::m},
      {&ChecksFixture::l, &ChecksFixture::m, &ChecksFixture::l},
  };
  for (const auto& c : cases) {
    ChecksFixture f;
    OpenForm o(f, "TPro_Cross3");
    o.Choose("Ref0", f.*c.first);
    o.Choose("Ref1", f.*c.second);
    ASSERT_FALSE(o.form.Validate(f.engine, f.prompts));
    FigureRecord stored = o.record;
    o.form.Store(stored);
    const int other = f.*c.stored_first == f.*c.first ? f.*c.second : f.*c.first;
    EXPECT_EQ(stored.multi_point()->Ref0, MakeReference(f.*c.stored_first));
    EXPECT_EQ(stored.multi_point()->Ref1, MakeReference(other));
  }
  // Only the first point's name is proposed; the others stay unused.
  ChecksFixture f;
  OpenForm o(f, "TPro_Cross3");
  EXPECT_EQ(o.form.value("Name").text, "P1");
  for (const char* id : {"Name2", "Name3", "Name4"})
    EXPECT_EQ(o.form.value(id).text, "") << id;
}

TEST(PropertyMemberChecks, GraphSelectorsOfferOnlyGraphsAndTheXAxis) {
  ChecksFixture f;
  OpenForm o(f, "TPro_Cross2");
  std::vector<std::string> labels;
  for (const Candidate& c : o.form.value("Ref0").candidates)
    labels.push_back(c.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"(なし)", "ｘ軸", "L", "M", "H", "F"}));
  OpenForm s(f, "TPro_Sessen");
  labels.clear();
  for (const Candidate& c : s.form.value("Ref0").candidates)
    labels.push_back(c.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"(なし)", "L", "M", "H", "F"}));
  OpenForm x(f, "TPro_Cross3");
  labels.clear();
  for (const Candidate& c : x.form.value("Ref1").candidates)
    labels.push_back(c.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"(なし)", "ｘ軸", "ｙ軸", "L", "M", "C1", "H"}));
}

TEST(PropertyMemberChecks, RegionSwitchShowsTheInverseOfItsField) {
  ChecksFixture f;
  OpenForm o(f, "TFuncIn");
  const int shown = o.at("Recursive");
  ASSERT_FALSE(o.record.function()->Recursive);
  EXPECT_TRUE(o.form.value(shown).checked);
  EXPECT_TRUE(o.form.Enabled(o.at("ColorP")));
  o.form.SetChecked(shown, false);
  EXPECT_FALSE(o.form.Enabled(o.at("ColorP")));
  ASSERT_FALSE(o.form.Validate(f.engine, f.prompts));
  FigureRecord stored = o.record;
  o.form.Store(stored);
  EXPECT_TRUE(stored.function()->Recursive);
}

}  // namespace
}  // namespace qzarn::forms
