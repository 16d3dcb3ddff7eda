// The animation player on a palette box: timers, single steps, stop with the
// loci erased, the pause, and a box or screen that goes away mid-play.

#include "document/figure_table.h"
#include "document/palette_item_fields.h"
#include "engine/locus.h"
#include "engine/screen_builder.h"
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <string_view>
#include <vector>

#include "main_window_fixture.h"

namespace qzarn::shell {
namespace {

enum { kAback, kBack, kStop, kPause, kPlay, kAplay };

class AnimeWindowTest : public MainWindowTest {
 protected:
  // A screen with a point (a, 0) leaving its locus and a palette box for a.
  void Prepare(MainWindow& w, double value, double minimum, double maximum, double step) {
    w.Start({});
    doc_ = w.activeDocument();
    Screen& s = *doc_->screen();
    testing::ScreenBuilder build;
    FigureRecord point = build.Record(build.Point("a", "0"));
    point.point()->Track = 1;
    point_ = *NewFigure(s.Figures, point);
    PaletteItem& item = s.PaletteItems[0];
    item.SetKind(kPaletteVariableBox);
    const struct {
      std::string_view name;
      double v;
    } fields[] = {{"Variable", 0},      {"Width", 60},         {"Height", 22},
                  {"Value", value},     {"InitialValue", 0.5}, {"Minimum", minimum},
                  {"Maximum", maximum}, {"Step", step}};
    for (const auto& f : fields)
      for (const FieldInfo& info : PaletteItemFields(kPaletteVariableBox))
        if (info.name == f.name) {
          ASSERT_TRUE(WriteNumber(item.Bytes, info, f.v));
        }
    s.Variables().write(0, 1, value);
    doc_->RefreshScreen();
    s.Modified = false;
    box_ = std::make_unique<QDoubleSpinBox>();
    box_->setRange(minimum, maximum);
    box_->setDecimals(6);
    box_->setValue(value);
  }
  ui::AnimeTarget Target() {
    ui::AnimeTarget t;
    t.box = box_.get();
    t.window = doc_;
    t.entry = ReadUserPalette(*doc_->screen()).boxes.at(0);
    t.shown = [this] { return box_->value(); };
    t.show = [this](double v) {
      const QSignalBlocker quiet(box_.get());
      box_->setValue(v);
      shown_.push_back(v);
    };
    return t;
  }
  double A() const { return doc_->screen()->Variables().read(0, 1); }
  int LocusEntries() const {
    return LocusEntryCount(doc_->screen()->Figures.record(point_)->point()->TrackCount);
  }
  static void PlayOut(ui::Tdlg_Anime& anime) {
    for (int i = 0; i < 200 && anime.playing(); ++i)
      QTest::qWait(5);
  }

  ui::DocumentWindow* doc_ = nullptr;
  int point_ = -1;
  std::unique_ptr<QDoubleSpinBox> box_;
  std::vector<double> shown_;
};

TEST_F(AnimeWindowTest, PlaysToTheLimitLeavingLociThatStopErases) {
  MainWindow w(Options());
  Prepare(w, 0, 0, 1, 0.25);
  ui::Tdlg_Anime& anime = w.animeWindow();
  anime.SetPause(0);
  EXPECT_EQ(anime.interval(), 1);
  anime.OpenFor(Target());
  EXPECT_TRUE(anime.isVisible());
  EXPECT_EQ(anime.windowTitle(), "変数 a");
  for (int i = 0; i < 6; ++i)
    EXPECT_FALSE(anime.button(i).accessibleName().isEmpty());

  anime.button(kAplay).click();
  EXPECT_TRUE(anime.forwardTimerActive());
  PlayOut(anime);
  EXPECT_EQ(shown_, (std::vector<double>{0, 0.25, 0.5, 0.75, 1}));
  EXPECT_FALSE(anime.forwardTimerActive());
  EXPECT_EQ(A(), 1);
  EXPECT_EQ(LocusEntries(), 5);
  EXPECT_TRUE(doc_->screen()->Modified);

  anime.button(kStop).click();
  EXPECT_EQ(A(), 0.5);  // the entry's initial value
  EXPECT_EQ(box_->value(), 0.5);
  EXPECT_LE(LocusEntries(), 1);  // only where the point stands now
}

TEST_F(AnimeWindowTest, StepsClampPausesResumeAndDirectionsExcludeEachOther) {
  MainWindow w(Options());
  Prepare(w, 0.95, 0, 1, 0.1);
  ui::Tdlg_Anime& anime = w.animeWindow();
  anime.OpenFor(Target());
  anime.button(kPlay).click();
  EXPECT_EQ(A(), 1);
  doc_->screen()->Modified = false;
  anime.button(kPlay).click();  // at the limit: nothing changes, nothing is redrawn
  EXPECT_EQ(A(), 1);
  EXPECT_FALSE(doc_->screen()->Modified);
  for (int i = 0; i < 12; ++i)
    anime.button(kBack).click();
  EXPECT_EQ(A(), 0);

  anime.SetPause(5);
  box_->setValue(0.4);
  anime.button(kAplay).click();
  EXPECT_EQ(anime.interval(), 5000);
  anime.pauseSpin().stepDown();  // a new pace at once, while playing
  EXPECT_EQ(anime.interval(), 4950);
  anime.button(kAback).click();
  EXPECT_TRUE(anime.backwardTimerActive());
  EXPECT_FALSE(anime.forwardTimerActive());
  anime.button(kPause).click();
  EXPECT_FALSE(anime.playing());
  EXPECT_EQ(box_->value(), 0.4);
  // The pause spin takes no typed text.
  auto* field = anime.pauseSpin().findChild<QLineEdit*>();
  QTest::keyClicks(field, "3");
  EXPECT_DOUBLE_EQ(anime.pause(), 4.95);

  anime.SetPause(0);
  anime.button(kAback).click();
  PlayOut(anime);
  EXPECT_EQ(A(), 0);
  ASSERT_GE(shown_.size(), 2u);
  EXPECT_NEAR(shown_[shown_.size() - 5], 0.4, 1e-9);  // 0.4 0.3 0.2 0.1 0

  // Closing keeps the pause in the settings.
  anime.SetPause(1.5);
  anime.close();
  EXPECT_DOUBLE_EQ(w.settings().user().InitAnimeTime, 1.5);
}

TEST_F(AnimeWindowTest, AStepOfZeroIsRefused) {
  MainWindow w(Options());
  Prepare(w, 0.2, 0, 1, 0);
  ui::Tdlg_Anime& anime = w.animeWindow();
  anime.OpenFor(Target());
  EXPECT_FALSE(anime.button(kAplay).isEnabled());
  EXPECT_FALSE(anime.button(kPlay).isEnabled());
  anime.btAplayClick();
  anime.btPlayClick();
  EXPECT_FALSE(anime.playing());
  EXPECT_EQ(A(), 0.2);
}

TEST_F(AnimeWindowTest, AVanishedBoxStopsThePlayer) {
  MainWindow w(Options());
  Prepare(w, 0, 0, 1, 0.1);
  ui::Tdlg_Anime& anime = w.animeWindow();
  anime.OpenFor(Target());
  anime.SetPause(0.05);
  anime.button(kAplay).click();
  box_.reset();  // the palette rebuilt its boxes
  QTest::qWait(120);
  EXPECT_FALSE(anime.playing());
  EXPECT_FALSE(anime.isVisible());
  EXPECT_EQ(A(), 0);
}

// A right click on a box of the shown palette: the player opens beside the
// palette, not over its boxes; closing the palette closes the player and keeps
// its pause for the next run, as the player's own close does.
TEST_F(AnimeWindowTest, PlayerSitsBesideThePaletteWhichKeepsItsPauseOnClosing) {
  MainWindow w(Options());
  w.show();
  Prepare(w, 0, 0, 1, 0.1);
  w.command(QStringLiteral("sPop_User"))->trigger();
  ui::TEditValue2& palette = w.userPalette();
  ASSERT_TRUE(palette.isVisible());
  ASSERT_FALSE(palette.boxes().empty());
  QWidget* box = palette.boxes()[0];
  QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(box, &right);
  ui::Tdlg_Anime& anime = w.animeWindow();
  ASSERT_TRUE(anime.isVisible());
  EXPECT_FALSE(anime.frameGeometry().intersects(palette.frameGeometry()));
  const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(desk.contains(anime.frameGeometry()));

  anime.SetPause(2.5);
  palette.close();
  EXPECT_FALSE(anime.isVisible());
  EXPECT_DOUBLE_EQ(w.settings().user().InitAnimeTime, 2.5);
}

}  // namespace
}  // namespace qzarn::shell
