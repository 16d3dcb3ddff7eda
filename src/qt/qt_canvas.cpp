#include "qt/qt_canvas.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <vector>

#include "qt/qt_fonts.h"
#include "qt/qt_image.h"
#include "render/line_style_dda.h"

namespace qzarn {

using render::BrushStyle;
using render::PenStyle;

namespace {

Qt::PenStyle ToQtPenStyle(PenStyle style) {
  switch (style) {
    case PenStyle::kSolid:
      return Qt::SolidLine;
    case PenStyle::kDash:
      return Qt::DashLine;
    case PenStyle::kDot:
      return Qt::DotLine;
    case PenStyle::kDashDot:
      return Qt::DashDotLine;
    case PenStyle::kDashDotDot:
      return Qt::DashDotDotLine;
    case PenStyle::kClear:
      return Qt::NoPen;
  }
  return Qt::SolidLine;
}

// Fill pattern 4 runs from upper left to lower right, which Qt (like Windows)
// calls the forward diagonal; pattern 5 is Qt's backward diagonal "/".
Qt::BrushStyle ToQtBrushStyle(BrushStyle style) {
  switch (style) {
    case BrushStyle::kClear:
      return Qt::NoBrush;
    case BrushStyle::kSolid:
      return Qt::SolidPattern;
    case BrushStyle::kHorizontal:
      return Qt::HorPattern;
    case BrushStyle::kVertical:
      return Qt::VerPattern;
    case BrushStyle::kBackDiagonal:
      return Qt::FDiagPattern;
    case BrushStyle::kForwardDiagonal:
      return Qt::BDiagPattern;
    case BrushStyle::kCross:
      return Qt::CrossPattern;
    case BrushStyle::kDiagonalCross:
      return Qt::DiagCrossPattern;
  }
  return Qt::NoBrush;
}

QPointF Shifted(render::Point p, double off) {
  return {p.x + off, p.y + off};
}
QPointF Shifted(render::PointF p, double off) {
  return {p.x + off, p.y + off};
}

// Box through the centres of the outermost pixels of an edge-exclusive box.
QRectF CentreBox(const render::RectF& b, double off) {
  return QRectF(QPointF(b.left + off, b.top + off), QPointF(b.right - 1 + off, b.bottom - 1 + off));
}

render::RectF ToRectF(const render::Rect& r) {
  return {double(r.left), double(r.top), double(r.right), double(r.bottom)};
}

}  // namespace

QPen ToQPen(const render::Pen& pen, bool smooth) {
  QPen q(ToQtPenStyle(pen.style));
  q.setColor(ToQColor(pen.colour));
  q.setWidth(std::max(pen.width, 1));
  // A flat end on a 1-pixel line leaves out its last pixel, as window
  // systems draw lines; wide lines get round ends and joins. Without
  // antialiasing, a round end of a 2- or 3-pixel line covers the same pixels
  // as a square one but is built from curves for every dash mark, which made
  // dashed figures cost most of a picture; such lines get square ends.
  Qt::PenCapStyle cap = Qt::RoundCap;
  if (pen.width <= 1)
    cap = Qt::FlatCap;
  else if (pen.width <= 3 && !smooth)
    cap = Qt::SquareCap;
  q.setCapStyle(cap);
  q.setJoinStyle(Qt::RoundJoin);
  return q;
}

QtCanvas::QtCanvas(QPainter& painter, render::Size device) : painter_(painter), device_(device) {
  InstallFontSubstitutions();
}

void QtCanvas::ForgetPainterState() {
  applied_.reset();
  applied_pen_.reset();
  applied_brush_.reset();
}

double QtCanvas::Offset() const {
  return state().antialiasing && state().raster_mode == render::RasterMode::kCopy ? 0.5 : 0.0;
}

void QtCanvas::SyncModes() {
  const render::CanvasState& s = state();
  if (applied_ && applied_->raster_mode == s.raster_mode &&
      applied_->antialiasing == s.antialiasing && applied_->clip == s.clip &&
      applied_->background == s.background && applied_->background_mode == s.background_mode) {
    return;
  }
  const bool xor_mode = s.raster_mode == render::RasterMode::kNotXor;
  painter_.setCompositionMode(xor_mode ? QPainter::RasterOp_NotSourceXorDestination
                                       : QPainter::CompositionMode_SourceOver);
  // NOT-XOR stays aliased: blended edge pixels would not cancel out.
  const bool smooth = s.antialiasing && !xor_mode;
  painter_.setRenderHint(QPainter::Antialiasing, smooth);
  painter_.setRenderHint(QPainter::TextAntialiasing, smooth);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
  if (s.clip) {
    painter_.setClipRect(QRect(s.clip->left, s.clip->top, s.clip->width(), s.clip->height()));
  } else {
    painter_.setClipping(false);
  }
  painter_.setBackground(QBrush(ToQColor(s.background)));
  painter_.setBackgroundMode(
      s.background_mode == render::BackgroundMode::kOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
  if (!applied_) applied_.emplace();
  applied_->raster_mode = s.raster_mode;
  applied_->antialiasing = s.antialiasing;
  applied_->clip = s.clip;
  applied_->background = s.background;
  applied_->background_mode = s.background_mode;
}

void QtCanvas::Prepare(Use use) {
  SyncModes();
  const render::CanvasState& s = state();
  const render::Pen pen = use == Use::kFill ? render::Pen{0, 1, PenStyle::kClear} : s.pen;
  const render::Brush brush = use == Use::kStroke ? render::Brush{} : s.brush;
  const bool smooth = s.antialiasing && s.raster_mode == render::RasterMode::kCopy;
  if (applied_pen_ != pen || applied_pen_smooth_ != smooth) {
    painter_.setPen(ToQPen(pen, smooth));
    applied_pen_ = pen;
    applied_pen_smooth_ = smooth;
  }
  if (applied_brush_ != brush) {
    painter_.setBrush(QBrush(ToQColor(brush.colour), ToQtBrushStyle(brush.style)));
    applied_brush_ = brush;
  }
}

void QtCanvas::SetPixel(render::Point p, render::Colour colour) {
  SyncModes();
  painter_.fillRect(QRect(p.x, p.y, 1, 1), ToQColor(colour));
}

void QtCanvas::DrawLine(render::Point from, render::Point to) {
  Prepare(Use::kStroke);
  const double off = Offset();
  painter_.drawLine(QLineF(Shifted(from, off), Shifted(to, off)));
}

void QtCanvas::DrawLine(render::PointF from, render::PointF to) {
  Prepare(Use::kStroke);
  const double off = Offset();
  painter_.drawLine(QLineF(Shifted(from, off), Shifted(to, off)));
}

bool QtCanvas::PlotThinMarks(std::span<const render::Point> ends) {
  const render::CanvasState& s = state();
  if (s.pen.width > 1 || s.pen.style != PenStyle::kSolid || s.antialiasing ||
      s.raster_mode != render::RasterMode::kCopy)
    return false;
  QPaintDevice* device = painter_.device();
  if (device == nullptr || device->devType() != QInternal::Image) return false;
  auto* image = static_cast<QImage*>(device);
  const QImage::Format format = image->format();
  if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
       format != QImage::Format_ARGB32_Premultiplied) ||
      image->devicePixelRatio() != 1.0 || !image->isDetached() ||
      !painter_.deviceTransform().isIdentity())
    return false;
  // A clip the caller set on the painter itself is not known here.
  if (painter_.hasClipping() && !s.clip) return false;
  int left = 0, top = 0, right = image->width(), bottom = image->height();
  if (s.clip) {
    left = std::max(left, s.clip->left);
    top = std::max(top, s.clip->top);
    right = std::min(right, s.clip->right);
    bottom = std::min(bottom, s.clip->bottom);
  }
  const QRgb colour = 0xFF000000u | ToQColor(s.pen.colour).rgb();
  uchar* bits = image->bits();
  const qsizetype stride = image->bytesPerLine();
  for (std::size_t i = 0; i + 1 < ends.size(); i += 2) {
    render::StepLine(ends[i], ends[i + 1], [&](render::Point p) {
      if (p.x < left || p.x >= right || p.y < top || p.y >= bottom) return;
      reinterpret_cast<QRgb*>(bits + p.y * stride)[p.x] = colour;
    });
  }
  return true;
}

void QtCanvas::DrawLines(std::span<const render::Point> ends) {
  if (ends.size() < 2) return;
  Prepare(Use::kStroke);
  // Dashed figures hand over tens of thousands of marks of a pixel or two; set
  // their pixels directly (every pixel from a mark's start up to its end, as a
  // 1-pixel line is drawn) instead of a rasteriser round trip for each.
  if (PlotThinMarks(ends)) return;
  const double off = Offset();
  lines_.clear();
  lines_.reserve(static_cast<qsizetype>(ends.size() / 2));
  for (std::size_t i = 0; i + 1 < ends.size(); i += 2)
    lines_.append(QLineF(Shifted(ends[i], off), Shifted(ends[i + 1], off)));
  painter_.drawLines(lines_);
}

template <typename P>
void QtCanvas::Polyline(std::span<const P> points) {
  if (points.size() < 2) return;
  Prepare(Use::kStroke);
  const double off = Offset();
  QPolygonF poly;
  poly.reserve(static_cast<qsizetype>(points.size()));
  for (const P& p : points)
    poly.append(Shifted(p, off));
  // Pieces would restart a device dash and paint their shared points twice,
  // which a NOT-XOR line would show as holes.
  const render::CanvasState& s = state();
  const bool pieces = s.pen.style == PenStyle::kSolid && s.raster_mode == render::RasterMode::kCopy;
  const qsizetype n = poly.size();
  if (!pieces || n <= kPolylineChunk + kPolylineChunk / 4) {
    painter_.drawPolyline(poly.constData(), static_cast<int>(n));
    return;
  }
  for (qsizetype start = 0; start < n - 1; start += kPolylineChunk) {
    const qsizetype count = std::min<qsizetype>(kPolylineChunk + 1, n - start);
    painter_.drawPolyline(poly.constData() + start, static_cast<int>(count));
  }
}

void QtCanvas::DrawPolyline(std::span<const render::Point> points) {
  Polyline(points);
}
void QtCanvas::DrawPolyline(std::span<const render::PointF> points) {
  Polyline(points);
}

template <typename P>
void QtCanvas::Polygon(std::span<const P> points) {
  if (points.size() < 2) return;
  Prepare(Use::kStrokeAndFill);
  const double off = Offset();
  QPolygonF poly;
  poly.reserve(static_cast<qsizetype>(points.size()));
  for (const P& p : points)
    poly.append(Shifted(p, off));
  painter_.drawPolygon(poly, Qt::OddEvenFill);
}

void QtCanvas::DrawPolygon(std::span<const render::Point> points) {
  Polygon(points);
}
void QtCanvas::DrawPolygon(std::span<const render::PointF> points) {
  Polygon(points);
}

void QtCanvas::DrawRectangle(const render::Rect& box) {
  if (box.width() <= 0 || box.height() <= 0) return;
  if (state().brush.style != BrushStyle::kClear) {
    Prepare(Use::kFill);
    painter_.drawRect(QRectF(box.left, box.top, box.width(), box.height()));
  }
  if (state().pen.style != PenStyle::kClear) {
    Prepare(Use::kStroke);
    painter_.drawRect(CentreBox(ToRectF(box), Offset()));
  }
}

void QtCanvas::DrawEllipse(const render::Rect& box) {
  DrawEllipse(ToRectF(box));
}

void QtCanvas::DrawEllipse(const render::RectF& box) {
  Prepare(Use::kStrokeAndFill);
  painter_.drawEllipse(CentreBox(box, Offset()));
}

// closing: 0 open arc, 1 through the centre (pie), 2 straight back (chord).
void QtCanvas::ArcPath(const render::RectF& box, double start, double sweep, int closing) {
  Prepare(closing == 0 ? Use::kStroke : Use::kStrokeAndFill);
  const QRectF r = CentreBox(box, Offset());
  QPainterPath path;
  if (closing == 1) {
    path.moveTo(r.center());
    path.arcTo(r, start, sweep);
  } else {
    path.arcMoveTo(r, start);
    path.arcTo(r, start, sweep);
  }
  if (closing != 0) path.closeSubpath();
  painter_.drawPath(path);
}

void QtCanvas::DrawArc(const render::RectF& box, double start_degrees, double sweep_degrees) {
  ArcPath(box, start_degrees, sweep_degrees, 0);
}
void QtCanvas::DrawPie(const render::RectF& box, double start_degrees, double sweep_degrees) {
  ArcPath(box, start_degrees, sweep_degrees, 1);
}
void QtCanvas::DrawChord(const render::RectF& box, double start_degrees, double sweep_degrees) {
  ArcPath(box, start_degrees, sweep_degrees, 2);
}

QFont QtCanvas::ToQFont(const render::Font& font, bool antialiased) {
  QFont q(QString::fromUtf8(font.family.data(), static_cast<qsizetype>(font.family.size())));
  q.setPixelSize(std::max(font.height, 1));
  q.setBold((font.style & render::kFontBold) != 0);
  q.setItalic((font.style & render::kFontItalic) != 0);
  q.setUnderline((font.style & render::kFontUnderline) != 0);
  q.setStrikeOut((font.style & render::kFontStrikeOut) != 0);
  q.setStyleStrategy(antialiased ? QFont::PreferAntialias : QFont::NoAntialias);
  return q;
}

const QFont& QtCanvas::CurrentQFont() {
  const bool smooth = state().antialiasing && state().raster_mode == render::RasterMode::kCopy;
  if (!qfont_for_ || *qfont_for_ != font() || qfont_antialiased_ != smooth) {
    qfont_ = ToQFont(font(), smooth);
    qfont_for_ = font();
    qfont_antialiased_ = smooth;
  }
  return qfont_;
}

render::TextExtent QtCanvas::MeasureText(std::string_view utf8) {
  QFontMetrics metrics(CurrentQFont(), painter_.device());
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  return {metrics.horizontalAdvance(text), metrics.height(), metrics.ascent()};
}

void QtCanvas::DrawText(render::PointF at, std::string_view utf8) {
  if (utf8.empty()) return;
  const render::TextExtent extent = MeasureText(utf8);
  const render::PointF origin = render::AnchoredTextOrigin(at, extent, state().anchor);
  SyncModes();
  if (state().background_mode == render::BackgroundMode::kOpaque) {
    painter_.fillRect(QRectF(origin.x, origin.y, extent.width, extent.height),
                      ToQColor(state().background));
  }
  // The text colour is the font's; the cell background was painted above.
  painter_.setBackgroundMode(Qt::TransparentMode);
  painter_.setPen(QPen(ToQColor(font().colour)));
  applied_pen_.reset();
  applied_->background_mode = render::BackgroundMode::kTransparent;
  painter_.setFont(CurrentQFont());
  painter_.drawText(QPointF(origin.x, origin.y + extent.ascent),
                    QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

void QtCanvas::DrawImage(const render::Rect& target, const RgbImage& image) {
  if (target.width() <= 0 || target.height() <= 0) return;
  const QImage q = ToQImage(image);
  if (q.isNull()) return;
  SyncModes();
  painter_.drawImage(QRect(target.left, target.top, target.width(), target.height()), q);
}

}  // namespace qzarn
