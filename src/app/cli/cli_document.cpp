#include "app/cli/cli_document.h"

#include <cstdio>

#include "document/figure_defaults.h"

namespace qzarn::cli {

std::unique_ptr<Screen> NewCliScreen() {
  ScreenTitleCounter titles;
  return Screen::Create(NewScreenDefaults{}, titles);
}

std::unique_ptr<Screen> LoadCliDocument(const char* command, const std::string& path,
                                        LoadResult* result) {
  std::unique_ptr<Screen> screen = NewCliScreen();
  // Records of older versions are shorter: their tail keeps the built-in default attributes.
  static const FigureDefaults defaults;
  LoadOptions options;
  options.make_record = [](std::int32_t type) { return defaults.Record(type); };
  LoadResult r = LoadDocument(*screen, path, options);
  if (!r.ok()) {
    std::fprintf(stderr, "%s: cannot load %s: %s\n", command, path.c_str(), r.detail.c_str());
    return nullptr;
  }
  screen->FilePath = path;
  if (result != nullptr) *result = std::move(r);
  return screen;
}

bool SaveCliDocument(const char* command, const Screen& screen, const std::string& path,
                     bool compressed) {
  // The settings a missing settings file gives (picture format and quality); the form is the
  // command line's choice.
  SaveOptions options = SaveOptionsFromSettings(UserSettings{});
  options.compressed = compressed;
  SaveResult r = SaveDocument(screen, path, options);
  if (!r.ok) {
    std::fprintf(stderr, "%s: cannot save %s: %s\n", command, path.c_str(), r.detail.c_str());
    return false;
  }
  if (!r.notice.empty()) std::fprintf(stderr, "%s: %s\n", command, r.notice.c_str());
  return true;
}

}  // namespace qzarn::cli
