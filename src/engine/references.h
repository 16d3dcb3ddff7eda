#pragma once
// How figures refer to each other: reading a reference as a point or a line,
// the reference fields each figure uses, and the cascade delete.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "document/figure_table.h"
#include "engine/geometry_values.h"

namespace qzarn {

class EngineUi;
class Screen;

// The coordinates of a point figure (point, dividing point, intersection, foot,
// intersection of functions; one point of an intersection set by sub-index).
// Anything else - no reference, an empty slot, another kind - is off the plane.
PlanePoint PointOfReference(const Screen& screen, std::int32_t ref);

// The two points of a line figure (line, angle division, tangent); anything
// else is four off-plane values.
LinePoints LineOfReference(const Screen& screen, std::int32_t ref);

// The reference fields a figure uses in its current definition form, in
// field order, -1 entries included.
struct FigureReferences {
  std::array<std::int32_t, 31> refs{};
  int count = 0;
  void push(std::int32_t ref) { refs[static_cast<std::size_t>(count++)] = ref; }
};
FigureReferences ReferencesOf(const Screen& screen, int index);

// The figure in `index` and every figure that refers to it, directly or
// through others, in slot order: what a change of that figure alone can
// reach in a recompute. Every reference field counts, used by the current
// definition form or not, so the set is never too small. Empty for an empty slot.
std::vector<int> FigureAndDependents(const Screen& screen, int index);

// The same for several figures at once: every non-empty slot of `seeds` and
// every figure referring to one of them, directly or through others, in slot
// order, each once.
std::vector<int> FiguresAndDependents(const Screen& screen, std::span<const int> seeds);

// The most dependents searches one cascade delete starts.
inline constexpr int kDependentSearchLimit = 101;

// Deletes the figure in slot `index` together with every figure that refers to
// it, directly or through others. When there are such figures the user is asked
// first, and No leaves everything in place. Returns false when the index lies
// outside 0..500 (ignored) or the user answered No.
bool DeleteWithDependents(Screen& screen, int index, EngineUi& ui);

}  // namespace qzarn
