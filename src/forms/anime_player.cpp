#include "forms/anime_player.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace qzarn {

namespace {

constexpr double kDisplayGrid = 0.000001;
// The margin before a limit: the last regular value lies at least a tenth of
// a step below the maximum (above the minimum), and the limit follows it.
constexpr double kLimitMargin = 0.1;

}  // namespace

bool AnimeRange::playable() const {
  return std::isfinite(minimum) && std::isfinite(maximum) && std::isfinite(step) && step > 0 &&
         minimum <= maximum;
}

double SnapToDisplayGrid(double v) {
  const double count = std::nearbyint(v / kDisplayGrid);  // default rounding: halves to even
  if (!(count >= std::numeric_limits<std::int32_t>::min() &&
        count <= std::numeric_limits<std::int32_t>::max()))
    return v;
  return count * kDisplayGrid;
}

int AnimeInterval(double pause_seconds) {
  const double ms = std::round(ClampAnimePause(pause_seconds) * 1000.0);
  return std::max(1, static_cast<int>(ms));
}

double ClampAnimePause(double pause_seconds) {
  if (!std::isfinite(pause_seconds)) return 0.0;
  const double steps = std::round(pause_seconds / kAnimePauseIncrement);
  return std::clamp(steps * kAnimePauseIncrement, 0.0, kAnimePauseMaximum);
}

std::optional<double> AnimeStepForward(const AnimeRange& range, double value) {
  if (!range.playable()) return std::nullopt;
  const double next = value + range.step;
  return SnapToDisplayGrid(next < range.maximum ? next : range.maximum);
}

std::optional<double> AnimeStepBack(const AnimeRange& range, double value) {
  if (!range.playable()) return std::nullopt;
  const double next = value - range.step;
  return SnapToDisplayGrid(next > range.minimum ? next : range.minimum);
}

bool AnimePlayer::PlayForward(const AnimeRange& range, double value) {
  state_ = State::kIdle;
  if (!range.playable()) return false;
  range_ = range;
  position_ = value;
  state_ = State::kForward;
  return true;
}

bool AnimePlayer::PlayBackward(const AnimeRange& range, double value) {
  state_ = State::kIdle;
  if (!range.playable()) return false;
  range_ = range;
  position_ = value;
  state_ = State::kBackward;
  return true;
}

std::optional<double> AnimePlayer::Tick() {
  const double margin = kLimitMargin * range_.step;
  switch (state_) {
    case State::kIdle:
      return std::nullopt;
    case State::kForward:
      if (position_ <= range_.maximum - margin) {
        const double shown = SnapToDisplayGrid(position_);
        position_ += range_.step;
        return shown;
      }
      state_ = State::kIdle;
      return range_.maximum;
    case State::kBackward:
      if (position_ >= range_.minimum + margin) {
        const double shown = SnapToDisplayGrid(position_);
        position_ -= range_.step;
        return shown;
      }
      state_ = State::kIdle;
      return range_.minimum;
  }
  return std::nullopt;
}

}  // namespace qzarn
