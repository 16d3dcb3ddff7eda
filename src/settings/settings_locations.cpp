#include "settings/settings_locations.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace qzarn {
namespace fs = std::filesystem;
namespace {

constexpr const char* kFolderName = "Q_ZARN";
constexpr const char* kFileName = "qzarn.ini";

std::optional<std::string> non_empty(const EnvironmentLookup& environment, std::string_view name) {
  auto v = environment(name);
  if (v && v->empty()) return std::nullopt;
  return v;
}

fs::path home_folder(const EnvironmentLookup& environment) {
  return fs::path(non_empty(environment, "HOME").value_or("/"));
}

fs::path config_home(const EnvironmentLookup& environment) {
  if (auto v = non_empty(environment, "XDG_CONFIG_HOME")) return fs::path(*v);
  return home_folder(environment) / ".config";
}

// The XDG_DOCUMENTS_DIR line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents".
std::optional<fs::path> documents_from_user_dirs(const EnvironmentLookup& environment) {
  std::ifstream in(config_home(environment) / "user-dirs.dirs");
  constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
  std::string line;
  while (std::getline(in, line)) {
    if (!line.starts_with(kKey)) continue;
    std::string value = line.substr(kKey.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.starts_with("$HOME/")) return home_folder(environment) / value.substr(6);
    if (value.starts_with("/")) return fs::path(value);
    return std::nullopt;
  }
  return std::nullopt;
}

fs::path documents_folder(const EnvironmentLookup& environment) {
  if (auto v = non_empty(environment, "QZARN_DOCUMENTS_DIR")) return fs::path(*v);
  fs::path base;
  if (auto v = non_empty(environment, "XDG_DOCUMENTS_DIR"))
    base = *v;
  else if (auto from_file = documents_from_user_dirs(environment))
    base = *from_file;
  else
    base = home_folder(environment) / "Documents";
  return (base / kFolderName).lexically_normal();
}

fs::path program_file(const fs::path& program_folder) {
  const fs::path beside = program_folder / kFileName;
  std::error_code ec;
  if (fs::exists(beside, ec)) return beside;
  const fs::path installed = program_folder.parent_path() / "share" / "qzarn" / kFileName;
  if (fs::exists(installed, ec)) return installed;
  return beside;
}

}  // namespace

std::optional<std::string> process_environment(std::string_view name) {
  const char* v = std::getenv(std::string(name).c_str());
  if (v == nullptr) return std::nullopt;
  return std::string(v);
}

fs::path current_executable() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : p;
}

SettingsLocations resolve_settings_locations(const EnvironmentLookup& environment,
                                             const fs::path& executable) {
  SettingsLocations locations;
  locations.program_folder = executable.parent_path();
  if (locations.program_folder.empty()) {
    std::error_code ec;
    locations.program_folder = fs::current_path(ec);
  }

  if (auto v = non_empty(environment, "QZARN_USER_INI"))
    locations.user_file = *v;
  else
    locations.user_file = config_home(environment) / kFolderName / kFileName;

  if (auto v = non_empty(environment, "QZARN_PROGRAM_INI"))
    locations.program_file = *v;
  else
    locations.program_file = program_file(locations.program_folder);

  locations.documents_folder = documents_folder(environment);
  return locations;
}

}  // namespace qzarn
