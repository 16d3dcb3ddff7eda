#include "engine/variable_reach.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../render/example_screens.h"
#include "../render/gallery_sheets.h"
#include "engine/equations.h"
#include "engine/screen_access.h"
#include "engine_fixture.h"
#include "screen_builder.h"

namespace qzarn {
namespace {

using testing::EngineFixture;
using testing::ScreenBuilder;

constexpr VariableRef kA{0, 1}, kB{0, 2};

class VariableReachTest : public ::testing::Test, public EngineFixture {
 protected:
  Screen& screen() { return b.screen(); }
  std::optional<std::vector<int>> Reach(std::vector<VariableRef> cells) {
    return FiguresReachedBy(screen(), expressions, cells);
  }
  ScreenBuilder b;
};

// Which texts count as reading a variable: evaluated texts of every kind, the
// display condition, values inserted into a text box; never a figure's name.
TEST_F(VariableReachTest, ReadersAreFiguresWhoseEvaluatedTextsNameTheCell) {
  const int x_reads = b.Point("a*2", "1");
  const int y_reads = b.Point("1", "sin(b)+1");
  const int plain = b.Point("3", "4");
  const int line = b.LineThrough(x_reads, plain);
  const int radius = b.Circle(0, "0", "0", "a+1");
  const int curve = b.Function("x^2+a");
  const int condition = b.Point("5", "5");
  b.Record(condition).point()->Boolean = true;
  b.Record(condition).point()->BooleanFunc = "b>0";
  const int named = b.Point("6", "6");
  b.Record(named).point()->Name = "a";
  engine.RecomputeScreen(screen());

  EXPECT_EQ(Reach({kA}), (std::vector<int>{x_reads, line, radius, curve}));
  EXPECT_EQ(Reach({kB}), (std::vector<int>{y_reads, condition}));
  EXPECT_EQ(Reach({kA, kB}), (std::vector<int>{x_reads, y_reads, line, radius, curve, condition}));
  EXPECT_EQ(Reach({{0, 3}}), (std::vector<int>{}));
  EXPECT_FALSE(FigureReadsVariable(screen(), named, expressions, kA));
  EXPECT_FALSE(FigureReadsVariable(screen(), plain, expressions, kA));
}

// When a pass over some figures cannot match the full pass, nothing is offered.
TEST_F(VariableReachTest, NothingWhenOnlyTheFullPassIsExact) {
  const int p = b.Point("a", "0");
  const int q = b.Point("1", "1");
  engine.RecomputeScreen(screen());
  ASSERT_TRUE(Reach({kA}));
  struct Case {
    const char* what;
    std::function<void()> make, undo;
  };
  const Case cases[] = {
      {"an intermediate equation", [&] { screen().Equations.EquationLast = 0; },
       [&] { screen().Equations.EquationLast = -1; }},
      {"RANDOM in a figure that does not read the cell",
       [&] { b.Record(q).point()->FY = "random(2)"; }, [&] { b.Record(q).point()->FY = "1"; }},
      {"a figure left uncomputed", [&] { screen().Figures[p].Computed = 0; },
       [&] { screen().Figures[p].Computed = 1; }},
  };
  for (const Case& c : cases) {
    c.make();
    EXPECT_FALSE(Reach({kA})) << c.what;
    c.undo();
    EXPECT_TRUE(Reach({kA})) << c.what;
  }
}

TEST_F(VariableReachTest, NamedVariablesAreTheTextsThatAreANameAlone) {
  const int p = b.Point(" a ", "b2");
  const int q = b.Point("a+1", "2");
  const int r = b.Point("a", "a");
  EXPECT_EQ(VariablesNamedBy(b.Record(p)), (std::vector<VariableRef>{{0, 1}, {2, 2}}));
  EXPECT_EQ(VariablesNamedBy(b.Record(q)), (std::vector<VariableRef>{}));
  EXPECT_EQ(VariablesNamedBy(b.Record(r)), (std::vector<VariableRef>{{0, 1}}));
}

// Every byte the engine writes: the records and what they own.
std::vector<std::uint8_t> ComputedState(const Screen& screen) {
  std::vector<std::uint8_t> out;
  const auto add = [&out](const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    out.insert(out.end(), p, p + size);
  };
  add(&screen.Settings, sizeof screen.Settings);
  for (int i = 0; i < kFigureSlots; ++i) {
    const FigureRecord* r = screen.Figures.record(i);
    if (r == nullptr || r->empty()) continue;
    add(&i, sizeof i);
    add(r->bytes().data(), r->bytes().size());
    const FigureOwned& o = r->owned;
    for (const std::vector<float>* v : {&o.SampleX, &o.SampleY, &o.HatchX, &o.HatchY})
      add(v->data(), v->size() * sizeof(float));
    const std::size_t loci = o.KisekiList.size();
    add(&loci, sizeof loci);
  }
  return out;
}

// A variable step recomputing only what the cell reaches leaves every screen
// exactly as a full pass does: every shipped example and gallery sheet,
// stepping each variable a..z one of its figures reads, twice in a row.
TEST(VariableReachDifferential, PartialPassEqualsFullPassOnExamplesAndSheets) {
  std::vector<std::pair<std::string, std::function<std::unique_ptr<Screen>()>>> screens;
  for (const examples::NamedExample& e : examples::AllExamples())
    screens.emplace_back(e.name, e.make);
  for (const examples::GallerySheet& g : examples::AllGallerySheets())
    screens.emplace_back(g.name, g.make);
  int stepped = 0, partial = 0;
  for (const auto& [name, make] : screens) {
    EngineFixture full_fx, part_fx;
    std::unique_ptr<Screen> full = make(), part = make();
    full_fx.engine.RecomputeScreen(*full);
    part_fx.engine.RecomputeScreen(*part);
    ASSERT_EQ(ComputedState(*full), ComputedState(*part)) << name;
    for (int column = 1; column <= 26; ++column) {
      const VariableRef cell{0, column};
      bool read = false;
      for (int i = 0; i < kFigureSlots && !read; ++i)
        read = FigureReadsVariable(*part, i, part_fx.expressions, cell);
      if (!read) continue;
      ++stepped;
      for (int step = 0; step < 2; ++step) {
        const double value = VariablesOf(*full).read(0, column) + 0.37;
        AssignVariable(*full, 0, column, value, full_fx.expressions);
        full_fx.engine.RecomputeScreen(*full);
        AssignVariable(*part, 0, column, value, part_fx.expressions);
        const VariableRef cells[] = {cell};
        const std::optional<std::vector<int>> reached =
            FiguresReachedBy(*part, part_fx.expressions, cells);
        if (reached && part_fx.engine.RecomputeFigures(*part, *reached))
          ++partial;
        else
          part_fx.engine.RecomputeScreen(*part);
        ASSERT_EQ(ComputedState(*full), ComputedState(*part))
            << name << " variable " << static_cast<char>('a' + column - 1) << " step " << step;
      }
    }
  }
  // The comparison means something only if it covered partial passes.
  EXPECT_GT(stepped, 10);
  EXPECT_GT(partial, stepped);
}

}  // namespace
}  // namespace qzarn
