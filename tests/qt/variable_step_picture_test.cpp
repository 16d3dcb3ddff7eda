// A variable step redrawn in change rectangles must give a whole redraw's
// picture pixel for pixel, on every shipped example and gallery sheet.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "engine/engine_fixture.h"
#include "engine/equations.h"
#include "engine/screen_access.h"
#include "engine/variable_reach.h"
#include "render/draw_screen.h"
#include "render/example_screens.h"
#include "render/gallery_sheets.h"

#include <QImage>
#include <QPainter>

#include "qt/qt_canvas.h"
#include "qt/variable_step_picture.h"

namespace qzarn {
namespace {

using render::PictureStep;

VariableStepPicture::Key KeyOf(const Screen& screen) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&screen.Variables());
  return {bytes, bytes + sizeof(VariableTable)};
}

// Pixels (colour only) where the pictures differ.
int DifferingPixels(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x)
      count += (p[x] & 0xFFFFFF) != (q[x] & 0xFFFFFF);
  }
  return count;
}

class StepScreen {
 public:
  explicit StepScreen(std::unique_ptr<Screen> screen)
      : screen_(std::move(screen)),
        surface_{screen_->View().ScreenWidth, screen_->View().ScreenHeight},
        picture_(surface_.width, surface_.height, QImage::Format_RGB32) {
    fx_.engine.RecomputeScreen(*screen_);
    picture_ = Whole();
  }

  Screen& screen() { return *screen_; }
  FigureExpressions& expressions() { return fx_.expressions; }
  const QImage& picture() const { return picture_; }
  render::Size surface() const { return surface_; }

  VariableStepPicture::DrawSteps Draw() {
    return [this](render::Canvas& canvas, std::span<const PictureStep> steps) {
      render::DrawPictureSteps(canvas, *screen_, options_, {}, steps);
    };
  }
  // The picture of the screen as it is, drawn whole.
  QImage Whole() {
    QImage image(surface_.width, surface_.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtCanvas canvas(painter, surface_);
    Draw()(canvas, render::PictureOrder(screen_->Figures));
    return image;
  }
  // The tiles every figure covers as the screen is now.
  std::vector<render::TileSet> AllTiles(const render::TileGrid& grid) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    QtCanvas measure(painter, surface_);
    render::TileCanvas tiles(grid, measure);
    std::vector<render::TileSet> out(static_cast<std::size_t>(kFigureSlots));
    for (int i = 0; i < kFigureSlots; ++i) {
      const PictureStep one{PictureStep::Kind::kFigure, i};
      Draw()(tiles, {&one, 1});
      out[static_cast<std::size_t>(i)] = tiles.Take();
    }
    return out;
  }
  // One step the way the window takes it; nothing when only a full pass will do.
  std::optional<VariableStepPicture::Drawing> Step(int column, double value) {
    VariableStepPicture::Step step;
    step.before = KeyOf(*screen_);
    AssignVariable(*screen_, 0, column, value, fx_.expressions);
    const VariableRef cells[] = {{0, column}};
    std::optional<std::vector<int>> reached = FiguresReachedBy(*screen_, fx_.expressions, cells);
    if (!reached || !fx_.engine.RecomputeFigures(*screen_, *reached)) {
      fx_.engine.RecomputeScreen(*screen_);
      stepper_.Forget();
      picture_ = Whole();
      return std::nullopt;
    }
    step.picture = &picture_;
    step.surface = surface_;
    step.figures = &screen_->Figures;
    step.reached = *reached;
    step.after = KeyOf(*screen_);
    step.change_rects_always = true;
    step.draw = Draw();
    return stepper_.Draw(step);
  }

 private:
  std::unique_ptr<Screen> screen_;
  testing::EngineFixture fx_;
  render::RenderOptions options_;
  render::Size surface_;
  QImage picture_;
  VariableStepPicture stepper_;
};

std::vector<std::pair<std::string, std::function<std::unique_ptr<Screen>()>>> AllScreens() {
  std::vector<std::pair<std::string, std::function<std::unique_ptr<Screen>()>>> screens;
  for (const examples::NamedExample& e : examples::AllExamples())
    screens.emplace_back(e.name, e.make);
  for (const examples::GallerySheet& g : examples::AllGallerySheets())
    screens.emplace_back(g.name, g.make);
  return screens;
}

bool ReadBySome(StepScreen& s, int column) {
  for (int i = 0; i < kFigureSlots; ++i)
    if (FigureReadsVariable(s.screen(), i, s.expressions(), {0, column})) return true;
  return false;
}

// Each variable a figure reads is stepped; every step's picture equals the
// whole redraw (all but the first of each screen drawn in change rectangles). The same steps with
// rectangles that forget where the figures were before must show the difference somewhere, or the
// comparison proves nothing.
TEST(VariableStepPicture, ChangeRectanglesEqualAWholeRedrawOnExamplesAndSheets) {
  int in_rects = 0, broken_caught = 0;
  for (const auto& [name, make] : AllScreens()) {
    StepScreen s(make());
    const render::TileGrid grid(s.surface());
    bool learnt = false;  // the first step learns where the figures lie
    for (int column = 1; column <= 26; ++column) {
      if (!ReadBySome(s, column)) continue;
      for (int step = learnt ? 1 : 0; step < 2; ++step) {
        learnt = true;
        const QImage before = s.picture().copy();
        const double value = VariablesOf(s.screen()).read(0, column) + 1.5;
        const std::optional<VariableStepPicture::Drawing> drawing = s.Step(column, value);
        const QImage whole = s.Whole();
        ASSERT_EQ(DifferingPixels(s.picture(), whole), 0)
            << name << " variable " << static_cast<char>('a' + column - 1) << " step " << step;
        if (drawing != VariableStepPicture::Drawing::kChangeRects) continue;
        ++in_rects;
        // Only where the changed figures are now: what they covered before
        // stays on the picture.
        const std::vector<render::TileSet> now = s.AllTiles(grid);
        const VariableRef cells[] = {{0, column}};
        const std::optional<std::vector<int>> reached =
            FiguresReachedBy(s.screen(), s.expressions(), cells);
        ASSERT_TRUE(reached);
        render::TileSet changed;
        for (int slot : *reached)
          changed = render::UniteTiles(changed, now[static_cast<std::size_t>(slot)]);
        QImage broken = before.copy(), scratch;
        VariableStepPicture::RedrawRects(broken, scratch, s.surface(), s.screen().Figures, grid,
                                         now, render::ChangeRects(grid, changed, 16000), s.Draw());
        broken_caught += DifferingPixels(broken, whole) > 0;
      }
    }
  }
  EXPECT_GT(in_rects, 100);
  // Most steps move curves that cover much the same tiles before and after;
  // the steps that move a figure elsewhere must all be caught somewhere.
  EXPECT_GE(broken_caught, 5);
}

}  // namespace
}  // namespace qzarn
