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

TEST(DocumentFileBounds, IndicesAndCountsFromTheFile) {
  struct Case {
    const char* name;
    std::vector<std::int32_t> words;
    std::int32_t header_last = 500;
    bool loads;
  };
  std::vector<Case> cases;
  cases.push_back({"figure index 501 ends the list", {501, -1, -1}, 500, true});
  cases.push_back({"larger header limit, index 550", {550, -1, -1}, 600, false});
  cases.push_back({"palette index 200", {-1, 200}, 500, false});  // truncated entry
  cases.push_back({"palette index 201", {-1, 201, -1}, 500, false});
  cases.push_back({"equation last 99 truncated", {-1, -100, 99}, 500, false});
  cases.push_back({"equation last 100", {-1, -100, 100}, 500, false});
  cases.push_back({"equation last -2", {-1, -100, -2}, 500, false});
  cases.push_back({"equation last -1", {-1, -100, -1}, 500, true});
  cases.push_back({"unknown end marker", {-1, -7}, 500, true});
  cases.push_back({"missing end marker", {-1}, 500, false});
  cases.push_back({"figure type 0",
                   {0, SlotWords(0)[0], SlotWords(0)[1], SlotWords(0)[2], -1, -1},
                   500,
                   false});
  cases.push_back({"figure type 19", {0, 0, 19, 0, -1, -1}, 500, false});
  cases.push_back({"locus count hostile", {-1, -110, 0x7FFFFFFF}, 500, false});
  cases.push_back({"locus for an empty slot", {-1, -110, 0, 4, 0, 7, 7, -1, -1}, 500, false});
  {
    std::vector<std::int32_t> w = {0};
    AppendRecord(w, kFunctionFigure);
    const auto good = w;
    w.insert(w.end(), {-1, -110, 0, 0, 0x7FFFFFFE, 0, 0, -1, -1});
    cases.push_back({"locus node of 2^31 points", w, 500, false});
    w = good;
    w.insert(w.end(), {-1, -110, 0, 0, 0, 5, 6, 1, 1, 2, 3, 4, -1, -1});
    cases.push_back({"two locus nodes", w, 500, true});
    w = good;
    w.insert(w.end(), {-1, -110, 0, 1, -1, -1});
    cases.push_back({"locus names an empty slot", w, 500, false});
  }
  {
    std::vector<std::int32_t> w = {2};
    AppendRecord(w, kLineFigure);
    w.insert(w.end(), {-1, -110, 0, 2, -1, -1});
    cases.push_back({"locus names a line", w, 500, false});
  }
  {
    std::vector<std::int32_t> w = {0};
    AppendRecord(w, kOleFigure);
    auto hostile = w;
    hostile.insert(hostile.end(), {0x7FFFFFFF, -1, -1});
    cases.push_back({"object of 2 GB", hostile, 500, false});
    auto negative = w;
    negative.insert(negative.end(), {-4, -1, -1});
    cases.push_back({"object of negative size", negative, 500, false});
    w.insert(w.end(), {4, 0x01020304, -1, -1});
    cases.push_back({"object of 4 bytes", w, 500, true});
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto bytes = WithFigureList(c.words, c.header_last);
    auto s = RichScreen();
    const auto before = Plain(*s);
    LoadResult r = ReadPlainDocument(bytes, *s);
    EXPECT_EQ(r.ok(), c.loads) << r.detail;
    if (!r.ok()) {
      EXPECT_EQ(r.error, LoadError::kCorrupt);
      EXPECT_FALSE(r.detail.empty());
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
    bool loads;
  };
  const Case cases[] = {
      {"BMP of 2 GB", {0x7FFFFFF0, -1, -1}, false},
      {"JPEG of 2 GB", {-2, 0x7FFFFFF0, -1, -1}, false},
      {"JPEG of negative size", {-2, -3, -1, -1}, false},
      {"negative tag", {-9, -1, -1}, false},
      {"BMP of 8 garbage bytes", {8, 1, 2, -1, -1}, false},
      {"empty picture", {0, -1, -1}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = base;
    for (std::int32_t w : c.words) {
      bytes.resize(bytes.size() + 4);
      StoreI32(bytes.data() + bytes.size() - 4, w);
    }
    auto back = NewScreen();
    EXPECT_EQ(ReadPlainDocument(bytes, *back).ok(), c.loads);
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

}  // namespace
}  // namespace qzarn
