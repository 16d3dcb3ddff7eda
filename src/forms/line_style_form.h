#pragma once
// What the line style editor ("線のスタイル編集") edits, apart from its window: a
// row of cells per dash style (gap, mark or empty), the cycling of a clicked cell,
// the encoding of a row into the style's runs, the gap factor, the two resets, and
// the way the styles travel to and from the settings.

#include <array>
#include <cstdint>
#include <string_view>

#include "render/line_style.h"
#include "settings/settings_keys.h"

namespace qzarn::forms {

inline constexpr std::string_view kLineStyleEditorCaption = "線のスタイル編集";
inline constexpr std::string_view kLineStyleResetQuestion =
    "すべての線のスタイルを初期値に戻しますか？";
// "線の種類(&L)": the four dash styles, in table order.
inline constexpr std::array<std::string_view, render::kLineStyleEntries> kDashStyleItems = {
    "破線", "点線", "一点鎖線", "二点鎖線"};
inline constexpr int kLineStyleCells = 36;
// The preview draws the current style at these pen widths.
inline constexpr std::array<int, 5> kLineStylePreviewWidths = {1, 2, 3, 5, 10};
inline constexpr double kMinGapFactor = 0.1, kMaxGapFactor = 10;

enum class LineCell : std::uint8_t { kEmpty, kGap, kMark };
using LineCellRow = std::array<LineCell, kLineStyleCells>;

// A style's runs laid out as cells: the first cell is always a gap, then each run
// as that many cells of its kind (gap, mark, gap ...), cut at the last cell.
LineCellRow CellsOfEntry(const render::LineStyleEntry& entry);
// A row back into runs: the cells up to the first empty one, each change of kind
// ending a run; the first run is one shorter (the first cell is the leading gap).
// The gap factor is left as it is.
void EncodeCells(const LineCellRow& cells, render::LineStyleEntry& entry);

class LineStyleForm {
 public:
  explicit LineStyleForm(const render::LineStyleTable& table);

  const render::LineStyleTable& table() const { return table_; }
  const LineCellRow& cells(int style) const { return cells_[style]; }
  int current() const { return current_; }
  void SetCurrent(int style);

  // A click on a cell of the current style: empty -> gap -> mark -> empty; the first
  // cell does not change. The runs follow at once.
  void ClickCell(int index);
  // "空白の間隔(&W)" of the current style, clamped to 0.1..10.
  double gap_factor() const { return table_.entries[current_].gap_factor; }
  void SetGapFactor(double factor);
  // "ﾘｾｯﾄ(&R)": the current style as it was when the editor opened.
  void ResetCurrent();
  // "初期値(&I)", after the user said yes: every style from the built-in table.
  void ResetAll();

 private:
  render::LineStyleTable table_;
  render::LineStyleTable opened_;
  std::array<LineCellRow, render::kLineStyleEntries> cells_{};
  int current_ = 0;
};

// The styles in the settings (keys LineBit0..3 and LineBitSpace0..3); keys that
// cannot be read keep the built-in styles.
render::LineStyleTable LineStylesFromSettings(const UserSettings& settings);
void StoreLineStylesInSettings(const render::LineStyleTable& table, UserSettings& settings);

}  // namespace qzarn::forms
