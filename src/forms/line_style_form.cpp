#include "forms/line_style_form.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "settings/setting_values.h"

namespace qzarn::forms {

LineCellRow CellsOfEntry(const render::LineStyleEntry& entry) {
  LineCellRow row;
  row.fill(LineCell::kEmpty);
  row[0] = LineCell::kGap;
  int next = 1;
  const int count = std::clamp(entry.run_count, 0, render::kLineStyleMaxRuns);
  for (int i = 0; i < count && next < kLineStyleCells; ++i) {
    const LineCell kind = i % 2 == 0 ? LineCell::kGap : LineCell::kMark;
    for (int n = 0; n < entry.runs[i] && next < kLineStyleCells; ++n)
      row[next++] = kind;
  }
  return row;
}

void EncodeCells(const LineCellRow& cells, render::LineStyleEntry& entry) {
  std::array<std::uint8_t, render::kLineStyleMaxRuns> runs{};
  int count = 0;
  LineCell last = LineCell::kEmpty;
  for (LineCell cell : cells) {
    if (cell == LineCell::kEmpty) break;
    if (count == 0 || cell != last) {
      if (count == render::kLineStyleMaxRuns) break;
      ++count;
      last = cell;
    }
    ++runs[count - 1];
  }
  // The leading cell is the gap every row starts with; a row whose second cell is
  // a mark thus begins with a gap of length 0.
  if (count > 0 && runs[0] > 0) --runs[0];
  entry.run_count = count;
  entry.runs = runs;
}

LineStyleForm::LineStyleForm(const render::LineStyleTable& table) : table_(table), opened_(table) {
  for (int i = 0; i < render::kLineStyleEntries; ++i)
    cells_[i] = CellsOfEntry(table_.entries[i]);
}

void LineStyleForm::SetCurrent(int style) {
  current_ = std::clamp(style, 0, render::kLineStyleEntries - 1);
}

void LineStyleForm::ClickCell(int index) {
  if (index <= 0 || index >= kLineStyleCells) return;
  LineCell& cell = cells_[current_][index];
  cell = cell == LineCell::kEmpty ? LineCell::kGap
         : cell == LineCell::kGap ? LineCell::kMark
                                  : LineCell::kEmpty;
  EncodeCells(cells_[current_], table_.entries[current_]);
}

void LineStyleForm::SetGapFactor(double factor) {
  if (!std::isfinite(factor)) factor = kMinGapFactor;
  table_.entries[current_].gap_factor = std::clamp(factor, kMinGapFactor, kMaxGapFactor);
}

void LineStyleForm::ResetCurrent() {
  table_.entries[current_] = opened_.entries[current_];
  cells_[current_] = CellsOfEntry(table_.entries[current_]);
}

void LineStyleForm::ResetAll() {
  table_ = render::DefaultLineStyles();
  for (int i = 0; i < render::kLineStyleEntries; ++i)
    cells_[i] = CellsOfEntry(table_.entries[i]);
}

namespace {

// The members behind the keys LineBit0..3 and LineBitSpace0..3.
constexpr std::array<std::string UserSettings::*, render::kLineStyleEntries> kBitMembers = {
    &UserSettings::LineBit0, &UserSettings::LineBit1, &UserSettings::LineBit2,
    &UserSettings::LineBit3};
constexpr std::array<double UserSettings::*, render::kLineStyleEntries> kSpaceMembers = {
    &UserSettings::LineBitSpace0, &UserSettings::LineBitSpace1, &UserSettings::LineBitSpace2,
    &UserSettings::LineBitSpace3};

}  // namespace

render::LineStyleTable LineStylesFromSettings(const UserSettings& settings) {
  return render::LoadLineStyles([&](std::string_view key) -> std::optional<std::string> {
    for (int i = 0; i < render::kLineStyleEntries; ++i) {
      if (key == render::LineBitKey(i)) return settings.*kBitMembers[i];
      if (key == render::LineBitSpaceKey(i)) return format_setting_real(settings.*kSpaceMembers[i]);
    }
    return std::nullopt;
  });
}

void StoreLineStylesInSettings(const render::LineStyleTable& table, UserSettings& settings) {
  for (int i = 0; i < render::kLineStyleEntries; ++i) {
    settings.*kBitMembers[i] = render::FormatLineBit(table.entries[i]);
    settings.*kSpaceMembers[i] = table.entries[i].gap_factor;
  }
}

}  // namespace qzarn::forms
