#include <gtest/gtest.h>

#include <cstring>

#include "document/document_file.h"
#include "document/document_file_format.h"
#include "document/document_file_test_support.h"
#include "platform/lzh_archive.h"

namespace qzarn {
namespace {

using namespace testing_support;

constexpr std::size_t kBlocksStart = 48 + 256;
constexpr std::size_t kAfterFont = kBlocksStart + 15492 + 52;

template <class T>
bool SameBytes(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(DocumentFile, EmptyScreenHasTheDocumentedLayout) {
  auto s = NewScreen();
  const auto bytes = Plain(*s);
  ASSERT_EQ(bytes.size(), kAfterFont + 3 * 4);
  EXPECT_EQ(bytes[0], 12);
  EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 13), "Q-ZARN V1.05");
  for (std::size_t i = 13; i < 40; ++i)
    EXPECT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(I32At(bytes, 40), 500);
  EXPECT_EQ(I32At(bytes, 44), 200);
  EXPECT_EQ(bytes[48], 7);  // "doc.qzl"
  EXPECT_EQ(std::string(bytes.begin() + 49, bytes.begin() + 56), "doc.qzl");
  EXPECT_EQ(0, std::memcmp(bytes.data() + kBlocksStart, &s->Settings, sizeof s->Settings));
  EXPECT_EQ(I32At(bytes, kAfterFont), -1);      // no picture
  EXPECT_EQ(I32At(bytes, kAfterFont + 4), -1);  // no figures
  EXPECT_EQ(I32At(bytes, kAfterFont + 8), -1);  // no palette entries, no equations

  auto back = RichScreen();  // loading replaces every block
  LoadResult r = ReadPlainDocument(bytes, *back);
  ASSERT_TRUE(r.ok()) << r.detail;
  EXPECT_EQ(r.tag, "Q-ZARN V1.05");
  EXPECT_EQ(Plain(*back), bytes);
  EXPECT_EQ(back->Figures.LastIndex, -1);
  EXPECT_EQ(back->Equations.EquationLast, -1);
  EXPECT_TRUE(back->Background.empty());
}

TEST(DocumentFile, EveryRecordTypeRoundTripsByteForByte) {
  auto s = RichScreen();
  const auto bytes = Plain(*s);
  auto back = NewScreen();
  back->Modified = true;
  LoadResult r = ReadPlainDocument(bytes, *back);
  ASSERT_TRUE(r.ok()) << r.detail;
  EXPECT_FALSE(back->Modified);
  EXPECT_EQ(back->BitmapWidth, 800);
  EXPECT_EQ(back->BitmapHeight, 600);
  EXPECT_EQ(back->Figures.LastIndex, 40);
  for (int i = 0; i < kFigureSlots; ++i) {
    const FigureSlot& a = s->Figures[i];
    const FigureSlot& b = back->Figures[i];
    ASSERT_EQ(a.FigureType, b.FigureType) << i;
    if (a.empty()) continue;
    EXPECT_TRUE(SameBytes(a.stored(), b.stored())) << "slot " << i;
    EXPECT_TRUE(std::equal(a.Record.stored_bytes().begin(), a.Record.stored_bytes().end(),
                           b.Record.stored_bytes().begin(), b.Record.stored_bytes().end()))
        << "record of type " << a.FigureType;
    EXPECT_EQ(a.Record.owned.ObjectBytes, b.Record.owned.ObjectBytes);
  }
  ASSERT_EQ(back->Figures[40].Record.owned.KisekiList.size(), 2u);
  EXPECT_TRUE(std::ranges::equal(back->Figures[40].Record.owned.KisekiList[0].X,
                                 std::vector<float>{1, 2, 3}));
  EXPECT_TRUE(std::ranges::equal(back->Figures[40].Record.owned.KisekiList[1].Y,
                                 std::vector<float>{0.25f}));
  EXPECT_TRUE(SameBytes(s->Settings, back->Settings));
  EXPECT_TRUE(SameBytes(s->Font, back->Font));
  EXPECT_TRUE(SameBytes(s->PaletteItems, back->PaletteItems));
  EXPECT_TRUE(SameBytes(s->Equations, back->Equations));
  EXPECT_EQ(back->Background.bytes, s->Background.bytes);
  EXPECT_EQ(Plain(*back), bytes);
}

TEST(DocumentFile, LoadResetsWhatTheEngineRebuilds) {
  auto s = NewScreen();
  std::mt19937 rng(3);
  FigureRecord f = FigureRecord::Blank(kFunctionFigure);
  f.function()->CurveValid = 1;
  f.function()->SampleLast = 99;
  f.function()->SampleX = 0xDEAD;
  f.function()->KisekiList = 0xBEEF;
  f.owned.SampleX = {1, 2};
  f.owned.SampleY = {3, 4};
  PlaceFigure(s->Figures, 0, std::move(f));
  FigureRecord m = FigureRecord::Blank(kMensekiFigure);
  m.point()->HatchCount = 5;
  m.point()->HatchX = 77;
  PlaceFigure(s->Figures, 1, std::move(m));
  auto back = NewScreen();
  ASSERT_TRUE(ReadPlainDocument(Plain(*s), *back).ok());
  const FunctionRecord* lf = back->Figures[0].Record.function();
  EXPECT_EQ(lf->CurveValid, 0);
  EXPECT_EQ(lf->SampleLast, -1);
  EXPECT_EQ(lf->SampleX, 0u);
  EXPECT_EQ(lf->KisekiList, 0u);
  EXPECT_TRUE(back->Figures[0].Record.owned.SampleX.empty());
  EXPECT_EQ(back->Figures[1].Record.point()->HatchCount, -1);
  EXPECT_EQ(back->Figures[1].Record.point()->HatchX, 0u);
}

// The end of the file tells which optional blocks are present.
TEST(DocumentFile, OptionalBlocksAndTheirMarkers) {
  struct Case {
    const char* name;
    bool locus, equations;
  };
  for (const Case& c : {Case{"neither", false, false}, Case{"locus only", true, false},
                        Case{"equations only", false, true}, Case{"both", true, true}}) {
    SCOPED_TRACE(c.name);
    auto s = NewScreen();
    FigureRecord f = FigureRecord::Blank(kFunctionFigure);
    f.function()->KisekiF = c.locus;
    f.owned.KisekiList = {{{1.0f, 2.0f}, {3.0f, 4.0f}}};
    PlaceFigure(s->Figures, 2, std::move(f));
    if (c.equations) {
      s->Equations.EquationLast = 0;
      s->Equations.Entries[0].LetterIndex = 0;
      s->Equations.Entries[0].Text.assign("1");
    }
    const auto bytes = Plain(*s);
    const std::size_t figures_end = kAfterFont + 4 + 4 + 12 + 2512 + 4;  // ... then the marker
    ASSERT_EQ(I32At(bytes, figures_end - 4), -1);
    std::size_t at = figures_end;
    if (c.locus) {
      EXPECT_EQ(I32At(bytes, at), -110);
      EXPECT_EQ(I32At(bytes, at + 4), 0);    // one record
      EXPECT_EQ(I32At(bytes, at + 8), 2);    // its slot
      EXPECT_EQ(I32At(bytes, at + 12), 1);   // n: two points
      EXPECT_EQ(I32At(bytes, at + 32), -1);  // end of its nodes
      at += 36;
    }
    if (c.equations) {
      EXPECT_EQ(I32At(bytes, at), -100);
      EXPECT_EQ(I32At(bytes, at + 4), 0);
      EXPECT_EQ(bytes.size(), at + 8 + 259);  // no trailing value
    } else {
      EXPECT_EQ(I32At(bytes, at), -1);
      EXPECT_EQ(bytes.size(), at + 4);
    }
    auto back = NewScreen();
    ASSERT_TRUE(ReadPlainDocument(bytes, *back).ok());
    EXPECT_EQ(back->Figures[2].Record.owned.KisekiList.size(), c.locus ? 1u : 0u);
    EXPECT_EQ(back->Equations.EquationLast, c.equations ? 0 : -1);
  }
}

TEST(DocumentFile, PictureFormatFollowsTheSettings) {
  auto s = RichScreen();
  const std::size_t at = kAfterFont;
  // BMP kept as BMP: the byte count is the tag, bytes unchanged.
  auto bmp = Plain(*s);
  EXPECT_EQ(I32At(bmp, at), static_cast<std::int32_t>(s->Background.bytes.size()));
  // BMP written as JPEG at the given quality.
  SaveOptions jpeg;
  jpeg.jpeg_quality = 500;  // clamped
  auto jpg = Plain(*s, jpeg);
  EXPECT_EQ(I32At(jpg, at), -2);
  const std::int32_t n = I32At(jpg, at + 4);
  ASSERT_GT(n, 4);
  EXPECT_EQ(jpg[at + 8], 0xFF);
  EXPECT_EQ(jpg[at + 9], 0xD8);
  auto back = NewScreen();
  ASSERT_TRUE(ReadPlainDocument(jpg, *back).ok());
  EXPECT_EQ(back->Background.format, BackgroundPicture::Format::kJpeg);
  // A JPEG saved as JPEG again is written unchanged (no second loss of quality).
  EXPECT_EQ(Plain(*back, jpeg), jpg);
  // And as BMP it is decoded once more.
  auto again = Plain(*back);
  RgbImage img;
  std::string error;
  ASSERT_TRUE(DecodeBmp(
      std::span(again).subspan(at + 4, static_cast<std::size_t>(I32At(again, at))), img, error))
      << error;
  EXPECT_EQ(img.width, 3);
}

TEST(DocumentFile, CompressedFormHoldsThePlainFileAsOneMember) {
  auto s = RichScreen();
  SaveOptions o = PlainBmp();
  o.compressed = true;
  std::vector<std::uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(WriteDocumentBytes(*s, "lesson 1.qzl", o, bytes, error)) << error;
  EXPECT_EQ(bytes[0], 12);
  EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 13), "Q-ZARN PRESS");
  EXPECT_EQ(I32At(bytes, 40), 500);
  EXPECT_EQ(I32At(bytes, 44), 200);
  const auto archive = std::span(bytes).subspan(48);
  std::vector<LzhMember> members;
  ASSERT_TRUE(ListLzhMembers(archive, members).ok());
  ASSERT_EQ(members.size(), 1u);
  EXPECT_EQ(members[0].name, "lesson 1.qzl");
  std::vector<std::uint8_t> plain;
  ASSERT_TRUE(ReadLzhMember(archive, 0, plain).ok());
  std::vector<std::uint8_t> expected;
  ASSERT_TRUE(WritePlainDocument(*s, "lesson 1.qzl", o, expected, error));
  EXPECT_EQ(plain, expected);
  EXPECT_LT(bytes.size(), plain.size());

  auto back = NewScreen();
  LoadResult r = ReadDocumentBytes(bytes, *back);
  ASSERT_TRUE(r.ok()) << r.detail;
  EXPECT_TRUE(r.compressed);
  EXPECT_EQ(r.tag, "Q-ZARN V1.05");
  EXPECT_EQ(Plain(*back), Plain(*s));
}

TEST(DocumentFile, CompressedArchiveWithoutADocumentMemberFails) {
  auto s = NewScreen();
  const auto plain = Plain(*s);
  for (const char* name : {"readme.txt", "doc.qzl.txt"}) {
    SCOPED_TRACE(name);
    const LzhWriteMember m{name, plain};
    std::vector<std::uint8_t> archive;
    ASSERT_TRUE(WriteLzhArchive(std::span(&m, 1), archive).ok());
    std::vector<std::uint8_t> bytes(48, 0);
    bytes[0] = 12;
    std::memcpy(bytes.data() + 1, "Q-ZARN PRESS", 12);
    bytes.insert(bytes.end(), archive.begin(), archive.end());
    auto back = NewScreen();
    LoadResult r = ReadDocumentBytes(bytes, *back);
    EXPECT_EQ(r.error, LoadError::kBadArchive);
  }
}

TEST(DocumentFile, ExtensionTest) {
  for (const char* ok : {"a.qzl", "/x/y/B.QZL", "c.Qzlx", "d.e.qzl", "f.qzl.qzlbackup"})
    EXPECT_TRUE(HasDocumentExtension(ok)) << ok;
  for (const char* bad : {"a.txt", "qzl", "a.qz", "/dir.qzl/file", "a.qzl.txt", ".q"})
    EXPECT_FALSE(HasDocumentExtension(bad)) << bad;
}

}  // namespace
}  // namespace qzarn
