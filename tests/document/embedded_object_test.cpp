#include "document/embedded_object.h"

#include <gtest/gtest.h>

#include "document/object_bytes_builder.h"

namespace qzarn {
namespace {

using namespace testing_support;

TEST(EmbeddedObject, NamesTheClassAndDecodesItsBitmapFromMiniAndRegularSectors) {
  // 3 x 2 fits the mini stream; 40 x 40 (4,840 bytes) needs regular sectors.
  for (const auto& [w, h] : {std::pair{3, 2}, std::pair{40, 40}}) {
    SCOPED_TRACE(w);
    const ObjectSummary s = DescribeObject(EquationWithPicture(w, h));
    EXPECT_EQ(s.class_name, "Formula Editor 2.0");
    EXPECT_EQ(s.presentation_format, kPresentationBitmap);
    ASSERT_TRUE(s.picture.has_value());
    EXPECT_EQ(*s.picture, Gradient(w, h));
  }
}

TEST(EmbeddedObject, WhatEachKindOfStoredObjectYields) {
  const auto comp = [](const char* user, const char* prog) {
    return std::pair{std::u16string(u"\x01"
                                    u"CompObj"),
                     CompObjStream(user, prog)};
  };
  const std::vector<std::uint8_t> metafile(300, 0x11);
  ByteWriter old_stream;  // version, embedded, class name
  for (std::uint32_t v : {0x0501u, 2u, 16u})
    old_stream.WriteU32(v);
  old_stream.WriteBytes("FormulaEditor.2", 16);  // with its terminating zero
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::string name;
    std::uint32_t format;
  } cases[] = {
      {"metafile picture: named, not drawn",
       StoredObject(CompoundFile({comp("Paint", "PBrush"),
                                  {u"\x02"
                                   u"OlePres000",
                                   PresentationStream(3, metafile)}})),
       "Paint", kPresentationMetafile},
      {"no readable type: the identifier",
       StoredObject(CompoundFile({comp("", "Notes.Document.8")})), "Notes.Document.8", 0},
      {"no header in front", CompoundFile({comp("Sheet", "X.Y")}), "Sheet", 0},
      {"older stream layout", old_stream.Take(), "FormulaEditor.2", 0},
      {"nothing known", std::vector<std::uint8_t>(700, 0x42), "", 0},
      {"empty", {}, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ObjectSummary s = DescribeObject(c.bytes);
    EXPECT_EQ(s.class_name, c.name);
    EXPECT_EQ(s.presentation_format, c.format);
    EXPECT_FALSE(s.picture.has_value());
  }
}

TEST(EmbeddedObject, DamagedObjectsGiveLessButNeverReadOutside) {
  const std::vector<std::uint8_t> good = EquationWithPicture(40, 40);
  // Every truncation point of the first sectors, then every 97th byte.
  for (std::size_t n = 0; n < good.size(); n += n < 1600 ? 1 : 97) {
    const std::vector<std::uint8_t> cut(good.begin(),
                                        good.begin() + static_cast<std::ptrdiff_t>(n));
    const ObjectSummary s = DescribeObject(cut);
    if (s.picture) {
      EXPECT_EQ(*s.picture, Gradient(40, 40)) << n;
    }
  }
  // Chains that loop on themselves, sectors beyond the file, absurd sizes and counts.
  const std::size_t base = 12;
  struct Patch {
    const char* what;
    std::size_t at;
    std::uint32_t value;
  } patches[] = {
      {"FAT loops", base + 512 + 4 * 3, 3},
      {"directory beyond the file", base + 0x30, 100000},
      {"FAT count absurd", base + 0x2C, 0x7FFFFFFF},
      {"mini FAT loops", base + 3 * 512 + 0, 0},
      {"stream size 4 GiB", base + 2 * 512 + 128 + 0x78, 0xFFFFFFF0},
      {"sector shift wrong", base + 0x1E, 30},
  };
  for (const Patch& p : patches) {
    SCOPED_TRACE(p.what);
    std::vector<std::uint8_t> bytes = good;
    PutU32(bytes, p.at, p.value);
    (void)DescribeObject(bytes);
  }
}

TEST(EmbeddedObject, TheKeptSummaryFollowsTheBytes) {
  FigureOwned owned;
  owned.ObjectBytes = EquationWithPicture(3, 2);
  EXPECT_EQ(ObjectSummaryOf(owned).class_name, "Formula Editor 2.0");
  const auto* first = owned.ObjectSummaryCache.get();
  EXPECT_EQ(&ObjectSummaryOf(owned), &first->summary);  // not decoded again
  // The same size, other contents: the summary is made anew.
  std::vector<std::uint8_t> other = owned.ObjectBytes;
  std::fill(other.begin(), other.end(), 0);
  owned.ObjectBytes = other;
  EXPECT_EQ(ObjectSummaryOf(owned).class_name, "");
}

}  // namespace
}  // namespace qzarn
