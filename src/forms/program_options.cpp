#include "forms/program_options.h"

#include "forms/coordinate_system_form.h"
#include "forms/line_style_form.h"

#include <optional>
#include <string>
#include <string_view>

namespace qzarn::forms {
ProgramOptions ProgramOptionsFrom(const UserSettings& user, const ProgramSettings& program) {
  ProgramOptions o;
  o.render.layout = AxisLayoutFromSettings(user);
  o.render.selection_colour_reversed = user.SelColorRev;
  o.render.print_line_width = user.PrintLineWidth;
  o.render.print_black = user.PrintBlackColor;
  o.render.tangent = user.Tangent;
  o.render.axis_precision = user.AxisPrecision;
  o.line_styles = LineStylesFromSettings(user);
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
