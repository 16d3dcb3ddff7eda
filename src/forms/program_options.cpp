#include "forms/program_options.h"

#include <optional>
#include <string>
#include <string_view>

namespace qzarn::forms {
namespace {

const SettingKey<UserSettings>* UserKey(std::string_view name) {
  for (const SettingKey<UserSettings>& key : user_setting_keys())
    if (name == key.key) return &key;
  return nullptr;
}

// A key of the user settings as the file would hold it.
std::optional<std::string> UserKeyText(const UserSettings& user, std::string_view name) {
  const SettingKey<UserSettings>* key = UserKey(name);
  if (key == nullptr) return std::nullopt;
  if (const auto* text = std::get_if<std::string UserSettings::*>(&key->member))
    return user.*(*text);
  if (const auto* real = std::get_if<double UserSettings::*>(&key->member))
    return format_setting_real(user.*(*real));
  return std::nullopt;
}

void SetUserKeyText(UserSettings& user, std::string_view name, const std::string& value) {
  const SettingKey<UserSettings>* key = UserKey(name);
  if (key == nullptr) return;
  if (const auto* text = std::get_if<std::string UserSettings::*>(&key->member)) {
    user.*(*text) = value;
  } else if (const auto* real = std::get_if<double UserSettings::*>(&key->member)) {
    if (const std::optional<double> v = parse_setting_real(value)) user.*(*real) = *v;
  }
}

render::AxisLayout AxisLayoutFrom(const UserSettings& u) {
  render::AxisLayout a;
  a.axis_x_char_x = u.AxisX_Char_X;
  a.axis_x_char_y = u.AxisX_Char_Y;
  a.axis_y_char_x = u.AxisY_Char_X;
  a.axis_y_char_y = u.AxisY_Char_Y;
  a.axis_char_zero = u.Axis_Char_Zero;
  a.axis_char_ajust = u.Axis_Char_Ajust;
  a.arrow_length = u.Axis_Ya_Lenght_X;
  a.arrow_half_width = u.Axis_Ya_Lenght_Y;
  a.char_space = u.cCharSpace;
  a.point_zoom = u.PointZoomFlag;
  return a;
}

}  // namespace

render::LineStyleTable LineStylesFrom(const UserSettings& user) {
  return render::LoadLineStyles([&user](std::string_view key) { return UserKeyText(user, key); });
}

void StoreLineStylesInto(const render::LineStyleTable& table, UserSettings& user) {
  render::StoreLineStyles(table, [&user](std::string_view key, const std::string& value) {
    SetUserKeyText(user, key, value);
  });
}

ProgramOptions ProgramOptionsFrom(const UserSettings& user, const ProgramSettings& program) {
  ProgramOptions o;
  o.render.layout = AxisLayoutFrom(user);
  o.render.selection_colour_reversed = user.SelColorRev;
  o.render.print_line_width = user.PrintLineWidth;
  o.render.print_black = user.PrintBlackColor;
  o.render.tangent = user.Tangent;
  o.render.axis_precision = user.AxisPrecision;
  o.line_styles = LineStylesFrom(user);
  o.hit = interact::HitSettingsFrom(program, o.render);
  o.hit.shown_only = user.FindDispFigure;
  o.int_gap = program.Math_Int_Limit;
  o.font = NewFigureFontFromSettings(user);
  o.save = SaveOptionsFromSettings(user);
  o.drag_drop = user.DragDrop;
  o.hint_popup = user.HintPopup;
  o.edit_attr = user.EditAttr;
  o.cont_attrib = user.ContAttrib;
  return o;
}

std::filesystem::path DialogStartFolder(
    const UserSettings& user, const std::filesystem::path& documents_folder,
    const std::filesystem::path& program_folder,
    const std::function<bool(const std::filesystem::path&)>& is_folder) {
  const std::filesystem::path wanted =
      user.RecentDir.empty() ? documents_folder : std::filesystem::path(user.RecentDir);
  return is_folder(wanted) ? wanted : program_folder;
}

}  // namespace qzarn::forms
