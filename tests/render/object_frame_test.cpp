#include "render/object_frame.h"

#include <gtest/gtest.h>

#include "document/object_bytes_builder.h"
#include "render/figure_drawing_fixture.h"

namespace qzarn::render {
namespace {

class ObjectFrameTest : public FigureDrawingTest {
 protected:
  FrameRecord& AddObject(std::vector<std::uint8_t> bytes) {
    FigureRecord& r = Add(kOleFigure);
    r.owned.ObjectBytes = std::move(bytes);
    FrameRecord& f = *r.frame();
    f.X0 = -2;
    f.Y0 = -1;
    f.X1 = 3;
    f.Y1 = 2;
    f.DispL = true;
    f.SizeL = 1;
    f.RimColor = 0x0000FFu;
    f.DispBk = true;
    f.ColorBk = 0x00FFFFu;
    f.Object().SizeM = 3;
    return f;
  }
  // The calls of the figure: what the picture of the empty screen does not hold.
  std::vector<CanvasCall> FigureCalls(CallKind kind) {
    std::vector<CanvasCall> out;
    const auto screen_calls = empty_screen_.CallsOf(kind);
    for (const CanvasCall& c : Draw().CallsOf(kind))
      if (std::none_of(screen_calls.begin(), screen_calls.end(),
                       [&](const CanvasCall& s) { return s.box == c.box && s.text == c.text; }))
        out.push_back(c);
    return out;
  }
  void SetUp() override { empty_screen_ = Draw(); }
  RecordingCanvas empty_screen_{Size{640, 480}};
};

TEST_F(ObjectFrameTest, BackgroundStandInAndFrameForEachKindOfObject) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    bool icon;
    std::string caption;  // empty: the picture is drawn instead
  } cases[] = {
      {"picture", testing_support::EquationWithPicture(4, 3), false, ""},
      {"picture shown as icon", testing_support::EquationWithPicture(4, 3), true,
       "Formula Editor 2.0"},
      {"unreadable bytes", std::vector<std::uint8_t>(100, 9), false, kUnknownObjectCaption},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClearTable(screen->Figures);
    next_slot = 0;
    AddObject(c.bytes).IsIcon = c.icon;
    const auto rects = FigureCalls(CallKind::kRectangle);
    ASSERT_EQ(rects.size(), 2U);
    EXPECT_EQ(rects[0].state.brush.colour, 0x00FFFFu);  // background first
    EXPECT_EQ(rects[1].state.pen.colour, 0x0000FFu);    // then the frame over it
    EXPECT_EQ(rects[1].state.brush.style, BrushStyle::kClear);
    EXPECT_EQ(rects[0].box, rects[1].box);
    const RectF box = rects[1].box;
    EXPECT_GT(box.right - box.left, 100);
    const auto images = FigureCalls(CallKind::kImage);
    const auto texts = FigureCalls(CallKind::kText);
    if (c.caption.empty()) {
      ASSERT_EQ(images.size(), 1U);
      EXPECT_EQ(images[0].box, box);  // stretched
      EXPECT_EQ(images[0].image_size, (Size{4, 3}));
      EXPECT_TRUE(texts.empty());
    } else {
      EXPECT_TRUE(images.empty());
      ASSERT_EQ(texts.size(), 1U);
      EXPECT_EQ(texts[0].text, c.caption);
      EXPECT_TRUE(texts[0].state.clip.has_value());
      EXPECT_GE(texts[0].points[0].y, box.top);
    }
  }
}

TEST_F(ObjectFrameTest, NothingForFarCornersOrAFalseConditionAndNoFrameWhenSwitchedOff) {
  FrameRecord& f = AddObject({});
  const std::size_t nothing = empty_screen_.DrawingCalls().size();
  f.X1 = 1e8;
  EXPECT_EQ(Draw().DrawingCalls().size(), nothing);
  f.X1 = 3;
  f.Boolean = true;
  f.ConditionValue = 0;
  EXPECT_EQ(Draw().DrawingCalls().size(), nothing);
  f.Boolean = false;
  f.DispL = false;
  f.DispBk = false;
  EXPECT_TRUE(FigureCalls(CallKind::kRectangle).empty());
  EXPECT_EQ(FigureCalls(CallKind::kText).size(), 1U);  // the stand-in stays
}

TEST(PlacePicture, EachViewModePlacesThePictureInTheFrame) {
  const Rect box{10, 20, 110, 70};  // 100 x 50
  struct Case {
    int mode;
    double zoom;
    Rect expected;
  } cases[] = {
      {0, 1, {10, 20, 50, 30}},   // natural size at the corner
      {0, 2, {10, 20, 90, 40}},   // natural size follows the zoom
      {1, 1, {40, 40, 80, 50}},   // centred
      {2, 1, {10, 32, 110, 57}},  // fitted with its proportions kept, centred
      {3, 1, box},                // stretched
      {7, 1, box},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(PlacePicture(box, 40, 10, c.mode, c.zoom), c.expected);
  }
}

}  // namespace
}  // namespace qzarn::render
