#include "forms/options_form.h"

#include <gtest/gtest.h>

#include <functional>

namespace qzarn::forms {
namespace {

TEST(OptionsForm, TypedNumbersAreReadAndClamped) {
  struct {
    const char* text;
    int zoom;
    const char* shown;
  } zooms[] = {{"5", 10, "10%"},      {"2000%", 1000, "1000%"}, {"12.5", 10, "10%"},
               {"150%", 150, "150%"}, {"", 10, "10%"},          {" 75 ", 75, "75%"}};
  for (auto c : zooms) {
    EXPECT_EQ(OptionsZoomValue(c.text), c.zoom) << c.text;
    EXPECT_EQ(OptionsZoomText(c.text), c.shown) << c.text;
  }
  struct {
    const char* text;
    double clip;
  } clips[] = {{"0", 0.0001}, {"25", 10}, {"0.25", 0.25}, {"abc", 0.0001}, {"1e-9", 0.0001}};
  for (auto c : clips)
    EXPECT_DOUBLE_EQ(OptionsClipValue(c.text), c.clip) << c.text;
  struct {
    const char* text;
    std::optional<std::int32_t> size;
  } sizes[] = {{"(自動)", -1},         {"3000", 2500},        {"10", 50},        {"800", 800},
               {"12.5", std::nullopt}, {"abc", std::nullopt}, {"", std::nullopt}};
  for (auto c : sizes)
    EXPECT_EQ(OptionsScreenSize(c.text), c.size) << c.text;
  EXPECT_EQ(OptionsScreenSizeText(-1), "(自動)");
  EXPECT_EQ(OptionsScreenSizeText(0), "(自動)");
  EXPECT_EQ(OptionsScreenSizeText(640), "640");
  for (char32_t k : {U'0', U'9', U'.', U'\b', U'\r'})
    EXPECT_TRUE(OptionsNumberKeyAccepted(k));
  for (char32_t k : {U'a', U'%', U'-', U',', U'あ'})
    EXPECT_FALSE(OptionsNumberKeyAccepted(k));
}

TEST(OptionsForm, ControlRules) {
  OptionsForm form(UserSettings{}, false);
  EXPECT_TRUE(form.FileMaxEnabled());
  form.SetFileMax(0);
  EXPECT_FALSE(form.file_use);
  EXPECT_FALSE(form.FileMaxEnabled());
  form.SetFileMax(3);
  EXPECT_TRUE(form.file_use);
  form.SetFileMax(12);
  EXPECT_EQ(form.file_max, 9);
  form.back_bitmap = false;
  EXPECT_FALSE(form.QualityEnabled());

  form.zoom_text = "300%";
  form.clip_text = "1";
  form.init_axis = false;
  form.init_grid_point = true;
  form.back_colour = 0x123456;
  form.screen_x_text = "800";
  form.font.name = "IPAMincho";
  form.ResetNewTab();
  EXPECT_EQ(form.zoom_text, "100%");
  EXPECT_EQ(form.clip_text, "0.2");  // the reset's own step, not the file default 0.1
  EXPECT_TRUE(form.init_axis);
  EXPECT_TRUE(form.init_grid);
  EXPECT_FALSE(form.init_grid_point);
  EXPECT_EQ(form.back_colour, 0xFFFFFFu);
  EXPECT_EQ(form.axis_colour, 0u);
  EXPECT_EQ(form.grid_colour, 0x808080u);
  EXPECT_EQ(form.screen_x_text, "(自動)");
  EXPECT_EQ(form.screen_y_text, "(自動)");
  EXPECT_EQ(form.font.name, "IPAMincho");  // the font is not part of the reset
}

TEST(OptionsForm, OpensWithTheSettings) {
  UserSettings s;
  s.InitZoom = 250;
  s.InitClip = 0.05;
  s.InitScreenX = 800;
  s.InitScreenY = -1;
  s.FileMax = 7;
  OptionsForm form(s, false);
  EXPECT_EQ(form.zoom_text, "250%");
  EXPECT_EQ(form.clip_text, "0.05");
  EXPECT_EQ(form.screen_x_text, "800");
  EXPECT_EQ(form.screen_y_text, "(自動)");
  EXPECT_EQ(form.file_max, 7);
  // Confirming without a change writes the settings back as they were.
  UserSettings after = s;
  EXPECT_FALSE(form.Apply(after));
  EXPECT_TRUE(same_settings(after, s));
}

// Each control: a new value in the form, and the setting it must reach.
TEST(OptionsForm, WriteBackFieldByField) {
  struct Case {
    const char* key;
    std::function<void(OptionsForm&)> edit;
    std::function<bool(const UserSettings&)> check;
  };
  const Case cases[] = {
      {"FileUse", [](auto& f) { f.file_use = false; }, [](auto& s) { return !s.FileUse; }},
      {"FileMax", [](auto& f) { f.file_max = 9; }, [](auto& s) { return s.FileMax == 9; }},
      {"ValuePalette", [](auto& f) { f.palette = 2; }, [](auto& s) { return s.ValuePalette == 2; }},
      {"ArrangeCenter", [](auto& f) { f.arrange_center = false; },
       [](auto& s) { return !s.ArrangeCenter; }},
      {"WindowMaximize", [](auto& f) { f.window_maximize = false; },
       [](auto& s) { return !s.WindowMaximize; }},
      {"WindowMoveCenter", [](auto& f) { f.move_center = false; },
       [](auto& s) { return !s.WindowMoveCenter; }},
      {"InitZoom", [](auto& f) { f.zoom_text = "2000%"; },
       [](auto& s) { return s.InitZoom == 1000; }},
      {"InitClip", [](auto& f) { f.clip_text = "0"; },
       [](auto& s) { return s.InitClip == 0.0001; }},
      {"InitScreenX", [](auto& f) { f.screen_x_text = "3000"; },
       [](auto& s) { return s.InitScreenX == 2500; }},
      {"InitScreenY", [](auto& f) { f.screen_y_text = "10"; },
       [](auto& s) { return s.InitScreenY == 50; }},
      {"InitAxis", [](auto& f) { f.init_axis = false; }, [](auto& s) { return !s.InitAxis; }},
      {"InitGrid", [](auto& f) { f.init_grid = false; }, [](auto& s) { return !s.InitGrid; }},
      {"InitGridPoint", [](auto& f) { f.init_grid_point = true; },
       [](auto& s) { return s.InitGridPoint; }},
      {"InitBackColor", [](auto& f) { f.back_colour = 0x010203; },
       [](auto& s) { return s.InitBackColor == 0x010203u; }},
      {"InitAxisColor", [](auto& f) { f.axis_colour = 0x0000FF; },
       [](auto& s) { return s.InitAxisColor == 0x0000FFu; }},
      {"InitGridColor", [](auto& f) { f.grid_colour = 0xC0C0C0; },
       [](auto& s) { return s.InitGridColor == 0xC0C0C0u; }},
      {"InitFont",
       [](auto& f) {
         f.font = {"IPAGothic", 14, 3, 128};
       },
       [](auto& s) {
         return s.InitFont == "IPAGothic" && s.InitFontSize == 14 && s.InitcFoStyle == 3 &&
                s.InitcFoChar == 128;
       }},
      {"OleMode", [](auto& f) { f.ole_mode = false; }, [](auto& s) { return !s.OleMode; }},
      {"HintPopup", [](auto& f) { f.hint_popup = false; }, [](auto& s) { return !s.HintPopup; }},
      {"ContAttrib", [](auto& f) { f.cont_attrib = false; }, [](auto& s) { return !s.ContAttrib; }},
      {"DragDrop", [](auto& f) { f.drag_drop = false; }, [](auto& s) { return !s.DragDrop; }},
      {"SelColorRev", [](auto& f) { f.sel_color_rev = false; },
       [](auto& s) { return !s.SelColorRev; }},
      {"FindDispFigure", [](auto& f) { f.find_disp = true; },
       [](auto& s) { return s.FindDispFigure; }},
      {"PrintLineWidth", [](auto& f) { f.print_line_width = false; },
       [](auto& s) { return !s.PrintLineWidth; }},
      {"PrintBlackColor", [](auto& f) { f.print_black = true; },
       [](auto& s) { return s.PrintBlackColor; }},
      {"PrintBoxLine", [](auto& f) { f.print_box = false; },
       [](auto& s) { return !s.PrintBoxLine; }},
      {"BackBitmap", [](auto& f) { f.back_bitmap = false; }, [](auto& s) { return !s.BackBitmap; }},
      {"BackBitmapQuality", [](auto& f) { f.quality = 100; },
       [](auto& s) { return s.BackBitmapQuality == 100; }},
      {"CompressMode", [](auto& f) { f.compress = false; },
       [](auto& s) { return !s.CompressMode; }},
      {"Tangent", [](auto& f) { f.tangent = 50; }, [](auto& s) { return s.Tangent == 50; }},
      {"AxisPrecision", [](auto& f) { f.axis_precision = 10; },
       [](auto& s) { return s.AxisPrecision == 10; }},
      {"PointZoomFlag", [](auto& f) { f.point_zoom = false; },
       [](auto& s) { return !s.PointZoomFlag; }},
  };
  for (const Case& c : cases) {
    const UserSettings before;
    UserSettings s = before;
    OptionsForm form(s, false);
    c.edit(form);
    ASSERT_FALSE(form.Validate()) << c.key;
    form.Apply(s);
    EXPECT_TRUE(c.check(s)) << c.key;
    // Only that key changed: every other key still has its text.
    for (const SettingKey<UserSettings>& key : user_setting_keys()) {
      if (std::string_view(key.key).starts_with(c.key)) continue;
      if (std::string_view(c.key) == "InitFont" && std::string_view(key.key).starts_with("Init") &&
          (std::string_view(key.key) == "InitFontSize" ||
           std::string_view(key.key) == "InitcFoStyle" ||
           std::string_view(key.key) == "InitcFoChar"))
        continue;
      std::visit(
          [&](auto member) { EXPECT_EQ(s.*member, before.*member) << c.key << " " << key.key; },
          key.member);
    }
  }
}

TEST(OptionsForm, BadScreenSizeStopsBeforeAnythingIsWritten) {
  OptionsForm form(UserSettings{}, false);
  form.file_max = 2;
  form.tangent = 30;
  form.screen_y_text = "wide";
  const std::optional<OptionsError> error = form.Validate();
  ASSERT_TRUE(error);
  EXPECT_EQ(error->field, OptionsField::kScreenY);
  EXPECT_EQ(error->message, kScreenSizeMessage);
  form.screen_x_text = "12.5";
  EXPECT_EQ(form.Validate()->field, OptionsField::kScreenX);  // the first faulty field
  form.screen_x_text = "(自動)";
  form.screen_y_text = "(自動)";
  EXPECT_FALSE(form.Validate());
}

TEST(OptionsForm, TangentChangeIsReported) {
  UserSettings s;
  OptionsForm same(s, false);
  EXPECT_FALSE(same.Apply(s));
  OptionsForm changed(s, false);
  changed.tangent = 50;
  EXPECT_TRUE(changed.Apply(s));
  EXPECT_DOUBLE_EQ(s.Tangent, 50);
  OptionsForm clamped(s, false);
  clamped.tangent = 0;
  EXPECT_TRUE(clamped.Apply(s));
  EXPECT_DOUBLE_EQ(s.Tangent, 1);
}

TEST(OptionsForm, PrintOnlyShowsAndWritesThePrintTab) {
  UserSettings s;
  OptionsForm form(s, true);
  for (int t = 0; t < 6; ++t)
    EXPECT_EQ(form.TabVisible(static_cast<OptionsTab>(t)), t == 3) << t;
  form.print_black = true;
  form.print_box = false;
  form.file_max = 1;
  form.screen_x_text = "nonsense";  // not shown, so not checked
  EXPECT_FALSE(form.Validate());
  EXPECT_FALSE(form.Apply(s));
  EXPECT_TRUE(s.PrintBlackColor);
  EXPECT_FALSE(s.PrintBoxLine);
  EXPECT_EQ(s.FileMax, 5);
  EXPECT_EQ(s.InitScreenX, -1);
}

TEST(OptionsForm, InvalidatesExplicitFunctionsOnly) {
  ScreenTitleCounter titles;
  auto screen = Screen::Create(NewScreenDefaults{}, titles);
  struct {
    int slot, kind;
    bool invalidated;
  } cases[] = {{0, 1, true}, {1, 2, false}, {2, 3, false}, {3, 4, false}};
  for (auto c : cases) {
    FigureRecord r = FigureRecord::Blank(kFunctionFigure);
    r.function()->FuncKind = c.kind;
    r.function()->CurveValid = 1;
    PlaceFigure(screen->Figures, c.slot, std::move(r));
  }
  FigureRecord point = FigureRecord::Blank(kPointFigure);
  PlaceFigure(screen->Figures, 4, std::move(point));
  InvalidateExplicitCurves(*screen);
  for (auto c : cases)
    EXPECT_EQ(screen->Figures.record(c.slot)->function()->CurveValid == 0, c.invalidated) << c.kind;
}

}  // namespace
}  // namespace qzarn::forms
