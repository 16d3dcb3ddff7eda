// qzarn-cli new OUT.qzl [--compressed]: writes a new empty screen.
#include <cstdio>
#include <string>
#include <string_view>

#include "app/cli/cli_document.h"
#include "app/cli/commands.h"

namespace qzarn::cli {

int RunNew(int argc, char** argv) {
  std::string out;
  bool compressed = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--compressed") {
      compressed = true;
    } else if (arg.starts_with("--") || !out.empty()) {
      std::fprintf(stderr, "usage: qzarn-cli new OUT.qzl [--compressed]\n");
      return 2;
    } else {
      out = arg;
    }
  }
  if (out.empty()) {
    std::fprintf(stderr, "usage: qzarn-cli new OUT.qzl [--compressed]\n");
    return 2;
  }
  return SaveCliDocument("new", *NewCliScreen(), out, compressed) ? 0 : 1;
}

}  // namespace qzarn::cli
