#pragma once
// Loci (軌跡): the trace a figure leaves while the variables it depends on
// change. Points, lines, parabolas and circles keep a ring of their last 500
// positions inside their record as 32-bit floats; function curves keep whole
// copies of their sampled curve (up to 500) beside the record.
//
// Ring counter (TrackCount): -1 empty, then the index of the newest entry,
// counting on past 499 up to 999 and dropping back to 500, so the newest entry
// is always at counter mod 500 and a full ring is told from a partial one.

#include <cstdint>

#include "document/figure_table.h"

namespace qzarn {

class Screen;

inline constexpr int kLocusRingSize = 500;
inline constexpr int kLocusSnapshotLimit = 500;
// Two recorded values closer than this are the same position.
inline constexpr double kLocusStillTolerance = 1e-6;

// Stored entries of a ring with this counter: 0 for an empty ring, at most 500.
int LocusEntryCount(std::int32_t track_count);
// The counter after one more entry: -1 → 0, then +1, 1000 → 500.
std::int32_t NextLocusCount(std::int32_t track_count);

// Whether the figure's type can carry a locus, and whether its switch is on
// (Track, PaintFlag or KisekiF as the family has it).
bool CanHaveLocus(std::int32_t type);
bool LocusOn(const FigureRecord& record);
// Whether anything is stored (any counter of the figure >= 0).
bool HasLocusEntries(const FigureRecord& record);

// Appends the figure's current position to its ring(s) when the switch is on and
// it moved; returns whether an entry was stored. Function curves use
// TakeLocusSnapshot instead; figures without a locus record nothing.
bool RecordLocus(FigureRecord& record);
// Appends (or, once 500 exist, replaces the oldest) a copy of the function's
// current samples when its curve locus is on; returns whether one was stored.
bool TakeLocusSnapshot(FigureRecord& record);
// The engine's hook after a figure was computed successfully: a function takes a
// curve snapshot, other figures record their position. Sets the screen's Modified
// when something was stored.
bool RecordLocus(Screen& screen, int slot);

// Empties the figure's locus; a function with a valid curve keeps that curve as
// its first snapshot at once. The caller redraws.
void ClearLocus(FigureRecord& record);
void ClearAllLoci(Screen& screen);
// Whether any figure of the screen has its locus switch on.
bool AnyLocusOn(const Screen& screen);

}  // namespace qzarn
