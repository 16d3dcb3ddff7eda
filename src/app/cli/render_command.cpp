// qzarn-cli render FILE -o OUT.png|OUT.bmp|OUT.jpg: loads a document, recomputes
// it and writes its screen picture at the surface size. PNG goes through Qt;
// BMP and JPEG are written as the program's "save as picture" writes them.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "app/cli/cli_document.h"
#include "app/cli/commands.h"
#include "platform/image_codec.h"
#include "render/draw_screen.h"
#include "render/save_picture.h"

#ifdef QZARN_WITH_QT
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "qt/qt_canvas.h"
#include "qt/qt_fonts.h"
#include "qt/qt_image.h"
#endif

namespace qzarn::cli {

namespace {

constexpr const char* kRenderUsage =
    "usage: qzarn-cli render FILE -o OUT.png|OUT.bmp|OUT.jpg [--no-antialias]\n";

int Usage() {
  std::fputs(kRenderUsage, stderr);
  return 2;
}

bool EndsWithNoCase(std::string_view s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char c = s[s.size() - tail.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != tail[i]) return false;
  }
  return true;
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
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-o" || arg == "--output") {
      if (i + 1 >= argc || !output.empty()) return Usage();
      output = argv[++i];
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

#ifndef QZARN_WITH_QT
  (void)antialias;
  std::fprintf(stderr, "render: this build has no drawing surface (built without Qt)\n");
  return 1;
#else
  std::unique_ptr<Screen> screen = LoadCliDocument("render", input);
  if (!screen) return 1;
  const int width = screen->View().ScreenWidth, height = screen->View().ScreenHeight;
  if (width <= 0 || height <= 0 || width > 10000 || height > 10000) {
    std::fprintf(stderr, "render: cannot draw %s: surface size %d x %d is out of range\n",
                 input.c_str(), width, height);
    return 1;
  }

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

  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, render::Size{width, height});
    render::RenderOptions options;
    options.antialiasing = antialias;
    render::DrawScreenInputs inputs;
    inputs.recompute = [](Screen& s) { RecomputeForCli(s); };
    inputs.picture = background;
    render::DrawScreen(canvas, screen.get(), options, inputs);
  }

  std::string written, error;
  if (EndsWithNoCase(output, ".png")) {
    if (!SavePng(image, output, error)) {
      std::fprintf(stderr, "render: cannot write %s: %s\n", output.c_str(), error.c_str());
      return 1;
    }
    return 0;
  }
  if (!render::SaveAsPicture(FromQImage(image), output, written, error)) {
    std::fprintf(stderr, "render: cannot write %s: %s\n", output.c_str(), error.c_str());
    return 1;
  }
  return 0;
#endif
}

}  // namespace qzarn::cli
