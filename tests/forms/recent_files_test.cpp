#include "forms/recent_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qzarn::forms {
namespace {

TEST(RecentFilesTest, ShortenPathKeepsFirstAndLastFolder) {
  struct Case {
    const char* path;
    const char* home;
    const char* shown;
  };
  const Case cases[] = {
      {"/a.qzl", "", "/a.qzl"},
      {"/home/ann/a.qzl", "", "/home/ann/a.qzl"},
      {"/home/ann/math/a.qzl", "", "/home/.../math/a.qzl"},
      {"/home/ann/math/grade 2/a b.qzl", "", "/home/.../grade 2/a b.qzl"},
      {"/home/ann/math/a.qzl", "/home/ann", "~/math/a.qzl"},
      {"/home/ann/math/2024/term/a.qzl", "/home/ann/", "~/math/.../term/a.qzl"},
      {"/home/annex/x/y/a.qzl", "/home/ann", "/home/.../y/a.qzl"},
      {"rel/x/y/z/a.qzl", "", "rel/x/y/z/a.qzl"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ShortenPath(c.path, c.home), c.shown) << c.path;
}

TEST(RecentFilesTest, AddPutsOnTopDropsDuplicatesInAnyCaseKeepsNine) {
  UserSettings settings;
  RecentFiles recent(settings);
  for (int i = 1; i <= 10; ++i)
    recent.Add("/d/f" + std::to_string(i) + ".qzl");
  ASSERT_EQ(recent.paths().size(), 9u);
  EXPECT_EQ(recent.paths().front(), "/d/f10.qzl");
  EXPECT_EQ(recent.paths().back(), "/d/f2.qzl");
  recent.Add("/D/F5.QZL");
  EXPECT_EQ(recent.paths().size(), 9u);
  EXPECT_EQ(recent.paths().front(), "/D/F5.QZL");
  EXPECT_EQ(std::count(recent.paths().begin(), recent.paths().end(), "/d/f5.qzl"), 0);
  // The list is the settings' own: it is what the file gets.
  EXPECT_EQ(settings.RecentFiles.front(), "/D/F5.QZL");
}

TEST(RecentFilesTest, MenuShowsFileMaxEntriesWhileFileUseIsOn) {
  UserSettings settings;
  RecentFiles recent(settings);
  recent.Add("/d/b&c.qzl");
  recent.Add("/home/ann/x/y/a.qzl");
  recent.Add("/d/z.qzl");
  settings.FileMax = 2;
  const std::vector<RecentEntry> entries = recent.MenuEntries("/home/ann");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].caption, "&1 /d/z.qzl");
  EXPECT_EQ(entries[1].caption, "&2 ~/x/y/a.qzl");
  EXPECT_EQ(entries[1].path, "/home/ann/x/y/a.qzl");
  settings.FileMax = 9;
  EXPECT_EQ(recent.MenuEntries()[2].caption, "&3 /d/b&&c.qzl");
  settings.FileMax = 0;
  EXPECT_TRUE(recent.MenuEntries().empty());
  EXPECT_EQ(settings.RecentFiles.size(), 3u);  // kept in the file
  settings.FileMax = 5;
  settings.FileUse = false;
  EXPECT_TRUE(recent.MenuEntries().empty());
}

}  // namespace
}  // namespace qzarn::forms
