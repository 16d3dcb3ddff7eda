// qzarn-cli render FILE -o OUT.{png,bmp,jpg,svg,pdf} [--size WxH | --scale K]: loads a
// document, recomputes it and writes its screen picture, by default at the surface size. The
// output kind comes from the extension; BMP and JPEG are written as the program's "save as
// picture" writes them, SVG and PDF through the same drawing pass as the raster kinds.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/cli/cli_document.h"
#include "app/cli/commands.h"
#include "platform/image_codec.h"
#include "render/draw_screen.h"
#include "render/picture_layout.h"

#ifdef QZARN_WITH_QT
#include "qt/picture_export.h"

#include <QGuiApplication>

#include "qt/qt_fonts.h"
#endif

namespace qzarn::cli {

namespace {

constexpr const char* kRenderUsage =
    "usage: qzarn-cli render FILE -o OUT.{png,bmp,jpg,svg,pdf} [--size WxH | --scale K]\n"
    "                        [--no-antialias]\n"
    "  the output kind comes from the extension (any case); --size fits the picture into\n"
    "  W x H pixels keeping its proportions, --scale enlarges or reduces it by K\n"
    "  (a PDF page measures the picture at 96 pixels per inch)\n";

int Usage() {
  std::fputs(kRenderUsage, stderr);
  return 2;
}

// "WxH" with two whole numbers above 0.
std::optional<render::Size> ParseSize(std::string_view text) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  auto whole = [](std::string_view part) -> int {
    int value = 0;
    const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
    return ec == std::errc() && end == part.data() + part.size() ? value : 0;
  };
  const int w = whole(text.substr(0, x)), h = whole(text.substr(x + 1));
  if (w <= 0 || h <= 0) return std::nullopt;
  return render::Size{w, h};
}

// A factor above 0, written with "." whatever the locale.
std::optional<double> ParseScale(std::string_view text) {
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !(value > 0) ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

// Without a display Qt must use its offscreen platform, or creating the
// application aborts; this has to happen before QGuiApplication exists.
void ChooseHeadlessPlatform() {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const bool none =
      (display == nullptr || *display == '\0') && (wayland == nullptr || *wayland == '\0');
  if (none) setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

}  // namespace

int RunRender(int argc, char** argv) {
  std::string input, output;
  bool antialias = true;
  std::optional<render::Size> size;
  std::optional<double> scale;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-o" || arg == "--output") {
      if (i + 1 >= argc || !output.empty()) return Usage();
      output = argv[++i];
    } else if (arg == "--size") {
      if (i + 1 >= argc || size || scale) return Usage();
      size = ParseSize(argv[++i]);
      if (!size) return Usage();
    } else if (arg == "--scale") {
      if (i + 1 >= argc || size || scale) return Usage();
      scale = ParseScale(argv[++i]);
      if (!scale) return Usage();
    } else if (arg == "--no-antialias") {
      antialias = false;
    } else if (arg.starts_with("-") && arg != "-") {
      return Usage();
    } else if (input.empty()) {
      input = arg;
    } else {
      return Usage();
    }
  }
  if (input.empty() || output.empty()) return Usage();

  const std::optional<render::PictureKind> kind = render::PictureKindFromPath(output);
  if (!kind) {
    std::fprintf(stderr,
                 "render: cannot write %s: unknown picture kind (the name must end in .png, "
                 ".bmp, .jpg, .svg or .pdf)\n",
                 output.c_str());
    return 1;
  }

#ifndef QZARN_WITH_QT
  (void)antialias;
  std::fprintf(stderr, "render: this build has no drawing surface (built without Qt)\n");
  return 1;
#else
  std::unique_ptr<Screen> screen = LoadCliDocument("render", input);
  if (!screen) return 1;

  ChooseHeadlessPlatform();
  int qt_argc = 1;
  char app_name[] = "qzarn-cli";
  char* qt_argv[] = {app_name, nullptr};
  QGuiApplication app(qt_argc, qt_argv);
  InstallFontSubstitutions();

  RgbImage picture;
  const RgbImage* background = nullptr;
  if (!screen->Background.empty()) {
    std::string error;
    if (DecodeImage(screen->Background.bytes, picture, error))
      background = &picture;
    else
      std::fprintf(stderr, "render: background picture ignored: %s\n", error.c_str());
  }

  render::DrawScreenInputs inputs;
  inputs.recompute = [](Screen& s) { RecomputeForCli(s); };
  inputs.picture = background;
  PictureRequest request;
  request.kind = *kind;
  request.size = size;
  request.scale = scale.value_or(1.0);
  request.antialiasing = antialias;
  request.pdf_dpi = kDefaultPdfDpi;
  std::string error;
  if (!ExportScreenPicture(*screen, render::RenderOptions{}, inputs, request, output, error)) {
    std::fprintf(stderr, "render: cannot draw %s into %s: %s\n", input.c_str(), output.c_str(),
                 error.c_str());
    return 1;
  }
  return 0;
#endif
}

}  // namespace qzarn::cli
