// A web page has neither the LZH library nor the JPEG library. Compressed lessons are
// expanded when a page is published, and background pictures are decoded by the browser
// (which knows JPEG and BMP) before the page draws; what reaches these calls anyway is
// refused with a reason the page shows.
#include "platform/image_codec.h"
#include "platform/lzh_archive.h"

namespace qzarn {
namespace {

LzhStatus Unavailable() {
  return {LzhError::kUnsupportedMethod,
          "a compressed lesson opens in the desktop program; a published page holds it expanded"};
}

}  // namespace

LzhStatus ListLzhMembers(std::span<const std::uint8_t>, std::vector<LzhMember>& members) {
  members.clear();
  return Unavailable();
}

LzhStatus ReadLzhMember(std::span<const std::uint8_t>, std::size_t, std::vector<std::uint8_t>& data,
                        const LzhReadLimits&) {
  data.clear();
  return Unavailable();
}

bool DecodeJpeg(std::span<const std::uint8_t>, RgbImage&, std::string& error) {
  error = "the page's JPEG pictures are decoded by the browser";
  return false;
}

bool EncodeJpeg(const RgbImage&, int, std::vector<std::uint8_t>&, std::string& error) {
  error = "a web page writes no JPEG files";
  return false;
}

}  // namespace qzarn
