#include "render/save_picture.h"

#include <vector>

#include "platform/binary_io.h"
#include "platform/image_codec.h"

namespace qzarn::render {

namespace {

std::string UpperExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return ext;
}

}  // namespace

PictureTarget ResolvePictureTarget(const std::string& requested) {
  const std::string ext = UpperExtension(requested);
  if (ext == ".JPG") return {PictureFormat::kJpeg, requested};
  if (ext == ".BMP") return {PictureFormat::kBmp, requested};
  return {PictureFormat::kBmp, requested + ".BMP"};
}

bool SaveAsPicture(const RgbImage& picture, const std::string& requested, std::string& written,
                   std::string& error) {
  if (picture.empty()) {
    error = "empty picture";
    return false;
  }
  const PictureTarget target = ResolvePictureTarget(requested);
  std::vector<std::uint8_t> bytes;
  if (target.format == PictureFormat::kJpeg) {
    if (!EncodeJpeg(picture, kPictureJpegQuality, bytes, error)) return false;
  } else {
    bytes = EncodeBmp(picture);
  }
  // Like a document: a temporary file renamed over the target once every write and the close
  // succeeded, so a full disk leaves the previous picture and no partial one.
  if (!WriteFileAtomically(target.path, bytes, error)) return false;
  written = target.path;
  return true;
}

}  // namespace qzarn::render
