// The functions the page calls (page/qzarn.js). One lesson per page; strings cross as
// UTF-8, returned strings stay valid until the next call that returns one.
#include <emscripten.h>

#include <cstdint>
#include <limits>
#include <string>

#include "web/lesson.h"
#include "web/web_canvas.h"

namespace {

qzarn::web::Lesson& lesson() {
  static qzarn::web::Lesson instance;
  return instance;
}

std::string& answer() {
  static std::string text;
  return text;
}

const char* Answer(std::string text) {
  answer() = std::move(text);
  return answer().c_str();
}

}  // namespace

extern "C" {

// Adds a screen from document bytes; "" on success, the reason otherwise.
EMSCRIPTEN_KEEPALIVE const char* qz_add_screen(const std::uint8_t* bytes, int size,
                                               const char* title) {
  const auto error = lesson().AddScreen({bytes, static_cast<std::size_t>(size)}, title);
  return Answer(error.value_or(""));
}

EMSCRIPTEN_KEEPALIVE int qz_screen_count() {
  return lesson().ScreenCount();
}

EMSCRIPTEN_KEEPALIVE const char* qz_screen_title(int index) {
  if (index < 0 || index >= lesson().ScreenCount()) return Answer("");
  return Answer(lesson().Title(index));
}

EMSCRIPTEN_KEEPALIVE int qz_show(int index) {
  return lesson().Show(index) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int qz_width() {
  return lesson().SurfaceSize().width;
}

EMSCRIPTEN_KEEPALIVE int qz_height() {
  return lesson().SurfaceSize().height;
}

EMSCRIPTEN_KEEPALIVE void qz_draw() {
  qzarn::web::WebCanvas canvas(lesson().SurfaceSize());
  canvas.Begin();
  lesson().Draw(canvas);
}

// The shown screen's background picture bytes (address, then size through `size`).
EMSCRIPTEN_KEEPALIVE const std::uint8_t* qz_background_bytes(int* size) {
  const auto bytes = lesson().BackgroundBytes();
  *size = static_cast<int>(bytes.size());
  return bytes.data();
}

// The decoded picture as RGBA rows, as the page's canvas gives it.
EMSCRIPTEN_KEEPALIVE void qz_set_background(const std::uint8_t* rgba, int width, int height) {
  qzarn::RgbImage picture(width, height);
  for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i)
    for (std::size_t c = 0; c < 3; ++c)
      picture.pixels[i * 3 + c] = rgba[i * 4 + c];
  lesson().SetBackground(std::move(picture));
}

EMSCRIPTEN_KEEPALIVE const char* qz_variables() {
  return Answer(lesson().VariablesJson());
}

// The variable's value, NaN for a name no palette shows.
EMSCRIPTEN_KEEPALIVE double qz_value(const char* name) {
  return lesson().Value(name).value_or(std::numeric_limits<double>::quiet_NaN());
}

EMSCRIPTEN_KEEPALIVE int qz_set_variable(const char* name, double value) {
  return lesson().SetVariable(name, value) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* qz_figure(const char* name) {
  return Answer(lesson().FigureJson(name));
}

EMSCRIPTEN_KEEPALIVE const char* qz_palettes() {
  return Answer(lesson().PalettesJson());
}

EMSCRIPTEN_KEEPALIVE int qz_select_variable(const char* name) {
  return lesson().SelectVariable(name) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void qz_set_palette_step(double step) {
  lesson().SetPaletteStep(step);
}

EMSCRIPTEN_KEEPALIVE int qz_set_box_value(int box, double value) {
  return lesson().SetBoxValue(box, value) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int qz_step_box(int box, int direction) {
  return lesson().StepBox(box, direction) ? 1 : 0;
}

// `command`: 0 play backward, 1 step back, 2 stop, 3 pause, 4 step forward, 5 play forward.
// Both return the changed (1) and still-playing (2) bits.
EMSCRIPTEN_KEEPALIVE int qz_animate(int target, int command) {
  if (command < 0 || command > 5) return 0;
  return lesson().Animate(target, static_cast<qzarn::web::Lesson::AnimeCommand>(command));
}

EMSCRIPTEN_KEEPALIVE int qz_anime_tick() {
  return lesson().AnimeTick();
}

// The timer interval in milliseconds for a pause in seconds, as the desktop's player sets it.
EMSCRIPTEN_KEEPALIVE int qz_anime_interval(double pause) {
  return qzarn::AnimeInterval(pause);
}

EMSCRIPTEN_KEEPALIVE int qz_pointer_down(double x, double y, double reach) {
  return lesson().PointerDown(x, y, reach) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int qz_pointer_move(double x, double y) {
  return lesson().PointerMove(x, y) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void qz_pointer_up() {
  lesson().PointerUp();
}

EMSCRIPTEN_KEEPALIVE void qz_zoom(double factor, double x, double y) {
  lesson().Zoom(factor, x, y);
}

EMSCRIPTEN_KEEPALIVE void qz_reset() {
  lesson().Reset();
}

}  // extern "C"
