#pragma once
// The figure clipboard: one copied figure record shared by all screens, and
// the insertion of a copy (pasted or dragged in from another screen) into a
// screen.

#include <optional>

#include "document/figure_table.h"

namespace qzarn {
class Screen;
}

namespace qzarn::forms {

// Clears what ties a copied record to the screen it came from: references
// become none, names empty (a text box is named "??"), loci are switched off
// and emptied, run-time data is dropped and the reserved block gets its
// creation values. The record keeps its coordinates and attributes.
void DetachCopy(FigureRecord& record);

// A copy of the figure in the slot as it stands now, for another screen or a
// later paste: where a reference to a point will not come along, the text it
// overrides takes the point's present position (a circle's radius text the
// present distance to the point on it), so the copy lies where the figure
// lies, not where it was first made. Empty for an empty slot.
FigureRecord SettledCopy(const Screen& screen, int index);

// The copied figure of the program, or none. The record is a copy that owns
// everything it holds: freeing the original leaves it intact and vice versa.
class CopiedFigure {
 public:
  bool held() const { return record_.has_value(); }
  const FigureRecord* record() const { return record_ ? &*record_ : nullptr; }
  void drop() { record_.reset(); }
  // Holds a settled copy of the screen's selected figure; with nothing
  // selected the previous copy is dropped and false returned.
  bool CopyFrom(const Screen& screen);

 private:
  std::optional<FigureRecord> record_;
};

// Puts a detached copy of `copied` into the lowest free slot of the screen
// (a function is marked for resampling). Returns the slot, or nothing when the
// table is full or the record is empty. The selection is left as it was.
std::optional<int> InsertCopy(Screen& screen, const FigureRecord& copied);

}  // namespace qzarn::forms
