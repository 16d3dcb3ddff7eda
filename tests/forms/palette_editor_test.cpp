#include "forms/palette_editor.h"

#include <gtest/gtest.h>

#include "document/palette_item_fields.h"
#include "engine/figure_expressions.h"
#include "engine/screen_builder.h"
#include "expr/engine.h"
#include "forms/palette_item_access.h"
#include "forms/palette_wizard.h"

namespace qzarn {
namespace {

using testing::ScreenBuilder;

// Every character 7 × 12 pixels.
std::pair<int, int> FixedMeasure(const std::string& text, const PaletteFont&) {
  return {static_cast<int>(text.size()) * 7, 12};
}

PaletteFont TestFont() {
  PaletteFont f;
  f.name = "IPAPGothic";
  return f;
}

class PaletteEditorTest : public ::testing::Test {
 protected:
  PaletteEditorTest() { form_.Load(b_.screen()); }
  Screen& screen() { return b_.screen(); }
  const PaletteObject& at(int i) const { return form_.objects()[static_cast<std::size_t>(i)]; }

  ScreenBuilder b_;
  PaletteEditorForm form_{FixedMeasure, TestFont()};
  ExprEngine expr_;
  FigureExpressions expressions_{expr_};
};

TEST_F(PaletteEditorTest, ANewScreenOpensAnEmptySurfaceOfThreeHundredByOneHundred) {
  EXPECT_TRUE(form_.objects().empty());
  EXPECT_EQ(form_.surface().width, 300);
  EXPECT_EQ(form_.surface().height, 100);
  const PaletteEditorTools t = form_.tools();
  EXPECT_FALSE(t.clear || t.cut || t.copy || t.paste);
  EXPECT_TRUE(t.create);
}

TEST_F(PaletteEditorTest, PropertyRowsStoreTheirLimitsAndRefuseWhatNoBoxCanHold) {
  struct Case {
    PropertyOutcome (PaletteEditorForm::*row)(std::string_view);
    const char* text;
    PropertyResult result;
    double PaletteObject::*field;
    double stored;
  };
  using F = PaletteEditorForm;
  using R = PropertyResult;
  const Case cases[] = {
      {&F::SetMaximum, "20000", R::kLimited, &PaletteObject::maximum, 10000},
      {&F::SetMinimum, "-20000", R::kLimited, &PaletteObject::minimum, -10000},
      {&F::SetMinimum, "-5", R::kStored, &PaletteObject::minimum, -5},
      {&F::SetStep, "-5", R::kRefused, &PaletteObject::step, 0.1},
      {&F::SetStep, "0", R::kRefused, &PaletteObject::step, 0.1},
      {&F::SetStep, "5000", R::kLimited, &PaletteObject::step, 1000},
      {&F::SetStep, "0.25", R::kStored, &PaletteObject::step, 0.25},
      {&F::SetMaximum, "100", R::kStored, &PaletteObject::maximum, 100},
      {&F::SetInitial, "150", R::kLimited, &PaletteObject::initial, 100},
      {&F::SetInitial, "-7", R::kLimited, &PaletteObject::initial, -5},
      {&F::SetInitial, "1-2", R::kIgnored, &PaletteObject::initial, -5},
      {&F::SetInitial, "", R::kIgnored, &PaletteObject::initial, -5},
      {&F::SetMinimum, "200", R::kRefused, &PaletteObject::minimum, -5},
      {&F::SetMaximum, "-6", R::kRefused, &PaletteObject::maximum, 100},
      // Raising the minimum pulls the initial value along into the range.
      {&F::SetMinimum, "3", R::kStored, &PaletteObject::initial, 3},
  };
  ASSERT_TRUE(form_.CreateBox());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const PropertyOutcome out = (form_.*c.row)(c.text);
    EXPECT_EQ(out.result, c.result);
    EXPECT_EQ(out.message.empty(), c.result != R::kRefused);
    EXPECT_EQ(at(0).*c.field, c.stored);
  }
}

TEST_F(PaletteEditorTest, LabelsFollowTheirTextAndNotFreeVariablesCannotBeChosen) {
  b_.Function("a*x");
  b_.Equation(1, 0, "2");  // b := 2
  const std::vector<VariableUse> uses = ClassifyVariables(screen());
  EXPECT_EQ(VariableListEntry(0, uses[0]), " a(使用中)");
  EXPECT_EQ(VariableListEntry(1, uses[1]), " b(使用不可)");
  EXPECT_EQ(VariableListEntry(23, uses[23]), " x(使用不可)");
  EXPECT_EQ(VariableListEntry(28, uses[28]), " c1");

  ASSERT_TRUE(form_.CreateLabel());
  EXPECT_EQ(at(0).caption, "Label");
  EXPECT_EQ(at(0).rect.width, 35);
  EXPECT_EQ(form_.SetCaption("").result, PropertyResult::kLimited);
  EXPECT_EQ(at(0).caption, " ");
  EXPECT_EQ(at(0).rect.width, 7);
  EXPECT_EQ(form_.SetCaption("値 ☃").result, PropertyResult::kRefused);
  EXPECT_EQ(at(0).caption, " ");

  ASSERT_TRUE(form_.CreateBox());
  EXPECT_EQ(at(1).rect.height, 15);  // font size + 5
  EXPECT_FALSE(form_.SetVariable(1, uses));
  EXPECT_TRUE(form_.SetVariable(28, uses));
  EXPECT_EQ(at(1).variable, 28);
}

TEST_F(PaletteEditorTest, DraggingSnapsUnlessAltAndKeepsObjectsAndGroupsInside) {
  form_.ResizeSurface(100, 60);
  ASSERT_TRUE(form_.CreateBox());  // 60 × 15
  struct Case {
    int left, top;
    bool snap;
    int want_left, want_top;
  };
  const Case cases[] = {
      {13, 22, true, 12, 20}, {13, 22, false, 13, 22}, {70, 50, true, 40, 45},
      {-9, -3, true, 0, 0},   {39, 43, true, 36, 40},
  };
  for (const Case& c : cases) {
    form_.DragTo(0, c.left, c.top, c.snap);
    EXPECT_EQ(at(0).rect.left, c.want_left) << c.left;
    EXPECT_EQ(at(0).rect.top, c.want_top) << c.top;
  }
  // A rubber band marks both; dragging one moves both without leaving the surface.
  form_.DragTo(0, 0, 0, true);
  ASSERT_TRUE(form_.CreateLabel());  // 35 × 12 at the corner
  form_.DragTo(1, 40, 40, true);
  form_.MarkRectangle(50, 45, 2, 2);
  EXPECT_EQ(form_.markedCount(), 2);
  form_.Select(1);
  form_.DragTo(1, 80, 44, true);
  // The pair's frame (75 wide) stops at the right edge: both move 25, not 40.
  EXPECT_EQ(at(1).rect.left, 65);
  EXPECT_EQ(at(0).rect.left, 25);
  EXPECT_EQ(at(1).rect.top, 44);
  EXPECT_EQ(at(0).rect.top, 4);
  form_.Select(-1);
  EXPECT_EQ(form_.markedCount(), 0);
  // Sizing a box stops at the surface's edge.
  form_.Select(0);
  form_.ResizeSelected(500, 3);
  EXPECT_EQ(at(0).rect.width, 75);
  EXPECT_EQ(at(0).rect.height, 8);
  EXPECT_EQ(ClampSurface(5000, 1).width, kDesignAreaWidth);
  EXPECT_EQ(ClampSurface(5000, 1).height, kMinSurfaceHeight);
}

TEST_F(PaletteEditorTest, ClipboardCopiesCutsAndPastesBesideTheOriginal) {
  ASSERT_TRUE(form_.CreateBox());
  form_.DragTo(0, 8, 8, true);
  form_.SetInitial("5");
  ASSERT_TRUE(form_.Copy());
  ASSERT_TRUE(form_.Paste());
  ASSERT_EQ(form_.objects().size(), 2u);
  EXPECT_EQ(at(1).rect.left, 12);
  EXPECT_EQ(at(1).rect.top, 12);
  EXPECT_EQ(at(1).value, 5);
  // The pasted box names the same variable: OK reports it.
  EXPECT_EQ(form_.DuplicateVariable(), "a");
  EXPECT_EQ(DuplicateVariableMessage("a"), "変数名\"a\" が重複しています．");
  form_.SetVariable(1, ClassifyVariables(screen()));
  EXPECT_EQ(form_.DuplicateVariable(), std::nullopt);

  ASSERT_TRUE(form_.CreateLabel());
  form_.MarkRectangle(0, 0, 299, 99);
  EXPECT_TRUE(form_.tools().cut);
  EXPECT_FALSE(form_.tools().copy);
  ASSERT_TRUE(form_.Cut());
  EXPECT_TRUE(form_.objects().empty());
  form_.Select(-1);
  EXPECT_FALSE(form_.Cut());
}

TEST_F(PaletteEditorTest, TheObjectLimitDisablesCreatingAndPasting) {
  ASSERT_TRUE(form_.CreateLabel());
  form_.Copy();
  while (form_.tools().create)
    ASSERT_TRUE(form_.Paste());
  EXPECT_EQ(static_cast<int>(form_.objects().size()), kPaletteObjectLimit);
  EXPECT_FALSE(form_.CreateBox());
  EXPECT_FALSE(form_.Paste());
  EXPECT_FALSE(form_.tools().paste);
  form_.Clear();
  EXPECT_TRUE(form_.objects().empty());
}

TEST_F(PaletteEditorTest, StoreWritesLabelsFirstAndTheValuesTheAnswerChose) {
  // Label, box, label, box, label.
  form_.CreateLabel();
  form_.SetCaption("one");
  form_.CreateBox();
  form_.DragTo(1, 20, 30, false);
  form_.SetInitial("2");
  form_.CreateLabel();
  form_.SetCaption("two");
  form_.CreateBox();
  form_.SetVariable(27, {});  // b1
  form_.SetMaximum("4");
  form_.SetInitial("-1");
  form_.CreateLabel();
  form_.ResizeSurface(200, 80);
  screen().Variables().write(0, 1, 7);   // a
  screen().Variables().write(1, 2, 50);  // b1, beyond its box's maximum

  for (bool use_current : {true, false}) {
    SCOPED_TRACE(use_current);
    form_.Store(screen(), use_current);
    const auto& items = screen().PaletteItems;
    const int kinds[] = {0, 0, 0, 1, 1, -1};
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(items[static_cast<std::size_t>(i)].Kind(), kinds[i]) << i;
    EXPECT_EQ(ItemText(items[1], kPaletteLabel, "Caption"), "two");
    EXPECT_EQ(ItemInt(items[3], kPaletteVariableBox, "Left"), 19);
    EXPECT_EQ(ItemInt(items[3], kPaletteVariableBox, "Top"), 29);
    EXPECT_EQ(ItemInt(items[4], kPaletteVariableBox, "Variable"), 27);
    EXPECT_EQ(ItemNumber(items[3], kPaletteVariableBox, "Value"), use_current ? 7 : 2);
    EXPECT_EQ(ItemNumber(items[4], kPaletteVariableBox, "Value"), use_current ? 4 : -1);
    EXPECT_EQ(screen().View().PaletteWidth, 200);
    EXPECT_TRUE(screen().Modified);
  }
  // The palette then starts at the stored (initial) values.
  EXPECT_EQ(ApplyStoredPaletteValues(screen(), expressions_), 2);
  EXPECT_EQ(screen().Variables().read(0, 1), 2);
  EXPECT_EQ(screen().Variables().read(1, 2), -1);

  // Loading reads back the same design.
  PaletteEditorForm again(FixedMeasure, TestFont());
  again.Load(screen());
  ASSERT_EQ(again.objects().size(), 5u);
  EXPECT_EQ(again.objects()[3].rect.left, 20);
  EXPECT_EQ(again.objects()[4].maximum, 4);
  EXPECT_EQ(again.surface().height, 80);
  EXPECT_EQ(again.selected(), -1);
}

// ---- Wizard -----------------------------------------------------------------

WizardMetrics Metrics(int text_height, bool names = true, bool bold = false) {
  return MakeWizardMetrics({40, 16, text_height}, bold, names);
}

std::vector<int> FirstVariables(int n) {
  std::vector<int> v;
  for (int i = n - 1; i >= 0; --i)
    v.push_back(i);  // any order: placed in the standard order
  return v;
}

TEST(PaletteWizard, CellsAndLimitsFollowTheFontAndTheResultAlwaysFits) {
  const WizardMetrics m = Metrics(15);
  EXPECT_EQ(m.box_width, 60);
  EXPECT_EQ(m.cell_width, 80 + 16);
  EXPECT_EQ(m.cell_height, 32);
  EXPECT_EQ(Metrics(15, true, true).box_width, 68);  // 40 × 1.2 + 20
  // (351 − 8) div 29 would allow 11 rows of 32 pixels: 356 > 351.
  EXPECT_EQ(WizardRowLimit(m), 10);
  for (int h : {8, 12, 15, 20, 27, 40, 90, 400}) {
    for (bool vertical : {true, false}) {
      SCOPED_TRACE(h);
      WizardSettings s;
      s.vertical = vertical;
      s.rows = 99;
      s.columns = 99;
      const WizardMetrics mh = Metrics(h);
      const WizardLayout l = LayOutWizard(s, mh, TestFont(), FirstVariables(260), true);
      EXPECT_GE(l.placed, 1);
      EXPECT_LE(l.width, kDesignAreaWidth);
      EXPECT_LE(l.height, kDesignAreaHeight);
      for (const PaletteObject& o : l.objects)
        if (o.box()) {
          EXPECT_LE(o.rect.bottom(), kDesignAreaHeight);
        }
    }
  }
}

TEST(PaletteWizard, VerticalAndHorizontalLayoutsPlaceCellsInTheStandardOrder) {
  const WizardMetrics m = Metrics(15);
  WizardSettings s;  // vertical, names, 6 rows
  WizardLayout l = LayOutWizard(s, m, TestFont(), FirstVariables(8), true);
  ASSERT_EQ(l.placed, 8);
  ASSERT_EQ(l.objects.size(), 16u);
  EXPECT_EQ(l.width, 2 * m.cell_width - 12);
  EXPECT_EQ(l.height, 6 * m.cell_height + 4);
  // Variable g (k = 6) opens the second column: label then box.
  const PaletteObject& g_label = l.objects[12];
  const PaletteObject& g_box = l.objects[13];
  EXPECT_EQ(g_label.caption, "g");
  EXPECT_EQ(g_label.rect.left, SnapToGrid(m.cell_width + 3 + m.name_width / 4, true));
  EXPECT_EQ(g_label.rect.top, 4);
  EXPECT_EQ(g_box.variable, 6);
  EXPECT_EQ(g_box.rect.left, SnapToGrid(m.cell_width + 3 + m.name_width, true));
  EXPECT_EQ(g_box.rect.top, 0);
  EXPECT_EQ(g_box.rect.width, m.box_width);
  EXPECT_EQ(g_box.rect.height, 15);

  s.vertical = false;
  s.names = false;
  s.columns = 3;
  const WizardMetrics bare = Metrics(15, false);
  l = LayOutWizard(s, bare, TestFont(), {27, 0, 3, 1}, false);
  ASSERT_EQ(l.objects.size(), 4u);
  EXPECT_EQ(l.width, 3 * bare.cell_width - 11);
  EXPECT_EQ(l.height, 2 * bare.cell_height + 4);
  EXPECT_EQ(l.objects[3].variable, 27);  // b1 comes after d
  EXPECT_EQ(l.objects[3].rect.left, 3);
  EXPECT_EQ(l.objects[3].rect.top, bare.cell_height + 3);

  // Capacity: vertically ((426 − 8) div cw) columns of 6 rows.
  s = WizardSettings{};
  l = LayOutWizard(s, m, TestFont(), FirstVariables(260), true);
  EXPECT_EQ(l.placed, (418 / m.cell_width) * 6);
}

TEST(PaletteWizard, SettingsNoBoxCanHoldAreRefusedAndKeptObjectsOnlyGrowTheSurface) {
  WizardSettings s;
  EXPECT_EQ(CheckWizardSettings(s), std::nullopt);
  s.step = 0;
  EXPECT_EQ(CheckWizardSettings(s), kStepNotPositiveMessage);
  s.step = 1;
  s.minimum = 5;
  s.maximum = 4;
  EXPECT_EQ(CheckWizardSettings(s), kMinimumAboveMaximumMessage);

  PaletteEditorForm editor(FixedMeasure, TestFont());
  editor.ResizeSurface(400, 20);
  editor.CreateLabel();
  const WizardLayout l = LayOutWizard(WizardSettings{}, Metrics(15), TestFont(), {0, 1}, true);
  EXPECT_EQ(ApplyWizardLayout(editor, l, false), 4);
  EXPECT_EQ(editor.objects().size(), 5u);
  EXPECT_EQ(editor.surface().width, 400);
  EXPECT_EQ(editor.surface().height, l.height);
  EXPECT_EQ(editor.objects()[1].rect.width, 7);  // the name label measured: "a"
  EXPECT_EQ(ApplyWizardLayout(editor, l, true), 4);
  EXPECT_EQ(editor.objects().size(), 4u);
  EXPECT_EQ(editor.surface().width, l.width);
}

}  // namespace
}  // namespace qzarn
