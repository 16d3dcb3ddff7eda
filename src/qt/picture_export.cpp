#include "qt/picture_export.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "platform/binary_io.h"
#include "platform/image_codec.h"
#include "qt/qt_canvas.h"
#include "qt/qt_image.h"
#include "render/save_picture.h"

namespace qzarn {

void PaintScreenPicture(QPainter& painter, Screen& screen, const render::RenderOptions& options,
                        const render::DrawScreenInputs& inputs,
                        const render::ScaledPicture& picture) {
  const render::Size surface{screen.View().ScreenWidth, screen.View().ScreenHeight};
  QtCanvas canvas(painter, picture.size);
  if (picture.scale == 1.0 && picture.size == surface) {
    render::DrawScreen(canvas, &screen, options, inputs);
    return;
  }
  // The scaled pass is the printing pass: coordinates, marks and fonts grow
  // by the factor, and the surface's edges are drawn afterwards.
  render::DrawScreenInputs scaled = inputs;
  scaled.print = render::PrintSetup{true, picture.scale, picture.size};
  render::RenderOptions wide = options;
  wide.print_line_width = true;
  wide.print_black = false;
  render::DrawScreen(canvas, &screen, wide, scaled);
  const bool frame_on = screen.View().BackgroundMode < 100;
  render::DrawScaledEdges(canvas,
                          render::ExportEdges(surface, picture.scale, picture.size, frame_on));
}

double PaintPrintPage(QPainter& painter, render::Size page, Screen& screen,
                      const render::RenderOptions& options, const render::DrawScreenInputs& inputs,
                      int percent, bool white_out) {
  const render::Size surface{screen.View().ScreenWidth, screen.View().ScreenHeight};
  // One line of the painter's font on this device is kept free at the foot.
  const double text_height =
      QFontMetricsF(painter.font(), painter.device()).boundingRect(QStringLiteral("確認")).height();
  const double scale = render::PrintScale(page.width, page.height, text_height, surface.width,
                                          surface.height, percent);
  QtCanvas canvas(painter, page);
  render::DrawScreenInputs printed = inputs;
  printed.print = render::PrintSetup{true, scale, page};
  render::DrawScreen(canvas, &screen, options, printed);
  render::ScaledEdges edges =
      render::PrintEdges(surface, scale, page, screen.View().BackgroundMode < 100);
  if (!white_out) edges.white_right = edges.white_below = render::Rect{};
  render::DrawScaledEdges(canvas, edges);
  return scale;
}

namespace {

// Every picture is complete in memory before anything is written, then goes through the
// same checked temporary file and rename as a document: a full disk or any failed write fails
// the export and keeps the previous picture, whatever the format.
bool WriteBytes(const QByteArray& bytes, const std::string& path, std::string& error) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
  return WriteFileAtomically(path, std::span(data, static_cast<std::size_t>(bytes.size())), error);
}

bool WriteRaster(const QImage& image, render::PictureKind kind, const std::string& path,
                 std::string& error) {
  if (kind == render::PictureKind::kPng) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
      error = "cannot encode the picture as PNG";
      return false;
    }
    return WriteBytes(bytes, path, error);
  }
  std::vector<std::uint8_t> encoded;
  const RgbImage rgb = FromQImage(image);
  if (kind == render::PictureKind::kJpeg) {
    if (!EncodeJpeg(rgb, render::kPictureJpegQuality, encoded, error)) return false;
  } else {
    encoded = EncodeBmp(rgb);
  }
  return WriteFileAtomically(path, encoded, error);
}

// The painter must be ended before the file is committed; false when the
// device refused the painter.
template <typename Device>
bool PaintOn(Device& device, Screen& screen, const render::RenderOptions& options,
             const render::DrawScreenInputs& inputs, const render::ScaledPicture& picture) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  PaintScreenPicture(painter, screen, options, inputs, picture);
  return painter.end();
}

bool PaintSvg(QIODevice& out, Screen& screen, const render::RenderOptions& options,
              const render::DrawScreenInputs& inputs, const render::ScaledPicture& picture) {
  QSvgGenerator svg;
  svg.setOutputDevice(&out);
  svg.setSize(QSize(picture.size.width, picture.size.height));
  svg.setViewBox(QRect(0, 0, picture.size.width, picture.size.height));
  svg.setTitle(QStringLiteral("Q-ZARN"));
  return PaintOn(svg, screen, options, inputs, picture);
}

}  // namespace

bool ExportScreenPicture(Screen& screen, const render::RenderOptions& options,
                         const render::DrawScreenInputs& inputs, const PictureRequest& request,
                         const std::string& path, std::string& error) {
  const render::Size surface{screen.View().ScreenWidth, screen.View().ScreenHeight};
  if (surface.width <= 0 || surface.height <= 0 || surface.width > kMaxPictureSide ||
      surface.height > kMaxPictureSide) {
    error = "surface size " + std::to_string(surface.width) + " x " +
            std::to_string(surface.height) + " is out of range";
    return false;
  }
  const render::ScaledPicture picture = render::FitPicture(surface, request.size, request.scale);
  if (picture.size.width > kMaxPictureSide || picture.size.height > kMaxPictureSide) {
    error = "picture size " + std::to_string(picture.size.width) + " x " +
            std::to_string(picture.size.height) + " is larger than " +
            std::to_string(kMaxPictureSide) + " pixels a side";
    return false;
  }
  render::RenderOptions opts = options;
  opts.antialiasing = request.antialiasing;
  const QString title = QStringLiteral("Q-ZARN");

  if (!render::IsVectorKind(request.kind)) {
    QImage image(picture.size.width, picture.size.height, QImage::Format_RGB32);
    if (image.isNull()) {
      error = "not enough memory for the picture";
      return false;
    }
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      PaintScreenPicture(painter, screen, opts, inputs, picture);
    }
    return WriteRaster(image, request.kind, path, error);
  }

  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::WriteOnly);
  bool painted = false;
  if (request.kind == render::PictureKind::kSvg) {
    painted = PaintSvg(out, screen, opts, inputs, picture);
  } else {
    const double dpi = request.pdf_dpi > 0 ? request.pdf_dpi : kDefaultPdfDpi;
    QPdfWriter pdf(&out);
    pdf.setTitle(title);
    pdf.setCreator(title);
    pdf.setResolution(static_cast<int>(dpi));
    const QSizeF points(picture.size.width * 72.0 / static_cast<int>(dpi),
                        picture.size.height * 72.0 / static_cast<int>(dpi));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    painted =
        pdf.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch)) &&
        PaintOn(pdf, screen, opts, inputs, picture);
  }
  if (!painted || bytes.isEmpty()) {
    error = "cannot draw the picture into " + path;
    return false;
  }
  return WriteBytes(bytes, path, error);
}

QByteArray ScreenPictureSvg(Screen& screen, const render::RenderOptions& options,
                            const render::DrawScreenInputs& inputs) {
  const render::Size surface{screen.View().ScreenWidth, screen.View().ScreenHeight};
  if (surface.width <= 0 || surface.height <= 0 || surface.width > kMaxPictureSide ||
      surface.height > kMaxPictureSide)
    return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!PaintSvg(buffer, screen, options, inputs, render::FitPicture(surface, std::nullopt, 1.0)))
    return {};
  return bytes;
}

}  // namespace qzarn
