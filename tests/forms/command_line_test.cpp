#include "forms/command_line.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace qzarn::forms {
namespace {

struct StartCase {
  const char* name;
  std::vector<std::string> arguments;
  bool web_mode;
  std::vector<std::string> files;
  std::optional<std::string> missing;
  std::optional<int> width, height;
};

TEST(CommandLineTest, EachArgumentIsOnePathJoinedOnlyAsAFallback) {
  const std::set<std::string> existing = {"/d/a.qzl", "/d/b.QZL",     "/d/my file.qzl",
                                          "/d/my",    "/d/notes.txt", "/d/two  spaces.qzl"};
  const auto exists = [&](const std::string& p) { return existing.count(p) > 0; };
  const std::vector<StartCase> cases = {
      {"none", {}, false, {}, {}, {}, {}},
      {"two documents", {"/d/a.qzl", "/d/b.QZL"}, false, {"/d/a.qzl", "/d/b.QZL"}, {}, {}, {}},
      {"a path with a space as one argument",
       {"/d/my file.qzl"},
       false,
       {"/d/my file.qzl"},
       {},
       {},
       {}},
      {"split path joined", {"/d/my", "file.qzl"}, false, {}, {}, {}, {}},
      {"split path of a missing first part joined",
       {"/d/two", "", "spaces.qzl", "/d/a.qzl"},
       false,
       {"/d/two  spaces.qzl", "/d/a.qzl"},
       {},
       {},
       {}},
      {"no join when nothing joined exists",
       {"/d/x.qzl", "/d/a.qzl"},
       false,
       {},
       "/d/x.qzl",
       {},
       {}},
      {"not a document ends processing", {"/d/notes.txt", "/d/a.qzl"}, false, {}, {}, {}, {}},
      {"missing after an opened one",
       {"/d/a.qzl", "/d/gone.qzl", "/d/b.QZL"},
       false,
       {"/d/a.qzl"},
       "/d/gone.qzl",
       {},
       {}},
      {"web mode alone", {"webwebweb"}, true, {}, {}, {}, {}},
      {"web mode sizes clamped",
       {"webwebweb", "/x=200", "/Y=2000", "/d/a.qzl"},
       true,
       {"/d/a.qzl"},
       {},
       400,
       1500},
      {"web mode one size: the other is 600", {"webwebweb", "/X=800"}, true, {}, {}, 800, 600},
      {"web mode size that is no number is ignored",
       {"webwebweb", "/X=12px"},
       true,
       {},
       {},
       {},
       {}},
      {"size arguments outside web mode are names", {"/X=800"}, false, {}, {}, {}, {}},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.name);
    const StartRequest r = ParseStartArguments(c.arguments, exists);
    EXPECT_EQ(r.web_mode, c.web_mode);
    EXPECT_EQ(r.files, c.files);
    EXPECT_EQ(r.missing, c.missing);
    EXPECT_EQ(r.client_width, c.width);
    EXPECT_EQ(r.client_height, c.height);
  }
}

TEST(CommandLineTest, HelpAndVersionAreAnsweredBeforeAnyWindow) {
  EXPECT_EQ(EarlyActionOf({"a.qzl"}), EarlyAction::kNone);
  EXPECT_EQ(EarlyActionOf({"--help"}), EarlyAction::kHelp);
  EXPECT_EQ(EarlyActionOf({"a.qzl", "--version", "--help"}), EarlyAction::kVersion);
  const std::string usage = UsageText("qzarn");
  EXPECT_NE(usage.find("qzarn [FILE.qzl ...]"), std::string::npos);
  EXPECT_NE(usage.find("--version"), std::string::npos);
  EXPECT_NE(VersionText().find('.'), std::string::npos);
}

TEST(CommandLineTest, DocumentNamesEndInQzlInAnyCase) {
  EXPECT_TRUE(IsDocumentName("/a/b.qzl"));
  EXPECT_TRUE(IsDocumentName("B.QzL"));
  EXPECT_FALSE(IsDocumentName("/a.qzl/b"));
  EXPECT_FALSE(IsDocumentName(".qzl"));
  EXPECT_FALSE(IsDocumentName("/a/b.qzlx"));
  EXPECT_FALSE(IsDocumentName("/a/b.txt"));
}

}  // namespace
}  // namespace qzarn::forms
