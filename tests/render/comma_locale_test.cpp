// Numbers keep "." under a locale whose decimal point is ",". The desktop
// toolkit sets the process locale from the environment, so a teacher with a
// German or French desktop would otherwise get "1,5" in graph texts, dragged
// coordinates, labels and dumps. A comma locale is compiled once into the
// build folder (localedef) and selected through LOCPATH.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/graph_text.h"
#include "engine/number_format.h"
#include "expr/engine.h"
#include "platform/c_number_format.h"
#include "render/axes_grid.h"
#include "render/figure_drawing_fixture.h"
#include "render/figure_drawing_labels.h"
#include "render/text_markup.h"

namespace qzarn::render {
namespace {

constexpr const char* kCommaLocale = "de_DE.UTF-8";

// Selects the comma locale for the process; false when it cannot be had.
bool UseCommaLocale() {
  if (std::setlocale(LC_ALL, kCommaLocale) != nullptr) return true;
  const std::filesystem::path folder = std::filesystem::path(QZARN_BINARY_DIR) / "test-locales";
  if (!std::filesystem::exists(folder / kCommaLocale)) {
    std::filesystem::create_directories(folder);
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (folder / kCommaLocale).string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 && !std::filesystem::exists(folder / kCommaLocale))
      return false;
  }
  setenv("LOCPATH", folder.c_str(), 1);
  return std::setlocale(LC_ALL, kCommaLocale) != nullptr;
}

class CommaLocaleTest : public FigureDrawingTest {
 protected:
  void SetUp() override {
    FigureDrawingTest::SetUp();
    if (!UseCommaLocale()) GTEST_SKIP() << "no comma-decimal locale (localedef missing)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5") << "the locale does not write a decimal comma";
  }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
  }
};

TEST_F(CommaLocaleTest, EveryNumberTextUsesAPoint) {
  EXPECT_EQ(FormatNumber(1.5, 10), "1.5");  // a dragged coordinate written back
  EXPECT_EQ(FormatNumber(-0.125, 10), "-0.125");
  EXPECT_EQ(FormatDecimals(2.25, 2), "2.25");
  EXPECT_EQ(FormatCoordinates(1.5, -2, CoordinateKind::kStandard, 2), "(1.5,-2)");
  EXPECT_EQ(FormatTickValue(0.5), "0.5");
  VariableTable t;
  t.reset_for_new_screen();
  t.write(0, 1, 0.25);
  EXPECT_EQ(InsertValue("a:6:3", &t), " 0.250");
  EXPECT_EQ(InsertValue("a:12", &t), "2.500000e-01");
  char json[40];
  FormatC(json, sizeof json, "%.17g", 0.1);
  EXPECT_STREQ(json, "0.10000000000000001");
}

TEST_F(CommaLocaleTest, GraphTextOfALineReadsBackAsTheLine) {
  AddLine(0, 1, 2, 2);  // y = 0.5 x + 1
  const std::string text = GraphText(*screen, 0);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.find(','), std::string::npos) << text;
  ExprEngine engine;
  VariableTable vars;
  vars.reset_for_new_screen();
  vars.write(0, 24, 2);  // x
  EXPECT_DOUBLE_EQ(engine.EvaluateText(vars, text), 2.0) << text;
  EXPECT_DOUBLE_EQ(engine.EvaluateText(vars, "0.5*x+1"), 2.0);
}

}  // namespace
}  // namespace qzarn::render
