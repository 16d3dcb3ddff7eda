// The function, graph and shape members opened in the property dialog engine
// offscreen: every declared control has its widget with an accessible name,
// Cancel leaves the record as it was, and the recurrence question comes up
// when the box is ticked.

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "document/figure_defaults.h"
#include "engine/screen_builder.h"
#include "expr/engine.h"
#include "ui/property_dialog.h"
#include "ui/value_table_dialog.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace qzarn {
namespace {

using testing::ScreenBuilder;

struct Prompts final : forms::FormPrompts {
  bool answer = true;
  std::vector<std::string> asked, informed;
  bool AskYesNo(std::string_view m) override {
    asked.emplace_back(m);
    return answer;
  }
  void Inform(std::string_view m) override { informed.emplace_back(m); }
};

// Points A, B, C, a line, a circle and y = x*x: every member can be defined.
struct MembersScreen {
  ScreenBuilder b;
  MembersScreen() {
    b.Point("0", "0");
    b.Point("1", "1");
    b.Point("2", "0");
    b.Line("0", "0", "1", "2");
    b.Circle(0, "0", "0", "2");
    b.Function("x*x");
    const char* names[] = {"A", "B", "C", "L", "C1", "F"};
    for (int i = 0; i < 6; ++i) {
      FigureRecord& r = b.Record(i);
      if (PointRecord* p = r.point()) p->Name = names[i];
      if (LineRecord* l = r.line()) l->Name = names[i];
      if (CircleRecord* c = r.circle()) c->Name = names[i];
      if (FunctionRecord* f = r.function()) f->Name = names[i];
    }
  }
  // A new figure of the member, as an Insert command makes it.
  int Add(const forms::MemberSpec& m) {
    static const FigureDefaults kDefaults;
    FigureRecord r =
        InitialiseFigure(m.figure_type, kDefaults, NewFigureFont{}, std::max(0, m.sub_kind));
    if (FunctionRecord* f = r.function()) {
      f->FuncX = "x";
      f->FuncY = "x";
    }
    return b.AddRecord(std::move(r));
  }
};

const char* const kMembers[] = {"TFuncYo",     "TFuncBi",     "TFuncKy",      "TFuncIn",
                                "TPro_Cross2", "TPro_Cross3", "TPro_Menseki", "TPro_Sessen",
                                "TPro_Poly",   "TPro_Spl",    "TPro_Char",    "TPro_OLE"};

const forms::MemberSpec* Member(std::string_view name) {
  for (const forms::MemberSpec* m : forms::AllMembers())
    if (m->class_name == name) return m;
  return nullptr;
}

// Saves every page of the dialog when QZARN_SCREENSHOT_DIR names a folder.
void SavePages(ui::PropertyDialog& dialog, std::string_view member) {
  const char* dir = std::getenv("QZARN_SCREENSHOT_DIR");
  if (dir == nullptr) return;
  for (int p = 0; p < dialog.pages().count(); ++p) {
    dialog.pages().setCurrentIndex(p);
    dialog.grab().save(
        QStringLiteral("%1/%2_%3.png")
            .arg(QString::fromUtf8(dir),
                 QString::fromUtf8(member.data(), static_cast<qsizetype>(member.size())))
            .arg(p));
  }
  dialog.pages().setCurrentIndex(0);
}

TEST(PropertyMembersDialog, EachMemberOpensWithAWidgetPerControlAndCancelKeepsTheRecord) {
  for (const char* name : kMembers) {
    SCOPED_TRACE(name);
    const forms::MemberSpec* spec = Member(name);
    ASSERT_NE(spec, nullptr);
    MembersScreen s;
    const int slot = s.Add(*spec);
    Screen& screen = s.b.screen();
    FigureRecord& record = *screen.Figures.record(slot);
    const FigureRecord before = record;
    forms::PropertyForm form(*spec, record,
                             forms::FormScreen{screen.Figures, screen.Settings, slot});
    ASSERT_FALSE(form.Open());
    ExprEngine engine;
    Prompts prompts;
    ui::PropertyDialogHooks hooks;
    hooks.prompts = &prompts;
    hooks.edit_variables = EditVariableTable;
    ui::PropertyDialog dialog(form, record, engine, hooks);
    dialog.show();
    EXPECT_EQ(dialog.pages().count(), static_cast<int>(spec->pages.size()));
    for (int i = 0; i < form.ControlCount(); ++i) {
      QWidget* w = dialog.controlWidget(form.control(i).id);
      ASSERT_NE(w, nullptr) << form.control(i).id;
      EXPECT_FALSE(w->accessibleName().isEmpty()) << form.control(i).id;
    }
    SavePages(dialog, name);
    dialog.reject();
    EXPECT_FALSE(dialog.stored());
    EXPECT_EQ(std::memcmp(record.bytes().data(), before.bytes().data(), record.bytes().size()), 0);
  }
}

TEST(PropertyMembersDialog, TickingTheRecurrenceBoxAsksAndFillsTheRange) {
  MembersScreen s;
  const forms::MemberSpec* spec = Member("TFuncYo");
  ASSERT_NE(spec, nullptr);
  const int slot = s.Add(*spec);
  Screen& screen = s.b.screen();
  FigureRecord& record = *screen.Figures.record(slot);
  forms::PropertyForm form(*spec, record, forms::FormScreen{screen.Figures, screen.Settings, slot});
  ASSERT_FALSE(form.Open());
  ExprEngine engine;
  Prompts prompts;
  ui::PropertyDialogHooks hooks;
  hooks.prompts = &prompts;
  ui::PropertyDialog dialog(form, record, engine, hooks);
  dialog.show();
  auto* box = qobject_cast<QAbstractButton*>(dialog.controlWidget("Recursive"));
  ASSERT_NE(box, nullptr);
  box->click();
  EXPECT_EQ(prompts.asked, std::vector<std::string>{"定義域を漸化式の設定しますか？"});
  EXPECT_EQ(prompts.informed,
            std::vector<std::string>{"第10項まで計算するように自動設定しました．"});
  EXPECT_EQ(form.value("AreaEx1").text, "10");
  dialog.accept();
  ASSERT_TRUE(dialog.stored());
  EXPECT_TRUE(record.function()->Recursive);
  EXPECT_EQ(record.function()->AreaSx1.view(), "1");
  EXPECT_EQ(record.function()->AreaWd1.view(), "1");
}

}  // namespace
}  // namespace qzarn
