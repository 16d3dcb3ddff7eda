// Writing archives: one level-2 header per member (the level every current
// LZH reader understands, with room for long names and sizes), then the
// member data, then the end-of-archive byte.

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/crc16.h"
#include "platform/lzh_archive.h"
#include "platform/lzh_lh5_encoder.h"

namespace qzarn {
namespace {

constexpr std::uint8_t kArchiveAttribute = 0x20;
// Operating-system byte: our documents come from a Windows lineage.
constexpr std::uint8_t kOsWindows = 'w';
constexpr std::uint8_t kExtCommon = 0x00;
constexpr std::uint8_t kExtFilename = 0x01;

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void SetLe16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

LzhStatus CheckMember(const LzhWriteMember& member) {
  const std::string& name = member.name;
  if (name.empty() || name.size() > kLzhMaxNameLength)
    return {LzhError::kInvalidName, "member name must have 1 to " +
                                        std::to_string(kLzhMaxNameLength) + " bytes, not " +
                                        std::to_string(name.size())};
  if (name.find_first_of(std::string_view("\0/\xFF", 3)) != std::string::npos)
    return {LzhError::kInvalidName, "member name \"" + name + "\" holds a 0x00, '/' or 0xFF byte"};
  if (member.data.size() > std::numeric_limits<std::uint32_t>::max())
    return {LzhError::kInputTooLarge,
            "member \"" + name + "\" has more than 4 GiB, beyond the LZH size field"};
  return LzhStatus::Ok();
}

void AppendMember(const LzhWriteMember& member, std::uint32_t timestamp,
                  std::vector<std::uint8_t>& out) {
  std::vector<std::uint8_t> packed = lzh::EncodeLh5(member.data);
  const bool store = packed.empty() || packed.size() >= member.data.size();
  std::span<const std::uint8_t> payload = store ? member.data : std::span(packed);

  const std::size_t start = out.size();
  PutLe(out, 0, 2);  // header size, set below
  const char* method = store ? "-lh0-" : "-lh5-";
  out.insert(out.end(), method, method + 5);
  PutLe(out, static_cast<std::uint32_t>(payload.size()), 4);
  PutLe(out, static_cast<std::uint32_t>(member.data.size()), 4);
  PutLe(out, timestamp, 4);
  out.push_back(kArchiveAttribute);
  out.push_back(2);  // header level
  PutLe(out, Crc16(member.data), 2);
  out.push_back(kOsWindows);
  // Extended headers, each [size incl. this field][type][payload]: the common
  // header holding the CRC of the whole header, then the file name.
  PutLe(out, 5, 2);
  out.push_back(kExtCommon);
  const std::size_t header_crc_at = out.size();
  PutLe(out, 0, 2);
  PutLe(out, static_cast<std::uint32_t>(3 + member.name.size()), 2);
  out.push_back(kExtFilename);
  out.insert(out.end(), member.name.begin(), member.name.end());
  PutLe(out, 0, 2);  // no further extended header
  // A header whose size has a zero low byte would read as the end-of-archive
  // byte, so such a header gets one byte of padding.
  if (((out.size() - start) & 0xFF) == 0) out.push_back(0);
  SetLe16(out, start, static_cast<std::uint32_t>(out.size() - start));
  SetLe16(out, header_crc_at,
          Crc16(std::span<const std::uint8_t>(out).subspan(start, out.size() - start)));

  out.insert(out.end(), payload.begin(), payload.end());
}

}  // namespace

LzhStatus WriteLzhArchive(std::span<const LzhWriteMember> members,
                          std::vector<std::uint8_t>& archive, const LzhWriteOptions& options) {
  archive.clear();
  for (const LzhWriteMember& member : members) {
    LzhStatus status = CheckMember(member);
    if (!status.ok()) return status;
  }
  for (const LzhWriteMember& member : members)
    AppendMember(member, options.timestamp, archive);
  archive.push_back(0);  // end of archive
  return LzhStatus::Ok();
}

}  // namespace qzarn
