#include "forms/gallery_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <string>

namespace qzarn::forms {
namespace {

namespace fs = std::filesystem;

class GalleryFolderTest : public ::testing::Test {
 protected:
  GalleryFolderTest()
      : root_(fs::temp_directory_path() / ("qzarn_gallery_folder_" + std::to_string(::getpid()))) {
    fs::create_directories(root_ / "prefix" / "bin");
  }
  ~GalleryFolderTest() override { fs::remove_all(root_); }

  fs::path Find(const std::map<std::string, std::string>& env = {}) const {
    const EnvironmentLookup lookup = [env](std::string_view name) -> std::optional<std::string> {
      const auto it = env.find(std::string(name));
      if (it == env.end()) return std::nullopt;
      return it->second;
    };
    return GalleryFolder(lookup, root_ / "prefix" / "bin" / "qzarn");
  }

  fs::path root_;
};

// Each place is taken only when the ones before it are missing.
TEST_F(GalleryFolderTest, TakesTheFirstPlaceThatExists) {
  const fs::path installed = root_ / "prefix" / "share" / "qzarn" / "gallery";
  EXPECT_EQ(Find(), installed);  // nothing exists: the installed place is named
  fs::create_directories(installed);
  EXPECT_EQ(Find(), installed);
  fs::create_directories(root_ / "prefix" / "bin" / "gallery");
  EXPECT_EQ(Find(), root_ / "prefix" / "bin" / "gallery");
  EXPECT_EQ(Find({{"QZARN_GALLERY_DIR", "/elsewhere"}}), fs::path("/elsewhere"));
  EXPECT_EQ(Find({{"QZARN_GALLERY_DIR", ""}}), root_ / "prefix" / "bin" / "gallery");
}

TEST(GalleryDocument, OnlyABareSheetNameInsideTheFolderIsADocument) {
  const fs::path folder = "/g";
  const struct {
    std::string_view link;
    bool document;
  } cases[] = {
      {"lissajous.qzl", true},
      {"unit_circle-2.QZL", true},
      {"../secret.qzl", false},
      {"sub/lissajous.qzl", false},
      {"/etc/x.qzl", false},
      {".qzl", false},
      {"lissajous.png", false},
      {"lissajous.qzl.png", false},
      {"", false},
      {"a b.qzl", false},
      {"..qzl", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.link));
    const std::optional<fs::path> got = GalleryDocument(folder, c.link);
    EXPECT_EQ(got.has_value(), c.document);
    if (got) {
      EXPECT_EQ(*got, folder / std::string(c.link));
    }
  }
}

}  // namespace
}  // namespace qzarn::forms
