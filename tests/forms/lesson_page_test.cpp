#include "forms/lesson_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qzarn {
namespace {

TEST(LessonPage, Base64PadsEveryRemainder) {
  const struct {
    std::string in, out;
  } cases[] = {{"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
               {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"\xff\xfe\xfd", "//79"}};
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> bytes(c.in.begin(), c.in.end());
    EXPECT_EQ(Base64(bytes), c.out) << c.in;
  }
}

TEST(LessonPage, TitleFromPath) {
  EXPECT_EQ(LessonTitleFromPath("/home/t/授業/circles.qzl"), "circles");
  EXPECT_EQ(LessonTitleFromPath("PARABOLA.QZL"), "PARABOLA");
  EXPECT_EQ(LessonTitleFromPath("notes.txt"), "notes.txt");
  EXPECT_EQ(LessonTitleFromPath(".qzl"), ".qzl");
}

TEST(LessonPage, InsertedTextCannotEndItsElementOrAddMarkup) {
  LessonPageParts parts;
  parts.html =
      "<title>@TITLE@</title><script>@LESSON@</script><script>@MODULE@</script>@WASM@"
      "<style>@STYLE@</style><script>@DRAW@</script><script>@PAGE@</script>@UNKNOWN@";
  parts.module_js = "var s = \"</SCRIPT><b>\"; // @PAGE@";
  parts.module_wasm = std::string("\0asm", 4);
  parts.css = "p{}";
  parts.draw_js = "draw()";
  parts.page_js = "page()";
  const std::vector<LessonPageScreen> screens = {{"a</script>\"&\n", {'Q', 0}}, {"二", {}}};
  const std::string page = BuildLessonPage(parts, "<円> & \"x\"", screens);
  EXPECT_EQ(page,
            "<title>&lt;円&gt; &amp; &quot;x&quot;</title>"
            "<script>{\"screens\":[{\"title\":\"a\\u003c/script\\u003e\\\"\\u0026\\u000a\","
            "\"data\":\"UQA=\"},{\"title\":\"二\",\"data\":\"\"}]}</script>"
            "<script>var s = \"<\\/SCRIPT><b>\"; // @PAGE@</script>AGFzbQ=="
            "<style>p{}</style><script>draw()</script><script>page()</script>@UNKNOWN@");
}

}  // namespace
}  // namespace qzarn
