#pragma once
// LZH archives held in memory. Reading goes through liblhasa (every method it
// knows); writing uses our own "-lh5-" encoder. Members are only ever read
// into memory: nothing here touches the file system, so a hostile archive
// cannot name a path to write to. No function throws except std::bad_alloc.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/binary_io.h"

namespace qzarn {

enum class LzhError {
  kNone = 0,
  kNotAnArchive,       // the bytes do not start with an LZH member header
  kCorruptHeader,      // a member header fails its own checks
  kTruncated,          // the archive ends inside a header or a member's data
  kNoSuchMember,       // index past the last member
  kMemberTooLarge,     // original size above the reader's limit
  kUnsupportedMethod,  // liblhasa has no decoder for the member's method
  kCorruptData,        // the compressed data decodes to fewer bytes than promised
  kCrcMismatch,        // decoded bytes disagree with the header's CRC-16
  kInvalidName,        // writer: name empty, too long or holds a separator byte
  kInputTooLarge,      // writer: member data does not fit the 32-bit size field
  kRejectedContent,    // the caller's head check refused the member's first bytes
};

// Stable identifier of an error ("crc_mismatch"), for logs and tests.
std::string_view LzhErrorName(LzhError error);

struct LzhStatus {
  LzhError error = LzhError::kNone;
  std::string message;  // what went wrong, naming the member where there is one

  bool ok() const { return error == LzhError::kNone; }
  static LzhStatus Ok() { return {}; }
};

// One regular-file member. Directory and symbolic-link entries are left out
// of listings and cannot be read.
struct LzhMember {
  // The stored path bytes exactly as the header holds them, not converted
  // from any code page. Directory parts of level 1-3 headers are joined with
  // '\' (the separator level-0 names use); level-0 names are passed through,
  // so a '\' there may equally be the second byte of a code page 932 character.
  std::string name;
  std::string method;  // "-lh5-", "-lh0-", ...
  std::uint64_t original_size = 0;
  std::uint64_t packed_size = 0;
  int header_level = 0;
  std::uint16_t crc = 0;        // CRC-16 of the original bytes, from the header
  std::uint32_t timestamp = 0;  // seconds since 1970 as liblhasa decodes it
};

struct LzhReadLimits {
  // A member claiming more than this many original bytes is refused before
  // anything is decoded: a few hundred bytes of archive can promise gigabytes.
  std::uint64_t max_member_size = std::uint64_t{256} << 20;
  // Sees the member's first bytes as soon as they are decoded; a refusal stops decoding there
  // (kRejectedContent), so a member that cannot be what the caller wants is never expanded.
  HeadCheck head;
};

// Lists the regular-file members in archive order. No bytes at all, or only
// the end-of-archive byte, list no members. A missing end-of-archive byte is
// a truncation; bytes after it are ignored.
LzhStatus ListLzhMembers(std::span<const std::uint8_t> archive, std::vector<LzhMember>& members);

// Decodes member `index` (position in the ListLzhMembers list) into `data`
// and checks its CRC-16. Only the headers up to that member are examined.
// On failure `data` is left empty.
LzhStatus ReadLzhMember(std::span<const std::uint8_t> archive, std::size_t index,
                        std::vector<std::uint8_t>& data, const LzhReadLimits& limits = {});

// Longest member name the writer accepts, in bytes.
inline constexpr std::size_t kLzhMaxNameLength = 1024;
// 2000-01-01 00:00:00 UTC: written unless the caller asks for another time,
// so that the same members always give the same archive bytes.
inline constexpr std::uint32_t kLzhDefaultTimestamp = 946684800;

struct LzhWriteMember {
  // File name bytes, written as given (code page 932 for documents). Must be
  // non-empty, at most kLzhMaxNameLength bytes, without 0x00, '/' or 0xFF
  // (the bytes LZH readers treat as terminator or path separators).
  std::string name;
  std::span<const std::uint8_t> data;
};

struct LzhWriteOptions {
  std::uint32_t timestamp = kLzhDefaultTimestamp;  // seconds since 1970
};

// Writes a complete archive of `members` with level-2 headers: "-lh5-"
// compressed, or "-lh0-" stored when compression would not make a member
// smaller (always for empty members). On failure `archive` is left empty.
LzhStatus WriteLzhArchive(std::span<const LzhWriteMember> members,
                          std::vector<std::uint8_t>& archive, const LzhWriteOptions& options = {});

}  // namespace qzarn
