#include "forms/coordinate_system_form.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/image_codec.h"
#include "platform/text_encoding.h"

namespace qzarn::forms {
namespace {

std::unique_ptr<Screen> NewScreen() {
  ScreenTitleCounter titles;
  NewScreenDefaults d;
  d.InitScreenX = 640;
  d.InitScreenY = 480;
  return Screen::Create(d, titles);
}

TEST(CoordinateSystemForm, OpensWithTheScreensValues) {
  auto s = NewScreen();
  s->View().CoordinateKind = 4;
  s->View().BackgroundMode = 102;
  UserSettings settings;
  CoordinateSystemForm form(*s, settings, false);
  EXPECT_FALSE(form.polar);
  EXPECT_EQ(form.kind_item, 3);  // 複素数
  EXPECT_EQ(form.Kind(), 4);
  EXPECT_FALSE(form.frame);
  EXPECT_EQ(form.picture_mode, 2);
  EXPECT_EQ(form.surface_width, 640);
  EXPECT_EQ(form.x.width, 2);
  EXPECT_EQ(form.x.name, "x");
  EXPECT_EQ(form.layout, kLayoutDefaults);
  EXPECT_EQ(CoordinateDialogTitle("画面1"), "座標系の設定 [画面1]");
}

TEST(CoordinateSystemForm, UnchosenLabelStepShowsWhatDrawingUses) {
  struct Case {
    int kind, x_step, y_step;
  } cases[] = {{0, 5, 5}, {1, 6, 5}, {2, 6, 5}, {3, 5, 5}, {4, 5, 5}};
  for (const Case& c : cases) {
    auto s = NewScreen();
    s->View().CoordinateKind = static_cast<std::int16_t>(c.kind);
    CoordinateSystemForm form(*s, UserSettings{}, false);
    EXPECT_EQ(form.x.label_step, c.x_step) << c.kind;
    EXPECT_EQ(form.y.label_step, c.y_step) << c.kind;
    EXPECT_EQ(form.polar, c.kind == 3);
    EXPECT_EQ(form.KindEnabled(), c.kind != 3);
    EXPECT_EQ(form.Kind(), c.kind);  // opening and confirming keeps the kind
  }
}

TEST(CoordinateSystemForm, EnablingRulesAndCaptions) {
  auto s = NewScreen();
  CoordinateSystemForm form(*s, UserSettings{}, false);
  EXPECT_FALSE(form.IntervalEnabled(false));
  EXPECT_FALSE(form.LabelStepEnabled(true));
  form.x.automatic = false;
  form.y.automatic = false;
  EXPECT_TRUE(form.IntervalEnabled(false));
  EXPECT_TRUE(form.LabelStepEnabled(false));
  EXPECT_TRUE(form.LabelStepEnabled(true));
  form.polar = true;
  EXPECT_FALSE(form.LabelStepEnabled(true));
  EXPECT_TRUE(form.LabelStepEnabled(false));
  EXPECT_EQ(form.GridWidthCaption(), "線の太さ(&S)");
  EXPECT_TRUE(form.GridStyleEnabled());
  form.grid_as_points = true;
  EXPECT_EQ(form.GridWidthCaption(), "点の大きさ(&S)");
  EXPECT_EQ(form.GridColourCaption(), "点の色(&C)");
  EXPECT_FALSE(form.GridStyleEnabled());
  EXPECT_FALSE(form.ZoomVisible());
  EXPECT_TRUE(form.LayoutTabVisible());
  CoordinateSystemForm web(*s, UserSettings{}, true);
  EXPECT_TRUE(web.ZoomVisible());
  EXPECT_FALSE(web.LayoutTabVisible());
  EXPECT_FALSE(web.HelpVisible());
}

// Every clamped control: the value typed, and what the screen holds after OK.
TEST(CoordinateSystemForm, WriteBackClampsEveryControl) {
  struct Case {
    const char* control;
    std::function<void(CoordinateSystemForm&, double)> set;
    std::function<double(const ViewSettings&)> get;
    double typed, stored;
  };
  auto width_of = [](I16 f) { return static_cast<std::uint16_t>(f.get()) & 0xFF; };
  auto step_of = [](I16 f) { return static_cast<std::uint16_t>(f.get()) >> 8; };
  const Case cases[] = {
      {"sensitivity", [](auto& f, double v) { f.sensitivity = v; },
       [](const ViewSettings& v) { return v.SnapStep.get(); }, 25, 10},
      {"sensitivity", [](auto& f, double v) { f.sensitivity = v; },
       [](const ViewSettings& v) { return v.SnapStep.get(); }, 0, 0.0001},
      {"sensitivity", [](auto& f, double v) { f.sensitivity = v; },
       [](const ViewSettings& v) { return v.SnapStep.get(); }, 0.25, 0.25},
      {"x interval", [](auto& f, double v) { f.x.interval = v; },
       [](const ViewSettings& v) { return v.XTick.get(); }, 0.001, 0.01},
      {"x interval", [](auto& f, double v) { f.x.interval = v; },
       [](const ViewSettings& v) { return v.XTick.get(); }, 150, 99},
      {"y interval", [](auto& f, double v) { f.y.interval = v; },
       [](const ViewSettings& v) { return v.YTick.get(); }, -3, 0.01},
      {"y interval", [](auto& f, double v) { f.y.interval = v; },
       [](const ViewSettings& v) { return v.YTick.get(); }, 36, 36},
      {"x width", [](auto& f, double v) { f.x.width = static_cast<int>(v); },
       [&](const ViewSettings& v) { return width_of(v.XAxisWidthStep); }, 0, 1},
      {"x width", [](auto& f, double v) { f.x.width = static_cast<int>(v); },
       [&](const ViewSettings& v) { return width_of(v.XAxisWidthStep); }, 300, 99},
      {"x step", [](auto& f, double v) { f.x.label_step = static_cast<int>(v); },
       [&](const ViewSettings& v) { return step_of(v.XAxisWidthStep); }, 0, 1},
      {"y step", [](auto& f, double v) { f.y.label_step = static_cast<int>(v); },
       [&](const ViewSettings& v) { return step_of(v.YAxisWidthStep); }, 120, 99},
      {"y width", [](auto& f, double v) { f.y.width = static_cast<int>(v); },
       [&](const ViewSettings& v) { return width_of(v.YAxisWidthStep); }, 50, 50},
      {"grid width", [](auto& f, double v) { f.grid_width = static_cast<int>(v); },
       [](const ViewSettings& v) { return v.GridWidth.get(); }, -4, 1},
      {"grid width", [](auto& f, double v) { f.grid_width = static_cast<int>(v); },
       [](const ViewSettings& v) { return v.GridWidth.get(); }, 100, 99},
      {"surface width", [](auto& f, double v) { f.surface_width = static_cast<int>(v); },
       [](const ViewSettings& v) { return v.ScreenWidth.get(); }, 3000, 2500},
      {"surface height", [](auto& f, double v) { f.surface_height = static_cast<int>(v); },
       [](const ViewSettings& v) { return v.ScreenHeight.get(); }, 10, 50},
      {"centre x", [](auto& f, double v) { f.surface_width = static_cast<int>(v); },
       [](const ViewSettings& v) { return v.CentreX.get(); }, 641, 320},
      {"centre y", [](auto& f, double v) { f.surface_height = static_cast<int>(v); },
       [](const ViewSettings& v) { return v.CentreY.get(); }, 333, 166},
  };
  for (const Case& c : cases) {
    auto s = NewScreen();
    UserSettings settings;
    CoordinateSystemForm form(*s, settings, false);
    c.set(form, c.typed);
    form.Apply(*s, settings);
    EXPECT_DOUBLE_EQ(c.get(s->View()), c.stored) << c.control << " typed " << c.typed;
    EXPECT_TRUE(s->Modified);
  }
}

TEST(CoordinateSystemForm, WriteBackFieldByField) {
  auto s = NewScreen();
  UserSettings settings;
  const ViewSettings before = s->View();
  CoordinateSystemForm form(*s, settings, false);
  form.polar = false;
  form.kind_item = 2;
  form.show_axes = false;
  form.show_grid = false;
  form.frame = false;
  form.picture_mode = 3;
  form.back_colour = 0x123456;
  form.x = {0.5, 3, 4, "t", 2, false, 0x0000FF};
  form.y = {2, 1, 5, "θθθ", 3, false, 0x00FF00};
  form.grid_as_points = true;
  form.grid_style = 4;
  form.grid_width = 3;
  form.grid_colour = 0xABCDEF;
  form.font = {"IPAゴシック", 12, 0x0000FF, 3, 1};
  form.Apply(*s, settings);
  const ViewSettings& v = s->View();
  EXPECT_EQ(v.CoordinateKind, 2);
  EXPECT_FALSE(v.ShowAxes);
  EXPECT_FALSE(v.ShowGrid);
  EXPECT_EQ(v.BackgroundMode, 103);
  EXPECT_EQ(v.BackColor.get(), 0x123456u);
  EXPECT_DOUBLE_EQ(v.XTick, 0.5);
  EXPECT_EQ(v.XAxisStyle, 3);
  EXPECT_EQ(v.XAxisWidthStep, 2 * 256 + 4);
  EXPECT_EQ(v.XAxisName.view(), "t");
  EXPECT_FALSE(v.AutoXTick);
  EXPECT_EQ(v.XAxisColor.get(), 0x0000FFu);
  EXPECT_DOUBLE_EQ(v.YTick, 2);
  EXPECT_EQ(v.YAxisStyle, 1);
  EXPECT_EQ(v.YAxisWidthStep, 3 * 256 + 5);
  // Four bytes of code page 932 hold two θ; the third is cut on its boundary.
  EXPECT_EQ(cp932_to_utf8(v.YAxisName.view()), "θθ");
  EXPECT_EQ(v.YAxisColor.get(), 0x00FF00u);
  EXPECT_TRUE(v.GridAsPoints);
  EXPECT_EQ(v.GridStyle, 4);
  EXPECT_EQ(v.GridWidth, 3);
  EXPECT_EQ(v.GridColor.get(), 0xABCDEFu);
  EXPECT_EQ(cp932_to_utf8(s->Font.FontName.view()), "IPAゴシック");
  EXPECT_EQ(s->Font.FontSize, 12);
  EXPECT_EQ(s->Font.FontStyle, 3);
  EXPECT_EQ(s->Font.FontSet, 1);
  // Fields the dialog does not show are the copy's.
  EXPECT_EQ(v.Zoom, before.Zoom);  // the zoom spin is hidden outside the restricted mode
  EXPECT_EQ(v.PanX, before.PanX);
  EXPECT_EQ(v.PrintSize, before.PrintSize);
  EXPECT_EQ(std::memcmp(&v.PaletteMode, &before.PaletteMode,
                        sizeof(ViewSettings) - offsetof(ViewSettings, PaletteMode)),
            0);
}

TEST(CoordinateSystemForm, NamesAndFontNameAreCutOnCharacterBoundaries) {
  struct Case {
    const char* typed;
    const char* x_name;
  } cases[] = {{"xθθ", "xθ"}, {"abcde", "abcd"}, {"θ", "θ"}, {"", ""}, {"ab θ", "ab "}};
  for (const Case& c : cases) {
    auto s = NewScreen();
    UserSettings settings;
    CoordinateSystemForm form(*s, settings, false);
    form.x.name = c.typed;
    form.font.name = std::string(20, 'A') + "ＭＳ Ｐゴシック";  // 20 + 15 bytes
    form.Apply(*s, settings);
    EXPECT_EQ(cp932_to_utf8(s->View().XAxisName.view()), c.x_name) << c.typed;
    EXPECT_TRUE(is_valid_cp932(s->Font.FontName.view()));
    EXPECT_EQ(s->Font.FontName.size(), 31u);  // up to "ＭＳ Ｐゴシ": "ッ" would split
  }
}

TEST(CoordinateSystemForm, ZoomIsWrittenOnlyWhereItsSpinIsShown) {
  struct Case {
    bool restricted;
    int screen_zoom, typed, stored;
  } cases[] = {{false, 1000, 1000, 1000},
               {true, 1000, 1000, 500},
               {true, 100, 5, 10},
               {true, 100, 250, 250}};
  for (const Case& c : cases) {
    auto s = NewScreen();
    s->View().Zoom = static_cast<std::int16_t>(c.screen_zoom);
    UserSettings settings;
    CoordinateSystemForm form(*s, settings, c.restricted);
    form.zoom = c.typed;
    form.Apply(*s, settings);
    EXPECT_EQ(s->View().Zoom, c.stored);
  }
}

TEST(CoordinateSystemForm, KindFromTheTwoRadios) {
  struct Case {
    bool polar;
    int item, kind;
  } cases[] = {{false, 0, 0}, {false, 1, 1}, {false, 2, 2}, {false, 3, 4}, {true, 2, 3}};
  for (const Case& c : cases) {
    auto s = NewScreen();
    UserSettings settings;
    CoordinateSystemForm form(*s, settings, false);
    form.polar = c.polar;
    form.kind_item = c.item;
    form.Apply(*s, settings);
    EXPECT_EQ(s->View().CoordinateKind, c.kind);
  }
}

TEST(CoordinateSystemForm, LayoutValuesInPixelsWithRangesAndDefaults) {
  UserSettings settings;
  settings.Axis_Char_Ajust = 0.17;  // 4.25 pixels: shown as 4
  settings.AxisY_Char_X = 30;       // 750 pixels: shown as 500
  auto s = NewScreen();
  CoordinateSystemForm form(*s, settings, false);
  EXPECT_EQ(form.layout[static_cast<int>(LayoutValue::kTickLength)], 4);
  EXPECT_EQ(form.layout[static_cast<int>(LayoutValue::kYNameX)], 500);
  form.layout[static_cast<int>(LayoutValue::kXNameX)] = -20;
  form.layout[static_cast<int>(LayoutValue::kArrowLength)] = 0;  // below its range
  form.layout[static_cast<int>(LayoutValue::kCharSpace)] = 600;  // above its range
  form.point_zoom = false;
  form.Apply(*s, settings);
  EXPECT_DOUBLE_EQ(settings.AxisX_Char_X, -0.8);
  EXPECT_DOUBLE_EQ(settings.Axis_Ya_Lenght_X, 1 / 25.0);
  EXPECT_DOUBLE_EQ(settings.cCharSpace, 20);
  // Spins left alone keep their exact settings.
  EXPECT_DOUBLE_EQ(settings.Axis_Char_Ajust, 0.17);
  EXPECT_DOUBLE_EQ(settings.AxisY_Char_X, 30);
  EXPECT_FALSE(settings.PointZoomFlag);

  form.ResetLayout();
  UserSettings reset;
  reset.Axis_Char_Ajust = 0.17;
  form.Apply(*s, reset);
  const UserSettings defaults;
  EXPECT_DOUBLE_EQ(reset.AxisX_Char_X, defaults.AxisX_Char_X);
  EXPECT_DOUBLE_EQ(reset.Axis_Char_Zero, defaults.Axis_Char_Zero);
  EXPECT_DOUBLE_EQ(reset.Axis_Ya_Lenght_Y, defaults.Axis_Ya_Lenght_Y);
  EXPECT_DOUBLE_EQ(reset.cCharSpace, defaults.cCharSpace);
  EXPECT_DOUBLE_EQ(reset.Axis_Char_Ajust, 0.16);
  for (int i = 0; i < kLayoutValueCount; ++i) {
    const IntRange r = LayoutRange(static_cast<LayoutValue>(i));
    EXPECT_EQ(r.Clamp(kLayoutDefaults[i]), kLayoutDefaults[i]) << i;
  }
}

TEST(CoordinateSystemForm, PictureOpenAndClear) {
  auto s = NewScreen();
  s->View().BackgroundMode = 100;  // none, frame off
  UserSettings settings;
  CoordinateSystemForm form(*s, settings, false);
  EXPECT_EQ(form.picture_mode, 0);
  BackgroundPicture p;
  p.format = BackgroundPicture::Format::kBmp;
  p.bytes = EncodeBmp(RgbImage(2, 2));
  form.SetPicture(p);
  EXPECT_EQ(form.picture_mode, 1);
  form.picture_mode = 2;
  form.SetPicture(p);
  EXPECT_EQ(form.picture_mode, 2);  // a chosen mode stays
  form.Apply(*s, settings);
  EXPECT_EQ(s->Background.bytes, p.bytes);
  EXPECT_EQ(s->View().BackgroundMode, 102);
  CoordinateSystemForm again(*s, settings, false);
  again.ClearPicture();
  again.Apply(*s, settings);
  EXPECT_TRUE(s->Background.empty());
  EXPECT_EQ(s->View().BackgroundMode, 100);
}

TEST(CoordinateSystemForm, PictureFilesAreJudgedByTheirContent) {
  const std::vector<std::uint8_t> bmp = EncodeBmp(RgbImage(3, 2));
  std::vector<std::uint8_t> jpeg;
  std::string error;
  ASSERT_TRUE(EncodeJpeg(RgbImage(4, 4), 80, jpeg, error));
  const std::vector<std::uint8_t> placeable = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0};
  const std::vector<std::uint8_t> wmf = {1, 0, 9, 0, 0, 3, 0, 0};
  std::vector<std::uint8_t> emf(64, 0);
  emf[0] = 1;
  std::memcpy(emf.data() + 40, " EMF", 4);
  const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
  const std::vector<std::uint8_t> broken_bmp = {'B', 'M', 1, 2, 3};

  int other_calls = 0;
  auto decode_other = [&](std::span<const std::uint8_t> bytes) {
    ++other_calls;
    DecodedPicture d;
    if (bytes.size() >= 4 && bytes[1] == 'P') {
      d.image = RgbImage(5, 1);
      d.ok = true;
    }
    return d;
  };
  struct Case {
    const char* what;
    const std::vector<std::uint8_t>* bytes;
    PictureFileKind kind;
    bool accepted;
    BackgroundPicture::Format format;
    int other_calls;
  } cases[] = {
      {"bmp", &bmp, PictureFileKind::kBmp, true, BackgroundPicture::Format::kBmp, 0},
      {"jpeg", &jpeg, PictureFileKind::kJpeg, true, BackgroundPicture::Format::kJpeg, 0},
      {"placeable wmf", &placeable, PictureFileKind::kMetafile, false, {}, 0},
      {"wmf", &wmf, PictureFileKind::kMetafile, false, {}, 0},
      {"emf", &emf, PictureFileKind::kMetafile, false, {}, 0},
      {"png", &png, PictureFileKind::kOther, true, BackgroundPicture::Format::kBmp, 1},
      {"broken bmp", &broken_bmp, PictureFileKind::kBmp, false, {}, 1},
  };
  for (const Case& c : cases) {
    other_calls = 0;
    EXPECT_EQ(SniffPictureFile(*c.bytes), c.kind) << c.what;
    std::optional<BackgroundPicture> p = PictureFromFile(*c.bytes, decode_other);
    EXPECT_EQ(p.has_value(), c.accepted) << c.what;
    EXPECT_EQ(other_calls, c.other_calls) << c.what;
    if (p) {
      EXPECT_EQ(p->format, c.format) << c.what;
      RgbImage image;
      EXPECT_TRUE(DecodeImage(p->bytes, image, error)) << c.what;
    }
  }
  // JPEG and BMP files are kept as they are (no second compression).
  EXPECT_EQ(PictureFromFile(jpeg, decode_other)->bytes, jpeg);
}

TEST(CoordinateSystemForm, PreviewClicksSelectTheTab) {
  auto s = NewScreen();
  CoordinateSystemForm form(*s, UserSettings{}, false);
  const render::ViewParams p = PreviewParams(form, 200, 160, nullptr);
  EXPECT_EQ(p.view.surface_width, 200);
  EXPECT_EQ(p.view.PlaneToPixelX(0), 100);
  struct Case {
    double px, py;
    CoordinateTab tab;
  } cases[] = {
      {102, 40, CoordinateTab::kYAxis},   {97, 10, CoordinateTab::kYAxis},
      {30, 82, CoordinateTab::kXAxis},    {150, 80, CoordinateTab::kXAxis},
      {125, 40, CoordinateTab::kGrid},    {40, 105, CoordinateTab::kGrid},
      {112, 92, CoordinateTab::kGeneral}, {60, 35, CoordinateTab::kGeneral},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PreviewTabAt(p.view, p.axes, c.px, c.py), c.tab) << c.px << "," << c.py;
  render::AxesSettings no_grid = p.axes;
  no_grid.show_grid = false;
  EXPECT_EQ(PreviewTabAt(p.view, no_grid, 125, 40), CoordinateTab::kGeneral);
}

TEST(CoordinateSystemForm, LenientNumbersReadDotsWhateverTheLocale) {
  EXPECT_DOUBLE_EQ(LenientNumber("0.25"), 0.25);
  EXPECT_DOUBLE_EQ(LenientNumber(" 12 "), 12);
  EXPECT_DOUBLE_EQ(LenientNumber("abc"), 0);
  EXPECT_DOUBLE_EQ(LenientNumber("1,5"), 0);
  EXPECT_DOUBLE_EQ(LenientNumber(""), 0);
  EXPECT_EQ(ListNumberText(0.0001), "0.0001");
  EXPECT_EQ(ListNumberText(10), "10");
}

}  // namespace
}  // namespace qzarn::forms
