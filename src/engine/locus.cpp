#include "engine/locus.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "document/screen.h"

namespace qzarn {
namespace {

// A counter read from a file may hold anything; keep the newest entry where
// counter mod 500 says and the wrapped state it implies.
std::int32_t NormalisedCount(std::int32_t count) {
  if (count < 0) return -1;
  if (count >= 2 * kLocusRingSize) return kLocusRingSize + count % kLocusRingSize;
  return count;
}

// The comparison is made at the precision the ring stores: a position whose
// 64-bit value does not round-trip through 32 bits would otherwise look moved
// on every pass and fill the ring with copies of itself.
bool SameAsStored(double value, float stored) {
  return std::fabs(static_cast<double>(static_cast<float>(value)) - static_cast<double>(stored)) <
         kLocusStillTolerance;
}

template <std::size_t N>
bool RecordRing(I32& counter, const std::array<F32*, N>& rings,
                const std::array<double, N>& values) {
  std::int32_t count = NormalisedCount(counter.get());
  if (count >= 0) {
    const int newest = count % kLocusRingSize;
    bool still = true;
    for (std::size_t i = 0; i < N && still; ++i)
      still = SameAsStored(values[i], rings[i][newest].get());
    if (still) return false;
  }
  count = NextLocusCount(count);
  const int slot = count % kLocusRingSize;
  for (std::size_t i = 0; i < N; ++i)
    rings[i][slot] = static_cast<float>(values[i]);
  counter = count;
  return true;
}

bool IsPointLocusType(std::int32_t type) {
  switch (type) {
    case kPointFigure:
    case kBuntenFigure:
    case kCrossFigure:
    case kSuisenFigure:
    case kCross2Figure:
      return true;
    default:
      return false;
  }
}

bool IsLineLocusType(std::int32_t type) {
  return type == kLineFigure || type == kParabolaFigure || type == kSessenFigure;
}

}  // namespace

int LocusEntryCount(std::int32_t track_count) {
  if (track_count < 0) return 0;
  return std::min(track_count, kLocusRingSize - 1) + 1;
}

std::int32_t NextLocusCount(std::int32_t track_count) {
  if (track_count < 0) return 0;
  std::int32_t next = NormalisedCount(track_count) + 1;
  if (next == 2 * kLocusRingSize) next = kLocusRingSize;
  return next;
}

bool CanHaveLocus(std::int32_t type) {
  return IsPointLocusType(type) || IsLineLocusType(type) || type == kCircleFigure ||
         type == kFunctionFigure || type == kCross3Figure;
}

bool LocusOn(const FigureRecord& r) {
  const std::int32_t type = r.type();
  if (IsPointLocusType(type)) return r.point()->Track;
  if (IsLineLocusType(type)) return r.line()->PaintFlag;
  if (type == kCircleFigure) return r.circle()->PaintFlag;
  if (type == kFunctionFigure) return r.function()->KisekiF;
  if (type == kCross3Figure) return r.multi_point()->Track;
  return false;
}

bool HasLocusEntries(const FigureRecord& r) {
  const std::int32_t type = r.type();
  if (IsPointLocusType(type)) return r.point()->TrackCount >= 0;
  if (IsLineLocusType(type)) return r.line()->TrackCount >= 0;
  if (type == kCircleFigure) return r.circle()->TrackCount >= 0;
  if (type == kFunctionFigure) return !r.owned.KisekiList.empty();
  if (const MultiPointRecord* m = r.multi_point())
    return std::any_of(std::begin(m->TrackCount), std::end(m->TrackCount),
                       [](const I32& c) { return c >= 0; });
  return false;
}

bool RecordLocus(FigureRecord& r) {
  if (!LocusOn(r)) return false;
  const std::int32_t type = r.type();
  if (IsPointLocusType(type)) {
    PointRecord& p = *r.point();
    return RecordRing<2>(p.TrackCount, {p.TrackX, p.TrackY}, {p.X.get(), p.Y.get()});
  }
  if (IsLineLocusType(type)) {
    LineRecord& l = *r.line();
    return RecordRing<4>(l.TrackCount, {l.TrackX0, l.TrackY0, l.TrackX1, l.TrackY1},
                         {l.X0.get(), l.Y0.get(), l.X1.get(), l.Y1.get()});
  }
  if (type == kCircleFigure) {
    CircleRecord& c = *r.circle();
    return RecordRing<3>(c.TrackCount, {c.TrackCX, c.TrackCY, c.TrackR},
                         {c.X0.get(), c.Y0.get(), c.RadiusValue.get()});
  }
  if (type == kCross3Figure) {
    // Each point of the set moves on its own: one that stayed adds nothing.
    MultiPointRecord& m = *r.multi_point();
    bool stored = false;
    for (int i = 0; i < kCross3Points; ++i)
      stored |= RecordRing<2>(m.TrackCount[i], {m.TrackX[i], m.TrackY[i]},
                              {m.PX[i].get(), m.PY[i].get()});
    return stored;
  }
  return false;
}

bool TakeLocusSnapshot(FigureRecord& r) {
  FunctionRecord* f = r.function();
  if (f == nullptr || !f->KisekiF) return false;
  const FigureOwned& owned = r.owned;
  const std::size_t available = std::min(owned.SampleX.size(), owned.SampleY.size());
  const std::size_t n =
      f->SampleLast < 0 ? 0 : std::min(static_cast<std::size_t>(f->SampleLast) + 1, available);
  const std::span<const float> xs(owned.SampleX.data(), n), ys(owned.SampleY.data(), n);
  CurveLocus& list = r.owned.KisekiList;
  std::int32_t count = f->TrackCount;
  // A counter that does not match the list (a damaged file) is read by the list itself.
  if (count < kLocusSnapshotLimit || list.size() < static_cast<std::size_t>(kLocusSnapshotLimit)) {
    if (list.size() < static_cast<std::size_t>(kLocusSnapshotLimit)) {
      list.push_back(xs, ys);
      f->TrackCount = static_cast<std::int32_t>(list.size());
      return true;
    }
    count = kLocusSnapshotLimit;
  }
  count = NormalisedCount(count);
  list.replace(static_cast<std::size_t>(count % kLocusSnapshotLimit), xs, ys);
  ++count;
  if (count == 2 * kLocusSnapshotLimit) count = kLocusSnapshotLimit;
  f->TrackCount = count;
  return true;
}

bool RecordLocus(Screen& screen, int slot) {
  FigureRecord* r = screen.Figures.record(slot);
  if (r == nullptr) return false;
  const bool stored = r->type() == kFunctionFigure ? TakeLocusSnapshot(*r) : RecordLocus(*r);
  if (stored) screen.Modified = true;
  return stored;
}

void ClearLocus(FigureRecord& r) {
  const std::int32_t type = r.type();
  if (FamilyOf(type) == LayoutFamily::kPoint) {
    r.point()->TrackCount = -1;
  } else if (FamilyOf(type) == LayoutFamily::kLine) {
    r.line()->TrackCount = -1;
  } else if (type == kCircleFigure) {
    r.circle()->TrackCount = -1;
  } else if (type == kCross3Figure) {
    for (I32& c : r.multi_point()->TrackCount)
      c = -1;
  } else if (type == kFunctionFigure) {
    FunctionRecord& f = *r.function();
    f.TrackCount = -1;
    r.owned.KisekiList.clear();
    // The present curve stays as the first entry of the emptied locus.
    if (f.CurveValid) TakeLocusSnapshot(r);
  }
}

void ClearAllLoci(Screen& screen) {
  for (FigureSlot& slot : screen.Figures.slots())
    if (!slot.empty() && !slot.Record.empty()) ClearLocus(slot.Record);
}

bool AnyLocusOn(const Screen& screen) {
  for (const FigureSlot& slot : screen.Figures.slots())
    if (!slot.empty() && !slot.Record.empty() && LocusOn(slot.Record)) return true;
  return false;
}

}  // namespace qzarn
