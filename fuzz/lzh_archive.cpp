// Feeds arbitrary bytes to the archive reader, then checks that every member
// it decodes survives our writer and reader unchanged; the input itself is
// also packed and unpacked, which exercises the encoder on any data shape.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/crc16.h"
#include "platform/lzh_archive.h"

namespace {

void CheckRoundTrip(std::span<const std::uint8_t> data) {
  const qzarn::LzhWriteMember member{"FUZZ.QZL", data};
  std::vector<std::uint8_t> archive;
  if (!qzarn::WriteLzhArchive(std::span(&member, 1), archive).ok()) std::abort();
  std::vector<std::uint8_t> back;
  if (!qzarn::ReadLzhMember(archive, 0, back).ok()) std::abort();
  if (!std::equal(back.begin(), back.end(), data.begin(), data.end())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::span<const std::uint8_t> input(bytes, size);
  std::vector<qzarn::LzhMember> members;
  const qzarn::LzhStatus listed = qzarn::ListLzhMembers(input, members);
  if (!listed.ok() && !members.empty()) std::abort();

  qzarn::LzhReadLimits limits;
  limits.max_member_size = std::uint64_t{256} << 10;
  const std::size_t tries = std::max<std::size_t>(members.size(), 1);
  for (std::size_t i = 0; i < tries && i < 8; ++i) {
    std::vector<std::uint8_t> data;
    const qzarn::LzhStatus read = qzarn::ReadLzhMember(input, i, data, limits);
    if (!read.ok()) {
      if (!data.empty() || read.message.empty()) std::abort();
      continue;
    }
    // A member read successfully is one the listing saw, with its size and CRC.
    if (i < members.size() &&
        (data.size() != members[i].original_size || qzarn::Crc16(data) != members[i].crc))
      std::abort();
    CheckRoundTrip(data);
  }
  CheckRoundTrip(input);
  return 0;
}
