// Writes the example screens as documents and reads them back. With
// QZARN_WRITE_EXAMPLES=1 in the environment the documents go to examples/ in
// the source tree (that is how examples/*.qzl are made); otherwise to a
// temporary folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "document/document_file.h"
#include "example_screens.h"

namespace qzarn::render {
namespace {

namespace fs = std::filesystem;

// The stored bytes of a record as loading leaves them: the curve and hatch
// state that a recompute pass set is reset, so the next pass computes it.
std::vector<std::uint8_t> AsLoaded(const FigureRecord& record) {
  FigureRecord copy = record;
  if (FunctionRecord* f = copy.function()) {
    f->CurveValid = 0;
    f->SampleLast = -1;
  }
  if (copy.type() == kMensekiFigure) copy.point()->HatchCount = -1;
  const auto bytes = copy.stored_bytes();
  return {bytes.begin(), bytes.end()};
}

TEST(ExampleDocuments, WriteAndReadBack) {
  const char* write = std::getenv("QZARN_WRITE_EXAMPLES");
  const bool into_source = write != nullptr && std::string(write) == "1";
  const fs::path dir =
      into_source ? fs::path(QZARN_SOURCE_DIR) / "examples"
                  : fs::temp_directory_path() / ("qzarn_examples_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const examples::NamedExample& e : examples::AllExamples()) {
    SCOPED_TRACE(e.name);
    std::unique_ptr<Screen> screen = e.make();
    const std::string path = (dir / (std::string(e.name) + ".qzl")).string();
    SaveOptions options;
    options.compressed = true;  // smaller files in the source tree
    const SaveResult saved = SaveDocument(*screen, path, options);
    ASSERT_TRUE(saved.ok) << saved.detail;
    std::unique_ptr<Screen> back = examples::ScreenBuilder().Take();
    const LoadResult loaded = LoadDocument(*back, path);
    ASSERT_TRUE(loaded.ok()) << loaded.detail;
    EXPECT_EQ(back->Figures.LastIndex, screen->Figures.LastIndex);
    for (int i = 0; i <= screen->Figures.LastIndex; ++i) {
      const FigureRecord* a = screen->Figures.record(i);
      const FigureRecord* b = back->Figures.record(i);
      ASSERT_TRUE(a != nullptr && b != nullptr) << i;
      EXPECT_TRUE(std::ranges::equal(AsLoaded(*a), b->stored_bytes())) << i;
    }
    EXPECT_EQ(back->View().ScreenWidth, screen->View().ScreenWidth);
  }
  if (!into_source) fs::remove_all(dir);
}

}  // namespace
}  // namespace qzarn::render
