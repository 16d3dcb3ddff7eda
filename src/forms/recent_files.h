#pragma once
// The recent-file list of the File menu: at most nine paths, most recent first.

#include <string>
#include <vector>

namespace qzarn {

inline constexpr std::size_t kRecentFileLimit = 9;

// Puts the path at the top; an entry naming the same path (compared without
// regard to case, as the list has always done) goes, and the list keeps nine.
void AddRecentFile(std::vector<std::string>& files, const std::string& path);

// The text a menu shows for a path: whole when it has fewer than four parts,
// otherwise the first folder, "/.../", the last folder and the file name
// ("/home/.../lessons/circle.qzl").
std::string ShortenPath(const std::string& path);

// The entries the menu shows: none when the list is switched off, otherwise
// the first `shown` (0..9).
std::vector<std::string> ShownRecentFiles(const std::vector<std::string>& files, bool use,
                                          int shown);

}  // namespace qzarn
