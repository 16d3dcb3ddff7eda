#include "forms/property_form.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "document/field_table.h"
#include "engine/locus.h"
#include "expr/engine.h"
#include "platform/text_encoding.h"

namespace qzarn::forms {

namespace {

// The name a text box is given when it is made or copied, until it gets one.
constexpr std::string_view kUnnamedTextBox = "??";

std::string Cp932(std::string_view utf8) {
  return utf8_to_cp932(utf8).bytes;
}

// Cuts UTF-8 text to `count` characters.
std::string FirstCharacters(std::string_view utf8, int count) {
  std::size_t i = 0;
  for (int n = 0; n < count && i < utf8.size(); ++n) {
    ++i;
    while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
      ++i;
  }
  return std::string(utf8.substr(0, i));
}

std::optional<long long> ParseInteger(std::string_view text) {
  long long v = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  while (first < last && *first == ' ')
    ++first;
  if (first < last && *first == '+') ++first;
  const auto [end, ec] = std::from_chars(first, last, v);
  if (ec != std::errc() || end == first) return std::nullopt;
  return v;
}

std::optional<double> ParseReal(std::string_view text) {
  double v = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  while (first < last && *first == ' ')
    ++first;
  if (first < last && *first == '+') ++first;
  const auto [end, ec] = std::from_chars(first, last, v);
  if (ec != std::errc() || end == first) return std::nullopt;
  return v;
}

std::string RealText(double v) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

const FieldInfo* Field(const FigureRecord& record, std::string_view name) {
  return name.empty() ? nullptr : FindField(record.type(), name);
}

double NumberOf(const FigureRecord& record, std::string_view name, int index = 0) {
  const FieldInfo* f = Field(record, name);
  if (f == nullptr) return 0;
  return ReadNumber(record.bytes(), *f, index).value_or(0);
}

void WriteNumberField(FigureRecord& record, std::string_view name, double v, int index = 0) {
  if (const FieldInfo* f = Field(record, name)) WriteNumber(record.bytes(), *f, v, index);
}

std::string StringOf(const FigureRecord& record, std::string_view name, int index = 0) {
  const FieldInfo* f = Field(record, name);
  if (f == nullptr) return {};
  return std::string(ReadString(record.bytes(), *f, index).value_or(std::string_view()));
}

void WriteStringField(FigureRecord& record, std::string_view name, std::string_view cp932,
                      int index = 0) {
  if (const FieldInfo* f = Field(record, name)) WriteString(record.bytes(), *f, cp932, index);
}

// The stored name of the figure or Cross3 point a reference names.
std::string ReferenceName(const FigureTable& figures, std::int32_t ref) {
  const FigureRecord* r = figures.record(ReferenceSlot(ref));
  if (ref < 0 || r == nullptr) return {};
  if (const MultiPointRecord* m = r->multi_point())
    return std::string(m->Names[ReferenceSubIndex(ref)].view());
  return std::string(r->name());
}

// Only printable single-byte characters reach an expression.
std::string PrintableOnly(std::string_view text) {
  std::string out;
  for (const char c : text)
    if (c >= 0x20 && c <= 0x7E) out += c;
  return out;
}

std::string DigitsOnly(std::string_view text) {
  std::string out;
  for (const char c : text)
    if (c >= '0' && c <= '9') out += c;
  return out;
}

}  // namespace

// ---- Helpers --------------------------------------------------------------------

std::vector<std::string> ExpandNameList(std::string_view groups) {
  std::vector<std::string> names;
  while (!groups.empty()) {
    const std::size_t space = groups.find(' ');
    const std::string_view token = groups.substr(0, space);
    groups = space == std::string_view::npos ? std::string_view() : groups.substr(space + 1);
    if (token.empty()) continue;
    const std::size_t n = token.size();
    if (n >= 3 && token[n - 2] == '-') {
      const std::string prefix(token.substr(0, n - 3));
      for (char c = token[n - 3]; c <= token[n - 1]; ++c)
        names.push_back(prefix + c);
    } else {
      names.emplace_back(token);
    }
  }
  return names;
}

std::string SizeText(std::int32_t value) {
  return std::to_string(value);
}

std::optional<int> AngleFromText(std::string_view text) {
  const std::optional<long long> v = ParseInteger(text);
  if (!v) return std::nullopt;
  const long long m = ((*v % 360) + 360) % 360;
  return static_cast<int>(m);
}

std::string AngleText(int degrees) {
  return std::to_string(degrees) + std::string(kDegreeMark);
}

// ---- The form -------------------------------------------------------------------

PropertyForm::PropertyForm(const MemberSpec& spec, const FigureRecord& record, FormScreen screen)
    : spec_(spec),
      working_(record),
      screen_(std::move(screen)),
      settings_(std::make_unique<SettingsBlock>(screen_.settings)),
      settings_at_open_(std::make_unique<SettingsBlock>(screen_.settings)),
      values_(spec.controls.size()),
      reference_changed_(spec.controls.size(), false) {}

int PropertyForm::IndexOf(std::string_view id) const {
  for (int i = 0; i < ControlCount(); ++i)
    if (control(i).id == id) return i;
  return -1;
}

const ControlValue& PropertyForm::value(std::string_view id) const {
  static const ControlValue kNone;
  const int i = IndexOf(id);
  return i < 0 ? kNone : value(i);
}

bool PropertyForm::SlotUsable(int slot) const {
  if (slot == screen_.slot || screen_.figures.record(slot) == nullptr) return false;
  return !(screen_.removed && screen_.removed(slot));
}

std::optional<std::string> PropertyForm::Open() {
  if (spec_.needs.count > 0) {
    int found = 0;
    for (int s = 0; s <= std::min(screen_.figures.LastIndex, kLastSlot); ++s) {
      if (!SlotUsable(s)) continue;
      const FigureRecord& r = *screen_.figures.record(s);
      if ((spec_.needs.types & TypeBit(r.type())) != 0) ++found;
      if (spec_.needs.cross3_points && r.multi_point() != nullptr)
        for (const FigureName& n : r.multi_point()->Names)
          found += n.empty() ? 0 : 1;
    }
    if (found < spec_.needs.count) return std::string(spec_.needs.message);
  }
  names_ = ExpandNameList(spec_.names);
  FillFromRecord();
  return std::nullopt;
}

std::string PropertyForm::ProposeName() const {
  for (const std::string& name : names_)
    // Only a name the record can hold as it is shown is offered.
    if (!utf8_to_cp932(name).lossy && !FindByName(screen_.figures, name, screen_.slot)) return name;
  return {};
}

void PropertyForm::FillFromRecord() {
  const FigureRecord& r = working_;
  for (int i = 0; i < ControlCount(); ++i) {
    const ControlSpec& c = control(i);
    ControlValue& v = values_[static_cast<std::size_t>(i)];
    switch (c.kind) {
      case ControlKind::kName:
        v.text = cp932_to_utf8(StringOf(r, c.field, c.index));
        // Further name boxes (the points of an intersection set) may stay empty.
        // A text box not named yet holds the placeholder "??", which is no name.
        if ((v.text.empty() || (r.type() == kCharFigure && v.text == kUnnamedTextBox)) &&
            c.id == "Name")
          v.text = ProposeName();
        break;
      case ControlKind::kExpression:
      case ControlKind::kText:
        v.text = cp932_to_utf8(StringOf(r, c.field, c.index));
        break;
      case ControlKind::kSize:
      case ControlKind::kDecimals:
        v.text = SizeText(static_cast<std::int32_t>(NumberOf(r, c.field, c.index)));
        break;
      case ControlKind::kAngle:
        v.text = AngleText(static_cast<int>(NumberOf(r, c.field, c.index)));
        break;
      case ControlKind::kNumber:
        v.text = RealText(NumberOf(r, c.field, c.index));
        break;
      case ControlKind::kChoice: {
        const int last = std::max(0, static_cast<int>(c.choices.size()) - 1);
        v.position =
            std::clamp(static_cast<int>(NumberOf(r, c.field, c.index)) - c.choice_base, 0, last);
        break;
      }
      case ControlKind::kCheck:
        v.checked = (NumberOf(r, c.field, c.index) != 0) != ((c.flags & kInverted) != 0);
        break;
      case ControlKind::kColour:
        v.colour = static_cast<std::uint32_t>(NumberOf(r, c.field, c.index));
        break;
      case ControlKind::kFont:
        font_.name = cp932_to_utf8(StringOf(r, "FontName"));
        font_.colour = static_cast<std::uint32_t>(NumberOf(r, "FontColor"));
        font_.size = static_cast<std::int32_t>(NumberOf(r, "FontSize"));
        font_.style = static_cast<std::uint8_t>(NumberOf(r, "FontStyle"));
        font_.charset = static_cast<std::int32_t>(NumberOf(r, "FontSet"));
        break;
      case ControlKind::kReference:
        FillCandidates(i, static_cast<std::int32_t>(NumberOf(r, c.field, c.index)));
        break;
    }
  }
  if (spec_.locus_button) locus_ = ReadLocusSettings(r);
  if (spec_.arrow_button) arrow_ = ReadArrowSettings(r);
}

void PropertyForm::FillCandidates(int i, std::int32_t current) {
  const ReferenceFilter& f = control(i).refs;
  ControlValue& v = values_[static_cast<std::size_t>(i)];
  v.candidates.clear();
  if (f.none) v.candidates.push_back({std::string(kNoneCaption), kNoReference});
  if (f.axes) {
    v.candidates.push_back({std::string(kXAxisCaption), f.x_axis});
    if (!f.x_axis_only) v.candidates.push_back({std::string(kYAxisCaption), f.y_axis});
  }
  for (int s = 0; s <= std::min(screen_.figures.LastIndex, kLastSlot); ++s) {
    if (!SlotUsable(s)) continue;
    const FigureRecord& r = *screen_.figures.record(s);
    if (const FunctionRecord* fn = r.function();
        fn != nullptr && f.graphs_only && (fn->FuncKind != 1 || fn->Recursive))
      continue;
    if ((f.types & TypeBit(r.type())) != 0)
      v.candidates.push_back({cp932_to_utf8(r.name()), MakeReference(s)});
    if (f.cross3_points && r.multi_point() != nullptr)
      for (int k = 0; k < kCross3Points; ++k) {
        const FigureName& n = r.multi_point()->Names[k];
        if (!n.empty()) v.candidates.push_back({cp932_to_utf8(n.view()), MakeReference(s, k)});
      }
  }
  v.position = 0;
  bool found = false;
  for (std::size_t k = 0; k < v.candidates.size(); ++k)
    if (v.candidates[k].reference == current) {
      v.position = static_cast<int>(k);
      found = true;
      break;
    }
  // A reference to a figure that is gone (or no longer listed) is not kept:
  // storing it would leave the figure pointing at a freed slot.
  reference_changed_[static_cast<std::size_t>(i)] = !found;
}

std::int32_t PropertyForm::SelectedReference(int i) const {
  const ControlValue& v = value(i);
  if (v.position < 0 || v.position >= static_cast<int>(v.candidates.size())) return kNoReference;
  return v.candidates[static_cast<std::size_t>(v.position)].reference;
}

// ---- Control behaviour ----------------------------------------------------------

void PropertyForm::SetText(int i, std::string_view text) {
  const ControlSpec& c = control(i);
  std::string t;
  switch (c.kind) {
    case ControlKind::kExpression:
      t = PrintableOnly(text);
      break;
    case ControlKind::kSize:
    case ControlKind::kDecimals:
      t = DigitsOnly(text);
      break;
    case ControlKind::kName:
      t = std::string(text);
      if ((c.flags & kUpperCase) != 0)
        for (char& ch : t)
          if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
      break;
    default:
      t = std::string(text);
      break;
  }
  if (c.max_length > 0) t = FirstCharacters(t, c.max_length);
  values_[static_cast<std::size_t>(i)].text = std::move(t);
}

void PropertyForm::SetChecked(int i, bool checked) {
  values_[static_cast<std::size_t>(i)].checked = checked;
}

void PropertyForm::SetPosition(int i, int position) {
  ControlValue& v = values_[static_cast<std::size_t>(i)];
  const int count = control(i).kind == ControlKind::kReference
                        ? static_cast<int>(v.candidates.size())
                        : static_cast<int>(control(i).choices.size());
  if (position < 0 || position >= count) return;
  if (position != v.position && control(i).kind == ControlKind::kReference)
    reference_changed_[static_cast<std::size_t>(i)] = true;
  v.position = position;
}

void PropertyForm::SetColour(int i, std::uint32_t colour) {
  values_[static_cast<std::size_t>(i)].colour = colour & 0xFFFFFFu;
}

void PropertyForm::Leave(int i) {
  const ControlSpec& c = control(i);
  ControlValue& v = values_[static_cast<std::size_t>(i)];
  if (c.kind == ControlKind::kSize && (c.flags & kAtLeastOne) != 0) {
    if (ParseInteger(v.text).value_or(0) < 1) v.text = "1";
  } else if (c.kind == ControlKind::kAngle) {
    v.text = AngleText(AngleFromText(v.text).value_or(0));
  }
}

bool PropertyForm::IsOn(int i) const {
  if (i < 0) return false;
  switch (control(i).kind) {
    case ControlKind::kCheck:
      return value(i).checked;
    case ControlKind::kChoice:
      return value(i).position > 0;
    case ControlKind::kReference:
      return SelectedReference(i) >= 0;
    default:
      return false;
  }
}

bool PropertyForm::Enabled(int i) const {
  const EnableRule& rule = control(i).enable;
  if (rule.first.empty()) return true;
  const bool any =
      IsOn(IndexOf(rule.first)) || (!rule.second.empty() && IsOn(IndexOf(rule.second)));
  return rule.when_off ? !any : any;
}

std::string PropertyForm::LocusCaption() const {
  const int name = IndexOf("Name");
  return LocusDialogCaption(std::string(spec_.caption) + (name >= 0 ? value(name).text : ""));
}

// ---- OK ---------------------------------------------------------------------------

std::optional<FormFailure> PropertyForm::Fail(std::string_view message, int i) const {
  return FormFailure{std::string(message), i >= 0 ? control(i).page : 0,
                     i >= 0 ? control(i).id : std::string_view()};
}

std::optional<FormFailure> PropertyForm::Validate(ExprEngine& engine, FormPrompts& prompts) {
  // 1. A name is required.
  const int name = IndexOf("Name");
  if (name >= 0 && value(name).text.empty()) return Fail(kEnterNameMessage, name);
  // 2. Two selectors may not name the same figure.
  for (int i = 0; i < ControlCount(); ++i) {
    const ControlSpec& c = control(i);
    if (c.kind != ControlKind::kReference || (c.flags & kNoDuplicateCheck) != 0 || !Enabled(i))
      continue;
    const std::int32_t ref = SelectedReference(i);
    if (ref < 0) continue;
    for (int j = 0; j < i; ++j)
      if (control(j).kind == ControlKind::kReference &&
          (control(j).flags & kNoDuplicateCheck) == 0 && Enabled(j) && SelectedReference(j) == ref)
        return Fail(spec_.duplicate_message, i);
  }
  // 3. Names are unique on the screen (compared as they would be stored).
  if (name >= 0) {
    FigureName stored{};
    stored.assign(Cp932(value(name).text));
    if (FindByName(screen_.figures, stored.view(), screen_.slot))
      return Fail(kSameNameMessage, name);
  }
  // 4. Two points given by the same expressions.
  if (spec_.two_points) {
    const TwoPointRule& t = *spec_.two_points;
    const int r0 = IndexOf(t.ref0), r1 = IndexOf(t.ref1);
    const bool by_expressions = !IsOn(r0) && !IsOn(r1);
    if (by_expressions && value(t.x0).text == value(t.x1).text &&
        value(t.y0).text == value(t.y1).text)
      return Fail(kSameCoordinatesMessage, IndexOf(t.x1));
  }
  // Required texts come before the expression check.
  for (int i = 0; i < ControlCount(); ++i) {
    const ControlSpec& c = control(i);
    if (!c.empty_message.empty() && Enabled(i) && value(i).text.empty())
      return Fail(c.empty_message, i);
  }
  // 5. Every enabled expression compiles and evaluates on the dialog's variables.
  for (int i = 0; i < ControlCount(); ++i) {
    if (control(i).kind != ControlKind::kExpression || !Enabled(i)) continue;
    if (!engine.CheckExpression(settings_->Variables, Cp932(value(i).text)))
      return Fail(kExpressionErrorMessage, i);
  }
  // 6. The member's own checks.
  if (spec_.check != nullptr) return spec_.check(*this, engine, prompts);
  return std::nullopt;
}

bool PropertyForm::DefinitionChanged() const {
  for (int i = 0; i < ControlCount(); ++i) {
    const ControlSpec& c = control(i);
    if ((c.flags & kDefinition) == 0) continue;
    switch (c.kind) {
      case ControlKind::kExpression:
      case ControlKind::kText:
        if (Cp932(value(i).text) != StringOf(working_, c.field, c.index)) return true;
        break;
      case ControlKind::kReference:
        if (reference_changed_[static_cast<std::size_t>(i)] ||
            SelectedReference(i) != static_cast<std::int32_t>(NumberOf(working_, c.field, c.index)))
          return true;
        break;
      case ControlKind::kChoice:
        if (value(i).position + c.choice_base !=
            static_cast<int>(NumberOf(working_, c.field, c.index)))
          return true;
        break;
      default:
        break;
    }
  }
  return false;
}

bool PropertyForm::LocusWouldClear() const {
  if (!LocusOn(working_) || !HasLocusEntries(working_)) return false;
  // Switching the locus off or clearing it in the locus dialog empties it anyway.
  if (locus_ && (!locus_->on || locus_->clear)) return false;
  return DefinitionChanged();
}

void PropertyForm::StoreControl(int i, FigureRecord& target) const {
  const ControlSpec& c = control(i);
  const ControlValue& v = value(i);
  switch (c.kind) {
    case ControlKind::kName:
    case ControlKind::kExpression:
    case ControlKind::kText:
      // Cut to the field on character boundaries of the stored text.
      WriteStringField(target, c.field, Cp932(v.text), c.index);
      break;
    case ControlKind::kSize:
    case ControlKind::kDecimals: {
      long long n = ParseInteger(v.text).value_or(0);
      if ((c.flags & kAtLeastOne) != 0) n = std::max(n, 1LL);
      WriteNumberField(target, c.field, static_cast<double>(n), c.index);
      break;
    }
    case ControlKind::kAngle:
      WriteNumberField(target, c.field, AngleFromText(v.text).value_or(0), c.index);
      break;
    case ControlKind::kNumber:
      if (const std::optional<double> x = ParseReal(v.text))
        WriteNumberField(target, c.field, *x, c.index);
      break;
    case ControlKind::kChoice:
      WriteNumberField(target, c.field, v.position + c.choice_base, c.index);
      break;
    case ControlKind::kCheck:
      WriteNumberField(target, c.field, v.checked != ((c.flags & kInverted) != 0) ? 1 : 0, c.index);
      break;
    case ControlKind::kColour:
      WriteNumberField(target, c.field, v.colour, c.index);
      break;
    case ControlKind::kFont:
      WriteStringField(target, "FontName", Cp932(font_.name));
      WriteNumberField(target, "FontColor", font_.colour);
      WriteNumberField(target, "FontSize", font_.size);
      WriteNumberField(target, "FontStyle", font_.style);
      WriteNumberField(target, "FontSet", font_.charset);
      break;
    case ControlKind::kReference: {
      const std::int32_t ref = SelectedReference(i);
      WriteNumberField(target, c.field, ref, c.index);
      if (!c.name_field.empty())
        WriteStringField(target, c.name_field, ReferenceName(screen_.figures, ref));
      break;
    }
  }
}

StoreResult PropertyForm::Store(FigureRecord& target) {
  StoreResult result;
  const bool clear = LocusWouldClear();
  for (int i = 0; i < ControlCount(); ++i)
    StoreControl(i, target);
  if (locus_) ApplyLocusSettings(target, *locus_);
  if (arrow_) ApplyArrowSettings(target, *arrow_);
  if (clear) {
    ClearLocus(target);
    result.locus_cleared = true;
  }
  return result;
}

std::variant<FormFailure, StoreResult> PropertyForm::Confirm(FigureRecord& target,
                                                             ExprEngine& engine,
                                                             FormPrompts& prompts) {
  if (std::optional<FormFailure> failure = Validate(engine, prompts)) return *failure;
  if (LocusWouldClear()) prompts.Inform(kLocusClearedByDefinitionMessage);
  return Store(target);
}

int PropertyForm::ApplyVariables(SettingsBlock& screen_settings) const {
  int written = 0;
  for (int row = 0; row < kVariableRows; ++row)
    for (int column = 1; column <= kVariableColumns; ++column) {
      const VariableCell& now = settings_->Variables.cell(row, column);
      const VariableCell& then = settings_at_open_->Variables.cell(row, column);
      if (std::memcmp(&now, &then, sizeof now) == 0) continue;
      screen_settings.Variables.cell(row, column) = now;
      ++written;
    }
  return written;
}

}  // namespace qzarn::forms
