// The property dialog engine on every registered member: the window shows the
// member's caption, pages and controls (each with an accessible name), and a
// refusal on OK brings the offending control's page forward and focuses it.

// Core headers first: the figure table has a member named like a Qt macro.
#include "ui/property_dialog.h"
#include "document/figure_defaults.h"
#include "expr/engine.h"
#include "ui/label_font_chooser.h"

#include "ui/accessible_walk.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace qzarn::ui {
namespace {

struct DialogFixture {
  ScreenTitleCounter titles;
  std::unique_ptr<Screen> screen = Screen::Create(NewScreenDefaults{}, titles);
  ExprEngine engine;
  FigureDefaults defaults;
  std::vector<QString> errors;

  DialogFixture() {
    for (const char* name : {"A", "B", "C"})
      Add(kPointFigure, name);
    for (const char* name : {"L", "M"})
      Add(kLineFigure, name);
  }
  FigureRecord Fresh(std::int32_t type, std::int32_t sub_kind) const {
    FigureRecord r = InitialiseFigure(type, defaults, NewFigureFont{}, sub_kind);
    if (LineRecord* l = r.line(); l && (type == kLineFigure || type == kParabolaFigure))
      l->Mode = sub_kind;
    if (CircleRecord* c = r.circle()) c->Mode = sub_kind;
    return r;
  }
  int Add(std::int32_t type, const char* name, std::int32_t sub_kind = 0) {
    FigureRecord r = Fresh(type, sub_kind);
    if (r.point()) r.point()->Name = name;
    if (r.line()) r.line()->Name = name;
    if (r.circle()) r.circle()->Name = name;
    return *NewFigure(screen->Figures, std::move(r));
  }
  PropertyDialogHooks Hooks() {
    PropertyDialogHooks hooks;
    hooks.show_error = [this](QWidget*, const QString& m) { errors.push_back(m); };
    return hooks;
  }
};

std::int32_t SubKindOf(const forms::MemberSpec& m) {
  return m.sub_kind < 0 ? 0 : m.sub_kind;
}

// The font chooser a test step works on.
struct ChosenFontDialogAccess {
  LabelFontDialog& dialog;
};

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

TEST(PropertyDialogTest, EveryMemberBuildsItsPagesAndControls) {
  for (const forms::MemberSpec* m : forms::AllMembers()) {
    SCOPED_TRACE(m->class_name);
    DialogFixture f;
    const int slot = f.Add(m->figure_type, "", SubKindOf(*m));
    FigureRecord& record = *f.screen->Figures.record(slot);
    forms::PropertyForm form(*m, record, {f.screen->Figures, f.screen->Settings, slot, {}});
    ASSERT_FALSE(form.Open());
    PropertyDialog dialog(form, record, f.engine, f.Hooks());
    EXPECT_EQ(dialog.windowTitle(), Q(m->caption));
    EXPECT_EQ(dialog.accessibleName(), Q(m->caption));
    ASSERT_EQ(dialog.pages().count(), static_cast<int>(m->pages.size()));
    for (int p = 0; p < dialog.pages().count(); ++p)
      EXPECT_EQ(dialog.pages().tabText(p), Q(m->pages[static_cast<std::size_t>(p)]));
    for (const forms::ControlSpec& c : m->controls) {
      QWidget* w = dialog.controlWidget(c.id);
      ASSERT_NE(w, nullptr) << c.id;
      EXPECT_FALSE(w->accessibleName().isEmpty()) << c.id;
      EXPECT_EQ(w->isEnabled(), form.Enabled(form.IndexOf(c.id))) << c.id;
    }
    for (const char* caption : {"OK", "ｷｬﾝｾﾙ", "ﾍﾙﾌﾟ", "変数(&H)"})
      EXPECT_NE(dialog.button(caption), nullptr) << caption;
    // 1280 x 800 at 200 % leaves 640 x 400 with the title bar and panel: the
    // dialog can be shrunk onto it, its pages scrolling.
    EXPECT_LE(dialog.minimumSizeHint().height(), 340);
    EXPECT_LE(dialog.minimumSizeHint().width(), 620);
    EXPECT_FALSE(dialog.button("変数(&H)")->isEnabled());  // not connected
    EXPECT_EQ(dialog.button("軌跡(&K)") != nullptr, form.locus().has_value());
    EXPECT_EQ(dialog.button("矢印(&Y)") != nullptr, m->arrow_button);
    for (QWidget* child : dialog.findChildren<QWidget*>())
      if (qobject_cast<QPushButton*>(child) || qobject_cast<QCheckBox*>(child) ||
          qobject_cast<QComboBox*>(child) || qobject_cast<QLineEdit*>(child)) {
        if (child->parentWidget() != nullptr && qobject_cast<QComboBox*>(child->parentWidget()))
          continue;  // a combo box's own edit
        EXPECT_FALSE(child->accessibleName().isEmpty()) << child->metaObject()->className();
      }
    const std::vector<std::string> faults = testing::AccessibleFaults(dialog);
    EXPECT_TRUE(faults.empty()) << faults.size() << " first: " << (faults.empty() ? "" : faults[0]);
  }
}

// OK with an empty name on the display page, then with a broken condition:
// each refusal shows its message, switches to the control's page and focuses
// it, and the record stays as it was.
TEST(PropertyDialogTest, RefusalFocusesTheOffendingControl) {
  for (const forms::MemberSpec* m : forms::AllMembers()) {
    SCOPED_TRACE(m->class_name);
    DialogFixture f;
    const int slot = f.Add(m->figure_type, "", SubKindOf(*m));
    FigureRecord& record = *f.screen->Figures.record(slot);
    const std::vector<std::uint8_t> before(record.bytes().begin(), record.bytes().end());
    forms::PropertyForm form(*m, record, {f.screen->Figures, f.screen->Settings, slot, {}});
    ASSERT_FALSE(form.Open());
    PropertyDialog dialog(form, record, f.engine, f.Hooks());
    dialog.show();
    auto* name = qobject_cast<QComboBox*>(dialog.controlWidget("Name"));
    ASSERT_NE(name, nullptr);
    name->setEditText(QString());
    dialog.pages().setCurrentIndex(2);
    dialog.accept();
    EXPECT_EQ(f.errors, std::vector<QString>{QStringLiteral("名前を入力して下さい．")});
    EXPECT_EQ(dialog.pages().currentIndex(), 0);
    EXPECT_EQ(dialog.focusWidget(), name);
    EXPECT_TRUE(dialog.isVisible());

    name->setEditText(QStringLiteral("Z9"));
    // A new function has no text yet: each required text gets one.
    for (int i = 0; i < form.ControlCount(); ++i)
      if (!form.control(i).empty_message.empty() && form.value(i).text.empty())
        if (auto* edit = qobject_cast<QLineEdit*>(dialog.controlWidget(form.control(i).id))) {
          edit->setText(QStringLiteral("x"));
          emit edit->textEdited(edit->text());
        }
    if (m->two_points) {  // a new figure's two points start equal
      auto* x1 = static_cast<QLineEdit*>(dialog.controlWidget(m->two_points->x1));
      x1->setText(QStringLiteral("7"));
      emit x1->textEdited(x1->text());
    }
    static_cast<QCheckBox*>(dialog.controlWidget("Boolean"))->setChecked(true);
    auto* condition = static_cast<QLineEdit*>(dialog.controlWidget("BooleanFunc"));
    EXPECT_TRUE(condition->isEnabled());
    condition->setText(QStringLiteral("a>"));
    emit condition->textEdited(condition->text());
    dialog.pages().setCurrentIndex(0);
    dialog.accept();
    ASSERT_EQ(f.errors.size(), 2u);
    EXPECT_EQ(f.errors[1], QStringLiteral("数式に誤りがあります．"));
    EXPECT_EQ(dialog.pages().currentIndex(), 1);
    EXPECT_EQ(dialog.focusWidget(), condition);
    EXPECT_FALSE(dialog.stored());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), record.bytes().begin()));
    dialog.reject();
  }
}

// Through OpenPropertyDialog: OK stores into the screen's record and marks the
// screen modified; Cancel leaves the record byte for byte.
TEST(PropertyDialogTest, OpenStoresOnOkAndNothingOnCancel) {
  DialogFixture f;
  const int slot = f.Add(kPointFigure, "");
  const FigureRecord& record = *f.screen->Figures.record(slot);
  const std::vector<std::uint8_t> before(record.bytes().begin(), record.bytes().end());
  auto press = [](const char* caption) {
    QTimer::singleShot(0, [caption] {
      auto* dialog = qobject_cast<PropertyDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      static_cast<QLineEdit*>(dialog->controlWidget("FX"))->setText(QStringLiteral("3"));
      emit static_cast<QLineEdit*>(dialog->controlWidget("FX"))->textEdited(QStringLiteral("3"));
      dialog->button(caption)->click();
    });
  };
  press("ｷｬﾝｾﾙ");
  EXPECT_FALSE(OpenPropertyDialog(*f.screen, slot, f.engine, nullptr, f.Hooks()));
  EXPECT_TRUE(std::equal(before.begin(), before.end(), record.bytes().begin()));
  EXPECT_FALSE(f.screen->Modified);
  press("OK");
  EXPECT_TRUE(OpenPropertyDialog(*f.screen, slot, f.engine, nullptr, f.Hooks()));
  EXPECT_EQ(record.point()->FX, "3");
  EXPECT_EQ(record.point()->Name, "D");
  EXPECT_TRUE(f.screen->Modified);
  // The dialog comes back where it was closed.
  EXPECT_NE(RememberedPosition(0), QPoint(-1, -1));
}

// The locus and arrow windows opened from a property dialog's buttons: a
// change confirmed there and then in the property dialog reaches the record;
// Cancel in the small window keeps the dialog's values; Cancel in the property
// dialog keeps the record byte for byte, whatever the small window confirmed.
TEST(PropertyDialogTest, LocusAndArrowWindowsReachTheRecordOnlyThroughOk) {
  struct Case {
    std::int32_t type;
    const char* button;
    std::function<void(QDialog&)> change;  // on the small window
    std::function<void(const FigureRecord&)> check;
  };
  const auto combo = [](QDialog& d, const char* name) {
    for (QComboBox* c : d.findChildren<QComboBox*>())
      if (c->accessibleName() == QString::fromStdString(forms::SpokenCaption(name))) return c;
    ADD_FAILURE() << name;
    return static_cast<QComboBox*>(nullptr);
  };
  const auto check = [](QDialog& d, const char* name) {
    for (QCheckBox* c : d.findChildren<QCheckBox*>())
      if (c->accessibleName() == QString::fromStdString(forms::SpokenCaption(name))) return c;
    ADD_FAILURE() << name;
    return static_cast<QCheckBox*>(nullptr);
  };
  const Case cases[] = {
      {kPointFigure, "軌跡(&K)",
       [&](QDialog& d) {
         check(d, "軌跡を表示(&K)")->setChecked(true);
         check(d, "線で結ぶ(&L)")->setChecked(true);
         combo(d, "点の大きさ(&S)")->setEditText(QStringLiteral("5"));
         combo(d, "線の太さ(&W)")->setEditText(QStringLiteral("0"));  // below 1 becomes 1
       },
       [](const FigureRecord& r) {
         EXPECT_TRUE(r.point()->Track);
         EXPECT_TRUE(r.point()->TrackConnect);
         EXPECT_EQ(r.point()->TrackRadius, 5);
         EXPECT_EQ(r.point()->TrackThick, 1);
       }},
      {kLineFigure, "矢印(&Y)",
       [&](QDialog& d) {
         combo(d, "種類(&T)")->setCurrentIndex(3);  // 両端
         combo(d, "長さ(&L)")->setEditText(QStringLiteral("0.7"));
         combo(d, "角度(&A)")->setEditText(QString::fromUtf8("45ﾟ"));
       },
       [](const FigureRecord& r) {
         EXPECT_EQ(r.line()->YaTyp, 3);
         EXPECT_DOUBLE_EQ(r.line()->YaLng, 0.7);
         EXPECT_EQ(r.line()->YaAng, 45);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    for (const char* small_button : {"OK", "ｷｬﾝｾﾙ"}) {
      for (const char* dialog_button : {"OK", "ｷｬﾝｾﾙ"}) {
        SCOPED_TRACE(std::string(small_button) + " then " + dialog_button);
        DialogFixture f;
        const int slot = f.Add(c.type, "");
        FigureRecord& record = *f.screen->Figures.record(slot);
        if (LineRecord* l = record.line()) {  // a line needs its two points to be stored
          l->FX0 = "0";
          l->FY0 = "0";
          l->FX1 = "1";
          l->FY1 = "2";
        }
        const FigureRecord original = record;
        bool small_seen = false;
        QTimer::singleShot(0, [&] {
          auto* dialog = qobject_cast<PropertyDialog*>(QApplication::activeModalWidget());
          ASSERT_NE(dialog, nullptr);
          // The small window runs modally inside the button's click.
          QTimer::singleShot(0, [&] {
            auto* small = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(small, nullptr);
            ASSERT_NE(small, dialog);
            small_seen = true;
            c.change(*small);
            for (QPushButton* b : small->findChildren<QPushButton*>())
              if (b->text() == QString::fromUtf8(small_button)) b->click();
          });
          dialog->button(c.button)->click();
          dialog->button(dialog_button)->click();
          if (dialog->isVisible()) {  // refused: report instead of waiting forever
            ADD_FAILURE() << "the dialog stayed open: "
                          << (f.errors.empty() ? std::string() : f.errors.back().toStdString());
            dialog->reject();
          }
        });
        const bool confirmed = OpenPropertyDialog(*f.screen, slot, f.engine, nullptr, f.Hooks());
        EXPECT_TRUE(small_seen);
        EXPECT_EQ(confirmed, std::string_view(dialog_button) == "OK");
        const bool changed = confirmed && std::string_view(small_button) == "OK";
        if (changed) {
          c.check(record);
        } else if (!confirmed) {
          EXPECT_TRUE(
              std::equal(original.bytes().begin(), original.bytes().end(), record.bytes().begin()));
        } else {
          // Confirmed with the small window cancelled: the name is proposed,
          // the locus and arrow fields stay as they were.
          EXPECT_EQ(ReadLocusSettings(record)->on, ReadLocusSettings(original)->on);
          if (c.type == kLineFigure) {
            EXPECT_EQ(record.line()->YaTyp, original.line()->YaTyp);
            EXPECT_EQ(record.line()->YaLng, original.line()->YaLng);
          } else {
            EXPECT_EQ(record.point()->TrackRadius, original.point()->TrackRadius);
            EXPECT_EQ(record.point()->TrackThick, original.point()->TrackThick);
          }
        }
      }
    }
  }
}

// Return in the name box keeps the proposed name: the box must not fall back
// to the first name of its list (A, taken), which made OK refuse the dialog.
TEST(PropertyDialogTest, ReturnInTheNameBoxKeepsTheProposedName) {
  DialogFixture f;
  const int slot = f.Add(kPointFigure, "");
  FigureRecord& record = *f.screen->Figures.record(slot);
  forms::PropertyForm form(*forms::FindMember(record), record,
                           {f.screen->Figures, f.screen->Settings, slot, {}});
  ASSERT_FALSE(form.Open());
  PropertyDialog dialog(form, record, f.engine, f.Hooks());
  dialog.show();
  auto* name = qobject_cast<QComboBox*>(dialog.controlWidget("Name"));
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->currentText(), QStringLiteral("D"));
  name->lineEdit()->setFocus();
  QTest::keyClick(name->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(name->currentText(), QStringLiteral("D"));
  dialog.button("OK")->click();
  EXPECT_TRUE(dialog.stored());
  EXPECT_EQ(record.point()->Name, "D");
  EXPECT_TRUE(f.errors.empty()) << (f.errors.empty() ? "" : f.errors.front().toStdString());
}

// Text that reaches the fields without typing (assistive technology, an
// input method's commit) is stored, whichever field has the focus at OK.
TEST(PropertyDialogTest, OkStoresEveryFieldAsItIsShownHoweverItGotThere) {
  DialogFixture f;
  const int slot = f.Add(kPointFigure, "");
  FigureRecord& record = *f.screen->Figures.record(slot);
  forms::PropertyForm form(*forms::FindMember(record), record,
                           {f.screen->Figures, f.screen->Settings, slot, {}});
  ASSERT_FALSE(form.Open());
  PropertyDialog dialog(form, record, f.engine, f.Hooks());
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  static_cast<QLineEdit*>(dialog.controlWidget("FX"))->setText(QStringLiteral("1.5"));
  static_cast<QLineEdit*>(dialog.controlWidget("FY"))->setText(QStringLiteral("-2"));
  qobject_cast<QComboBox*>(dialog.controlWidget("Name"))->setEditText(QStringLiteral("Q"));
  dialog.controlWidget("Name")->setFocus();
  QTest::mouseClick(dialog.button("OK"), Qt::LeftButton);
  ASSERT_TRUE(dialog.stored());
  EXPECT_EQ(std::string(record.point()->FX.view()), "1.5");
  EXPECT_EQ(std::string(record.point()->FY.view()), "-2");
  EXPECT_EQ(std::string(record.point()->Name.view()), "Q");
}

// Enter confirms the dialog from the name box (the focused combo box) as it
// does from a coordinate line.
TEST(PropertyDialogTest, EnterInTheNameBoxOrALineConfirms) {
  for (const char* field : {"Name", "FX"}) {
    SCOPED_TRACE(field);
    DialogFixture f;
    const int slot = f.Add(kPointFigure, "");
    FigureRecord& record = *f.screen->Figures.record(slot);
    forms::PropertyForm form(*forms::FindMember(record), record,
                             {f.screen->Figures, f.screen->Settings, slot, {}});
    ASSERT_FALSE(form.Open());
    PropertyDialog dialog(form, record, f.engine, f.Hooks());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QWidget* target = dialog.controlWidget(field);
    target->setFocus();
    ASSERT_EQ(
        QApplication::focusWidget() == target || target->isAncestorOf(QApplication::focusWidget()),
        true);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(dialog.stored());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(std::string(record.point()->Name.view()), "D");
  }
}

// The font button's chooser: OK without a change leaves the record byte for
// byte (a 20 pixel label stays 20 pixels, a family this machine lacks keeps
// its name); a colour and a size chosen there reach the record.
TEST(PropertyDialogTest, FontChooserRoundTripsSizeFamilyAndColour) {
  DialogFixture f;
  const int slot = f.Add(kPointFigure, "");
  FigureRecord& record = *f.screen->Figures.record(slot);
  qzarn::LabelFont& font = record.point()->Font;
  font.FontName = "NoSuchFamilyQz";
  font.FontSize = 20;
  font.FontColor = 0x123456;
  font.FontStyle = 1;
  font.FontSet = 128;
  record.point()->Name = "P";
  const std::vector<std::uint8_t> before(record.bytes().begin(), record.bytes().end());
  const auto run = [&](std::function<void(ChosenFontDialogAccess&)> step) {
    forms::PropertyForm form(*forms::FindMember(record), record,
                             {f.screen->Figures, f.screen->Settings, slot, {}});
    EXPECT_FALSE(form.Open());
    PropertyDialog dialog(form, record, f.engine, f.Hooks());
    dialog.show();
    QPushButton* button = nullptr;
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
      if (b->text() == QStringLiteral("ﾌｫﾝﾄ(&F)")) button = b;
    ASSERT_NE(button, nullptr);
    dialog.pages().setCurrentIndex(dialog.pages().indexOf(button->parentWidget()));
    QTimer::singleShot(0, [step] {
      auto* chooser = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(chooser, nullptr);
      ChosenFontDialogAccess access{static_cast<LabelFontDialog&>(*chooser)};
      step(access);
      QTest::mouseClick(&access.dialog.okButton(), Qt::LeftButton);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(dialog.button("OK"), Qt::LeftButton);
    EXPECT_TRUE(dialog.stored());
  };
  for (int i = 0; i < 3; ++i)
    run([](ChosenFontDialogAccess&) {});
  EXPECT_TRUE(std::equal(before.begin(), before.end(), record.bytes().begin()));

  run([](ChosenFontDialogAccess& a) {
    a.dialog.SetColour(0x00FF00);
    QFont bigger = a.dialog.fontChooser().currentFont();
    bigger.setPointSizeF(PointsOfPixels(32, a.dialog.logicalDpiY()));
    a.dialog.fontChooser().setCurrentFont(bigger);
  });
  EXPECT_EQ(font.FontColor.get(), 0x00FF00u);
  EXPECT_EQ(font.FontSize, 32);
  EXPECT_EQ(font.FontStyle, 1);
}

// A member that needs figures the screen lacks does not open.
TEST(PropertyDialogTest, MissingFiguresAreReported) {
  DialogFixture f;
  ClearTable(f.screen->Figures);
  const int slot = f.Add(kBuntenFigure, "");
  EXPECT_FALSE(OpenPropertyDialog(*f.screen, slot, f.engine, nullptr, f.Hooks()));
  EXPECT_EQ(f.errors, std::vector<QString>{QStringLiteral("２つ以上の点が必要です．")});
}

// Screenshots of every page of three members, for looking at (written only
// when QZARN_SCREENSHOTS names a folder).
TEST(PropertyDialogTest, Screenshots) {
  const char* folder = std::getenv("QZARN_SCREENSHOTS");
  if (folder == nullptr) GTEST_SKIP() << "QZARN_SCREENSHOTS not set";
  QDir().mkpath(QString::fromLocal8Bit(folder));
  for (const forms::MemberSpec* m : forms::AllMembers()) {
    const std::string_view name = m->class_name;
    if (name != "TPro_Point" && name != "TPro_Line" && name != "TPro_Circle") continue;
    DialogFixture f;
    const int slot = f.Add(m->figure_type, "", SubKindOf(*m));
    FigureRecord& record = *f.screen->Figures.record(slot);
    forms::PropertyForm form(*m, record, {f.screen->Figures, f.screen->Settings, slot, {}});
    ASSERT_FALSE(form.Open());
    PropertyDialog dialog(form, record, f.engine, f.Hooks());
    dialog.show();
    for (int p = 0; p < dialog.pages().count(); ++p) {
      dialog.pages().setCurrentIndex(p);
      QApplication::processEvents();
      dialog.grab().save(QStringLiteral("%1/%2_%3.png").arg(folder).arg(Q(name)).arg(p));
    }
  }
}

}  // namespace
}  // namespace qzarn::ui
