// Saving and loading through the file system.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "document/document_file.h"
#include "document/document_file_test_support.h"

namespace qzarn {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

class DocumentFileIo : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("qzarn-docio-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::vector<std::uint8_t> Bytes(const std::string& name) const {
    std::vector<std::uint8_t> out;
    std::string error;
    ReadFileBytes(Path(name), out, error);
    return out;
  }
  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }
  fs::path dir_;
};

TEST_F(DocumentFileIo, SavesAndLoadsBothForms) {
  auto s = RichScreen();
  for (bool compressed : {false, true}) {
    SCOPED_TRACE(compressed ? "compressed" : "plain");
    SaveOptions o = PlainBmp();
    o.compressed = compressed;
    const std::string path = Path(compressed ? "packed.qzl" : "plain.qzl");
    SaveResult saved = SaveDocument(*s, path, o);
    ASSERT_TRUE(saved.ok) << saved.detail;
    auto back = NewScreen();
    LoadResult r = LoadDocument(*back, path);
    ASSERT_TRUE(r.ok()) << r.detail;
    EXPECT_EQ(r.compressed, compressed);
    EXPECT_EQ(Plain(*back), Plain(*s));
  }
  EXPECT_EQ(FilesInFolder(), 2u);  // no temporary files left behind
}

TEST_F(DocumentFileIo, AFailedWriteKeepsThePreviousFile) {
  auto old_screen = NewScreen();
  const std::string path = Path("doc.qzl");
  ASSERT_TRUE(SaveDocument(*old_screen, path, PlainBmp()).ok);
  const auto old_bytes = Bytes("doc.qzl");
  auto s = RichScreen();
  for (std::size_t fail_after : {std::size_t{0}, std::size_t{100}, old_bytes.size() + 10}) {
    SaveOptions o = PlainBmp();
    o.fail_write_after = fail_after;
    SaveResult r = SaveDocument(*s, path, o);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, kSaveFailedMessage);
    EXPECT_EQ(Bytes("doc.qzl"), old_bytes);
    EXPECT_EQ(FilesInFolder(), 1u);
  }
}

TEST_F(DocumentFileIo, SaveIntoAMissingFolderFails) {
  auto s = NewScreen();
  SaveResult r = SaveDocument(*s, Path("missing/doc.qzl"), PlainBmp());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, kSaveFailedMessage);
  EXPECT_FALSE(r.detail.empty());
}

TEST_F(DocumentFileIo, ReadOnlyTargetIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write read-only files";
  auto s = NewScreen();
  const std::string path = Path("doc.qzl");
  ASSERT_TRUE(SaveDocument(*s, path, PlainBmp()).ok);
  ::chmod(path.c_str(), 0444);
  const auto before = Bytes("doc.qzl");
  auto rich = RichScreen();
  SaveOptions o = PlainBmp();
  o.target_is_current_file = true;
  SaveResult r = SaveDocument(*rich, path, o);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, kReadOnlyMessage);
  o.target_is_current_file = false;
  EXPECT_EQ(SaveDocument(*rich, path, o).message, kSaveFailedMessage);
  EXPECT_EQ(Bytes("doc.qzl"), before);
  // A folder that cannot be written fails as well, leaving the file.
  ::chmod(path.c_str(), 0644);
  ::chmod(dir_.c_str(), 0555);
  EXPECT_FALSE(SaveDocument(*rich, path, PlainBmp()).ok);
  EXPECT_EQ(Bytes("doc.qzl"), before);
}

TEST_F(DocumentFileIo, ExtensionRules) {
  auto s = RichScreen();
  SaveOptions plain = PlainBmp();
  SaveOptions packed = PlainBmp();
  packed.compressed = true;
  ASSERT_TRUE(SaveDocument(*s, Path("a.txt"), plain).ok);
  ASSERT_TRUE(SaveDocument(*s, Path("b.txt"), packed).ok);
  ASSERT_TRUE(SaveDocument(*s, Path("c.QZLX"), plain).ok);
  auto back = NewScreen();
  EXPECT_EQ(LoadPlainDocument(*back, Path("a.txt")).error, LoadError::kWrongExtension);
  EXPECT_EQ(LoadDocument(*back, Path("a.txt")).error, LoadError::kWrongExtension);
  // The compressed form is recognised by its header before any name test; what counts is
  // the member's name, which is the name the document was saved under.
  EXPECT_EQ(LoadDocument(*back, Path("b.txt")).error, LoadError::kBadArchive);
  ASSERT_TRUE(SaveDocument(*s, Path("d.qzl"), packed).ok);
  fs::rename(Path("d.qzl"), Path("d.txt"));
  EXPECT_TRUE(LoadDocument(*back, Path("d.txt")).ok());
  EXPECT_TRUE(LoadPlainDocument(*back, Path("c.QZLX")).ok());
  EXPECT_EQ(LoadDocument(*back, Path("none.qzl")).error, LoadError::kUnreadable);
  EXPECT_EQ(LoadDocument(*back, dir_.string() + "/").error, LoadError::kUnreadable);
}

TEST_F(DocumentFileIo, AFailedLoadLeavesTheScreen) {
  auto s = RichScreen();
  ASSERT_TRUE(SaveDocument(*s, Path("good.qzl"), PlainBmp()).ok);
  auto bytes = Bytes("good.qzl");
  bytes.resize(bytes.size() - 100);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(Path("cut.qzl"), bytes, error));
  auto screen = RichScreen(9);
  screen->Modified = true;
  screen->Title = "mine";
  const auto before = Plain(*screen);
  EXPECT_EQ(LoadDocument(*screen, Path("cut.qzl")).error, LoadError::kCorrupt);
  EXPECT_EQ(Plain(*screen), before);
  EXPECT_TRUE(screen->Modified);
  EXPECT_EQ(screen->Title, "mine");
}

// A FIFO (or any file that is not a regular file) under a document's name is refused at once:
// opening it for reading must not wait for a writer. Should the load block all the same, a
// helper opens the write end after a while so that the test ends (and fails) instead of hanging.
TEST_F(DocumentFileIo, NonRegularFilesAreRefusedWithoutWaiting) {
  const std::string fifo = Path("pipe.qzl");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  using Clock = std::chrono::steady_clock;
  const struct {
    const char* name;
    std::function<LoadResult(Screen&)> load;
  } loaders[] = {
      {"LoadDocument", [&](Screen& s) { return LoadDocument(s, fifo); }},
      {"LoadPlainDocument", [&](Screen& s) { return LoadPlainDocument(s, fifo); }},
  };
  for (const auto& l : loaders) {
    SCOPED_TRACE(l.name);
    std::atomic<bool> done{false};
    std::thread rescuer([&] {
      const auto give_up = Clock::now() + std::chrono::seconds(10);
      const auto rescue_at = Clock::now() + std::chrono::milliseconds(1500);
      while (!done && Clock::now() < rescue_at)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      while (!done && Clock::now() < give_up) {
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
          ::close(fd);
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    });
    auto screen = NewScreen();
    const auto start = Clock::now();
    const LoadResult r = l.load(*screen);
    const auto took = Clock::now() - start;
    done = true;
    rescuer.join();
    EXPECT_EQ(r.error, LoadError::kUnreadable) << r.detail;
    EXPECT_LT(took, std::chrono::milliseconds(1000));
  }
}

}  // namespace
}  // namespace qzarn
