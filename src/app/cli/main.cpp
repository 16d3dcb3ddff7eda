// qzarn-cli: the headless tools (evaluate expressions, make, convert, dump and
// render documents). Each subcommand lives in its own file.
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/cli/commands.h"

namespace {

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);  // argv[0] is the subcommand
  const char* usage;
};

constexpr Command kCommands[] = {
    {"eval", qzarn::cli::RunEval,
     "eval [--var NAME=VALUE]... [--int-gap G] TEXT...   evaluate expressions"},
    {"new", qzarn::cli::RunNew, "new OUT.qzl [--compressed]   write a new empty screen"},
    {"save", qzarn::cli::RunSave,
     "save IN OUT [--compressed|--plain]   load, recompute and save a document"},
    {"dump", qzarn::cli::RunDump, "dump FILE   print a document as JSON"},
    {"render", qzarn::cli::RunRender,
     "render FILE -o OUT.{png,bmp,jpg,svg,pdf} [--size WxH | --scale K] [--no-antialias]   draw "
     "the screen picture"},
    {"publish", qzarn::cli::RunPublish,
     "publish LESSON.qzl [MORE.qzl ...] -o LESSON.html [--title T]   write the lesson as one "
     "self-contained web page"},
};

#ifndef QZARN_VERSION
#define QZARN_VERSION "0"
#endif

// Asked for (--help) the usage goes to standard output and the answer is
// success; after a wrong command line it goes to standard error.
int Usage(std::FILE* out = stderr) {
  std::fprintf(out, "usage: qzarn-cli COMMAND [ARGS]\n");
  for (const Command& c : kCommands)
    std::fprintf(out, "  qzarn-cli %s\n", c.usage);
  std::fprintf(
      out, "  qzarn-cli --version   show the version\n  qzarn-cli --help      show this help\n");
  return out == stderr ? 2 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string_view name = argv[1];
  if (name == "--version" || name == "-v") {
    std::printf("qzarn-cli (Sorvane) %s\n", QZARN_VERSION);
    return 0;
  }
  if (name == "--help" || name == "-h") return Usage(stdout);
  for (const Command& c : kCommands)
    if (name == c.name) return c.run(argc - 1, argv + 1);
  return Usage();
}
