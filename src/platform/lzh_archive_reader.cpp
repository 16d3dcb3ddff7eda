// Reading members through liblhasa from a buffer in memory. liblhasa parses
// the headers and decodes every method; we keep the byte offsets ourselves,
// take the stored name bytes from the raw header (liblhasa rewrites names for
// extraction to disk), and check the CRC that lha_reader_read leaves unchecked.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <string>

extern "C" {
#include <lhasa.h>
}

#include "platform/crc16.h"
#include "platform/lzh_archive.h"

namespace qzarn {
namespace {

LzhStatus Fail(LzhError error, std::string message) {
  return {error, std::move(message)};
}

std::uint32_t ReadLe(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = width; i-- > 0;)
    value = (value << 8) | bytes[at + i];
  return value;
}

// The bytes liblhasa's stream takes for the start of a member header; it
// would skip anything else as a self-extractor stub, which a document never has.
bool StartsWithMemberHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 22 || bytes[2] != '-' || bytes[6] != '-') return false;
  const char a = static_cast<char>(bytes[3]);
  const char b = static_cast<char>(bytes[4]);
  const char c = static_cast<char>(bytes[5]);
  return (a == 'l' && b == 'h') || (a == 'l' && b == 'z' && (c == '4' || c == '5' || c == 's')) ||
         (a == 'p' && b == 'm' && c != 's');
}

// How many bytes the header starting at `at` claims, as far as its first
// fields tell; 0 when not even those are present.
std::size_t ClaimedHeaderSize(std::span<const std::uint8_t> bytes, std::size_t at) {
  const std::size_t left = bytes.size() - at;
  if (left < 22) return 0;
  switch (bytes[at + 20]) {
    case 0:
    case 1:
      return std::size_t{bytes[at]} + 2;
    case 2:
      return ReadLe(bytes, at, 2);
    case 3:
      return left < 28 ? 0 : ReadLe(bytes, at + 24, 4);
    default:
      return 22;
  }
}

// Name bytes as stored: the level-0/1 name field, replaced or completed by
// the filename (0x01) and directory (0x02) extended headers.
std::string StoredName(const LHAFileHeader& header) {
  const std::span<const std::uint8_t> raw(header.raw_data, header.raw_data_len);
  auto text = [&](std::size_t at, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(raw.data() + at), size);
  };
  std::string directory;
  std::string file;
  std::size_t at = 0;
  std::size_t field = 2;
  switch (header.header_level) {
    case 0:
    case 1:
      if (raw.size() < 22 || 22u + raw[21] > raw.size()) return {};
      file = text(22, raw[21]);
      if (header.header_level == 0) return file;
      at = raw[0];
      break;
    case 2:
      at = 24;
      break;
    default:
      at = 28;
      field = 4;
      break;
  }
  while (at + field <= raw.size()) {
    const std::size_t size = ReadLe(raw, at, field);
    if (size <= field || size > raw.size() - at) break;
    const std::uint8_t type = raw[at + field];
    const std::size_t payload = at + field + 1;
    const std::size_t payload_size = size - field - 1;
    if (type == 0x01) file = text(payload, payload_size);
    if (type == 0x02 && payload_size > 0) {
      directory = text(payload, payload_size);
      std::replace(directory.begin(), directory.end(), '\xFF', '\\');
      if (directory.back() != '\\') directory.push_back('\\');
    }
    at += size;
  }
  return directory + file;
}

struct MemorySource {
  std::span<const std::uint8_t> bytes;
  std::size_t position = 0;
};

int SourceRead(void* handle, void* buf, std::size_t buf_len) {
  auto* source = static_cast<MemorySource*>(handle);
  const std::size_t n = std::min({buf_len, source->bytes.size() - source->position,
                                  std::size_t{std::numeric_limits<int>::max()}});
  if (n > 0) std::memcpy(buf, source->bytes.data() + source->position, n);
  source->position += n;
  return static_cast<int>(n);
}

int SourceSkip(void* handle, std::size_t bytes) {
  auto* source = static_cast<MemorySource*>(handle);
  if (bytes > source->bytes.size() - source->position) {
    source->position = source->bytes.size();
    return 0;
  }
  source->position += bytes;
  return 1;
}

constexpr LHAInputStreamType kSourceType = {SourceRead, SourceSkip, nullptr};

// Steps through the regular-file members of an archive in memory.
class MemberWalker {
 public:
  explicit MemberWalker(std::span<const std::uint8_t> archive) : source_{archive} {
    if (!archive.empty() && archive[0] != 0) {
      if (archive.size() < 22) {
        status_ = Fail(LzhError::kTruncated, "the archive ends inside the first member header");
        return;
      }
      if (!StartsWithMemberHeader(archive)) {
        status_ =
            Fail(LzhError::kNotAnArchive, "the data does not start with an LZH member header");
        return;
      }
    }
    stream_ = lha_input_stream_new(&kSourceType, &source_);
    if (stream_ != nullptr) reader_ = lha_reader_new(stream_);
    if (reader_ == nullptr) {
      if (stream_ != nullptr) lha_input_stream_free(stream_);
      throw std::bad_alloc();
    }
    // Directories are reported once, as stored; nothing is deferred.
    lha_reader_set_dir_policy(reader_, LHA_READER_DIR_PLAIN);
  }
  ~MemberWalker() {
    if (reader_ != nullptr) lha_reader_free(reader_);
    if (stream_ != nullptr) lha_input_stream_free(stream_);
  }
  MemberWalker(const MemberWalker&) = delete;
  MemberWalker& operator=(const MemberWalker&) = delete;

  const LzhStatus& status() const { return status_; }
  LHAReader* reader() const { return reader_; }

  // Moves to the next regular-file member and describes it; false at the
  // end of the archive or on an error (then status() says which).
  bool Next(LzhMember& member) {
    const std::span<const std::uint8_t> bytes = source_.bytes;
    while (status_.ok()) {
      if (header_start_ >= bytes.size()) {
        // Without the end byte, an archive cut right after a member would
        // pass for a complete one.
        if (header_start_ > 0)
          status_ = Fail(LzhError::kTruncated, "the archive ends without its end-of-archive byte");
        return false;
      }
      if (bytes[header_start_] == 0) return false;
      LHAFileHeader* header = lha_reader_next_file(reader_);
      if (header == nullptr) {
        const std::size_t claimed = ClaimedHeaderSize(bytes, header_start_);
        const bool cut = claimed == 0 || claimed > bytes.size() - header_start_;
        status_ = Fail(cut ? LzhError::kTruncated : LzhError::kCorruptHeader,
                       (cut ? "the archive ends inside the header at byte "
                            : "unreadable member header at byte ") +
                           std::to_string(header_start_));
        return false;
      }
      const std::size_t data_start = header_start_ + header->raw_data_len;
      if (data_start > bytes.size() || header->compressed_length > bytes.size() - data_start) {
        status_ = Fail(LzhError::kTruncated, "the archive ends inside the data of member \"" +
                                                 StoredName(*header) + "\"");
        return false;
      }
      header_start_ = data_start + header->compressed_length;
      if (std::strcmp(header->compress_method, LHA_COMPRESS_TYPE_DIR) == 0) continue;
      member.name = StoredName(*header);
      member.method.assign(header->compress_method, strnlen(header->compress_method, 5));
      member.original_size = header->length;
      member.packed_size = header->compressed_length;
      member.header_level = header->header_level;
      member.crc = header->crc;
      member.timestamp = header->timestamp;
      return true;
    }
    return false;
  }

 private:
  MemorySource source_;
  LHAInputStream* stream_ = nullptr;
  LHAReader* reader_ = nullptr;
  std::size_t header_start_ = 0;
  LzhStatus status_;
};

LzhStatus DecodeCurrent(LHAReader* reader, const LzhMember& member, const HeadCheck& head,
                        std::vector<std::uint8_t>& data) {
  char method[6] = {};
  std::memcpy(method, member.method.data(), std::min<std::size_t>(member.method.size(), 5));
  if (lha_decoder_for_name(method) == nullptr)
    return Fail(LzhError::kUnsupportedMethod,
                "member \"" + member.name + "\" uses the unknown method " + member.method);

  // Grow with the output rather than trusting the header's size up front.
  const std::size_t size = static_cast<std::size_t>(member.original_size);
  data.reserve(std::min<std::size_t>(size, std::size_t{4} << 20));
  std::uint8_t chunk[65536];
  const LzhStatus rejected =
      Fail(LzhError::kRejectedContent, "member \"" + member.name + "\" does not start as expected");
  bool head_pending = static_cast<bool>(head.accept);
  while (data.size() < size) {
    // Only the head is decoded until it was accepted, so that a refusal costs only the head.
    const std::size_t step =
        head_pending ? std::max<std::size_t>(head.size - data.size(), 1) : sizeof chunk;
    const std::size_t want = std::min({sizeof chunk, step, size - data.size()});
    const std::size_t got = lha_reader_read(reader, chunk, want);
    if (got == 0) break;
    // Capacity doubles but never passes the promised size, so a member that keeps its promise
    // ends in a buffer of exactly its size (plain vector growth could double once more).
    const std::size_t n = std::min(got, want);
    if (data.capacity() - data.size() < n)
      data.reserve(std::min(size, std::max(2 * data.capacity(), data.size() + n)));
    data.insert(data.end(), chunk, chunk + n);
    if (head_pending && data.size() >= head.size) {
      head_pending = false;
      if (!head.accept(std::span(data).first(head.size))) return rejected;
    }
  }
  // A member shorter than the head is judged whole.
  if (head_pending && !head.accept(data)) return rejected;
  if (data.size() < size)
    return Fail(LzhError::kCorruptData, "member \"" + member.name + "\" decodes to only " +
                                            std::to_string(data.size()) + " of " +
                                            std::to_string(size) + " bytes");
  const std::uint16_t crc = Crc16(data);
  if (crc != member.crc) {
    char text[64];
    std::snprintf(text, sizeof text, " (header %04X, data %04X)", member.crc, crc);
    return Fail(LzhError::kCrcMismatch, "CRC error in member \"" + member.name + "\"" + text);
  }
  return LzhStatus::Ok();
}

}  // namespace

LzhStatus ListLzhMembers(std::span<const std::uint8_t> archive, std::vector<LzhMember>& members) {
  members.clear();
  MemberWalker walker(archive);
  LzhMember member;
  while (walker.Next(member))
    members.push_back(member);
  if (!walker.status().ok()) members.clear();
  return walker.status();
}

LzhStatus ReadLzhMember(std::span<const std::uint8_t> archive, std::size_t index,
                        std::vector<std::uint8_t>& data, const LzhReadLimits& limits) {
  data.clear();
  MemberWalker walker(archive);
  LzhMember member;
  for (std::size_t i = 0; i <= index; ++i) {
    if (walker.Next(member)) continue;
    if (!walker.status().ok()) return walker.status();
    return Fail(LzhError::kNoSuchMember, "the archive has only " + std::to_string(i) +
                                             " members, no member " + std::to_string(index));
  }
  if (member.original_size > limits.max_member_size)
    return Fail(LzhError::kMemberTooLarge,
                "member \"" + member.name + "\" claims " + std::to_string(member.original_size) +
                    " bytes, more than the limit of " + std::to_string(limits.max_member_size));
  LzhStatus status = DecodeCurrent(walker.reader(), member, limits.head, data);
  if (!status.ok()) data.clear();
  return status;
}

}  // namespace qzarn
