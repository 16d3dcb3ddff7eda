#include "platform/binary_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>
#include <string_view>

static_assert(std::endian::native == std::endian::little,
              "document bytes are copied as little-endian values");

namespace qzarn {

bool ByteReader::ReadBytes(void* out, std::size_t n) {
  if (n > remaining()) return false;
  if (n != 0) std::memcpy(out, data_.data() + pos_, n);
  pos_ += n;
  return true;
}

bool ByteReader::ReadSpan(std::size_t n, std::span<const std::uint8_t>& out) {
  if (n > remaining()) return false;
  out = data_.subspan(pos_, n);
  pos_ += n;
  return true;
}

bool ByteReader::ReadInto(std::size_t n, std::vector<std::uint8_t>& out) {
  std::span<const std::uint8_t> s;
  if (!ReadSpan(n, s)) return false;
  out.insert(out.end(), s.begin(), s.end());
  return true;
}

bool ByteReader::Skip(std::size_t n) {
  if (n > remaining()) return false;
  pos_ += n;
  return true;
}

bool ByteReader::Seek(std::size_t pos) {
  if (pos > data_.size()) return false;
  pos_ = pos;
  return true;
}

bool ByteReader::ReadI32(std::int32_t& v) {
  return ReadBytes(&v, sizeof v);
}
bool ByteReader::ReadU32(std::uint32_t& v) {
  return ReadBytes(&v, sizeof v);
}
bool ByteReader::ReadU16(std::uint16_t& v) {
  return ReadBytes(&v, sizeof v);
}
bool ByteReader::ReadI16(std::int16_t& v) {
  return ReadBytes(&v, sizeof v);
}
bool ByteReader::ReadU8(std::uint8_t& v) {
  return ReadBytes(&v, sizeof v);
}
bool ByteReader::ReadF32(float& v) {
  return ReadBytes(&v, sizeof v);
}
bool ByteReader::ReadF64(double& v) {
  return ReadBytes(&v, sizeof v);
}

void ByteWriter::WriteBytes(const void* data, std::size_t n) {
  if (n == 0) return;
  const auto* p = static_cast<const std::uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + n);
}

void ByteWriter::WriteZeros(std::size_t n) {
  bytes_.resize(bytes_.size() + n, 0);
}
void ByteWriter::WriteI32(std::int32_t v) {
  WriteBytes(&v, sizeof v);
}
void ByteWriter::WriteU32(std::uint32_t v) {
  WriteBytes(&v, sizeof v);
}
void ByteWriter::WriteU16(std::uint16_t v) {
  WriteBytes(&v, sizeof v);
}
void ByteWriter::WriteI16(std::int16_t v) {
  WriteBytes(&v, sizeof v);
}
void ByteWriter::WriteU8(std::uint8_t v) {
  WriteBytes(&v, sizeof v);
}
void ByteWriter::WriteF32(float v) {
  WriteBytes(&v, sizeof v);
}
void ByteWriter::WriteF64(double v) {
  WriteBytes(&v, sizeof v);
}

void ByteWriter::PatchU32(std::size_t pos, std::uint32_t v) {
  if (pos + sizeof v <= bytes_.size()) std::memcpy(bytes_.data() + pos, &v, sizeof v);
}

std::int32_t LoadI32(const std::uint8_t* p) {
  std::int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
std::uint32_t LoadU32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
std::uint16_t LoadU16(const std::uint8_t* p) {
  std::uint16_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
double LoadF64(const std::uint8_t* p) {
  double v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
float LoadF32(const std::uint8_t* p) {
  float v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
void StoreI32(std::uint8_t* p, std::int32_t v) {
  std::memcpy(p, &v, sizeof v);
}
void StoreU32(std::uint8_t* p, std::uint32_t v) {
  std::memcpy(p, &v, sizeof v);
}
void StoreU16(std::uint8_t* p, std::uint16_t v) {
  std::memcpy(p, &v, sizeof v);
}
void StoreF64(std::uint8_t* p, double v) {
  std::memcpy(p, &v, sizeof v);
}
void StoreF32(std::uint8_t* p, float v) {
  std::memcpy(p, &v, sizeof v);
}

namespace {

std::string ErrnoText(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }
  int get() const { return fd_; }
  bool Close() {
    if (fd_ < 0) return true;
    int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0;
  }

 private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The process's umask, read without changing it where the system tells it.
mode_t CurrentUmask() {
  if (std::FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, f) != nullptr)
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    std::fclose(f);
    if (found) return static_cast<mode_t>(mask);
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

// The file a path names once its symbolic links are followed (the last one may dangle: the
// file is then made where it points). Saving to a link must change the file behind it, not
// replace the link by a file of its own.
bool FollowLinks(const std::string& requested, std::string& path, std::string& error) {
  path = requested;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0) {
      error = ErrnoText("cannot follow the link", path);
      return false;
    }
    target.resize(static_cast<std::size_t>(n));
    path = target.starts_with('/') ? target : FolderOf(path) + "/" + target;
  }
  error = "too many levels of symbolic links: " + requested;
  return false;
}

// Gives the new file the owner and group of the file it replaces, as far as the user may;
// what could not be kept is said in `notice`.
void KeepOwner(int fd, const struct stat& old, const std::string& path, std::string* notice) {
  struct stat now {};
  if (::fstat(fd, &now) != 0 || (now.st_uid == old.st_uid && now.st_gid == old.st_gid)) return;
  if (::fchown(fd, old.st_uid, old.st_gid) == 0) return;
  const bool group_kept =
      now.st_gid == old.st_gid || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
  if (notice == nullptr) return;
  *notice = (now.st_uid != old.st_uid ? std::string("the owner") : std::string()) +
            (now.st_uid != old.st_uid && !group_kept ? " and " : "") +
            (group_kept ? "" : "the group") + " of " + path +
            " could not be kept: the saved file belongs to the user who saved it";
}

// Temporary save files are ".qzarn-save-<host>-<pid>-<number>.part": the host and process that
// made them tell a later save whether their maker has ended.
constexpr std::string_view kSaveFileStem = ".qzarn-save-";
constexpr std::string_view kSaveFileSuffix = ".part";

std::string HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
  return name;
}

std::string SaveFilePrefix() {
  return std::string(kSaveFileStem) + HostName() + "-";
}

bool AllDigits(std::string_view s) {
  return !s.empty() && s.size() <= 18 &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The process id in a temporary save file name made on this host; 0 for any other name.
long SaveFileMaker(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix) || !name.ends_with(kSaveFileSuffix)) return 0;
  name.remove_prefix(prefix.size());
  name.remove_suffix(kSaveFileSuffix.size());
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos || !AllDigits(name.substr(0, dash)) ||
      !AllDigits(name.substr(dash + 1)))
    return 0;
  return std::stol(std::string(name.substr(0, dash)));
}

}  // namespace

int DeleteStaleSaveFiles(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return 0;
  const std::string prefix = SaveFilePrefix();
  int deleted = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const long pid = SaveFileMaker(entry->d_name, prefix);
    // A process that runs (or that we may not signal) may still be saving.
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    const std::string full = folder + "/" + entry->d_name;
    struct stat st {};
    // Only plain files of this user: nothing else under such a name is ours to remove.
    if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        ::unlink(full.c_str()) == 0)
      ++deleted;
  }
  ::closedir(dir);
  return deleted;
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::string& error,
                   std::size_t max_size, const HeadCheck& head) {
  out.clear();
  // Opening a FIFO for reading would wait for a writer, and a device may block or never end:
  // open without waiting and look at what was opened before reading anything.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) {
    error = ErrnoText("cannot open", path);
    return false;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    error = "not a regular file: " + path;
    return false;
  }
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags >= 0) (void)::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
  // Fills out[done, end); false on a read error. A file that shrank ends early.
  std::size_t done = 0;
  auto read_up_to = [&](std::size_t end) {
    while (done < end) {
      ssize_t n = ::read(fd.get(), out.data() + done, end - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        error = ErrnoText("cannot read", path);
        out.clear();
        return false;
      }
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    return true;
  };
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (head.accept) {
    out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size, head.size)));
    if (!read_up_to(out.size())) return false;
    if (!head.accept(std::span(out.data(), done))) {
      error = "not the kind of file expected: " + path;
      out.clear();
      return false;
    }
  }
  if (size > max_size) {
    error = "file too large: " + path;
    out.clear();
    return false;
  }
  out.resize(static_cast<std::size_t>(size));
  if (!read_up_to(out.size())) return false;
  out.resize(done);
  return true;
}

bool WriteFileAtomically(const std::string& requested, std::span<const std::uint8_t> bytes,
                         std::string& error, const AtomicWriteOptions& options,
                         std::string* notice) {
  const std::size_t fail_after_bytes = options.fail_after_bytes;
  std::string path;
  if (!FollowLinks(requested, path, error)) return false;
  // Only a regular file is ever replaced: renaming over a device, a FIFO or a folder would
  // put a file in its place (as the superuser even over /dev/null).
  struct stat target {};
  if (::stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
    error = "not a regular file: " + path +
            (path == requested ? "" : " (where " + requested + " leads)");
    return false;
  }
  // The temporary name lives in the target's folder so that the final rename stays on one file
  // system and replaces the target in one step.
  const std::string folder = FolderOf(path);
  DeleteStaleSaveFiles(folder);
  std::random_device rd;
  std::string temp;
  int raw = -1;
  for (int attempt = 0; attempt < 16 && raw < 0; ++attempt) {
    temp = folder + "/" + SaveFilePrefix() + std::to_string(::getpid()) + "-" +
           std::to_string(rd()) + std::string(kSaveFileSuffix);
    // Private from the first moment: a file another user could open now would stay open to
    // them whatever its mode becomes later.
    raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (raw < 0 && errno != EEXIST) break;
  }
  if (raw < 0) {
    error = ErrnoText("cannot create", temp);
    return false;
  }
  FileDescriptor fd(raw);
  auto fail = [&](const std::string& what) {
    error = what;
    fd.Close();
    ::unlink(temp.c_str());
    return false;
  };
  if (options.on_temporary) options.on_temporary(temp);
  std::size_t done = 0;
  while (done < bytes.size()) {
    std::size_t chunk = std::min<std::size_t>(bytes.size() - done, std::size_t{1} << 20);
    if (done + chunk > fail_after_bytes) {
      chunk = fail_after_bytes - done;
      if (chunk == 0) return fail("cannot write " + temp + ": injected failure");
    }
    ssize_t n = ::write(fd.get(), bytes.data() + done, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail(ErrnoText("cannot write", temp));
    done += static_cast<std::size_t>(n);
  }
  // The complete file gets its final owner and mode: those of the file it replaces, else the
  // maker's and what the umask leaves of 0666. The owner comes first: changing it may clear
  // the set-id bits of the mode.
  struct stat old {};
  const bool replacing = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  if (replacing) KeepOwner(fd.get(), old, path, notice);
  const mode_t mode = replacing ? old.st_mode & 07777 : 0666 & ~CurrentUmask();
  if (::fchmod(fd.get(), mode) != 0) return fail(ErrnoText("cannot set the mode of", temp));
  if (::fsync(fd.get()) != 0) return fail(ErrnoText("cannot flush", temp));
  if (!fd.Close()) return fail(ErrnoText("cannot close", temp));
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail(ErrnoText("cannot replace", path));
  return true;
}

}  // namespace qzarn
