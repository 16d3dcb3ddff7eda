#include "platform/lzh_archive.h"

namespace qzarn {

std::string_view LzhErrorName(LzhError error) {
  switch (error) {
    case LzhError::kNone:
      return "none";
    case LzhError::kNotAnArchive:
      return "not_an_archive";
    case LzhError::kCorruptHeader:
      return "corrupt_header";
    case LzhError::kTruncated:
      return "truncated";
    case LzhError::kNoSuchMember:
      return "no_such_member";
    case LzhError::kMemberTooLarge:
      return "member_too_large";
    case LzhError::kUnsupportedMethod:
      return "unsupported_method";
    case LzhError::kCorruptData:
      return "corrupt_data";
    case LzhError::kCrcMismatch:
      return "crc_mismatch";
    case LzhError::kInvalidName:
      return "invalid_name";
    case LzhError::kInputTooLarge:
      return "input_too_large";
    case LzhError::kRejectedContent:
      return "rejected_content";
  }
  return "unknown";
}

}  // namespace qzarn
