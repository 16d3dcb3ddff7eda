#include "render/change_rects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "render/recording_canvas.h"

namespace qzarn::render {
namespace {

constexpr Size kDevice{1280, 960};

int TileAt(const TileGrid& grid, int x, int y) {
  return y / TileGrid::kTile * grid.columns() + x / TileGrid::kTile;
}

bool Has(const TileSet& tiles, int tile) {
  return std::binary_search(tiles.begin(), tiles.end(), static_cast<std::uint16_t>(tile));
}

// What the tile bounds of drawing calls must hold (the ink) and must leave
// out (so that a step stays cheap).
TEST(TileCanvas, MarksWhereInkCanFallAndLittleElse) {
  struct Case {
    std::string name;
    std::function<void(Canvas&)> draw;
    std::vector<std::pair<int, int>> inked;  // points that must be marked
    std::vector<std::pair<int, int>> clear;  // points that must not
    std::size_t most_tiles;
  };
  const Case cases[] = {
      {"diagonal across the screen marks a band, not its box",
       [](Canvas& c) {
         c.DrawLine(Point{0, 0}, Point{1279, 959});
       },
       {{0, 0}, {640, 480}, {1279, 959}},
       {{0, 959}, {1279, 0}},
       130},
      {"a wide pen reaches past its tile",
       [](Canvas& c) {
         c.SetPen({kBlack, 9, PenStyle::kSolid});
         c.DrawLine(Point{100, 60}, Point{200, 60});
       },
       {{100, 60}, {95, 60}, {150, 67}},
       {{150, 120}},
       12},
      {"an outline leaves its middle alone",
       [](Canvas& c) {
         c.DrawEllipse(RectF{440, 280, 840, 680});
       },
       {{440, 480}, {640, 280}, {840, 480}},
       {{640, 480}},
       200},
      {"a filled ellipse marks its middle",
       [](Canvas& c) {
         c.SetBrush({BrushStyle::kSolid, kBlack});
         c.DrawEllipse(RectF{440, 280, 840, 680});
       },
       {{640, 480}},
       {{100, 100}},
       200},
      {"a line to a point far away is cut to the screen",
       [](Canvas& c) {
         c.DrawLine(PointF{640, 480}, PointF{1e12, 480});
       },
       {{1279, 480}},
       {{600, 480}},
       45},
      {"a point not a number may be anywhere",
       [](Canvas& c) {
         c.DrawLine(PointF{NAN, 5}, PointF{10, 5});
       },
       {{0, 0}, {1279, 959}},
       {},
       1200},
      {"text is bounded by its measured box and overhang",
       [](Canvas& c) {
         c.SetTextAnchor({HorizontalAnchor::kStart, VerticalAnchor::kTop});
         c.DrawText(PointF{300, 300}, "abcdefghij");  // 80 x 16 with the fixed metric
       },
       {{300, 300}, {379, 315}, {385, 300}},
       {{300, 400}, {500, 300}},
       16},
  };
  const TileGrid grid(kDevice);
  for (const Case& c : cases) {
    RecordingCanvas measure;
    TileCanvas tiles(grid, measure);
    c.draw(tiles);
    const TileSet marked = tiles.Take();
    for (auto [x, y] : c.inked)
      EXPECT_TRUE(Has(marked, TileAt(grid, x, y))) << c.name << " at " << x << "," << y;
    for (auto [x, y] : c.clear)
      EXPECT_FALSE(Has(marked, TileAt(grid, x, y))) << c.name << " at " << x << "," << y;
    EXPECT_LE(marked.size(), c.most_tiles) << c.name;
    EXPECT_TRUE(std::is_sorted(marked.begin(), marked.end())) << c.name;
    EXPECT_TRUE(tiles.Take().empty()) << c.name << ": taking starts afresh";
  }
}

TEST(ChangeRects, CoverEveryTileAndMergeOnlyWhenAPassCostsMore) {
  const TileGrid grid(kDevice);
  struct Case {
    std::string name;
    TileSet tiles;
    double pass_pixels;
    std::size_t rects;
  };
  const auto t = [&](int column, int row) {
    return static_cast<std::uint16_t>(row * grid.columns() + column);
  };
  const Case cases[] = {
      {"nothing", {}, 16000, 0},
      {"one tile", {t(3, 3)}, 16000, 1},
      {"a block", {t(3, 3), t(4, 3), t(3, 4), t(4, 4)}, 16000, 1},
      {"far corners stay apart", {t(0, 0), t(39, 29)}, 16000, 2},
      {"near tiles share a pass", {t(5, 5), t(7, 5)}, 16000, 1},
      {"with free passes nothing merges", {t(5, 5), t(7, 5)}, 0, 2},
      {"an L shape is two runs", {t(2, 2), t(2, 3), t(3, 3), t(4, 3), t(5, 3)}, 0, 2},
  };
  for (const Case& c : cases) {
    const std::vector<Rect> rects = ChangeRects(grid, c.tiles, c.pass_pixels);
    EXPECT_EQ(rects.size(), c.rects) << c.name;
    TileSet covered;
    for (const Rect& r : rects) {
      EXPECT_GE(r.left, 0);
      EXPECT_LE(r.right, kDevice.width);
      EXPECT_LE(r.bottom, kDevice.height);
      covered = UniteTiles(covered, TilesOf(grid, r));
    }
    for (std::uint16_t tile : c.tiles)
      EXPECT_TRUE(Has(covered, tile)) << c.name << " tile " << tile;
  }
}

}  // namespace
}  // namespace qzarn::render
