#include "forms/value_table_form.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "document/figure_table.h"
#include "engine/screen_builder.h"

namespace qzarn {
namespace {

using testing::ScreenBuilder;

TEST(ValueTableForm, CaptionAndHeadings) {
  EXPECT_EQ(ValueTableCaption("無題1"), "変数ﾃｰﾌﾞﾙ [無題1]");
  EXPECT_EQ(ValueTableColumnHeading(0), "");
  EXPECT_EQ(ValueTableColumnHeading(1), "1");
  EXPECT_EQ(ValueTableColumnHeading(9), "9");
  EXPECT_EQ(ValueTableRowHeading(0), "a");
  EXPECT_EQ(ValueTableRowHeading(25), "z");
}

TEST(ValueTableForm, CellsShowTheVariablesOfTheirLetterAndSubscript) {
  VariableTable v;
  v.reset_for_new_screen();
  v.write(0, 1, 1.5);            // a
  v.write(1, 2, -2.25);          // b1
  v.write(9, 3, 1.0 / 3.0);      // c9
  v.write(0, 4, 1e-11);          // d: below 1e-10
  v.write(0, 5, -1e-11);         // e
  v.write(2, 26, 100.0);         // z2
  v.write(0, 6, 0.12345678905);  // f: rounds at the tenth decimal
  ValueTableForm form(v);
  EXPECT_EQ(form.Text(0, 0), "1.5");
  EXPECT_EQ(form.Text(1, 1), "-2.25");
  EXPECT_EQ(form.Text(2, 9), "0.3333333333");
  EXPECT_EQ(form.Text(3, 0), "0");
  EXPECT_EQ(form.Text(4, 0), "0");
  EXPECT_EQ(form.Text(25, 2), "100");
  EXPECT_EQ(form.Text(5, 0), "0.1234567891");
  EXPECT_EQ(form.Text(7, 7), "0");
  EXPECT_EQ(form.ChangedCount(), 0);
}

TEST(ValueTableForm, TextsThatAreNotWholeNumbersReadAsZero) {
  const struct {
    const char* text;
    double value;
  } cases[] = {{"2.5", 2.5}, {"-3", -3}, {".5", 0.5}, {"-0.25", -0.25}, {"7.", 7},    {"", 0},
               {"-", 0},     {".", 0},   {"1-2", 0},  {"1.2.3", 0},     {"12abc", 0}, {"1e3", 0},
               {"inf", 0},   {"nan", 0}, {" 1", 0},   {"+1", 0},        {"--1", 0}};
  for (const auto& c : cases)
    EXPECT_EQ(ParseTableValue(c.text), c.value) << '"' << c.text << '"';
  for (char32_t ok : {U'0', U'9', U'-', U'.'})
    EXPECT_TRUE(IsTableValueCharacter(ok));
  for (char32_t no : {U'a', U'e', U'+', U',', U' ', U'０', U'ー'})
    EXPECT_FALSE(IsTableValueCharacter(no));
}

TEST(ValueTableForm, OnlyChangedCellsAreWrittenSoUntouchedValuesKeepTheirPrecision) {
  VariableTable v;
  v.reset_for_new_screen();
  v.write(0, 1, 1e-11);           // a: shown as "0"
  v.write(0, 2, 0.123456789012);  // b: shown rounded to ten decimals
  v.write(3, 3, 4.0);             // c3
  ValueTableForm form(v);

  form.SetText(2, 3, "-1.75");  // c3
  form.SetText(3, 0, "abc");    // d: not a number
  form.SetText(4, 0, "0");      // e: typed again as it was: unchanged
  EXPECT_TRUE(form.Changed(2, 3));
  EXPECT_TRUE(form.Changed(3, 0));
  EXPECT_FALSE(form.Changed(4, 0));
  EXPECT_EQ(form.ChangedCount(), 2);

  VariableTable target = v;
  target.write(0, 4, 9.0);  // d written meanwhile: the user's text wins for d
  target.write(0, 7, 6.5);  // g written meanwhile by a palette: kept
  EXPECT_EQ(form.WriteChanged(target), 2);
  EXPECT_EQ(target.read(0, 1), 1e-11);
  EXPECT_EQ(target.read(0, 2), 0.123456789012);
  EXPECT_EQ(target.read(3, 3), -1.75);
  EXPECT_EQ(target.read(0, 4), 0.0);
  EXPECT_EQ(target.read(0, 7), 6.5);

  // Setting a cell back to its opening text undoes the change.
  form.SetText(2, 3, "4");
  EXPECT_FALSE(form.Changed(2, 3));
}

TEST(ValueTableForm, ApplyInvalidatesEveryFunctionCurveAndMarksAChangedScreen) {
  ScreenBuilder b;
  const int f = b.Function("a*x");
  const int g = b.Function("sin(x)");  // mentions no variable of the table
  Screen& screen = b.screen();
  screen.Modified = false;

  ValueTableForm unchanged(screen.Variables());
  EXPECT_EQ(ApplyValueTable(unchanged, screen), 0);
  EXPECT_FALSE(screen.Modified);
  EXPECT_EQ(b.Record(f).function()->CurveValid, 0);
  EXPECT_EQ(b.Record(g).function()->CurveValid, 0);

  b.Record(f).function()->CurveValid = 1;
  b.Record(g).function()->CurveValid = 1;
  ValueTableForm form(screen.Variables());
  form.SetText(1, 0, "3");
  EXPECT_EQ(ApplyValueTable(form, screen), 1);
  EXPECT_EQ(screen.Variables().read(0, 2), 3.0);
  EXPECT_TRUE(screen.Modified);
  EXPECT_EQ(b.Record(f).function()->CurveValid, 0);
  EXPECT_EQ(b.Record(g).function()->CurveValid, 0);
}

TEST(ValueTableForm, ADialogsCopyWritesBackOnlyWhatTheDialogChanged) {
  VariableTable opened;
  opened.reset_for_new_screen();
  opened.write(0, 1, 1.0);
  VariableTable edited = opened;
  edited.write(0, 2, 2.0);  // the dialog changed b
  VariableTable screen = opened;
  screen.write(0, 1, 5.0);   // an animation tick moved a meanwhile
  screen.write(4, 30, 8.0);  // and a cell outside the grid
  EXPECT_EQ(WriteChangedVariables(opened, edited, screen), 1);
  EXPECT_EQ(screen.read(0, 1), 5.0);
  EXPECT_EQ(screen.read(0, 2), 2.0);
  EXPECT_EQ(screen.cell(4, 30).value(), 8.0);
  EXPECT_EQ(WriteChangedVariables(opened, opened, screen), 0);
}

// Under a locale with a decimal comma the grid still shows and reads ".".
TEST(ValueTableForm, DecimalPointWhateverTheLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  bool comma_locale = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      comma_locale = true;
      break;
    }
  if (!comma_locale) GTEST_SKIP() << "no locale with a decimal comma installed";
  const std::string shown = FormatTableValue(2.5);
  const double read = ParseTableValue("2.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(shown, "2.5");
  EXPECT_EQ(read, 2.5);
}

}  // namespace
}  // namespace qzarn
