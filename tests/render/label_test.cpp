// Point labels: the coordinate texts of every coordinate kind, which names get
// a subscript, and where the label sits around the point mark.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "render/figure_drawing_labels.h"
#include "render/recording_canvas.h"
#include "render_test_support.h"

namespace qzarn::render {
namespace {

struct CoordinateCase {
  double x, y;
  CoordinateKind kind;
  int decimals;
  const char* text;
};

TEST(FormatCoordinatesTest, EveryKind) {
  constexpr double pi = std::numbers::pi;
  const CoordinateCase cases[] = {
      {1.5, -2, CoordinateKind::kStandard, 2, "(1.5,-2)"},
      {1.0 / 3, 2.0 / 3, CoordinateKind::kStandard, 2, "(0.33,0.67)"},
      {1e-11, -4e-11, CoordinateKind::kStandard, 2, "(0,0)"},
      {-0.001, 0.004, CoordinateKind::kStandard, 2, "(0,0)"},
      {1.23456, 0, CoordinateKind::kStandard, 0, "(1,0)"},
      {pi / 2, 1, CoordinateKind::kDegrees, 2, "(90\uFF9F,1)"},
      {-pi / 3, 0.5, CoordinateKind::kDegrees, 2, "(-60\uFF9F,0.5)"},
      {pi / 2, 1, CoordinateKind::kRadians, 2, "(0.5\u03C0,1)"},
      {0, -1, CoordinateKind::kPolar, 2, "(1,270\u309C)"},
      {1, 0, CoordinateKind::kPolar, 2, "(1,0\u309C)"},
      {-1, -1e-20, CoordinateKind::kPolar, 2, "(1,180\u309C)"},
      {3, 4, CoordinateKind::kPolar, 1, "(5,53.1\u309C)"},
      {2, -3, CoordinateKind::kComplex, 2, "(2-3i)"},
      {2, 3, CoordinateKind::kComplex, 2, "(2+3i)"},
      {2, 0, CoordinateKind::kComplex, 2, "(2+0i)"},
      // A negative imaginary part that rounds to zero loses its sign, so the
      // plus must come back: "(20i)" would read as twenty.
      {2, -0.001, CoordinateKind::kComplex, 2, "(2+0i)"},
      {2, -1e-12, CoordinateKind::kComplex, 2, "(2+0i)"},
  };
  for (const CoordinateCase& c : cases) {
    EXPECT_EQ(FormatCoordinates(c.x, c.y, c.kind, c.decimals), c.text)
        << c.x << "," << c.y << " kind " << static_cast<int>(c.kind);
  }
}

TEST(SubscriptNameTest, WhichNamesQualify) {
  struct Case {
    const char* name;
    bool any, digits_only;
  } cases[] = {
      {"P1", true, true},   {"AB", true, false},  {"Ab", true, false},
      {"a1", false, false}, {"P", false, false},  {"P10", false, false},
      {"1A", false, false}, {"P-", false, false}, {"", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsSubscriptName(c.name, false), c.any) << c.name;
    EXPECT_EQ(IsSubscriptName(c.name, true), c.digits_only) << c.name;
  }
}

class PointLabelTest : public ::testing::Test {
 protected:
  PointLabelTest() : params(testing_support::NewScreenView()) {
    font.family = "IPAPGothic";
    font.size = 16;
  }

  // Draws the label of a point at (1, 1) and returns the recorded texts.
  std::vector<CanvasCall> Label(std::string_view name, int direction, bool coordinates,
                                int zoom_percent = 100) {
    params.view.zoom = zoom_percent / 100.0;
    canvas.ClearCalls();
    DrawContext ctx(canvas, params, options);
    {
      FigureInk ink(ctx, false);
      DrawPointLabel(ink, name, direction, coordinates, font, 3, 2, 1, 1);
    }
    px = ctx.PX(1);
    py = ctx.PY(1);
    return canvas.CallsOf(CallKind::kText);
  }

  ViewParams params;
  RenderOptions options = testing_support::PixelExactOptions();
  LabelFontSpec font;
  RecordingCanvas canvas;
  double px = 0, py = 0;
};

TEST_F(PointLabelTest, CoordinatesPlacedBesideTheMarkByDirection) {
  // Recording metric at 16 px: "1" is 8 wide and 16 high. Offset = base +
  // (rim / 2 + radius) = base + 4, base = 0.2 * the reference size.
  struct Case {
    int direction;
    HorizontalAnchor h;
    VerticalAnchor v;
    double base;
  } cases[] = {
      {0, HorizontalAnchor::kStart, VerticalAnchor::kMiddle, 0.2 * 8},
      {45, HorizontalAnchor::kStart, VerticalAnchor::kMiddle, 0.2 * 8},
      {46, HorizontalAnchor::kCentre, VerticalAnchor::kBottom, 0.2 * 16},
      {90, HorizontalAnchor::kCentre, VerticalAnchor::kBottom, 0.2 * 16},
      {135, HorizontalAnchor::kEnd, VerticalAnchor::kMiddle, 0.2 * 8},
      {225, HorizontalAnchor::kEnd, VerticalAnchor::kMiddle, 0.2 * 8},
      {270, HorizontalAnchor::kCentre, VerticalAnchor::kTop, 0.2 * 16},
      {315, HorizontalAnchor::kStart, VerticalAnchor::kMiddle, 0.2 * 8},
      {-90, HorizontalAnchor::kCentre, VerticalAnchor::kTop, 0.2 * 16},
      {450, HorizontalAnchor::kCentre, VerticalAnchor::kBottom, 0.2 * 16},
  };
  for (const Case& c : cases) {
    const auto texts = Label("A", c.direction, true);
    ASSERT_EQ(texts.size(), 1u) << c.direction;
    EXPECT_EQ(texts[0].text, "A(1,1)");
    EXPECT_EQ(texts[0].state.anchor.horizontal, c.h) << c.direction;
    EXPECT_EQ(texts[0].state.anchor.vertical, c.v) << c.direction;
    const double d = c.base + 4;
    const double rad = c.direction * std::numbers::pi / 180;
    EXPECT_NEAR(texts[0].points[0].x, px + std::cos(rad) * d, 1e-9) << c.direction;
    EXPECT_NEAR(texts[0].points[0].y, py - std::sin(rad) * d, 1e-9) << c.direction;
  }
}

TEST_F(PointLabelTest, NameAloneCentredAtTheDiagonalOfItsBox) {
  // "Q" is 8 x 16: base = hypot(4, 8) * (0.2 + 0.5).
  const auto texts = Label("Q", 90, false);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].state.anchor,
            (TextAnchor{HorizontalAnchor::kCentre, VerticalAnchor::kMiddle}));
  EXPECT_NEAR(texts[0].points[0].x, px, 1e-9);
  EXPECT_NEAR(texts[0].points[0].y, py - (std::hypot(4.0, 8.0) * 0.7 + 4), 1e-9);
}

TEST_F(PointLabelTest, FontAndOffsetGrowWithTheZoom) {
  // 400 %: font round(2 * 16) = 32; with point zoom the mark offset is
  // (1 + 3) * 4 = 16 pixels, base 0.2 * 32.
  const auto texts = Label("A", 90, true, 400);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].state.font.height, 32);
  EXPECT_NEAR(texts[0].points[0].y, py - (0.2 * 32 + 16), 1e-9);
  // Without point zoom the mark keeps its pixel size: the offset stays 4.
  options.layout.point_zoom = false;
  const auto fixed = Label("A", 90, true, 400);
  ASSERT_EQ(fixed.size(), 1u);
  EXPECT_NEAR(fixed[0].points[0].y, py - (0.2 * 32 + 4), 1e-9);
}

TEST_F(PointLabelTest, SubscriptFollowsTheLetter) {
  const auto texts = Label("B2", 0, false);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "B ");
  EXPECT_EQ(texts[1].text, "2");
  // Small font round(16 * 0.6) = 10, bold, placed after "B" (8 wide) and
  // lowered by 16 - 10 / 2 from the top of the name.
  EXPECT_EQ(texts[1].state.font.height, 10);
  const PointF top_left =
      AnchoredTextOrigin(texts[0].points[0], {16, 16, 12}, texts[0].state.anchor);
  EXPECT_NEAR(texts[1].points[0].x, top_left.x + 8, 1e-9);
  EXPECT_NEAR(texts[1].points[0].y, top_left.y + 11, 1e-9);
  EXPECT_EQ(texts[1].state.anchor, (TextAnchor{HorizontalAnchor::kStart, VerticalAnchor::kMiddle}));
}

TEST_F(PointLabelTest, FarPointsAndFarAnchorsDrawNothing) {
  params.view.pan_x = 30000;  // the anchor lands beyond 20000 pixels
  EXPECT_TRUE(Label("A", 0, true).empty());
  params.view.pan_x = 0;
  canvas.ClearCalls();
  DrawContext ctx(canvas, params, options);
  FigureInk ink(ctx, false);
  DrawPointLabel(ink, "A", 0, true, font, 3, 2, 1e8, 0);
  EXPECT_EQ(canvas.CountOf(CallKind::kText), 0u);
}

}  // namespace
}  // namespace qzarn::render

namespace qzarn::render {
namespace {

TEST_F(PointLabelTest, PolygonNameWithDigitSubscriptAndValue) {
  struct Case {
    const char* name;
    const char* value;
    std::vector<std::string> texts;
  } cases[] = {
      {"S1", "2.5", {"S =2.5", "1"}},
      {"S1", "", {"S ", "1"}},
      {"", "2.5", {"2.5"}},
      {"SA", "2.5", {"SA=2.5"}},  // letters stay in line for areas
      {"", "", {}},
  };
  for (const Case& c : cases) {
    canvas.ClearCalls();
    DrawContext ctx(canvas, params, options);
    {
      FigureInk ink(ctx, false);
      DrawNamedValueLabel(ink, c.name, c.value, font, 13, 1, 1);
    }
    const auto texts = canvas.CallsOf(CallKind::kText);
    ASSERT_EQ(texts.size(), c.texts.size()) << c.name;
    for (std::size_t i = 0; i < texts.size(); ++i)
      EXPECT_EQ(texts[i].text, c.texts[i]) << c.name;
    if (texts.size() == 2) {
      // Centred name; the digit after "S" (7 wide at 13 px) at round(13 * 0.6).
      EXPECT_EQ(texts[0].state.anchor,
                (TextAnchor{HorizontalAnchor::kCentre, VerticalAnchor::kMiddle}));
      EXPECT_EQ(texts[1].state.font.height, 8);
      // Lowered by 13 - 8 / 2 from the top of the centred 13-pixel text.
      EXPECT_NEAR(texts[1].points[0].y, ctx.PY(1) - 6.5 + 13 - 4, 1e-9);
    }
  }
}

}  // namespace
}  // namespace qzarn::render
