// What one document may claim: the number of curve-locus entries, and a load that runs out of
// memory is an error for that file, not the end of the program.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <new>
#include <vector>

#include "document/document_file.h"
#include "document/document_file_format.h"
#include "document/document_file_test_support.h"
#include "platform/lzh_archive.h"

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

long PeakResidentKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// The bytes of a compressed document whose member is `size` zero bytes, packed in a child
// process so that building it does not raise this process's peak memory.
std::vector<std::uint8_t> PackedZeros(std::size_t size) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_ends[0]);
    const std::vector<std::uint8_t> zeros(size, 0);
    const LzhWriteMember member{"zeros.qzl", zeros};
    std::vector<std::uint8_t> archive;
    if (!WriteLzhArchive(std::span(&member, 1), archive).ok()) ::_exit(1);
    std::size_t done = 0;
    while (done < archive.size()) {
      const ssize_t n = ::write(pipe_ends[1], archive.data() + done, archive.size() - done);
      if (n <= 0) ::_exit(1);
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(pipe_ends[1]);
  std::vector<std::uint8_t> bytes(docfile::kHeaderSize, 0);
  bytes[0] = 12;
  std::memcpy(bytes.data() + 1, "Q-ZARN PRESS", 12);
  std::uint8_t chunk[4096];
  for (ssize_t n; (n = ::read(pipe_ends[0], chunk, sizeof chunk)) > 0;)
    bytes.insert(bytes.end(), chunk, chunk + n);
  ::close(pipe_ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? bytes : std::vector<std::uint8_t>{};
}

// A compressed document whose member is not a plain document is refused after the member's
// first bytes, however far the member would expand.
TEST(DocumentLimits, ArchiveMembersAreCheckedBeforeTheyAreExpanded) {
  const std::vector<std::uint8_t> bytes = PackedZeros(std::size_t{64} << 20);
  ASSERT_FALSE(bytes.empty());
  EXPECT_LT(bytes.size(), 200'000u);
  auto back = NewScreen();
  const long before = PeakResidentKb();
  const LoadResult r = ReadDocumentBytes(bytes, *back);
  EXPECT_EQ(r.error, LoadError::kUnknownFormat) << r.detail;
  EXPECT_TRUE(r.compressed);
  EXPECT_LT(PeakResidentKb() - before, 16'000);
}

// Runs after the tests above: it raises the peak memory they measure against.
// A large file that is no document is refused on its first bytes: nothing past them is read
// (a 200 MB file does not raise the peak memory), whatever name it has.
TEST(DocumentLimits, LargeFilesThatAreNoDocumentsAreRefusedOnTheirHeader) {
  const std::string folder = ::testing::TempDir();
  const struct {
    const char* name;
    const char* head;
    LoadError error;
  } cases[] = {
      {"big.qzl", "\x0cQ-ZARN V9.99", LoadError::kUnknownFormat},
      {"big.txt", "\x0cQ-ZARN V1.05", LoadError::kWrongExtension},
      {"zeros.qzl", "", LoadError::kUnknownFormat},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder + "/" + std::to_string(::getpid()) + "-" + c.name;
    {
      std::ofstream out(path, std::ios::binary);
      out << c.head;
    }
    ASSERT_EQ(::truncate(path.c_str(), 200'000'000), 0);  // a sparse file: no disk space used
    auto back = NewScreen();
    const long before = PeakResidentKb();
    EXPECT_EQ(LoadDocument(*back, path).error, c.error);
    if (c.error == LoadError::kUnknownFormat) {
      EXPECT_EQ(LoadPlainDocument(*back, path).error, c.error);
    }
    EXPECT_LT(PeakResidentKb() - before, 50'000);
    ::unlink(path.c_str());
  }
}

}  // namespace
}  // namespace qzarn
