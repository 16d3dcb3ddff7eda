#include "document/recovery.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <tuple>

#include "document/document_file.h"
#include "platform/binary_io.h"

namespace qzarn {
namespace {

constexpr std::string_view kRecordTag = "qzarn-recovery 1";
constexpr std::string_view kRecordEnd = "end";
// A record holds a title and two paths; anything larger is not one of ours.
constexpr std::size_t kMaxRecordBytes = 64 * 1024;
// More than any document (figures, palette and a background picture).
constexpr std::size_t kMaxStateBytes = std::size_t{1} << 30;

std::string Escaped(std::string_view value) {
  std::string out;
  for (char c : value) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

std::optional<std::string> Unescaped(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\') {
      out += value[i];
      continue;
    }
    if (++i == value.size()) return std::nullopt;
    switch (value[i]) {
      case '\\':
        out += '\\';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool IsPlainFile(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path, std::size_t limit) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(path, bytes, error, limit)) return std::nullopt;
  return bytes;
}

struct FolderEntry {
  std::string path;
  long pid = 0;
  long number = 0;
  bool record = false;
};

}  // namespace

std::string EncodeRecoveryRecord(const RecoveryRecord& record) {
  std::string text(kRecordTag);
  text += "\nhost=" + Escaped(record.host);
  text += "\npid=" + std::to_string(record.pid);
  text += "\ntitle=" + Escaped(record.title);
  text += "\nfile=" + Escaped(record.file_path);
  text += "\nstate=" + Escaped(record.state);
  text += std::string("\nmodified=") + (record.modified ? "1" : "0");
  text += "\n" + std::string(kRecordEnd) + "\n";
  return text;
}

std::optional<RecoveryRecord> DecodeRecoveryRecord(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;  // cut short
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  if (lines.size() < 2 || lines.front() != kRecordTag || lines.back() != kRecordEnd)
    return std::nullopt;
  std::map<std::string, std::string, std::less<>> values;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    const std::size_t eq = lines[i].find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    std::optional<std::string> value = Unescaped(lines[i].substr(eq + 1));
    if (!value) return std::nullopt;
    values[std::string(lines[i].substr(0, eq))] = std::move(*value);
  }
  for (const char* key : {"host", "pid", "title", "file", "state", "modified"})
    if (!values.contains(key)) return std::nullopt;
  RecoveryRecord record;
  record.host = values["host"];
  const std::string& pid = values["pid"];
  const auto [end, ec] = std::from_chars(pid.data(), pid.data() + pid.size(), record.pid);
  if (ec != std::errc() || end != pid.data() + pid.size() || record.pid <= 0) return std::nullopt;
  record.title = values["title"];
  record.file_path = values["file"];
  record.state = values["state"];
  if (values["modified"] != "0" && values["modified"] != "1") return std::nullopt;
  record.modified = values["modified"] == "1";
  return record;
}

std::string ThisHost() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
  return name;
}

Leftovers FindLeftovers(const TempFolder& folder) {
  std::vector<FolderEntry> entries;
  if (DIR* dir = ::opendir(folder.path().c_str())) {
    while (const dirent* e = ::readdir(dir)) {
      FolderEntry entry;
      entry.path = folder.path() + "/" + e->d_name;
      if (TempFolder::IsRecordName(e->d_name, &entry.pid, &entry.number))
        entry.record = true;
      else if (!TempFolder::IsSnapshotName(e->d_name, &entry.pid))
        continue;
      // Only plain files count; a folder or link under one of our names is not ours.
      if (IsPlainFile(entry.path)) entries.push_back(std::move(entry));
    }
    ::closedir(dir);
  }
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
    return std::tie(a.pid, a.number, a.path) < std::tie(b.pid, b.number, b.path);
  });

  // A process id means something only on the host that made it: a run of another host
  // sharing the folder keeps its files, whatever our process table says.
  const std::string host = ThisHost();
  std::set<long> foreign;
  std::vector<std::pair<const FolderEntry*, RecoveryRecord>> records;
  for (const FolderEntry& entry : entries) {
    if (!entry.record) continue;
    const std::optional<std::vector<std::uint8_t>> bytes =
        ReadSmallFile(entry.path, kMaxRecordBytes);
    std::optional<RecoveryRecord> record;
    if (bytes)
      record = DecodeRecoveryRecord(
          std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (record && record->host != host) foreign.insert(entry.pid);
    // A record whose text names another process than its file name is not trusted.
    if (record && record->pid == entry.pid) records.emplace_back(&entry, std::move(*record));
  }
  std::set<long> ended;
  for (const FolderEntry& entry : entries)
    if (!foreign.contains(entry.pid) && !TempFolder::ProcessRuns(entry.pid))
      ended.insert(entry.pid);

  Leftovers leftovers;
  leftovers.folder = folder.path();
  for (const FolderEntry& entry : entries)
    if (ended.contains(entry.pid)) leftovers.files.push_back(entry.path);
  for (auto& [entry, record] : records) {
    if (!ended.contains(entry->pid) || !record.modified) continue;
    // The state must be a snapshot of the same run in this folder, never a file elsewhere.
    long state_pid = 0;
    if (FolderOf(record.state) != folder.path() ||
        !TempFolder::IsSnapshotName(BaseName(record.state), &state_pid) ||
        state_pid != entry->pid || !IsPlainFile(record.state))
      continue;
    leftovers.screens.push_back(std::move(record));
  }
  return leftovers;
}

int DeleteLeftovers(const Leftovers& leftovers) {
  // A record replacement cut short by the death leaves its scratch file.
  int deleted = leftovers.folder.empty() ? 0 : DeleteStaleSaveFiles(leftovers.folder);
  for (const std::string& path : leftovers.files)
    if (IsPlainFile(path) && ::unlink(path.c_str()) == 0) ++deleted;
  return deleted;
}

void RecoveryJournal::SnapshotChanged(const Screen& screen) {
  if (screen.UndoIndex < 0 || screen.UndoIndex >= kUndoFileCount) return;
  const std::string& snapshot = screen.UndoFiles[static_cast<std::size_t>(screen.UndoIndex)];
  // Without a snapshot file (no room, a failed write) the record keeps naming what it named.
  if (snapshot.empty()) return;
  DropCopy();
  state_path_ = snapshot;
  state_bytes_known_ = false;
  const bool modified = screen.Modified || screen.UndoIndex > 0;
  // An untouched screen needs no record until it changes.
  if (record_path_.empty() && !modified) return;
  std::string error;
  WriteRecord(screen, modified, error);
}

bool RecoveryJournal::Keep(const Screen& screen, const SaveOptions& save, std::string& error) {
  if (!screen.Modified) {
    // Saved (or never changed): the record, when there is one, no longer offers the screen.
    if (record_path_.empty()) return true;
    DropCopy();
    SnapshotChangedQuietly(screen);
    return WriteRecord(screen, false, error);
  }
  SaveOptions options = save;
  options.compressed = false;
  // A document file carries its own name; the state is compared under the name of the file
  // holding it, so only a real change counts.
  std::vector<std::uint8_t> bytes;
  const std::string compared_name = state_path_.empty() ? "recovery.qzl" : BaseName(state_path_);
  if (!WriteDocumentBytes(screen, compared_name, options, bytes, error)) return false;
  if (!state_bytes_known_ && !state_path_.empty()) {
    state_bytes_ = ReadSmallFile(state_path_, kMaxStateBytes).value_or(std::vector<std::uint8_t>{});
    state_bytes_known_ = true;
  }
  if (!state_path_.empty() && bytes == state_bytes_) return WriteRecord(screen, true, error);

  const std::optional<std::string> copy = folder_.CreateSnapshotFile(error);
  if (!copy) return false;
  if (!WriteDocumentBytes(screen, BaseName(*copy), options, bytes, error) ||
      !WriteFileAtomically(*copy, bytes, error)) {
    ::unlink(copy->c_str());
    return false;
  }
  const std::string previous = copy_path_;
  copy_path_ = *copy;
  state_path_ = *copy;
  state_bytes_ = std::move(bytes);
  state_bytes_known_ = true;
  // The record names the new copy before the old one goes, so a death in between still
  // leaves a state to restore.
  const bool written = WriteRecord(screen, true, error);
  if (!previous.empty()) ::unlink(previous.c_str());
  return written;
}

void RecoveryJournal::Remove() {
  DropCopy();
  if (!record_path_.empty()) ::unlink(record_path_.c_str());
  record_path_.clear();
  written_.clear();
}

void RecoveryJournal::DropCopy() {
  if (copy_path_.empty()) return;
  ::unlink(copy_path_.c_str());
  if (state_path_ == copy_path_) {
    state_path_.clear();
    state_bytes_known_ = false;
  }
  copy_path_.clear();
}

void RecoveryJournal::SnapshotChangedQuietly(const Screen& screen) {
  if (screen.UndoIndex < 0 || screen.UndoIndex >= kUndoFileCount) return;
  const std::string& snapshot = screen.UndoFiles[static_cast<std::size_t>(screen.UndoIndex)];
  if (snapshot.empty() || snapshot == state_path_) return;
  state_path_ = snapshot;
  state_bytes_known_ = false;
}

bool RecoveryJournal::WriteRecord(const Screen& screen, bool modified, std::string& error) {
  RecoveryRecord record;
  record.host = ThisHost();
  record.pid = static_cast<long>(::getpid());
  record.title = screen.Title;
  record.file_path = screen.FilePath;
  record.state = state_path_;
  record.modified = modified && !state_path_.empty();
  const std::string text = EncodeRecoveryRecord(record);
  if (text == written_) return true;
  if (record_path_.empty()) {
    std::optional<std::string> path = folder_.CreateRecordFile(error);
    if (!path) return false;
    record_path_ = std::move(*path);
  }
  // Written beside the record and renamed over it, so a death mid-write leaves the old
  // record whole.
  const std::vector<std::uint8_t> bytes(text.begin(), text.end());
  if (!WriteFileAtomically(record_path_, bytes, error)) return false;
  written_ = text;
  return true;
}

}  // namespace qzarn
