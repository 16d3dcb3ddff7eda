#include "import/page_import.h"

#include <gtest/gtest.h>

#include <map>

namespace qzarn::import {
namespace {

TEST(PageSelection, AllPagesAreCappedAndOnePageStaysInRange) {
  struct Case {
    bool all;
    int box, count;
    std::size_t first, last, size;
    bool capped;
  } cases[] = {
      {false, 3, 4, 3, 3, 1, false},       {true, 3, 4, 1, 4, 4, false},
      {true, 1, 0, 1, 1, 1, false},        {true, 1, 99, 1, 99, 99, false},
      {true, 1, 100, 1, 99, 99, true},     {true, 1, 65535, 1, 99, 99, true},
      {false, 200, 500, 99, 99, 1, false}, {false, -4, 4, 1, 1, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.all << " " << c.box << " " << c.count);
    const PageSelection s = SelectPages(c.all, c.box, c.count);
    ASSERT_EQ(s.pages.size(), c.size);
    EXPECT_EQ(static_cast<std::size_t>(s.pages.front()), c.first);
    EXPECT_EQ(static_cast<std::size_t>(s.pages.back()), c.last);
    EXPECT_EQ(s.capped, c.capped);
  }
  EXPECT_EQ(PageCapMessage(65535),
            "この図形は 65535 ﾍﾟｰｼﾞあります．一度にｲﾝﾎﾟｰﾄできるのは 99 ﾍﾟｰｼﾞまでなので、"
            "1～99 ﾍﾟｰｼﾞをｲﾝﾎﾟｰﾄします．");
}

// Pages as a reader of a known layout would give them: a number of points per page.
class FakeReader final : public PageReader {
 public:
  explicit FakeReader(std::map<int, int> points) : points_(std::move(points)) {}
  bool Load(const std::filesystem::path&, const FigureEntry&, std::string&) override {
    return true;
  }
  int PageCount() const override { return points_.empty() ? 1 : points_.rbegin()->first; }
  RgbImage Preview(int) const override { return RgbImage(400, 600); }
  bool AppendPage(int page, FigureTable& table) const override {
    const auto it = points_.find(page);
    const int n = it == points_.end() ? 0 : std::abs(it->second);
    for (int i = 0; i < n; ++i)
      (void)NewFigure(table, FigureRecord::Blank(kPointFigure));
    return it == points_.end() || it->second >= 0;  // negative: fails half-way
  }

 private:
  std::map<int, int> points_;
};

int FigureCount(const FigureTable& table) {
  int n = 0;
  for (int i = 0; i <= kLastSlot; ++i)
    if (table.record(i) != nullptr && !table.record(i)->empty()) ++n;
  return n;
}

TEST(PageImport, EveryPageBecomesAScreenAndAFailedPageLeavesItsScreenEmpty) {
  // Objects on pages 1, 2 and 4: four pages, the third without figures; page 2 fails
  // after converting two of its objects.
  FakeReader reader({{1, 3}, {2, -2}, {4, 1}});
  EXPECT_EQ(reader.PageCount(), 4);
  const PageSelection all = SelectPages(true, 1, reader.PageCount());
  std::vector<FigureTable> screens(all.pages.size());
  const std::vector<bool> converted =
      ImportPages(reader, all.pages, [&](int page) { return &screens[page - 1]; });
  EXPECT_EQ(converted, (std::vector<bool>{true, false, true, true}));
  std::vector<int> counts;
  for (const FigureTable& t : screens)
    counts.push_back(FigureCount(t));
  EXPECT_EQ(counts, (std::vector<int>{3, 0, 0, 1}));
}

TEST(FunctionImport, AStoredEntryBecomesAParametricFunctionWithDefaultsElsewhere) {
  FigureDefaults defaults;
  NewFigureFont font;
  FunctionEntry entry{7, true, "t", "0", "6.28", "cos(t)", "sin(t)"};
  FigureTable table;
  const std::optional<int> index = AddImportedFunction(table, defaults, font, entry);
  ASSERT_TRUE(index.has_value());
  const FunctionRecord& f = *table.record(*index)->function();
  const FigureRecord plain = InitialiseFigure(kFunctionFigure, defaults, font, 2);
  EXPECT_EQ(f.FuncKind.get(), 2);
  EXPECT_EQ(f.FuncX.view(), "cos(t)");
  EXPECT_EQ(f.FuncY.view(), "sin(t)");
  EXPECT_EQ(f.AreaSx1.view(), "0");
  EXPECT_EQ(f.AreaEx1.view(), "6.28");
  EXPECT_EQ(f.AreaWd1.view(), plain.function()->AreaWd1.view());  // the default step
  // An empty entry gives empty expressions; a full table gives nothing.
  const std::optional<int> empty = AddImportedFunction(table, defaults, font, FunctionEntry{});
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(table.record(*empty)->function()->FuncX.view(), "");
  while (NewFigure(table, FigureRecord::Blank(kPointFigure))) {
  }
  EXPECT_FALSE(AddImportedFunction(table, defaults, font, entry).has_value());
}

}  // namespace
}  // namespace qzarn::import
