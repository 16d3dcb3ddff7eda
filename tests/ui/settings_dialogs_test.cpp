// The coordinate-system dialog, the line style editor and the options dialog, on
// their own and opened from the main window. QZARN_SCREENSHOT_DIR=<folder> writes a
// picture of every tab and of a screen in each coordinate kind.

#include "forms/accessible_name.h"
#include "ui/coordinate_system_dialog.h"
#include "ui/line_style_dialog.h"
#include "ui/options_dialog.h"
#include "ui/picture_export_dialog.h"
#include "ui/whole_captions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "forms/palette_wizard.h"
#include "main_window_fixture.h"
#include "qt/qt_canvas.h"
#include "render/draw_screen.h"

namespace qzarn {
namespace {

std::unique_ptr<Screen> NewScreen() {
  ScreenTitleCounter titles;
  NewScreenDefaults d;
  d.InitScreenX = 400;
  d.InitScreenY = 300;
  return Screen::Create(d, titles);
}

// Writes the widget's picture when screenshots were asked for.
void Shot(QWidget& widget, const QString& name) {
  const QByteArray dir = qgetenv("QZARN_SCREENSHOT_DIR");
  if (dir.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(dir));
  widget.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name + ".png");
}

template <typename W>
W* Control(QWidget& dialog, const char* caption) {
  for (W* w : dialog.findChildren<W*>())
    if (w->accessibleName() == QString::fromStdString(forms::SpokenCaption(caption))) return w;
  ADD_FAILURE() << "no control " << caption;
  return nullptr;
}

// Runs `step` on the modal dialog the next time the event loop turns.
template <typename D>
void OnModal(std::function<void(D&)> step) {
  QTimer::singleShot(0, [step] {
    auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    step(*dialog);
  });
}

TEST(CoordinateDialog, ControlsFollowTheFormRules) {
  auto s = NewScreen();
  forms::CoordinateSystemForm form(*s, UserSettings{}, false);
  render::RenderOptions render;
  ui::TEditGlid dialog(form, QStringLiteral("画面1"), render, {});
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("座標系の設定 [画面1]"));
  EXPECT_EQ(dialog.tabs().count(), 6);
  auto* polar = Control<QRadioButton>(dialog, "極座標");
  auto* kind = Control<QWidget>(dialog, "種類(T)");
  EXPECT_TRUE(kind->isEnabled());
  polar->setChecked(true);
  EXPECT_TRUE(form.polar);
  EXPECT_FALSE(kind->isEnabled());
  EXPECT_EQ(form.Kind(), 3);

  auto* x_auto = Control<QCheckBox>(dialog, "X軸 自動的に目盛を表示(A)");
  auto* x_interval = Control<QComboBox>(dialog, "X軸 目盛の間隔(W)");
  auto* y_step = Control<QComboBox>(dialog, "Ｙ軸 文字の振り方(J)");
  EXPECT_FALSE(x_interval->isEnabled());
  x_auto->setChecked(false);
  EXPECT_TRUE(x_interval->isEnabled());
  x_interval->setEditText(QStringLiteral("0.25"));
  EXPECT_DOUBLE_EQ(form.x.interval, 0.25);
  Control<QCheckBox>(dialog, "Ｙ軸 自動的に目盛を表示(A)")->setChecked(false);
  EXPECT_FALSE(y_step->isEnabled());  // polar: the Y axis takes the X label step
  Control<QRadioButton>(dialog, "直交座標")->setChecked(true);
  EXPECT_TRUE(y_step->isEnabled());

  auto* points = Control<QCheckBox>(dialog, "点で表示(Z)");
  auto* grid_style = Control<QComboBox>(dialog, "ｸﾞﾘｯﾄﾞ 線のｽﾀｲﾙ(T)");
  points->setChecked(true);
  EXPECT_FALSE(grid_style->isEnabled());
  EXPECT_NE(Control<QComboBox>(dialog, "ｸﾞﾘｯﾄﾞ 点の大きさ(S)"), nullptr);

  Control<QComboBox>(dialog, "マウスの感度(M)")->setEditText(QStringLiteral("25"));
  Control<QSpinBox>(dialog, "横(X)")->setValue(800);
  Control<QComboBox>(dialog, "X軸 軸の名前(N)")->setEditText(QStringLiteral("θ"));
  Control<QSpinBox>(dialog, "目盛の長さ：")->setValue(8);
  dialog.accept();
  UserSettings settings;
  form.Apply(*s, settings);
  EXPECT_DOUBLE_EQ(s->View().SnapStep, 10);
  EXPECT_EQ(s->View().ScreenWidth, 800);
  EXPECT_EQ(s->View().CentreX, 400);
  EXPECT_EQ(s->View().XAxisName.view(), "\x83\xC6");  // θ in code page 932
  EXPECT_DOUBLE_EQ(settings.Axis_Char_Ajust, 8 / 25.0);
}

TEST(CoordinateDialog, PreviewClicksAndTabsAndScreenshots) {
  auto s = NewScreen();
  forms::CoordinateSystemForm form(*s, UserSettings{}, false);
  render::RenderOptions render;
  ui::TEditGlid dialog(form, QStringLiteral("画面1"), render, {});
  dialog.PreviewClicked(120, 30);  // on the Y axis of the 240 x 200 preview
  EXPECT_EQ(dialog.tabs().currentIndex(), 2);
  dialog.PreviewClicked(30, 101);
  EXPECT_EQ(dialog.tabs().currentIndex(), 1);
  dialog.PreviewClicked(145, 50);  // the grid line x = 1
  EXPECT_EQ(dialog.tabs().currentIndex(), 3);
  dialog.PreviewClicked(10, 10);
  EXPECT_EQ(dialog.tabs().currentIndex(), 0);
  // The preview draws what the controls say: no axes leaves the axis pixels white.
  const QImage with_axes = dialog.PreviewImage();

  Control<QCheckBox>(dialog, "座標軸を表示(Z)")->setChecked(false);
  Control<QCheckBox>(dialog, "ｸﾞﾘｯﾄﾞを表示(G)")->setChecked(false);
  const QImage without = dialog.PreviewImage();
  EXPECT_FALSE(form.show_axes);
  EXPECT_FALSE(form.show_grid);
  EXPECT_EQ(without.pixelColor(10, 10), QColor(Qt::white));  // the frame is not filled
  EXPECT_NE(with_axes.pixelColor(60, 100), without.pixelColor(60, 100));
  EXPECT_EQ(without.pixelColor(60, 100), QColor(Qt::white));
  Control<QCheckBox>(dialog, "座標軸を表示(Z)")->setChecked(true);
  Control<QCheckBox>(dialog, "ｸﾞﾘｯﾄﾞを表示(G)")->setChecked(true);
  for (int tab = 0; tab < dialog.tabs().count(); ++tab) {
    dialog.tabs().setCurrentIndex(tab);
    Shot(dialog, QStringLiteral("coordinate_tab%1").arg(tab));
  }
}

// Captions the windows used to cut: the coordinate dialog's page tabs (the
// last one was behind scroll arrows), the picture dialog's title with the
// screen's name, and the palette wizard's closing message, whose lines were
// broken inside words.
TEST(WholeCaptions, TabsTitlesAndMessagesAreShownWhole) {
  auto s = NewScreen();
  forms::CoordinateSystemForm form(*s, UserSettings{}, false);
  render::RenderOptions render;
  ui::TEditGlid dialog(form, QStringLiteral("画面1"), render, {});
  dialog.show();
  QTabBar* bar = dialog.tabs().tabBar();
  for (int tab = 0; tab < dialog.tabs().count(); ++tab) {
    if (!dialog.tabs().isTabVisible(tab)) continue;
    SCOPED_TRACE(dialog.tabs().tabText(tab).toStdString());
    EXPECT_TRUE(bar->rect().contains(bar->tabRect(tab)));
    EXPECT_EQ(bar->tabText(tab), dialog.tabs().tabText(tab));
  }
  EXPECT_TRUE(dialog.rect().contains(QRect(bar->mapTo(&dialog, QPoint(0, 0)), bar->size())));

  forms::PictureExportForm picture(render::Size{640, 480});
  const QString title = QStringLiteral("ｲﾒｰｼﾞとして保存 [二次関数の頂点の軌跡 lesson]");
  ui::PictureExportDialog export_dialog(picture, render::PictureKind::kPng, title);
  export_dialog.show();
  QFont bold = QApplication::font("QMdiSubWindowTitleBar");
  bold.setBold(true);
  EXPECT_GE(export_dialog.width(), QFontMetrics(bold).horizontalAdvance(title) + 100);

  QString lines;
  int label_height = 0;
  int line_height = 0;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    lines = label->text();
    label_height = label->height();
    line_height = label->fontMetrics().lineSpacing();
    QTest::keyClick(box, Qt::Key_Return);
  });
  ui::InformWithWholeLines(
      nullptr, QString::fromUtf8(kWizardDoneMessage).replace(QLatin1Char('\r'), QLatin1Char('\n')));
  EXPECT_TRUE(lines.contains(QStringLiteral("再度実行してください．")));
  // Three lines and the paragraph's margins, not a fourth line from a break.
  EXPECT_GT(line_height, 0);
  EXPECT_LT(label_height, 4 * line_height);
}

TEST(CoordinateDialog, RestrictedModeHidesLayoutAndHelpAndShowsZoom) {
  auto s = NewScreen();
  forms::CoordinateSystemForm form(*s, UserSettings{}, true);
  render::RenderOptions render;
  ui::TEditGlid dialog(form, QStringLiteral("画面1"), render, {});
  dialog.show();
  EXPECT_FALSE(dialog.tabs().isTabVisible(5));
  EXPECT_FALSE(Control<QWidget>(dialog, "ﾍﾙﾌﾟ(H)")->isVisible());
  EXPECT_TRUE(Control<QSpinBox>(dialog, "画面のズーム(Z)")->isVisible());
  Shot(dialog, QStringLiteral("coordinate_restricted"));
}

TEST(CoordinateDialog, PicturesAreOpenedByTheirContent) {
  QTemporaryDir dir;
  const QString png = dir.filePath(QStringLiteral("logo.bmp"));  // a PNG whatever its name
  QImage image(30, 20, QImage::Format_RGB32);
  image.fill(QColor(200, 30, 30));
  ASSERT_TRUE(image.save(png, "PNG"));
  const QString jpeg = dir.filePath(QStringLiteral("photo.jpeg"));
  ASSERT_TRUE(image.save(jpeg, "JPEG"));
  const QString ico = dir.filePath(QStringLiteral("icon.ico"));
  ASSERT_TRUE(QImage(16, 16, QImage::Format_ARGB32).save(ico, "ICO"));
  const QString wmf = dir.filePath(QStringLiteral("drawing.wmf"));
  {
    QFile f(wmf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\xD7\xCD\xC6\x9A\0\0\0\0\0\0", 10));
  }
  struct Case {
    QString path;
    bool accepted;
    BackgroundPicture::Format format;
  } cases[] = {{png, true, BackgroundPicture::Format::kBmp},
               {jpeg, true, BackgroundPicture::Format::kJpeg},
               {ico, true, BackgroundPicture::Format::kBmp},
               {wmf, false, {}},
               {dir.filePath(QStringLiteral("missing.jpg")), false, {}}};
  for (const Case& c : cases) {
    auto s = NewScreen();
    s->View().BackgroundMode = 0;
    forms::CoordinateSystemForm form(*s, UserSettings{}, false);
    std::vector<QString> errors;
    ui::CoordinateDialogServices services;
    services.choose_picture_file = [&](QWidget*) { return std::optional<QString>(c.path); };
    services.show_error = [&](QWidget*, const QString& text) { errors.push_back(text); };
    render::RenderOptions render;
    ui::TEditGlid dialog(form, QStringLiteral("画面1"), render, services);
    dialog.OpenPictureClick();
    EXPECT_EQ(!form.picture.empty(), c.accepted) << c.path.toStdString();
    if (c.accepted) {
      EXPECT_EQ(form.picture.format, c.format);
      EXPECT_EQ(form.picture_mode, 1);
      if (c.path == png) {
        dialog.tabs().setCurrentIndex(4);
        Shot(dialog, QStringLiteral("coordinate_picture"));
        // The 30 x 20 picture sits centred under the axes.
        EXPECT_EQ(dialog.PreviewImage().pixelColor(110, 94), QColor(200, 30, 30));
      }
    } else {
      ASSERT_EQ(errors.size(), 1u);
      EXPECT_EQ(errors[0], QStringLiteral("図を読み込むことができません．"));
    }
  }
}

// A screen switched to each kind through the dialog's form, drawn as the window draws.
TEST(CoordinateDialog, KindsChosenInTheDialogAreDrawn) {
  struct Case {
    bool polar;
    int item;
    const char* name;
  } cases[] = {{false, 0, "standard"},
               {true, 0, "polar"},
               {false, 1, "degrees"},
               {false, 2, "radians"},
               {false, 3, "complex"}};
  std::vector<QImage> pictures;
  for (const Case& c : cases) {
    auto s = NewScreen();
    s->Font.FontSet = 128;
    UserSettings settings;
    forms::CoordinateSystemForm form(*s, settings, false);
    form.polar = c.polar;
    form.kind_item = c.item;
    form.Apply(*s, settings);
    QImage image(s->View().ScreenWidth, s->View().ScreenHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    QtCanvas canvas(painter, render::Size{image.width(), image.height()});
    render::RenderOptions options;
    render::DrawScreen(canvas, s.get(), options);
    painter.end();
    pictures.push_back(image);
    const QByteArray dir = qgetenv("QZARN_SCREENSHOT_DIR");
    if (!dir.isEmpty()) image.save(QString::fromLocal8Bit(dir) + "/kind_" + c.name + ".png");
  }
  // Polar, degrees and radians have their own grids and labels; the complex
  // plane is drawn like the standard one (only positions are written differently).
  for (std::size_t i = 1; i + 1 < pictures.size(); ++i)
    EXPECT_NE(pictures[i], pictures[0]) << cases[i].name;
  EXPECT_EQ(pictures.back(), pictures[0]);
}

TEST(LineStyleDialog, CellsPreviewAndResets) {
  forms::LineStyleForm form(render::DefaultLineStyles());
  int asked = 0;
  ui::TEditLineBit dialog(form, [&](QWidget*, const QString& text) {
    ++asked;
    EXPECT_EQ(text, QStringLiteral("すべての線のスタイルを初期値に戻しますか？"));
    return true;
  });
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("線のスタイル編集"));
  EXPECT_EQ(ui::TEditLineBit::CellAt(0, 5), 0);
  EXPECT_EQ(ui::TEditLineBit::CellAt(16, 5), 1);
  EXPECT_EQ(ui::TEditLineBit::CellAt(15 * 36 + 2, 5), -1);
  const QImage before = dialog.PreviewImage();
  dialog.ClickCell(7);
  dialog.ClickCell(7);  // the dash grows by one cell
  EXPECT_EQ(form.table().entries[0].runs[1], 5);
  EXPECT_NE(dialog.PreviewImage(), before);
  Shot(dialog, QStringLiteral("line_styles_dash"));
  dialog.SelectStyle(3);
  Control<QDoubleSpinBox>(dialog, "空白の間隔(W)")->setValue(2.5);
  EXPECT_DOUBLE_EQ(form.table().entries[3].gap_factor, 2.5);
  Shot(dialog, QStringLiteral("line_styles_dashdotdot"));
  dialog.ResetClick();
  EXPECT_DOUBLE_EQ(form.table().entries[3].gap_factor, 1.0);
  dialog.DefaultsClick();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(form.table(), render::DefaultLineStyles());
}

// Keys as the user types them into the focused zoom and mouse-step boxes:
// only digits and "." get in, and the zoom is normalised on leaving the box.
TEST(OptionsDialog, NumberBoxesTakeDigitsOnlyAndTheZoomIsNormalisedOnLeaving) {
  UserSettings settings;
  forms::OptionsForm form(settings, false);
  ui::TdlgOption dialog(form, {});
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  dialog.tabs().setCurrentIndex(static_cast<int>(forms::OptionsTab::kNew));
  for (const char* caption : {"画面のｽﾞｰﾑ(W)", "ﾏｳｽの感度(M)"}) {
    SCOPED_TRACE(caption);
    auto* box = Control<QComboBox>(dialog, caption);
    ASSERT_NE(box, nullptr);
    box->setFocus();
    box->lineEdit()->clear();
    QTest::keyClicks(box, "12.5x%a");
    EXPECT_EQ(box->currentText(), QStringLiteral("12.5"));
  }
  auto* zoom = Control<QComboBox>(dialog, "画面のｽﾞｰﾑ(W)");
  zoom->setFocus();
  zoom->setEditText(QStringLiteral("2000"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), zoom);
  EXPECT_EQ(zoom->currentText(), QStringLiteral("1000%"));
}

TEST(OptionsDialog, ControlRulesAndScreenshots) {
  UserSettings settings;
  forms::OptionsForm form(settings, false);
  ui::TdlgOption dialog(form, {});
  auto* count = Control<QSpinBox>(dialog, "個まで表示");
  auto* use = Control<QCheckBox>(dialog, "最近使ったﾌｧｲﾙの一覧(F)");
  count->setValue(0);
  EXPECT_FALSE(use->isChecked());
  EXPECT_FALSE(count->isEnabled());
  use->setChecked(true);
  EXPECT_TRUE(count->isEnabled());
  auto* jpeg = Control<QCheckBox>(dialog, "座標系の図をJPEG形式で保存(J)");
  jpeg->setChecked(false);
  EXPECT_FALSE(Control<QWidget>(dialog, "画質")->isEnabled());
  auto* zoom = Control<QComboBox>(dialog, "画面のｽﾞｰﾑ(W)");
  zoom->setEditText(QStringLiteral("2000"));
  dialog.NormaliseZoom();
  EXPECT_EQ(zoom->currentText(), QStringLiteral("1000%"));
  for (int tab = 0; tab < 6; ++tab) {
    dialog.tabs().setCurrentIndex(tab);
    Shot(dialog, QStringLiteral("options_tab%1").arg(tab));
  }
  forms::OptionsForm print_form(settings, true);
  ui::TdlgOption print_dialog(print_form, {});
  for (int tab = 0; tab < 6; ++tab)
    EXPECT_EQ(print_dialog.tabs().isTabVisible(tab), tab == 3);
  Shot(print_dialog, QStringLiteral("options_print_only"));
}

TEST(OptionsDialog, ABadScreenSizeKeepsTheDialogOpenAndWritesNothing) {
  UserSettings settings;
  forms::OptionsForm form(settings, false);
  std::vector<QString> errors;
  ui::OptionsDialogServices services;
  services.show_error = [&](QWidget*, const QString& text) { errors.push_back(text); };
  ui::TdlgOption dialog(form, services);
  dialog.show();
  Control<QComboBox>(dialog, "縦(Y)")->setEditText(QStringLiteral("wide"));
  Control<QSpinBox>(dialog, "個まで表示")->setValue(2);
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(dialog.tabs().currentIndex(), 1);
  EXPECT_EQ(settings.FileMax, 5);
  Control<QComboBox>(dialog, "縦(Y)")->setEditText(QStringLiteral("(自動)"));
  dialog.accept();
  EXPECT_FALSE(dialog.isVisible());
  form.Apply(settings);
  EXPECT_EQ(settings.FileMax, 2);
}

}  // namespace

namespace shell {
namespace {

TEST_F(MainWindowTest, CoordinateDialogFromTheMenuWritesScreenAndSettings) {
  MainWindow w(Options());
  w.Start({});
  ui::DocumentWindow* doc = w.activeDocument();
  ASSERT_NE(doc, nullptr);
  OnModal<ui::TEditGlid>([](ui::TEditGlid& d) {
    Control<QRadioButton>(d, "極座標")->setChecked(true);
    Control<QSpinBox>(d, "矢印の長さ： 横")->setValue(20);
    d.accept();
  });
  w.command(QStringLiteral("M_Zahyo"))->trigger();
  EXPECT_EQ(doc->screen()->View().CoordinateKind, 3);
  EXPECT_TRUE(doc->screen()->Modified);
  EXPECT_DOUBLE_EQ(w.settings().user().Axis_Ya_Lenght_X, 0.8);
  // The settings file was written when the dialog was confirmed.
  QFile file(QString::fromStdString((fs::path(temp_.path().toStdString()) / "user.ini").string()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("Axis_Ya_Lenght_X=0.8"));

  // The double-click on an axis opens the same dialog on that axis' tab; Cancel
  // changes nothing.
  int opened_tab = -1;
  OnModal<ui::TEditGlid>([&](ui::TEditGlid& d) {
    opened_tab = d.tabs().currentIndex();
    d.reject();
  });
  EXPECT_FALSE(w.EditCoordinateSystemOf(*doc->screen(), 2));
  EXPECT_EQ(opened_tab, 2);
}

TEST_F(MainWindowTest, OptionsTangentChangeResamplesEveryScreen) {
  MainWindow w(Options());
  w.Start({});
  ui::DocumentWindow* first = w.activeDocument();
  ui::DocumentWindow* second = w.NewScreen();
  ASSERT_NE(first, second);
  for (ui::DocumentWindow* doc : {first, second}) {
    FigureRecord r = FigureRecord::Blank(kFunctionFigure);
    r.function()->FuncKind = 1;
    r.function()->CurveValid = 1;
    PlaceFigure(doc->screen()->Figures, 0, std::move(r));
  }
  std::vector<int> valid_at_redraw;
  OnModal<ui::TdlgOption>([](ui::TdlgOption& d) {
    Control<QDoubleSpinBox>(d, "陽関数で不連続点とみなす値(Y)")->setValue(50);
    d.accept();
  });
  // The redraw that follows recomputes the curves; catch the state before it.
  w.apply_settings = [&] {
    for (ui::DocumentWindow* doc : {first, second})
      valid_at_redraw.push_back(doc->screen()->Figures.record(0)->function()->CurveValid);
  };
  EXPECT_TRUE(w.OpenOptions(false));
  EXPECT_DOUBLE_EQ(w.settings().user().Tangent, 50);
  EXPECT_EQ(valid_at_redraw, (std::vector<int>{0, 0}));
}

TEST_F(MainWindowTest, LineStylesReachTheSettings) {
  MainWindow w(Options());
  w.Start({});
  OnModal<ui::TEditLineBit>([](ui::TEditLineBit& d) {
    d.ClickCell(7);
    d.accept();
  });
  w.EditLineStylesClick();
  EXPECT_EQ(w.settings().user().LineBit0, "3,2,4,1,");
  EXPECT_EQ(w.lineStyles().entries[0].run_count, 3);
}

}  // namespace
}  // namespace shell
}  // namespace qzarn
