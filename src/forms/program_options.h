#pragma once
// The settings as the running program uses them: one value built from both
// settings files, read at start-up and built again whenever the options
// change, so that every stored key has one place where it takes effect.
//
// Where each key goes:
// - drawing (RenderOptions): SelColorRev, PrintLineWidth, PrintBlackColor,
//   Tangent, AxisPrecision, PointZoomFlag, cCharSpace, the Axis section, and
//   the line styles LineBit0..3 / LineBitSpace0..3;
// - hit testing (HitSettings): the Find section, PointZoomFlag, Tangent,
//   FindDispFigure;
// - the expression engine: Math_Int_Limit;
// - new figures: InitFont, InitFontSize, InitcFoStyle, InitcFoChar;
// - saving: CompressMode, BackBitmap, BackBitmapQuality;
// - the document windows: DragDrop, HintPopup, EditAttr, ContAttrib;
// - the shell: WindowMaximize, WindowMoveCenter, ArrangeCenter (read where
//   they act, from the settings themselves).

#include <cstdint>
#include <filesystem>
#include <functional>

#include "document/document_file.h"
#include "document/figure_defaults.h"
#include "interact/hit_test.h"
#include "render/draw_context.h"
#include "render/line_style.h"
#include "settings/settings_keys.h"

namespace qzarn::forms {

struct ProgramOptions {
  render::RenderOptions render;  // line_styles is left null: the owner points it at line_styles
  render::LineStyleTable line_styles;
  interact::HitSettings hit;
  double int_gap = 0.01;  // ExprEngine::int_gap
  NewFigureFont font;
  SaveOptions save;
  bool drag_drop = true;
  bool hint_popup = true;
  bool edit_attr = true;
  bool cont_attrib = true;
};

ProgramOptions ProgramOptionsFrom(const UserSettings& user, const ProgramSettings& program);

// The folder the open and save dialogs start in: RecentDir, the documents
// folder when RecentDir is empty, the program folder when that does not exist.
std::filesystem::path DialogStartFolder(
    const UserSettings& user, const std::filesystem::path& documents_folder,
    const std::filesystem::path& program_folder,
    const std::function<bool(const std::filesystem::path&)>& is_folder);

}  // namespace qzarn::forms
