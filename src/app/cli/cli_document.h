#pragma once
// What the document subcommands (new, save, dump) share: loading and saving
// with the program's default settings, and the one recompute pass they run.

#include <memory>
#include <string>

#include "document/document_file.h"
#include "document/screen.h"

namespace qzarn::cli {

// A new empty screen with the defaults a missing settings file gives.
std::unique_ptr<Screen> NewCliScreen();

// Loads a document of either form; on failure prints "COMMAND: cannot load PATH: reason" to
// standard error and returns nothing.
std::unique_ptr<Screen> LoadCliDocument(const char* command, const std::string& path,
                                        LoadResult* result = nullptr);

// Saves with the default settings, plain or compressed; prints the reason on failure.
bool SaveCliDocument(const char* command, const Screen& screen, const std::string& path,
                     bool compressed);

// The one recompute pass the document subcommands run after loading: intermediate equations,
// then every figure in dependency order, curves resampled, CycleReported set. This is the
// single place where the command line calls the figure engine.
void RecomputeForCli(Screen& screen);

}  // namespace qzarn::cli
