#include "document/undo_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "document_file_test_support.h"

namespace qzarn {
namespace {

namespace fs = std::filesystem;
using testing_support::NewScreen;

class UndoSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qzarn-session-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    folder_ = root_ / "snapshots";
  }
  void TearDown() override { fs::remove_all(root_); }

  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder_))
      names.insert(e.path().filename().string());
    return names;
  }
  UndoSession Start() {
    std::string error;
    std::optional<UndoSession> s = UndoSession::Start(folder_.string(), error);
    EXPECT_TRUE(s) << error;
    return std::move(*s);
  }

  fs::path root_, folder_;
};

TEST_F(UndoSessionTest, StartUpDeletesOnlyWhatEndedRunsLeftBehind) {
  fs::create_directories(folder_);
  // Left by a run that has ended (no process has this id), by this very process
  // (a second window of a running program), and files that are not snapshots.
  const std::string ended = "qzarn-snap-2147483647-7.qzl";
  const std::string running = "qzarn-snap-" + std::to_string(::getpid()) + "-999.qzl";
  for (const std::string& name : {ended, running, std::string("lesson.qzl")})
    std::ofstream((folder_ / name).string()) << "x";

  UndoSession session = Start();
  EXPECT_EQ(session.stale_deleted(), 1);
  EXPECT_EQ(Files(), (std::set<std::string>{running, "lesson.qzl"}));
}

TEST_F(UndoSessionTest, StartFailsOnAFolderThatIsNotSafe) {
  fs::create_directories(root_ / "elsewhere");
  fs::create_directory_symlink(root_ / "elsewhere", folder_);
  std::string error;
  EXPECT_FALSE(UndoSession::Start(folder_.string(), error));
  EXPECT_FALSE(error.empty());
}

TEST_F(UndoSessionTest, ScreenKeepsItsHistoryUntilItClosesAndThenLeavesNoFile) {
  UndoSession session = Start();
  session.store().free_space = [](const std::string&) {
    return std::optional<std::uint64_t>(1ull << 30);
  };
  UndoResult opened;
  auto held = std::make_unique<UndoableScreen>(session, NewScreen(), &opened);
  ASSERT_TRUE(opened.ok()) << opened.detail;
  EXPECT_FALSE(held->CanUndo());
  EXPECT_EQ(Files().size(), 1u);

  held->screen().Variables().bind(0, 1, 5.0);
  ASSERT_TRUE(held->RecordEdit().ok());
  EXPECT_EQ(Files().size(), 2u);
  ASSERT_TRUE(held->Undo().ok());
  EXPECT_NE(held->screen().Variables().read(0, 1), 5.0);
  ASSERT_TRUE(held->Redo().ok());
  EXPECT_EQ(held->screen().Variables().read(0, 1), 5.0);

  // A second screen of the same run: closing the first leaves the second's history alone.
  UndoableScreen other(session, NewScreen());
  ASSERT_TRUE(other.RecordEdit().ok());
  EXPECT_EQ(Files().size(), 4u);

  std::unique_ptr<Screen> closed = held->Close();
  ASSERT_TRUE(closed);
  EXPECT_EQ(closed->UndoIndex, 0);
  for (const std::string& name : closed->UndoFiles)
    EXPECT_TRUE(name.empty());
  EXPECT_EQ(closed->Variables().read(0, 1), 5.0);  // the state shown at closing is kept
  held.reset();                                    // closing twice deletes nothing more
  EXPECT_EQ(Files().size(), 2u);
  EXPECT_TRUE(other.CanUndo());
  ASSERT_TRUE(other.Undo().ok());
}

TEST_F(UndoSessionTest, AScreenDroppedWithoutCloseStillDeletesItsSnapshots) {
  UndoSession session = Start();
  {
    UndoableScreen held(session, NewScreen());
    ASSERT_TRUE(held.RecordEdit().ok());
    ASSERT_TRUE(held.RecordEdit().ok());
    EXPECT_EQ(Files().size(), 3u);
  }
  EXPECT_TRUE(Files().empty());
}

}  // namespace
}  // namespace qzarn
