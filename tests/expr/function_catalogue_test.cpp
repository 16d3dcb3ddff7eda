#include "expr/function_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

namespace qzarn {
namespace {

struct InsertCase {
  const char* name;
  std::u16string text;
  int caret;
  std::u16string inserted;
  std::u16string expected_text;
  int expected_caret;
};

class InsertCatalogueTextTest : public ::testing::TestWithParam<InsertCase> {};

TEST_P(InsertCatalogueTextTest, PlacesTemplateAndCaret) {
  const InsertCase& c = GetParam();
  const CatalogueInsertion result = InsertCatalogueText(c.text, c.caret, c.inserted);
  EXPECT_EQ(result.text, c.expected_text);
  EXPECT_EQ(result.caret, c.expected_caret);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, InsertCatalogueTextTest,
    ::testing::Values(
        // One-argument templates: caret between the parentheses.
        InsertCase{"SinAfterProduct", u"2*", 2, u"sin()", u"2*sin()", 6},
        InsertCase{"AbsInsideSum", u"a+b", 2, u"abs()", u"a+abs()b", 6},
        InsertCase{"SqrAtStart", u"x", 0, u"sqr()", u"sqr()x", 4},
        // Three-argument templates: caret right after the opening parenthesis.
        InsertCase{"PowIntoEmptyField", u"", 0, u"pow(,,)", u"pow(,,)", 4},
        InsertCase{"BinAfterText", u"1+", 2, u"bin(,,)", u"1+bin(,,)", 6},
        // Constants and two-argument templates: caret after the template.
        InsertCase{"ConLeavesCaretAfter", u"", 0, u"con(,)", u"con(,)", 6},
        InsertCase{"PiLeavesCaretAfter", u"2*", 2, u"pi", u"2*pi", 4},
        InsertCase{"RandomInMiddle", u"ab", 1, u"random", u"arandomb", 7},
        // Japanese text before the caret: each character is one code unit.
        InsertCase{"AfterJapanese", u"２＊", 2, u"sin()", u"２＊sin()", 6},
        InsertCase{"BetweenJapanese", u"角度θ", 2, u"cos()", u"角度cos()θ", 6},
        // A character outside the basic plane takes two code units and is
        // never split by the insertion.
        InsertCase{"AfterSupplementaryCharacter", u"𠮷+", 3, u"ln()", u"𠮷+ln()", 6},
        InsertCase{"CaretInsideSurrogatePair", u"𠮷", 1, u"pi", u"𠮷pi", 4},
        // Carets outside the text are clamped to it.
        InsertCase{"CaretPastEnd", u"ab", 9, u"exp()", u"abexp()", 6},
        InsertCase{"NegativeCaret", u"ab", -3, u"exp()", u"exp()ab", 4}),
    [](const ::testing::TestParamInfo<InsertCase>& test) { return std::string(test.param.name); });

TEST(FunctionCatalogue, EveryEntryIsFilledAndWithinTheTextLimit) {
  std::set<std::u16string_view> inserted;
  for (const FunctionCatalogueEntry& entry : FunctionCatalogue()) {
    EXPECT_FALSE(entry.inserted.empty());
    EXPECT_FALSE(entry.format.empty());
    EXPECT_FALSE(entry.description.empty());
    EXPECT_LE(entry.description.size(), kFunctionCatalogueTextLimit);
    EXPECT_TRUE(inserted.insert(entry.inserted).second) << "duplicate template";
  }
}

// The caret must land inside the template for every catalogue row: one past
// '(' for templates whose first argument is empty, after the template
// otherwise.
TEST(FunctionCatalogue, EveryTemplatePlacesTheCaretWhereTheFirstArgumentGoes) {
  const auto& catalogue = FunctionCatalogue();
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    const std::u16string_view t = catalogue[i].inserted;
    const CatalogueInsertion result = InsertCatalogueEntry(u"x+", 2, i);
    ASSERT_EQ(result.text, u"x+" + std::u16string(t));
    const std::size_t open = t.find(u'(');
    const bool first_argument_empty = open != std::u16string_view::npos && t.substr(open) != u"(,)";
    const int expected =
        first_argument_empty ? 2 + static_cast<int>(open) + 1 : 2 + static_cast<int>(t.size());
    EXPECT_EQ(result.caret, expected) << "entry " << i;
  }
}

TEST(FunctionCatalogue, RowsKeepTheirDisplayOrder) {
  const auto& catalogue = FunctionCatalogue();
  EXPECT_EQ(catalogue.front().inserted, u"sqr()");
  EXPECT_EQ(catalogue[5].format, u"pow(式,数1,数2)");
  EXPECT_EQ(catalogue[13].inserted, u"pi");
  EXPECT_EQ(catalogue.back().description, u"ベッセル関数変形 Ｋ(x,n)  (n≧0)");
}

TEST(FunctionCatalogue, EntryOutsideTheCatalogueIsRefused) {
  EXPECT_THROW(InsertCatalogueEntry(u"", 0, kFunctionCatalogueSize), std::out_of_range);
}

}  // namespace
}  // namespace qzarn
