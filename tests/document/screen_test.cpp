#include "document/screen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <stdexcept>

#include "document/field_table.h"

namespace qzarn {
namespace {

const std::uint8_t* BlockBytes(const Screen& s) {
  return reinterpret_cast<const std::uint8_t*>(&s.Settings);
}

template <class T>
T At(const std::uint8_t* bytes, std::size_t offset) {
  T v;
  std::memcpy(&v, bytes + offset, sizeof v);
  return v;
}

TEST(Screen, NewScreenHasTheDefaultsAtTheirStoredOffsets) {
  ScreenTitleCounter titles;
  NewScreenDefaults d;
  d.InitScreenX = 800;
  d.InitScreenY = 601;
  d.InitZoom = 150;
  d.InitBackColor = 0x00CCBBAA;
  d.InitGridColor = 0x00112233;
  d.InitClip = 0.5;
  d.InitGrid = false;
  const auto s = Screen::Create(d, titles);
  const std::uint8_t* b = BlockBytes(*s);

  EXPECT_EQ(At<std::int32_t>(b, 8), 800);
  EXPECT_EQ(At<std::int32_t>(b, 12), 601);
  EXPECT_EQ(At<std::int16_t>(b, 28), 2);
  EXPECT_EQ(At<std::uint32_t>(b, 32), 0u);
  EXPECT_EQ(b[44], 1);  // axes shown
  EXPECT_EQ(b[45], 1);
  EXPECT_EQ(b[46], 1);
  EXPECT_EQ(b[47], 1);  // "x"
  EXPECT_EQ(b[48], 'x');
  EXPECT_EQ(b[53], 'y');
  EXPECT_EQ(At<std::int16_t>(b, 58), 2);  // dotted grid
  EXPECT_EQ(b[60], 0);                    // InitGrid off
  EXPECT_EQ(b[61], 0);
  EXPECT_EQ(b[62], 1);
  EXPECT_EQ(At<std::int32_t>(b, 64), 25);
  EXPECT_EQ(At<double>(b, 68), 1.0);
  EXPECT_EQ(At<double>(b, 76), 1.0);
  EXPECT_EQ(At<std::uint32_t>(b, 88), 0x00112233u);
  EXPECT_EQ(At<std::uint32_t>(b, 96), 0x00112233u);
  EXPECT_EQ(At<std::uint32_t>(b, 104), 0x00112233u);
  EXPECT_EQ(At<std::uint32_t>(b, 108), 0x00CCBBAAu);
  EXPECT_EQ(At<std::uint32_t>(b, 112), 0u);
  EXPECT_EQ(At<std::int32_t>(b, 116), 1);
  EXPECT_EQ(At<std::int16_t>(b, 120), 150);
  EXPECT_EQ(At<std::int16_t>(b, 122), 400);  // width div 2
  EXPECT_EQ(At<std::int16_t>(b, 124), 300);  // height div 2
  EXPECT_EQ(At<std::int16_t>(b, 126), 0);
  EXPECT_EQ(At<std::int32_t>(b, 132), 100);
  EXPECT_EQ(At<std::int32_t>(b, 136), 1);
  EXPECT_EQ(At<double>(b, 140), 800 / 640.0);
  EXPECT_EQ(b[148], 1);
  EXPECT_EQ(At<double>(b, 152), 0.5);
  EXPECT_EQ(At<std::int32_t>(b, 160), 300);
  EXPECT_EQ(At<std::int32_t>(b, 164), 100);
  EXPECT_EQ(At<std::int32_t>(b, 168), -999);
  EXPECT_EQ(At<std::int32_t>(b, 172), -999);
  EXPECT_EQ(At<std::int32_t>(b, 176), 0);
  EXPECT_EQ(b[180], 0);
  EXPECT_EQ(At<std::int32_t>(b, 188), -1);
  EXPECT_EQ(At<std::int32_t>(b, 192), -1);
  EXPECT_EQ(At<double>(b, 196), 0.1);
  // Variables: a..z of rows 0..9 defined with 0 (cell a of row 0 at 204, flag at +16).
  EXPECT_EQ(b[204 + 16], 1);
  EXPECT_EQ(b[204 + 9 * 1176 + 25 * 28 + 16], 1);
  EXPECT_EQ(b[204 + 10 * 1176 + 16], 0);

  EXPECT_EQ(s->Figures.LastIndex, -1);
  EXPECT_EQ(static_cast<int>(s->Equations.EquationLast), -1);
  EXPECT_EQ(static_cast<int>(s->Equations.Entries[99].LetterIndex), -100);
  EXPECT_EQ(static_cast<int>(s->Equations.Entries[0].Row), -100);
  EXPECT_TRUE(s->Equations.Entries[0].Text.empty());
  EXPECT_EQ(s->SelectedIndex, -1);
  EXPECT_EQ(s->GrabbedHandle, -1);
  EXPECT_EQ(s->BitmapWidth, 800);
  EXPECT_EQ(s->BitmapHeight, 601);
  EXPECT_TRUE(s->Background.empty());
  EXPECT_TRUE(s->Ready);
  EXPECT_FALSE(s->Modified);
  EXPECT_TRUE(s->FilePath.empty());
  for (const PaletteItem& item : s->PaletteItems)
    EXPECT_EQ(item.Kind(), -1);
}

TEST(Screen, AxisFontDefaultsSitAtTheirOffsets) {
  ScreenTitleCounter titles;
  NewScreenDefaults d;
  d.WindowFontName = "Tahoma";
  const auto s = Screen::Create(d, titles);
  const auto* b = reinterpret_cast<const std::uint8_t*>(&s->Font);
  EXPECT_EQ(b[0], 6);
  EXPECT_EQ(std::memcmp(b + 1, "Tahoma", 6), 0);
  EXPECT_EQ(At<std::uint32_t>(b, 36), 0u);
  EXPECT_EQ(At<std::int32_t>(b, 40), 16);
  EXPECT_EQ(b[44], 0);
  EXPECT_EQ(At<std::int32_t>(b, 48), 128);
}

TEST(Screen, SurfaceSizeFromTheSettings) {
  struct Case {
    int x, y, full_width, full_height;
    int width, height;
  };
  const Case cases[] = {
      {-1, -1, 1024, 768, 1003, 1003},  // automatic: both sides from the display's width
      {0, 500, 1280, 1024, 1259, 500},
      {400, 0, 1280, 1024, 400, 1259},
      {-1, -1, 1280, 800, 1259, 1259},
      {3000, 10, 1024, 768, 2500, 50},
      {50, 2500, 1024, 768, 50, 2500},
      {-1, -1, 60, 40, 50, 50},  // a tiny display still gives the smallest surface
  };
  for (const Case& c : cases) {
    NewScreenDefaults d;
    d.InitScreenX = c.x;
    d.InitScreenY = c.y;
    d.FullScreenWidth = c.full_width;
    d.FullScreenHeight = c.full_height;
    const SurfaceSize size = NewSurfaceSize(d);
    EXPECT_EQ(size.width, c.width) << c.x;
    EXPECT_EQ(size.height, c.height) << c.y;
  }
  ScreenTitleCounter titles;
  const auto s = Screen::Create(NewScreenDefaults{}, titles);
  EXPECT_EQ(static_cast<int>(s->View().CentreX), 1003 / 2);
  EXPECT_EQ(static_cast<int>(s->View().Zoom), 100);
  EXPECT_EQ(static_cast<double>(s->View().SnapStep), 0.1);
}

TEST(ScreenTitleCounter, NumbersAreNeverReused) {
  ScreenTitleCounter titles;
  NewScreenDefaults d;
  auto first = Screen::Create(d, titles);
  auto second = Screen::Create(d, titles);
  EXPECT_EQ(first->Title, "画面1");
  EXPECT_EQ(second->Title, "画面2");
  first.reset();  // closing a screen does not give its number back
  auto third = Screen::Create(d, titles);
  EXPECT_EQ(third->Title, "画面3");
  // Counters are independent objects: a second program run starts at 1 again.
  ScreenTitleCounter other;
  EXPECT_EQ(other.NextTitle(), "画面1");
}

TEST(Screen, ResetToNewScreenFreesFiguresAndPicture) {
  ScreenTitleCounter titles;
  auto s = Screen::Create(NewScreenDefaults{}, titles);
  FigureRecord f = FigureRecord::Blank(kFunctionFigure);
  f.owned.SampleX.assign(10, 1.0f);
  ASSERT_TRUE(NewFigure(s->Figures, std::move(f)));
  s->Background.format = BackgroundPicture::Format::kJpeg;
  s->Background.bytes.assign(100, 1);
  s->Equations.EquationLast = 3;
  s->SelectedIndex = 0;
  s->Modified = true;
  ResetToNewScreen(*s, NewScreenDefaults{});
  EXPECT_EQ(s->Figures.LastIndex, -1);
  EXPECT_TRUE(s->Figures[0].empty());
  EXPECT_TRUE(s->Background.empty());
  EXPECT_TRUE(s->Background.bytes.empty());
  EXPECT_EQ(static_cast<int>(s->Equations.EquationLast), -1);
  EXPECT_EQ(s->SelectedIndex, -1);
  EXPECT_FALSE(s->Modified);
}

}  // namespace
}  // namespace qzarn

namespace qzarn {
namespace {

TEST(ScreenFields, TablesReadTheNewScreenValues) {
  ScreenTitleCounter titles;
  const auto s = Screen::Create(NewScreenDefaults{}, titles);
  const std::span<const std::uint8_t> view(reinterpret_cast<const std::uint8_t*>(&s->Settings),
                                           sizeof(ViewSettings));
  std::set<std::string_view> names;
  std::uint32_t end = 0;
  for (const FieldInfo& f : ViewSettingsFields()) {
    EXPECT_TRUE(names.insert(f.name).second) << f.name;
    EXPECT_GE(f.offset, end) << f.name;  // in order, no overlaps
    end = f.offset + f.size();
  }
  EXPECT_LE(end, sizeof(ViewSettings));
  auto field = [](std::string_view name) -> const FieldInfo& {
    for (const FieldInfo& f : ViewSettingsFields())
      if (f.name == name) return f;
    throw std::runtime_error("no field");
  };
  EXPECT_EQ(ReadNumber(view, field("Zoom")), 100.0);
  EXPECT_EQ(ReadNumber(view, field("Scale")), 25.0);
  EXPECT_EQ(ReadNumber(view, field("PaletteRow")), -1.0);
  EXPECT_EQ(ReadString(view, field("YAxisName")), "y");
  EXPECT_EQ(field("CentreY").offset, 124u);

  const std::span<const std::uint8_t> font(reinterpret_cast<const std::uint8_t*>(&s->Font),
                                           sizeof(AxisFont));
  ASSERT_EQ(LabelFontFields().size(), 5u);
  EXPECT_EQ(ReadNumber(font, LabelFontFields()[2]), 16.0);   // FontSize
  EXPECT_EQ(ReadNumber(font, LabelFontFields()[4]), 128.0);  // FontSet
}

}  // namespace
}  // namespace qzarn
