// JPEG through libjpeg. The library reports fatal errors by calling error_exit,
// which by default ends the process; here it jumps back to the caller with the
// library's message, so a corrupt picture in a document is an ordinary error.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "platform/image_codec.h"

namespace qzarn {
namespace {

// Decoding stops after this many scans or warnings: a hostile progressive file can
// otherwise keep the decoder busy for minutes on a small picture.
constexpr int kMaxScans = 400;
constexpr long kMaxWarnings = 1000;

struct ErrorManager {
  jpeg_error_mgr pub;  // first member: libjpeg casts the pointer back
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  if (++cinfo->err->num_warnings > kMaxWarnings) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "too many corrupt-data warnings");
    std::longjmp(err->jump, 1);
  }
}

void OnProgress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "too many scans");
    std::longjmp(err->jump, 1);
  }
}

void InstallErrorManager(j_common_ptr cinfo, ErrorManager& err) {
  cinfo->err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.emit_message = OnMessage;
  err.message[0] = '\0';
}

// Converts one decoded scan line to RGB. CMYK from Adobe files is stored inverted.
void ToRgb(const JSAMPLE* src, int components, bool cmyk, int width, std::uint8_t* dst) {
  for (int x = 0; x < width; ++x, dst += 3) {
    if (cmyk) {
      const JSAMPLE* p = src + x * 4;
      const int k = p[3];
      dst[0] = static_cast<std::uint8_t>(p[0] * k / 255);
      dst[1] = static_cast<std::uint8_t>(p[1] * k / 255);
      dst[2] = static_cast<std::uint8_t>(p[2] * k / 255);
    } else if (components == 1) {
      dst[0] = dst[1] = dst[2] = src[x];
    } else {
      std::memcpy(dst, src + x * 3, 3);
    }
  }
}

// Runs the whole decompression; only trivially destructible objects live in this frame while
// longjmp may return to it. Returns false with err.message set on failure.
bool Decompress(std::span<const std::uint8_t> bytes, RgbImage* out, ErrorManager& err,
                std::vector<JSAMPLE>* line) {
  jpeg_decompress_struct cinfo;
  jpeg_progress_mgr progress;
  InstallErrorManager(reinterpret_cast<j_common_ptr>(&cinfo), err);
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  progress.progress_monitor = OnProgress;
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxImageSide ||
      cinfo.image_height > kMaxImageSide ||
      static_cast<std::uint64_t>(cinfo.image_width) * cinfo.image_height > kMaxImagePixels) {
    std::snprintf(err.message, sizeof err.message, "picture too large");
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  if (cmyk)
    cinfo.out_color_space = JCS_CMYK;
  else if (cinfo.jpeg_color_space != JCS_GRAYSCALE)
    cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  const int width = static_cast<int>(cinfo.output_width);
  const int height = static_cast<int>(cinfo.output_height);
  const int components = cinfo.output_components;
  if (components != (cmyk ? 4 : (cinfo.out_color_space == JCS_GRAYSCALE ? 1 : 3))) {
    std::snprintf(err.message, sizeof err.message, "unsupported colour layout");
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  *out = RgbImage(width, height);
  line->assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(components), 0);
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = static_cast<int>(cinfo.output_scanline);
    JSAMPROW row = line->data();
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    ToRgb(line->data(), components, cmyk, width, out->row(y));
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

bool Compress(const RgbImage& image, int quality, unsigned char** buffer, unsigned long* size,
              ErrorManager& err) {
  jpeg_compress_struct cinfo;
  InstallErrorManager(reinterpret_cast<j_common_ptr>(&cinfo), err);
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, buffer, size);
  cinfo.image_width = static_cast<JDIMENSION>(image.width);
  cinfo.image_height = static_cast<JDIMENSION>(image.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    // libjpeg takes non-const rows but only reads them.
    JSAMPROW row = const_cast<JSAMPROW>(image.row(static_cast<int>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

bool DecodeJpeg(std::span<const std::uint8_t> bytes, RgbImage& out, std::string& error) {
  if (bytes.size() < 4) {
    error = "JPEG: truncated";
    return false;
  }
  ErrorManager err;
  RgbImage img;
  std::vector<JSAMPLE> line;
  if (!Decompress(bytes, &img, err, &line)) {
    error = std::string("JPEG: ") + err.message;
    return false;
  }
  out = std::move(img);
  return true;
}

bool EncodeJpeg(const RgbImage& image, int quality, std::vector<std::uint8_t>& out,
                std::string& error) {
  if (image.empty() || image.width > kMaxImageSide || image.height > kMaxImageSide ||
      image.pixels.size() != image.stride() * static_cast<std::size_t>(image.height)) {
    error = "JPEG: empty or malformed picture";
    return false;
  }
  quality = quality < 1 ? 1 : (quality > 100 ? 100 : quality);
  ErrorManager err;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const bool ok = Compress(image, quality, &buffer, &size, err);
  if (ok) out.assign(buffer, buffer + size);
  std::free(buffer);  // jpeg_mem_dest allocates with malloc
  if (!ok) error = std::string("JPEG: ") + err.message;
  return ok;
}

}  // namespace qzarn
