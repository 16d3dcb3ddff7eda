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
  r.boot = "0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0";
  r.pid = 42;
  r.title = "二次関数\\n\nの授業\r";
  r.file_path = "/home/先生/授業 1/a\\b.qzl";
  r.state = "/run/user/1000/qzarn/qzarn-snap-42-3.qzl";
  r.modified = true;
  const std::string text = EncodeRecoveryRecord(r);
  const std::optional<RecoveryRecord> back = DecodeRecoveryRecord(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->host, r.host);
  EXPECT_EQ(back->boot, r.boot);
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

  // A record written before boot ids were kept still reads, with the boot unknown.
  std::string old_record = text;
  old_record.erase(old_record.find("boot="), old_record.find("pid=") - old_record.find("boot="));
  const std::optional<RecoveryRecord> old = DecodeRecoveryRecord(old_record);
  ASSERT_TRUE(old) << old_record;
  EXPECT_TRUE(old->boot.empty());
  EXPECT_EQ(old->title, r.title);
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
                 std::string state = {}, std::string boot = ThisBoot()) {
    const fs::path snapshot =
        dir_ / ("qzarn-snap-" + std::to_string(pid) + "-" + std::to_string(number) + ".qzl");
    std::ofstream(snapshot) << "snapshot " << number;
    RecoveryRecord r{host,          boot,
                     pid,           "画面" + std::to_string(number),
                     "/lesson.qzl", state.empty() ? snapshot.string() : state,
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
  RecoveryRecord r{ThisHost(), ThisBoot(), kEndedToo, "x", "", snapshot.string(), true};
  std::ofstream(dir_ / ("qzarn-screen-" + std::to_string(kEnded) + "-1.rec"))
      << EncodeRecoveryRecord(r);
  const Leftovers found = FindLeftovers(*folder_);
  EXPECT_TRUE(found.screens.empty());
  EXPECT_EQ(found.files.size(), 2u);
}

TEST_F(LeftoversTest, RunsOfAnEarlierBootHaveEndedWhoeverHasTheirProcessIdNow) {
  ASSERT_FALSE(ThisBoot().empty());
  const std::string earlier = "00000000-0000-0000-0000-000000000001";
  // After a power cut the dead run's process id may belong to a live process: this test's.
  const long live = static_cast<long>(::getpid());
  const long parent = static_cast<long>(::getppid());  // alive as well
  struct Case {
    const char* what;
    long pid;
    std::vector<std::string> boots;  // one record each
    bool ended;
  };
  const Case cases[] = {
      {"every record of an earlier boot, the id in use", live, {earlier, earlier}, true},
      {"an earlier boot, the id free", kEnded, {earlier}, true},
      {"a record of this boot: the live process's", parent, {ThisBoot()}, false},
      {"records of both boots: judged by the process", parent, {earlier, ThisBoot()}, false},
      {"an unknown boot: judged by the process", parent, {""}, false},
      {"an unknown boot, the process gone", kEndedToo, {""}, true},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir_);
    fs::create_directory(dir_);
    for (std::size_t i = 0; i < c.boots.size(); ++i)
      Plant(c.pid, static_cast<int>(i) + 1, ThisHost(), true, {}, c.boots[i]);
    const Leftovers found = FindLeftovers(*folder_);
    EXPECT_EQ(found.screens.size(), c.ended ? c.boots.size() : 0u) << c.what;
    EXPECT_EQ(found.files.size(), c.ended ? 2 * c.boots.size() : 0u) << c.what;
  }
}

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qzarn-journal-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    std::string error;
    std::string notice;
    session_ = UndoSession::StartWithRecovery(
        (root_ / "private").string(), (root_ / "state/qzarn/recovery").string(), error, &notice);
    ASSERT_TRUE(session_) << error;
    ASSERT_TRUE(notice.empty()) << notice;
    session_->store().free_space = [](const std::string&) {
      return std::optional<std::uint64_t>(1ull << 30);
    };
  }
  void TearDown() override { fs::remove_all(root_); }

  // What a start of a program on the same folder after this process died would see, with this
  // process's id standing for the dead one.
  std::vector<RecoveryRecord> Records() const {
    std::vector<RecoveryRecord> records;
    for (const auto& e : fs::directory_iterator(Kept()))
      if (TempFolder::IsRecordName(e.path().filename().string()))
        if (auto r = DecodeRecoveryRecord(ReadText(e.path()))) records.push_back(*r);
    return records;
  }
  fs::path Kept() const { return root_ / "state/qzarn/recovery"; }
  static std::size_t FileCount(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }
  // The snapshots (in memory) and the recovery folder (on disk).
  std::pair<std::size_t, std::size_t> FileCounts() const {
    return {FileCount(root_ / "private"), FileCount(Kept())};
  }
  using Counts = std::pair<std::size_t, std::size_t>;
  // The screen as a recovery copy holds it.
  static double VariableIn(const std::string& copy) {
    auto back = NewScreen();
    if (!LoadPlainDocument(*back, copy).ok()) return -1;
    return back->Variables().read(0, 1);
  }

  fs::path root_;
  std::optional<UndoSession> session_;
};

TEST_F(JournalTest, RecordFollowsSnapshotsCopiesAndSaving) {
  // The folders are private; the recovery folder's missing parents were made so too.
  for (const fs::path& p : {root_ / "state", root_ / "state/qzarn", Kept()})
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all, fs::perms::owner_all) << p;
  auto held = std::make_unique<UndoableScreen>(*session_, NewScreen());
  Screen& s = held->screen();
  s.Title = "授業";
  std::string error;
  // Untouched: nothing to keep, no record.
  ASSERT_TRUE(held->KeepForRecovery(error)) << error;
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(FileCounts(), (Counts{1u, 0u}));

  // A change with a snapshot: the record names a copy on disk holding that state, so it
  // outlives the snapshot.
  s.Variables().bind(0, 1, 5.0);
  s.Modified = true;
  ASSERT_TRUE(held->RecordEdit().ok());
  ASSERT_EQ(Records().size(), 1u);
  const std::string copy = Records()[0].state;
  EXPECT_EQ(fs::path(copy).parent_path(), Kept());
  EXPECT_EQ(Records()[0].boot, ThisBoot());
  EXPECT_TRUE(Records()[0].modified);
  EXPECT_EQ(VariableIn(copy), 5.0);
  const auto written = fs::last_write_time(copy);
  ASSERT_TRUE(held->KeepForRecovery(error)) << error;  // nothing changed since: no write
  EXPECT_EQ(fs::last_write_time(copy), written);
  EXPECT_EQ(FileCounts(), (Counts{2u, 2u}));

  // A change without a snapshot (a palette step): the copy is replaced by the new state.
  s.Variables().bind(0, 1, 7.0);
  ASSERT_TRUE(held->KeepForRecovery(error)) << error;
  EXPECT_EQ(Records()[0].state, copy);
  EXPECT_EQ(VariableIn(copy), 7.0);
  EXPECT_EQ(FileCounts(), (Counts{2u, 2u}));  // no scratch file left behind

  // Undo and redo keep the copy at the state shown.
  ASSERT_TRUE(held->Undo().ok());
  EXPECT_EQ(VariableIn(Records()[0].state), s.Variables().read(0, 1));
  ASSERT_TRUE(held->Redo().ok());
  EXPECT_EQ(VariableIn(Records()[0].state), 5.0);

  // Saved: the record stays but no longer offers the screen, and the copy goes; a new file
  // name is recorded.
  s.Modified = false;
  s.FilePath = "/home/t/授業.qzl";
  ASSERT_TRUE(held->KeepForRecovery(error)) << error;
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_FALSE(Records()[0].modified);
  EXPECT_EQ(Records()[0].file_path, s.FilePath);
  EXPECT_FALSE(fs::exists(copy));

  held->Close();
  EXPECT_EQ(FileCounts(), (Counts{0u, 0u}));
}

TEST_F(JournalTest, StartDeletesEndedSnapshotsButKeepsRecoveryUntilDiscarded) {
  const fs::path memory = root_ / "private";
  const std::string dead = std::to_string(kEnded);
  std::ofstream(memory / ("qzarn-snap-" + dead + "-1.qzl")) << "x";
  std::ofstream(Kept() / ("qzarn-snap-" + dead + "-2.qzl")) << "x";
  std::string error;
  std::optional<UndoSession> again =
      UndoSession::StartWithRecovery(memory.string(), Kept().string(), error);
  ASSERT_TRUE(again) << error;
  EXPECT_FALSE(fs::exists(memory / ("qzarn-snap-" + dead + "-1.qzl")));
  EXPECT_TRUE(fs::exists(Kept() / ("qzarn-snap-" + dead + "-2.qzl")));
  again->DiscardLeftovers(again->leftovers());
  EXPECT_FALSE(fs::exists(Kept() / ("qzarn-snap-" + dead + "-2.qzl")));
  EXPECT_EQ(again->stale_deleted(), 2);
}

TEST_F(JournalTest, AnUnusableRecoveryFolderFallsBackBesideTheSnapshots) {
  std::ofstream(root_ / "a-file") << "x";
  std::string error, notice;
  std::optional<UndoSession> s = UndoSession::StartWithRecovery(
      (root_ / "private").string(), (root_ / "a-file/recovery").string(), error, &notice);
  ASSERT_TRUE(s) << error;
  EXPECT_NE(notice.find("a-file"), std::string::npos) << notice;
  EXPECT_EQ(s->recovery_folder().path(), (root_ / "private").string());
}

TEST_F(JournalTest, ASessionWithRecoveryKeepsLeftoversUntilDiscarded) {
  const fs::path dir = root_ / "private";
  std::ofstream(dir / "qzarn-snap-2147483646-1.qzl") << "x";
  std::string error;
  std::optional<UndoSession> again = UndoSession::StartWithRecovery(dir.string(), {}, error);
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
