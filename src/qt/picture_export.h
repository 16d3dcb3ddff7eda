#pragma once
// Writing a screen's picture as PNG, BMP, JPEG, SVG or PDF, at the surface
// size or enlarged/reduced. Raster and vector pictures go through the same
// drawing pass on a QPainter; only the painter's device differs. Files are
// written beside the target and renamed into place, so a failure leaves no
// partial file.

// The core headers come before Qt's: figure_table.h has a member named slots().
#include "document/screen.h"
#include "render/draw_screen.h"
#include "render/picture_layout.h"

#include <QByteArray>
#include <QPainter>
#include <optional>
#include <string>

namespace qzarn {

struct PictureRequest {
  render::PictureKind kind = render::PictureKind::kPng;
  std::optional<render::Size> size;  // fit into this size
  double scale = 1.0;                // or enlarge by this factor
  bool antialiasing = true;
  double pdf_dpi = 96;  // the surface's pixels per inch on a PDF page
};

inline constexpr double kDefaultPdfDpi = 96;
// Largest side of an exported picture, in pixels.
inline constexpr int kMaxPictureSide = 10000;

// Draws the screen on a painter whose device is `picture.size` pixels: the
// plain screen pass at scale 1 and the surface size, else the scaled pass with
// white beyond the surface and the outer frame grown with the picture.
void PaintScreenPicture(QPainter& painter, Screen& screen, const render::RenderOptions& options,
                        const render::DrawScreenInputs& inputs,
                        const render::ScaledPicture& picture);

// The printing pass on an active painter whose device is a page of `page`
// device pixels: the surface fitted to the page at `percent` (10..100) of the
// largest size, less one text line at the foot; with `white_out` the page
// beyond the surface is painted white, then the screen's outer frame (when it
// shows one) is drawn 1 pixel wide. Returns the print factor used.
double PaintPrintPage(QPainter& painter, render::Size page, Screen& screen,
                      const render::RenderOptions& options, const render::DrawScreenInputs& inputs,
                      int percent, bool white_out);

// Writes the picture to `path` exactly (no extension is added). False with a
// reason in `error`; then nothing exists at `path` that was not there before.
bool ExportScreenPicture(Screen& screen, const render::RenderOptions& options,
                         const render::DrawScreenInputs& inputs, const PictureRequest& request,
                         const std::string& path, std::string& error);

// The screen picture at the surface size as an SVG document, for the system
// clipboard beside the bitmap; empty when it cannot be drawn.
QByteArray ScreenPictureSvg(Screen& screen, const render::RenderOptions& options,
                            const render::DrawScreenInputs& inputs);

}  // namespace qzarn
