#pragma once
// The recent-file list of the File menu: at most nine paths, most recent
// first, kept in the user settings (keys File1..File9) so that what the menu
// shows is what the file holds. FileUse and FileMax decide how many entries
// the menu shows; the list itself keeps all nine.

#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_keys.h"

namespace qzarn::forms {

// A path for a menu caption: a path with at most two folders is shown whole;
// a longer one as "/" + first folder + "/.../" + last folder + "/" + file name.
// A path under the home folder given starts with "~" in place of the home
// folder (and counts its folders from there).
std::string ShortenPath(std::string_view path, std::string_view home = {});

struct RecentEntry {
  std::string caption;  // "&1 /home/.../math/a.qzl" ('&' in the path doubled)
  std::string path;
};

class RecentFiles {
 public:
  explicit RecentFiles(UserSettings& settings) : settings_(settings) {}

  // Removes an entry equal to the path (letter case ignored), puts the path
  // on top and keeps the nine most recent.
  void Add(std::string_view path);
  const std::vector<std::string>& paths() const { return settings_.RecentFiles; }

  // The entries the File menu shows: none while FileUse is off, else the first
  // FileMax (0..9) paths.
  std::vector<RecentEntry> MenuEntries(std::string_view home = {}) const;

 private:
  UserSettings& settings_;
};

}  // namespace qzarn::forms
