#pragma once
// The animation player (Tdlg_Anime) apart from its window: where a play
// starts, what each tick shows, single steps, and the timer interval.
//
// A step of 0 or below (or not a number) would never reach the end of the
// range, so such a box cannot be played or stepped.

#include <optional>

namespace qzarn {

inline constexpr double kAnimePauseMaximum = 5.0;
inline constexpr double kAnimePauseIncrement = 0.05;

// The range and step of the palette box the player drives.
struct AnimeRange {
  double minimum = 0;
  double maximum = 0;
  double step = 0;
  bool playable() const;
};

// v moved to the nearest multiple of 0.000001 (halves to even); v itself when
// that multiple's count does not fit in 32 bits.
double SnapToDisplayGrid(double v);
// The timers' interval in milliseconds for a pause in seconds: rounded, and 1
// for a pause of 0.
int AnimeInterval(double pause_seconds);
// The pause spin's value kept to 0..5 in steps of 0.05.
double ClampAnimePause(double pause_seconds);

// One step forward or back from the box's value: snapped, clamped to the range.
std::optional<double> AnimeStepForward(const AnimeRange& range, double value);
std::optional<double> AnimeStepBack(const AnimeRange& range, double value);

class AnimePlayer {
 public:
  enum class State { kIdle, kForward, kBackward };

  // Starting a play takes the box's value as the first value to show; the
  // other direction stops. Returns false (and stays idle) for an unplayable range.
  bool PlayForward(const AnimeRange& range, double value);
  bool PlayBackward(const AnimeRange& range, double value);
  // Stop, pause and single steps.
  void Halt() { state_ = State::kIdle; }

  // One timer tick: the value to apply, or nothing when idle. The last tick of
  // a direction gives the limit and returns the player to idle.
  std::optional<double> Tick();

  State state() const { return state_; }
  bool playing() const { return state_ != State::kIdle; }

 private:
  AnimeRange range_;
  double position_ = 0;
  State state_ = State::kIdle;
};

}  // namespace qzarn
