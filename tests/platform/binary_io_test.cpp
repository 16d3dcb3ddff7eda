#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/binary_io.h"

namespace qzarn {
namespace {

TEST(ByteReader, ReadsLittleEndianAndStopsAtTheEnd) {
  ByteWriter w;
  w.WriteI32(-2);
  w.WriteU16(0xBEEF);
  w.WriteF64(1.5);
  w.WriteU8(7);
  ByteReader r(w.bytes());
  std::int32_t i = 0;
  std::uint16_t u = 0;
  double d = 0;
  std::uint8_t b = 0;
  ASSERT_TRUE(r.ReadI32(i) && r.ReadU16(u) && r.ReadF64(d) && r.ReadU8(b));
  EXPECT_EQ(i, -2);
  EXPECT_EQ(u, 0xBEEF);
  EXPECT_EQ(d, 1.5);
  EXPECT_EQ(b, 7);
  EXPECT_TRUE(r.at_end());
  EXPECT_FALSE(r.ReadU8(b));
  EXPECT_EQ(w.bytes()[0], 0xFE);  // little-endian on disk
}

TEST(ByteReader, FailedReadConsumesNothing) {
  const std::vector<std::uint8_t> three = {1, 2, 3};
  ByteReader r(three);
  std::int32_t v = 0;
  EXPECT_FALSE(r.ReadI32(v));
  EXPECT_EQ(r.position(), 0u);
  std::vector<std::uint8_t> grown;
  EXPECT_FALSE(r.ReadInto(SIZE_MAX, grown));  // hostile length: no allocation attempted
  EXPECT_TRUE(grown.empty());
  EXPECT_FALSE(r.Skip(4));
  EXPECT_TRUE(r.Skip(3));
  EXPECT_FALSE(r.Seek(4));
}

class AtomicWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("qzarn-binio-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(AtomicWrite, ReplacesTheTargetAndLeavesNoTemporaryFile) {
  const std::string path = (dir_ / "a.bin").string();
  const std::vector<std::uint8_t> first(100, 1), second(5000, 2);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, first, error)) << error;
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(path, second, error)) << error;
  std::vector<std::uint8_t> back;
  ASSERT_TRUE(ReadFileBytes(path, back, error));
  EXPECT_EQ(back, second);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

// In a shared folder nobody else may open the temporary file while it fills: it is private
// from its creation and only the complete file gets the final mode.
TEST_F(AtomicWrite, TemporaryFileIsPrivateUntilComplete) {
  const mode_t saved_umask = ::umask(022);
  const struct {
    int existing_mode;  // -1: no file yet
    mode_t final_mode;
  } cases[] = {{-1, 0644}, {0644, 0644}, {0600, 0600}, {0664, 0664}, {0444, 0444}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.existing_mode);
    const std::string path = (dir_ / "shared.bin").string();
    std::filesystem::remove(path);
    std::string error;
    if (c.existing_mode >= 0) {
      ASSERT_TRUE(WriteFileAtomically(path, std::vector<std::uint8_t>(10, 1), error)) << error;
      ASSERT_EQ(::chmod(path.c_str(), static_cast<mode_t>(c.existing_mode)), 0);
    }
    mode_t temporary_mode = 0777;
    AtomicWriteOptions options;
    options.on_temporary = [&](const std::string& temporary) {
      struct stat st {};
      if (::stat(temporary.c_str(), &st) == 0) temporary_mode = st.st_mode & 0777;
    };
    ASSERT_TRUE(WriteFileAtomically(path, std::vector<std::uint8_t>(4000, 2), error, options))
        << error;
    EXPECT_EQ(temporary_mode, 0600u);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, c.final_mode);
  }
  ::umask(saved_umask);
}

// Saving through a symbolic link changes the file it points to and keeps the link.
TEST_F(AtomicWrite, LinksAreFollowedToTheFileTheyName) {
  namespace fs = std::filesystem;
  fs::create_directory(dir_ / "real");
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;  // link name, what it holds
    std::string target;
    bool target_exists;
  } cases[] = {
      {"relative", {{"doc.bin", "real/a.bin"}}, "real/a.bin", true},
      {"absolute", {{"doc.bin", (dir_ / "real/b.bin").string()}}, "real/b.bin", true},
      {"chain", {{"doc.bin", "mid.bin"}, {"mid.bin", "real/c.bin"}}, "real/c.bin", true},
      {"dangling", {{"doc.bin", "real/new.bin"}}, "real/new.bin", false},
      {"link inside a folder", {{"real/d.bin", "e.bin"}}, "real/e.bin", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    const std::vector<std::uint8_t> old(3, 1);
    if (c.target_exists) {
      ASSERT_TRUE(WriteFileAtomically((dir_ / c.target).string(), old, error));
    }
    for (const auto& [link, points_to] : c.links) {
      fs::remove(dir_ / link);
      fs::create_symlink(points_to, dir_ / link);
    }
    const std::vector<std::uint8_t> fresh(700, 9);
    ASSERT_TRUE(WriteFileAtomically((dir_ / c.links[0].first).string(), fresh, error)) << error;
    for (const auto& link : c.links)
      EXPECT_TRUE(fs::is_symlink(dir_ / link.first)) << link.first;
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadFileBytes((dir_ / c.target).string(), back, error)) << error;
    EXPECT_EQ(back, fresh);
  }
}

// A target that is not a regular file (a FIFO, a device, a folder), named directly or through
// a link, is refused and stays what it was: renaming over it would put a file in its place.
TEST_F(AtomicWrite, OnlyRegularFilesAreReplaced) {
  namespace fs = std::filesystem;
  ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0600), 0);
  fs::create_directory(dir_ / "folder");
  fs::create_symlink("pipe", dir_ / "to-pipe");
  fs::create_symlink("folder", dir_ / "to-folder");
  std::vector<std::string> targets = {"pipe", "folder", "to-pipe", "to-folder"};
  // A copy of the null device where the user may make one (the superuser, outside containers
  // that forbid it).
  if (::mknod((dir_ / "null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) {
    fs::create_symlink("null", dir_ / "to-null");
    targets.insert(targets.end(), {"null", "to-null"});
  }
  for (const std::string& name : targets) {
    SCOPED_TRACE(name);
    std::string error;
    EXPECT_FALSE(
        WriteFileAtomically((dir_ / name).string(), std::vector<std::uint8_t>(8, 1), error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  }
  EXPECT_TRUE(fs::is_fifo(dir_ / "pipe"));
  EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
  EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
  if (fs::exists(dir_ / "null")) {
    EXPECT_TRUE(fs::is_character_file(dir_ / "null"));
  }
  // Nothing was left behind either: no temporary file beside the targets.
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_EQ(entry.path().filename().string().find(".qzarn-save-"), std::string::npos);
}

// A file another user owns (a group-shared folder) keeps its owner and group when it is saved.
// Only the superuser may give a file away, so the whole case runs as root; other users check
// that nothing is claimed when nothing changes.
TEST_F(AtomicWrite, ReplacedFileKeepsItsOwnerAndGroup) {
  const std::string path = (dir_ / "theirs.bin").string();
  std::string error, notice;
  ASSERT_TRUE(WriteFileAtomically(path, std::vector<std::uint8_t>(5, 1), error));
  const bool root = ::geteuid() == 0;
  const uid_t owner = root ? 4321 : ::geteuid();
  const gid_t group = root ? 8765 : ::getegid();
  ASSERT_EQ(::chown(path.c_str(), owner, group), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0660), 0);
  ASSERT_TRUE(WriteFileAtomically(path, std::vector<std::uint8_t>(50, 2), error, {}, &notice))
      << error;
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, owner);
  EXPECT_EQ(st.st_gid, group);
  EXPECT_EQ(st.st_mode & 07777, 0660u);
  EXPECT_EQ(notice, "");
}

// A save killed half-way leaves its temporary file; the next save into the folder removes it,
// and nothing else: not the files of running processes, of other hosts, nor other names.
TEST_F(AtomicWrite, NextSaveRemovesTheTemporaryFileOfAKilledSave) {
  namespace fs = std::filesystem;
  const std::string path = (dir_ / "doc.bin").string();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    AtomicWriteOptions killed;
    killed.on_temporary = [](const std::string&) { ::raise(SIGKILL); };
    std::string error;
    WriteFileAtomically(path, std::vector<std::uint8_t>(100, 1), error, killed);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1);  // the killed save's file

  char host[256] = {};
  ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
  const std::string ours = std::string(".qzarn-save-") + host + "-";
  const std::string dead = std::to_string(child);
  const std::vector<std::string> kept_files = {
      ours + std::to_string(::getpid()) + "-5.part",  // a save of a running process
      ".qzarn-save-elsewhere-" + dead + "-5.part",    // made on another host
      ours + dead + "-x.part",
      ours + dead + "-5.partial",
      ".qzarn-save-" + dead + ".part",
      "notes.part",
  };
  for (const std::string& name : kept_files)
    std::ofstream((dir_ / name).string()) << "keep";
  fs::create_directory(dir_ / (ours + dead + "-6.part"));

  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, std::vector<std::uint8_t>(10, 2), error)) << error;
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir_))
    left.insert(entry.path().filename().string());
  std::set<std::string> expected(kept_files.begin(), kept_files.end());
  expected.insert(ours + dead + "-6.part");
  expected.insert("doc.bin");
  EXPECT_EQ(left, expected);
}

TEST_F(AtomicWrite, FailureHalfWayKeepsThePreviousFile) {
  const std::string path = (dir_ / "a.bin").string();
  const std::vector<std::uint8_t> old(100, 1), fresh(5000, 2);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, old, error));
  AtomicWriteOptions failing;
  failing.fail_after_bytes = 2500;
  EXPECT_FALSE(WriteFileAtomically(path, fresh, error, failing));
  EXPECT_FALSE(error.empty());
  std::vector<std::uint8_t> back;
  ASSERT_TRUE(ReadFileBytes(path, back, error));
  EXPECT_EQ(back, old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST_F(AtomicWrite, MissingFolderOrDirectoryTargetFails) {
  std::string error;
  const std::vector<std::uint8_t> data(10, 3);
  EXPECT_FALSE(WriteFileAtomically((dir_ / "no/such/x.bin").string(), data, error));
  std::filesystem::create_directory(dir_ / "sub");
  std::ofstream((dir_ / "sub" / "keep").string()) << "x";
  EXPECT_FALSE(WriteFileAtomically((dir_ / "sub").string(), data, error));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "sub" / "keep"));
}

TEST_F(AtomicWrite, ReadRefusesDirectoriesAndOversizedFiles) {
  std::vector<std::uint8_t> out;
  std::string error;
  EXPECT_FALSE(ReadFileBytes(dir_.string(), out, error));
  const std::string path = (dir_ / "big.bin").string();
  ASSERT_TRUE(WriteFileAtomically(path, std::vector<std::uint8_t>(1000, 0), error));
  EXPECT_FALSE(ReadFileBytes(path, out, error, 999));
  EXPECT_TRUE(ReadFileBytes(path, out, error, 1000));
}

}  // namespace
}  // namespace qzarn
