#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <sstream>

#include "settings/settings_file_io.h"
#include "settings/window_placement.h"

namespace qzarn {
namespace fs = std::filesystem;
using namespace std::string_literals;
namespace {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "qzarn-settings-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void write_file(const fs::path& p, const std::string& bytes) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

EnvironmentLookup environment(std::map<std::string, std::string> values) {
  return [values](std::string_view name) -> std::optional<std::string> {
    const auto it = values.find(std::string(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  SettingsLocations locations() const {
    return {dir.path() / "config" / "Q_ZARN" / "qzarn.ini", dir.path() / "bin" / "qzarn.ini",
            dir.path() / "docs" / "Q_ZARN", dir.path() / "bin"};
  }
  TempFolder dir;
};

TEST_F(SettingsStoreTest, NoFilesGiveDefaultsCreateFoldersAndOnlyTheUserFile) {
  SettingsStore store(locations());
  EXPECT_TRUE(store.load().empty());
  EXPECT_TRUE(fs::is_directory(dir.path() / "config" / "Q_ZARN"));
  EXPECT_TRUE(fs::is_directory(dir.path() / "docs" / "Q_ZARN"));
  EXPECT_EQ(store.user().RecentDir, locations().documents_folder.string());
  EXPECT_EQ(store.program().Math_Int_Limit, 0.01);

  EXPECT_TRUE(store.save().empty());
  EXPECT_TRUE(fs::exists(locations().user_file));
  EXPECT_FALSE(fs::exists(locations().program_file));  // unchanged: never created
  const IniFile written = IniFile::parse(read_file(locations().user_file));
  EXPECT_EQ(written.value("Option", "InitBackColor"), "$FFFFFF");
  EXPECT_EQ(written.value("Window", "WindowState"), "1");
}

TEST_F(SettingsStoreTest, GarbageAndUnknownLinesAreReadAroundAndKept) {
  const std::string original =
      "[Foreign]\r\n"
      "Keep=\x82\xA0\xFF\r\n"
      "[Option]\r\n"
      "this is not a setting\r\n"
      "\x81\x00\x9F\r\n"
      "InitZoom=250\r\n"
      "Unknown=1\r\n"
      "InitClip=nonsense\r\n"
      "[Last]\r\n"
      "Z=9\r\n"s;
  write_file(locations().user_file, original);
  SettingsStore store(locations());
  EXPECT_TRUE(store.load().empty());
  EXPECT_EQ(store.user().InitZoom, 250);
  EXPECT_EQ(store.user().InitClip, 0.1);
  store.user().InitZoom = 300;
  EXPECT_TRUE(store.save().empty());
  const std::string saved = read_file(locations().user_file);
  EXPECT_TRUE(
      saved.starts_with("[Foreign]\r\nKeep=\x82\xA0\xFF\r\n[Option]\r\nthis is not a setting\r\n"
                        "\x81\x00\x9F\r\nInitZoom=300\r\nUnknown=1\r\nInitClip=0.1\r\n"s))
      << saved;
  EXPECT_NE(saved.find("[Last]\r\nZ=9\r\n"), std::string::npos);
  EXPECT_EQ(IniFile::parse(saved).value("Foreign", "Keep"), "\x82\xA0\xFF");
}

TEST_F(SettingsStoreTest, SavingTwiceWithoutChangesLeavesTheFileAlone) {
  SettingsStore store(locations());
  store.load();
  store.save();
  const auto first = fs::last_write_time(locations().user_file);
  fs::last_write_time(locations().user_file, first - std::chrono::hours(1));
  store.save();
  EXPECT_EQ(fs::last_write_time(locations().user_file), first - std::chrono::hours(1));
}

TEST_F(SettingsStoreTest, AnUnreadableFileIsReportedAndNeverOverwritten) {
  fs::create_directories(locations().user_file);  // a folder where the file should be
  SettingsStore store(locations());
  const auto problems = store.load();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].issue, SettingsIssue::FileUnreadable);
  EXPECT_NE(settings_problem_message(problems[0]).find("qzarn.ini"), std::string::npos);
  EXPECT_EQ(store.user().InitZoom, 100);
  store.user().InitZoom = 200;
  EXPECT_TRUE(store.save().empty());
  EXPECT_TRUE(fs::is_directory(locations().user_file));
}

TEST_F(SettingsStoreTest, AFolderThatCannotBeCreatedIsReportedOnLoadAndSave) {
  write_file(dir.path() / "config", "a file, not a folder");
  SettingsStore store(locations());
  const auto loaded = store.load();
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].issue, SettingsIssue::FolderNotCreated);
  const auto saved = store.save();
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].issue, SettingsIssue::FileNotWritten);
  EXPECT_FALSE(saved[0].detail.empty());
}

TEST_F(SettingsStoreTest, ReadOnlyFolderKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  write_file(locations().user_file, "[Option]\nInitZoom=150\n");
  SettingsStore store(locations());
  EXPECT_TRUE(store.load().empty());
  fs::permissions(locations().user_file.parent_path(),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  store.user().InitZoom = 400;
  const auto problems = store.save();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].issue, SettingsIssue::FileNotWritten);
  EXPECT_EQ(read_file(locations().user_file), "[Option]\nInitZoom=150\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(locations().user_file.parent_path()),
                          fs::directory_iterator()),
            1);
}

// A settings file the user made read-only (also reached through a link) is left as it is; the
// first save that would change it says so, later ones stay quiet. The mode decides, so this
// holds for the superuser as well.
TEST_F(SettingsStoreTest, ReadOnlyFileIsLeftAsItIsAndReportedOnce) {
  for (bool through_link : {false, true}) {
    SCOPED_TRACE(through_link ? "link" : "file");
    const fs::path real = dir.path() / (through_link ? "elsewhere.ini" : "config/Q_ZARN/qzarn.ini");
    fs::remove(locations().user_file);
    write_file(real, "[Option]\nInitZoom=150\n");
    if (through_link) fs::create_symlink(real, locations().user_file);
    fs::permissions(real, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    SettingsStore store(locations());
    EXPECT_TRUE(store.load().empty());
    for (int zoom : {400, 500}) {
      store.user().InitZoom = zoom;
      const auto problems = store.save();
      if (zoom == 400) {
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].issue, SettingsIssue::FileNotWritten);
      } else {
        EXPECT_TRUE(problems.empty());
      }
    }
    EXPECT_EQ(read_file(real), "[Option]\nInitZoom=150\n");
    EXPECT_EQ(fs::is_symlink(locations().user_file), through_link);
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  }
}

TEST_F(SettingsStoreTest, ProgramFileIsWrittenOnlyWhenItsKeysChangeAndKeepsFigureSections) {
  const std::string original = "[Point]\nRadius=7\n[Math]\nMath_Int_Limit=0.01\n";
  write_file(locations().program_file, original);
  SettingsStore store(locations());
  store.load();
  EXPECT_EQ(store.program_file().value("Point", "Radius"), "7");
  store.save();
  EXPECT_EQ(read_file(locations().program_file), original);
  store.program().Math_Int_Limit = 0.001;
  store.program().PointFindValue = 4;
  EXPECT_TRUE(store.save().empty());
  EXPECT_EQ(read_file(locations().program_file),
            "[Point]\nRadius=7\n[Math]\nMath_Int_Limit=0.001\n[Find]\nLineFindValue=1\n"
            "PointFindValue=4\nPointLocusFindValue=1\nCircleFindValue=1\n"
            "CircleLocusFindValue=1\n");
}

TEST_F(SettingsStoreTest, LossyTextIsWrittenAndReported) {
  SettingsStore store(locations());
  store.load();
  store.user().InitFont = "\U0001F600";
  const auto problems = store.save();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].issue, SettingsIssue::TextNotExact);
  EXPECT_EQ(IniFile::parse(read_file(locations().user_file)).value("Option", "InitFont"), "?");
}

TEST_F(SettingsStoreTest, ARecentFolderThatIsGoneBecomesTheProgramFolder) {
  write_file(locations().user_file, "[RecentFile]\nRecentDir=" + (dir.path() / "gone").string());
  SettingsStore store(locations());
  store.load();
  EXPECT_EQ(store.user().RecentDir, locations().program_folder.string());
}

TEST(SettingsLocations, EnvironmentChoosesTheFiles) {
  TempFolder dir;
  const fs::path exe = dir.path() / "prefix" / "bin" / "qzarn";
  {
    const auto l = resolve_settings_locations(environment({{"HOME", "/home/u"},
                                                           {"QZARN_USER_INI", "/x/u.ini"},
                                                           {"QZARN_PROGRAM_INI", "/x/p.ini"},
                                                           {"QZARN_DOCUMENTS_DIR", "/x/docs"}}),
                                              exe);
    EXPECT_EQ(l.user_file, "/x/u.ini");
    EXPECT_EQ(l.program_file, "/x/p.ini");
    EXPECT_EQ(l.documents_folder, "/x/docs");
    EXPECT_EQ(l.program_folder, exe.parent_path());
  }
  {
    const auto l = resolve_settings_locations(
        environment({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", ""}}), exe);
    EXPECT_EQ(l.user_file, "/home/u/.config/Q_ZARN/qzarn.ini");
    EXPECT_EQ(l.documents_folder, "/home/u/Documents/Q_ZARN");
    EXPECT_EQ(l.program_file, exe.parent_path() / "qzarn.ini");
  }
  // An installed program finds its file in the data folder, a file beside it wins.
  write_file(dir.path() / "prefix" / "share" / "qzarn" / "qzarn.ini", "");
  const auto env = environment({{"HOME", "/home/u"}});
  EXPECT_EQ(resolve_settings_locations(env, exe).program_file,
            dir.path() / "prefix" / "share" / "qzarn" / "qzarn.ini");
  write_file(exe.parent_path() / "qzarn.ini", "");
  EXPECT_EQ(resolve_settings_locations(env, exe).program_file, exe.parent_path() / "qzarn.ini");
}

TEST(SettingsLocations, DocumentsFolderFollowsUserDirs) {
  TempFolder dir;
  write_file(dir.path() / "cfg" / "user-dirs.dirs",
             "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\nXDG_DOCUMENTS_DIR=\"$HOME/文書\"\n");
  const auto l = resolve_settings_locations(
      environment({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", (dir.path() / "cfg").string()}}),
      "/usr/bin/qzarn");
  EXPECT_EQ(l.user_file, dir.path() / "cfg" / "Q_ZARN" / "qzarn.ini");
  EXPECT_EQ(l.documents_folder, "/home/u/文書/Q_ZARN");
  EXPECT_EQ(
      resolve_settings_locations(
          environment({{"HOME", "/home/u"}, {"XDG_DOCUMENTS_DIR", "/data/docs"}}), "/usr/bin/qzarn")
          .documents_folder,
      "/data/docs/Q_ZARN");
}

TEST(WindowPlacement, StoredBoundsAreMadeUsable) {
  struct Case {
    int left, top, width, height;
    WindowBounds expected;
  };
  const Case cases[] = {
      {0, 0, -100, -100, {0, 0, 1920, 1080}},  // the default: the whole screen
      {10, 20, 800, 600, {10, 20, 800, 600}},
      {10, 20, 100, 5000, {10, 20, 200, 1080}},  // sizes clamped
      {-792, 0, 800, 600, {-792, 0, 800, 600}},  // 8 pixels remain
      {-793, 0, 800, 600, {0, 0, 800, 600}},     // 7 pixels do not
      {-800, -600, 800, 600, {0, 0, 800, 600}},  // nothing left on screen
      {1915, 1075, 800, 600, {0, 0, 800, 600}},  // beyond the screen
      {-100, 40, -50, 600, {-100, 40, 200, 600}},
      // Edges at the ends of the 32-bit range: no sum wraps.
      {2147483647, 2147483647, 800, 600, {0, 0, 800, 600}},
      {-2147483647 - 1, -2147483647 - 1, 800, 600, {0, 0, 800, 600}},
      {2147483647, 10, 2147483647, 2147483647, {0, 10, 1920, 1080}},
  };
  for (const Case& c : cases) {
    UserSettings s;
    s.Left = c.left;
    s.Top = c.top;
    s.Width = c.width;
    s.Height = c.height;
    const WindowBounds b = place_main_window(s, 1920, 1080);
    EXPECT_EQ(b.left, c.expected.left) << c.left;
    EXPECT_EQ(b.top, c.expected.top) << c.top;
    EXPECT_EQ(b.width, c.expected.width) << c.width;
    EXPECT_EQ(b.height, c.expected.height) << c.height;
  }
}

}  // namespace
}  // namespace qzarn
