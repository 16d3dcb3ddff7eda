#include "forms/picture_export_form.h"

#include <cmath>

namespace qzarn::forms {

std::string SavePictureTitle(std::string_view caption) {
  return std::string(kSavePictureCaption) + " [" + std::string(caption) + "]";
}

std::string SavePictureDefaultName(std::string_view caption) {
  return std::string(caption) + ".BMP";
}

ExportTarget ResolveExportTarget(const std::string& requested) {
  if (const std::optional<render::PictureKind> kind = render::PictureKindFromPath(requested))
    return {*kind, requested};
  return {render::PictureKind::kBmp, requested + ".BMP"};
}

PictureExportForm::PictureExportForm(render::Size surface_size)
    : surface(surface_size), width(surface_size.width), height(surface_size.height) {}

void PictureExportForm::SetWidth(int w) {
  width = w;
  if (keep_proportions && surface.width > 0)
    height = static_cast<int>(std::lround(static_cast<double>(w) * surface.height / surface.width));
}

void PictureExportForm::SetHeight(int h) {
  height = h;
  if (keep_proportions && surface.height > 0)
    width = static_cast<int>(std::lround(static_cast<double>(h) * surface.width / surface.height));
}

std::optional<std::string> PictureExportForm::Check(render::PictureKind kind) const {
  if (kind == render::PictureKind::kPdf) {
    if (dpi < kMinPdfDpi || dpi > kMaxPdfDpi)
      return "解像度には " + std::to_string(kMinPdfDpi) + " から " + std::to_string(kMaxPdfDpi) +
             " までの整数を入力してください．";
    return std::nullopt;
  }
  if (width < kMinPictureSide || width > kMaxPictureSide || height < kMinPictureSide ||
      height > kMaxPictureSide)
    return "画像の大きさには " + std::to_string(kMinPictureSide) + " から " +
           std::to_string(kMaxPictureSide) + " までの整数を入力してください．";
  return std::nullopt;
}

render::Size PictureExportForm::PictureSize(render::PictureKind kind) const {
  if (kind == render::PictureKind::kPdf) return surface;
  return render::Size{width, height};
}

}  // namespace qzarn::forms
