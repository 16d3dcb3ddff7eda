#include "web/lesson.h"

#include <algorithm>
#include <cmath>

#include "app/cli/json_writer.h"
#include "document/document_file.h"
#include "document/field_table.h"
#include "engine/equations.h"
#include "engine/locus.h"
#include "forms/user_palette.h"
#include "forms/variable_palette.h"
#include "platform/text_encoding.h"
#include "render/draw_screen.h"

namespace qzarn::web {

// The pointer tools' window side: the page redraws the whole picture after every pointer
// event that changed it, so the erasable drawing of the dragged figure needs no canvas of
// its own and there are no dialogs or status bar.
class Lesson::Ui final : public interact::PointerUi {
 public:
  render::Canvas& PictureCanvas() override { return scratch_; }
  void RefreshScreen() override { changed_ = true; }
  void SetCursor(interact::PointerCursor) override {}
  void SetStatus(int, std::string_view) override {}
  bool EditFigureDialog(Screen&, int) override { return false; }
  void TakeUndoSnapshot(Screen&) override {}
  void CreateObjectFigure(Screen&, int, int) override {}
  void BeginObjectEdit(Screen&, int) override {}

  bool TakeChanged() { return std::exchange(changed_, false); }

 private:
  // Drawn on and thrown away: the next full picture replaces it.
  class Scratch final : public render::Canvas {
   public:
    render::Size DeviceSize() const override { return {1, 1}; }
    void SetPixel(render::Point, render::Colour) override {}
    void DrawLine(render::Point, render::Point) override {}
    void DrawLine(render::PointF, render::PointF) override {}
    void DrawPolyline(std::span<const render::Point>) override {}
    void DrawPolyline(std::span<const render::PointF>) override {}
    void DrawPolygon(std::span<const render::Point>) override {}
    void DrawPolygon(std::span<const render::PointF>) override {}
    void DrawRectangle(const render::Rect&) override {}
    void DrawEllipse(const render::Rect&) override {}
    void DrawEllipse(const render::RectF&) override {}
    void DrawArc(const render::RectF&, double, double) override {}
    void DrawPie(const render::RectF&, double, double) override {}
    void DrawChord(const render::RectF&, double, double) override {}
    void DrawText(render::PointF, std::string_view) override {}
    render::TextExtent MeasureText(std::string_view) override { return {}; }
    void DrawImage(const render::Rect&, const RgbImage&) override {}
  };
  Scratch scratch_;
  bool changed_ = false;
};

namespace {

std::string LoadErrorText(const LoadResult& result) {
  switch (result.error) {
    case LoadError::kUnknownFormat:
      return "この形式のファイルは読み込めません。";
    case LoadError::kBadArchive:
      return "圧縮されたファイルは開けません: " + result.detail;
    case LoadError::kTooLarge:
      return "ファイルが大きすぎます。";
    default:
      return "ファイルを読み込めません: " + result.detail;
  }
}

}  // namespace

Lesson::Lesson() : ui_(std::make_unique<Ui>()) {
  pointer_ = std::make_unique<interact::PointerContext>(interact::PointerContext{
      engine_, expressions_, *ui_, render_, defaults_, attributes_, current_tool_});
  pointer_->hit.tangent = render_.tangent;
}

Lesson::~Lesson() = default;

std::unique_ptr<Screen> Lesson::Load(std::span<const std::uint8_t> bytes,
                                     std::string& error) const {
  ScreenTitleCounter titles;
  std::unique_ptr<Screen> screen = Screen::Create(NewScreenDefaults{}, titles);
  // Records of older versions are shorter: their tail keeps the built-in default attributes.
  LoadOptions options;
  options.make_record = [this](std::int32_t type) { return defaults_.Record(type); };
  const LoadResult result = ReadDocumentBytes(bytes, *screen, options);
  if (!result.ok()) {
    error = LoadErrorText(result);
    return nullptr;
  }
  return screen;
}

std::optional<std::string> Lesson::AddScreen(std::span<const std::uint8_t> bytes,
                                             std::string title) {
  std::string error;
  std::unique_ptr<Screen> screen = Load(bytes, error);
  if (!screen) return error;
  const VariableTable published = screen->Variables();
  screens_.push_back(
      Entry{{bytes.begin(), bytes.end()}, std::move(title), std::move(screen), {}, published});
  return std::nullopt;
}

bool Lesson::Show(int index) {
  if (index < 0 || index >= ScreenCount()) return false;
  shown_ = index;
  player_.Halt();
  pressed_ = false;
  current_tool_ = interact::kNoTool;
  return true;
}

render::Size Lesson::SurfaceSize() const {
  if (screens_.empty()) return {0, 0};
  return {screen().View().ScreenWidth, screen().View().ScreenHeight};
}

void Lesson::Draw(render::Canvas& canvas) {
  if (screens_.empty()) return;
  render::DrawScreenInputs inputs;
  inputs.recompute = [this](Screen& s) { engine_.RecomputeScreen(s); };
  const RgbImage& picture = screens_[shown_].picture;
  inputs.picture = picture.empty() ? nullptr : &picture;
  render::DrawScreen(canvas, &screen(), render_, inputs);
}

std::span<const std::uint8_t> Lesson::BackgroundBytes() const {
  if (screens_.empty()) return {};
  return screen().Background.bytes;
}

void Lesson::SetBackground(RgbImage picture) {
  if (!screens_.empty()) screens_[shown_].picture = std::move(picture);
}

std::string Lesson::VariablesJson() const {
  cli::JsonWriter json;
  json.BeginObject();
  if (!screens_.empty()) {
    const VariableTable& table = screen().Variables();
    for (const PaletteVariable v : CollectUsedVariables(screen()).PaletteList()) {
      json.Key(PaletteVariableName(v));
      json.Number(table.read(v.row, v.column()));
    }
  }
  json.EndObject();
  return json.str();
}

std::optional<double> Lesson::Value(std::string_view name) const {
  const std::optional<PaletteVariable> v = PaletteVariableFromName(name);
  if (screens_.empty() || !v) return std::nullopt;
  return screen().Variables().read(v->row, v->column());
}

bool Lesson::SetVariable(std::string_view name, double value) {
  if (screens_.empty() || !std::isfinite(value)) return false;
  const std::optional<PaletteVariable> v = PaletteVariableFromName(name);
  if (!v) return false;
  ApplyVariableValue(screen(), *v, value, expressions_);
  return true;
}

std::string Lesson::FigureJson(std::string_view name) const {
  if (screens_.empty()) return "null";
  const FigureTable& table = screen().Figures;
  const std::string wanted = utf8_to_cp932(name).bytes;
  for (int i = 0; i < kFigureSlots; ++i) {
    const FigureSlot& slot = table[i];
    if (slot.empty()) continue;
    const auto bytes = slot.Record.stored_bytes();
    const std::vector<const FieldInfo*> fields = FieldsOfType(slot.FigureType);
    const auto named = std::find_if(fields.begin(), fields.end(), [](const FieldInfo* f) {
      return std::string_view(f->name) == "Name";
    });
    if (named == fields.end()) continue;
    const auto stored = ReadString(bytes, **named, 0);
    if (!stored || *stored != wanted) continue;
    cli::JsonWriter json;
    json.BeginObject();
    json.Key("type");
    json.Integer(slot.FigureType);
    for (const FieldInfo* f : fields) {
      if (f->count >= kTrackLength) continue;
      json.Key(f->name);
      if (f->count > 1) json.BeginArray();
      for (int k = 0; k < f->count; ++k) {
        if (f->kind == FieldKind::kString) {
          const auto text = ReadString(bytes, *f, k);
          if (text)
            json.String(cp932_to_utf8(*text));
          else
            json.Null();
          continue;
        }
        const auto number = ReadNumber(bytes, *f, k);
        if (!number)
          json.Null();
        else if (f->kind == FieldKind::kBool)
          json.Bool(*number != 0);
        else
          json.Number(*number);
      }
      if (f->count > 1) json.EndArray();
    }
    json.EndObject();
    return json.str();
  }
  return "null";
}

bool Lesson::PointerDown(double x, double y, double reach) {
  if (screens_.empty()) return false;
  Screen& s = screen();
  // The factors multiply squared radii.
  const double factor = std::clamp(reach, 1.0, 10.0) * std::clamp(reach, 1.0, 10.0);
  pointer_->hit.factors = interact::HitFactors{factor, factor, factor, factor, factor};
  interact::BeginPress(*pointer_, state_, s, x, y);
  if (s.SelectedIndex >= 0 && !interact::HitSelected(s, pointer_->hit, s.SelectedIndex, x, y).hit())
    s.SelectedIndex = -1;
  if (s.SelectedIndex < 0) s.SelectedIndex = interact::PickFigure(s, pointer_->hit, x, y).slot;
  current_tool_ = s.SelectedIndex < 0 ? interact::kPanningTool : interact::kNoTool;
  pressed_ = true;
  return s.SelectedIndex >= 0;
}

bool Lesson::PointerMove(double x, double y) {
  if (screens_.empty() || !pressed_) return false;
  interact::PointerEvent event;
  event.x = x;
  event.y = y;
  interact::DragSelected(*pointer_, state_, screen(), event);
  return ui_->TakeChanged() || current_tool_ == interact::kPanningTool;
}

void Lesson::PointerUp() {
  pressed_ = false;
  state_.grab_x = state_.grab_y = -1;
  current_tool_ = interact::kNoTool;
  if (!screens_.empty()) screen().SelectedIndex = -1;
}

void Lesson::Zoom(double factor, double x, double y) {
  if (screens_.empty() || !(factor > 0)) return;
  ViewSettings& view = screen().View();
  const render::ViewTransform before = render::ViewParamsFromScreen(screen(), nullptr).view;
  const double plane_x = before.PixelToPlaneX(x), plane_y = before.PixelToPlaneY(y);
  const int zoom = std::clamp(static_cast<int>(std::lround(view.Zoom.get() * factor)), 10, 2000);
  view.Zoom = static_cast<std::int16_t>(zoom);
  const render::ViewTransform after = render::ViewParamsFromScreen(screen(), nullptr).view;
  const auto pan = [](double current, double shift) {
    return static_cast<std::int16_t>(std::clamp(std::lround(current + shift), -5000L, 5000L));
  };
  view.PanX = pan(view.PanX.get(), x - after.PlaneToPixelX(plane_x));
  view.PanY = pan(view.PanY.get(), y - after.PlaneToPixelY(plane_y));
  InvalidateAllCurves(screen());
}

void Lesson::Reset() {
  for (Entry& entry : screens_) {
    std::string error;
    if (std::unique_ptr<Screen> fresh = Load(entry.bytes, error)) entry.screen = std::move(fresh);
  }
  player_.Halt();
  pressed_ = false;
  current_tool_ = interact::kNoTool;
}

}  // namespace qzarn::web
