#pragma once
// The two settings files of a run: read once at start, used from memory, written at exit
// (and when the shell asks). Nothing here shows anything: problems the user must hear about
// come back as SettingsProblem values for the shell to show.
//
// Failure rules:
// - A missing file, or lines and values that cannot be read, give the defaults silently.
// - A file that exists but cannot be read gives the defaults, a problem, and the file is
//   never written during this run (it may hold settings that are only unreadable now).
// - The user settings file is written when its bytes change. The program settings file
//   usually lies in a read-only installation folder and holds hand-edited figure defaults,
//   so it is written only when one of its own keys was changed during the run.
// - Writing goes through a temporary file; on failure the old file stays as it was.
// - A file the user made read-only is never replaced; that it could not be saved is reported
//   once per run.

#include <filesystem>
#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "settings/settings_locations.h"

namespace qzarn {

enum class SettingsIssue {
  FileUnreadable,    // defaults used, the file is left alone
  FolderNotCreated,  // a settings or documents folder could not be created
  FileNotWritten,    // the old file is unchanged
  TextNotExact,      // written, but some characters became '?'
};

struct SettingsProblem {
  SettingsIssue issue;
  std::filesystem::path path;
  std::string detail;  // the system's reason, when there is one
};

// The text of the message box that reports a problem.
std::string settings_problem_message(const SettingsProblem& problem);

class SettingsStore {
 public:
  explicit SettingsStore(SettingsLocations locations);

  // Reads both files and creates the settings and documents folders when missing.
  std::vector<SettingsProblem> load();

  // Writes what changed (see above).
  std::vector<SettingsProblem> save();

  UserSettings& user() { return user_; }
  const UserSettings& user() const { return user_; }
  ProgramSettings& program() { return program_; }
  const ProgramSettings& program() const { return program_; }

  // The program settings file as read, for the sections of figure default attributes.
  const IniFile& program_file() const { return program_ini_; }
  const SettingsLocations& locations() const { return locations_; }

 private:
  SettingsLocations locations_;
  UserSettings user_;
  ProgramSettings program_;
  ProgramSettings program_as_read_;
  IniFile user_ini_;
  IniFile program_ini_;
  std::string user_bytes_;  // the user file as it is on disk
  bool user_file_writable_ = true;
  bool program_file_writable_ = true;
  bool user_read_only_told_ = false;
  bool program_read_only_told_ = false;

  static void report_not_written(const std::filesystem::path& path, const std::string& error,
                                 bool& read_only_told, std::vector<SettingsProblem>& problems);
};

}  // namespace qzarn
