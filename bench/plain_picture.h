#pragma once
// The yardstick of the frame benchmarks: the picture of a recomputed screen
// as a hand-written QPainter program would draw it from the figures
// themselves. It reads the computed geometry (point positions, line ends,
// circle centres and radii, polygon corners, sampled curves, region and area
// outlines, text boxes, the grid and the axes) and draws each with the
// painter's own pens and brushes in the figures' colours, widths and dash
// styles: every line cut to the image and drawn once, one polyline per run
// of a sampled curve, the loose segments of a region in one call, texts at
// their points. Pens are Qt's defaults (square ends, bevel joins) and dashes
// Qt's own: the figures' dash styles are Qt's dash styles; the grid, whose
// dots are the picture's most visible pattern, gets its own dash pattern as
// a Qt dash pattern with the phase it has in the picture, on the pixels it
// covers. Parabolas are sampled a pixel apart, splines through the engine's
// spline table. Nothing of the program's own drawing (its canvas, dash
// stepping or pixel shortcuts) takes part. The loci points and circles
// leave (their remembered positions) are dots, joining lines and circles
// like the rest. Left out (the plain picture draws less there): angle marks,
// angle division lines and the traces of lines.

#include <cmath>
#include <string>
#include <vector>

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "document/screen.h"
#include "engine/function_sampling.h"
#include "engine/implicit_curves.h"
#include "engine/spline.h"
#include "platform/text_encoding.h"
#include "render/axes_grid.h"
#include "render/draw_screen.h"
#include "render/figure_drawing_ink.h"
#include "render/figure_drawing_kinds.h"
#include "render/figure_drawing_labels.h"
#include "render/line_style.h"
#include "render/line_style_dda.h"
#include "render/segment_clip.h"

#include <QBrush>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QString>

#include "qt/qt_image.h"

namespace qzarn::bench {

struct PlainShape {
  enum class Kind { kPoints, kLines, kPolyline, kPolygon, kEllipse, kRectangle, kText };
  Kind kind = Kind::kLines;
  QPen pen = QPen(Qt::NoPen);
  QBrush brush;
  QFont font;
  QList<QLineF> lines;
  QPolygonF points;
  QRectF box;
  QString text;
};

class PlainPicture {
 public:
  PlainPicture(const Screen& screen, int width, int height)
      : params_(render::ViewParamsFromScreen(screen, nullptr)), width_(width), height_(height) {
    Grid();
    Axes();
    const FigureTable& table = screen.Figures;
    const int last = std::min(table.LastIndex, kLastSlot);
    for (int i = 0; i <= last; ++i) {
      const FigureRecord* r = table.record(i);
      if (r == nullptr || r->empty()) continue;
      Figure(table, *r);
    }
    AxisLabels();
  }

  const std::vector<PlainShape>& shapes() const { return shapes_; }

  void Draw(QPainter& painter) const {
    for (const PlainShape& s : shapes_) {
      painter.setPen(s.pen);
      painter.setBrush(s.brush);
      switch (s.kind) {
        case PlainShape::Kind::kPoints:
          painter.drawPoints(s.points);
          break;
        case PlainShape::Kind::kLines:
          painter.drawLines(s.lines);
          break;
        case PlainShape::Kind::kPolyline:
          painter.drawPolyline(s.points);
          break;
        case PlainShape::Kind::kPolygon:
          painter.drawPolygon(s.points);
          break;
        case PlainShape::Kind::kEllipse:
          painter.drawEllipse(s.box);
          break;
        case PlainShape::Kind::kRectangle:
          painter.drawRect(s.box);
          break;
        case PlainShape::Kind::kText:
          painter.setFont(s.font);
          painter.drawText(s.box.topLeft(), s.text);
          break;
      }
    }
  }

 private:
  QPointF Device(double x, double y) const {
    return {params_.view.PlaneToPixelX(x), params_.view.PlaneToPixelY(y)};
  }
  static QColor Colour(std::uint32_t c) { return ToQColor(c & 0xFFFFFFu); }
  static QPen PenOf(std::uint32_t colour, int width, int style_code) {
    static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                               Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
    const auto style = static_cast<std::size_t>(render::PenStyleFromStyleCode(style_code));
    QPen pen(Colour(colour), std::max(width, 1), kStyles[style]);
    return pen;
  }
  static QBrush BrushOf(std::uint32_t colour, int pattern) {
    static constexpr Qt::BrushStyle kPatterns[] = {
        Qt::NoBrush,      Qt::SolidPattern, Qt::HorPattern,   Qt::VerPattern,
        Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    return pattern >= 0 && pattern <= 7 ? QBrush(Colour(colour), kPatterns[pattern]) : QBrush();
  }
  static bool Off(double v) { return !(std::fabs(v) < 20000); }

  // A segment in device pixels, cut to the image; false when none of it shows.
  bool Cut(QPointF a, QPointF b, QLineF& out) const {
    const render::RectF image{-4, -4, width_ + 4.0, height_ + 4.0};
    const auto cut = render::ClipSegment({a.x(), a.y()}, {b.x(), b.y()}, image);
    if (!cut) return false;
    out = QLineF(cut->from.x, cut->from.y, cut->to.x, cut->to.y);
    return true;
  }
  void Lines(const QPen& pen, QList<QLineF> lines) {
    if (lines.isEmpty()) return;
    PlainShape s;
    s.pen = pen;
    s.lines = std::move(lines);
    shapes_.push_back(std::move(s));
  }
  void Shape(PlainShape::Kind kind, const QPen& pen, const QBrush& brush, QPolygonF points,
             QRectF box = {}) {
    PlainShape s;
    s.kind = kind;
    s.pen = pen;
    s.brush = brush;
    s.points = std::move(points);
    s.box = box;
    shapes_.push_back(std::move(s));
  }
  void Text(const LabelFont& font, QPointF at, std::string_view cp932) {
    TextUtf8(font, at, cp932_to_utf8(cp932));
  }
  void TextUtf8(const LabelFont& font, QPointF at, const std::string& utf8) {
    if (utf8.empty()) return;
    const render::LabelFontSpec spec = render::FontOf(font);
    PlainShape s;
    s.kind = PlainShape::Kind::kText;
    s.pen = QPen(Colour(spec.colour));
    s.font = QFont(QString::fromStdString(spec.family));
    s.font.setPixelSize(std::max(spec.size, 1));
    s.box = QRectF(at, QSizeF());
    s.text = QString::fromStdString(utf8);
    shapes_.push_back(std::move(s));
  }
  void Dot(QPointF at, double radius, std::uint32_t colour) {
    Shape(PlainShape::Kind::kEllipse, QPen(Colour(colour)), QBrush(Colour(colour)), {},
          QRectF(at.x() - radius, at.y() - radius, 2 * radius, 2 * radius));
  }

  // The remembered positions of a point: dots, or lines joining them.
  template <typename Track>
  void Locus(int count, const Track& xs, const Track& ys, int radius, int thick,
             std::uint32_t colour, bool connect) {
    const int n = render::LocusEntries(count);
    if (n == 0) return;
    if (!(radius == 1 && connect))
      for (int i = 0; i < n; ++i) {
        const double x = xs[i].get(), y = ys[i].get();
        if (!Off(x * 25) && !Off(y * 25)) Dot(Device(x, y), radius, colour);
      }
    if (!connect) return;
    const int newest = count >= render::kLocusRing ? count % render::kLocusRing : -1;
    QList<QLineF> lines;
    for (int i = 0; i + 1 < n; ++i) {
      QLineF cut;
      if (i != newest &&
          Cut(Device(xs[i].get(), ys[i].get()), Device(xs[i + 1].get(), ys[i + 1].get()), cut))
        lines.append(cut);
    }
    Lines(QPen(Colour(colour), std::max(thick, 1)), std::move(lines));
  }
  // The remembered places of a circle: outlines and centres.
  void CircleTraces(const CircleRecord& c) {
    const int n = render::LocusEntries(c.TrackCount);
    for (int i = 0; i < n; ++i) {
      const double x = c.TrackCX[i].get(), y = c.TrackCY[i].get();
      if (Off(x * 25) || Off(y * 25)) continue;
      const QPointF at = Device(x, y);
      if (c.DispL) {
        const double radius = std::fabs(c.TrackR[i].get()) * params_.view.scale * params_.view.zoom;
        Shape(PlainShape::Kind::kEllipse,
              QPen(Colour(c.PaintColor), std::max<int>(c.TrackRadius, 1)), QBrush(), {},
              QRectF(at - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius)));
      }
      if (c.DispB) Dot(at, c.SizeP, c.PaintColor);
    }
  }

  void Grid() {
    const render::AxesSettings& axes = params_.axes;
    if (!axes.show_grid) return;
    const render::GridPlan plan = render::PlanGrid(params_.view, axes);
    if (plan.as_dots) {
      // One-pixel dots: points, in one call.
      QPolygonF dots;
      for (const PlanePoint& p : plan.dots)
        dots.append(Device(p.x, p.y));
      Shape(PlainShape::Kind::kPoints, QPen(Colour(axes.grid_colour), 1), QBrush(), dots);
      return;
    }
    const QPen pen = PenOf(axes.grid_colour, axes.grid_width, axes.grid_style);
    const render::PenStyle style = render::PenStyleFromStyleCode(axes.grid_style);
    const int entry = render::LineStyleEntryOf(style);
    if (entry < 0 || std::max(axes.grid_width, 1) != 1) {
      QList<QLineF> lines;
      for (const render::PlaneSegment& g : plan.lines) {
        QLineF l;
        if (Cut(Device(g.a.x, g.a.y), Device(g.b.x, g.b.y), l)) lines.append(l);
      }
      Lines(pen, std::move(lines));
    } else {
      DottedGridLines(plan, pen,
                      render::ExpandPattern(render::DefaultLineStyles().entries[entry], 1, 1));
    }
    for (double r : plan.circles) {
      const double pr = r * params_.view.scale * params_.view.zoom;
      Shape(PlainShape::Kind::kEllipse, pen, QBrush(), {},
            QRectF(Device(0, 0) - QPointF(pr, pr), QSizeF(2 * pr, 2 * pr)));
    }
  }

  // Grid lines of a 1-pixel dash pattern: one Qt dash pattern, each line
  // starting at the phase the previous ones leave (the pattern runs on over
  // the whole grid) and running along the pixels' edges, across their
  // centres, so that every dash covers whole pixels.
  void DottedGridLines(const render::GridPlan& plan, QPen pen,
                       const std::vector<std::uint8_t>& pattern) {
    const int period = static_cast<int>(pattern.size());
    int first_mark = 0;
    while (first_mark < period && pattern[static_cast<std::size_t>(first_mark)] == 0)
      ++first_mark;
    if (first_mark == period) return;
    QList<qreal> runs;
    for (int i = 0; i < period;) {
      const std::uint8_t v = pattern[static_cast<std::size_t>((first_mark + i) % period)];
      int n = 0;
      while (i < period && pattern[static_cast<std::size_t>((first_mark + i) % period)] == v) {
        ++i;
        ++n;
      }
      runs.append(n);
    }
    if (runs.size() % 2 != 0) runs.append(0);
    pen.setDashPattern(runs);
    int phase = 0;
    for (const render::PlaneSegment& g : plan.lines) {
      const QPointF fa = Device(g.a.x, g.a.y), fb = Device(g.b.x, g.b.y);
      if (Off(fa.x()) || Off(fa.y()) || Off(fb.x()) || Off(fb.y())) continue;
      const render::Point a{static_cast<int>(std::lrint(fa.x())),
                            static_cast<int>(std::lrint(fa.y()))};
      const render::Point b{static_cast<int>(std::lrint(fb.x())),
                            static_cast<int>(std::lrint(fb.y()))};
      const long long steps = render::LineSteps(a, b);
      const bool along_x = std::abs(b.x - a.x) >= std::abs(b.y - a.y);
      const QPointF shift = along_x ? QPointF(0, 0.5) : QPointF(0.5, 0);
      pen.setDashOffset((phase + 1 - first_mark + period) % period);
      PlainShape s;
      s.pen = pen;
      s.lines = {QLineF(QPointF(a.x, a.y) + shift, QPointF(b.x, b.y) + shift)};
      shapes_.push_back(std::move(s));
      phase = static_cast<int>((phase + steps) % period);
    }
  }

  void Axes() {
    const render::AxesSettings& axes = params_.axes;
    const render::AxisArrowsPlan arrows =
        render::PlanAxisArrows(params_.view, axes, render::AxisLayout{}, false);
    if (!arrows.shown) return;
    auto arrow = [&](const render::ArrowPolygon& corners, std::uint32_t colour) {
      QPolygonF polygon;
      for (const render::PixelPoint& p : corners)
        polygon.append(QPointF(p.x, p.y));
      Shape(PlainShape::Kind::kPolygon, QPen(Colour(colour)), QBrush(Colour(colour)), polygon);
    };
    arrow(arrows.y_axis, axes.y.colour);
    arrow(arrows.x_axis, axes.x.colour);
  }

  void AxisLabels() {
    const render::AxesSettings& axes = params_.axes;
    const render::AxisLabelsPlan plan =
        render::PlanAxisLabels(params_.view, axes, render::AxisLayout{});
    if (!plan.shown) return;
    for (const auto* ticks : {&plan.x_ticks, &plan.y_ticks}) {
      QList<QLineF> lines;
      for (const render::PlaneSegment& t : *ticks)
        lines.append(QLineF(Device(t.a.x, t.a.y), Device(t.b.x, t.b.y)));
      Lines(QPen(Colour(ticks == &plan.x_ticks ? axes.x.colour : axes.y.colour), 2),
            std::move(lines));
    }
    for (const render::AxisLabel& l : plan.labels) {
      PlainShape s;
      s.kind = PlainShape::Kind::kText;
      s.pen = QPen(Colour(l.axis == render::AxisId::kX ? axes.x.colour : axes.y.colour));
      s.font = QFont(QString::fromStdString(params_.axis_font_family));
      s.font.setPixelSize(std::max(plan.font_size, 1));
      s.font.setItalic(l.italic);
      s.box = QRectF(Device(l.x, l.y), QSizeF());
      s.text = QString::fromStdString(l.text);
      shapes_.push_back(std::move(s));
    }
  }

  void Figure(const FigureTable& table, const FigureRecord& r) {
    switch (r.type()) {
      case kPointFigure:
      case kBuntenFigure:
      case kCrossFigure:
      case kSuisenFigure:
      case kCross2Figure: {
        const PointRecord& p = *r.point();
        if (p.Track)
          Locus(p.TrackCount, p.TrackX, p.TrackY, p.TrackRadius, p.TrackThick, p.TrackColor,
                p.TrackConnect != 0 && r.type() != kBuntenFigure);
        if (Off(p.X * 25) || Off(p.Y * 25)) break;
        const QPointF at = Device(p.X, p.Y);
        Dot(at, p.Radius, p.Color);
        std::string label = p.DispName ? cp932_to_utf8(p.Name.view()) : std::string();
        if (p.Coordinates) label += render::FormatCoordinates(p.X, p.Y, params_.axes.kind, 2);
        TextUtf8(p.Font, at + QPointF(6, -6), label);
        break;
      }
      case kParabolaFigure:
        Parabola(*r.line());
        break;
      case kSplineFigure:
        Spline(table, *r.polygon());
        break;
      case kLineFigure:
      case kSessenFigure: {
        const LineRecord& l = *r.line();
        if (!l.DispL) break;
        QPointF a = Device(l.X0, l.Y0), b = Device(l.X1, l.Y1);
        if (!l.DispB) {
          // A whole line: far enough both ways to cross the image.
          const QPointF d = b - a;
          const double length = std::hypot(d.x(), d.y());
          if (!(length > 0)) break;
          const QPointF reach = d * (4.0 * (width_ + height_) / length);
          a -= reach;
          b += reach;
        }
        QLineF cut;
        if (Cut(a, b, cut)) Lines(PenOf(l.LineColor, l.SizeL, l.StyleL), {cut});
        break;
      }
      case kCircleFigure: {
        const CircleRecord& c = *r.circle();
        if (c.PaintFlag) CircleTraces(c);
        const QPointF at = Device(c.X0, c.Y0);
        const double radius = std::fabs(c.RadiusValue) * params_.view.scale * params_.view.zoom;
        const QRectF box(at - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius));
        if (c.DispL) {
          if (c.StyleB != 0)
            Shape(PlainShape::Kind::kEllipse, QPen(Qt::NoPen), BrushOf(c.DomainColor, c.StyleB), {},
                  box);
          Shape(PlainShape::Kind::kEllipse, PenOf(c.RimColor, c.SizeL, c.StyleL), QBrush(), {},
                box);
        }
        if (c.DispB) Dot(at, c.SizeP, c.CenterColor);
        break;
      }
      case kPolyFigure: {
        const PolygonRecord& p = *r.polygon();
        QPolygonF corners;
        for (const PlanePoint& v : render::UsedVertices(table, p))
          corners.append(Device(v.x, v.y));
        Shape(PlainShape::Kind::kPolygon,
              p.DispL ? PenOf(p.LineColor, p.SizeL, p.StyleL) : QPen(Qt::NoPen),
              p.DispB ? BrushOf(p.ColorB, p.StyleB) : QBrush(), corners);
        break;
      }
      case kFunctionFigure:
        Function(*r.function(), r.owned);
        break;
      case kMensekiFigure: {
        const PointRecord& m = *r.point();
        const FigureOwned& o = r.owned;
        std::size_t n = m.HatchCount < 0 ? 0 : static_cast<std::size_t>(m.HatchCount.get());
        n = std::min({n, o.HatchX.size(), o.HatchY.size()});
        n -= n % 2;
        QPolygonF outline;
        for (std::size_t i = 0; i < n; i += 2)
          outline.append(Device(o.HatchX[i], o.HatchY[i]));
        for (std::size_t k = n; k >= 2; k -= 2)
          outline.append(Device(o.HatchX[k - 1], o.HatchY[k - 1]));
        if (m.Coordinates && outline.size() > 2)
          Shape(PlainShape::Kind::kPolygon, PenOf(m.Color, m.RimRadius, 0),
                BrushOf(m.Color, m.TrackThick), outline);
        break;
      }
      case kCharFigure: {
        const FrameRecord& f = *r.frame();
        const QRectF box = QRectF(Device(f.X0, f.Y0), Device(f.X1, f.Y1)).normalized();
        Shape(PlainShape::Kind::kRectangle,
              f.DispL ? PenOf(f.RimColor, f.SizeL, f.StyleL) : QPen(Qt::NoPen),
              f.DispBk ? QBrush(Colour(f.ColorBk)) : QBrush(), {}, box);
        const TextFrameTail& t = f.Text();
        double y = box.top() + t.Font.FontSize;
        for (const auto& line : t.Lines) {
          Text(t.Font, QPointF(box.left() + 4, y), line.view());
          y += t.Font.FontSize + 4;
        }
        break;
      }
      default:
        break;
    }
  }

  // y = k + a (x - h)^2 through (x1, y1), a pixel apart across the image.
  void Parabola(const LineRecord& l) {
    if (!l.DispL) return;
    const double h = l.X0, k = l.Y0, dx = l.X1 - h;
    if (!(std::fabs(dx) > 1e-12)) return;
    const double a = (l.Y1 - k) / (dx * dx);
    const double unit = params_.view.scale * params_.view.zoom;
    QPolygonF run;
    for (int px = 0; px <= width_; ++px) {
      const double x = h + (px - Device(h, 0).x()) / unit;
      const double y = k + a * (x - h) * (x - h);
      const QPointF at = Device(x, y);
      if (Off(at.y())) continue;
      run.append(at);
    }
    if (run.size() > 1)
      Shape(PlainShape::Kind::kPolyline, PenOf(l.LineColor, l.SizeL, l.StyleL), QBrush(), run);
  }

  void Spline(const FigureTable& table, const PolygonRecord& p) {
    if (!p.DispL) return;
    const SplineTable spline(render::UsedVertices(table, p), p.DispP);
    if (spline.empty()) return;
    const double step = render::SplineDrawingStep(p.SS);
    QPolygonF run;
    for (int i = 0;; ++i) {
      const double t = std::min(i * step, 1.0);
      const PlanePoint at = SplinePoint(spline, t);
      run.append(Device(at.x, at.y));
      if (t >= 1.0) break;
    }
    Shape(PlainShape::Kind::kPolyline, PenOf(p.LineColor, p.SizeL, p.StyleL), QBrush(), run);
  }

  void Function(const FunctionRecord& f, const FigureOwned& o) {
    const std::size_t stored = std::min(o.SampleX.size(), o.SampleY.size());
    const std::size_t n =
        f.SampleLast < 0
            ? 0
            : std::min<std::size_t>(stored, static_cast<std::size_t>(f.SampleLast) + 1);
    const float* xs = o.SampleX.data();
    const float* ys = o.SampleY.data();
    const QPen pen = PenOf(f.ColorL, f.SizeL, f.StyleL);
    if (f.FuncKind != kImplicitCurve) {
      // One polyline per run of samples on the curve.
      QPolygonF run;
      auto flush = [&] {
        if (run.size() > 1 && f.DispL) Shape(PlainShape::Kind::kPolyline, pen, QBrush(), run);
        run.clear();
      };
      for (std::size_t i = 0; i < n; ++i) {
        if (Off(xs[i]) || Off(ys[i])) {
          flush();
          continue;
        }
        run.append(Device(xs[i], ys[i]));
      }
      flush();
      return;
    }
    // Implicit: loose pairs; a region's hatching first (1 pixel), then its
    // boundary up to the area entry.
    auto pairs = [&](std::size_t begin, std::size_t end, const QPen& p) {
      QList<QLineF> lines;
      for (std::size_t i = begin; i + 1 < end; i += 2) {
        if (Off(xs[i]) || Off(ys[i]) || Off(xs[i + 1]) || Off(ys[i + 1])) continue;
        lines.append(QLineF(Device(xs[i], ys[i]), Device(xs[i + 1], ys[i + 1])));
      }
      Lines(p, std::move(lines));
    };
    if (f.Mode == kRelationCurve) {
      if (f.DispL) pairs(0, n, pen);
      return;
    }
    std::size_t separator = 0;
    while (separator < n && xs[separator] != kRegionSeparator)
      ++separator;
    pairs(0, separator, QPen(Colour(f.ColorP), 1));
    std::size_t begin = separator;
    while (begin < n && xs[begin] == kRegionSeparator)
      ++begin;
    std::size_t end = begin;
    while (end < n && xs[end] != kRegionAreaMark)
      ++end;
    if (f.DispL) pairs(begin, end, pen);
  }

  render::ViewParams params_;
  int width_, height_;
  std::vector<PlainShape> shapes_;
};

}  // namespace qzarn::bench
