#pragma once
// What the "ｲﾒｰｼﾞとして保存" dialog edits, apart from its window: the picture
// kind from the chosen name, the final file name (a name without a known
// extension gets ".BMP" and is written as a bitmap), the picture size in pixels
// or, for PDF, the pixels per inch, and antialiasing; with the checks made
// before anything is written.

#include <optional>
#include <string>
#include <string_view>

#include "render/picture_layout.h"

namespace qzarn::forms {

inline constexpr std::string_view kSavePictureCaption = "ｲﾒｰｼﾞとして保存";
inline constexpr std::string_view kSavePictureFailed = "ファイルの保存に失敗しました．";
// The file dialog's filters, the bitmap first as the default.
inline constexpr std::string_view kSavePictureFilters =
    "ビットマップ (*.bmp);;JPEG (*.jpg);;PNG (*.png);;SVG (*.svg);;PDF (*.pdf)";
inline constexpr int kMinPictureSide = 16, kMaxPictureSide = 10000;
inline constexpr int kMinPdfDpi = 10, kMaxPdfDpi = 2400, kDefaultPdfDpi = 96;

std::string SavePictureTitle(std::string_view caption);  // "ｲﾒｰｼﾞとして保存 [caption]"
std::string SavePictureDefaultName(std::string_view caption);  // caption + ".BMP"

struct ExportTarget {
  render::PictureKind kind = render::PictureKind::kBmp;
  std::string path;
};
ExportTarget ResolveExportTarget(const std::string& requested);

struct PictureExportForm {
  render::Size surface;  // the screen's drawing surface
  int width = 0;         // picture size in pixels (raster and SVG)
  int height = 0;
  int dpi = kDefaultPdfDpi;  // PDF: surface pixels per inch
  bool keep_proportions = true;
  bool antialiasing = true;

  explicit PictureExportForm(render::Size surface_size);
  // Typing one side with keep_proportions on sets the other from the surface.
  void SetWidth(int w);
  void SetHeight(int h);
  // The message for the first field out of range, or nothing when all are good.
  std::optional<std::string> Check(render::PictureKind kind) const;
  // The picture size for `kind` (a PDF page keeps the surface's pixels; its
  // size on paper comes from the dpi).
  render::Size PictureSize(render::PictureKind kind) const;
};

}  // namespace qzarn::forms
