#include "expr/variable_table.h"

#include <gtest/gtest.h>

namespace qzarn {
namespace {

TEST(VariableTable, NewScreenDefinesRowsZeroToNineOfAToZ) {
  static VariableTable table;
  table.reset_for_new_screen();
  EXPECT_EQ(table.cell(0, 1).defined, 1);
  EXPECT_EQ(table.cell(9, 26).defined, 1);
  EXPECT_EQ(table.cell(10, 1).defined, 0);
  EXPECT_EQ(table.cell(0, 27).defined, 0);
  // An undefined cell reads as 0 whatever bytes it holds.
  table.cell(10, 1).set_value(5.0);
  EXPECT_EQ(table.read(10, 1), 0.0);
  table.bind(10, 1, 5.0);
  EXPECT_EQ(table.read(10, 1), 5.0);
}

TEST(VariableTable, CellBytesSitWhereTheSettingsBlockExpectsThem) {
  static VariableTable table;
  table.reset_for_new_screen();
  table.write(2, 3, 1.5);  // c2
  const auto* bytes = reinterpret_cast<const unsigned char*>(&table);
  const std::size_t cell = 2 * 1176 + (3 - 1) * 28;
  double v;
  std::memcpy(&v, bytes + cell + 20, sizeof v);
  EXPECT_EQ(v, 1.5);
  EXPECT_EQ(bytes[cell + 16], 1);
}

}  // namespace
}  // namespace qzarn
