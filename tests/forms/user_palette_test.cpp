#include "forms/user_palette.h"

#include <gtest/gtest.h>

#include <string_view>

#include "document/palette_item_fields.h"
#include "engine/figure_expressions.h"
#include "engine/screen_builder.h"
#include "expr/engine.h"

namespace qzarn {
namespace {

using testing::ScreenBuilder;

void Set(PaletteItem& item, std::string_view name, double v) {
  for (const FieldInfo& f : PaletteItemFields(item.Kind()))
    if (f.name == name) {
      ASSERT_TRUE(WriteNumber(item.Bytes, f, v));
    }
}

void Box(Screen& s, int i, int variable, double value, double initial, double min, double max,
         double step) {
  PaletteItem& item = s.PaletteItems[static_cast<std::size_t>(i)];
  item.SetKind(kPaletteVariableBox);
  Set(item, "Variable", variable);
  Set(item, "Left", 9);
  Set(item, "Top", 19);
  Set(item, "Width", 60);
  Set(item, "Height", 22);
  Set(item, "Value", value);
  Set(item, "InitialValue", initial);
  Set(item, "Minimum", min);
  Set(item, "Maximum", max);
  Set(item, "Step", step);
}

class UserPaletteTest : public ::testing::Test {
 protected:
  UserPaletteTest() {
    sine_ = b_.Function("sin(a*x)");
    other_ = b_.Function("b1*x");
    Screen& s = b_.screen();
    Box(s, 0, 0, 1, 1, 0, 2, 0.5);  // a
    s.PaletteItems[1].SetKind(kPaletteLabel);
    Box(s, 2, 27, 5, -1, -3, 3, 1);  // b1
    Box(s, 3, 260, 0, 0, 0, 1, 1);   // beyond z9: left out
  }
  Screen& screen() { return b_.screen(); }
  bool Valid(int i) { return b_.Record(i).function()->CurveValid != 0; }

  ScreenBuilder b_;
  int sine_ = -1;
  int other_ = -1;
  ExprEngine expr_;
  FigureExpressions expressions_{expr_};
};

TEST_F(UserPaletteTest, ReadsEntriesAtTheirPlacesWithTheVariablesCurrentValues) {
  screen().Variables().write(0, 1, 1.5);  // a changed since the palette was saved
  screen().Variables().write(1, 2, 7);    // b1 beyond its maximum
  const UserPaletteLayout layout = ReadUserPalette(screen());
  EXPECT_EQ(layout.width, 301);
  EXPECT_EQ(layout.height, 101);
  ASSERT_EQ(layout.labels.size(), 1u);
  EXPECT_EQ(layout.labels[0].item, 1);
  ASSERT_EQ(layout.boxes.size(), 2u);
  const UserPaletteBox& a = layout.boxes[0];
  EXPECT_EQ(a.left, 10);
  EXPECT_EQ(a.top, 20);
  EXPECT_EQ(a.value, 1.5);  // the current value, not the stored 1
  EXPECT_EQ(layout.boxes[1].variable, (PaletteVariable{1, 1}));
  EXPECT_EQ(layout.boxes[1].value, 3);  // shown clamped
  EXPECT_EQ(AnimeCaption(layout.boxes[1].variable), "変数 b1");
  // Reading writes nothing.
  EXPECT_EQ(screen().Variables().read(0, 1), 1.5);
  EXPECT_EQ(screen().Variables().read(1, 2), 7);
}

TEST_F(UserPaletteTest, BoxChangesClampApplyAndResetWritesInitialValues) {
  const UserPaletteLayout layout = ReadUserPalette(screen());
  const UserPaletteBox& a = layout.boxes[0];
  struct {
    double typed, stored;
    bool written;
  } cases[] = {{0.5, 0.5, true}, {5, 2, true}, {9, 2, false}, {-4, 0, true}, {0, 0, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(ApplyBoxValue(screen(), a, c.typed, expressions_), c.written) << c.typed;
    EXPECT_EQ(screen().Variables().read(0, 1), c.stored) << c.typed;
  }
  EXPECT_FALSE(Valid(sine_));
  EXPECT_TRUE(Valid(other_));

  screen().Modified = false;
  EXPECT_EQ(ResetUserPalette(screen(), expressions_), 2);  // a 0 -> 1, b1 0 -> -1
  EXPECT_EQ(screen().Variables().read(0, 1), 1);
  EXPECT_EQ(screen().Variables().read(1, 2), -1);
  EXPECT_EQ(ReadUserPalette(screen()).boxes[1].value, -1);
  EXPECT_TRUE(screen().Modified);
  EXPECT_EQ(ResetUserPalette(screen(), expressions_), 0);  // nothing changes twice
}

}  // namespace
}  // namespace qzarn
