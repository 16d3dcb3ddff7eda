#pragma once
// The animation player (Tdlg_Anime): a small stay-on-top tool window that
// steps one box of the user-defined palette through its range on a timer.
// Every value goes the palette's way (ApplyBoxValue, then a redraw), so a tick
// is exactly a palette change; the tick rules live in forms/anime_player.h.
//
// The box and its screen are held by guarded pointers: when either goes (the
// palette rebuilt its boxes, the screen closed) the player stops and hides.

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "document/screen.h"
#include "forms/anime_player.h"
#include "forms/user_palette.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QDoubleSpinBox;
class QTimer;
class QToolButton;

namespace qzarn {
class FigureExpressions;
}

namespace qzarn::ui {

class DocumentWindow;

// The palette box the player drives.
struct AnimeTarget {
  QPointer<QWidget> box;            // the spin box; placed against, repainted
  QPointer<DocumentWindow> window;  // the screen the box belongs to
  UserPaletteBox entry;             // its variable, range, step and initial value
  // The value the box shows; without it the variable's cell is read.
  std::function<double()> shown;
  // Sets the box to a value without running its change handler (the player
  // applies the value itself).
  std::function<void(double)> show;
};

class Tdlg_Anime final : public QWidget {
  Q_OBJECT

 public:
  // `pause` is the InitAnimeTime setting in seconds.
  Tdlg_Anime(FigureExpressions& expressions, double pause, QWidget* parent = nullptr);

  // A right click on a palette box: the caption names the box's variable, the
  // window sits beside the palette level with the box, the box becomes the
  // target and the window shows. A play in progress stops.
  void OpenFor(AnimeTarget target);
  // The palette rebuilt or closed: the player stops and hides.
  void Detach();

  void btAbackClick();  // play backward
  void btBackClick();   // one step back
  void btStopClick();   // stop: the initial value, loci erased
  void btPauseClick();
  void btPlayClick();   // one step forward
  void btAplayClick();  // play forward

  double pause() const;
  void SetPause(double seconds);
  bool playing() const { return player_.playing(); }
  AnimePlayer::State state() const { return player_.state(); }
  // Both timers' interval in milliseconds (they always agree).
  int interval() const;
  bool forwardTimerActive() const;
  bool backwardTimerActive() const;
  const AnimeTarget& target() const { return target_; }

  // Told when the window closes, with the pause to keep in InitAnimeTime.
  std::function<void(double)> pause_stored;

  QToolButton& button(int index) { return *buttons_[index]; }  // left to right
  QDoubleSpinBox& pauseSpin() { return *pause_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void StopTimers();
  void StartTimer(bool forward);
  void Tick(bool forward);
  // Shows the value in the box and writes it through the palette's change
  // path; false when the box or its screen is gone.
  bool Apply(double value);
  double BoxValue() const;
  Screen* screen() const;
  bool Attached() const;
  void UpdateButtons();
  void PlaceBesidePalette();

  FigureExpressions& expressions_;
  AnimeTarget target_;
  AnimePlayer player_;
  QTimer* timer1_ = nullptr;  // forward
  QTimer* timer2_ = nullptr;  // backward
  QToolButton* buttons_[6] = {};
  QDoubleSpinBox* pause_ = nullptr;
  bool in_step_ = false;
};

}  // namespace qzarn::ui
