#include "forms/figure_list.h"

#include <cstdio>
#include <string_view>

#include "document/screen.h"
#include "engine/engine_ui.h"
#include "engine/locus.h"
#include "engine/number_format.h"
#include "engine/references.h"
#include "platform/text_encoding.h"

namespace qzarn {

namespace {

constexpr std::string_view kReferenceSuffix = "を参照";
constexpr std::string_view kXAxisName = "ｘ軸";
constexpr std::string_view kYAxisName = "ｙ軸";
constexpr std::string_view kHiddenMark = " ×";
constexpr std::string_view kCycleMark = "循環";
constexpr std::string_view kLocusMark = " ○";
// The relation of an implicit function or region, by its Mode 0..4.
constexpr std::array<std::string_view, 5> kRelations = {"＝０", "＞０", "≧０", "＜０", "≦０"};

std::string Utf8(std::string_view cp932) {
  return cp932_to_utf8(cp932);
}

std::string_view FunctionKindWord(const FunctionRecord& f) {
  switch (f.FuncKind) {
    case 1:
      return "陽関数";
    case 2:
      return "媒介変数";
    case 3:
      return "極方程式";
    case 4:
      return f.Mode == 0 ? "陰関数" : "領域";
    default:
      return "";
  }
}

std::string_view KindWord(const FigureRecord& r) {
  switch (r.type()) {
    case kPointFigure:
      return "点";
    case kBuntenFigure:
      return "分点";
    case kCrossFigure:
    case kCross2Figure:
    case kCross3Figure:
      return "交点";
    case kLineFigure:
      return r.line()->DispB ? "線分" : "直線";
    case kParabolaFigure:
      return "放物線";
    case kCircleFigure:
      return "円";
    case kSuisenFigure:
      return "垂線の足";
    case kAngleFigure:
      return "角の等分";
    case kAngle2Figure:
      return "角度";
    case kPolyFigure:
      return "多角形";
    case kSplineFigure:
      return "ｽﾌﾟﾗｲﾝ曲線";
    case kFunctionFigure:
      return FunctionKindWord(*r.function());
    case kMensekiFigure:
      return "面積";
    case kSessenFigure:
      return r.line()->YaTyp == 1 ? "法線" : "接線";  // TangentKind
    case kOleFigure:
      return "ｵﾌﾞｼﾞｪｸﾄ";
    case kCharFigure:
      return "文字領域";
    default:
      return "";
  }
}

// The names of the points of an intersection set that have one, joined by ",".
std::string Cross3Names(const MultiPointRecord& r) {
  std::string out;
  for (const FigureName& name : r.Names) {
    if (name.empty()) continue;
    if (!out.empty()) out += ",";
    out += Utf8(name.view());
  }
  return out;
}

std::string DisplayNameOf(const FigureRecord& r) {
  std::string out(KindWord(r));
  if (r.type() == kCharFigure) return out;
  if (r.type() == kCross3Figure) return out + Cross3Names(*r.multi_point());
  return out + Utf8(r.name());
}

// Reference fields in which -1 and -2 stand for the axes rather than for none.
bool IsAxisField(std::int32_t type, int field) {
  switch (type) {
    case kSuisenFigure:
      return field == 1;
    case kCross2Figure:
    case kCross3Figure:
    case kMensekiFigure:
      return field <= 1;
    default:
      return false;
  }
}

// What the content column calls one referenced figure; empty when the
// reference names nothing.
std::string ReferenceName(const Screen& screen, std::int32_t type, int field, std::int32_t ref) {
  if (ref < 0) {
    if (!IsAxisField(type, field)) return {};
    if (ref == kXAxisReference) return std::string(kXAxisName);
    if (ref == kYAxisReference) return std::string(kYAxisName);
    return {};
  }
  const FigureRecord* target = screen.Figures.record(ReferenceSlot(ref));
  if (target == nullptr) return {};
  // A reference to one point of an intersection set names that point only.
  if (target->type() == kCross3Figure) {
    const int sub = ReferenceSubIndex(ref);
    if (sub < kCross3Points)
      return std::string(KindWord(*target)) + Utf8(target->multi_point()->Names[sub].view());
  }
  return DisplayNameOf(*target);
}

std::string ReferenceList(const Screen& screen, int slot, std::int32_t type) {
  const bool vertex_list = type == kPolyFigure || type == kSplineFigure || type == kCross3Figure;
  const std::string_view separator = vertex_list ? "," : "、";
  const FigureReferences refs = ReferencesOf(screen, slot);
  std::string out;
  for (int i = 0; i < refs.count; ++i) {
    const std::string name = ReferenceName(screen, type, i, refs.refs[static_cast<std::size_t>(i)]);
    if (name.empty()) continue;
    if (!out.empty()) out += separator;
    out += name;
  }
  if (out.empty()) return out;
  return out + std::string(kReferenceSuffix);
}

std::string FunctionContent(const FunctionRecord& f) {
  const std::string x = Utf8(f.FuncX.view());
  switch (f.FuncKind) {
    case 1:
    case 3:
      return "y=" + x;
    case 2:
      return "x=" + x + ", y=" + Utf8(f.FuncY.view());
    case 4:
      if (f.Mode >= 0 && f.Mode < static_cast<std::int32_t>(kRelations.size()))
        return x + std::string(kRelations[static_cast<std::size_t>(f.Mode)]);
      return x;
    default:
      return x;
  }
}

std::string TextBoxContent(const FrameRecord& frame) {
  std::string out;
  for (const auto& line : frame.Text().Lines) {
    if (line.empty()) continue;
    out += Utf8(line.view());
    out += "/";
  }
  return out;
}

// The equation forms of lines and parabolas (and the general form of a
// circle) read no other figure; the list names the form instead.
std::string_view EquationForm(const FigureRecord& r) {
  switch (r.type()) {
    case kLineFigure:
    case kParabolaFigure:
      return r.line()->Mode == 1 ? "一般形" : r.line()->Mode == 2 ? "標準形" : "";
    case kCircleFigure:
      return r.circle()->Mode == 1 ? "一般形" : "";
    default:
      return "";
  }
}

}  // namespace

std::string FigureDisplayName(const Screen& screen, int slot) {
  const FigureRecord* r = screen.Figures.record(slot);
  return r == nullptr ? std::string() : DisplayNameOf(*r);
}

std::string FigureSpokenText(const Screen& screen, int slot) {
  const FigureRecord* r = screen.Figures.record(slot);
  if (r == nullptr) return {};
  std::string out(KindWord(*r));
  const std::string name = r->type() == kCharFigure     ? std::string()
                           : r->type() == kCross3Figure ? Cross3Names(*r->multi_point())
                                                        : Utf8(r->name());
  if (!name.empty()) out += " " + name;
  // A point is where it was last computed; one that could not be computed has
  // no position to tell.
  if (const PointRecord* p = r->point(); p != nullptr && screen.Figures[slot].Computed != 0)
    out += " (" + FormatNumber(p->X, kSpokenDecimals) + ", " + FormatNumber(p->Y, kSpokenDecimals) +
           ")";
  else if (const std::string content = FigureContentText(screen, slot); !content.empty())
    out += " " + content;
  return out;
}

std::string FigureContentText(const Screen& screen, int slot) {
  const FigureRecord* r = screen.Figures.record(slot);
  if (r == nullptr) return {};
  if (const std::string_view form = EquationForm(*r); !form.empty()) return std::string(form);
  if (r->type() == kFunctionFigure) return FunctionContent(*r->function());
  if (r->type() == kCharFigure) return TextBoxContent(*r->frame());
  return ReferenceList(screen, slot, r->type());
}

std::string FigureListNumber(int row) {
  char text[16];
  std::snprintf(text, sizeof text, "%4d", row);
  return text;
}

FigureList::FigureList(Screen& screen) : screen_(screen) {
  for (int i = 0; i < kFigureSlots; ++i) {
    const FigureSlot& s = screen.Figures[i];
    slots_[static_cast<std::size_t>(i)] = {s.FigureType, s.Computed, s.Marked};
  }
  Refill();
}

FigureListRow FigureList::MakeRow(int slot) const {
  FigureListRow row;
  row.slot = slot;
  const FigureRecord* r = screen_.Figures.record(slot);
  if (r == nullptr) return row;
  row.name = DisplayNameOf(*r);
  row.content = FigureContentText(screen_, slot);
  if (slots_[static_cast<std::size_t>(slot)].Computed == 0)
    row.shown = kCycleMark;
  else if (!FigureShown(*r))
    row.shown = kHiddenMark;
  if (LocusOn(*r)) row.locus = kLocusMark;
  return row;
}

void FigureList::Refill() {
  rows_.assign(kFigureSlots, FigureListRow{});
  std::size_t next = 0;
  for (int i = 0; i < kFigureSlots; ++i) {
    if (slots_[static_cast<std::size_t>(i)].FigureType == kNoFigure) continue;
    if (screen_.Figures.record(i) == nullptr) continue;
    rows_[next++] = MakeRow(i);
  }
  for (std::size_t r = 0; r < rows_.size(); ++r)
    rows_[r].number = FigureListNumber(static_cast<int>(r) + 1);
}

int FigureList::SlotOfRow(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return -1;
  return rows_[static_cast<std::size_t>(row)].slot;
}

int FigureList::RowOfSlot(int slot) const {
  if (slot < 0) return -1;
  for (std::size_t r = 0; r < rows_.size(); ++r)
    if (rows_[r].slot == slot) return static_cast<int>(r);
  return -1;
}

// Depth first over the list's copy, with the search count and limit of the
// screen's own cascade delete, so both remove the same figures.
void FigureList::MarkDependents(int target, int& searches) {
  if (searches >= kDependentSearchLimit) return;
  ++searches;
  for (int i = 0; i < kFigureSlots; ++i) {
    SlotState& s = slots_[static_cast<std::size_t>(i)];
    if (s.FigureType == kNoFigure || s.Marked != 0) continue;
    const FigureReferences refs = ReferencesOf(screen_, i);
    bool refers = false;
    for (int k = 0; k < refs.count && !refers; ++k)
      refers = RefersTo(refs.refs[static_cast<std::size_t>(k)], target);
    if (!refers) continue;
    s.Marked = 1;
    MarkDependents(i, searches);
  }
}

int FigureList::Delete(int slot, EngineUi& ui) {
  if (slot < 0 || slot >= kFigureSlots) return 0;
  if (slots_[static_cast<std::size_t>(slot)].FigureType == kNoFigure) return 0;
  for (SlotState& s : slots_)
    s.Marked = 0;
  slots_[static_cast<std::size_t>(slot)].Marked = 1;
  int searches = 0;
  MarkDependents(slot, searches);
  int marked = 0;
  for (const SlotState& s : slots_)
    marked += s.Marked != 0 ? 1 : 0;
  if (marked > 1 && !ui.AskYesNo(kDeleteDependentsQuestion)) {
    for (SlotState& s : slots_)
      s.Marked = 0;
    return 0;
  }
  for (SlotState& s : slots_) {
    if (s.Marked == 0) continue;
    s = SlotState{};
  }
  Refill();
  return marked;
}

bool FigureList::Deleted(int slot) const {
  if (slot < 0 || slot >= kFigureSlots) return false;
  return slots_[static_cast<std::size_t>(slot)].FigureType == kNoFigure &&
         !screen_.Figures[slot].empty();
}

int FigureList::DeletedCount() const {
  int n = 0;
  for (int i = 0; i < kFigureSlots; ++i)
    n += Deleted(i) ? 1 : 0;
  return n;
}

int FigureList::RemoveFiguresReferringToRemoved() {
  int removed = 0;
  for (bool again = true; again;) {
    again = false;
    for (int i = 0; i < kFigureSlots; ++i) {
      SlotState& s = slots_[static_cast<std::size_t>(i)];
      if (s.FigureType == kNoFigure) continue;
      const FigureReferences refs = ReferencesOf(screen_, i);
      for (int k = 0; k < refs.count; ++k) {
        const std::int32_t ref = refs.refs[static_cast<std::size_t>(k)];
        if (ref < 0 || !Deleted(ReferenceSlot(ref))) continue;
        s = SlotState{};
        ++removed;
        again = true;
        break;
      }
    }
  }
  return removed;
}

int FigureList::Apply(const std::function<void()>& take_snapshot) {
  // A property dialog opened from the list may have pointed a figure at one
  // removed in the list; freeing the removed one would leave that reference
  // dangling, so such a figure goes with it.
  RemoveFiguresReferringToRemoved();
  int freed = 0;
  for (int i = 0; i < kFigureSlots; ++i) {
    const SlotState& s = slots_[static_cast<std::size_t>(i)];
    if (Deleted(i)) {
      FreeFigure(screen_.Figures, i);
      ++freed;
    }
    FigureSlot& target = screen_.Figures[i];
    if (target.FigureType != s.FigureType) continue;  // only freed slots differ
    target.Computed = s.Computed;
    target.Marked = s.Marked;
  }
  if (freed > 0) screen_.Modified = true;
  if (take_snapshot) take_snapshot();
  return freed;
}

}  // namespace qzarn
