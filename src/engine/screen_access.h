#pragma once
// The engine's view of a screen's figure table: slot states and records seen
// through their layouts. Callers pass indices of non-empty slots of the
// matching family to RecordAt.

#include <cassert>
#include <cstdint>

#include "document/figure_table.h"
#include "document/screen.h"

namespace qzarn {

inline int LastFigureIndex(const Screen& screen) {
  return screen.Figures.LastIndex < kLastSlot ? screen.Figures.LastIndex : kLastSlot;
}

// The type in the slot; kNoFigure for an empty slot or an index outside 0..500.
inline std::int32_t FigureTypeAt(const Screen& screen, int index) {
  const FigureSlot* slot = screen.Figures.slot(index);
  return slot == nullptr ? kNoFigure : slot->FigureType;
}

template <class Layout>
Layout& RecordAt(Screen& screen, int index);
template <class Layout>
const Layout& RecordAt(const Screen& screen, int index);

#define QZARN_RECORD_AT(Layout, view)                                      \
  template <>                                                              \
  inline Layout& RecordAt<Layout>(Screen & screen, int index) {            \
    Layout* r = screen.Figures[index].Record.view();                       \
    assert(r != nullptr);                                                  \
    return *r;                                                             \
  }                                                                        \
  template <>                                                              \
  inline const Layout& RecordAt<Layout>(const Screen& screen, int index) { \
    const Layout* r = screen.Figures[index].Record.view();                 \
    assert(r != nullptr);                                                  \
    return *r;                                                             \
  }
QZARN_RECORD_AT(PointRecord, point)
QZARN_RECORD_AT(LineRecord, line)
QZARN_RECORD_AT(CircleRecord, circle)
QZARN_RECORD_AT(FunctionRecord, function)
QZARN_RECORD_AT(FrameRecord, frame)
QZARN_RECORD_AT(PolygonRecord, polygon)
QZARN_RECORD_AT(MultiPointRecord, multi_point)
#undef QZARN_RECORD_AT

inline bool IsComputed(const Screen& screen, int index) {
  return screen.Figures[index].Computed != 0;
}
inline void SetComputed(Screen& screen, int index, bool computed) {
  screen.Figures[index].Computed = computed ? 1 : 0;
}
inline bool IsMarked(const Screen& screen, int index) {
  return screen.Figures[index].Marked != 0;
}
inline void SetMarked(Screen& screen, int index, bool marked) {
  screen.Figures[index].Marked = marked ? 1 : 0;
}

inline VariableTable& VariablesOf(Screen& screen) {
  return screen.Variables();
}
inline EquationBlock& EquationsOf(Screen& screen) {
  return screen.Equations;
}
inline bool& CycleReportedOf(Screen& screen) {
  return screen.CycleReported;
}
inline void MarkModified(Screen& screen) {
  screen.Modified = true;
}
inline void DeleteFigureAt(Screen& screen, int index) {
  FreeFigure(screen.Figures, index);
}

}  // namespace qzarn
