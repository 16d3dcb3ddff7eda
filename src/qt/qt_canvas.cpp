#include "qt/qt_canvas.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPolygonF>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "qt/qt_fonts.h"
#include "qt/qt_image.h"
#include "render/line_style_dda.h"
#include "render/segment_clip.h"

namespace qzarn {

// An image the canvas may set pixels in directly, with the part it may touch.
// A canvas drawing one band of a picture, or a picture redrawn in clipped
// pieces, touches only its own part but decides how to draw by the whole
// image, so that every part draws a mark the same way.
struct DirectPixels {
  uchar* bits = nullptr;
  qsizetype stride = 0;
  int left = 0, top = 0, right = 0, bottom = 0;  // what the clip and the band leave
  int width = 0;                                 // the whole image's
};

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

// The box round a list of points (NaN where there are none).
template <typename P>
std::array<double, 4> PointsBox(std::span<const P> points) {
  std::array<double, 4> box{std::numeric_limits<double>::quiet_NaN(), 0, 0, 0};
  if (points.empty()) return box;
  box = {double(points[0].x), double(points[0].y), double(points[0].x), double(points[0].y)};
  for (const P& p : points) {
    box[0] = std::min(box[0], double(p.x));
    box[1] = std::min(box[1], double(p.y));
    box[2] = std::max(box[2], double(p.x));
    box[3] = std::max(box[3], double(p.y));
  }
  return box;
}

// Box through the centres of the outermost pixels of an edge-exclusive box.
QRectF CentreBox(const render::RectF& b, double off) {
  return QRectF(QPointF(b.left + off, b.top + off), QPointF(b.right - 1 + off, b.bottom - 1 + off));
}

render::RectF ToRectF(const render::Rect& r) {
  return {double(r.left), double(r.top), double(r.right), double(r.bottom)};
}

// The raster engine's product of the four bytes of x with a / 255.
quint32 ByteMultiply(quint32 x, quint32 a) {
  quint32 t = (x & 0xFF00FFu) * a;
  t = (t + ((t >> 8) & 0xFF00FFu) + 0x800080u) >> 8;
  t &= 0xFF00FFu;
  x = ((x >> 8) & 0xFF00FFu) * a;
  x = x + ((x >> 8) & 0xFF00FFu) + 0x800080u;
  x &= 0xFF00FF00u;
  return x | t;
}

// An opaque colour laid over a premultiplied pixel with a coverage of 0..255,
// as the raster engine blends a solid span.
QRgb BlendCovered(QRgb under, QRgb colour, quint32 coverage) {
  const quint32 c = ByteMultiply(colour, coverage);
  return c + ByteMultiply(under, qAlpha(~c));
}

// A pixel covered by `cover` (any value: at most 0 leaves it, from 1 on it
// takes the colour) blended as the raster engine blends a span. Without a
// branch: a coverage of 255 gives the colour and 0 the pixel itself, to the
// bit, so the pixels along an antialiased edge cost no mispredicted jumps.
inline void CoverPixel(QRgb& pixel, QRgb colour, double cover) {
  const double clamped = cover < 0 ? 0.0 : cover > 1 ? 1.0 : cover;
  pixel = BlendCovered(pixel, colour, static_cast<quint32>(clamped * 255 + 0.5));
}

// Round-ended strokes and circle outlines up to this width are set as
// pixels; wider ones go to the rasteriser. Their cost follows their length
// times their width on the picture, where the rasteriser's wide smooth lines
// and outlines cost several times more.
constexpr int kWidestPixelStroke = 8;

// Sets the pixels of a round-ended stroke from a to b (pixel centres at whole
// coordinates), each covered by how far its centre lies inside the stroke's
// edge: exact along straight edges, within antialiasing rounding at the ends.
// This is what a round-ended smooth line costs most in the rasteriser: it
// builds each end from curves and fills the outline as a general path.
// How many rows ahead the stroke and outline loops ask for the pixels.
constexpr int kRowsAhead = 6;

void PlotRoundStroke(const DirectPixels& px, QPointF a, QPointF b, double width, QRgb colour) {
  const double r = width / 2;
  const double reach = r + 0.5;  // beyond this distance from the stroke's spine nothing is inked
  // A pixel's distances from the spine are worked out from the pixel alone,
  // never summed along the row from where its drawing starts: a picture
  // redrawn in clipped pieces sets the pixels a whole drawing sets, and a
  // row starting far left of the clip costs nothing to step over.
  const int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.x(), b.x()) - r)));
  const int x1 = std::min(px.width - 1, static_cast<int>(std::ceil(std::max(a.x(), b.x()) + r)));
  const int y0 = std::max(px.top, static_cast<int>(std::floor(std::min(a.y(), b.y()) - r)));
  const int y1 = std::min(px.bottom - 1, static_cast<int>(std::ceil(std::max(a.y(), b.y()) + r)));
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double length2 = dx * dx + dy * dy;
  const double length = std::sqrt(length2);
  // On each row only the pixels within `reach` of the stroke's line can be
  // inked: around where the line crosses the row, as wide as the stroke
  // measured along the row. A slanted stroke then costs its length times its
  // width instead of its whole bounding box.
  const bool slanted = std::fabs(dy) > 1e-6;
  const double half_span = slanted ? reach * length / std::fabs(dy) + 0.5 : 0;
  const double inverse_length = length > 0 ? 1 / length : 0;
  const double across_step = dy * inverse_length;
  const double run = slanted ? dx / dy : 0;
  for (int y = y0; y <= y1; ++y) {
    int from = x0, to = x1;
    if (slanted) {
      const double cross_x = a.x() + (y - a.y()) * run;
      from = std::max(x0, static_cast<int>(std::floor(cross_x - half_span)));
      to = std::min(x1, static_cast<int>(std::ceil(cross_x + half_span)));
    }
    QRgb* row = reinterpret_cast<QRgb*>(px.bits + y * px.stride);
    // A steep stroke reads a new cache line every row, at a stride the
    // processor does not foresee: ask for the rows ahead before they are
    // blended, or every row waits for memory.
    if (slanted && y + kRowsAhead <= y1) {
      const double ahead_x = a.x() + (y + kRowsAhead - a.y()) * run;
      const int at = std::clamp(static_cast<int>(ahead_x), x0, x1);
      __builtin_prefetch(px.bits + (y + kRowsAhead) * px.stride + at * 4, 1);
    }
    const double ay = y - a.y();
    const int first = std::max(from, px.left), last = std::min(to, px.right - 1);
    if (first > last) continue;
    // Across the spine, pixel x lies x * across_step + across_row away; along
    // it, at (x - a.x) * dx + ay * dy (squared length units).
    const double across_row = -(a.x() * dy + ay * dx) * inverse_length;
    const double along_row = ay * dy;
    const double first_along = (first - a.x()) * dx + along_row;
    const double last_along = (last - a.x()) * dx + along_row;
    // Most rows of a long stroke lie wholly beside its spine (away from its
    // ends): there the distance is the one across it alone.
    if (length2 > 0 && std::min(first_along, last_along) > 0 &&
        std::max(first_along, last_along) < length2) {
      for (int x = first; x <= last; ++x)
        CoverPixel(row[x], colour, reach - std::fabs(x * across_step + across_row));
      continue;
    }
    for (int x = first; x <= last; ++x) {
      const double ax = x - a.x();
      const double along = ax * dx + along_row;
      double distance;
      if (length2 > 0 && along > 0 && along < length2) {
        // Beside the spine: the distance across it, no root needed.
        distance = std::fabs(x * across_step + across_row);
      } else {
        const double t = along <= 0 || !(length2 > 0) ? 0.0 : 1.0;
        const double ex = ax - t * dx, ey = ay - t * dy;
        distance = std::sqrt(ex * ex + ey * ey);
      }
      CoverPixel(row[x], colour, reach - distance);
    }
  }
}

// The eight rows of a hatch brush as the raster engine repeats it from the
// device origin: bit x of row y is set where the pattern is inked. Read back
// from the engine itself, so the pixels set directly show the same pattern.
std::array<std::uint8_t, 8> HatchRows(BrushStyle style) {
  // All at once: the bands of one picture ask from several threads.
  static const std::array<std::array<std::uint8_t, 8>, 8> known = [] {
    std::array<std::array<std::uint8_t, 8>, 8> all{};
    for (std::size_t s = 0; s < all.size(); ++s) {
      QImage cell(8, 8, QImage::Format_RGB32);
      cell.fill(Qt::white);
      {
        QPainter painter(&cell);
        painter.fillRect(QRect(0, 0, 8, 8),
                         QBrush(Qt::black, ToQtBrushStyle(static_cast<BrushStyle>(s))));
      }
      for (int y = 0; y < 8; ++y) {
        std::uint8_t bits = 0;
        for (int x = 0; x < 8; ++x)
          if (qRed(cell.pixel(x, y)) < 128) bits = static_cast<std::uint8_t>(bits | (1u << x));
        all[s][static_cast<std::size_t>(y)] = bits;
      }
    }
    return all;
  }();
  return known[static_cast<std::size_t>(style)];
}

// What an ellipse fill lays on each pixel: the brush colour, or for a hatch
// brush its pattern with the gaps left alone or (opaque) in the background.
struct EllipseInk {
  QRgb colour = 0;
  QRgb gap = 0;
  bool gaps_filled = false;
  std::array<std::uint8_t, 8> rows{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

  // coverage 1..255
  void Lay(QRgb& pixel, int x, int y, quint32 coverage) const {
    const bool inked = (rows[static_cast<std::size_t>(y & 7)] >> (x & 7) & 1u) != 0;
    if (!inked && !gaps_filled) return;
    const QRgb ink = inked ? colour : gap;
    pixel = coverage >= 255 ? ink : BlendCovered(pixel, ink, coverage);
  }
  // Pixels from..to of a row, all covered fully.
  void LayRun(QRgb* row, int from, int to, int y) const {
    if (from > to) return;
    const unsigned bits = rows[static_cast<std::size_t>(y & 7)];
    if (bits == 0xFF) {
      std::fill(row + from, row + to + 1, colour);
      return;
    }
    for (int x = from; x <= to; ++x) {
      if ((bits >> (x & 7) & 1u) != 0) {
        row[x] = colour;
      } else if (gaps_filled) {
        row[x] = gap;
      }
    }
  }
};

// Fills the ellipse through the centres of the outermost pixels of `box`
// (edges exclusive), each pixel covered by how far its centre lies inside
// the outline: exact inside, within antialiasing rounding along the edge.
void FillEllipse(const DirectPixels& px, const render::RectF& box, const EllipseInk& ink) {
  const double cx = (box.left + box.right - 1) / 2, cy = (box.top + box.bottom - 1) / 2;
  const double rx = (box.right - 1 - box.left) / 2, ry = (box.bottom - 1 - box.top) / 2;
  const int y0 = std::max(px.top, static_cast<int>(std::floor(cy - ry - 1)));
  const int y1 = std::min(px.bottom - 1, static_cast<int>(std::ceil(cy + ry + 1)));
  // Rows of the ellipse grown by a pixel hold every inked pixel; rows of the
  // one shrunk by a pixel and a half are covered fully.
  auto half_width = [](double radius_x, double radius_y, double dy) {
    if (radius_x <= 0 || radius_y <= 0) return -1.0;
    const double q = 1 - (dy / radius_y) * (dy / radius_y);
    return q <= 0 ? -1.0 : radius_x * std::sqrt(q);
  };
  const double ax = 1 / (rx * rx), ay = 1 / (ry * ry);
  const bool circle = rx == ry;
  for (int y = y0; y <= y1; ++y) {
    const double dy = y - cy;
    const double outer = half_width(rx + 1, ry + 1, dy);
    if (outer < 0) continue;
    const int from = std::max(px.left, static_cast<int>(std::floor(cx - outer)));
    const int to = std::min(px.right - 1, static_cast<int>(std::ceil(cx + outer)));
    const double inner = half_width(rx - 1.5, ry - 1.5, dy);
    int solid_from = to + 1, solid_to = to;
    if (inner >= 0) {
      solid_from = std::max(from, static_cast<int>(std::ceil(cx - inner)));
      solid_to = std::min(to, static_cast<int>(std::floor(cx + inner)));
      if (solid_from > solid_to) solid_from = solid_to = to + 1;
    }
    QRgb* row = reinterpret_cast<QRgb*>(px.bits + y * px.stride);
    auto edge = [&](int x) {
      // Distance to the outline, from the ellipse's level function and its
      // gradient (exact for a circle).
      const double dx = x - cx;
      double distance;
      if (circle) {
        distance = std::sqrt(dx * dx + dy * dy) - rx;
      } else {
        const double g = std::sqrt(dx * dx * ax + dy * dy * ay);
        const double gradient = std::sqrt(dx * dx * ax * ax + dy * dy * ay * ay);
        distance = gradient > 0 ? (g - 1) * g / gradient : -std::min(rx, ry);
      }
      const double cover = 0.5 - distance;
      if (cover <= 0) return;
      ink.Lay(row[x], x, y, cover >= 1 ? 255u : static_cast<quint32>(cover * 255 + 0.5));
    };
    for (int x = from; x < std::min(solid_from, to + 1); ++x)
      edge(x);
    ink.LayRun(row, solid_from, std::min(solid_to, to), y);
    for (int x = std::max(from, solid_to + 1); x <= to; ++x)
      edge(x);
  }
}

// Sets the outline of the circle through the centres of the outermost
// pixels of `box` (edges exclusive), `width` pixels wide and centred on it,
// each pixel covered by how far its centre lies inside the outline's edges.
void StrokeCircle(const DirectPixels& px, const render::RectF& box, double width, QRgb colour) {
  const double cx = (box.left + box.right - 1) / 2, cy = (box.top + box.bottom - 1) / 2;
  const double r = (box.right - 1 - box.left) / 2;
  const double reach = width / 2 + 0.5;  // beyond this distance from the outline nothing is inked
  const double outer = r + reach, inner = r - reach;
  const int y0 = std::max(px.top, static_cast<int>(std::floor(cy - outer)));
  const int y1 = std::min(px.bottom - 1, static_cast<int>(std::ceil(cy + outer)));
  for (int y = y0; y <= y1; ++y) {
    const double dy = y - cy;
    const double q_out = outer * outer - dy * dy;
    if (q_out <= 0) continue;
    const double x_out = std::sqrt(q_out);
    // Within x_in of the centre the row lies inside the ring's hole.
    const double x_in =
        inner > 0 && inner * inner > dy * dy ? std::sqrt(inner * inner - dy * dy) : -1;
    QRgb* row = reinterpret_cast<QRgb*>(px.bits + y * px.stride);
    // The outline's two sides a few rows on, asked for ahead as a steep
    // stroke's are.
    if (const double ahead = y + kRowsAhead - cy;
        y + kRowsAhead <= y1 && outer * outer > ahead * ahead) {
      const double half = std::sqrt(outer * outer - ahead * ahead);
      const uchar* ahead_row = px.bits + (y + kRowsAhead) * px.stride;
      for (const double x : {cx - half, cx + half}) {
        const int at = std::clamp(static_cast<int>(x), px.left, px.right - 1);
        __builtin_prefetch(ahead_row + at * 4, 1);
      }
    }
    auto span = [&](double from, double to) {
      const int x_from = std::max(px.left, static_cast<int>(std::floor(from)));
      const int x_to = std::min(px.right - 1, static_cast<int>(std::ceil(to)));
      for (int x = x_from; x <= x_to; ++x) {
        const double dx = x - cx;
        CoverPixel(row[x], colour, reach - std::fabs(std::sqrt(dx * dx + dy * dy) - r));
      }
    };
    if (x_in < 0) {
      span(cx - x_out, cx + x_out);
    } else {
      span(cx - x_out, cx - x_in);
      span(cx + x_in, cx + x_out);
    }
  }
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

void QtCanvas::SetBand(int top, int bottom) {
  band_ = Band{top, std::max(top, bottom)};
  applied_.reset();
}

std::optional<render::Rect> QtCanvas::KeptPixels() const {
  if (!band_ && !pixel_clip_) return std::nullopt;
  render::Rect kept{0, 0, device_.width, device_.height};
  if (pixel_clip_) kept = *pixel_clip_;
  if (band_) {
    kept.top = std::max(kept.top, band_->top);
    kept.bottom = std::max(kept.top, std::min(kept.bottom, band_->bottom));
  }
  return kept;
}

bool QtCanvas::MissesKept(double left, double top, double right, double bottom,
                          double reach) const {
  const std::optional<render::Rect> kept = KeptPixels();
  if (!kept) return false;
  // Not a number compares false: such a box is left to the painter.
  return right + reach < kept->left || left - reach > kept->right || bottom + reach < kept->top ||
         top - reach > kept->bottom;
}

double QtCanvas::PenReach() const {
  const render::Pen& pen = state().pen;
  return pen.style == PenStyle::kClear ? 2.0 : std::max(pen.width, 1) + 2.0;
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
  if (s.clip || band_) {
    QRect clip = s.clip ? QRect(s.clip->left, s.clip->top, s.clip->width(), s.clip->height())
                        : QRect(0, 0, device_.width, device_.height);
    if (band_) {
      // Rows beyond the device stay inside the band only if they were inside
      // the clip anyway: only the band's own rows are cut.
      clip.setTop(std::max(clip.top(), band_->top));
      clip.setBottom(std::min(clip.bottom(), band_->bottom - 1));
      if (!clip.isValid()) clip = QRect(band_->top, band_->top, 0, 0);
    }
    painter_.setClipRect(clip);
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

bool QtCanvas::Smooth() const {
  return state().antialiasing && state().raster_mode == render::RasterMode::kCopy;
}

bool QtCanvas::CutsLines() const {
  return Smooth() && state().pen.style == PenStyle::kSolid;
}

void QtCanvas::Prepare(Use use, Ends ends) {
  SyncModes();
  const render::CanvasState& s = state();
  const render::Pen pen = use == Use::kFill ? render::Pen{0, 1, PenStyle::kClear} : s.pen;
  const render::Brush brush = use == Use::kStroke ? render::Brush{} : s.brush;
  const bool smooth = Smooth();
  if (applied_pen_ != pen || applied_pen_smooth_ != smooth || applied_ends_ != ends) {
    QPen q = ToQPen(pen, smooth);
    if (ends == Ends::kHidden) {
      q.setCapStyle(Qt::FlatCap);
    } else if (ends == Ends::kRunOn && pen.width > 1) {
      q.setCapStyle(Qt::SquareCap);
    }
    painter_.setPen(q);
    applied_pen_ = pen;
    applied_pen_smooth_ = smooth;
    applied_ends_ = ends;
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

namespace {

// Nothing of a stroke outside this box can reach the device: it is wider than
// any pen end, square ends at a corner included.
render::RectF CutBox(render::Size device, int pen_width) {
  const double margin = std::max(pen_width, 1) + 2.0;
  return {-margin, -margin, device.width + margin, device.height + margin};
}

}  // namespace

template <typename P>
void QtCanvas::Line(P from, P to) {
  const double off = Offset();
  QPointF a = Shifted(from, off), b = Shifted(to, off);
  Ends ends = Ends::kAsPen;
  if (CutsLines() && a != b) {
    const std::optional<render::ClippedSegment> cut =
        render::ClipSegment({a.x(), a.y()}, {b.x(), b.y()}, CutBox(device_, state().pen.width));
    if (!cut) return;
    a = {cut->from.x, cut->from.y};
    b = {cut->to.x, cut->to.y};
    if (cut->from_cut && cut->to_cut) ends = Ends::kHidden;
  }
  if (MissesKept(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()),
                 std::max(a.y(), b.y()), PenReach()))
    return;
  Prepare(Use::kStroke, ends);
  // Ends cut off lie beyond the picture by more than a round end reaches.
  if (ends != Ends::kRunOn && PlotRoundStrokes(a, b, RoundStrokePixels())) return;
  painter_.drawLine(QLineF(a, b));
}

void QtCanvas::DrawLine(render::Point from, render::Point to) {
  Line(from, to);
}

void QtCanvas::DrawLine(render::PointF from, render::PointF to) {
  Line(from, to);
}

void QtCanvas::StrokeCutLines(std::span<const render::Point> ends, bool joined) {
  const double off = Offset();
  const render::RectF box = CutBox(device_, state().pen.width);
  lines_.clear();
  open_lines_.clear();
  const std::size_t count = ends.size() / 2;
  Prepare(Use::kStroke);
  const std::optional<DirectPixels> direct = RoundStrokePixels();
  for (std::size_t i = 0; i < count; ++i) {
    const render::Point p = ends[2 * i], q = ends[2 * i + 1];
    bool start_open = joined && i > 0 && ends[2 * i - 1] == p;
    bool end_open = joined && i + 1 < count && ends[2 * i + 2] == q;
    QPointF a = Shifted(p, off), b = Shifted(q, off);
    bool cut_start = false, cut_end = false;
    if (p != q) {
      const std::optional<render::ClippedSegment> cut =
          render::ClipSegment({a.x(), a.y()}, {b.x(), b.y()}, box);
      if (!cut) continue;
      a = {cut->from.x, cut->from.y};
      b = {cut->to.x, cut->to.y};
      cut_start = cut->from_cut;
      cut_end = cut->to_cut;
      start_open = start_open || cut_start;
      end_open = end_open || cut_end;
    }
    // A line cut off at both ends shows no end on the picture, nor any
    // joint with the pieces beside it: its pixels are set as DrawLine sets a
    // whole line's, the same whatever band of the picture a canvas draws.
    if (p != q && cut_start && cut_end && PlotRoundStrokes(a, b, direct)) continue;
    // A dot keeps its round end whatever its neighbours.
    if (start_open && end_open && p != q) {
      open_lines_.append(QLineF(a, b));
    } else if (!PlotRoundStrokes(a, b, direct)) {
      lines_.append(QLineF(a, b));
    }
  }
  // One pen colour: the order of the two calls does not change the blend.
  if (!open_lines_.isEmpty()) {
    Prepare(Use::kStroke, joined ? Ends::kRunOn : Ends::kHidden);
    PaintLines(open_lines_);
  }
  if (!lines_.isEmpty()) {
    Prepare(Use::kStroke);
    PaintLines(lines_);
  }
}

void QtCanvas::PaintLines(const QList<QLineF>& lines) {
  // A picture written as SVG or PDF (or sent to the printer) makes every line
  // an element of its own, and a dotted grid line is hundreds of one-pixel
  // marks: the lines of one call go as the pieces of one path instead. A
  // device dash would run on across the pieces, so only solid pens do.
  const QPaintEngine* engine = painter_.paintEngine();
  if (lines.size() < 2 || engine == nullptr || engine->type() == QPaintEngine::Raster ||
      state().pen.style != PenStyle::kSolid) {
    painter_.drawLines(lines);
    return;
  }
  // A piece without length draws nothing in a path: dots stay lines.
  QPainterPath path;
  dots_.clear();
  for (const QLineF& line : lines) {
    if (line.p1() == line.p2()) {
      dots_.append(line);
      continue;
    }
    path.moveTo(line.p1());
    path.lineTo(line.p2());
  }
  painter_.drawPath(path);
  if (!dots_.isEmpty()) painter_.drawLines(dots_);
}

std::optional<DirectPixels> QtCanvas::Direct(bool blending) {
  if (state().pen.style != PenStyle::kSolid) return std::nullopt;
  return DirectImage(blending);
}

std::optional<DirectPixels> QtCanvas::DirectImage(bool blending) {
  const render::CanvasState& s = state();
  if (s.raster_mode != render::RasterMode::kCopy) return std::nullopt;
  QPaintDevice* device = painter_.device();
  if (device == nullptr || device->devType() != QInternal::Image) return std::nullopt;
  auto* image = static_cast<QImage*>(device);
  const QImage::Format format = image->format();
  // Blending with coverage is written for premultiplied pixels.
  const bool formats =
      blending ? (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied)
               : (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                  format == QImage::Format_ARGB32_Premultiplied);
  if (!formats || image->devicePixelRatio() != 1.0 || !image->isDetached() ||
      !painter_.deviceTransform().isIdentity())
    return std::nullopt;
  // A clip the caller set on the painter itself is not known here.
  if (painter_.hasClipping() && !s.clip && !band_) return std::nullopt;
  DirectPixels px{image->bits(),   image->bytesPerLine(), 0, 0, image->width(),
                  image->height(), image->width()};
  if (s.clip) {
    px.left = std::max(px.left, s.clip->left);
    px.top = std::max(px.top, s.clip->top);
    px.right = std::min(px.right, s.clip->right);
    px.bottom = std::min(px.bottom, s.clip->bottom);
  }
  if (pixel_clip_) {
    px.left = std::max(px.left, pixel_clip_->left);
    px.top = std::max(px.top, pixel_clip_->top);
    px.right = std::max(px.left, std::min(px.right, pixel_clip_->right));
    px.bottom = std::max(px.top, std::min(px.bottom, pixel_clip_->bottom));
  }
  if (band_) {
    px.top = std::max(px.top, band_->top);
    px.bottom = std::max(px.top, std::min(px.bottom, band_->bottom));
  }
  return px;
}

bool QtCanvas::PlotRoundStrokes(QPointF a, QPointF b, const std::optional<DirectPixels>& px) {
  if (!px) return false;
  const int width = state().pen.width;
  // A dot is not cut to the picture: one far outside (or not a number) is
  // left to the rasteriser rather than turned into pixel indices.
  // The ends of a line cut to the picture lie on the cutting box within
  // rounding: a pixel of slack keeps them here with the others.
  const render::RectF reach = CutBox(device_, width + 1);
  for (QPointF p : {a, b})
    if (!(p.x() >= reach.left && p.x() <= reach.right && p.y() >= reach.top &&
          p.y() <= reach.bottom))
      return false;
  const double off = Offset();
  PlotRoundStroke(*px, a - QPointF(off, off), b - QPointF(off, off), width,
                  0xFF000000u | ToQColor(state().pen.colour).rgb());
  return true;
}

std::optional<DirectPixels> QtCanvas::RoundStrokePixels() {
  const int width = state().pen.width;
  // Round ends are the pen's only from two pixels on, and smooth ones only here.
  if (!Smooth() || width < 2 || width > kWidestPixelStroke) return std::nullopt;
  return Direct(true);
}

bool QtCanvas::PlotThinMarks(std::span<const render::Point> ends,
                             std::vector<render::Point>& rest) {
  const render::CanvasState& s = state();
  if (s.pen.width > 1) return false;
  const bool smooth = s.antialiasing;
  const std::optional<DirectPixels> direct = Direct(smooth);
  if (!direct) return false;
  const int left = direct->left, top = direct->top, right = direct->right, bottom = direct->bottom;
  const auto* image = static_cast<const QImage*>(painter_.device());
  const int image_width = image->width(), image_height = image->height();
  const QRgb colour = 0xFF000000u | ToQColor(s.pen.colour).rgb();
  uchar* bits = direct->bits;
  const qsizetype stride = direct->stride;
  auto pixel = [&](int x, int y) -> QRgb& { return reinterpret_cast<QRgb*>(bits + y * stride)[x]; };
  for (std::size_t i = 0; i + 1 < ends.size(); i += 2) {
    const render::Point a = ends[i], b = ends[i + 1];
    // A mark along a row, a column or a diagonal covers whole pixels, from
    // its first pixel up to the one where the next gap begins, with or
    // without antialiasing: a dotted line of one-pixel marks stays dots
    // instead of half covering every pixel of the row.
    if (smooth) {
      const long long dx = static_cast<long long>(b.x) - a.x,
                      dy = static_cast<long long>(b.y) - a.y;
      // A dot of a dotted line: its one pixel, as the path below sets it.
      if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 && (dx != 0 || dy != 0) &&
          static_cast<unsigned>(a.x) < static_cast<unsigned>(image_width) &&
          static_cast<unsigned>(b.x) < static_cast<unsigned>(image_width) &&
          static_cast<unsigned>(a.y) < static_cast<unsigned>(image_height) &&
          static_cast<unsigned>(b.y) < static_cast<unsigned>(image_height)) {
        if (a.x >= left && a.x < right && a.y >= top && a.y < bottom) pixel(a.x, a.y) = colour;
        continue;
      }
      const bool straight =
          (dx != 0 || dy != 0) && (dx == 0 || dy == 0 || std::llabs(dx) == std::llabs(dy));
      // Whether a mark takes this path is decided against the whole image,
      // never the clip: a clip only keeps some of its pixels, so a picture
      // redrawn in clipped pieces sets the pixels a whole drawing sets.
      const bool inside = std::min(a.x, b.x) >= 0 && std::max(a.x, b.x) < image_width &&
                          std::min(a.y, b.y) >= 0 && std::max(a.y, b.y) < image_height;
      if (!straight || !inside) {
        rest.push_back(a);
        rest.push_back(b);
        continue;
      }
      // Along a row, a column or a diagonal the stepped pixels are a fixed
      // stride apart, all inside: no walk and no bounds per pixel.
      const long long steps = std::max(std::llabs(dx), std::llabs(dy));
      const qsizetype stride_pixels = stride / static_cast<qsizetype>(sizeof(QRgb));
      const qsizetype step = (dy > 0   ? stride_pixels
                              : dy < 0 ? -stride_pixels
                                       : 0) +
                             (dx > 0   ? 1
                              : dx < 0 ? -1
                                       : 0);
      // The steps k (pixel a + k * direction) inside the clip and the band.
      long long first = 0, last = steps;
      const auto keep = [&](long long from, long long direction, long long low, long long high) {
        if (direction > 0) {
          first = std::max(first, low - from);
          last = std::min(last, high - from);
        } else if (direction < 0) {
          first = std::max(first, from - high + 1);
          last = std::min(last, from - low + 1);
        } else if (from < low || from >= high) {
          last = first;
        }
      };
      keep(a.x, dx, left, right);
      keep(a.y, dy, top, bottom);
      QRgb* at = &pixel(a.x, a.y) + first * step;
      for (long long k = first; k < last; ++k, at += step)
        *at = colour;
      continue;
    }
    render::StepLine(a, b, [&](render::Point p) {
      if (p.x < left || p.x >= right || p.y < top || p.y >= bottom) return;
      pixel(p.x, p.y) = colour;
    });
  }
  return true;
}

void QtCanvas::DrawLines(std::span<const render::Point> ends) {
  if (ends.size() < 2) return;
  Prepare(Use::kStroke);
  // Dashed figures and dotted grids hand over tens of thousands of marks of a
  // pixel or two; set their pixels directly (aliased: every pixel from a
  // mark's start up to its end, as a 1-pixel line is drawn) instead of a
  // rasteriser round trip for each.
  rest_.clear();
  if (PlotThinMarks(ends, rest_)) {
    if (rest_.empty()) return;
    ends = rest_;
  }
  if (Smooth() && state().pen.width <= 1) {
    ThinSmoothLines(ends);
    return;
  }
  if (CutsLines()) {
    StrokeCutLines(ends, false);
    return;
  }
  const double off = Offset();
  lines_.clear();
  lines_.reserve(static_cast<qsizetype>(ends.size() / 2));
  for (std::size_t i = 0; i + 1 < ends.size(); i += 2)
    lines_.append(QLineF(Shifted(ends[i], off), Shifted(ends[i + 1], off)));
  PaintLines(lines_);
}

void QtCanvas::ThinSmoothLines(std::span<const render::Point> ends) {
  // Each line is moved back by half a step along itself, so that it covers
  // its pixels from the first one's edge up to the edge of the pixel it ends
  // on, which is left out, as a 1-pixel line leaves out its end pixel: the
  // marks keep the length and the place they have without antialiasing.
  const double off = Offset();
  const bool cut = CutsLines();
  const render::RectF box = CutBox(device_, 1);
  lines_.clear();
  lines_.reserve(static_cast<qsizetype>(ends.size() / 2));
  for (std::size_t i = 0; i + 1 < ends.size(); i += 2) {
    QPointF a = Shifted(ends[i], off), b = Shifted(ends[i + 1], off);
    const long long steps = render::LineSteps(ends[i], ends[i + 1]);
    if (steps > 0) {
      const QPointF half = (b - a) / (2.0 * static_cast<double>(steps));
      a -= half;
      b -= half;
    }
    if (cut && a != b) {
      const std::optional<render::ClippedSegment> part =
          render::ClipSegment({a.x(), a.y()}, {b.x(), b.y()}, box);
      if (!part) continue;
      a = {part->from.x, part->from.y};
      b = {part->to.x, part->to.y};
    }
    lines_.append(QLineF(a, b));
  }
  PaintLines(lines_);
}

template <typename P>
void QtCanvas::Polyline(std::span<const P> points) {
  if (points.size() < 2) return;
  if (const auto box = PointsBox(points); MissesKept(box[0], box[1], box[2], box[3], PenReach()))
    return;
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

void QtCanvas::DrawJoinedLines(std::span<const render::Point> ends) {
  if (ends.size() < 2) return;
  // Thin pens have flat ends anyway; they take the mark path.
  if (!CutsLines() || state().pen.width <= 1) {
    DrawLines(ends);
    return;
  }
  StrokeCutLines(ends, true);
}

bool QtCanvas::DrawsDashPatterns() const {
  // Pictures written as SVG or PDF (and printer pages): a dotted grid line
  // stepped into its marks would be hundreds of pieces each.
  const QPaintEngine* engine = painter_.paintEngine();
  return engine != nullptr && engine->type() != QPaintEngine::Raster &&
         state().raster_mode == render::RasterMode::kCopy;
}

void QtCanvas::DrawDashedPolylines(std::span<const render::DashedPolyline> strokes,
                                   std::span<const std::uint8_t> pattern) {
  const int period = static_cast<int>(pattern.size());
  int first_mark = 0;
  while (first_mark < period && pattern[static_cast<std::size_t>(first_mark)] == 0)
    ++first_mark;
  if (strokes.empty() || first_mark == period) return;
  // The pattern as runs of ink and gap from its first mark on.
  QList<qreal> runs;
  for (int i = 0; i < period;) {
    const std::uint8_t ink = pattern[static_cast<std::size_t>((first_mark + i) % period)];
    int n = 0;
    for (; i < period && pattern[static_cast<std::size_t>((first_mark + i) % period)] == ink; ++i)
      ++n;
    runs.append(n);
  }
  const bool solid = runs.size() == 1;
  if (runs.size() % 2 != 0) runs.append(0);
  Prepare(Use::kStroke);
  const double off = Offset();
  const double width = std::max(state().pen.width, 1);
  // The pattern is counted in stepped pixels, one per pixel along the longer
  // axis; along a slanted stroke a pixel step is longer than a unit, and
  // strokes are grouped by that stretch and by their phase: each group is one
  // path with one dash array and offset.
  struct Group {
    double stretch;
    int phase;
    QPainterPath path;
  };
  std::vector<Group> groups;
  for (const render::DashedPolyline& s : strokes) {
    if (s.points.size() < 2) continue;
    long long steps = 0;
    double length = 0;
    for (std::size_t i = 1; i < s.points.size(); ++i) {
      steps += render::LineSteps(s.points[i - 1], s.points[i]);
      length += std::hypot(s.points[i].x - s.points[i - 1].x, s.points[i].y - s.points[i - 1].y);
    }
    if (steps == 0) continue;
    const double stretch = std::round(length / static_cast<double>(steps) * 64) / 64;
    // The first pixel's ink begins at its edge, half a step before its
    // centre, and the last pixel stepped is the one before the end.
    auto half_step = [&](render::Point a, render::Point b) {
      const long long n = std::max<long long>(render::LineSteps(a, b), 1);
      return QPointF(b.x - a.x, b.y - a.y) / (2.0 * static_cast<double>(n));
    };
    const std::size_t last = s.points.size() - 1;
    QPainterPath piece;
    piece.moveTo(Shifted(s.points[0], off) - half_step(s.points[0], s.points[1]));
    for (std::size_t i = 1; i < last; ++i)
      piece.lineTo(Shifted(s.points[i], off));
    piece.lineTo(Shifted(s.points[last], off) - half_step(s.points[last - 1], s.points[last]));
    const int phase = (s.phase + 1 - first_mark + period) % period;
    auto group = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
      return g.stretch == stretch && (solid || g.phase == phase);
    });
    if (group == groups.end()) {
      groups.push_back(Group{stretch, phase, {}});
      group = groups.end() - 1;
    }
    group->path.addPath(piece);
  }
  QPen pen = painter_.pen();
  for (const Group& g : groups) {
    if (!solid) {
      // Qt counts dashes in pen widths.
      QList<qreal> dashes;
      for (qreal r : runs)
        dashes.append(r * g.stretch / width);
      pen.setDashPattern(dashes);
      pen.setDashOffset(g.phase * g.stretch / width);
    } else {
      pen.setStyle(Qt::SolidLine);
    }
    painter_.strokePath(g.path, pen);
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
  if (const auto box = PointsBox(points); MissesKept(box[0], box[1], box[2], box[3], PenReach()))
    return;
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
    // Whole pixels: the part inside the pixel clip is the same pixels.
    render::Rect fill = box;
    if (pixel_clip_) {
      fill.left = std::max(fill.left, pixel_clip_->left);
      fill.top = std::max(fill.top, pixel_clip_->top);
      fill.right = std::min(fill.right, pixel_clip_->right);
      fill.bottom = std::min(fill.bottom, pixel_clip_->bottom);
    }
    if (fill.width() > 0 && fill.height() > 0) {
      Prepare(Use::kFill);
      painter_.drawRect(QRectF(fill.left, fill.top, fill.width(), fill.height()));
    }
  }
  if (state().pen.style != PenStyle::kClear) {
    // The outline misses the kept pixels when they lie wholly outside it or
    // wholly inside it (the picture's background frames the whole picture).
    const double reach = PenReach();
    const std::optional<render::Rect> kept = KeptPixels();
    const bool inside = kept && kept->left > box.left + reach && kept->right < box.right - reach &&
                        kept->top > box.top + reach && kept->bottom < box.bottom - reach;
    if (inside || MissesKept(box.left, box.top, box.right, box.bottom, reach)) return;
    if (FrameAsPixels(box)) return;
    Prepare(Use::kStroke);
    painter_.drawRect(CentreBox(ToRectF(box), Offset()));
  }
}

namespace {

// How the raster engine covers the pixels of a smooth one-pixel outline
// through the centres of a box's outermost pixels: the sides wholly, the
// corners (where its joins round off) partly. Read back from the engine
// itself; none if it does not cover the sides wholly.
std::optional<quint32> FrameCornerCoverage() {
  static const std::optional<quint32> coverage = []() -> std::optional<quint32> {
    QImage probe(8, 8, QImage::Format_RGB32);
    probe.fill(Qt::white);
    {
      QPainter painter(&probe);
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.setPen(ToQPen(render::Pen{render::kBlack, 1, PenStyle::kSolid}, true));
      painter.drawRect(QRectF(1.5, 1.5, 5, 5));  // pixels 1..6
    }
    for (int i = 2; i <= 5; ++i)
      for (const QPoint p : {QPoint(i, 1), QPoint(i, 6), QPoint(1, i), QPoint(6, i)})
        if (probe.pixel(p) != qRgb(0, 0, 0)) return std::nullopt;
    const quint32 corner = 255 - static_cast<quint32>(qRed(probe.pixel(1, 1)));
    for (const QPoint p : {QPoint(6, 1), QPoint(1, 6), QPoint(6, 6)})
      if (255 - static_cast<quint32>(qRed(probe.pixel(p))) != corner) return std::nullopt;
    if (probe.pixel(0, 0) != qRgb(255, 255, 255) || probe.pixel(2, 2) != qRgb(255, 255, 255))
      return std::nullopt;
    return corner;
  }();
  return coverage;
}

}  // namespace

bool QtCanvas::FrameAsPixels(const render::Rect& box) {
  // A smooth one-pixel outline through the centres of the box's outermost
  // pixels covers those pixels as the engine's probe shows: the picture's
  // outer frame and the background's edge, which the rasteriser builds as a
  // path of four sides and four rounded joins.
  const render::Pen& pen = state().pen;
  if (!Smooth() || pen.style != PenStyle::kSolid || pen.width != 1) return false;
  if (box.width() < 3 || box.height() < 3) return false;
  const std::optional<quint32> corner = FrameCornerCoverage();
  if (!corner) return false;
  const std::optional<DirectPixels> px = Direct(false);
  if (!px) return false;
  const QRgb colour = 0xFF000000u | ToQColor(pen.colour).rgb();
  const auto inside = [&](int x, int y) {
    return x >= px->left && x < px->right && y >= px->top && y < px->bottom;
  };
  const auto at = [&](int x, int y) -> QRgb& {
    return reinterpret_cast<QRgb*>(px->bits + y * px->stride)[x];
  };
  const auto run = [&](int y, int from, int to) {  // to inclusive
    if (y < px->top || y >= px->bottom) return;
    from = std::max(from, px->left);
    to = std::min(to, px->right - 1);
    if (from > to) return;
    QRgb* row = &at(0, y);
    std::fill(row + from, row + to + 1, colour);
  };
  const int right = box.right - 1, bottom = box.bottom - 1;
  run(box.top, box.left + 1, right - 1);
  run(bottom, box.left + 1, right - 1);
  for (int y = std::max(box.top + 1, px->top); y < std::min(bottom, px->bottom); ++y) {
    run(y, box.left, box.left);
    run(y, right, right);
  }
  for (const auto& [x, y] : {std::pair{box.left, box.top}, std::pair{right, box.top},
                             std::pair{box.left, bottom}, std::pair{right, bottom}})
    if (inside(x, y)) at(x, y) = BlendCovered(at(x, y), colour, *corner);
  return true;
}

void QtCanvas::DrawEllipse(const render::Rect& box) {
  DrawEllipse(ToRectF(box));
}

void QtCanvas::DrawEllipse(const render::RectF& box) {
  if (MissesKept(box.left, box.top, box.right, box.bottom, PenReach())) return;
  if (StampSmallEllipse(box) || FillEllipseAsPixels(box) || StrokeCircleAsPixels(box)) return;
  Prepare(Use::kStrokeAndFill);
  painter_.drawEllipse(CentreBox(box, Offset()));
}

bool QtCanvas::StampSmallEllipse(const render::RectF& box) {
  const render::CanvasState& s = state();
  const double w = box.right - box.left, h = box.bottom - box.top;
  // Hatches repeat from the device origin, so a stamp would carry one phase
  // of them everywhere; boxes off whole pixels would change with their place.
  if (!(w >= 1 && h >= 1 && w <= kLargestStamp && h <= kLargestStamp) ||
      box.left != std::floor(box.left) || box.top != std::floor(box.top) || w != std::floor(w) ||
      h != std::floor(h) ||
      (s.brush.style != BrushStyle::kClear && s.brush.style != BrushStyle::kSolid) ||
      (s.pen.style != PenStyle::kSolid && s.pen.style != PenStyle::kClear) ||
      std::fabs(box.left) > 1e6 || std::fabs(box.top) > 1e6)
    return false;
  const std::optional<DirectPixels> px = DirectImage(true);
  if (!px) return false;
  const int iw = static_cast<int>(w), ih = static_cast<int>(h);
  const bool smooth = Smooth();
  const QImage* stamp = nullptr;
  thread_local std::vector<Stamp> stamps;
  for (const Stamp& st : stamps)
    if (st.width == iw && st.height == ih && st.pen == s.pen && st.brush == s.brush &&
        st.smooth == smooth) {
      stamp = &st.image;
      break;
    }
  const int pad = std::max(s.pen.width, 1) + 2;
  if (stamp == nullptr) {
    if (stamps.size() >= kStampsKept) stamps.clear();
    // The ellipse drawn by the painter itself on a clear image: blended
    // where it is wanted, it gives the painter's own pixels to antialiasing
    // rounding (exactly when aliased).
    Stamp st{iw,     ih,
             s.pen,  s.brush,
             smooth, QImage(iw + 2 * pad, ih + 2 * pad, QImage::Format_ARGB32_Premultiplied)};
    st.image.fill(Qt::transparent);
    {
      QPainter painter(&st.image);
      painter.setRenderHint(QPainter::Antialiasing, smooth);
      painter.setPen(ToQPen(s.pen, smooth));
      painter.setBrush(s.brush.style == BrushStyle::kClear
                           ? QBrush(Qt::NoBrush)
                           : QBrush(ToQColor(s.brush.colour), Qt::SolidPattern));
      painter.drawEllipse(
          CentreBox({double(pad), double(pad), double(pad + iw), double(pad + ih)}, Offset()));
    }
    stamps.push_back(std::move(st));
    stamp = &stamps.back().image;
  }
  SyncModes();
  const int left = static_cast<int>(box.left) - pad, top = static_cast<int>(box.top) - pad;
  // The rows and columns of the stamp that land on the picture.
  const int y_end = std::min(stamp->height(), px->bottom - top);
  const int x_from = std::max(0, px->left - left);
  const int x_end = std::min(stamp->width(), px->right - left);
  const uchar* stamp_bits = stamp->constBits();
  const qsizetype stamp_stride = stamp->bytesPerLine();
  for (int y = std::max(0, px->top - top); y < y_end; ++y) {
    const QRgb* from = reinterpret_cast<const QRgb*>(stamp_bits + y * stamp_stride);
    QRgb* to = reinterpret_cast<QRgb*>(px->bits + (top + y) * px->stride);
    // Premultiplied: a clear stamp pixel is 0 and leaves the picture's pixel
    // as it is, an opaque one replaces it, so no pixel needs a branch.
    for (int x = x_from; x < x_end; ++x) {
      const QRgb c = from[x];
      to[left + x] = c + ByteMultiply(to[left + x], 255 - qAlpha(c));
    }
  }
  return true;
}

bool QtCanvas::FillEllipseAsPixels(const render::RectF& box) {
  const render::CanvasState& s = state();
  if (s.pen.style != PenStyle::kClear || s.brush.style == BrushStyle::kClear || !Smooth())
    return false;
  // Ellipses under two pixels across, or reaching far beyond the picture (or
  // not numbers), stay with the rasteriser.
  const double reach = 1e6;
  if (!(box.right - box.left >= 3 && box.bottom - box.top >= 3 && box.left > -reach &&
        box.top > -reach && box.right < reach && box.bottom < reach))
    return false;
  const std::optional<DirectPixels> px = DirectImage(true);
  if (!px) return false;
  SyncModes();
  EllipseInk ink;
  ink.colour = 0xFF000000u | ToQColor(s.brush.colour).rgb();
  if (s.brush.style != BrushStyle::kSolid) {
    ink.rows = HatchRows(s.brush.style);
    ink.gaps_filled = s.background_mode == render::BackgroundMode::kOpaque;
    ink.gap = 0xFF000000u | ToQColor(s.background).rgb();
  }
  FillEllipse(*px, box, ink);
  return true;
}

bool QtCanvas::StrokeCircleAsPixels(const render::RectF& box) {
  const render::CanvasState& s = state();
  if (s.brush.style != BrushStyle::kClear || !Smooth()) return false;
  // 1-pixel outlines take the rasteriser's thin-line path, which is fast.
  const int width = s.pen.width;
  if (width < 2 || width > kWidestPixelStroke) return false;
  // Circles only (a box placed off whole pixels may be square only within
  // rounding), and none reaching far beyond the picture (or not numbers).
  const double reach = 1e5;
  const double across = box.right - box.left;
  if (!(std::fabs(across - (box.bottom - box.top)) <= 1e-9 * across && across >= 3 &&
        box.left > -reach && box.top > -reach && box.right < reach && box.bottom < reach))
    return false;
  const std::optional<DirectPixels> px = Direct(true);
  if (!px) return false;
  SyncModes();
  StrokeCircle(*px, box, width, 0xFF000000u | ToQColor(s.pen.colour).rgb());
  return true;
}

// closing: 0 open arc, 1 through the centre (pie), 2 straight back (chord).
void QtCanvas::ArcPath(const render::RectF& box, double start, double sweep, int closing) {
  if (MissesKept(box.left, box.top, box.right, box.bottom, PenReach())) return;
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

namespace {
// Names a canvas font as drawn smooth or not, ending in a separator.
void FontKey(const render::Font& f, bool smooth, std::string& key) {
  key.assign(f.family);
  key.push_back('\0');
  key.append(std::to_string(f.height));
  key.push_back(static_cast<char>('a' + (f.style & 0x0F)));
  key.push_back(smooth ? 's' : 'a');
  key.push_back('\0');
}
}  // namespace

render::TextExtent QtCanvas::MeasureText(std::string_view utf8) {
  // Text boxes and labels measure the same texts several times a picture
  // (fitting, laying out, drawing) and again every frame; shaping a text is
  // what measuring costs.
  const render::Font& f = font();
  const bool smooth = Smooth();
  // By font, kind of device and resolution, and text.
  thread_local std::unordered_map<std::string, render::TextExtent> measured;
  if (measured.size() >= kTextsMeasuredKept) measured.clear();
  const QPaintDevice* device = painter_.device();
  std::string& key = measure_key_;
  FontKey(f, smooth, key);
  key.append(std::to_string(device->devType()));
  key.push_back(',');
  key.append(std::to_string(device->logicalDpiX()));
  key.push_back(',');
  key.append(std::to_string(device->logicalDpiY()));
  key.push_back('\0');
  key.append(utf8);
  if (auto known = measured.find(key); known != measured.end()) return known->second;
  QFontMetrics metrics(CurrentQFont(), painter_.device());
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  const render::TextExtent extent{metrics.horizontalAdvance(text), metrics.height(),
                                  metrics.ascent()};
  measured.emplace(key, extent);
  return extent;
}

namespace {

// A text shaped once for a font: its glyph runs placed from a baseline origin.
// Labels and axis numbers are the same few texts every frame, and shaping
// them again is most of what drawing them costs.
struct ShapedText {
  QList<QGlyphRun> runs;
};

// The runs of `text` in `font` on `device`, or null where it is drawn as it
// comes (tabs and line breaks lay out differently in a layout, and a
// decorated font draws its lines along the whole text).
// `key` names the font (and the text goes after it).
const ShapedText* Shaped(const QFont& font, const QPaintDevice* device, std::string_view utf8,
                         std::string& key) {
  if (font.underline() || font.strikeOut() || font.overline()) return nullptr;
  for (const char c : utf8)
    if (static_cast<unsigned char>(c) < 0x20) return nullptr;
  static constexpr std::size_t kShapedKept = 2048;
  thread_local std::unordered_map<std::string, ShapedText> shaped;
  key.append(std::to_string(device->logicalDpiY()));
  key.push_back('\0');
  key.append(utf8);
  if (auto known = shaped.find(key); known != shaped.end()) return &known->second;
  if (shaped.size() >= kShapedKept) shaped.clear();
  QTextLayout layout(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), font,
                     const_cast<QPaintDevice*>(device));
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (!line.isValid()) {
    layout.endLayout();
    return nullptr;
  }
  line.setPosition(QPointF(0, 0));
  layout.endLayout();
  ShapedText text;
  text.runs = line.glyphRuns();
  // From the layout's top to the baseline, where drawing text starts.
  const qreal baseline = line.ascent();
  for (QGlyphRun& run : text.runs) {
    QList<QPointF> positions = run.positions();
    for (QPointF& p : positions)
      p.ry() -= baseline;
    run.setPositions(positions);
  }
  return &shaped.emplace(key, std::move(text)).first->second;
}

// The pen raster text is drawn with. With a plain colour the raster engine
// blends the glyphs of some fonts (CFF outlines) with gamma correction where
// the pixel under them is opaque, and plainly where it is not, so the same
// text came out up to about 50 levels apart on a picture and on a
// transparent layer laid over it. A pen of a one-pixel pattern of the colour
// blends every glyph plainly, whatever lies under it. Other fonts look the
// same either way and keep the plain colour: the engine blends a pattern
// pen's glyphs span by span through its thread pool, which made texts cost
// twice what the rest of a worksheet did.
bool HasCffOutlines(const QFont& font, const std::string& key) {
  thread_local std::unordered_map<std::string, bool> known;
  if (auto found = known.find(key); found != known.end()) return found->second;
  const QRawFont raw = QRawFont::fromFont(font);
  const bool cff = !raw.fontTable("CFF ").isEmpty() || !raw.fontTable("CFF2").isEmpty();
  if (known.size() >= 256) known.clear();
  known.emplace(key, cff);
  return cff;
}

QPen TextPen(const QColor& colour) {
  thread_local QColor made_for;
  thread_local QPen pen;
  if (made_for != colour) {
    QImage one(1, 1, QImage::Format_ARGB32_Premultiplied);
    one.fill(colour);
    pen = QPen(QBrush(one), 0);
    made_for = colour;
  }
  return pen;
}

}  // namespace

void QtCanvas::DrawText(render::PointF at, std::string_view utf8) {
  if (utf8.empty()) return;
  const render::TextExtent extent = MeasureText(utf8);
  const render::PointF origin = render::AnchoredTextOrigin(at, extent, state().anchor);
  // A text far from the pixels the canvas keeps inks none of them (a glyph
  // reaches beyond its cell by less than the cell's height).
  if (MissesKept(origin.x, origin.y, origin.x + extent.width, origin.y + extent.height,
                 2.0 * extent.height))
    return;
  SyncModes();
  if (state().background_mode == render::BackgroundMode::kOpaque) {
    painter_.fillRect(QRectF(origin.x, origin.y, extent.width, extent.height),
                      ToQColor(state().background));
  }
  // The text colour is the font's; the cell background was painted above.
  painter_.setBackgroundMode(Qt::TransparentMode);
  // Pictures (SVG, PDF, printers) keep their texts as text.
  const bool raster =
      painter_.paintEngine() != nullptr && painter_.paintEngine()->type() == QPaintEngine::Raster;
  FontKey(font(), Smooth(), shape_key_);
  const bool pattern = raster && HasCffOutlines(CurrentQFont(), shape_key_);
  painter_.setPen(pattern ? TextPen(ToQColor(font().colour)) : QPen(ToQColor(font().colour)));
  applied_pen_.reset();
  applied_->background_mode = render::BackgroundMode::kTransparent;
  painter_.setFont(CurrentQFont());
  const QPointF baseline(origin.x, origin.y + extent.ascent);
  if (const ShapedText* shaped =
          raster ? Shaped(CurrentQFont(), painter_.device(), utf8, shape_key_) : nullptr) {
    for (const QGlyphRun& run : shaped->runs)
      painter_.drawGlyphRun(baseline, run);
    return;
  }
  painter_.drawText(baseline, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

void QtCanvas::DrawImage(const render::Rect& target, const RgbImage& image) {
  if (target.width() <= 0 || target.height() <= 0) return;
  if (MissesKept(target.left, target.top, target.right, target.bottom, 1)) return;
  const QImage q = ToQImage(image);
  if (q.isNull()) return;
  SyncModes();
  painter_.drawImage(QRect(target.left, target.top, target.width(), target.height()), q);
}

}  // namespace qzarn
