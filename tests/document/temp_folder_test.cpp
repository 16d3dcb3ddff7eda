#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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
