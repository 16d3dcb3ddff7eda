#include "import/legacy_data.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "import/page_import.h"
#include "platform/binary_io.h"

namespace qzarn::import {
namespace {

// A str[width] field: length byte, characters, zero padding to the full width.
void PutField(std::vector<std::uint8_t>& v, std::size_t at, std::size_t width,
              std::string_view text, int length_byte = -1) {
  v[at] = static_cast<std::uint8_t>(length_byte >= 0 ? length_byte : static_cast<int>(text.size()));
  for (std::size_t i = 0; i < text.size() && i < width; ++i)
    v[at + 1 + i] = static_cast<std::uint8_t>(text[i]);
}

struct StoredFunction {
  int number;
  bool used;
  std::string title, start, end, x, y;
};

std::vector<std::uint8_t> FunctionFile(const std::vector<StoredFunction>& entries) {
  std::vector<std::uint8_t> v(kFunctionEntries * kFunctionRecordSize, 0);
  for (const StoredFunction& e : entries) {
    const std::size_t r = static_cast<std::size_t>(e.number - 1) * kFunctionRecordSize;
    v[r] = e.used ? 1 : 0;
    v[r + 1] = 9;  // read, not used
    PutField(v, r + 8, 40, e.title);
    PutField(v, r + 49, 15, e.start);
    PutField(v, r + 65, 15, e.end);
    PutField(v, r + 81, 15, "0.01");
    PutField(v, r + 97, 200, e.x);
    PutField(v, r + 298, 200, e.y);
  }
  return v;
}

std::vector<std::uint8_t> HolderFile() {
  std::vector<std::uint8_t> v(kHolders * kHolderRecordSize, 0);
  for (int h = 0; h < kHolders; ++h)
    PutField(v, static_cast<std::size_t>(h) * kHolderRecordSize, 36, "H" + std::to_string(h + 1));
  return v;
}

std::vector<std::uint8_t> FigureFile(const std::vector<std::pair<int, std::int16_t>>& in_use) {
  std::vector<std::uint8_t> v(kFigureEntries * kFigureRecordSize, 0);
  for (const auto& [number, flag] : in_use) {
    const std::size_t r = static_cast<std::size_t>(number - 1) * kFigureRecordSize;
    StoreU32(v.data() + r, static_cast<std::uint16_t>(flag));
    PutField(v, r + 4, 34, "E" + std::to_string(number));
    v[r + 39] = 0x34;
    v[r + 40] = 0x12;
  }
  return v;
}

// "円" in code page 932.
const std::string kCircle = "\x89\x7E";

TEST(LegacyFunctions, ReadsEveryRecordAsTheListShowsIt) {
  const auto bytes = FunctionFile({{3, false, kCircle, "", "", "", ""},
                                   {7, true, "Lissajous", "0", "6.28", "cos(2t)", "sin(3t)"}});
  std::vector<FunctionEntry> out;
  std::string error;
  ASSERT_TRUE(ReadFunctionFile(bytes, out, error)) << error;
  ASSERT_EQ(out.size(), 100U);
  EXPECT_EQ(FunctionRowTitle(out[2]), "3.円");
  EXPECT_FALSE(out[2].used);
  const FunctionEntry& e = out[6];
  EXPECT_TRUE(e.used);
  EXPECT_EQ(FunctionRowTitle(e), "7.Lissajous");
  EXPECT_EQ(std::tie(e.start, e.end, e.x, e.y),
            std::make_tuple(std::string("0"), std::string("6.28"), std::string("cos(2t)"),
                            std::string("sin(3t)")));
  EXPECT_EQ(FunctionRowTitle(out[99]), "100.");
}

TEST(LegacyFunctions, LengthBytesBeyondTheirFieldAreClampedToIt) {
  struct Field {
    std::size_t offset, width;
    std::string FunctionEntry::*member;
  } fields[] = {{8, 40, &FunctionEntry::title},
                {49, 15, &FunctionEntry::start},
                {65, 15, &FunctionEntry::end},
                {97, 200, &FunctionEntry::x},
                {298, 200, &FunctionEntry::y}};
  for (const Field& f : fields) {
    SCOPED_TRACE(f.offset);
    // The last record, so an unclamped length would run past the file.
    auto bytes = FunctionFile({});
    const std::size_t r = 99 * kFunctionRecordSize;
    PutField(bytes, r + f.offset, f.width, std::string(f.width, 'a'), 255);
    std::vector<FunctionEntry> out;
    std::string error;
    ASSERT_TRUE(ReadFunctionFile(bytes, out, error));
    EXPECT_EQ(out[99].*f.member, std::string(f.width, 'a'));
  }
}

// Length bytes that count the zero padding too: the text ends at its first
// zero byte, in titles, expressions, holder and entry names alike.
TEST(LegacyFiles, ZeroPaddingCountedByTheLengthByteIsNoPartOfTheText) {
  auto functions = FunctionFile({{1, true, "Sin", "0", "1", "t", "sin(t)"}});
  functions[8] = 12;  // "Sin" and nine zero bytes
  functions[97] = 40;
  std::vector<FunctionEntry> out;
  std::string error;
  ASSERT_TRUE(ReadFunctionFile(functions, out, error)) << error;
  EXPECT_EQ(FunctionRowTitle(out[0]), "1.Sin");
  EXPECT_EQ(out[0].x, "t");

  auto holders = HolderFile();
  holders[0] = 30;
  auto figures = FigureFile({{1, 1}});
  figures[4] = 34;
  std::vector<FigureEntry> entries;
  ASSERT_TRUE(ReadFigureIndex(holders, figures, entries, error)) << error;
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(FigureRowText(entries[0]), "H1≫E1");
}

TEST(LegacyFiles, ShortFilesAreErrorsThatSayWhereTheyEnd) {
  struct Case {
    std::size_t functions, holders, figures;
    const char* says;
  } cases[] = {
      {0, 0, 0, "FUNCTION.DAT が途中で切れています（完全なﾚｺｰﾄﾞは 0 件）．"},
      {49899, 0, 0, "FUNCTION.DAT が途中で切れています（完全なﾚｺｰﾄﾞは 99 件）．"},
      {0, 295, 18000, "HOLDER.DAT が途中で切れています（完全なﾚｺｰﾄﾞは 7 件）．"},
      {0, 296, 17999, "FIGURE.DAT が途中で切れています（完全なﾚｺｰﾄﾞは 399 件）．"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    std::string error;
    if (c.holders == 0) {
      auto bytes = FunctionFile({{1, true, "t", "0", "1", "t", "t"}});
      bytes.resize(c.functions);
      std::vector<FunctionEntry> out;
      EXPECT_FALSE(ReadFunctionFile(bytes, out, error));
      EXPECT_TRUE(out.empty());
    } else {
      auto holders = HolderFile();
      auto figures = FigureFile({{1, 1}});
      holders.resize(c.holders);
      figures.resize(c.figures);
      std::vector<FigureEntry> out;
      EXPECT_FALSE(ReadFigureIndex(holders, figures, out, error));
    }
    EXPECT_EQ(error, c.says);
  }
  // Longer files are read up to their last record.
  auto bytes = FunctionFile({});
  bytes.resize(bytes.size() + 1000, 0xFF);
  std::vector<FunctionEntry> out;
  std::string error;
  EXPECT_TRUE(ReadFunctionFile(bytes, out, error));
}

TEST(LegacyFigures, ListsEntriesInUseUnderTheirHolderWithTheirPageFile) {
  const auto figures =
      FigureFile({{1, 1}, {5, 0}, {50, 2}, {51, -1}, {55, 1}, {56, 32767}, {400, 1}});
  std::vector<FigureEntry> out;
  std::string error;
  ASSERT_TRUE(ReadFigureIndex(HolderFile(), figures, out, error)) << error;
  std::vector<std::string> rows;
  for (const FigureEntry& e : out)
    rows.push_back(FigureRowText(e));
  EXPECT_EQ(rows, (std::vector<std::string>{"H1≫E1", "H1≫E50", "H2≫E55", "H2≫E56", "H8≫E400"}));
  EXPECT_EQ(out[2].number, 55);
  EXPECT_EQ(out[2].first_word, 0x1234);
  for (const auto& [entry, file] : std::vector<std::pair<int, std::string>>{
           {5, "GRF005.DAT"}, {55, "GRF055.DAT"}, {400, "GRF400.DAT"}})
    EXPECT_EQ(PageFileName(entry), file);
  EXPECT_EQ(PageTitle(out[2], 3), "H2≫E55(3)");
}

class LegacyFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("qzarn-legacy-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::path dir_;
};

TEST_F(LegacyFolder, FindsFilesWhateverTheCaseOfTheirNames) {
  Write("function.dat", FunctionFile({{2, true, "two", "0", "1", "t", "t*t"}}));
  Write("Holder.Dat", HolderFile());
  Write("FIGURE.dat", FigureFile({{3, 1}}));
  std::vector<FunctionEntry> functions;
  std::vector<FigureEntry> figures;
  std::string error;
  ASSERT_TRUE(LoadFunctionFolder(dir_, functions, error)) << error;
  EXPECT_EQ(functions[1].y, "t*t");
  ASSERT_TRUE(LoadFigureFolder(dir_, figures, error)) << error;
  EXPECT_EQ(figures.size(), 1U);
}

TEST_F(LegacyFolder, WhatThePageReaderSaysOfEachPageFile) {
  ASSERT_EQ(::mkfifo((dir_ / "GRF003.DAT").c_str(), 0600), 0);
  Write("grf004.dat", std::vector<std::uint8_t>(7, 1));
  Write("GRF005.DAT", std::vector<std::uint8_t>(64, 1));
  struct Case {
    int entry;
    std::string says;
  } cases[] = {
      {2, "GRF002.DAT がありません．"},
      {3, "GRF003.DAT は通常のﾌｧｲﾙではありません．"},  // a FIFO is never opened
      {4, "GRF004.DAT が途中で切れています．"},
      {5, UnknownPageFormatMessage(5)},
  };
  for (const Case& c : cases) {
    FilePageReader reader;
    FigureEntry entry;
    entry.number = c.entry;
    std::string message;
    EXPECT_FALSE(reader.Load(dir_, entry, message));
    EXPECT_EQ(message, c.says);
  }
  FigureTable table;
  EXPECT_FALSE(FilePageReader().AppendPage(1, table));
  const RgbImage preview = FilePageReader().Preview(1);
  EXPECT_EQ(std::pair(preview.width, preview.height), std::pair(400, 600));
}

}  // namespace
}  // namespace qzarn::import
