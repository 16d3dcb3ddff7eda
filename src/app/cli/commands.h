#pragma once
// Entry points of the qzarn-cli subcommands; argv[0] is the subcommand name.
// Each returns the process exit code (0 success, 1 failure, 2 bad arguments).

namespace qzarn::cli {

int RunEval(int argc, char** argv);
int RunNew(int argc, char** argv);
int RunSave(int argc, char** argv);
int RunDump(int argc, char** argv);
int RunRender(int argc, char** argv);
int RunPublish(int argc, char** argv);

}  // namespace qzarn::cli
