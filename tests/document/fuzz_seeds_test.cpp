// Seeds of the document fuzzers that reach the optional blocks: curve loci, an embedded
// object, a background picture and equations. QZARN_WRITE_FUZZ_SEEDS=1 writes them into
// fuzz/corpus; otherwise the committed seeds must load and hold those blocks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "document/document_file.h"
#include "document/document_file_test_support.h"

namespace qzarn {
namespace {

using namespace testing_support;

TEST(FuzzSeeds, DocumentSeedsHoldLociObjectsAndPictures) {
  const bool write = std::getenv("QZARN_WRITE_FUZZ_SEEDS") != nullptr;
  const struct {
    const char* name;
    bool compressed;
    bool jpeg;
  } seeds[] = {{"rich_plain.qzl", false, false}, {"rich_jpeg.qzl", false, true}};
  for (const char* corpus : {"document_loader", "document_draw"}) {
    for (const auto& seed : seeds) {
      SCOPED_TRACE(std::string(corpus) + "/" + seed.name);
      const std::string path =
          std::string(QZARN_SOURCE_DIR) + "/fuzz/corpus/" + corpus + "/" + seed.name;
      if (write) {
        auto s = RichScreen(7);
        SaveOptions o = PlainBmp();
        o.compressed = seed.compressed;
        o.picture_as_jpeg = seed.jpeg;
        ASSERT_TRUE(SaveDocument(*s, path, o).ok);
      }
      auto back = NewScreen();
      const LoadResult r = LoadDocument(*back, path);
      ASSERT_TRUE(r.ok()) << r.detail;
      EXPECT_FALSE(back->Figures[40].Record.owned.KisekiList.empty());
      EXPECT_FALSE(back->Figures[kOleFigure - 1].Record.owned.ObjectBytes.empty());
      EXPECT_FALSE(back->Background.bytes.empty());
      EXPECT_GE(back->Equations.EquationLast, 0);
    }
  }
}

}  // namespace
}  // namespace qzarn
