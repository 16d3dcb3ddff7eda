// The compressed form and the file system around the byte layer.
#include "document/document_file.h"

#include <unistd.h>

#include <cctype>
#include <cstring>
#include <new>

#include "document/document_file_format.h"
#include "platform/binary_io.h"
#include "platform/lzh_archive.h"
#include "platform/text_encoding.h"

namespace qzarn {
namespace {

using namespace docfile;

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

// The archive member names the document file; when the target has no usable name the member
// still needs one.
std::string MemberName(std::string_view file_name) {
  std::string name = utf8_to_cp932(file_name).bytes;
  if (name.empty()) name = "document.qzl";
  return name;
}

// What the first bytes of a file say it is.
enum class HeadKind { kCompressed, kPlain, kOther };

HeadKind KindOfHead(std::span<const std::uint8_t> head) {
  if (head.size() < kHeaderSize) return HeadKind::kOther;
  const auto tag = StoredTag(head.first(kHeaderSize));
  if (!tag) return HeadKind::kOther;
  if (*tag == kCompressedTag) return HeadKind::kCompressed;
  return VersionOfTag(*tag) ? HeadKind::kPlain : HeadKind::kOther;
}

LoadResult UnknownFormat(bool compressed) {
  LoadResult r;
  r.error = LoadError::kUnknownFormat;
  r.detail = "unknown format tag";
  r.compressed = compressed;
  return r;
}

LoadResult ReadCompressed(std::span<const std::uint8_t> bytes, Screen& screen,
                          const LoadOptions& options) {
  LoadResult result;
  result.compressed = true;
  const auto archive = bytes.subspan(kHeaderSize);
  std::vector<LzhMember> members;
  if (LzhStatus s = ListLzhMembers(archive, members); !s.ok()) {
    result.error = LoadError::kBadArchive;
    result.detail = "archive: " + s.message;
    return result;
  }
  // The first member whose name holds ".QZL" is the document; the member name is only used
  // to pick it, never as a path.
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (Upper(members[i].name).find(".QZL") == std::string::npos) continue;
    const std::string_view name = members[i].name;
    const std::size_t sep = name.find_last_of("\\/");
    if (!HasDocumentExtension(sep == std::string_view::npos ? name : name.substr(sep + 1))) break;
    std::vector<std::uint8_t> plain;
    LzhReadLimits limits;
    limits.max_member_size = kMaxDocumentBytes;
    // A member is expanded only after its first bytes showed a plain document's header.
    limits.head = {kHeaderSize, [](auto head) { return KindOfHead(head) == HeadKind::kPlain; }};
    if (LzhStatus s = ReadLzhMember(archive, i, plain, limits); !s.ok()) {
      if (s.error == LzhError::kRejectedContent) return UnknownFormat(true);
      result.error =
          s.error == LzhError::kMemberTooLarge ? LoadError::kTooLarge : LoadError::kBadArchive;
      result.detail = "archive: " + s.message;
      return result;
    }
    result = ReadPlainDocument(plain, screen, options);
    result.compressed = true;
    return result;
  }
  result.error = LoadError::kBadArchive;
  result.detail = "the archive holds no document";
  return result;
}

bool IsCompressed(std::span<const std::uint8_t> bytes) {
  return KindOfHead(bytes) == HeadKind::kCompressed;
}

void WriteCompressedHeader(ByteWriter& w) {
  std::uint8_t field[kTagFieldSize] = {};
  field[0] = static_cast<std::uint8_t>(kCompressedTag.size());
  std::memcpy(field + 1, kCompressedTag.data(), kCompressedTag.size());
  w.WriteBytes(field, sizeof field);
  w.WriteI32(kWrittenLastFigure);
  w.WriteI32(kWrittenLastPaletteEntry);
}

LoadResult Unreadable(std::string detail) {
  LoadResult r;
  r.error = LoadError::kUnreadable;
  r.detail = std::move(detail);
  return r;
}

LoadResult WrongExtension(const std::string& path) {
  LoadResult r;
  r.error = LoadError::kWrongExtension;
  r.detail = "not a document file name: " + path;
  return r;
}

}  // namespace

SaveOptions SaveOptionsFromSettings(const UserSettings& settings) {
  SaveOptions o;
  o.compressed = settings.CompressMode;
  o.picture_as_jpeg = settings.BackBitmap;
  o.jpeg_quality = settings.BackBitmapQuality;
  return o;
}

bool HasDocumentExtension(std::string_view path) {
  const std::string_view name = BaseName(path);
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return false;
  return Upper(name.substr(dot, 4)) == ".QZL";
}

bool WriteDocumentBytes(const Screen& screen, std::string_view file_name,
                        const SaveOptions& options, std::vector<std::uint8_t>& out,
                        std::string& error) {
  std::vector<std::uint8_t> plain;
  if (!WritePlainDocument(screen, file_name, options, plain, error)) return false;
  if (!options.compressed) {
    out = std::move(plain);
    return true;
  }
  const LzhWriteMember member{MemberName(file_name), plain};
  std::vector<std::uint8_t> archive;
  if (LzhStatus s = WriteLzhArchive(std::span(&member, 1), archive); !s.ok()) {
    error = "archive: " + s.message;
    return false;
  }
  ByteWriter w;
  WriteCompressedHeader(w);
  w.WriteBytes(archive);
  out = w.Take();
  return true;
}

LoadResult ReadDocumentBytes(std::span<const std::uint8_t> bytes, Screen& screen,
                             const LoadOptions& options) try {
  if (IsCompressed(bytes)) return ReadCompressed(bytes, screen, options);
  return ReadPlainDocument(bytes, screen, options);
} catch (const std::bad_alloc&) {
  return OutOfMemory();
}

SaveResult SaveDocument(const Screen& screen, const std::string& path, const SaveOptions& options) {
  SaveResult result;
  result.message = std::string(kSaveFailedMessage);
  // A file the user may not write is not replaced behind their back.
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) {
    if (options.target_is_current_file) result.message = std::string(kReadOnlyMessage);
    result.detail = "the file is read-only: " + path;
    return result;
  }
  std::vector<std::uint8_t> bytes;
  if (!WriteDocumentBytes(screen, BaseName(path), options, bytes, result.detail)) return result;
  AtomicWriteOptions write;
  write.fail_after_bytes = options.fail_write_after;
  if (!WriteFileAtomically(path, bytes, result.detail, write, &result.notice)) return result;
  result.ok = true;
  result.message.clear();
  return result;
}

LoadResult LoadPlainDocument(Screen& screen, const std::string& path,
                             const LoadOptions& options) try {
  if (!HasDocumentExtension(path)) return WrongExtension(path);
  std::vector<std::uint8_t> bytes;
  std::string error;
  bool refused = false;
  const HeadCheck head{kHeaderSize, [&](auto h) {
                         refused = KindOfHead(h) != HeadKind::kPlain;
                         return !refused;
                       }};
  if (!ReadFileBytes(path, bytes, error, kMaxDocumentBytes, head))
    return refused ? UnknownFormat(false) : Unreadable(error);
  return ReadPlainDocument(bytes, screen, options);
} catch (const std::bad_alloc&) {
  return OutOfMemory();
}

LoadResult LoadDocument(Screen& screen, const std::string& path, const LoadOptions& options) try {
  std::vector<std::uint8_t> bytes;
  std::string error;
  // Nothing past the header is read from a file that cannot be a document.
  LoadError refusal = LoadError::kNone;
  const HeadCheck head{kHeaderSize, [&](auto h) {
                         const HeadKind kind = KindOfHead(h);
                         if (kind == HeadKind::kCompressed) return true;
                         if (!HasDocumentExtension(path))
                           refusal = LoadError::kWrongExtension;
                         else if (kind != HeadKind::kPlain)
                           refusal = LoadError::kUnknownFormat;
                         return refusal == LoadError::kNone;
                       }};
  if (!ReadFileBytes(path, bytes, error, kMaxDocumentBytes, head)) {
    if (refusal == LoadError::kWrongExtension) return WrongExtension(path);
    if (refusal == LoadError::kUnknownFormat) return UnknownFormat(false);
    return Unreadable(error);
  }
  if (IsCompressed(bytes)) return ReadCompressed(bytes, screen, options);
  if (!HasDocumentExtension(path)) return WrongExtension(path);
  return ReadPlainDocument(bytes, screen, options);
} catch (const std::bad_alloc&) {
  return OutOfMemory();
}

}  // namespace qzarn
