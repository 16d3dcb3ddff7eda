#pragma once
// Where the lesson sheets of the gallery are, and which handbook links name
// one of them. The handbook links a sheet by its bare file name
// ("lissajous.qzl"); the program opens it from the gallery folder:
//   $QZARN_GALLERY_DIR when set (and not empty), else gallery/ beside the
//   executable (where the build puts a copy, so a program run from its build
//   folder finds them too), else <prefix>/share/qzarn/gallery of an installed
//   program (the executable in <prefix>/bin). No path of the machine that
//   built the program is compiled in. When none exists the installed place is
//   named, so that opening reports the missing file.

#include <filesystem>
#include <optional>
#include <string_view>

#include "settings/settings_locations.h"

namespace qzarn::forms {

std::filesystem::path GalleryFolder(const EnvironmentLookup& environment,
                                    const std::filesystem::path& executable);

// The document a handbook link names inside the folder: only a bare file name
// of letters, digits, "_" and "-" ending in ".qzl" (any case) is one; a path,
// "..", an empty or other name gives nothing, so a page can never reach a file
// outside the gallery.
std::optional<std::filesystem::path> GalleryDocument(const std::filesystem::path& folder,
                                                     std::string_view link);

}  // namespace qzarn::forms
