#include "render/save_picture.h"

#include <cstdio>
#include <vector>

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

bool WriteWhole(const std::string& path, const std::vector<std::uint8_t>& bytes,
                std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    error = "cannot create " + path;
    return false;
  }
  const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!wrote || !closed) {
    std::remove(path.c_str());  // never leave a partly written picture
    error = "cannot write " + path;
    return false;
  }
  return true;
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
  if (!WriteWhole(target.path, bytes, error)) return false;
  written = target.path;
  return true;
}

}  // namespace qzarn::render
