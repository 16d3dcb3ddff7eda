#pragma once
// Writing a screen picture to an image file, chosen by the file's extension:
// ".BMP" a 24-bit Windows bitmap, ".JPG" a baseline JPEG of quality 90, any
// other name gets ".BMP" appended and is written as a bitmap.

#include <string>

#include "platform/rgb_image.h"

namespace qzarn::render {

inline constexpr int kPictureJpegQuality = 90;

enum class PictureFormat { kBmp, kJpeg };

// The format and the final file name for a requested name (the extension is
// compared without regard to case).
struct PictureTarget {
  PictureFormat format = PictureFormat::kBmp;
  std::string path;
};
PictureTarget ResolvePictureTarget(const std::string& requested);

// Writes the picture; on failure no file is left behind and error says why.
// Returns the path actually written in `written` on success.
bool SaveAsPicture(const RgbImage& picture, const std::string& requested, std::string& written,
                   std::string& error);

}  // namespace qzarn::render
