// The lesson sheets of the gallery: each one recomputes without a reference
// cycle or a figure left without a result, survives saving and loading, and
// draws like its reference picture in tests/render/reference/gallery/.
// QZARN_WRITE_REFERENCES=1 rewrites those pictures; QZARN_WRITE_GALLERY=DIR
// writes the sheets as documents into DIR (scripts/help-pictures does both).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "document/document_file.h"
#include "engine/engine_ui.h"
#include "engine/geometry_values.h"
#include "render/gallery_sheets.h"
#include "render_compare.h"

namespace qzarn {
namespace {

namespace fs = std::filesystem;
using testing::DifferingFraction;
using testing::RenderGeometry;

class RecordingUi final : public EngineUi {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  bool AskYesNo(std::string_view) override { return true; }
  std::vector<std::string> messages;
};

bool Placed(double v) {
  return std::isfinite(v) && std::fabs(v) < OffPlaneValue;
}

// The slots whose figure has no result after a pass: a point, line or circle
// off the plane or undefined, a curve without samples, an area without a
// value, an intersection set without any point.
std::vector<int> FiguresWithoutResult(const Screen& screen) {
  std::vector<int> missing;
  for (int i = 0; i <= screen.Figures.LastIndex; ++i) {
    const FigureRecord* r = screen.Figures.record(i);
    if (r == nullptr) continue;
    bool ok = true;
    if (r->type() == kMensekiFigure) {
      ok = Placed(r->point()->ArcRadius);
    } else if (const PointRecord* p = r->point()) {
      ok = Placed(p->X) && Placed(p->Y);
    } else if (const LineRecord* l = r->line()) {
      ok = Placed(l->X0) && Placed(l->Y0) && Placed(l->X1) && Placed(l->Y1);
    } else if (const CircleRecord* c = r->circle()) {
      ok = Placed(c->X0) && Placed(c->Y0) && Placed(c->RadiusValue);
    } else if (const FunctionRecord* f = r->function()) {
      ok = f->SampleLast >= 10;
    } else if (const MultiPointRecord* m = r->multi_point()) {
      ok = Placed(m->PX[0]) && Placed(m->PY[0]);
    }
    if (!ok) missing.push_back(i);
  }
  return missing;
}

// A pass over a loaded sheet, as the program makes after opening it.
std::vector<std::string> Recompute(Screen& screen) {
  ExprEngine expr;
  FigureExpressions expressions(expr);
  RecordingUi ui;
  FigureEngine engine(expressions, ui);
  engine.RecomputeScreen(screen);
  return ui.messages;
}

TEST(GallerySheets, EverySheetOpensRecomputesAndDrawsLikeItsReference) {
  const fs::path references =
      fs::path(QZARN_SOURCE_DIR) / "tests" / "render" / "reference" / "gallery";
  const char* out_env = std::getenv("QZARN_WRITE_GALLERY");
  const fs::path out =
      out_env != nullptr && *out_env != '\0'
          ? fs::path(out_env)
          : fs::temp_directory_path() / ("qzarn_gallery_" + std::to_string(::getpid()));
  fs::create_directories(out);
  const std::vector<examples::GallerySheet> sheets = examples::AllGallerySheets();
  ASSERT_GE(sheets.size(), 15u);
  for (const examples::GallerySheet& sheet : sheets) {
    SCOPED_TRACE(sheet.name);
    std::unique_ptr<Screen> built = sheet.make();
    EXPECT_FALSE(built->CycleReported);
    EXPECT_EQ(FiguresWithoutResult(*built), std::vector<int>{});

    const std::string path = (out / (std::string(sheet.name) + ".qzl")).string();
    SaveOptions options;
    options.compressed = true;
    const SaveResult saved = SaveDocument(*built, path, options);
    ASSERT_TRUE(saved.ok) << saved.detail;
    std::unique_ptr<Screen> screen = examples::ScreenBuilder().Take();
    const LoadResult loaded = LoadDocument(*screen, path);
    ASSERT_TRUE(loaded.ok()) << loaded.detail;
    EXPECT_EQ(screen->Figures.LastIndex, built->Figures.LastIndex);
    EXPECT_EQ(Recompute(*screen), std::vector<std::string>{});
    EXPECT_FALSE(screen->CycleReported);
    EXPECT_EQ(FiguresWithoutResult(*screen), std::vector<int>{});

    testing::ExpectMatchesReference(RenderGeometry(*screen), references, sheet.name);
  }
  if (out_env == nullptr || *out_env == '\0') fs::remove_all(out);
}

// Every step of the quick lesson is complete and adds to the one before;
// QZARN_WRITE_LESSON=DIR writes them as lesson_1.qzl ... for their pictures.
TEST(QuickLesson, EveryStepBuildsOnThePreviousOne) {
  const char* out_env = std::getenv("QZARN_WRITE_LESSON");
  int figures_before = 0;
  for (int step = 1; step <= examples::kLessonSteps; ++step) {
    SCOPED_TRACE(step);
    std::unique_ptr<Screen> screen = examples::LessonStep(step);
    EXPECT_FALSE(screen->CycleReported);
    EXPECT_EQ(FiguresWithoutResult(*screen), std::vector<int>{});
    const int figures = screen->Figures.LastIndex + 1;
    // Step 5 changes a variable through the palette and adds no figure.
    if (step == 5)
      EXPECT_EQ(figures, figures_before);
    else
      EXPECT_GT(figures, figures_before);
    figures_before = figures;
    if (out_env == nullptr) continue;
    const std::string path =
        (fs::path(out_env) / ("lesson_" + std::to_string(step) + ".qzl")).string();
    EXPECT_TRUE(SaveDocument(*screen, path, SaveOptions{}).ok);
  }
  std::unique_ptr<Screen> last = examples::LessonStep(examples::kLessonSteps);
  const PointRecord& traced = *last->Figures.record(last->Figures.LastIndex)->point();
  EXPECT_GT(traced.TrackCount, 50);  // the animation left its trace
}

// The checks above notice a sheet gone wrong: a variable that makes the vertex
// undefined (a = 0 divides by zero), and a figure made to refer to itself.
TEST(GallerySheets, TheChecksNoticeAnUndefinedFigureAndACycle) {
  std::unique_ptr<Screen> screen = examples::VertexPaletteSheet();
  screen->Variables().write(0, examples::VariableColumn('a'), 0);
  EXPECT_TRUE(Recompute(*screen).empty());
  EXPECT_FALSE(FiguresWithoutResult(*screen).empty());

  screen = examples::TriangleCentresSheet();
  const int last = screen->Figures.LastIndex;  // the circle through A, B, C
  screen->Figures.record(last)->circle()->Ref2 = last;
  EXPECT_EQ(Recompute(*screen), std::vector<std::string>{std::string(kCycleMessage)});
  EXPECT_TRUE(screen->CycleReported);
}

}  // namespace
}  // namespace qzarn
