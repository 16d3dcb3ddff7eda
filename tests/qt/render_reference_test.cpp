// The example screens drawn through the Qt canvas and compared with the
// reference renders in tests/render/reference/ (texts left out: their glyphs
// depend on the installed fonts). A picture passes when at most 0.3 % of its
// pixels differ by more than a small colour tolerance. QZARN_WRITE_REFERENCES=1
// rewrites the references instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "render/example_screens.h"
#include "render_compare.h"

namespace qzarn {
namespace {

namespace fs = std::filesystem;
using testing::DifferingFraction;
using testing::RenderGeometry;

TEST(RenderReference, ExampleScreensMatchTheirReferences) {
  const fs::path dir = fs::path(QZARN_SOURCE_DIR) / "tests" / "render" / "reference";
  for (const examples::NamedExample& e : examples::AllExamples()) {
    SCOPED_TRACE(e.name);
    std::unique_ptr<Screen> screen = e.make();
    testing::ExpectMatchesReference(RenderGeometry(*screen), dir, e.name);
  }
}

TEST(RenderReference, ComparisonNoticesAMovedFigure) {
  std::unique_ptr<Screen> screen = examples::LinesExample();
  const QImage before = RenderGeometry(*screen);
  screen->View().PanX = 3;  // everything three pixels to the right
  const QImage after = RenderGeometry(*screen);
  EXPECT_GT(DifferingFraction(before, after, 24), 0.003);
}

TEST(RenderReference, BatchedLinesPaintLikeSeparateLines) {
  const std::vector<render::Point> ends = {{2, 3}, {30, 3}, {5, 10}, {5, 40}, {8, 8}, {37, 29}};
  for (bool antialias : {false, true}) {
    QImage one(48, 48, QImage::Format_RGB32), many(48, 48, QImage::Format_RGB32);
    one.fill(Qt::white);
    many.fill(Qt::white);
    {
      QPainter p1(&one), p2(&many);
      QtCanvas c1(p1, {48, 48}), c2(p2, {48, 48});
      for (QtCanvas* c : {&c1, &c2}) {
        c->SetAntialiasing(antialias);
        c->SetPen(render::Pen{0x0000FF, 3, render::PenStyle::kSolid});
      }
      c1.DrawLines(ends);
      for (std::size_t i = 0; i + 1 < ends.size(); i += 2)
        c2.DrawLine(ends[i], ends[i + 1]);
    }
    EXPECT_EQ(DifferingFraction(one, many, 0), 0.0) << antialias;
  }
}

}  // namespace
}  // namespace qzarn
