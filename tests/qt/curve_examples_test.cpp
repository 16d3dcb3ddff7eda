// Function curves and regions sampled by the engine and painted through the
// Qt canvas. With QZARN_WRITE_CURVE_EXAMPLES=DIR the pictures are written to
// DIR as PNG files (examples/curves_*.png).

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/screen.h"
#include "engine/function_sampling.h"
#include "engine/implicit_curves.h"
#include "expr/engine.h"
#include "render/draw_screen.h"

// Qt after the document headers: its `slots` keyword macro would break them.
#include <QImage>
#include <QPainter>

#include "qt/qt_canvas.h"
#include "qt/qt_image.h"

namespace qzarn {
namespace {

using namespace render;

struct CurveExample {
  const char* name;
  std::function<void(FunctionRecord&)> define;
  std::uint32_t colour;  // the curve colour expected in the picture
};

void Common(FunctionRecord& f, int kind, const char* fx) {
  f.FuncKind = kind;
  f.FuncX = fx;
  f.AreaSx1 = "-10";
  f.AreaEx1 = "10";
  f.AreaWd1 = "0.05";
  f.DispL = true;
  f.SizeL = 2;
  f.SizeP = 2;
  f.ColorL = 0x0000C0u;  // dark red
  f.ColorP = 0xC08000u;  // blue-teal
  f.Font.FontName = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
  f.Font.FontSize = 16;
  f.Font.FontSet = 128;
  f.Seido = 1e-4;
}

void Implicit(FunctionRecord& f, const char* fx, int relation, const char* r, const char* w) {
  Common(f, kImplicitCurve, fx);
  f.Mode = relation;
  const std::string lo = std::string("-") + r;
  f.AreaSx1 = lo;
  f.AreaEx1 = r;
  f.AreaSx2 = lo;
  f.AreaEx2 = r;
  f.AreaWd2 = w;
}

const std::vector<CurveExample>& Examples() {
  static const std::vector<CurveExample> examples = {
      {"parabola", [](FunctionRecord& f) { Common(f, kExplicitCurve, "0.5*x^2"); }, 0x0000C0},
      {"family",
       [](FunctionRecord& f) {
         Common(f, kExplicitCurve, "a*x^2");
         f.ParamVar = 1;  // a
         f.AreaSx2 = "-2";
         f.AreaEx2 = "2";
         f.AreaWd2 = "0.5";
       },
       0x0000C0},
      {"lissajous",
       [](FunctionRecord& f) {
         Common(f, kParametricCurve, "6*SIN(3*t)");
         f.FuncY = "6*SIN(4*t)";
         f.ParamVar = 19;  // t
         f.AreaSx1 = "0";
         f.AreaEx1 = "2*PI";
         f.AreaWd1 = "PI/300";
       },
       0x0000C0},
      {"rose",
       [](FunctionRecord& f) {
         Common(f, kPolarCurve, "7*COS(4*t)");
         f.ParamVar = 18;  // t
         f.AreaSx1 = "0";
         f.AreaEx1 = "2*PI";
         f.AreaWd1 = "PI/360";
       },
       0x0000C0},
      {"recurrence",
       [](FunctionRecord& f) {
         Common(f, kExplicitCurve, "y+SIN(x)");
         f.Recursive = true;
         f.InitY = -6;
         f.AreaSx1 = "-8";
         f.AreaEx1 = "8";
         f.AreaWd1 = "0.5";
         f.DispP = true;
         f.SizeP = 3;
       },
       0x0000C0},
      {"circle", [](FunctionRecord& f) { Implicit(f, "x^2+y^2-4", 0, "10", "0.5"); }, 0x0000C0},
      {"disc_region",
       [](FunctionRecord& f) {
         Implicit(f, "x^2+y^2-4", kRelationLess, "3", "0.2");
         f.FamilyVar = kHatchRising;
         f.pType = true;
       },
       0xC08000},
      {"hyperbola", [](FunctionRecord& f) { Implicit(f, "x*y-1", 0, "10", "0.5"); }, 0x0000C0},
  };
  return examples;
}

QImage Render(const CurveExample& example, int& resampled_entries) {
  NewScreenDefaults d;
  d.InitScreenX = 480;
  d.InitScreenY = 480;
  d.InitGridColor = 0xD0D0D0;
  ScreenTitleCounter titles;
  auto screen = Screen::Create(d, titles);
  EXPECT_TRUE(PlaceFigure(screen->Figures, 0, FigureRecord::Blank(kFunctionFigure)));
  example.define(*screen->Figures.record(0)->function());
  ExprEngine expr;
  EXPECT_TRUE(ResampleFunction(*screen, expr, 0));
  resampled_entries = screen->Figures.record(0)->function()->SampleLast + 1;

  QImage image(480, 480, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, Size{480, 480});
    RenderOptions options;
    DrawScreen(canvas, screen.get(), options);
  }
  return image;
}

TEST(CurveExamples, EveryExamplePaintsItsCurve) {
  const char* out_dir = std::getenv("QZARN_WRITE_CURVE_EXAMPLES");
  for (const CurveExample& example : Examples()) {
    SCOPED_TRACE(example.name);
    int entries = 0;
    const QImage image = Render(example, entries);
    EXPECT_GT(entries, 10);
    int inked = 0;
    const QRgb want = ToQColor(example.colour).rgb();
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        inked += image.pixel(x, y) == want ? 1 : 0;
    EXPECT_GT(inked, 200);
    if (out_dir == nullptr) continue;
    EXPECT_TRUE(image.save(
        QString::fromStdString(std::string(out_dir) + "/curves_" + example.name + ".png")));
  }
}

}  // namespace
}  // namespace qzarn
