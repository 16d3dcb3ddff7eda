#pragma once
// The model behind the figure list (図形リスト): the rows shown for a screen and
// the deletions made in the list. The list works on its own copy of the slot
// states (type, Computed, Marked); the records stay shared with the screen, so
// a property change made from the list is live at once, while a deletion only
// reaches the screen when the list is confirmed.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "document/figure_table.h"
#include "document/figure_visibility.h"

namespace qzarn {

class EngineUi;
class Screen;

// One grid row: the slot it shows (-1 for an empty row) and its column texts
// (UTF-8), number column included.
struct FigureListRow {
  int slot = -1;
  std::string number;   // " No.": the row number right-aligned in 4 characters
  std::string name;     // " 図形": kind word and name
  std::string content;  // " 内容": definition form, function text or references
  std::string shown;    // "表示": "", " ×" or "循環"
  std::string locus;    // "軌跡": " ○" or ""
};

// The name the list gives a figure: its kind word followed by its name (a text
// box shows only its kind word, an intersection set the names of its points).
// Empty for an empty slot.
std::string FigureDisplayName(const Screen& screen, int slot);
// What a screen reader says for a figure: its kind word and name, and a
// computed point's position ("点 A (1, 2)") or another figure's content
// ("関数 F y = x*x"). Empty for an empty slot.
inline constexpr int kSpokenDecimals = 3;
std::string FigureSpokenText(const Screen& screen, int slot);
// The content column of a figure.
std::string FigureContentText(const Screen& screen, int slot);
// The row number as the list writes it: right-aligned in 4 characters.
std::string FigureListNumber(int row);

class FigureList {
 public:
  struct SlotState {
    std::int32_t FigureType = kNoFigure;
    std::uint8_t Computed = 0;
    std::uint8_t Marked = 0;
  };

  // Takes a copy of the screen's slot states and fills the rows.
  explicit FigureList(Screen& screen);

  Screen& screen() { return screen_; }
  const Screen& screen() const { return screen_; }

  // All 501 rows in grid order (row r of the grid is rows()[r - 1]); filled
  // rows come first, in slot order.
  const std::vector<FigureListRow>& rows() const { return rows_; }
  // The slot a 0-based row shows; -1 for an empty row or a row out of range.
  int SlotOfRow(int row) const;
  // The row (0-based) showing the slot, -1 when none does.
  int RowOfSlot(int slot) const;
  // Rebuilds every row from the copy and the shared records (after a delete
  // or a property change).
  void Refill();

  // Removes the figure in `slot` and every figure that refers to it, directly
  // or through others, from the list's copy; asks first when more than the
  // figure itself would go. Returns the number of figures removed (0 for an
  // empty slot, a slot out of range or the answer No). Nothing is freed.
  int Delete(int slot, EngineUi& ui);
  // Whether the figure in the slot was removed in the list.
  bool Deleted(int slot) const;
  int DeletedCount() const;

  // Confirms the list: frees on the screen every figure removed in the list,
  // hands the copy's slot states back to the screen, marks the screen modified
  // when something was freed and takes an undo snapshot through the callback
  // (skipped when empty). Returns the number of figures freed. The list must
  // not be used afterwards except to be destroyed.
  int Apply(const std::function<void()>& take_snapshot);

 private:
  void MarkDependents(int target, int& searches);
  // Removes from the copy every figure that refers to a removed one (after
  // property changes made from the list); returns how many went.
  int RemoveFiguresReferringToRemoved();
  FigureListRow MakeRow(int slot) const;

  Screen& screen_;
  std::array<SlotState, kFigureSlots> slots_{};
  std::vector<FigureListRow> rows_;
};

}  // namespace qzarn
