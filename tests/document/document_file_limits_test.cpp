// What one document may claim: the number of curve-locus entries, and a load that runs out of
// memory is an error for that file, not the end of the program.
#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "document/document_file.h"
#include "document/document_file_format.h"
#include "document/document_file_test_support.h"

namespace qzarn {
namespace {

using namespace testing_support;
using docfile::kMaxLocusCurves;

// A screen whose functions (slots 3, 4, ...) hold curve loci of the given sizes, one
// single-point curve per entry.
std::unique_ptr<Screen> ScreenWithLoci(const std::vector<std::size_t>& sizes) {
  auto s = NewScreen();
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    FigureRecord f = FigureRecord::Blank(kFunctionFigure);
    SetLoadedRuntimeState(f);
    f.function()->KisekiF = true;
    for (std::size_t k = 0; k < sizes[i]; ++k) {
      const float v = static_cast<float>(k);
      f.owned.KisekiList.push_back(std::span(&v, 1), std::span(&v, 1));
    }
    PlaceFigure(s->Figures, 3 + static_cast<int>(i), std::move(f));
  }
  return s;
}

TEST(DocumentLimits, CurveLocusEntriesAreBoundedOverTheWholeDocument) {
  const std::size_t half = kMaxLocusCurves / 2;
  const struct {
    std::vector<std::size_t> sizes;
    bool loads;
  } cases[] = {
      {{kMaxLocusCurves}, true},
      {{kMaxLocusCurves + 1}, false},
      {{half, kMaxLocusCurves - half}, true},
      {{half + 1, kMaxLocusCurves - half}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.sizes.size() << " loci, first " << c.sizes[0]);
    auto s = ScreenWithLoci(c.sizes);
    for (bool compressed : {false, true}) {
      SaveOptions o = PlainBmp();
      o.compressed = compressed;
      std::vector<std::uint8_t> bytes;
      std::string error;
      ASSERT_TRUE(WriteDocumentBytes(*s, "loci.qzl", o, bytes, error)) << error;
      auto back = NewScreen();
      back->Title = "kept";
      const LoadResult r = ReadDocumentBytes(bytes, *back);
      if (c.loads) {
        ASSERT_TRUE(r.ok()) << r.detail;
        EXPECT_EQ(back->Figures[3].Record.owned.KisekiList.size(), c.sizes[0]);
        EXPECT_EQ(back->Figures[3].Record.owned.KisekiList, s->Figures[3].Record.owned.KisekiList);
      } else {
        EXPECT_EQ(r.error, LoadError::kTooLarge) << r.detail;
        EXPECT_NE(r.detail.find("curve loci"), std::string::npos) << r.detail;
        EXPECT_EQ(back->Figures.LastIndex, -1);
      }
    }
  }
}

// Memory running out anywhere inside a load (here: while a record is made) fails that load
// and leaves the screen as it was, in every entry point.
TEST(DocumentLimits, RunningOutOfMemoryFailsTheLoadOnly) {
  auto s = RichScreen();
  LoadOptions starved;
  starved.make_record = [](std::int32_t) -> FigureRecord { throw std::bad_alloc(); };
  for (bool compressed : {false, true}) {
    SCOPED_TRACE(compressed ? "compressed" : "plain");
    SaveOptions o = PlainBmp();
    o.compressed = compressed;
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(WriteDocumentBytes(*s, "doc.qzl", o, bytes, error)) << error;
    auto back = NewScreen();
    const std::vector<std::uint8_t> before = Plain(*back);
    LoadResult r;
    ASSERT_NO_THROW(r = ReadDocumentBytes(bytes, *back, starved));
    EXPECT_EQ(r.error, LoadError::kOutOfMemory);
    if (!compressed) {
      ASSERT_NO_THROW(r = ReadPlainDocument(bytes, *back, starved));
      EXPECT_EQ(r.error, LoadError::kOutOfMemory);
    }
    EXPECT_EQ(Plain(*back), before);
  }
}

}  // namespace
}  // namespace qzarn
