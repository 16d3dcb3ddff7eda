#include "forms/equation_form.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "engine/equations.h"
#include "engine/figure_expressions.h"
#include "engine/screen_builder.h"
#include "expr/engine.h"

namespace qzarn {
namespace {

using testing::NewTestScreen;

class EquationFormTest : public ::testing::Test {
 protected:
  // Fills grid rows from {row, name, text}.
  void Fill(const std::vector<std::tuple<int, std::string, std::string>>& rows) {
    for (const auto& [r, name, text] : rows) {
      form_.SetCell(r, kEquationNameColumn, name);
      form_.SetCell(r, kEquationTextColumn, text);
    }
  }
  double Value(char letter, int row = 0) const {
    return screen_->Variables().read(row, letter - 'a' + 1);
  }
  void Pass() { EvaluateEquations(*screen_, expressions_); }

  std::unique_ptr<Screen> screen_ = NewTestScreen();
  ExprEngine engine_;
  FigureExpressions expressions_{engine_};
  EquationForm form_;
};

TEST(EquationNames, ShownStoredAndListed) {
  struct Case {
    int letter, row;
    const char* shown;
  } shown[] = {{0, 0, "a"}, {25, 9, "z9"}, {2, 3, "c3"}, {-100, -100, ""}, {0, -100, ""}};
  for (const Case& c : shown)
    EXPECT_EQ(EquationEntryName(c.letter, c.row), c.shown) << c.letter << "," << c.row;

  struct Parse {
    const char* name;
    std::optional<EquationTarget> target;
  } parsed[] = {{"a", EquationTarget{0, 0}},  {"A", EquationTarget{0, 0}},
                {"a0", EquationTarget{0, 0}}, {"Z9", EquationTarget{25, 9}},
                {"a10", std::nullopt},        {"1a", std::nullopt},
                {"ab", std::nullopt},         {"", std::nullopt},
                {"a-", std::nullopt},         {"\xE3\x81\x82", std::nullopt}};
  for (const Parse& p : parsed)
    EXPECT_EQ(ParseEquationName(p.name), p.target) << p.name;

  const std::vector<std::string>& names = EquationVariableNames();
  ASSERT_EQ(names.size(), 260u);
  EXPECT_EQ(names[0], "a");
  EXPECT_EQ(names[25], "z");
  EXPECT_EQ(names[26], "a1");
  EXPECT_EQ(names[259], "z9");
  EXPECT_EQ(EquationRowNumber(1), "  1");
  EXPECT_EQ(EquationRowNumber(100), "100");
  EXPECT_EQ(EquationCaption("画面1"), "中間式 [画面1]");
}

TEST(EquationKeys, EachEditorTakesOnlyItsCharacters) {
  using A = EquationKeyAction;
  struct Case {
    int column;
    char32_t typed;
    A action;
    char32_t inserted;
  } cases[] = {
      {kEquationNameColumn, U'b', A::kInsert, U'b'},
      {kEquationNameColumn, U'B', A::kInsert, U'b'},
      {kEquationNameColumn, U'7', A::kInsert, U'7'},
      {kEquationNameColumn, U'=', A::kToExpression, 0},
      {kEquationNameColumn, U'+', A::kIgnore, 0},
      {kEquationNameColumn, U' ', A::kIgnore, 0},
      {kEquationNameColumn, U'\b', A::kPass, U'\b'},
      {kEquationTextColumn, U'X', A::kInsert, U'x'},
      {kEquationTextColumn, U'\\', A::kInsert, U'\\'},
      {kEquationTextColumn, U'<', A::kInsert, U'<'},
      {kEquationTextColumn, U'%', A::kInsert, U'%'},
      {kEquationTextColumn, U'=', A::kInsert, U'='},
      {kEquationTextColumn, U' ', A::kIgnore, 0},
      {kEquationTextColumn, U'$', A::kIgnore, 0},
      {kEquationTextColumn, U'[', A::kIgnore, 0},
      {kEquationTextColumn, U'あ', A::kIgnore, 0},
      {kEquationTextColumn, U'ａ', A::kIgnore, 0},
      {kEquationTextColumn, 0x7F, A::kPass, 0x7F},
  };
  for (const Case& c : cases) {
    const EquationKey key = FilterEquationKey(c.column, c.typed);
    const auto code = static_cast<std::uint32_t>(c.typed);
    EXPECT_EQ(key.action, c.action) << c.column << " U+" << std::hex << code;
    if (c.action == A::kInsert || c.action == A::kPass) {
      EXPECT_EQ(key.character, c.inserted) << std::hex << code;
    }
  }
}

TEST(EquationKeys, PastedTextPassesTheSameRuleAndUnstorableTextIsRefused) {
  struct Case {
    int column;
    std::string clipboard;
    std::optional<std::string> pasted;
  } cases[] = {
      {kEquationTextColumn, "Sin(A) + 2 $\n", "sin(a)+2"},
      {kEquationTextColumn, "x\tあ*ｙ", "x*"},  // encodable Japanese is dropped like typing
      {kEquationNameColumn, "A=1", "a1"},
      {kEquationNameColumn, "abc", "abc"},                        // too long: the apply reports it
      {kEquationTextColumn, "a+\xF0\x9F\x98\x80", std::nullopt},  // no code page 932 form
      {kEquationTextColumn, "a\xFF", std::nullopt},               // not UTF-8
      {kEquationTextColumn, std::string(200, '1'), std::string(200, '1')},
      {kEquationTextColumn, std::string(201, '1'), std::nullopt},  // beyond the field
      {kEquationTextColumn, std::string(250, ' ') + "1", "1"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EquationPasteText(c.column, c.clipboard), c.pasted) << c.clipboard;
}

TEST_F(EquationFormTest, ArrowsMoveTheEditorWithinTheGrid) {
  struct Step {
    EquationMove move;
    int caret, length;
    bool taken;
    int row, column;
  } steps[] = {
      {EquationMove::kUp, 0, 0, true, 1, kEquationNameColumn},  // not above row 1
      {EquationMove::kDown, 0, 0, true, 2, kEquationNameColumn},
      {EquationMove::kRight, 0, 1, false, 2, kEquationNameColumn},  // caret inside the name
      {EquationMove::kRight, 1, 1, true, 2, kEquationTextColumn},
      {EquationMove::kRight, 3, 3, false, 2, kEquationTextColumn},
      {EquationMove::kLeft, 1, 3, false, 2, kEquationTextColumn},
      {EquationMove::kLeft, 0, 3, true, 2, kEquationNameColumn},
      {EquationMove::kLeft, 0, 0, false, 2, kEquationNameColumn},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(form_.Move(s.move, s.caret, s.length), s.taken);
    EXPECT_EQ(form_.current_row(), s.row);
    EXPECT_EQ(form_.current_column(), s.column);
  }
  form_.MoveTo(100, kEquationSignColumn);
  EXPECT_EQ(form_.current_column(), kEquationTextColumn);
  form_.Move(EquationMove::kDown);
  EXPECT_EQ(form_.current_row(), 100);
  form_.MoveTo(0, kEquationNumberColumn);
  EXPECT_EQ(form_.current_row(), 1);
  EXPECT_EQ(form_.current_column(), kEquationNameColumn);
}

TEST_F(EquationFormTest, RowsMoveInsertAndDeleteWithTheCurrentCellFollowing) {
  Fill({{1, "a", "1"}, {2, "b", "2"}, {100, "z", "26"}});
  form_.MoveTo(1, kEquationTextColumn);
  form_.Move(EquationMove::kRowUp);  // nothing above row 1
  EXPECT_EQ(form_.row(1).name, "a");
  form_.Move(EquationMove::kRowDown);
  EXPECT_EQ(form_.current_row(), 2);
  EXPECT_EQ(form_.row(1), (EquationRow{"b", "2"}));
  EXPECT_EQ(form_.row(2), (EquationRow{"a", "1"}));

  form_.MoveTo(100, kEquationNameColumn);
  form_.Move(EquationMove::kRowDown);  // nothing below row 100
  EXPECT_EQ(form_.row(100).name, "z");
  form_.Move(EquationMove::kRowUp);
  EXPECT_EQ(form_.row(99).name, "z");
  EXPECT_TRUE(form_.row(100).empty());
  form_.Move(EquationMove::kRowDown);

  form_.MoveTo(2, kEquationNameColumn);
  form_.InsertRow();  // row 100 was filled: its content is lost
  EXPECT_TRUE(form_.row(2).empty());
  EXPECT_EQ(form_.row(3), (EquationRow{"a", "1"}));
  EXPECT_TRUE(form_.row(100).empty());
  EXPECT_EQ(form_.row(1).name, "b");

  form_.MoveTo(1, kEquationNameColumn);
  form_.DeleteRow();
  form_.DeleteRow();
  EXPECT_EQ(form_.row(1), (EquationRow{"a", "1"}));
  EXPECT_TRUE(form_.row(100).empty());
}

TEST_F(EquationFormTest, ApplyStoresNamedRowsWithoutGapsAndReloads) {
  Fill({{1, "B", "A*2"}, {3, "a0", "3"}, {5, "c7", "1/0"}});
  form_.MoveTo(5, kEquationTextColumn);
  ASSERT_FALSE(form_.Apply(*screen_, engine_));
  EXPECT_TRUE(form_.applied());
  EXPECT_TRUE(screen_->Modified);
  const EquationBlock& e = screen_->Equations;
  ASSERT_EQ(e.EquationLast, 2);
  EXPECT_EQ(e.Entries[0].LetterIndex, 1);
  EXPECT_EQ(e.Entries[0].Text.view(), "a*2");
  EXPECT_EQ(e.Entries[1].LetterIndex, 0);  // a0 is stored as a
  EXPECT_EQ(e.Entries[1].Row, 0);
  EXPECT_EQ(e.Entries[2].Row, 7);
  EXPECT_EQ(form_.row(1), (EquationRow{"b", "a*2"}));
  EXPECT_EQ(form_.row(2), (EquationRow{"a", "3"}));
  EXPECT_EQ(form_.row(3), (EquationRow{"c7", "1/0"}));
  EXPECT_TRUE(form_.row(5).empty());
  EXPECT_EQ(form_.current_row(), 1);
  EXPECT_EQ(form_.current_column(), kEquationNameColumn);

  // b = a*2 above a = 3: the first pass reads a's old 0, the second its 3.
  Pass();
  EXPECT_EQ(Value('b'), 0);
  EXPECT_EQ(Value('a'), 3);
  EXPECT_EQ(Value('c', 7), 20000);
  Pass();
  EXPECT_EQ(Value('b'), 6);

  // An unchanged list applied again leaves the screen unmodified.
  screen_->Modified = false;
  ASSERT_FALSE(form_.Apply(*screen_, engine_));
  EXPECT_FALSE(screen_->Modified);

  // Deleting every row stores no equation; the variables keep their values.
  for (int i = 0; i < 3; ++i)
    form_.DeleteRow();
  ASSERT_FALSE(form_.Apply(*screen_, engine_));
  EXPECT_EQ(screen_->Equations.EquationLast, -1);
  EXPECT_TRUE(screen_->Modified);
  Pass();
  EXPECT_EQ(Value('b'), 6);
}

TEST_F(EquationFormTest, AnEquationOnItsOwnVariableAdvancesOncePerPass) {
  Fill({{1, "a", "a+1"}});
  ASSERT_FALSE(form_.Apply(*screen_, engine_));
  for (int pass = 1; pass <= 3; ++pass) {
    Pass();
    EXPECT_EQ(Value('a'), pass);
  }
}

TEST_F(EquationFormTest, TheFirstFaultyCellStopsTheApplyAndNothingIsStored) {
  struct Case {
    std::vector<std::tuple<int, std::string, std::string>> rows;
    int row, column;
    std::string message;
  } cases[] = {
      {{{2, "a10", "1"}}, 2, kEquationNameColumn, kEquationNameErrorMessage},
      {{{1, "1a", ""}}, 1, kEquationNameColumn, kEquationNameErrorMessage},
      {{{1, "abc", "1"}}, 1, kEquationNameColumn, kEquationNameErrorMessage},
      {{{3, "a", "(1+"}}, 3, kEquationTextColumn, kEquationTextErrorMessage},
      {{{1, "", "1"}}, 1, kEquationNameColumn, kEquationNameEmptyMessage},
      {{{4, "d", ""}}, 4, kEquationTextColumn, kEquationTextEmptyMessage},
      // the expression is checked before the missing name
      {{{1, "", "(("}}, 1, kEquationTextColumn, kEquationTextErrorMessage},
      // rows are checked from the top
      {{{1, "a", "1"}, {6, "", "2"}, {9, "b", ""}},
       6,
       kEquationNameColumn,
       kEquationNameEmptyMessage},
      // a text that code page 932 cannot hold is never stored altered
      {{{1, "a", "1+\xF0\x9F\x98\x80"}}, 1, kEquationTextColumn, kEquationTextErrorMessage},
      {{{1, "a", std::string(251, '1')}}, 1, kEquationTextColumn, kEquationTextErrorMessage},
  };
  screen_->Equations.EquationLast = 0;
  screen_->Equations.Entries[0].LetterIndex = 25;
  screen_->Equations.Entries[0].Row = 0;
  screen_->Equations.Entries[0].Text = "5";
  for (const Case& c : cases) {
    EquationForm form;
    form.Load(*screen_);
    form.SetCell(1, kEquationNameColumn, "");
    form.SetCell(1, kEquationTextColumn, "");
    for (const auto& [r, name, text] : c.rows) {
      form.SetCell(r, kEquationNameColumn, name);
      form.SetCell(r, kEquationTextColumn, text);
    }
    const std::optional<EquationFailure> failure = form.Apply(*screen_, engine_);
    ASSERT_TRUE(failure) << c.row;
    EXPECT_EQ(failure->row, c.row);
    EXPECT_EQ(failure->column, c.column);
    EXPECT_EQ(failure->message, c.message);
    EXPECT_EQ(form.current_row(), c.row);
    EXPECT_EQ(form.current_column(), c.column);
    EXPECT_FALSE(form.applied());
    EXPECT_EQ(screen_->Equations.EquationLast, 0);
    EXPECT_EQ(screen_->Equations.Entries[0].Text.view(), "5");
    EXPECT_FALSE(screen_->Modified);
    // the user's rows stay for correction
    EXPECT_EQ(std::get<1>(c.rows.front()), form.row(std::get<0>(c.rows.front())).name);
  }
}

TEST_F(EquationFormTest, LoadShowsTheStoredEntriesAndEmptiesTheRest) {
  EquationBlock& e = screen_->Equations;
  e.EquationLast = 1;
  e.Entries[0].LetterIndex = 3;
  e.Entries[0].Row = 2;
  e.Entries[0].Text = "sqr(2)";
  e.Entries[1].LetterIndex = 0;
  e.Entries[1].Row = 0;
  e.Entries[1].Text = "d2/2";
  e.Entries[2].LetterIndex = 4;  // beyond EquationLast: ignored
  e.Entries[2].Row = 0;
  e.Entries[2].Text = "9";
  Fill({{50, "x", "1"}});
  form_.MoveTo(50, kEquationTextColumn);
  form_.Load(*screen_);
  EXPECT_EQ(form_.row(1), (EquationRow{"d2", "sqr(2)"}));
  EXPECT_EQ(form_.row(2), (EquationRow{"a", "d2/2"}));
  EXPECT_TRUE(form_.row(3).empty());
  EXPECT_TRUE(form_.row(50).empty());
  EXPECT_EQ(form_.current_row(), 1);
}

}  // namespace
}  // namespace qzarn
