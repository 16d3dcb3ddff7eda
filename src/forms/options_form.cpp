#include "forms/options_form.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <type_traits>

#include "platform/c_number_parse.h"
#include "settings/setting_values.h"

namespace qzarn::forms {

bool OptionsNumberKeyAccepted(char32_t key) {
  return key < 0x20 || key == 0x7F || (key >= '0' && key <= '9') || key == '.';
}

int OptionsZoomValue(std::string_view text) {
  std::string s(text);
  s.erase(std::remove(s.begin(), s.end(), '%'), s.end());
  const long long v = ParseWholeText<long long>(s).value_or(0);
  return static_cast<int>(std::clamp<long long>(v, 10, 1000));
}

std::string OptionsZoomText(std::string_view text) {
  return std::to_string(OptionsZoomValue(text)) + "%";
}

double OptionsClipValue(std::string_view text) {
  return std::clamp(ParseWholeText<double>(text).value_or(0), 0.0001, 10.0);
}

std::optional<std::int32_t> OptionsScreenSize(std::string_view text) {
  if (TrimBlanks(text) == kAutomaticSize) return -1;
  const std::optional<long long> v = ParseWholeText<long long>(text);
  if (!v) return std::nullopt;
  return static_cast<std::int32_t>(std::clamp<long long>(*v, 50, 2500));
}

std::string OptionsScreenSizeText(std::int32_t setting) {
  return setting < 1 ? std::string(kAutomaticSize) : std::to_string(setting);
}

OptionsForm::OptionsForm(const UserSettings& s, bool print_only) : print_only_(print_only) {
  file_use = s.FileUse;
  file_max = std::clamp(s.FileMax, 0, 9);
  palette = std::clamp(s.ValuePalette, 0, 2);
  arrange_center = s.ArrangeCenter;
  window_maximize = s.WindowMaximize;
  move_center = s.WindowMoveCenter;
  zoom_text = std::to_string(s.InitZoom) + "%";
  clip_text = format_setting_real(s.InitClip);
  screen_x_text = OptionsScreenSizeText(s.InitScreenX);
  screen_y_text = OptionsScreenSizeText(s.InitScreenY);
  init_axis = s.InitAxis;
  init_grid = s.InitGrid;
  init_grid_point = s.InitGridPoint;
  back_colour = s.InitBackColor;
  axis_colour = s.InitAxisColor;
  grid_colour = s.InitGridColor;
  font = {s.InitFont, s.InitFontSize, s.InitcFoStyle, s.InitcFoChar};
  ole_mode = s.OleMode;
  hint_popup = s.HintPopup;
  cont_attrib = s.ContAttrib;
  drag_drop = s.DragDrop;
  sel_color_rev = s.SelColorRev;
  find_disp = s.FindDispFigure;
  print_line_width = s.PrintLineWidth;
  print_black = s.PrintBlackColor;
  print_box = s.PrintBoxLine;
  back_bitmap = s.BackBitmap;
  quality = std::clamp(s.BackBitmapQuality, 1, 100);
  compress = s.CompressMode;
  tangent = std::clamp(s.Tangent, 1.0, 10000.0);
  axis_precision = std::clamp(s.AxisPrecision, 0, 10);
  point_zoom = s.PointZoomFlag;
}

void OptionsForm::SetFileMax(int value) {
  file_max = std::clamp(value, 0, 9);
  file_use = file_max > 0;
}

void OptionsForm::ResetNewTab() {
  zoom_text = "100%";
  back_colour = 0xFFFFFF;
  axis_colour = 0;
  grid_colour = 0x808080;
  clip_text = "0.2";
  init_axis = true;
  init_grid = true;
  init_grid_point = false;
  screen_x_text = std::string(kAutomaticSize);
  screen_y_text = std::string(kAutomaticSize);
}

std::optional<OptionsError> OptionsForm::Validate() const {
  if (print_only_) return std::nullopt;
  if (!OptionsScreenSize(screen_x_text))
    return OptionsError{OptionsField::kScreenX, std::string(kScreenSizeMessage)};
  if (!OptionsScreenSize(screen_y_text))
    return OptionsError{OptionsField::kScreenY, std::string(kScreenSizeMessage)};
  return std::nullopt;
}

bool OptionsForm::Apply(UserSettings& s) const {
  s.PrintLineWidth = print_line_width;
  s.PrintBlackColor = print_black;
  s.PrintBoxLine = print_box;
  if (print_only_) return false;
  // Every field was checked first: nothing below can stop half-way.
  const std::int32_t screen_x = OptionsScreenSize(screen_x_text).value_or(s.InitScreenX);
  const std::int32_t screen_y = OptionsScreenSize(screen_y_text).value_or(s.InitScreenY);
  s.FileMax = std::clamp(file_max, 0, 9);
  s.FileUse = file_use;
  s.OleMode = ole_mode;
  s.ArrangeCenter = arrange_center;
  s.ValuePalette = std::clamp(palette, 0, 2);
  s.WindowMaximize = window_maximize;
  s.WindowMoveCenter = move_center;
  s.HintPopup = hint_popup;
  s.DragDrop = drag_drop;
  s.ContAttrib = cont_attrib;
  s.SelColorRev = sel_color_rev;
  s.FindDispFigure = find_disp;
  s.CompressMode = compress;
  s.PointZoomFlag = point_zoom;
  const double new_tangent = std::isfinite(tangent) ? std::clamp(tangent, 1.0, 10000.0) : s.Tangent;
  const bool tangent_changed = new_tangent != s.Tangent;
  s.Tangent = new_tangent;
  s.AxisPrecision = std::clamp(axis_precision, 0, 10);
  s.InitZoom = OptionsZoomValue(zoom_text);
  s.InitBackColor = back_colour & 0xFFFFFFu;
  s.InitAxisColor = axis_colour & 0xFFFFFFu;
  s.InitGridColor = grid_colour & 0xFFFFFFu;
  s.InitClip = OptionsClipValue(clip_text);
  s.InitAxis = init_axis;
  s.InitGrid = init_grid;
  s.InitGridPoint = init_grid_point;
  s.InitFont = font.name;
  s.InitFontSize = std::clamp(font.size, 1, 1000);
  s.InitcFoStyle = font.style & 0x0F;
  s.InitcFoChar = std::clamp(font.charset, 0, 255);
  s.InitScreenX = screen_x;
  s.InitScreenY = screen_y;
  s.BackBitmap = back_bitmap;
  s.BackBitmapQuality = std::clamp(quality, 1, 100);
  return tangent_changed;
}

void InvalidateExplicitCurves(Screen& screen) {
  for (int i = 0; i < kFigureSlots; ++i) {
    FigureRecord* r = screen.Figures.record(i);
    if (r == nullptr || r->type() != kFunctionFigure) continue;
    if (FunctionRecord* f = r->function(); f != nullptr && f->FuncKind == 1) f->CurveValid = 0;
  }
}

}  // namespace qzarn::forms
