// The lesson's palettes and animation player: the same palette records and value paths as
// the desktop's palette windows and player, without their windows.
#include <cmath>
#include <cstdio>

#include "app/cli/json_writer.h"
#include "document/screen.h"
#include "engine/locus.h"
#include "forms/user_palette.h"
#include "platform/text_encoding.h"
#include "web/lesson.h"

namespace qzarn::web {

namespace {

// Palette colours are stored blue in the high byte, red in the low one.
std::string CssColour(std::uint32_t stored) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", stored & 0xFFu, (stored >> 8) & 0xFFu,
                (stored >> 16) & 0xFFu);
  return text;
}

void WriteFont(cli::JsonWriter& json, int size, const std::string& name_cp932, int style,
               std::uint32_t colour) {
  json.Key("size");
  json.Integer(size);
  json.Key("font");
  json.String(cp932_to_utf8(name_cp932));
  json.Key("style");
  json.Integer(style);
  json.Key("colour");
  json.String(CssColour(colour));
}

}  // namespace

std::string Lesson::PalettesJson() const {
  cli::JsonWriter json;
  json.BeginObject();
  if (!screens_.empty()) {
    const ViewSettings& view = screen().View();
    json.Key("mode");
    json.Integer(view.PaletteMode);
    json.Key("variable");
    json.String(std::string(view.PaletteVariable.view()));
    json.Key("step");
    json.Number(view.PaletteStep);
    const UserPaletteLayout layout = ReadUserPalette(screen());
    json.Key("width");
    json.Integer(layout.width);
    json.Key("height");
    json.Integer(layout.height);
    json.Key("labels");
    json.BeginArray();
    for (const UserPaletteLabel& l : layout.labels) {
      json.BeginObject();
      json.Key("caption");
      json.String(cp932_to_utf8(l.caption));
      json.Key("left");
      json.Integer(l.left);
      json.Key("top");
      json.Integer(l.top);
      WriteFont(json, l.font_size, l.font_name, l.font_style, l.font_colour);
      json.EndObject();
    }
    json.EndArray();
    json.Key("boxes");
    json.BeginArray();
    for (const UserPaletteBox& b : layout.boxes) {
      json.BeginObject();
      json.Key("name");
      json.String(PaletteVariableName(b.variable));
      json.Key("left");
      json.Integer(b.left);
      json.Key("top");
      json.Integer(b.top);
      json.Key("width");
      json.Integer(b.width);
      json.Key("height");
      json.Integer(b.height);
      json.Key("value");
      json.Number(b.value);
      json.Key("text");
      json.String(FormatPaletteValue(b.value));
      json.Key("initial");
      json.Number(b.initial);
      json.Key("minimum");
      json.Number(b.minimum);
      json.Key("maximum");
      json.Number(b.maximum);
      json.Key("step");
      json.Number(b.step);
      WriteFont(json, b.font_size, b.font_name, b.font_style, b.font_colour);
      json.EndObject();
    }
    json.EndArray();
  }
  json.EndObject();
  return json.str();
}

bool Lesson::SelectVariable(std::string_view name) {
  if (screens_.empty()) return false;
  StandardPaletteForm form;
  form.Load(screen());
  const std::optional<PaletteVariable> v = PaletteVariableFromName(name);
  for (std::size_t i = 0; v && i < form.list().size(); ++i) {
    if (form.list()[i] != *v) continue;
    form.Select(screen(), static_cast<int>(i));
    return true;
  }
  return false;
}

void Lesson::SetPaletteStep(double step) {
  // A step that is not a number stores 0, as the desktop's step list does.
  if (!screens_.empty()) screen().View().PaletteStep = std::isfinite(step) ? step : 0.0;
}

bool Lesson::SetBoxValue(int box, double value) {
  if (screens_.empty() || !std::isfinite(value)) return false;
  const UserPaletteLayout layout = ReadUserPalette(screen());
  if (box < 0 || box >= static_cast<int>(layout.boxes.size())) return false;
  return ApplyBoxValue(screen(), layout.boxes[static_cast<std::size_t>(box)], value, expressions_);
}

bool Lesson::StepBox(int box, int direction) {
  if (screens_.empty() || (direction != 1 && direction != -1)) return false;
  const UserPaletteLayout layout = ReadUserPalette(screen());
  if (box < 0 || box >= static_cast<int>(layout.boxes.size())) return false;
  const UserPaletteBox& b = layout.boxes[static_cast<std::size_t>(box)];
  return ApplyBoxValue(screen(), b, b.value + direction * b.step, expressions_);
}

std::optional<Lesson::AnimeTarget> Lesson::Target(int target) const {
  if (screens_.empty()) return std::nullopt;
  const Screen& s = screen();
  AnimeTarget t;
  if (target == kStandardTarget) {
    const std::optional<PaletteVariable> v =
        PaletteVariableFromName(s.View().PaletteVariable.view());
    if (!v) return std::nullopt;
    t.variable = *v;
    t.range = {-kStandardPaletteLimit, kStandardPaletteLimit, s.View().PaletteStep};
    t.initial = screens_[shown_].published.read(v->row, v->column());
    t.value = ClampStandardValue(s.Variables().read(v->row, v->column()));
    return t;
  }
  const UserPaletteLayout layout = ReadUserPalette(s);
  if (target < 0 || target >= static_cast<int>(layout.boxes.size())) return std::nullopt;
  const UserPaletteBox& b = layout.boxes[static_cast<std::size_t>(target)];
  t.variable = b.variable;
  t.range = b.range();
  t.initial = b.initial;
  t.value = b.value;
  t.box = target;
  return t;
}

bool Lesson::ApplyAnimeValue(const AnimeTarget& target, double value) {
  if (target.box == kStandardTarget)
    return ApplyVariableValue(screen(), target.variable, ClampStandardValue(value), expressions_);
  const UserPaletteLayout layout = ReadUserPalette(screen());
  return ApplyBoxValue(screen(), layout.boxes[static_cast<std::size_t>(target.box)], value,
                       expressions_);
}

int Lesson::Animate(int target, AnimeCommand command) {
  player_.Halt();
  anime_target_ = target;
  const std::optional<AnimeTarget> t = Target(target);
  if (!t) return 0;
  bool changed = false;
  switch (command) {
    case AnimeCommand::kPlayForward:
      player_.PlayForward(t->range, t->value);
      break;
    case AnimeCommand::kPlayBackward:
      player_.PlayBackward(t->range, t->value);
      break;
    case AnimeCommand::kStepForward:
      if (const auto v = AnimeStepForward(t->range, t->value)) changed = ApplyAnimeValue(*t, *v);
      break;
    case AnimeCommand::kStepBack:
      if (const auto v = AnimeStepBack(t->range, t->value)) changed = ApplyAnimeValue(*t, *v);
      break;
    case AnimeCommand::kStop:
      ApplyAnimeValue(*t, t->initial);
      // The traces go with the stop even when the value was already the initial one.
      ClearAllLoci(screen());
      screen().Modified = true;
      changed = true;
      break;
    case AnimeCommand::kPause:
      break;
  }
  return (changed ? kAnimeChanged : 0) | (player_.playing() ? kAnimePlaying : 0);
}

int Lesson::AnimeTick() {
  const std::optional<AnimeTarget> t = Target(anime_target_);
  if (!t) {
    player_.Halt();
    return 0;
  }
  const std::optional<double> value = player_.Tick();
  const bool changed = value && ApplyAnimeValue(*t, *value);
  return (changed ? kAnimeChanged : 0) | (player_.playing() ? kAnimePlaying : 0);
}

}  // namespace qzarn::web
