#include "engine/references.h"

#include "engine/engine_ui.h"
#include "engine/screen_access.h"

namespace qzarn {

namespace {

bool IsPointFigure(std::int32_t type) {
  return type == kPointFigure || type == kBuntenFigure || type == kCrossFigure ||
         type == kSuisenFigure || type == kCross2Figure;
}

bool IsLineFigure(std::int32_t type) {
  return type == kLineFigure || type == kAngleFigure || type == kSessenFigure;
}

}  // namespace

PlanePoint PointOfReference(const Screen& screen, std::int32_t ref) {
  if (ref < 0) return kOffPlanePoint;
  const int index = ReferenceSlot(ref);
  const std::int32_t type = FigureTypeAt(screen, index);
  if (IsPointFigure(type)) {
    const PointRecord& r = RecordAt<PointRecord>(screen, index);
    return {r.X, r.Y};
  }
  if (type == kCross3Figure) {
    const int sub = ReferenceSubIndex(ref);
    if (sub >= kCross3Points) return kOffPlanePoint;
    const MultiPointRecord& r = RecordAt<MultiPointRecord>(screen, index);
    return {r.PX[sub], r.PY[sub]};
  }
  return kOffPlanePoint;
}

LinePoints LineOfReference(const Screen& screen, std::int32_t ref) {
  if (ref < 0) return kOffPlaneLine;
  const int index = ReferenceSlot(ref);
  if (!IsLineFigure(FigureTypeAt(screen, index))) return kOffPlaneLine;
  const LineRecord& r = RecordAt<LineRecord>(screen, index);
  return {{r.X0, r.Y0}, {r.X1, r.Y1}};
}

namespace {

// How many of the type's reference fields the figure's definition form reads:
// only the two-point forms of lines and parabolas and the point forms of
// circles take points from other figures; the equation forms keep whatever
// their reference fields hold without reading it.
int UsedReferenceCount(const FigureRecord& record) {
  switch (record.type()) {
    case kLineFigure:
    case kParabolaFigure:
      return record.line()->Mode == 0 ? 2 : 0;
    case kCircleFigure: {
      const std::int32_t mode = record.circle()->Mode;
      return mode == 0 ? 2 : mode == 3 ? 3 : 0;
    }
    default:
      return ReferenceCount(record.type());
  }
}

}  // namespace

FigureReferences ReferencesOf(const Screen& screen, int index) {
  FigureReferences out;
  const FigureRecord* record = screen.Figures.record(index);
  if (record == nullptr) return out;
  const int count = UsedReferenceCount(*record);
  for (int i = 0; i < count; ++i)
    out.push(ReferenceAt(*record, i));
  return out;
}

namespace {

bool FigureRefersTo(const Screen& screen, int index, int target) {
  const FigureReferences refs = ReferencesOf(screen, index);
  for (int i = 0; i < refs.count; ++i)
    if (RefersTo(refs.refs[static_cast<std::size_t>(i)], target)) return true;
  return false;
}

// Marks, depth first, every figure that refers to `target`; the searches
// started are counted and stop at the limit.
void MarkDependents(Screen& screen, int target, int& searches) {
  if (searches >= kDependentSearchLimit) return;
  ++searches;
  for (int i = 0; i < kFigureSlots; ++i) {
    if (FigureTypeAt(screen, i) == kNoFigure || IsMarked(screen, i)) continue;
    if (!FigureRefersTo(screen, i, target)) continue;
    SetMarked(screen, i, true);
    MarkDependents(screen, i, searches);
  }
}

}  // namespace

std::vector<int> FigureAndDependents(const Screen& screen, int index) {
  const FigureTable& table = screen.Figures;
  if (table.record(index) == nullptr || table.record(index)->empty()) return {};
  const int seed[] = {index};
  return FiguresAndDependents(screen, seed);
}

std::vector<int> FiguresAndDependents(const Screen& screen, std::span<const int> seeds) {
  const FigureTable& table = screen.Figures;
  const int last = LastFigureIndex(screen);
  if (last < 0) return {};
  // Who refers to whom, turned round once, then one walk from the figure.
  std::vector<std::vector<int>> referrers(static_cast<std::size_t>(last) + 1);
  for (int i = 0; i <= last; ++i) {
    const FigureRecord* record = table.record(i);
    if (record == nullptr || record->empty()) continue;
    const int n = ReferenceCount(record->type());
    for (int k = 0; k < n; ++k) {
      const std::int32_t ref = ReferenceAt(*record, k);
      if (ref < 0) continue;
      const int target = ReferenceSlot(ref);
      if (target <= last) referrers[static_cast<std::size_t>(target)].push_back(i);
    }
  }
  std::vector<bool> reached(static_cast<std::size_t>(last) + 1, false);
  std::vector<int> pending;
  for (int seed : seeds) {
    if (seed < 0 || seed > last || reached[static_cast<std::size_t>(seed)]) continue;
    const FigureRecord* record = table.record(seed);
    if (record == nullptr || record->empty()) continue;
    reached[static_cast<std::size_t>(seed)] = true;
    pending.push_back(seed);
  }
  while (!pending.empty()) {
    const int at = pending.back();
    pending.pop_back();
    for (int referrer : referrers[static_cast<std::size_t>(at)]) {
      if (reached[static_cast<std::size_t>(referrer)]) continue;
      reached[static_cast<std::size_t>(referrer)] = true;
      pending.push_back(referrer);
    }
  }
  std::vector<int> out;
  for (int i = 0; i <= last; ++i)
    if (reached[static_cast<std::size_t>(i)]) out.push_back(i);
  return out;
}

bool DeleteWithDependents(Screen& screen, int index, EngineUi& ui) {
  if (index < 0 || index >= kFigureSlots) return false;
  const int last = LastFigureIndex(screen);
  for (int i = 0; i <= last; ++i)
    SetMarked(screen, i, false);
  SetMarked(screen, index, true);
  int searches = 0;
  MarkDependents(screen, index, searches);
  if (searches >= 2 && !ui.AskYesNo(kDeleteDependentsQuestion)) return false;
  for (int i = 0; i <= last; ++i)
    if (IsMarked(screen, i)) DeleteFigureAt(screen, i);
  return true;
}

}  // namespace qzarn
