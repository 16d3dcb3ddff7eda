#include "document/undo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document_file_test_support.h"

namespace qzarn {
namespace {

namespace fs = std::filesystem;
using testing_support::NewScreen;

class UndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qzarn-undo-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::string error;
    std::optional<TempFolder> folder = TempFolder::Open(dir_.string(), error);
    ASSERT_TRUE(folder) << error;
    store_.emplace(*folder);
    store_->free_space = [this](const std::string&) { return free_bytes_; };
    screen_ = NewScreen();
    screen_->FilePath = "/home/user/lesson.qzl";
    ResetUndo(*screen_, *store_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The state the tests change and check: one variable cell and one figure.
  void SetState(double value) {
    screen_->Variables().bind(0, 1, value);
    screen_->Modified = true;
  }
  double State() const { return screen_->Variables().read(0, 1); }
  int FilesInFolder() const {
    return static_cast<int>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  void Snapshot(double value) {
    SetState(value);
    ASSERT_TRUE(TakeSnapshot(*screen_, *store_).ok());
  }

  fs::path dir_;
  std::optional<UndoStore> store_;
  std::optional<std::uint64_t> free_bytes_ = 1ull << 30;
  std::unique_ptr<Screen> screen_;
};

TEST_F(UndoTest, OpenedStateIsSnapshotZeroAndUndoRedoWalkBetweenStates) {
  SetState(1.0);
  ASSERT_TRUE(ReplaceSnapshot(*screen_, *store_).ok());
  EXPECT_FALSE(CanUndo(*screen_));
  EXPECT_FALSE(CanRedo(*screen_));

  Snapshot(2.0);
  EXPECT_TRUE(CanUndo(*screen_));
  EXPECT_FALSE(CanRedo(*screen_));
  screen_->SelectedIndex = 3;

  ASSERT_TRUE(Undo(*screen_, *store_).ok());
  EXPECT_DOUBLE_EQ(State(), 1.0);
  EXPECT_EQ(screen_->UndoIndex, 0);
  EXPECT_EQ(screen_->SelectedIndex, -1);
  // The restored state is not what the file holds: closing must still offer to save.
  EXPECT_TRUE(screen_->Modified);
  EXPECT_EQ(screen_->FilePath, "/home/user/lesson.qzl");
  EXPECT_EQ(Undo(*screen_, *store_).status, UndoStatus::kNothingToDo);

  ASSERT_TRUE(CanRedo(*screen_));
  ASSERT_TRUE(Redo(*screen_, *store_).ok());
  EXPECT_DOUBLE_EQ(State(), 2.0);
  EXPECT_EQ(screen_->UndoIndex, 1);
  EXPECT_EQ(Redo(*screen_, *store_).status, UndoStatus::kNothingToDo);
}

TEST_F(UndoTest, NewSnapshotAfterUndoDiscardsTheRedoTail) {
  for (double v : {0.0, 1.0, 2.0, 3.0})
    Snapshot(v);
  const std::string later1 = screen_->UndoFiles[3];
  const std::string later2 = screen_->UndoFiles[4];
  ASSERT_TRUE(Undo(*screen_, *store_).ok());
  ASSERT_TRUE(Undo(*screen_, *store_).ok());
  EXPECT_DOUBLE_EQ(State(), 1.0);
  ASSERT_TRUE(CanRedo(*screen_));

  Snapshot(9.0);
  EXPECT_EQ(screen_->UndoIndex, 3);
  EXPECT_FALSE(CanRedo(*screen_));
  EXPECT_FALSE(fs::exists(later2));
  EXPECT_TRUE(screen_->UndoFiles[4].empty());
  EXPECT_NE(screen_->UndoFiles[3], later1);
  EXPECT_FALSE(fs::exists(later1));
  EXPECT_EQ(FilesInFolder(), 3);  // snapshots 1, 2 and the new 3
}

TEST_F(UndoTest, OldestSnapshotsAreDroppedBeyondTheWindow) {
  for (int i = 1; i <= 305; ++i)
    Snapshot(i);
  EXPECT_EQ(screen_->UndoIndex, 300);
  EXPECT_EQ(FilesInFolder(), 301);
  EXPECT_TRUE(screen_->UndoFiles[301].empty());
  int steps = 0;
  while (CanUndo(*screen_)) {
    ASSERT_TRUE(Undo(*screen_, *store_).ok());
    ++steps;
    ASSERT_DOUBLE_EQ(State(), 305 - steps);
  }
  EXPECT_EQ(steps, 300);
  EXPECT_DOUBLE_EQ(State(), 5.0);  // snapshots 0..4 were dropped
  // Redo can walk all the way forward again.
  while (CanRedo(*screen_))
    ASSERT_TRUE(Redo(*screen_, *store_).ok());
  EXPECT_EQ(screen_->UndoIndex, 300);
  EXPECT_DOUBLE_EQ(State(), 305.0);
}

TEST_F(UndoTest, LowFreeSpaceKeepsEditingButTakesNoSnapshot) {
  Snapshot(1.0);
  free_bytes_ = kSnapshotMinFreeBytes - 1;
  SetState(2.0);
  EXPECT_EQ(TakeSnapshot(*screen_, *store_).status, UndoStatus::kNoSpace);
  EXPECT_EQ(ReplaceSnapshot(*screen_, *store_).status, UndoStatus::kNoSpace);
  EXPECT_EQ(screen_->UndoIndex, 1);
  EXPECT_EQ(FilesInFolder(), 1);
  EXPECT_DOUBLE_EQ(State(), 2.0);

  free_bytes_ = kSnapshotMinFreeBytes;
  EXPECT_TRUE(TakeSnapshot(*screen_, *store_).ok());
  free_bytes_ = std::nullopt;  // an unknown amount does not block snapshots
  EXPECT_TRUE(TakeSnapshot(*screen_, *store_).ok());
  EXPECT_EQ(screen_->UndoIndex, 3);
}

// A snapshot that cannot be read must leave the user's screen exactly as it was.
TEST_F(UndoTest, UnreadableSnapshotLeavesTheScreenAsItWas) {
  struct Case {
    const char* what;
    void (*spoil)(const std::string& path);
  };
  const Case cases[] = {
      {"truncated", [](const std::string& p) { fs::resize_file(p, 100); }},
      {"deleted", [](const std::string& p) { fs::remove(p); }},
      {"garbage", [](const std::string& p) { std::ofstream(p, std::ios::trunc) << "not a doc"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteSnapshots(*screen_);
    Snapshot(1.0);
    Snapshot(2.0);
    SetState(3.0);  // an edit not yet snapshotted
    screen_->SelectedIndex = 4;
    c.spoil(screen_->UndoFiles[1]);

    const UndoResult r = Undo(*screen_, *store_);
    EXPECT_EQ(r.status, UndoStatus::kLoadFailed);
    EXPECT_EQ(r.message, kSnapshotLoadFailedMessage);
    EXPECT_DOUBLE_EQ(State(), 3.0);
    EXPECT_TRUE(screen_->Modified);
    EXPECT_EQ(screen_->SelectedIndex, 4);
    EXPECT_EQ(screen_->UndoIndex, 2);
  }
}

TEST_F(UndoTest, FailedWriteIsReportedAndLeavesNoFile) {
  Snapshot(1.0);
  store_->save.fail_write_after = 10;
  SetState(2.0);
  const UndoResult r = TakeSnapshot(*screen_, *store_);
  EXPECT_EQ(r.status, UndoStatus::kWriteFailed);
  EXPECT_EQ(r.message, kSaveFailedMessage);
  EXPECT_TRUE(screen_->UndoFiles[2].empty());
  EXPECT_EQ(FilesInFolder(), 1);
  EXPECT_FALSE(CanRedo(*screen_));
  // Undo still reaches the last good state.
  store_->save.fail_write_after = SIZE_MAX;
  ASSERT_TRUE(Undo(*screen_, *store_).ok());
  EXPECT_DOUBLE_EQ(State(), 1.0);
}

TEST_F(UndoTest, SnapshotsAreUncompressedWhateverTheSaveSetting) {
  store_->save.compressed = true;
  Snapshot(1.0);
  std::vector<std::uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(ReadFileBytes(screen_->UndoFiles[1], bytes, error)) << error;
  auto fresh = NewScreen();
  EXPECT_TRUE(ReadPlainDocument(bytes, *fresh).ok());
  EXPECT_EQ(fs::path(screen_->UndoFiles[1]).parent_path(), dir_);
  EXPECT_TRUE(TempFolder::IsSnapshotName(fs::path(screen_->UndoFiles[1]).filename().string()));
}

TEST_F(UndoTest, ClosingAndResettingDeleteEverySnapshot) {
  for (double v : {1.0, 2.0, 3.0})
    Snapshot(v);
  ASSERT_TRUE(Undo(*screen_, *store_).ok());  // a redo tail exists too
  const std::string foreign = (dir_ / "lesson.qzl").string();
  std::ofstream(foreign) << "user file";
  DeleteSnapshots(*screen_);
  EXPECT_EQ(screen_->UndoIndex, 0);
  EXPECT_EQ(FilesInFolder(), 1);
  EXPECT_TRUE(fs::exists(foreign));
  for (const std::string& name : screen_->UndoFiles)
    EXPECT_TRUE(name.empty());

  Snapshot(4.0);
  ASSERT_TRUE(ReplaceSnapshot(*screen_, *store_).ok());  // replacing leaves one file
  EXPECT_EQ(FilesInFolder(), 2);
  ResetUndo(*screen_, *store_);
  EXPECT_EQ(FilesInFolder(), 1);
  EXPECT_EQ(screen_->UndoDrive, dir_.string());
}

}  // namespace
}  // namespace qzarn
