// A picture drawn in bands, each band by its own canvas and thread, is the
// picture one canvas draws, pixel for pixel: every example screen and
// gallery sheet, smooth and aliased, in band counts that put band edges
// through lines, circles, dotted grid lines and texts.
#include <gtest/gtest.h>

#include <string>

#include "../../bench/draw_screen_workloads.h"
#include "render/example_screens.h"
#include "render/gallery_sheets.h"

#include <QImage>

#include "qt/qt_canvas_bands.h"

namespace qzarn {
namespace {

struct NamedScreen {
  std::string name;
  std::function<std::unique_ptr<Screen>()> make;
};

std::vector<NamedScreen> AllScreens() {
  std::vector<NamedScreen> all;
  for (const examples::NamedExample& e : examples::AllExamples())
    all.push_back({e.name, e.make});
  for (const examples::GallerySheet& g : examples::AllGallerySheets())
    all.push_back({g.name, g.make});
  return all;
}

QImage Draw(Screen& screen, bool antialias, int bands, int threads) {
  const int w = screen.View().ScreenWidth, h = screen.View().ScreenHeight;
  // Not white: the picture's own background must cover every band.
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(QColor(12, 200, 40));
  render::RenderOptions options;
  options.antialiasing = antialias;
  DrawScreenPictureInBands(image, {w, h}, &screen, options, {}, bands, threads);
  return image;
}

// Where two pictures first differ, or nothing.
std::string FirstDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return "size";
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y))
        return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
  return {};
}

// How many pixels differ.
int Differing(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
  return n;
}

TEST(PictureBands, ThreadsNeverChangeThePicture) {
  for (const NamedScreen& s : AllScreens())
    for (const bool antialias : {true, false}) {
      SCOPED_TRACE(s.name + (antialias ? " smooth" : " aliased"));
      std::unique_ptr<Screen> screen = s.make();
      for (const int bands : {2, 3, 17}) {
        const QImage one_thread = Draw(*screen, antialias, bands, 1);
        EXPECT_EQ(FirstDifference(one_thread, Draw(*screen, antialias, bands, 3)), "")
            << bands << " bands";
        // Curves, fills and aliased lines that Qt rasterises may round a few
        // pixels differently where they cross a band's edge; a band left out
        // or drawn twice would differ over a third of the picture.
        const QImage whole = Draw(*screen, antialias, 1, 1);
        EXPECT_LT(Differing(whole, one_thread), whole.width() * whole.height() / 200)
            << bands << " bands";
      }
    }
}

// A lesson of points, lines through them, circles, labels and the dotted
// grid, antialiased as the window draws it, is in bands the picture of one
// canvas to the pixel: its strokes are set as pixels, whatever the band.
TEST(PictureBands, SmoothLessonBandsAreTheWholePicture) {
  std::unique_ptr<Screen> screen = bench::NewFigureLesson(200);
  const QImage whole = Draw(*screen, true, 1, 1);
  for (const int bands : {2, 3, 7})
    EXPECT_EQ(FirstDifference(whole, Draw(*screen, true, bands, 2)), "") << bands;
}

}  // namespace
}  // namespace qzarn
