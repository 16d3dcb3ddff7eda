// qzarn-cli publish LESSON.qzl [MORE.qzl ...] -o LESSON.html [--title T]: writes the lesson
// as one self-contained web page, one screen per document, each stored expanded (a page has
// no LZH decoder).
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli_document.h"
#include "app/cli/commands.h"
#include "forms/lesson_page.h"

#ifdef QZARN_WITH_QT
#include "qt/lesson_page_parts.h"
#endif

namespace qzarn::cli {

namespace {

int Usage() {
  std::fputs("usage: qzarn-cli publish LESSON.qzl [MORE.qzl ...] -o LESSON.html [--title T]\n",
             stderr);
  return 2;
}

}  // namespace

int RunPublish(int argc, char** argv) {
  std::vector<std::string> inputs;
  std::string output, title;
  bool titled = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-o" || arg == "--output") {
      if (i + 1 >= argc || !output.empty()) return Usage();
      output = argv[++i];
    } else if (arg == "--title") {
      if (i + 1 >= argc || titled) return Usage();
      title = argv[++i];
      titled = true;
    } else if (arg.starts_with("-")) {
      return Usage();
    } else {
      inputs.emplace_back(arg);
    }
  }
  if (inputs.empty() || output.empty()) return Usage();

#ifndef QZARN_WITH_QT
  std::fprintf(stderr, "publish: this build has no web page module (built without Qt)\n");
  return 1;
#else
  std::string error;
  const std::optional<LessonPageParts> parts = LoadLessonPageParts(error);
  if (!parts) {
    std::fprintf(stderr, "publish: %s\n", error.c_str());
    return 1;
  }
  std::vector<LessonPageScreen> screens;
  for (const std::string& input : inputs) {
    std::unique_ptr<Screen> screen = LoadCliDocument("publish", input);
    if (!screen) return 1;
    LessonPageScreen page_screen;
    page_screen.title = LessonTitleFromPath(input);
    if (!WritePlainDocument(*screen, page_screen.title + ".qzl", SaveOptions{}, page_screen.bytes,
                            error)) {
      std::fprintf(stderr, "publish: cannot store %s in the page: %s\n", input.c_str(),
                   error.c_str());
      return 1;
    }
    screens.push_back(std::move(page_screen));
  }
  if (!titled) title = screens.front().title;
  const std::string page = BuildLessonPage(*parts, title, screens);
  // Written beside the target and renamed over it, so a failed write keeps the old page.
  const std::string temporary = output + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(page.data(), static_cast<std::streamsize>(page.size()));
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      std::fprintf(stderr, "publish: cannot write %s\n", output.c_str());
      return 1;
    }
  }
  if (std::rename(temporary.c_str(), output.c_str()) != 0) {
    std::remove(temporary.c_str());
    std::fprintf(stderr, "publish: cannot write %s\n", output.c_str());
    return 1;
  }
  return 0;
#endif
}

}  // namespace qzarn::cli
