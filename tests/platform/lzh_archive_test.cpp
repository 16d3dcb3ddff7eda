#include "platform/lzh_archive.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/crc16.h"

namespace qzarn {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes FromText(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

Bytes RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes out(size);
  for (auto& b : out)
    b = static_cast<std::uint8_t>(rng());
  return out;
}

// Fixed-size records with a type code, little-endian doubles, short
// expression texts and zero padding: what a saved document looks like.
Bytes RecordLike(std::size_t size, unsigned seed) {
  static const char* const kTexts[] = {"a*x^2+b*x+c", "sin(t)", "P1", "(x-a)^2+(y-b)^2=r^2",
                                       "2*cos(3*t)",  "A",      "B",  "x^3-3*x"};
  std::mt19937 rng(seed);
  Bytes out;
  out.reserve(size + 512);
  while (out.size() < size) {
    Bytes record(512, 0);
    record[0] = static_cast<std::uint8_t>(rng() % 19);
    for (int i = 0; i < 6; ++i) {
      const double v = static_cast<int>(rng() % 2000) / 8.0 - 100.0;
      std::memcpy(&record[8 + 8 * i], &v, sizeof v);
    }
    const char* text = kTexts[rng() % std::size(kTexts)];
    record[64] = static_cast<std::uint8_t>(std::strlen(text));
    std::memcpy(&record[65], text, std::strlen(text));
    record[320] = static_cast<std::uint8_t>(rng() % 256);
    out.insert(out.end(), record.begin(), record.end());
  }
  out.resize(size);
  return out;
}

std::span<const std::uint8_t> View(std::string_view s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

Bytes WriteOne(const std::string& name, std::span<const std::uint8_t> data) {
  const LzhWriteMember member{name, data};
  Bytes archive;
  const LzhStatus status = WriteLzhArchive(std::span(&member, 1), archive);
  EXPECT_TRUE(status.ok()) << status.message;
  return archive;
}

// Our level-2 headers put the common extended header first: its CRC of the
// whole header sits at bytes 27-28. Tests that patch a header fix it up so
// the patch itself, not the header CRC, is what the reader meets.
void RefreshHeaderCrc(Bytes& archive, std::size_t header_start = 0) {
  const std::size_t size = archive[header_start] | (archive[header_start + 1] << 8);
  archive[header_start + 27] = archive[header_start + 28] = 0;
  const std::uint16_t crc = Crc16(std::span(archive).subspan(header_start, size));
  archive[header_start + 27] = static_cast<std::uint8_t>(crc);
  archive[header_start + 28] = static_cast<std::uint8_t>(crc >> 8);
}

void PutLe32(Bytes& archive, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    archive[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(Crc16, MatchesTheLzhChecksum) {
  EXPECT_EQ(Crc16(View("")), 0);
  EXPECT_EQ(Crc16(View("123456789")), 0xBB3D);
  // Continuing a sum equals summing the concatenation.
  EXPECT_EQ(Crc16(View("6789"), Crc16(View("12345"))), 0xBB3D);
}

struct RoundTripCase {
  const char* label;
  Bytes data;
  const char* method;
  double max_ratio;  // packed / original must not exceed this
};

std::vector<RoundTripCase> RoundTripCases() {
  Bytes all_values;
  for (int i = 0; i < 40000; ++i)
    all_values.push_back(static_cast<std::uint8_t>((i * i) % 251));
  // A random block repeated right at the window's reach.
  Bytes far_repeat = RandomBytes(8191, 7);
  for (int i = 0; i < 3; ++i)
    far_repeat.insert(far_repeat.end(), far_repeat.begin(), far_repeat.begin() + 8191);
  // Byte k drawn with probability 2^-(k+1): literal codes deeper than the
  // 16 bits decoders accept unless the encoder limits them.
  std::mt19937 rng(8);
  Bytes skewed(200000);
  for (auto& b : skewed)
    b = static_cast<std::uint8_t>(std::countr_zero(rng() | 0x80000000u));
  Bytes two_symbols(70000);
  for (std::size_t i = 0; i < two_symbols.size(); ++i)
    two_symbols[i] = (i * 7 % 13 < 6) ? 'x' : 'y';
  return {
      {"empty", {}, "-lh0-", 1.0},
      {"one byte", {42}, "-lh0-", 1.0},
      {"small text", FromText("The quick brown fox jumps over the lazy dog. The quick brown fox."),
       "-lh5-", 0.95},
      {"zeros 1 MiB", Bytes(1 << 20, 0), "-lh5-", 0.01},
      {"single symbol blocks", Bytes(200000, 'q'), "-lh5-", 0.01},
      {"two symbols", two_symbols, "-lh5-", 0.2},
      {"skewed literals", skewed, "-lh5-", 0.5},
      {"all byte values", all_values, "-lh5-", 0.9},
      {"repeat at window edge", far_repeat, "-lh5-", 0.4},
      {"random 64 KiB", RandomBytes(65536, 1), "-lh0-", 1.0},
      {"records 3 MiB", RecordLike(3 << 20, 2), "-lh5-", 0.5},
  };
}

TEST(LzhArchive, RoundTripsThroughOurReader) {
  for (const RoundTripCase& c : RoundTripCases()) {
    SCOPED_TRACE(c.label);
    const Bytes archive = WriteOne("DATA.QZL", c.data);
    std::vector<LzhMember> members;
    const LzhStatus listed = ListLzhMembers(archive, members);
    ASSERT_TRUE(listed.ok()) << listed.message;
    ASSERT_EQ(members.size(), 1u);
    const LzhMember& m = members[0];
    EXPECT_EQ(m.name, "DATA.QZL");
    EXPECT_EQ(m.method, c.method);
    EXPECT_EQ(m.header_level, 2);
    EXPECT_EQ(m.original_size, c.data.size());
    EXPECT_EQ(m.crc, Crc16(c.data));
    EXPECT_EQ(m.timestamp, kLzhDefaultTimestamp);
    EXPECT_LE(static_cast<double>(m.packed_size), c.max_ratio * static_cast<double>(c.data.size()));
    Bytes out;
    const LzhStatus read = ReadLzhMember(archive, 0, out);
    ASSERT_TRUE(read.ok()) << read.message;
    EXPECT_TRUE(out == c.data);
  }
}

TEST(LzhArchive, WritesTheSameBytesForTheSameInput) {
  const Bytes data = RecordLike(50000, 3);
  EXPECT_EQ(WriteOne("A.QZL", data), WriteOne("A.QZL", data));

  const LzhWriteMember member{"A.QZL", data};
  Bytes archive;
  ASSERT_TRUE(WriteLzhArchive(std::span(&member, 1), archive, {.timestamp = 1234567890}).ok());
  std::vector<LzhMember> members;
  ASSERT_TRUE(ListLzhMembers(archive, members).ok());
  EXPECT_EQ(members.at(0).timestamp, 1234567890u);
  EXPECT_EQ(archive.back(), 0) << "end-of-archive byte";
}

TEST(LzhArchive, ListsAndReadsSeveralMembersInOrder) {
  const Bytes first = RecordLike(20000, 4);
  const Bytes second;  // empty member between two others
  const Bytes third = RandomBytes(3000, 5);
  const std::vector<LzhWriteMember> written = {
      {"one.qzl", first}, {"two.qzl", second}, {"three.bin", third}};
  Bytes archive;
  ASSERT_TRUE(WriteLzhArchive(written, archive).ok());

  std::vector<LzhMember> members;
  ASSERT_TRUE(ListLzhMembers(archive, members).ok());
  ASSERT_EQ(members.size(), 3u);
  for (std::size_t i = 0; i < written.size(); ++i) {
    EXPECT_EQ(members[i].name, written[i].name);
    Bytes out;
    const LzhStatus status = ReadLzhMember(archive, i, out);
    ASSERT_TRUE(status.ok()) << status.message;
    EXPECT_TRUE(std::equal(out.begin(), out.end(), written[i].data.begin(), written[i].data.end()));
  }
  Bytes out{1, 2, 3};
  EXPECT_EQ(ReadLzhMember(archive, 3, out).error, LzhError::kNoSuchMember);
  EXPECT_TRUE(out.empty());
}

TEST(LzhArchive, PassesNameBytesThroughUnchanged) {
  const std::string names[] = {
      "TEST.QZL",      // all capitals stay capitals
      "\x83\x5C.QZL",  // code page 932 character whose second byte is '\'
      "\x95\x5C\x8E\xA6 \x90\x7D.qzl",
      std::string(222, 'n'),  // header size 256: needs the padding byte
      std::string(kLzhMaxNameLength, 'm'),
  };
  const Bytes data = FromText("figure records");
  for (const std::string& name : names) {
    SCOPED_TRACE(name.size());
    const Bytes archive = WriteOne(name, data);
    std::vector<LzhMember> members;
    ASSERT_TRUE(ListLzhMembers(archive, members).ok());
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(members[0].name, name);
    Bytes out;
    EXPECT_TRUE(ReadLzhMember(archive, 0, out).ok());
    EXPECT_EQ(out, data);
  }
}

TEST(LzhArchive, RefusesNamesReadersWouldMisread) {
  const std::string names[] = {"", "dir/file.qzl", std::string("a\0b", 3),
                               "a\xFF"
                               "b",
                               std::string(kLzhMaxNameLength + 1, 'x')};
  const Bytes data = FromText("x");
  for (const std::string& name : names) {
    const LzhWriteMember member{name, data};
    Bytes archive{1};
    const LzhStatus status = WriteLzhArchive(std::span(&member, 1), archive);
    EXPECT_EQ(status.error, LzhError::kInvalidName) << name;
    EXPECT_FALSE(status.message.empty());
    EXPECT_TRUE(archive.empty());
  }
}

TEST(LzhArchive, EmptyAndNonArchivesAreToldApart) {
  struct Case {
    const char* label;
    Bytes bytes;
    LzhError error;
  };
  const Case cases[] = {
      {"no bytes", {}, LzhError::kNone},
      {"end byte only", {0}, LzhError::kNone},
      {"short text", FromText("hello"), LzhError::kTruncated},
      {"text", FromText("This is a plain text file, not an archive."), LzhError::kNotAnArchive},
  };
  for (const Case& c : cases) {
    std::vector<LzhMember> members;
    EXPECT_EQ(ListLzhMembers(c.bytes, members).error, c.error) << c.label;
    EXPECT_TRUE(members.empty()) << c.label;
  }
}

TEST(LzhArchive, TruncatedArchivesFailCleanly) {
  const std::string first = std::string(3000, 'a') + "tail";
  const std::vector<LzhWriteMember> written = {{"a.qzl", View(first)},
                                               {"b.qzl", View("short member")}};
  Bytes archive;
  ASSERT_TRUE(WriteLzhArchive(written, archive).ok());
  for (std::size_t cut = 1; cut < archive.size(); ++cut) {
    const Bytes part(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(cut));
    std::vector<LzhMember> members;
    const LzhStatus listed = ListLzhMembers(part, members);
    EXPECT_EQ(listed.error, LzhError::kTruncated) << "cut at " << cut << ": " << listed.message;
    // The second member can be read only when all its bytes are there.
    Bytes out;
    const LzhStatus read = ReadLzhMember(part, 1, out);
    EXPECT_EQ(read.ok(), cut == archive.size() - 1) << "cut at " << cut;
    EXPECT_EQ(out.empty(), !read.ok());
  }
}

TEST(LzhArchive, DetectsDamagedData) {
  // Stored member: any changed payload byte must show as a CRC error.
  const Bytes random = RandomBytes(2000, 9);
  Bytes stored = WriteOne("r.bin", random);
  const std::size_t header_size = stored[0] | (stored[1] << 8);
  stored[header_size + 100] ^= 0x10;
  Bytes out;
  LzhStatus status = ReadLzhMember(stored, 0, out);
  EXPECT_EQ(status.error, LzhError::kCrcMismatch) << status.message;
  EXPECT_NE(status.message.find("r.bin"), std::string::npos);
  EXPECT_TRUE(out.empty());

  // Compressed member: every single-bit flip in the packed data either fails
  // or, if the decoder happens to produce the same bytes, still matches.
  const Bytes text = RecordLike(6000, 10);
  const Bytes packed = WriteOne("t.qzl", text);
  const std::size_t data_start = packed[0] | (packed[1] << 8);
  int crc_errors = 0;
  for (std::size_t at = data_start; at + 1 < packed.size(); ++at) {
    Bytes damaged = packed;
    damaged[at] ^= static_cast<std::uint8_t>(1u << (at % 8));
    const LzhStatus s = ReadLzhMember(damaged, 0, out);
    if (s.ok()) {
      EXPECT_EQ(out, text) << "flip at " << at;
    } else {
      EXPECT_TRUE(s.error == LzhError::kCrcMismatch || s.error == LzhError::kCorruptData)
          << LzhErrorName(s.error);
      crc_errors += s.error == LzhError::kCrcMismatch;
    }
  }
  EXPECT_GT(crc_errors, 0);
}

TEST(LzhArchive, HeaderPatchesAreCaught) {
  const Bytes data = RecordLike(5000, 11);
  const Bytes good = WriteOne("h.qzl", data);
  struct Case {
    const char* label;
    void (*patch)(Bytes&);
    LzhError list_error;
    LzhError read_error;
    LzhReadLimits limits;
  };
  const Case cases[] = {
      {"header CRC broken",
       [](Bytes& a) { a[27] ^= 1; },
       LzhError::kCorruptHeader,
       LzhError::kCorruptHeader,
       {}},
      {"data CRC wrong",
       [](Bytes& a) {
         a[21] ^= 0x55;
         RefreshHeaderCrc(a);
       },
       LzhError::kNone,
       LzhError::kCrcMismatch,
       {}},
      {"size above limit",
       [](Bytes& a) {
         PutLe32(a, 11, 300u << 20);
         RefreshHeaderCrc(a);
       },
       LzhError::kNone,
       LzhError::kMemberTooLarge,
       {}},
      {"caller's limit",
       [](Bytes&) {},
       LzhError::kNone,
       LzhError::kMemberTooLarge,
       {.max_member_size = 4999, .head = {}}},
      {"size larger than the data holds",
       [](Bytes& a) {
         PutLe32(a, 11, 5100);
         RefreshHeaderCrc(a);
       },
       LzhError::kNone,
       LzhError::kCorruptData,
       {}},
      // Decoding stops at the promised size; the shorter bytes fail the CRC.
      {"size smaller than the data holds",
       [](Bytes& a) {
         PutLe32(a, 11, 4000);
         RefreshHeaderCrc(a);
       },
       LzhError::kNone,
       LzhError::kCrcMismatch,
       {}},
      {"unknown method",
       [](Bytes& a) {
         a[5] = 'z';
         RefreshHeaderCrc(a);
       },
       LzhError::kNone,
       LzhError::kUnsupportedMethod,
       {}},
      {"packed size past the end",
       [](Bytes& a) {
         PutLe32(a, 7, 1u << 30);
         RefreshHeaderCrc(a);
       },
       LzhError::kTruncated,
       LzhError::kTruncated,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Bytes archive = good;
    c.patch(archive);
    std::vector<LzhMember> members;
    EXPECT_EQ(ListLzhMembers(archive, members).error, c.list_error);
    Bytes out;
    const LzhStatus status = ReadLzhMember(archive, 0, out, c.limits);
    EXPECT_EQ(status.error, c.read_error) << status.message;
    EXPECT_FALSE(status.message.empty());
    EXPECT_TRUE(out.empty());
  }
}

// A head check sees the member's first bytes before the rest is decoded: a refusal stops
// there, an acceptance reads on; a member shorter than the head is judged whole.
TEST(LzhArchive, HeadCheckSeesTheFirstBytesBeforeTheRest) {
  const Bytes big = RecordLike((std::size_t{5} << 20) + 777, 5);  // beyond the first reserve
  const Bytes small(10, 7);
  const struct {
    const char* label;
    const Bytes* data;
    bool accept;
    std::size_t seen;
    LzhError error;
  } cases[] = {
      {"refused", &big, false, 48, LzhError::kRejectedContent},
      {"accepted", &big, true, 48, LzhError::kNone},
      {"short member refused", &small, false, 10, LzhError::kRejectedContent},
      {"short member accepted", &small, true, 10, LzhError::kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const Bytes archive = WriteOne("d.qzl", *c.data);
    Bytes seen;
    int calls = 0;
    LzhReadLimits limits;
    limits.head = {48, [&](std::span<const std::uint8_t> head) {
                     ++calls;
                     seen.assign(head.begin(), head.end());
                     return c.accept;
                   }};
    Bytes out;
    const LzhStatus status = ReadLzhMember(archive, 0, out, limits);
    EXPECT_EQ(status.error, c.error) << status.message;
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, Bytes(c.data->begin(), c.data->begin() + static_cast<long>(c.seen)));
    EXPECT_EQ(out, c.accept ? *c.data : Bytes{});
    // A member read whole sits in a buffer of exactly its size (peak memory = its size).
    if (c.accept) {
      EXPECT_EQ(out.capacity(), out.size());
    }
  }
}

// --- A second opinion: the jlha command (Debian jlha-utils) ---------------

bool HaveCommand(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "qzarn-lzh-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void WriteFile(const fs::path& path, std::span<const std::uint8_t> data) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

int RunQuietly(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

struct NamedData {
  std::string name;
  Bytes data;
};

std::vector<NamedData> ToolSamples() {
  return {{"records.qzl", RecordLike(2 << 20, 12)},
          {"zeros.bin", Bytes(300000, 0)},
          {"random.bin", RandomBytes(40000, 13)},
          {"empty.txt", {}},
          {std::string(222, 'p'), FromText("padded header")}};
}

void ExpectExtractedByTool(const std::string& tool) {
  const std::vector<NamedData> samples = ToolSamples();
  std::vector<LzhWriteMember> members;
  for (const NamedData& s : samples)
    members.push_back({s.name, s.data});
  Bytes archive;
  ASSERT_TRUE(WriteLzhArchive(members, archive).ok());
  TempDir dir;
  const fs::path archive_path = dir.path() / "ours.lzh";
  WriteFile(archive_path, archive);
  const fs::path out = dir.path() / "out";
  fs::create_directory(out);
  ASSERT_EQ(RunQuietly(tool + " xqfw=" + out.string() + " " + archive_path.string()), 0);
  for (const NamedData& s : samples) {
    SCOPED_TRACE(s.name.substr(0, 20));
    ASSERT_TRUE(fs::exists(out / s.name));
    EXPECT_TRUE(ReadFile(out / s.name) == s.data);
  }
}

TEST(LzhArchiveTools, JlhaExtractsOurArchives) {
  if (!HaveCommand("jlha")) GTEST_SKIP() << "jlha (jlha-utils) is not installed";
  ExpectExtractedByTool("jlha");
}

TEST(LzhArchiveTools, LhaExtractsOurArchives) {
  if (!HaveCommand("lha")) GTEST_SKIP() << "no lha command";
  if (HaveCommand("jlha") && RunQuietly("test \"$(readlink -f \"$(command -v lha)\")\" = "
                                        "\"$(readlink -f \"$(command -v jlha)\")\"") == 0)
    GTEST_SKIP() << "lha is the same program as jlha";
  ExpectExtractedByTool("lha");
}

TEST(LzhArchiveTools, ReadsWhatJlhaWrites) {
  if (!HaveCommand("jlha")) GTEST_SKIP() << "jlha (jlha-utils) is not installed";
  struct Method {
    const char* switches;  // jlha's "a" command options
    const char* method;
  };
  const Method methods[] = {{"", "-lh5-"}, {"o6", "-lh6-"}, {"o7", "-lh7-"}, {"z", "-lh0-"}};
  TempDir dir;
  const std::vector<NamedData> samples = {{"records.qzl", RecordLike(200000, 14)},
                                          {"random.bin", RandomBytes(5000, 15)}};
  for (const NamedData& s : samples)
    WriteFile(dir.path() / s.name, s.data);
  for (const Method& m : methods) {
    for (int level = 0; level <= 2; ++level) {
      const std::string options = std::to_string(level) + m.switches;
      SCOPED_TRACE("jlha a" + options);
      const fs::path archive_path = dir.path() / ("a" + options + ".lzh");
      ASSERT_EQ(RunQuietly("cd " + dir.path().string() + " && jlha a" + options + " " +
                           archive_path.filename().string() + " records.qzl random.bin"),
                0);
      const Bytes archive = ReadFile(archive_path);
      std::vector<LzhMember> members;
      const LzhStatus listed = ListLzhMembers(archive, members);
      ASSERT_TRUE(listed.ok()) << listed.message;
      ASSERT_EQ(members.size(), samples.size());
      for (std::size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(members[i].name, samples[i].name);
        EXPECT_EQ(members[i].header_level, level);
        Bytes out;
        const LzhStatus read = ReadLzhMember(archive, i, out);
        ASSERT_TRUE(read.ok()) << read.message;
        EXPECT_TRUE(out == samples[i].data);
      }
      // The compressible member carries the method asked for.
      EXPECT_EQ(members[0].method, m.method);
    }
  }
}

TEST(LzhArchiveTools, SkipsDirectoryEntries) {
  if (!HaveCommand("jlha")) GTEST_SKIP() << "jlha (jlha-utils) is not installed";
  TempDir dir;
  fs::create_directory(dir.path() / "sub");
  WriteFile(dir.path() / "sub" / "inner.qzl", FromText("inside"));
  WriteFile(dir.path() / "top.qzl", FromText("on top"));
  ASSERT_EQ(RunQuietly("cd " + dir.path().string() + " && jlha a d.lzh sub top.qzl"), 0);
  const Bytes archive = ReadFile(dir.path() / "d.lzh");
  std::vector<LzhMember> members;
  ASSERT_TRUE(ListLzhMembers(archive, members).ok());
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members[0].name, "sub\\inner.qzl");
  EXPECT_EQ(members[1].name, "top.qzl");
  Bytes out;
  ASSERT_TRUE(ReadLzhMember(archive, 1, out).ok());
  EXPECT_EQ(out, FromText("on top"));
}

}  // namespace
}  // namespace qzarn
