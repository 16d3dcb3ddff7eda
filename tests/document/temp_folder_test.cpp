#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "document/temp_folder.h"

namespace qzarn {
namespace {

namespace fs = std::filesystem;

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("qzarn-tf-" + std::to_string(::getpid()));
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

TEST_F(TempFolderTest, CreatesAPrivateFolderAndTightensALooseOne) {
  std::string error;
  auto folder = TempFolder::Open((root_ / "t").string(), error);
  ASSERT_TRUE(folder) << error;
  struct stat st {};
  ASSERT_EQ(::stat(folder->path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ::chmod(folder->path().c_str(), 0777);
  ASSERT_TRUE(TempFolder::Open(folder->path(), error));
  ASSERT_EQ(::stat(folder->path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(TempFolderTest, RefusesLinksAndFiles) {
  std::string error;
  fs::create_directory(root_ / "real");
  fs::create_directory_symlink(root_ / "real", root_ / "link");
  EXPECT_FALSE(TempFolder::Open((root_ / "link").string(), error));
  std::ofstream((root_ / "file").string()) << "x";
  EXPECT_FALSE(TempFolder::Open((root_ / "file").string(), error));
}

// The folder a second start hands its document paths through: used only when it is a real
// folder of this user that nobody else may enter; otherwise the program gets a folder of a
// unique name for its snapshots and no single instance, and says why.
TEST_F(TempFolderTest, OnlyAPrivateFolderCarriesTheSingleInstance) {
  std::string error;
  const auto wanted = [&](const char* name) { return (root_ / name).string(); };
  const auto expect_refused = [&](const std::string& path, const char* reason) {
    SCOPED_TRACE(path);
    const PrivateFolderChoice c = ChoosePrivateFolder(path);
    EXPECT_FALSE(c.shared_name);
    EXPECT_NE(c.notice.find(reason), std::string::npos) << c.notice;
    ASSERT_FALSE(c.folder.empty()) << c.notice;
    EXPECT_NE(c.folder, path);
    struct stat st {};
    ASSERT_EQ(::lstat(c.folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::getuid());
    fs::remove(c.folder);
  };
  // Missing: made private; already private: used.
  for (int round = 0; round < 2; ++round) {
    const PrivateFolderChoice c = ChoosePrivateFolder(wanted("mine"));
    EXPECT_TRUE(c.shared_name) << c.notice;
    EXPECT_EQ(c.folder, wanted("mine"));
    EXPECT_TRUE(c.notice.empty());
  }
  // The user's own folder that others could enter may already hold what they put there.
  fs::create_directory(wanted("open"));
  ::chmod(wanted("open").c_str(), 0777);
  expect_refused(wanted("open"), "open to other users");
  // A link, even to a private folder, may be changed to point elsewhere.
  fs::create_directory_symlink(wanted("mine"), wanted("link"));
  expect_refused(wanted("link"), "symbolic link");
  std::ofstream(wanted("file")) << "x";
  expect_refused(wanted("file"), "not a folder");
}

// Another user made the folder first, as anyone may in /tmp: it is not used, however open.
TEST_F(TempFolderTest, AFolderAnotherUserMadeIsNotUsed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to act as a second user";
  if (std::system("command -v setpriv >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "setpriv (util-linux) is not installed";
  // A shared folder like /tmp, where the other user makes its folder of mode 0777.
  ::chmod(root_.c_str(), 01777);
  const std::string theirs = (root_ / "qzarn-0").string();
  const std::string command =
      "setpriv --reuid=65534 --regid=65534 --clear-groups mkdir -m 0777 '" + theirs + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  struct stat st {};
  ASSERT_EQ(::lstat(theirs.c_str(), &st), 0);
  ASSERT_EQ(st.st_uid, 65534u);

  const PrivateFolderChoice c = ChoosePrivateFolder(theirs);
  EXPECT_FALSE(c.shared_name);
  EXPECT_NE(c.notice.find("belongs to another user"), std::string::npos) << c.notice;
  ASSERT_FALSE(c.folder.empty());
  EXPECT_NE(c.folder, theirs);
  ASSERT_EQ(::lstat(c.folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, ::getuid());
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  fs::remove(c.folder);
  // Their folder is left as it was.
  ASSERT_EQ(::lstat(theirs.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0777u);
}

TEST_F(TempFolderTest, SnapshotNamesAreUniqueAndRecognised) {
  std::string error;
  auto folder = TempFolder::Open((root_ / "t").string(), error);
  ASSERT_TRUE(folder);
  auto a = folder->CreateSnapshotFile(error);
  auto b = folder->CreateSnapshotFile(error);
  ASSERT_TRUE(a && b) << error;
  EXPECT_NE(*a, *b);
  long pid = 0;
  EXPECT_TRUE(TempFolder::IsSnapshotName(fs::path(*a).filename().string(), &pid));
  EXPECT_EQ(pid, ::getpid());
  for (const char* other : {"doc.qzl", "qzarn-snap-.qzl", "qzarn-snap-12.qzl", "qzarn-snap-1-x.qzl",
                            "qzarn-snap-1-2.qzl.bak", "QZARN-SNAP-1-2.qzl"})
    EXPECT_FALSE(TempFolder::IsSnapshotName(other)) << other;
}

TEST_F(TempFolderTest, CleanUpDeletesOnlyStaleSnapshotsOfThisProgram) {
  std::string error;
  auto folder = TempFolder::Open((root_ / "t").string(), error);
  ASSERT_TRUE(folder);
  auto live = folder->CreateSnapshotFile(error);  // ours, process running
  ASSERT_TRUE(live);
  const fs::path dir = folder->path();
  // A process id above the kernel's pid limit never runs.
  const fs::path stale = dir / "qzarn-snap-2147483647-4.qzl";
  const fs::path users_doc = dir / "lesson.qzl";
  const fs::path stale_dir = dir / "qzarn-snap-2147483647-5.qzl";
  std::ofstream(stale.string()) << "x";
  std::ofstream(users_doc.string()) << "x";
  fs::create_directory(stale_dir);
  EXPECT_EQ(folder->DeleteStaleSnapshots(), 1);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(*live));
  EXPECT_TRUE(fs::exists(users_doc));
  EXPECT_TRUE(fs::exists(stale_dir));
}

}  // namespace
}  // namespace qzarn
