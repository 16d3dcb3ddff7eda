// Print factor, scaled export sizes and the edges of a scaled pass.
#include "render/picture_layout.h"

#include <gtest/gtest.h>

#include "render/recording_canvas.h"

namespace qzarn::render {
namespace {

TEST(PictureLayout, KindComesFromTheExtensionInAnyCase) {
  const struct {
    const char* path;
    std::optional<PictureKind> kind;
  } cases[] = {
      {"a.png", PictureKind::kPng},  {"dir/A.PNG", PictureKind::kPng},
      {"x.Bmp", PictureKind::kBmp},  {"x.jpg", PictureKind::kJpeg},
      {"x.JPG", PictureKind::kJpeg}, {"x.svg", PictureKind::kSvg},
      {"x.PdF", PictureKind::kPdf},  {"x.tar.pdf", PictureKind::kPdf},
      {"x.gif", std::nullopt},       {"x.jpeg", std::nullopt},
      {"x", std::nullopt},           {"dir.png/x", std::nullopt},
      {"x.png.txt", std::nullopt},   {"x.", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PictureKindFromPath(c.path), c.kind) << c.path;
  EXPECT_TRUE(IsVectorKind(PictureKind::kSvg));
  EXPECT_TRUE(IsVectorKind(PictureKind::kPdf));
  EXPECT_FALSE(IsVectorKind(PictureKind::kPng));
}

TEST(PictureLayout, PrintScaleFitsTheSurfaceToThePage) {
  // The width limits: min(7.5, (6600 - 40) / 480) * 0.99.
  EXPECT_DOUBLE_EQ(PrintScale(4800, 6600, 40, 640, 480, 100), 7.5 * 0.99);
  EXPECT_DOUBLE_EQ(PrintScale(4800, 6600, 40, 640, 480, 50), 7.5 * 0.5 * 0.99);
  // Landscape: the height less one text line limits.
  EXPECT_DOUBLE_EQ(PrintScale(6600, 4800, 48, 640, 480, 100), (4800.0 - 48) / 480 * 0.99);
  // The percentage is held to 10..100.
  EXPECT_DOUBLE_EQ(PrintScale(4800, 6600, 40, 640, 480, 5),
                   PrintScale(4800, 6600, 40, 640, 480, 10));
  EXPECT_DOUBLE_EQ(PrintScale(4800, 6600, 40, 640, 480, 250), 7.5 * 0.99);
  // Nothing to fit, or a page with no room: drawn as on screen.
  EXPECT_DOUBLE_EQ(PrintScale(4800, 6600, 40, 0, 480, 100), 1.0);
  EXPECT_DOUBLE_EQ(PrintScale(4800, 30, 40, 640, 480, 100), 1.0);
}

TEST(PictureLayout, FitPictureBySizeOrScale) {
  const Size s{640, 480};
  EXPECT_EQ(FitPicture(s, std::nullopt, 1.0), (ScaledPicture{{640, 480}, 1.0}));
  EXPECT_EQ(FitPicture(s, std::nullopt, 2.0), (ScaledPicture{{1280, 960}, 2.0}));
  EXPECT_EQ(FitPicture(s, std::nullopt, 0.5), (ScaledPicture{{320, 240}, 0.5}));
  EXPECT_EQ(FitPicture(s, std::nullopt, 0.0001), (ScaledPicture{{1, 1}, 0.0001}));
  EXPECT_EQ(FitPicture(s, std::nullopt, -3), (ScaledPicture{{640, 480}, 1.0}));
  // A size keeps the proportions: the tighter side decides.
  EXPECT_EQ(FitPicture(s, Size{1280, 1280}, 1.0), (ScaledPicture{{1280, 1280}, 2.0}));
  EXPECT_EQ(FitPicture(s, Size{320, 480}, 1.0), (ScaledPicture{{320, 480}, 0.5}));
  EXPECT_EQ(FitPicture(s, Size{0, 480}, 3.0), (ScaledPicture{{1920, 1440}, 3.0}));
}

TEST(PictureLayout, PrintEdgesWhiteOutBeyondTheSurface) {
  const ScaledEdges e = PrintEdges({640, 480}, 3.7125, {4800, 6600}, true);
  // round(640 * 3.7125) = 2376, round(480 * 3.7125) = 1782.
  EXPECT_EQ(e.white_right, (Rect{2377, 0, 4800, 6600}));
  EXPECT_EQ(e.white_below, (Rect{0, 1783, 4800, 6600}));
  ASSERT_TRUE(e.frame);
  EXPECT_EQ(*e.frame, (Rect{1, 1, 2377, 1783}));
  EXPECT_EQ(e.frame_width, 1);
  EXPECT_FALSE(PrintEdges({640, 480}, 3.7125, {4800, 6600}, false).frame);
}

TEST(PictureLayout, ExportEdgesGrowWithThePicture) {
  const ScaledEdges e = ExportEdges({640, 480}, 2.0, {1280, 1280}, true);
  EXPECT_EQ(e.drawn, (Rect{0, 0, 1280, 960}));
  EXPECT_EQ(e.white_right.width(), 0);
  EXPECT_EQ(e.white_below, (Rect{0, 960, 1280, 1280}));
  EXPECT_EQ(*e.frame, e.drawn);
  EXPECT_EQ(e.frame_width, 2);
  EXPECT_EQ(ExportEdges({640, 480}, 0.25, {160, 120}, true).frame_width, 1);
}

TEST(PictureLayout, EdgesAreFilledWhiteThenFramedInsideAndStateRestored) {
  RecordingCanvas canvas({1280, 1280});
  canvas.SetPen(Pen{0x123456, 5, PenStyle::kDash});
  canvas.SetClipRect(Rect{0, 0, 10, 10});
  const CanvasState before = canvas.state();
  DrawScaledEdges(canvas, ExportEdges({640, 480}, 2.0, {1280, 1280}, true));
  const std::vector<CanvasCall> rects = canvas.CallsOf(CallKind::kRectangle);
  // The empty right margin is skipped; one white band below, four black frame bands.
  ASSERT_EQ(rects.size(), 5u);
  EXPECT_EQ(rects[0].state.brush.colour, kWhite);
  EXPECT_FALSE(rects[0].state.clip);
  for (std::size_t i = 1; i < rects.size(); ++i) {
    EXPECT_EQ(rects[i].state.brush.colour, kBlack);
    EXPECT_EQ(rects[i].state.pen.style, PenStyle::kClear);
    EXPECT_GE(rects[i].box.left, 0);
    EXPECT_LE(rects[i].box.right, 1280);
    EXPECT_LE(rects[i].box.bottom, 960);
    EXPECT_EQ(
        std::min(rects[i].box.right - rects[i].box.left, rects[i].box.bottom - rects[i].box.top),
        2);
  }
  EXPECT_EQ(canvas.state(), before);
}

}  // namespace
}  // namespace qzarn::render
