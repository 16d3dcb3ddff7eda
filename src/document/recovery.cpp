#include "document/recovery.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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
  text += "\nboot=" + Escaped(record.boot);
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
  // Records written before boot ids were kept carry none: their liveness is the process's.
  if (auto boot = values.find("boot"); boot != values.end()) record.boot = boot->second;
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

std::string ThisBoot() {
  static const std::string boot = [] {
    // A /proc file reports no size; it is read as far as it goes.
    std::string text;
    const int fd = ::open("/proc/sys/kernel/random/boot_id", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char buffer[128];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (n > 0) text.assign(buffer, static_cast<std::size_t>(n));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
      text.pop_back();
    return text;
  }();
  return boot;
}

std::string DefaultRecoveryPath() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/qzarn/recovery";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/qzarn/recovery";
  return {};
}

std::optional<TempFolder> OpenRecoveryFolder(const std::string& path, std::string& error) {
  if (path.empty() || path[0] != '/') {
    error = "no folder for recovery copies (neither XDG_STATE_HOME nor HOME is set)";
    return std::nullopt;
  }
  // Missing parents are made private too: they are ours, and tell what the user edited.
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string parent = path.substr(0, slash);
    if (::mkdir(parent.c_str(), 0700) != 0 && errno != EEXIST) {
      error = "cannot create " + parent + ": " + std::strerror(errno);
      return std::nullopt;
    }
  }
  return TempFolder::Open(path, error);
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
  const std::string boot = ThisBoot();
  std::set<long> foreign;
  // Process ids start again at every boot, so a run whose every record was written before
  // the machine last started has ended even when a process of today has its id. A run with
  // a record of today (or of unknown boot) is judged by its process.
  std::set<long> earlier_boot, this_boot;
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
    if (!record || record->pid != entry.pid) continue;
    if (!boot.empty() && !record->boot.empty() && record->boot != boot)
      earlier_boot.insert(entry.pid);
    else
      this_boot.insert(entry.pid);
    records.emplace_back(&entry, std::move(*record));
  }
  std::set<long> ended;
  for (const FolderEntry& entry : entries) {
    if (foreign.contains(entry.pid)) continue;
    const bool before_boot = earlier_boot.contains(entry.pid) && !this_boot.contains(entry.pid);
    if (before_boot || !TempFolder::ProcessRuns(entry.pid)) ended.insert(entry.pid);
  }

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

void RecoveryJournal::SnapshotChanged(const Screen& screen, const SaveOptions& save) {
  const bool modified = screen.Modified || screen.UndoIndex > 0;
  std::string error;
  if (modified) {
    WriteState(screen, save, error);
    return;
  }
  // Back at the state the screen was opened in: an untouched screen needs no record, and one
  // that had a record no longer offers anything.
  if (record_path_.empty()) return;
  DropCopy();
  WriteRecord(screen, false, error);
}

bool RecoveryJournal::Keep(const Screen& screen, const SaveOptions& save, std::string& error) {
  if (!screen.Modified) {
    // Saved (or never changed): the record, when there is one, no longer offers the screen.
    if (record_path_.empty()) return true;
    DropCopy();
    return WriteRecord(screen, false, error);
  }
  return WriteState(screen, save, error);
}

bool RecoveryJournal::WriteState(const Screen& screen, const SaveOptions& save,
                                 std::string& error) {
  SaveOptions options = save;
  options.compressed = false;
  // A document file carries its own name, so the state is written under the copy's name and
  // only a real change makes a new write.
  bool created = false;
  if (copy_path_.empty()) {
    const std::optional<std::string> copy = folder_.CreateSnapshotFile(error);
    if (!copy) return false;
    copy_path_ = *copy;
    copy_bytes_.clear();
    created = true;
  }
  std::vector<std::uint8_t> bytes;
  if (!WriteDocumentBytes(screen, BaseName(copy_path_), options, bytes, error)) {
    if (created) DropCopy();
    return false;
  }
  if (created || bytes != copy_bytes_) {
    // Replaced whole, so a death mid-write leaves the previous state to restore.
    if (!WriteFileAtomically(copy_path_, bytes, error)) {
      if (created) DropCopy();
      return false;
    }
    copy_bytes_ = std::move(bytes);
    SyncFolder();
  }
  // The record is written after its copy exists, so it never names a missing state.
  return WriteRecord(screen, true, error);
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
  copy_path_.clear();
  copy_bytes_.clear();
}

void RecoveryJournal::SyncFolder() const {
  // A renamed file survives a power cut only once its folder's entry is on the disk.
  const int fd = ::open(folder_.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool RecoveryJournal::WriteRecord(const Screen& screen, bool modified, std::string& error) {
  RecoveryRecord record;
  record.host = ThisHost();
  record.boot = ThisBoot();
  record.pid = static_cast<long>(::getpid());
  record.title = screen.Title;
  record.file_path = screen.FilePath;
  record.state = copy_path_;
  record.modified = modified && !copy_path_.empty();
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
  SyncFolder();
  return true;
}

}  // namespace qzarn
