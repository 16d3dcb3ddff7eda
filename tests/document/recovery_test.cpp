// Recovery records, what ended runs left, and the journal of an open screen.
#include "document/recovery.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "document/undo_session.h"
#include "document_file_test_support.h"

namespace qzarn {
namespace {

namespace fs = std::filesystem;
using testing_support::NewScreen;

constexpr long kEnded = 2147483646;  // no process has this id
constexpr long kEndedToo = 2147483645;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RecoveryRecordTest, RoundTripsAwkwardTextsAndRefusesDamagedOnes) {
  RecoveryRecord r;
  r.host = ThisHost();
  r.pid = 42;
  r.title = "二次関数\\n\nの授業\r";
  r.file_path = "/home/先生/授業 1/a\\b.qzl";
  r.state = "/run/user/1000/qzarn/qzarn-snap-42-3.qzl";
  r.modified = true;
  const std::string text = EncodeRecoveryRecord(r);
  const std::optional<RecoveryRecord> back = DecodeRecoveryRecord(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->host, r.host);
  EXPECT_EQ(back->pid, 42);
  EXPECT_EQ(back->title, r.title);
  EXPECT_EQ(back->file_path, r.file_path);
  EXPECT_EQ(back->state, r.state);
  EXPECT_TRUE(back->modified);

  const std::string damaged[] = {
      "",
      text.substr(0, text.size() - 1),     // cut before the last line break
      text.substr(0, text.find("state")),  // cut in the middle
      "qzarn-recovery 2" + text.substr(text.find('\n')),
      std::string(text).replace(text.find("pid=42"), 6, "pid=-3"),
      std::string(text).replace(text.find("pid=42"), 6, "pid=4x"),
      std::string(text).replace(text.find("modified=1"), 10, "modified=2"),
      std::string(text).replace(text.find("\\r"), 2, "\\q"),  // an unknown escape
  };
  for (const std::string& t : damaged)
    EXPECT_FALSE(DecodeRecoveryRecord(t)) << t;
}

class LeftoversTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qzarn-recovery-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    std::string error;
    folder_ = TempFolder::Open((root_ / "private").string(), error);
    ASSERT_TRUE(folder_) << error;
    dir_ = folder_->path();
  }
  void TearDown() override { fs::remove_all(root_); }

  // A run's screen as it dies: its snapshot and the record naming it.
  fs::path Plant(long pid, int number, const std::string& host, bool modified,
                 std::string state = {}) {
    const fs::path snapshot =
        dir_ / ("qzarn-snap-" + std::to_string(pid) + "-" + std::to_string(number) + ".qzl");
    std::ofstream(snapshot) << "snapshot " << number;
    RecoveryRecord r{host,
                     pid,
                     "画面" + std::to_string(number),
                     "/lesson.qzl",
                     state.empty() ? snapshot.string() : state,
                     modified};
    std::ofstream(dir_ /
                  ("qzarn-screen-" + std::to_string(pid) + "-" + std::to_string(number) + ".rec"))
        << EncodeRecoveryRecord(r);
    return snapshot;
  }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_))
      names.insert(e.path().filename().string());
    return names;
  }

  fs::path root_, dir_;
  std::optional<TempFolder> folder_;
};

TEST_F(LeftoversTest, OffersModifiedScreensOfEndedRunsOfThisHostOnly) {
  const long me = static_cast<long>(::getpid());
  Plant(kEnded, 2, ThisHost(), true);
  Plant(kEnded, 1, ThisHost(), true);
  Plant(kEnded, 3, ThisHost(), false);                   // saved before the end
  Plant(kEndedToo, 1, ThisHost(), true, "/etc/passwd");  // a state outside the folder
  Plant(kEndedToo, 2, ThisHost(), true, (dir_ / "qzarn-snap-1-1.qzl").string());  // another run's
  Plant(me, 1, ThisHost(), true);                              // a run that is alive
  Plant(kEnded - 10, 1, "another-host.example", true);         // a run of another machine
  std::ofstream(dir_ / "qzarn-snap-2147483636-9.qzl") << "x";  // that machine's snapshot
  std::ofstream(dir_ / "qzarn-snap-1-1.qzl") << "x";
  std::ofstream(dir_ / "lesson.qzl") << "not ours";
  fs::create_directory(dir_ / ("qzarn-screen-" + std::to_string(kEnded) + "-9.rec"));

  const Leftovers found = FindLeftovers(*folder_);
  ASSERT_EQ(found.screens.size(), 2u);
  EXPECT_EQ(found.screens[0].title, "画面1");  // in the order the run made them
  EXPECT_EQ(found.screens[1].title, "画面2");
  EXPECT_EQ(ReadText(found.screens[1].state), "snapshot 2");

  EXPECT_EQ(DeleteLeftovers(found), 10);  // kEnded: 3 + 3, kEndedToo: 2 + 2; pid 1 runs
  const std::string mine = std::to_string(me);
  EXPECT_EQ(Files(), (std::set<std::string>{
                         "qzarn-snap-" + mine + "-1.qzl", "qzarn-screen-" + mine + "-1.rec",
                         "qzarn-snap-2147483636-1.qzl", "qzarn-screen-2147483636-1.rec",
                         "qzarn-snap-2147483636-9.qzl", "qzarn-snap-1-1.qzl", "lesson.qzl",
                         "qzarn-screen-" + std::to_string(kEnded) + "-9.rec"}));
}

TEST_F(LeftoversTest, ARecordNamingAnotherProcessIsNotTrusted) {
  const fs::path snapshot = Plant(kEnded, 1, ThisHost(), true);
  // The record's text says another process than its name: not offered, but removed with its run.
  RecoveryRecord r{ThisHost(), kEndedToo, "x", "", snapshot.string(), true};
  std::ofstream(dir_ / ("qzarn-screen-" + std::to_string(kEnded) + "-1.rec"))
      << EncodeRecoveryRecord(r);
  const Leftovers found = FindLeftovers(*folder_);
  EXPECT_TRUE(found.screens.empty());
  EXPECT_EQ(found.files.size(), 2u);
}

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qzarn-journal-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    std::string error;
    session_ = UndoSession::StartWithRecovery((root_ / "private").string(), error);
    ASSERT_TRUE(session_) << error;
    session_->store().free_space = [](const std::string&) {
      return std::optional<std::uint64_t>(1ull << 30);
    };
  }
  void TearDown() override { fs::remove_all(root_); }

  // What a start of a program on the same folder after this process died would see, with this
  // process's id standing for the dead one.
  std::vector<RecoveryRecord> Records() const {
    std::vector<RecoveryRecord> records;
    for (const auto& e : fs::directory_iterator(root_ / "private"))
      if (TempFolder::IsRecordName(e.path().filename().string()))
        if (auto r = DecodeRecoveryRecord(ReadText(e.path()))) records.push_back(*r);
    return records;
  }
  std::size_t FileCount() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(root_ / "private"), fs::directory_iterator()));
  }

  fs::path root_;
  std::optional<UndoSession> session_;
};

TEST_F(JournalTest, RecordFollowsSnapshotsCopiesAndSaving) {
  auto held = std::make_unique<UndoableScreen>(*session_, NewScreen());
  Screen& s = held->screen();
  s.Title = "授業";
  std::string error;
  // Untouched: nothing to keep, no record.
  ASSERT_TRUE(held->KeepForRecovery(error)) << error;
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(FileCount(), 1u);

  // A change with a snapshot: the record names that snapshot.
  s.Variables().bind(0, 1, 5.0);
  s.Modified = true;
  ASSERT_TRUE(held->RecordEdit().ok());
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_EQ(Records()[0].state, s.UndoFiles[1]);
  EXPECT_TRUE(Records()[0].modified);
  ASSERT_TRUE(held->KeepForRecovery(error)) << error;  // nothing changed since: no copy
  EXPECT_EQ(Records()[0].state, s.UndoFiles[1]);
  EXPECT_EQ(FileCount(), 3u);

  // A change without a snapshot (a palette step): a copy holding exactly the new state.
  s.Variables().bind(0, 1, 7.0);
  ASSERT_TRUE(held->KeepForRecovery(error)) << error;
  const std::string copy = Records()[0].state;
  EXPECT_NE(copy, s.UndoFiles[1]);
  auto back = NewScreen();
  ASSERT_TRUE(LoadPlainDocument(*back, copy).ok());
  EXPECT_EQ(back->Variables().read(0, 1), 7.0);
  // A further change replaces the copy; the older one goes.
  s.Variables().bind(0, 1, 8.0);
  ASSERT_TRUE(held->KeepForRecovery(error)) << error;
  EXPECT_FALSE(fs::exists(copy));
  EXPECT_EQ(FileCount(), 4u);  // snapshots 0 and 1, the copy, the record

  // Undo makes the snapshot the state again, and the copy goes.
  const std::string newer_copy = Records()[0].state;
  ASSERT_TRUE(held->Undo().ok());
  EXPECT_EQ(Records()[0].state, s.UndoFiles[0]);
  EXPECT_FALSE(fs::exists(newer_copy));

  // Saved: the record stays but no longer offers the screen; a new file name is recorded.
  s.Modified = false;
  s.FilePath = "/home/t/授業.qzl";
  ASSERT_TRUE(held->KeepForRecovery(error)) << error;
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_FALSE(Records()[0].modified);
  EXPECT_EQ(Records()[0].file_path, s.FilePath);

  held->Close();
  EXPECT_EQ(FileCount(), 0u);
}

TEST_F(JournalTest, ASessionWithRecoveryKeepsLeftoversUntilDiscarded) {
  const fs::path dir = root_ / "private";
  std::ofstream(dir / "qzarn-snap-2147483646-1.qzl") << "x";
  std::string error;
  std::optional<UndoSession> again = UndoSession::StartWithRecovery(dir.string(), error);
  ASSERT_TRUE(again) << error;
  EXPECT_TRUE(fs::exists(dir / "qzarn-snap-2147483646-1.qzl"));
  const Leftovers found = again->leftovers();
  EXPECT_TRUE(found.screens.empty());  // a snapshot without a record is not offered
  again->DiscardLeftovers(found);
  EXPECT_FALSE(fs::exists(dir / "qzarn-snap-2147483646-1.qzl"));
  EXPECT_EQ(again->stale_deleted(), 1);
}

}  // namespace
}  // namespace qzarn
