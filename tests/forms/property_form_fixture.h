#pragma once
// A screen's figure table and settings for the property form tests, with
// figures made from the built-in defaults.

#include <memory>
#include <string>
#include <vector>

#include "document/figure_defaults.h"
#include "expr/engine.h"
#include "forms/property_form.h"

namespace qzarn::forms {

// Answers the questions of OK and records them.
struct RecordingPrompts final : FormPrompts {
  bool answer = true;
  std::vector<std::string> asked;
  std::vector<std::string> informed;
  bool AskYesNo(std::string_view message) override {
    asked.emplace_back(message);
    return answer;
  }
  void Inform(std::string_view message) override { informed.emplace_back(message); }
};

struct FormScreenFixture {
  std::unique_ptr<FigureTable> figures = std::make_unique<FigureTable>();
  std::unique_ptr<SettingsBlock> settings = std::make_unique<SettingsBlock>();
  FigureDefaults defaults;
  ExprEngine engine;
  RecordingPrompts prompts;

  FormScreenFixture() { settings->Variables.reset_for_new_screen(); }

  static FigureRecord Fresh(std::int32_t type, std::int32_t sub_kind = 0) {
    static const FigureDefaults kDefaults;
    FigureRecord r = InitialiseFigure(type, kDefaults, NewFigureFont{}, sub_kind);
    if (LineRecord* l = r.line(); l && (type == kLineFigure || type == kParabolaFigure))
      l->Mode = sub_kind;
    if (CircleRecord* c = r.circle()) c->Mode = sub_kind;
    return r;
  }

  // Adds a figure of the type named `name` (code page 932) and returns its slot.
  int Add(std::int32_t type, std::string_view name, std::int32_t sub_kind = 0) {
    FigureRecord r = Fresh(type, sub_kind);
    if (MultiPointRecord* m = r.multi_point())
      m->Names[0] = name;
    else if (PointRecord* p = r.point())
      p->Name = name;
    else if (LineRecord* l = r.line())
      l->Name = name;
    else if (CircleRecord* c = r.circle())
      c->Name = name;
    return *NewFigure(*figures, std::move(r));
  }

  FormScreen Screen(int slot = -1) const { return FormScreen{*figures, *settings, slot, {}}; }
};

}  // namespace qzarn::forms
