#pragma once
// Reading and writing the two picture formats a document holds: Windows BMP
// files (DIBs) and JPEG files. Decoding never trusts sizes in the header: every
// row must lie inside the given bytes, and a corrupt picture is an error, never
// a crash.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/rgb_image.h"

namespace qzarn {

// BMP: BITMAPINFOHEADER and its later versions (and the old 12-byte core header), 1, 4, 8, 16,
// 24 and 32 bits per pixel, uncompressed or with bit fields (16 and 32 bits), bottom-up or
// top-down rows. Compressed (RLE) and embedded-PNG/JPEG bitmaps are refused.
bool DecodeBmp(std::span<const std::uint8_t> bytes, RgbImage& out, std::string& error);
// Writes a 24-bit bottom-up BMP file with a BITMAPINFOHEADER and 96 dpi.
std::vector<std::uint8_t> EncodeBmp(const RgbImage& image);

// JPEG through libjpeg: grey, RGB/YCbCr and CMYK/YCCK pictures decode to RGB. Errors of the
// library come back as text instead of ending the process.
bool DecodeJpeg(std::span<const std::uint8_t> bytes, RgbImage& out, std::string& error);
// Baseline JPEG, quality clamped to 1..100. Fails only for an empty picture or a library error.
bool EncodeJpeg(const RgbImage& image, int quality, std::vector<std::uint8_t>& out,
                std::string& error);

// Picks the decoder by the leading bytes ("BM" or the JPEG start marker).
bool DecodeImage(std::span<const std::uint8_t> bytes, RgbImage& out, std::string& error);

}  // namespace qzarn
