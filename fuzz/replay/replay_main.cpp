// Runs a fuzz target's entry point over stored inputs without libFuzzer: every file named on
// the command line, and every file in every folder named there. The ordinary test run (and
// its sanitizer build) so keeps each corpus and each reproducer of a past fault checked.
// A target signals a fault by aborting or by a sanitizer report, as under the fuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool ReadAll(const fs::path& path, std::vector<std::uint8_t>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path named(argv[i]);
    std::error_code ec;
    if (fs::is_directory(named, ec)) {
      for (const fs::directory_entry& entry : fs::directory_iterator(named, ec))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      if (ec) {
        std::fprintf(stderr, "cannot list %s: %s\n", argv[i], ec.message().c_str());
        return 1;
      }
    } else if (fs::is_regular_file(named, ec)) {
      inputs.push_back(named);
    } else {
      // A folder that went missing must not pass as an empty run.
      std::fprintf(stderr, "no such input: %s\n", argv[i]);
      return 1;
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "usage: %s FILE-OR-FOLDER... (no inputs found)\n", argv[0]);
    return 1;
  }
  std::sort(inputs.begin(), inputs.end());
  std::vector<std::uint8_t> bytes;
  for (const fs::path& path : inputs) {
    if (!ReadAll(path, bytes)) {
      std::fprintf(stderr, "cannot read %s\n", path.c_str());
      return 1;
    }
    // Printed first, so that a crash names the input that caused it.
    std::fprintf(stderr, "%s\n", path.c_str());
    // A fresh copy of exactly the input's size, so that reads past its end are caught.
    std::vector<std::uint8_t> exact(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
  }
  std::printf("%zu inputs ran\n", inputs.size());
  return 0;
}
