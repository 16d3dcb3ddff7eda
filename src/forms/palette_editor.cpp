#include "forms/palette_editor.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

#include "document/palette_item_fields.h"
#include "document/screen.h"
#include "forms/palette_item_access.h"
#include "forms/value_table_form.h"
#include "platform/text_encoding.h"

namespace qzarn {

namespace {

constexpr int kLetters = 26;
// The sizing square of a selected box, and the smallest box it can make.
constexpr int kHandleSize = 6;
constexpr int kMinBoxSize = 8;
// A pasted object lands this far right of and below the copied one.
constexpr int kPasteOffset = 4;
constexpr int kNewBoxWidth = 60;

// A numeric row's text: digits, "-" and "." only, and a whole number.
std::optional<double> ParseEntry(std::string_view text) {
  if (text.empty()) return std::nullopt;
  for (char c : text)
    if (!IsTableValueCharacter(static_cast<unsigned char>(c))) return std::nullopt;
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

PropertyOutcome Outcome(bool limited) {
  return {limited ? PropertyResult::kLimited : PropertyResult::kStored, {}};
}

PropertyOutcome Refused(const char* message) {
  return {PropertyResult::kRefused, message};
}

PaletteFont ReadFont(const PaletteItem& item, std::int32_t kind) {
  PaletteFont f;
  f.name = cp932_to_utf8(ItemText(item, kind, "FontName"));
  f.size = ItemInt(item, kind, "FontSize");
  f.colour = static_cast<std::uint32_t>(ItemNumber(item, kind, "FontColor"));
  f.style = ItemInt(item, kind, "FontStyle");
  f.charset = ItemInt(item, kind, "FontSet");
  return f;
}

void WriteFont(PaletteItem& item, std::int32_t kind, const PaletteFont& f) {
  SetItemText(item, kind, "FontName", utf8_to_cp932(f.name).bytes);
  SetItemNumber(item, kind, "FontSize", f.size);
  SetItemNumber(item, kind, "FontColor", f.colour);
  SetItemNumber(item, kind, "FontStyle", f.style);
  SetItemNumber(item, kind, "FontSet", f.charset);
}

double ClampToBox(const PaletteObject& o, double v) {
  if (std::isnan(v)) return o.minimum;
  return std::max(o.minimum, std::min(v, o.maximum));
}

void StoreLabel(PaletteItem& item, const PaletteObject& o) {
  const std::int32_t k = kPaletteLabel;
  item.SetKind(k);
  const std::string bytes = utf8_to_cp932(o.caption).bytes;
  SetItemText(item, k, "Caption",
              std::string_view(bytes).substr(0, cp932_prefix_length(bytes, kPaletteCaptionBytes)));
  SetItemNumber(item, k, "Left", o.rect.left - 1);
  SetItemNumber(item, k, "Top", o.rect.top - 1);
  WriteFont(item, k, o.font);
}

void StoreBox(PaletteItem& item, const PaletteObject& o, double value) {
  const std::int32_t k = kPaletteVariableBox;
  item.SetKind(k);
  SetItemNumber(item, k, "Variable", o.variable);
  SetItemNumber(item, k, "Left", o.rect.left - 1);
  SetItemNumber(item, k, "Top", o.rect.top - 1);
  SetItemNumber(item, k, "Width", o.rect.width);
  SetItemNumber(item, k, "Height", o.rect.height);
  SetItemNumber(item, k, "Value", value);
  SetItemNumber(item, k, "InitialValue", ClampToBox(o, o.initial));
  SetItemNumber(item, k, "Maximum", o.maximum);
  SetItemNumber(item, k, "Minimum", o.minimum);
  SetItemNumber(item, k, "Step", o.step);
  WriteFont(item, k, o.font);
}

}  // namespace

PaletteVariable VariableOfIndex(int index) {
  return {index / kLetters, index % kLetters};
}

int IndexOfVariable(PaletteVariable v) {
  return v.letter + kLetters * v.row;
}

std::string VariableIndexName(int index) {
  return PaletteVariableName(VariableOfIndex(index));
}

std::vector<VariableUse> ClassifyVariables(const Screen& screen) {
  const UsedVariables used = CollectUsedVariables(screen);
  const UsedVariables bound = NotFreeVariables(screen);
  std::vector<VariableUse> uses(kPaletteVariableCount, VariableUse::kFree);
  for (int i = 0; i < kPaletteVariableCount; ++i) {
    const PaletteVariable v = VariableOfIndex(i);
    if (bound.used(v.row, v.column()))
      uses[static_cast<std::size_t>(i)] = VariableUse::kNotFree;
    else if (used.used(v.row, v.column()))
      uses[static_cast<std::size_t>(i)] = VariableUse::kUsed;
  }
  return uses;
}

std::string VariableListEntry(int index, VariableUse use) {
  std::string entry = " " + VariableIndexName(index);
  if (use == VariableUse::kUsed) entry += "(使用中)";
  if (use == VariableUse::kNotFree) entry += "(使用不可)";
  return entry;
}

int SnapToGrid(int offset, bool snap) {
  if (!snap) return offset;
  // Floor division, so that an edge left of the surface stays on the grid.
  const int q =
      offset >= 0 ? offset / kPaletteGrid : -((-offset + kPaletteGrid - 1) / kPaletteGrid);
  return q * kPaletteGrid;
}

PaletteRect ClampSurface(int width, int height) {
  return {0, 0, std::clamp(width, kMinSurfaceWidth, kDesignAreaWidth),
          std::clamp(height, kMinSurfaceHeight, kDesignAreaHeight)};
}

std::string DuplicateVariableMessage(std::string_view name) {
  return "変数名\"" + std::string(name) + "\" が重複しています．";
}

PaletteEditorForm::PaletteEditorForm(MeasureText measure, const PaletteFont& initial_font)
    : measure_(std::move(measure)), label_font_(initial_font), box_font_(initial_font) {
  surface_ = ClampSurface(300, 100);
}

void PaletteEditorForm::Load(const Screen& screen) {
  objects_.clear();
  marks_.clear();
  selected_ = -1;
  surface_ = ClampSurface(screen.View().PaletteWidth, screen.View().PaletteHeight);
  for (const PaletteItem& item : screen.PaletteItems) {
    PaletteObject o;
    if (item.Kind() == kPaletteLabel) {
      const std::int32_t k = kPaletteLabel;
      o.kind = PaletteObjectKind::kLabel;
      o.caption = cp932_to_utf8(ItemText(item, k, "Caption"));
      o.rect.left = ItemInt(item, k, "Left") + 1;
      o.rect.top = ItemInt(item, k, "Top") + 1;
      o.font = ReadFont(item, k);
      Measure(o);
    } else if (item.Kind() == kPaletteVariableBox) {
      const std::int32_t k = kPaletteVariableBox;
      o.kind = PaletteObjectKind::kBox;
      o.variable = ItemInt(item, k, "Variable");
      // A damaged entry naming no variable a..z9 is not loaded.
      if (o.variable < 0 || o.variable >= kPaletteVariableCount) continue;
      o.rect = {ItemInt(item, k, "Left") + 1, ItemInt(item, k, "Top") + 1,
                ItemInt(item, k, "Width"), ItemInt(item, k, "Height")};
      o.value = ItemNumber(item, k, "Value");
      o.initial = ItemNumber(item, k, "InitialValue");
      o.maximum = ItemNumber(item, k, "Maximum");
      o.minimum = ItemNumber(item, k, "Minimum");
      o.step = ItemNumber(item, k, "Step");
      o.font = ReadFont(item, k);
    } else {
      continue;
    }
    if (!Add(std::move(o))) break;
  }
  selected_ = -1;
}

void PaletteEditorForm::ResizeSurface(int width, int height) {
  surface_ = ClampSurface(width, height);
}

PaletteEditorTools PaletteEditorForm::tools() const {
  PaletteEditorTools t;
  t.clear = !objects_.empty();
  t.create = static_cast<int>(objects_.size()) < kPaletteObjectLimit;
  t.cut = selected_ >= 0 || markedCount() > 0;
  t.copy = selected_ >= 0;
  t.paste = clipboard_.has_value() && t.create;
  return t;
}

bool PaletteEditorForm::marked(int index) const {
  return index >= 0 && index < static_cast<int>(marks_.size()) &&
         marks_[static_cast<std::size_t>(index)];
}

int PaletteEditorForm::markedCount() const {
  return static_cast<int>(std::count(marks_.begin(), marks_.end(), true));
}

void PaletteEditorForm::Select(int index) {
  if (index < 0 || index >= static_cast<int>(objects_.size())) {
    selected_ = -1;
    std::fill(marks_.begin(), marks_.end(), false);
    return;
  }
  if (!marked(index)) std::fill(marks_.begin(), marks_.end(), false);
  selected_ = index;
}

int PaletteEditorForm::ObjectAt(int x, int y) const {
  for (int i = static_cast<int>(objects_.size()) - 1; i >= 0; --i)
    if (objects_[static_cast<std::size_t>(i)].rect.Contains(x, y)) return i;
  return -1;
}

PaletteRect PaletteEditorForm::SizeHandle(const PaletteRect& box) {
  return {box.right() - kHandleSize / 2, box.bottom() - kHandleSize / 2, kHandleSize, kHandleSize};
}

bool PaletteEditorForm::OnSizeHandle(int x, int y) const {
  if (selected_ < 0) return false;
  const PaletteObject& o = objects_[static_cast<std::size_t>(selected_)];
  return o.box() && SizeHandle(o.rect).Contains(x, y);
}

void PaletteEditorForm::MarkRectangle(int x0, int y0, int x1, int y1) {
  const PaletteRect band{std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0) + 1,
                         std::abs(y1 - y0) + 1};
  selected_ = -1;
  for (std::size_t i = 0; i < objects_.size(); ++i)
    marks_[i] = objects_[i].rect.Overlaps(band);
}

void PaletteEditorForm::KeepInside(PaletteRect& r) const {
  r.left = std::max(0, std::min(r.left, surface_.width - r.width));
  r.top = std::max(0, std::min(r.top, surface_.height - r.height));
}

void PaletteEditorForm::DragTo(int index, int left, int top, bool snap) {
  if (index < 0 || index >= static_cast<int>(objects_.size())) return;
  const PaletteRect& from = objects_[static_cast<std::size_t>(index)].rect;
  const bool group = marked(index);
  // The moved objects' common frame is kept inside, so a group keeps its shape.
  PaletteRect frame = from;
  if (group) {
    int l = from.left, t = from.top, r = from.right(), b = from.bottom();
    for (std::size_t i = 0; i < objects_.size(); ++i) {
      if (!marks_[i]) continue;
      const PaletteRect& o = objects_[i].rect;
      l = std::min(l, o.left);
      t = std::min(t, o.top);
      r = std::max(r, o.right());
      b = std::max(b, o.bottom());
    }
    frame = {l, t, r - l, b - t};
  }
  const int dx0 = SnapToGrid(left, snap) - from.left;
  const int dy0 = SnapToGrid(top, snap) - from.top;
  PaletteRect moved{frame.left + dx0, frame.top + dy0, frame.width, frame.height};
  KeepInside(moved);
  const int dx = moved.left - frame.left;
  const int dy = moved.top - frame.top;
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    if (static_cast<int>(i) != index && !(group && marks_[i])) continue;
    objects_[i].rect.left += dx;
    objects_[i].rect.top += dy;
  }
}

void PaletteEditorForm::ResizeSelected(int width, int height) {
  PaletteObject* o = Selected();
  if (o == nullptr || !o->box()) return;
  o->rect.width =
      std::clamp(width, kMinBoxSize, std::max(kMinBoxSize, surface_.width - o->rect.left));
  o->rect.height =
      std::clamp(height, kMinBoxSize, std::max(kMinBoxSize, surface_.height - o->rect.top));
}

PaletteObject* PaletteEditorForm::Selected() {
  if (selected_ < 0 || selected_ >= static_cast<int>(objects_.size())) return nullptr;
  return &objects_[static_cast<std::size_t>(selected_)];
}

void PaletteEditorForm::Measure(PaletteObject& label) const {
  if (label.caption.empty()) label.caption = " ";
  const auto [w, h] = measure_ ? measure_(label.caption, label.font) : std::pair{0, 0};
  label.rect.width = std::max(1, w);
  label.rect.height = std::max(1, h);
}

bool PaletteEditorForm::Add(PaletteObject object) {
  if (static_cast<int>(objects_.size()) >= kPaletteObjectLimit) return false;
  objects_.push_back(std::move(object));
  marks_.push_back(false);
  selected_ = static_cast<int>(objects_.size()) - 1;
  return true;
}

bool PaletteEditorForm::CreateLabel() {
  PaletteObject o;
  o.kind = PaletteObjectKind::kLabel;
  o.caption = "Label";
  o.font = label_font_;
  Measure(o);
  if (!Add(std::move(o))) return false;
  Select(selected_);
  return true;
}

bool PaletteEditorForm::CreateBox() {
  PaletteObject o;
  o.kind = PaletteObjectKind::kBox;
  o.variable = 0;
  o.font = box_font_;
  o.rect = {0, 0, kNewBoxWidth, box_font_.size + 5};
  if (!Add(std::move(o))) return false;
  Select(selected_);
  return true;
}

void PaletteEditorForm::Clear() {
  objects_.clear();
  marks_.clear();
  selected_ = -1;
}

bool PaletteEditorForm::Copy() {
  const PaletteObject* o = Selected();
  if (o == nullptr) return false;
  clipboard_ = *o;
  // A pasted box starts at its initial value.
  clipboard_->value = clipboard_->initial;
  return true;
}

void PaletteEditorForm::RemoveMarkedOrSelected() {
  if (selected_ >= 0) marks_[static_cast<std::size_t>(selected_)] = true;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < objects_.size(); ++i)
    if (!marks_[i]) objects_[kept++] = std::move(objects_[i]);
  objects_.resize(kept);
  marks_.assign(kept, false);
  selected_ = -1;
}

bool PaletteEditorForm::Cut() {
  return DeleteSelection();
}

bool PaletteEditorForm::DeleteSelection() {
  if (selected_ < 0 && markedCount() == 0) return false;
  Copy();
  RemoveMarkedOrSelected();
  return true;
}

bool PaletteEditorForm::Paste() {
  if (!clipboard_) return false;
  PaletteObject o = *clipboard_;
  o.rect.left += kPasteOffset;
  o.rect.top += kPasteOffset;
  KeepInside(o.rect);
  if (!Add(std::move(o))) return false;
  Select(selected_);
  return true;
}

PropertyOutcome PaletteEditorForm::SetCaption(std::string_view text) {
  PaletteObject* o = Selected();
  if (o == nullptr || o->box()) return {};
  // A caption the document cannot hold would be stored with "?" in place of
  // the characters: refused, so that what the user sees is what is saved.
  if (utf8_to_cp932(text).lossy) return Refused(kCaptionNotStorableMessage);
  o->caption = std::string(text);
  Measure(*o);
  KeepInside(o->rect);
  return Outcome(text.empty());
}

PropertyOutcome PaletteEditorForm::SetMinimum(std::string_view text) {
  PaletteObject* o = Selected();
  const std::optional<double> v = ParseEntry(text);
  if (o == nullptr || !o->box() || !v) return {};
  const double stored = std::max(*v, -kPaletteValueLimit);
  if (stored > o->maximum) return Refused(kMinimumAboveMaximumMessage);
  o->minimum = stored;
  o->initial = ClampToBox(*o, o->initial);
  return Outcome(stored != *v);
}

PropertyOutcome PaletteEditorForm::SetMaximum(std::string_view text) {
  PaletteObject* o = Selected();
  const std::optional<double> v = ParseEntry(text);
  if (o == nullptr || !o->box() || !v) return {};
  const double stored = std::min(*v, kPaletteValueLimit);
  if (stored < o->minimum) return Refused(kMinimumAboveMaximumMessage);
  o->maximum = stored;
  o->initial = ClampToBox(*o, o->initial);
  return Outcome(stored != *v);
}

PropertyOutcome PaletteEditorForm::SetInitial(std::string_view text) {
  PaletteObject* o = Selected();
  const std::optional<double> v = ParseEntry(text);
  if (o == nullptr || !o->box() || !v) return {};
  o->initial = ClampToBox(*o, *v);
  return Outcome(o->initial != *v);
}

PropertyOutcome PaletteEditorForm::SetStep(std::string_view text) {
  PaletteObject* o = Selected();
  const std::optional<double> v = ParseEntry(text);
  if (o == nullptr || !o->box() || !v) return {};
  // A step of 0 would leave the arrows and an animation without effect.
  if (*v <= 0) return Refused(kStepNotPositiveMessage);
  o->step = std::min(*v, kPaletteStepLimit);
  return Outcome(o->step != *v);
}

bool PaletteEditorForm::SetVariable(int index, const std::vector<VariableUse>& uses) {
  PaletteObject* o = Selected();
  if (o == nullptr || !o->box() || index < 0 || index >= kPaletteVariableCount) return false;
  if (static_cast<std::size_t>(index) < uses.size() &&
      uses[static_cast<std::size_t>(index)] == VariableUse::kNotFree)
    return false;
  o->variable = index;
  return true;
}

void PaletteEditorForm::SetFont(const PaletteFont& font) {
  PaletteObject* o = Selected();
  if (o == nullptr) return;
  o->font = font;
  (o->box() ? box_font_ : label_font_) = font;
  if (!o->box()) {
    Measure(*o);
    KeepInside(o->rect);
  }
}

void PaletteEditorForm::SetColour(std::uint32_t colour) {
  const PaletteObject* o = Selected();
  if (o == nullptr) return;
  PaletteFont f = o->font;
  f.colour = colour;
  SetFont(f);
}

int PaletteEditorForm::AddObjects(const std::vector<PaletteObject>& objects) {
  int added = 0;
  for (PaletteObject o : objects) {
    if (!o.box()) Measure(o);
    if (!Add(std::move(o))) break;
    ++added;
  }
  selected_ = -1;
  std::fill(marks_.begin(), marks_.end(), false);
  return added;
}

std::optional<std::string> PaletteEditorForm::DuplicateVariable() const {
  std::set<int> seen;
  for (const PaletteObject& o : objects_)
    if (o.box() && !seen.insert(o.variable).second) return VariableIndexName(o.variable);
  return std::nullopt;
}

void PaletteEditorForm::Store(Screen& screen, bool use_current) const {
  ResetPalette(screen.PaletteItems);
  std::size_t entry = 0;
  for (const PaletteObject& o : objects_)
    if (!o.box()) StoreLabel(screen.PaletteItems[entry++], o);
  for (const PaletteObject& o : objects_) {
    if (!o.box()) continue;
    const PaletteVariable v = VariableOfIndex(o.variable);
    // The palette writes its boxes' values into the variables, so only a
    // value inside the box's range is stored.
    const double value = use_current
                             ? ClampToBox(o, screen.Variables().cell(v.row, v.column()).value())
                             : ClampToBox(o, o.initial);
    StoreBox(screen.PaletteItems[entry++], o, value);
  }
  screen.View().PaletteWidth = surface_.width;
  screen.View().PaletteHeight = surface_.height;
  screen.Modified = true;
}

int ApplyStoredPaletteValues(Screen& screen, FigureExpressions& expressions) {
  int changed = 0;
  for (const PaletteItem& item : screen.PaletteItems) {
    if (item.Kind() != kPaletteVariableBox) continue;
    const int index = ItemInt(item, kPaletteVariableBox, "Variable");
    if (index < 0 || index >= kPaletteVariableCount) continue;
    if (ApplyVariableValue(screen, VariableOfIndex(index),
                           ItemNumber(item, kPaletteVariableBox, "Value"), expressions))
      ++changed;
  }
  return changed;
}

}  // namespace qzarn
