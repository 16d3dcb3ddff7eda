// Damaged documents: every index and count read from a file is checked, and a
// load that fails leaves the screen exactly as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "document/document_file.h"
#include "document/document_file_test_support.h"

namespace qzarn {
namespace {

using namespace testing_support;

constexpr std::size_t kAfterFont = 48 + 256 + 15492 + 52;

// An empty screen's file with `middle` put where the figure list starts (after the
// picture tag), followed by the usual ends of the figure list and the file.
std::vector<std::uint8_t> WithFigureList(const std::vector<std::int32_t>& words,
                                         std::int32_t header_last_figure = 500) {
  auto s = NewScreen();
  auto bytes = Plain(*s);
  bytes.resize(kAfterFont + 4);
  StoreI32(bytes.data() + 40, header_last_figure);
  for (std::int32_t w : words) {
    bytes.resize(bytes.size() + 4);
    StoreI32(bytes.data() + bytes.size() - 4, w);
  }
  return bytes;
}

std::vector<std::int32_t> SlotWords(std::int32_t type) {
  StoredSlot slot{};
  slot.FigureType = type;
  std::int32_t words[3];
  std::memcpy(words, &slot, sizeof words);
  return {words[0], words[1], words[2]};
}

// Words of a record of the type: zeros of its stored size.
void AppendRecord(std::vector<std::int32_t>& words, std::int32_t type) {
  const auto slot = SlotWords(type);
  words.insert(words.end(), slot.begin(), slot.end());
  words.insert(words.end(), static_cast<std::size_t>(RecordSize(type) / 4), 0);
}

// Every refusal is checked for its reason: a case that fails for another reason than the one
// it is about (a short file, say) would let a missing check through.
TEST(DocumentFileBounds, IndicesAndCountsFromTheFile) {
  struct Case {
    const char* name;
    std::vector<std::int32_t> words;
    std::int32_t header_last = 500;
    const char* refusal;  // nullptr: the file loads
  };
  constexpr std::size_t kListStart = kAfterFont + 4;
  const auto damaged_after = [](std::size_t n) {
    return "the file is damaged after byte " + std::to_string(n);
  };
  const std::string after_end = damaged_after(kListStart + 8);
  std::string before_second;  // set where the damaged-index cases are built
  std::vector<Case> cases;
  cases.push_back({"figure index 501 ends the list", {501, -1}, 500, nullptr});
  cases.push_back({"larger header limit, index 550", {550, -1, -1}, 600, "figure index 550"});
  cases.push_back(
      {"palette index 200 truncated", {-1, 200}, 500, "file ends inside a palette entry"});
  {
    // Whole entries, so that only the index can be the reason: one past the last entry
    // would be written into the block after the palette.
    std::vector<std::int32_t> w = {-1, 200};
    w.insert(w.end(), kPaletteItemSize / 4, 0);
    w.push_back(-1);
    cases.push_back({"palette index 200", w, 500, nullptr});
    w[1] = 201;
    cases.push_back({"palette index 201", w, 500, "palette entry 201"});
  }
  cases.push_back(
      {"equation last 99 truncated", {-1, -100, 99}, 500, "file ends inside the equations"});
  cases.push_back({"equation last 100", {-1, -100, 100}, 500, "equation count 100"});
  cases.push_back({"equation last -2", {-1, -100, -2}, 500, "equation count -2"});
  cases.push_back({"equation last -1", {-1, -100, -1}, 500, nullptr});
  cases.push_back({"unknown end marker", {-1, -7}, 500, nullptr});
  cases.push_back({"missing end marker", {-1}, 500, "file ends inside the palette"});
  cases.push_back({"figure type 0",
                   {0, SlotWords(0)[0], SlotWords(0)[1], SlotWords(0)[2], -1, -1},
                   500,
                   "figure type 0"});
  cases.push_back({"figure type 19", {0, 0, 19, 0, -1, -1}, 500, "figure type 19"});
  cases.push_back(
      {"locus count hostile", {-1, -110, 0x7FFFFFFF}, 500, "curve locus count 2147483647"});
  cases.push_back({"locus for an empty slot",
                   {-1, -110, 0, 4, 0, 7, 7, -1, -1},
                   500,
                   "curve locus for figure 4, which is not a function"});
  cases.push_back({"bytes after the end", {-1, -1, 7}, 500, after_end.c_str()});
  {
    std::vector<std::int32_t> w = {0};
    AppendRecord(w, kFunctionFigure);
    const auto good = w;
    w.insert(w.end(), {-1, -110, 0, 0, 0x7FFFFFFE, 0, 0, -1, -1});
    cases.push_back({"locus node of 2^31 points", w, 500, "file ends inside a curve locus"});
    w = good;
    w.insert(w.end(), {-1, -110, 0, 0, 0, 5, 6, 1, 1, 2, 3, 4, -1, -1});
    cases.push_back({"two locus nodes", w, 500, nullptr});
    w = good;
    w.insert(w.end(), {-1, -110, 0, 1, -1, -1});
    cases.push_back({"locus names an empty slot", w, 500, "curve locus for figure 1"});
  }
  {
    std::vector<std::int32_t> w = {2};
    AppendRecord(w, kLineFigure);
    w.insert(w.end(), {-1, -110, 0, 2, -1, -1});
    cases.push_back({"locus names a line", w, 500, "curve locus for figure 2"});
  }
  {
    std::vector<std::int32_t> w = {0};
    AppendRecord(w, kOleFigure);
    auto hostile = w;
    hostile.insert(hostile.end(), {0x7FFFFFFF, -1, -1});
    cases.push_back({"object of 2 GB", hostile, 500, "file ends inside an object's data"});
    auto negative = w;
    negative.insert(negative.end(), {-4, -1, -1});
    cases.push_back({"object of negative size", negative, 500, "negative object size"});
    w.insert(w.end(), {4, 0x01020304, -1, -1});
    cases.push_back({"object of 4 bytes", w, 500, nullptr});
  }
  // A damaged index ahead of a figure ends the list early: the figures behind it must not be
  // dropped quietly, whether the damage reads as the end mark or as an index beyond the list.
  {
    std::vector<std::int32_t> w = {0};
    AppendRecord(w, kLineFigure);
    const std::size_t second = kListStart + 4 * w.size();
    std::vector<std::int32_t> second_figure = {3};
    AppendRecord(second_figure, kLineFigure);
    w.insert(w.end(), second_figure.begin(), second_figure.end());
    w.insert(w.end(), {-1, -1});
    auto beyond = w;
    beyond[(second - kListStart) / 4] = 0x00FFFFFF;
    before_second = damaged_after(second);
    cases.push_back(
        {"figure index beyond the list ahead of a figure", beyond, 500, before_second.c_str()});
    auto end_mark = w;
    end_mark[(second - kListStart) / 4] = -1;
    cases.push_back({"figure index reading as the end ahead of a figure", end_mark, 500,
                     "the file is damaged after byte"});
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto bytes = WithFigureList(c.words, c.header_last);
    auto s = RichScreen();
    const auto before = Plain(*s);
    LoadResult r = ReadPlainDocument(bytes, *s);
    EXPECT_EQ(r.ok(), c.refusal == nullptr) << r.detail;
    if (!r.ok()) {
      EXPECT_EQ(r.error, LoadError::kCorrupt);
      EXPECT_NE(r.detail.find(c.refusal), std::string::npos) << r.detail;
      EXPECT_EQ(Plain(*s), before) << "a failed load changed the screen";
    }
  }
}

TEST(DocumentFileBounds, PictureSizes) {
  auto s = NewScreen();
  auto base = Plain(*s);
  base.resize(kAfterFont);
  struct Case {
    const char* name;
    std::vector<std::int32_t> words;
    const char* refusal;  // nullptr: the file loads
  };
  const Case cases[] = {
      {"BMP of 2 GB", {0x7FFFFFF0, -1, -1}, "file ends inside the picture"},
      {"JPEG of 2 GB", {-2, 0x7FFFFFF0, -1, -1}, "file ends inside the picture"},
      {"JPEG of negative size", {-2, -3, -1, -1}, "negative picture size"},
      {"negative tag", {-9, -1, -1}, "negative picture size"},
      {"BMP of 8 garbage bytes", {8, 1, 2, -1, -1}, "background picture: "},
      {"empty picture", {0, -1, -1}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = base;
    for (std::int32_t w : c.words) {
      bytes.resize(bytes.size() + 4);
      StoreI32(bytes.data() + bytes.size() - 4, w);
    }
    auto back = NewScreen();
    const LoadResult r = ReadPlainDocument(bytes, *back);
    EXPECT_EQ(r.ok(), c.refusal == nullptr) << r.detail;
    if (!r.ok()) {
      EXPECT_EQ(r.error, LoadError::kCorrupt);
      EXPECT_NE(r.detail.find(c.refusal), std::string::npos) << r.detail;
    }
  }
}

// A thousand damaged copies of a document that uses every block: truncated, with flipped
// bytes, or with hostile values over aligned words. None may crash or hang, and every failed
// load must leave the screen as it was.
void LoadDamagedCopies(bool compressed) {
  auto rich = RichScreen(5);
  SaveOptions o = PlainBmp();
  const auto plain = Plain(*rich, o);
  std::vector<std::uint8_t> packed_original;
  {
    SaveOptions c = o;
    c.compressed = true;
    std::string error;
    ASSERT_TRUE(WriteDocumentBytes(*rich, "doc.qzl", c, packed_original, error));
  }
  std::mt19937 rng(compressed ? 99 : 42);
  const std::int32_t hostile[] = {
      -1, -2, -100, -110, 0, 200, 201, 500, 501, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000),
      18, 19, 99,   100};
  auto screen = RichScreen(6);
  auto before = Plain(*screen);
  int loaded = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 1000; ++i) {
    auto bytes = plain;
    switch (i % 3) {
      case 0:
        bytes.resize(rng() % bytes.size());
        break;
      case 1:
        for (int k = 0, n = 1 + static_cast<int>(rng() % 8); k < n; ++k)
          bytes[rng() % bytes.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        break;
      default:
        for (int k = 0, n = 1 + static_cast<int>(rng() % 3); k < n; ++k) {
          const std::size_t at = (rng() % (bytes.size() / 4)) * 4;
          StoreI32(bytes.data() + at, hostile[rng() % std::size(hostile)]);
        }
    }
    if (compressed) {
      // Every tenth damaged plain file is packed; the other copies damage the packed original.
      SaveOptions c = o;
      c.compressed = true;
      std::string error;
      if (i % 10 == 0) {
        auto fresh = NewScreen();
        std::vector<std::uint8_t> packed;
        ASSERT_TRUE(WriteDocumentBytes(ReadPlainDocument(bytes, *fresh).ok() ? *fresh : *rich,
                                       "doc.qzl", c, packed, error));
        bytes = std::move(packed);
      } else {
        bytes = packed_original;
        if (i % 3 == 0)
          bytes.resize(rng() % bytes.size());
        else
          bytes[48 + rng() % (bytes.size() - 48)] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
      }
    }
    LoadResult r = ReadDocumentBytes(bytes, *screen);
    if (r.ok()) {
      ++loaded;
      screen = RichScreen(6);  // start the next copy from the same screen
    } else {
      // Every refusal says what is wrong, as a damaged file or a damaged archive.
      ASSERT_FALSE(r.detail.empty()) << "copy " << i;
      ASSERT_TRUE(r.error == LoadError::kCorrupt || r.error == LoadError::kBadArchive ||
                  r.error == LoadError::kUnknownFormat || r.error == LoadError::kTooLarge)
          << "copy " << i << ": " << r.detail;
      ASSERT_EQ(Plain(*screen), before) << "copy " << i << ": " << r.detail;
    }
  }
  EXPECT_GT(loaded, 0);
  EXPECT_LT(loaded, 1000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::minutes(5));
}

TEST(DocumentFileCorruption, PlainCopies) {
  LoadDamagedCopies(false);
}
TEST(DocumentFileCorruption, CompressedCopies) {
  LoadDamagedCopies(true);
}

// A document whose figure index was overwritten with 0xff bytes used to load without its
// figures (and a save then wrote the shortened document); its intact original loads whole.
TEST(DocumentFileCorruption, DamagedFigureIndexNamesThePlace) {
  const std::string folder = std::string(QZARN_SOURCE_DIR) + "/tests/repro/documents/";
  auto intact = NewScreen();
  const LoadResult good = LoadDocument(*intact, folder + "figure-index-intact.qzl");
  ASSERT_TRUE(good.ok()) << good.detail;
  int figures = 0;
  for (const FigureSlot& slot : intact->Figures.slots())
    figures += !slot.empty();
  EXPECT_GT(figures, 1);

  auto s = RichScreen();
  const auto before = Plain(*s);
  const LoadResult r = LoadDocument(*s, folder + "figure-index-damaged.qzl");
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.error, LoadError::kCorrupt);
  EXPECT_EQ(r.detail, "the file is damaged after byte 15852");
  EXPECT_EQ(Plain(*s), before);
}

}  // namespace
}  // namespace qzarn
