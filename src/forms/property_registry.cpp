#include <vector>

#include "document/field_table.h"
#include "forms/accessible_name.h"
#include "forms/property_form.h"

namespace qzarn::forms {

std::string ControlName(const MemberSpec& member, const ControlSpec& control) {
  if (!control.name.empty()) return std::string(control.name);
  std::string spoken = SpokenCaption(control.caption);
  if (!PunctuationOnly(spoken)) return spoken;
  const auto page = static_cast<std::size_t>(control.page);
  return page < member.pages.size() ? std::string(member.pages[page]) : std::string(member.caption);
}

std::span<const MemberSpec* const> AllMembers() {
  static const std::vector<const MemberSpec*> members = [] {
    std::vector<const MemberSpec*> all;
    // One line per family file.
    for (const std::span<const MemberSpec> family : {
             PointMembers(),
             LineMembers(),
             ConicMembers(),
             FunctionMembers(),
             GraphMembers(),
             ShapeMembers(),
         })
      for (const MemberSpec& m : family)
        all.push_back(&m);
    return all;
  }();
  return members;
}

const MemberSpec* FindMember(std::int32_t figure_type, std::int32_t mode, std::int32_t func_kind) {
  std::int32_t sub_kind = -1;
  if (figure_type == kLineFigure || figure_type == kCircleFigure || figure_type == kParabolaFigure)
    sub_kind = mode;
  else if (figure_type == kFunctionFigure)
    sub_kind = func_kind;
  for (const MemberSpec* m : AllMembers())
    if (m->figure_type == figure_type && (m->sub_kind == -1 || m->sub_kind == sub_kind)) return m;
  return nullptr;
}

const MemberSpec* FindMember(const FigureRecord& record) {
  auto number = [&](std::string_view name) {
    const FieldInfo* f = FindField(record.type(), name);
    return f == nullptr ? -1
                        : static_cast<std::int32_t>(ReadNumber(record.bytes(), *f).value_or(-1));
  };
  return FindMember(record.type(), number("Mode"), number("FuncKind"));
}

}  // namespace qzarn::forms
