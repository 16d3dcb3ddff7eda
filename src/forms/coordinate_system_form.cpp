#include "forms/coordinate_system_form.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/image_codec.h"
#include "platform/text_encoding.h"
#include "render/draw_screen.h"

namespace qzarn::forms {

namespace {

// The settings member behind each layout value, in LayoutValue order.
constexpr std::array<double UserSettings::*, kLayoutValueCount> kLayoutMembers = {
    &UserSettings::AxisX_Char_X,     &UserSettings::AxisX_Char_Y,
    &UserSettings::AxisY_Char_X,     &UserSettings::AxisY_Char_Y,
    &UserSettings::Axis_Char_Zero,   &UserSettings::Axis_Char_Ajust,
    &UserSettings::Axis_Ya_Lenght_X, &UserSettings::Axis_Ya_Lenght_Y,
    &UserSettings::cCharSpace};

// The dialog shows layout values in pixels: 25 pixels to the unit.
constexpr double kLayoutPixels = 25.0;

int ClampInt(double v, IntRange range) {
  if (!std::isfinite(v)) return range.low;
  return range.Clamp(static_cast<int>(std::clamp(std::lround(v), -1000000L, 1000000L)));
}

AxisControls AxisFrom(std::int16_t style, std::int16_t width_step, ColorRef colour, double interval,
                      bool automatic, std::string_view name_cp932, int default_step) {
  AxisControls a;
  const auto bits = static_cast<std::uint16_t>(width_step);
  a.style = std::clamp<int>(style, 0, static_cast<int>(kLineStyleItems.size()) - 1);
  a.width = bits & 0xFF;
  a.label_step = (bits >> 8) == 0 ? default_step : (bits >> 8);
  a.colour = colour & 0xFFFFFFu;
  a.interval = interval;
  a.automatic = automatic;
  a.name = cp932_to_utf8(name_cp932);
  return a;
}

std::int16_t WidthStep(const AxisControls& a) {
  return static_cast<std::int16_t>(kWidthRange.Clamp(a.label_step) * 256 +
                                   kWidthRange.Clamp(a.width));
}

double ClampReal(double v, double low, double high) {
  if (!std::isfinite(v)) return low;
  return std::clamp(v, low, high);
}

// A UTF-8 text stored into a fixed field of code page 932 bytes: cut by bytes, never
// in the middle of a two-byte character.
template <std::size_t N>
void StoreText(PString<N>& field, std::string_view utf8) {
  field.assign(utf8_to_cp932(utf8).bytes);
}

}  // namespace

std::string CoordinateDialogTitle(std::string_view screen_caption) {
  return "座標系の設定 [" + std::string(screen_caption) + "]";
}

IntRange LayoutRange(LayoutValue which) {
  switch (which) {
    case LayoutValue::kTickLength:
    case LayoutValue::kCharSpace:
      return {0, 500};
    case LayoutValue::kArrowLength:
    case LayoutValue::kArrowWidth:
      return {1, 500};
    default:
      return {-500, 500};
  }
}

double LenientNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value))
    return 0;
  return value;
}

std::string ListNumberText(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

CoordinateSystemForm::CoordinateSystemForm(const Screen& screen, const UserSettings& settings,
                                           bool restricted)
    : restricted_(restricted), view_(screen.View()), font_(screen.Font), settings_(settings) {
  const ViewSettings& v = view_;
  const int kind = v.CoordinateKind;
  polar = kind == 3;
  kind_item = kind == 4 ? 3 : (kind >= 0 && kind <= 2 ? kind : 0);
  sensitivity = v.SnapStep;
  zoom = v.Zoom;
  surface_width = kSurfaceRange.Clamp(v.ScreenWidth);
  surface_height = kSurfaceRange.Clamp(v.ScreenHeight);
  frame = v.BackgroundMode.get() < 100;
  show_axes = v.ShowAxes;
  show_grid = v.ShowGrid;
  font.name = cp932_to_utf8(font_.FontName.view());
  font.size = font_.FontSize;
  font.colour = font_.FontColor.get() & 0xFFFFFFu;
  font.style = font_.FontStyle & 0x0F;
  font.charset = font_.FontSet;
  back_colour = v.BackColor.get() & 0xFFFFFFu;
  // A label step not chosen yet shows what drawing uses: every 6th 30° step on the
  // angle kinds, every 5th tick otherwise.
  const bool angles = kind == 1 || kind == 2;
  x = AxisFrom(v.XAxisStyle, v.XAxisWidthStep, v.XAxisColor, v.XTick, v.AutoXTick,
               v.XAxisName.view(), angles ? 6 : 5);
  y = AxisFrom(v.YAxisStyle, v.YAxisWidthStep, v.YAxisColor, v.YTick, v.AutoYTick,
               v.YAxisName.view(), 5);
  grid_width = v.GridWidth;
  grid_style = std::clamp<int>(v.GridStyle, 0, static_cast<int>(kLineStyleItems.size()) - 1);
  grid_colour = v.GridColor.get() & 0xFFFFFFu;
  grid_as_points = v.GridAsPoints;
  picture_mode = std::clamp(static_cast<int>(v.BackgroundMode.get() % 100), 0,
                            static_cast<int>(kPictureModeItems.size()) - 1);
  picture = screen.Background;
  for (int i = 0; i < kLayoutValueCount; ++i) {
    layout[i] = ClampInt(settings.*kLayoutMembers[i] * kLayoutPixels,
                         LayoutRange(static_cast<LayoutValue>(i)));
  }
  layout_loaded_ = layout;
  point_zoom = settings.PointZoomFlag;
}

bool CoordinateSystemForm::LabelStepEnabled(bool y_axis) const {
  if ((y_axis ? y : x).automatic) return false;
  return !(polar && y_axis);
}

std::string_view CoordinateSystemForm::GridWidthCaption() const {
  return grid_as_points ? "点の大きさ(&S)" : "線の太さ(&S)";
}

std::string_view CoordinateSystemForm::GridColourCaption() const {
  return grid_as_points ? "点の色(&C)" : "線の色(&C)";
}

std::int16_t CoordinateSystemForm::Kind() const {
  if (polar) return 3;
  return static_cast<std::int16_t>(kind_item == 3 ? 4 : std::clamp(kind_item, 0, 2));
}

void CoordinateSystemForm::ResetLayout() {
  layout = kLayoutDefaults;
  // Reset values are written even where they equal the spins as opened.
  layout_loaded_.fill(std::numeric_limits<int>::min());
}

void CoordinateSystemForm::SetPicture(BackgroundPicture chosen) {
  picture = std::move(chosen);
  if (picture_mode == 0) picture_mode = 1;
}

void CoordinateSystemForm::ClearPicture() {
  picture.clear();
  picture_mode = 0;
}

ViewSettings CoordinateSystemForm::EditedView() const {
  ViewSettings v = view_;
  if (restricted_) v.Zoom = static_cast<std::int16_t>(kDialogZoomRange.Clamp(zoom));
  v.SnapStep = ClampReal(sensitivity, kMinSensitivity, kMaxSensitivity);
  v.ShowAxes = show_axes;
  v.ShowGrid = show_grid;
  v.CoordinateKind = Kind();
  StoreText(v.XAxisName, x.name);
  StoreText(v.YAxisName, y.name);
  v.XTick = ClampReal(x.interval, kMinInterval, kMaxInterval);
  v.YTick = ClampReal(y.interval, kMinInterval, kMaxInterval);
  v.XAxisWidthStep = WidthStep(x);
  v.YAxisWidthStep = WidthStep(y);
  v.XAxisStyle = static_cast<std::int16_t>(x.style);
  v.YAxisStyle = static_cast<std::int16_t>(y.style);
  v.XAxisColor = x.colour & 0xFFFFFFu;
  v.YAxisColor = y.colour & 0xFFFFFFu;
  v.AutoXTick = x.automatic;
  v.AutoYTick = y.automatic;
  v.GridAsPoints = grid_as_points;
  v.GridStyle = static_cast<std::int16_t>(grid_style);
  v.GridWidth = static_cast<std::int16_t>(kWidthRange.Clamp(grid_width));
  v.GridColor = grid_colour & 0xFFFFFFu;
  v.BackColor = back_colour & 0xFFFFFFu;
  v.BackgroundMode = std::clamp(picture_mode, 0, 3) + (frame ? 0 : 100);
  const int w = kSurfaceRange.Clamp(surface_width);
  const int h = kSurfaceRange.Clamp(surface_height);
  v.ScreenWidth = w;
  v.ScreenHeight = h;
  v.CentreX = static_cast<std::int16_t>(render::SurfaceCentre(w));
  v.CentreY = static_cast<std::int16_t>(render::SurfaceCentre(h));
  return v;
}

AxisFont CoordinateSystemForm::EditedFont() const {
  AxisFont f = font_;
  StoreText(f.FontName, font.name);
  f.FontSize = font.size;
  f.FontColor = font.colour & 0xFFFFFFu;
  f.FontStyle = static_cast<std::uint8_t>(font.style & 0x0F);
  f.FontSet = font.charset;
  return f;
}

render::AxisLayout CoordinateSystemForm::EditedLayout() const {
  UserSettings s = settings_;
  for (int i = 0; i < kLayoutValueCount; ++i)
    if (layout[i] != layout_loaded_[i]) s.*kLayoutMembers[i] = layout[i] / kLayoutPixels;
  s.PointZoomFlag = point_zoom;
  return AxisLayoutFromSettings(s);
}

render::AxisLayout AxisLayoutFromSettings(const UserSettings& s) {
  render::AxisLayout l;
  l.axis_x_char_x = s.AxisX_Char_X;
  l.axis_x_char_y = s.AxisX_Char_Y;
  l.axis_y_char_x = s.AxisY_Char_X;
  l.axis_y_char_y = s.AxisY_Char_Y;
  l.axis_char_zero = s.Axis_Char_Zero;
  l.axis_char_ajust = s.Axis_Char_Ajust;
  l.arrow_length = s.Axis_Ya_Lenght_X;
  l.arrow_half_width = s.Axis_Ya_Lenght_Y;
  l.char_space = s.cCharSpace;
  l.point_zoom = s.PointZoomFlag;
  return l;
}

void CoordinateSystemForm::Apply(Screen& screen, UserSettings& settings) const {
  for (int i = 0; i < kLayoutValueCount; ++i) {
    const IntRange range = LayoutRange(static_cast<LayoutValue>(i));
    if (layout[i] != layout_loaded_[i])
      settings.*kLayoutMembers[i] = range.Clamp(layout[i]) / kLayoutPixels;
  }
  settings.PointZoomFlag = point_zoom;
  screen.Font = EditedFont();
  screen.View() = EditedView();
  screen.Background = picture;
  screen.Modified = true;
}

CoordinateTab PreviewTabAt(const render::ViewTransform& view, const render::AxesSettings& axes,
                           double px, double py) {
  constexpr double kNear = 3;
  const double ox = view.PlaneToPixelX(0), oy = view.PlaneToPixelY(0);
  if (std::abs(px - ox) <= kNear) return CoordinateTab::kYAxis;
  if (std::abs(py - oy) <= kNear) return CoordinateTab::kXAxis;
  if (!axes.show_grid) return CoordinateTab::kGeneral;
  const double unit = view.UnitPixels();
  if (unit <= 0) return CoordinateTab::kGeneral;
  if (axes.kind == render::CoordinateKind::kPolar) {
    // Circles around the origin every X interval.
    const double step = (axes.x.automatic ? 1.0 : axes.x.interval) * unit;
    const double r = std::hypot(px - ox, py - oy);
    if (step > 0 && std::abs(r - std::round(r / step) * step) <= 1.5) return CoordinateTab::kGrid;
    return CoordinateTab::kGeneral;
  }
  const double angle_unit =
      axes.kind == render::CoordinateKind::kDegrees || axes.kind == render::CoordinateKind::kRadians
          ? M_PI / 6
          : 1.0;
  auto near_line = [&](double offset, const render::AxisSettings& a, double plane_unit) {
    const double step =
        (a.automatic ? (plane_unit == 1.0 ? 1.0 : 3 * plane_unit) : a.interval * plane_unit) * unit;
    return step > 2 && std::abs(offset - std::round(offset / step) * step) <= 1.5;
  };
  if (near_line(px - ox, axes.x, angle_unit) || near_line(py - oy, axes.y, 1.0))
    return CoordinateTab::kGrid;
  return CoordinateTab::kGeneral;
}

render::ViewParams PreviewParams(const CoordinateSystemForm& form, int width, int height,
                                 const RgbImage* picture) {
  ViewSettings v = form.EditedView();
  v.ScreenWidth = width;
  v.ScreenHeight = height;
  v.CentreX = static_cast<std::int16_t>(width / 2);
  v.CentreY = static_cast<std::int16_t>(height / 2);
  v.PanX = 0;
  v.PanY = 0;
  v.Zoom = 100;
  v.Scale = 25;
  return render::ViewParamsFromView(v, form.EditedFont(), picture);
}

PictureFileKind SniffPictureFile(std::span<const std::uint8_t> b) {
  if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return PictureFileKind::kBmp;
  if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return PictureFileKind::kJpeg;
  // Placeable metafile key, plain metafile headers (memory or disk, header size 9
  // words), and enhanced metafiles (record type 1 with " EMF" at offset 40).
  if (b.size() >= 4 && b[0] == 0xD7 && b[1] == 0xCD && b[2] == 0xC6 && b[3] == 0x9A)
    return PictureFileKind::kMetafile;
  if (b.size() >= 4 && (b[0] == 1 || b[0] == 2) && b[1] == 0 && b[2] == 9 && b[3] == 0)
    return PictureFileKind::kMetafile;
  if (b.size() >= 44 && b[0] == 1 && b[1] == 0 && b[2] == 0 && b[3] == 0 &&
      std::memcmp(b.data() + 40, " EMF", 4) == 0)
    return PictureFileKind::kMetafile;
  return PictureFileKind::kOther;
}

std::optional<BackgroundPicture> PictureFromFile(
    std::span<const std::uint8_t> bytes,
    const std::function<DecodedPicture(std::span<const std::uint8_t>)>& decode_other) {
  const PictureFileKind kind = SniffPictureFile(bytes);
  if (kind == PictureFileKind::kMetafile) return std::nullopt;
  if (kind == PictureFileKind::kBmp || kind == PictureFileKind::kJpeg) {
    RgbImage image;
    std::string error;
    if (DecodeImage(bytes, image, error)) {
      BackgroundPicture p;
      p.format = kind == PictureFileKind::kBmp ? BackgroundPicture::Format::kBmp
                                               : BackgroundPicture::Format::kJpeg;
      p.bytes.assign(bytes.begin(), bytes.end());
      return p;
    }
  }
  if (!decode_other) return std::nullopt;
  DecodedPicture other = decode_other(bytes);
  if (!other.ok || other.image.empty()) return std::nullopt;
  BackgroundPicture p;
  p.format = BackgroundPicture::Format::kBmp;
  p.bytes = EncodeBmp(other.image);
  return p;
}

}  // namespace qzarn::forms
