#pragma once
// The screen's variables: 13 rows (0 = plain variable, 1..12 = subscripts) by
// 42 columns (1 = a .. 26 = z, 27..41 two-letter names, 42 unused) of 28-byte
// cells. The bytes are part of the document's settings block, so the layout
// is fixed: 16 bytes the engine ignores, the defined flag, 3 padding bytes,
// then the value as a little-endian double at offset 20 (not 8-aligned).

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace qzarn {

inline constexpr int kVariableRows = 13;
inline constexpr int kVariableColumns = 42;

struct VariableCell {
  std::uint8_t unused[16];
  std::uint8_t defined;
  std::uint8_t padding[3];
  std::uint8_t value_bytes[8];

  double value() const {
    double v;
    std::memcpy(&v, value_bytes, sizeof v);
    return v;
  }
  void set_value(double v) { std::memcpy(value_bytes, &v, sizeof v); }
  // What an expression reads: cells not marked defined read as 0.
  double read() const { return defined == 1 ? value() : 0.0; }
};
static_assert(sizeof(VariableCell) == 28);
static_assert(offsetof(VariableCell, defined) == 16);
static_assert(offsetof(VariableCell, value_bytes) == 20);

struct VariableTable {
  VariableCell cells[kVariableRows][kVariableColumns];  // [row][column - 1]

  // column 1..42, row 0..12; callers validate the range.
  VariableCell& cell(int row, int column) { return cells[row][column - 1]; }
  const VariableCell& cell(int row, int column) const { return cells[row][column - 1]; }

  double read(int row, int column) const { return cell(row, column).read(); }

  // Writes the value and leaves the defined flag as it is (palette, equations, dragging).
  void write(int row, int column, double v) { cell(row, column).set_value(v); }

  // Writes the value and marks the cell defined (curve samplers binding x, y, t ...).
  void bind(int row, int column, double v) {
    VariableCell& c = cell(row, column);
    c.defined = 1;
    c.set_value(v);
  }

  // The state of a new screen: rows 0..9 of a..z defined with 0, everything else cleared.
  void reset_for_new_screen() {
    std::memset(cells, 0, sizeof cells);
    for (int r = 0; r <= 9; ++r)
      for (int c = 1; c <= 26; ++c)
        cell(r, c).defined = 1;
  }
};
static_assert(sizeof(VariableTable) == 15288);

}  // namespace qzarn
