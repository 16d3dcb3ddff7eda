#include <cstdio>

#include "app/cli/commands.h"

namespace qzarn::cli {

int RunEval(int, char**) {
  std::fprintf(stderr, "eval: expression engine not built yet\n");
  return 2;
}

}  // namespace qzarn::cli
