#pragma once
// Where the settings files and the documents folder are.
//
// - User settings file: $QZARN_USER_INI when set, else
//   $XDG_CONFIG_HOME/Q_ZARN/qzarn.ini (XDG_CONFIG_HOME defaults to ~/.config).
// - Program settings file: $QZARN_PROGRAM_INI when set, else qzarn.ini beside the
//   executable, else <prefix>/share/qzarn/qzarn.ini of an installed program (the executable
//   in <prefix>/bin); when neither exists, beside the executable.
// - Documents folder: $QZARN_DOCUMENTS_DIR when set, else the user's documents folder
//   (XDG_DOCUMENTS_DIR from the environment or from user-dirs.dirs, else ~/Documents)
//   followed by Q_ZARN.
// Environment variables that are set but empty count as unset.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qzarn {

struct SettingsLocations {
  std::filesystem::path user_file;
  std::filesystem::path program_file;
  std::filesystem::path documents_folder;
  std::filesystem::path program_folder;  // the executable's folder
};

// Looks up one environment variable; tests pass their own.
using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;

std::optional<std::string> process_environment(std::string_view name);

// The running executable (/proc/self/exe); empty when it cannot be found.
std::filesystem::path current_executable();

SettingsLocations resolve_settings_locations(const EnvironmentLookup& environment,
                                             const std::filesystem::path& executable);

}  // namespace qzarn
