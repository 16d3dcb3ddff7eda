// Documents of the older format versions, built here from their byte layout:
// no axis font before 1.05 and the shorter records of each version.
#include <gtest/gtest.h>

#include <cstring>

#include "document/document_file.h"
#include "document/document_file_test_support.h"

namespace qzarn {
namespace {

using namespace testing_support;

struct OldFigure {
  int slot;
  FigureRecord record;
};

// Writes a document as a writer of `version` did, from the current records.
std::vector<std::uint8_t> OldDocument(FormatVersion version, const Screen& s,
                                      const std::vector<OldFigure>& figures) {
  static const char* const kTags[] = {"Q-ZARN V1.00", "Q-ZARN V1.01", "Q-ZARN V1.02",
                                      "Q-ZARN V1.03", "Q-ZARN V1.04", "Q-ZARN V1.05"};
  ByteWriter w;
  std::uint8_t tag[40] = {12};
  std::memcpy(tag + 1, kTags[static_cast<int>(version)], 12);
  w.WriteBytes(tag, sizeof tag);
  w.WriteI32(500);
  w.WriteI32(200);
  w.WriteZeros(256);
  w.WriteBytes(&s.Settings, sizeof s.Settings);
  if (version == FormatVersion::kV105) w.WriteBytes(&s.Font, sizeof s.Font);
  w.WriteI32(-1);
  for (const OldFigure& f : figures) {
    w.WriteI32(f.slot);
    StoredSlot slot{};
    slot.FigureType = f.record.type();
    w.WriteBytes(&slot, sizeof slot);
    w.WriteBytes(f.record.stored_bytes(version));
    if (f.record.type() == kOleFigure) w.WriteI32(0);
  }
  w.WriteI32(-1);
  w.WriteI32(-1);
  return w.Take();
}

// A record factory that marks every byte, so that what a short record leaves unread shows.
FigureRecord Marked(std::int32_t type) {
  FigureRecord r = FigureRecord::Blank(type);
  for (std::uint8_t& b : r.bytes())
    b = 0xA5;
  return r;
}

TEST(DocumentFileVersions, ShortRecordsOfEveryVersion) {
  struct Case {
    std::int32_t type;
    FormatVersion version;
    std::size_t stored;
  };
  const Case cases[] = {
      {kFunctionFigure, FormatVersion::kV100, 1984}, {kFunctionFigure, FormatVersion::kV101, 2008},
      {kFunctionFigure, FormatVersion::kV103, 2008}, {kFunctionFigure, FormatVersion::kV104, 2512},
      {kCharFigure, FormatVersion::kV100, 2052},     {kCharFigure, FormatVersion::kV101, 2052},
      {kCharFigure, FormatVersion::kV102, 2064},     {kPointFigure, FormatVersion::kV102, 4992},
      {kAngle2Figure, FormatVersion::kV100, 4992},   {kMensekiFigure, FormatVersion::kV101, 4992},
      {kPointFigure, FormatVersion::kV103, 4996},    {kLineFigure, FormatVersion::kV102, 9516},
      {kSessenFigure, FormatVersion::kV100, 9516},   {kLineFigure, FormatVersion::kV103, 9520},
      {kCircleFigure, FormatVersion::kV100, 8024},   {kCross3Figure, FormatVersion::kV100, 18600},
      {kPolyFigure, FormatVersion::kV100, 1040},     {kOleFigure, FormatVersion::kV100, 1400},
  };
  std::mt19937 rng(11);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "type " << c.type << " version " << static_cast<int>(c.version));
    auto s = NewScreen();
    FigureRecord r = RandomRecord(c.type, rng);
    const auto bytes = OldDocument(c.version, *s, {{3, r}});
    auto back = NewScreen();
    LoadOptions options;
    options.make_record = Marked;
    LoadResult result = ReadPlainDocument(bytes, *back, options);
    ASSERT_TRUE(result.ok()) << result.detail;
    EXPECT_EQ(result.version, c.version);
    const FigureRecord* loaded = back->Figures.record(3);
    ASSERT_NE(loaded, nullptr);
    // The version's bytes from the file, the factory's bytes after them, then what every load
    // does (runtime state reset, legacy domain strings copied for old functions).
    FigureRecord expected = Marked(c.type);
    std::memcpy(expected.bytes().data(), r.bytes().data(), c.stored);
    if (FunctionRecord* f = expected.function(); f && c.version <= FormatVersion::kV103) {
      f->AreaEx2.assign(f->LegacyAreaEx2.view());
      f->AreaWd2.assign(f->LegacyAreaWd2.view());
    }
    SetLoadedRuntimeState(expected);
    const auto got = loaded->stored_bytes();
    const auto want = expected.stored_bytes();
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
      ASSERT_EQ(got[i], want[i]) << "offset " << i;
  }
}

TEST(DocumentFileVersions, OldFunctionsTakeTheSecondDomainFromTheLegacyStrings) {
  for (FormatVersion v : {FormatVersion::kV100, FormatVersion::kV103}) {
    auto s = NewScreen();
    FigureRecord f = FigureRecord::Blank(kFunctionFigure);
    f.function()->LegacyAreaEx2.assign("12.5");
    f.function()->LegacyAreaWd2.assign("0.25");
    f.function()->FuncX.assign("x^2");
    auto back = NewScreen();
    ASSERT_TRUE(ReadPlainDocument(OldDocument(v, *s, {{0, f}}), *back).ok());
    const FunctionRecord* lf = back->Figures.record(0)->function();
    EXPECT_EQ(lf->AreaEx2.view(), "12.5");
    EXPECT_EQ(lf->AreaWd2.view(), "0.25");
    EXPECT_EQ(lf->FuncX.view(), "x^2");
  }
  // From 1.04 on the full strings are stored and the legacy ones are not looked at.
  auto s = NewScreen();
  FigureRecord f = FigureRecord::Blank(kFunctionFigure);
  f.function()->LegacyAreaEx2.assign("1");
  f.function()->AreaEx2.assign("99");
  auto back = NewScreen();
  ASSERT_TRUE(ReadPlainDocument(OldDocument(FormatVersion::kV104, *s, {{0, f}}), *back).ok());
  EXPECT_EQ(back->Figures.record(0)->function()->AreaEx2.view(), "99");
}

TEST(DocumentFileVersions, AxisFontIsStoredFromVersion105) {
  auto s = NewScreen();
  s->Font.FontName.assign("Courier");
  s->Font.FontSize = 30;
  for (int v = 0; v <= 5; ++v) {
    const auto version = static_cast<FormatVersion>(v);
    auto back = NewScreen();
    back->Font.FontSize = 99;
    LoadOptions options;
    options.window_font_name = "Window";
    LoadResult r = ReadPlainDocument(OldDocument(version, *s, {}), *back, options);
    ASSERT_TRUE(r.ok()) << r.detail;
    if (version == FormatVersion::kV105) {
      EXPECT_EQ(back->Font.FontName.view(), "Courier");
      EXPECT_EQ(back->Font.FontSize, 30);
    } else {
      EXPECT_EQ(back->Font.FontName.view(), "Window");
      EXPECT_EQ(back->Font.FontSize, 16);
      EXPECT_EQ(back->Font.FontColor, 0u);
      EXPECT_EQ(back->Font.FontSet, 128);
    }
  }
}

TEST(DocumentFileVersions, UnknownTagsAreRefused) {
  auto s = NewScreen();
  auto bytes = Plain(*s);
  struct Case {
    const char* name;
    std::size_t at;
    std::uint8_t value;
  };
  for (const Case& c : {Case{"V1.06", 12, '6'}, Case{"lower case", 1, 'q'},
                        Case{"length byte", 0, 11}, Case{"compressed tag, plain body", 0, 0}}) {
    auto bad = bytes;
    if (std::string(c.name) == "compressed tag, plain body")
      std::memcpy(bad.data() + 1, "Q-ZARN PRESS", 12);
    else
      bad[c.at] = c.value;
    auto back = NewScreen();
    LoadResult r = ReadDocumentBytes(bad, *back);
    EXPECT_FALSE(r.ok()) << c.name;
  }
  auto back = NewScreen();
  EXPECT_EQ(ReadPlainDocument(std::span(bytes).first(20), *back).error, LoadError::kUnknownFormat);
  bytes[12] = '6';
  EXPECT_EQ(ReadPlainDocument(bytes, *back).error, LoadError::kUnknownFormat);
}

}  // namespace
}  // namespace qzarn
