// The print dialog's values and preview, and the picture export dialog's values.
#include <gtest/gtest.h>

#include "forms/picture_export_form.h"
#include "forms/print_form.h"

namespace qzarn::forms {
namespace {

TEST(PrintForm, Texts) {
  EXPECT_EQ(PrintWindowTitle("無題1"), "印刷 [無題1]");
  EXPECT_EQ(PrintJobTitle("無題1"), "Q-ZARN \"無題1\"");
  EXPECT_EQ(PrintingStatus("無題1"), "「無題1」を印刷中です．");
}

TEST(PrintForm, PrintingAndPreviewNeedAScreenButNoPrinterQueue) {
  const struct {
    bool screen, queue;
    PrintCommands want;
  } rows[] = {
      // screen  queue    print  preview setup  to PDF file
      {true, true, {true, true, true, false}},
      {true, false, {true, true, true, true}},
      {false, true, {false, false, true, false}},
      {false, false, {false, false, true, true}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "screen " << r.screen << " queue " << r.queue);
    const PrintCommands c = PrintCommandsFor(r.screen, r.queue);
    EXPECT_EQ(c.print, r.want.print);
    EXPECT_EQ(c.preview, r.want.preview);
    EXPECT_EQ(c.setup, r.want.setup);
    EXPECT_EQ(c.to_pdf_file, r.want.to_pdf_file);
  }
  EXPECT_EQ(PrintToFileTitle("無題1"), "PDF ファイルに印刷 [無題1]");
  EXPECT_EQ(PrintToFileDefaultName("無題1"), "無題1.pdf");
}

TEST(PrintForm, LabelsNameUnknownPaperAndTray) {
  PrinterFacts facts{"PDF", "/dev/null", true, "A4", std::nullopt};
  PrintLabels l = MakePrintLabels(facts, true, false);
  EXPECT_EQ(l.printer, "PDF");
  EXPECT_EQ(l.location, "/dev/null");
  EXPECT_EQ(l.orientation, "横");
  EXPECT_EQ(l.paper, "A4");
  EXPECT_EQ(l.tray, "（用紙トレイ不明）");
  EXPECT_EQ(l.colours, "すべての図形を黒色で印刷");
  EXPECT_EQ(l.widths, "線の太さを拡大しない");
  facts.landscape = false;
  facts.paper = "";
  facts.tray = "Tray 1";
  l = MakePrintLabels(facts, false, true);
  EXPECT_EQ(l.orientation, "縦");
  EXPECT_EQ(l.paper, "（用紙サイズ不明）");
  EXPECT_EQ(l.tray, "Tray 1");
  EXPECT_EQ(l.colours, "画面通りの色で印刷");
  EXPECT_EQ(l.widths, "線の太さを拡大する");
}

TEST(PrintForm, CopiesAndSizeStayInTheirLimits) {
  const struct {
    const char* text;
    int current, copies, size;
  } typed[] = {
      {"3", 5, 3, 10},    {"0", 5, 1, 10},      {"10", 5, 10, 10},  {"99", 5, 10, 99},
      {"100", 5, 5, 100}, {"250", 50, 10, 100}, {"", 7, 7, 10},     {"a", 7, 7, 10},
      {"-3", 60, 10, 60}, {"1000", 60, 10, 60}, {"55", 60, 10, 55}, {"5", 60, 5, 10},
  };
  for (const auto& t : typed) {
    EXPECT_EQ(ReadCopies(t.text, t.current), t.copies) << t.text;
    EXPECT_EQ(ReadPrintSize(t.text, t.current), t.size) << t.text;
  }
  // The spin buttons stop at the ends.
  EXPECT_EQ(StepCopies(1, -1), 1);
  EXPECT_EQ(StepCopies(10, +1), 10);
  EXPECT_EQ(StepCopies(4, +1), 5);
  EXPECT_EQ(StepPrintSize(10, -1), 10);
  EXPECT_EQ(StepPrintSize(100, +1), 100);
  EXPECT_EQ(StepPrintSize(50, -1), 45);
  EXPECT_EQ(StepPrintSize(98, +1), 100);
  EXPECT_EQ(StepCopies(40, -1), 9);
}

TEST(PrintForm, PreviewKeepsThePageProportionsAndScalesThePicture) {
  // A4 portrait in a 300 x 300 panel: the height limits.
  const PrintPreview p = PrintPreviewGeometry({300, 300}, 210, 297, {640, 480}, 100);
  EXPECT_EQ(p.page.height(), 296);
  EXPECT_EQ(p.page.width(), 209);  // floor(210 * 296 / 297)
  EXPECT_EQ(p.shadow.left, p.page.left + kPreviewShadow);
  EXPECT_EQ(p.shadow.bottom, p.page.bottom + kPreviewShadow);
  EXPECT_LE(p.shadow.right, 300);
  EXPECT_EQ(p.picture.left, p.page.left + kPreviewOffset);
  EXPECT_EQ(p.picture.top, p.page.top + kPreviewOffset);
  // Width limits: 209 / 640; the picture keeps the surface's proportions.
  const double k = 209.0 / 640;
  EXPECT_EQ(p.picture.width(), 209);
  EXPECT_NEAR(p.picture.height(), 480 * k, 1);
  // Half size halves the picture.
  const PrintPreview half = PrintPreviewGeometry({300, 300}, 210, 297, {640, 480}, 50);
  EXPECT_NEAR(half.picture.width(), 640 * k / 2, 1);
  EXPECT_NEAR(half.picture.height(), 480 * k / 2, 1);
  // No room or no page: nothing to draw.
  EXPECT_EQ(PrintPreviewGeometry({3, 300}, 210, 297, {640, 480}, 100).page.width(), 0);
  EXPECT_EQ(PrintPreviewGeometry({300, 300}, 0, 297, {640, 480}, 100).page.width(), 0);
}

TEST(PictureExportForm, TargetsByExtensionOrBitmapAppended) {
  const struct {
    const char* requested;
    render::PictureKind kind;
    const char* path;
  } cases[] = {
      {"a.bmp", render::PictureKind::kBmp, "a.bmp"},
      {"a.JPG", render::PictureKind::kJpeg, "a.JPG"},
      {"a.png", render::PictureKind::kPng, "a.png"},
      {"a.Svg", render::PictureKind::kSvg, "a.Svg"},
      {"a.pdf", render::PictureKind::kPdf, "a.pdf"},
      {"a.gif", render::PictureKind::kBmp, "a.gif.BMP"},
      {"a", render::PictureKind::kBmp, "a.BMP"},
  };
  for (const auto& c : cases) {
    const ExportTarget t = ResolveExportTarget(c.requested);
    EXPECT_EQ(t.kind, c.kind) << c.requested;
    EXPECT_EQ(t.path, c.path) << c.requested;
  }
  EXPECT_EQ(SavePictureTitle("無題1"), "ｲﾒｰｼﾞとして保存 [無題1]");
  EXPECT_EQ(SavePictureDefaultName("無題1"), "無題1.BMP");
}

TEST(PictureExportForm, SizeFollowsTheProportionsAndIsChecked) {
  PictureExportForm f({640, 480});
  EXPECT_EQ(f.PictureSize(render::PictureKind::kPng), (render::Size{640, 480}));
  f.SetWidth(1280);
  EXPECT_EQ(f.height, 960);
  f.SetHeight(240);
  EXPECT_EQ(f.width, 320);
  f.keep_proportions = false;
  f.SetWidth(500);
  EXPECT_EQ(f.height, 240);
  EXPECT_FALSE(f.Check(render::PictureKind::kPng));
  f.SetWidth(10001);
  EXPECT_TRUE(f.Check(render::PictureKind::kSvg));
  // A PDF is checked by its resolution only and keeps the surface's pixels.
  EXPECT_FALSE(f.Check(render::PictureKind::kPdf));
  EXPECT_EQ(f.PictureSize(render::PictureKind::kPdf), (render::Size{640, 480}));
  f.dpi = 5;
  EXPECT_TRUE(f.Check(render::PictureKind::kPdf));
  f.dpi = 300;
  f.SetWidth(15);
  EXPECT_TRUE(f.Check(render::PictureKind::kBmp));
}

}  // namespace
}  // namespace qzarn::forms
