// qzarn-cli save IN OUT [--compressed|--plain]: loads a document of either form,
// recomputes it once and writes it again (plain unless asked otherwise).
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli_document.h"
#include "app/cli/commands.h"

namespace qzarn::cli {

int RunSave(int argc, char** argv) {
  std::vector<std::string> paths;
  int compressed_flags = 0, plain_flags = 0;
  bool bad = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--compressed")
      ++compressed_flags;
    else if (arg == "--plain")
      ++plain_flags;
    else if (arg.starts_with("--"))
      bad = true;
    else
      paths.emplace_back(arg);
  }
  if (bad || paths.size() != 2 || (compressed_flags > 0 && plain_flags > 0)) {
    std::fprintf(stderr, "usage: qzarn-cli save IN OUT [--compressed|--plain]\n");
    return 2;
  }
  std::unique_ptr<Screen> screen = LoadCliDocument("save", paths[0]);
  if (!screen) return 1;
  RecomputeForCli(*screen);
  return SaveCliDocument("save", *screen, paths[1], compressed_flags > 0) ? 0 : 1;
}

}  // namespace qzarn::cli
