// ZelWeightRule: how much a record counts. The record transformer applies
// it to every record, and a host that wants to tell its user about weights
// before the build (records left out, a weight too large, with the line it
// is on) asks the same functions instead of repeating the rule.
//
// A frequency weight counts whole records: a real value is rounded half up
// in floating point (so that a value far outside 64 bits, either way, is
// judged instead of overflowing a conversion). A record whose frequency or
// analysis weight is missing, zero or negative counts nowhere. Counts are
// signed 64-bit, so a frequency weight, and the frequency weights of a pass
// added up, must stay below 2^63, and the moment weights (frequency times
// analysis weight) must add up to a finite number.
#ifndef ZELCRAFT_FRAME_ZELWEIGHTRULE_H_
#define ZELCRAFT_FRAME_ZELWEIGHTRULE_H_

#include <cmath>
#include <cstdint>

namespace ZelWeightRule {

constexpr double kCountLimit = 9223372036854775808.0;  // 2^63

// The whole records a real frequency weight stands for; not positive (or
// NaN) when the record counts nowhere.
inline double RoundFrequency(double value) { return std::trunc(value + 0.5); }

// Whether a weight, rounded where it is a frequency weight, lets its
// record count.
inline bool Counts(double weight) { return weight > 0.0; }

// Whether a counting weight is too large to be counted at all.
inline bool TooLarge(double weight, bool frequency) {
  return frequency ? weight >= kCountLimit : !std::isfinite(weight);
}

// The records and moment weights of one pass, added up.
class Totals {
 public:
  enum class Fit { kFits, kTooManyRecords, kNotFinite };

  // Adds a counting record; anything but kFits once the totals no longer fit.
  Fit Add(double frequency, double analysis) {
    moments_ += frequency * analysis;
    if (__builtin_add_overflow(records_, static_cast<int64_t>(frequency), &records_)) {
      return Fit::kTooManyRecords;
    }
    return std::isfinite(moments_) ? Fit::kFits : Fit::kNotFinite;
  }
  // Add(1, 1) `count` times. While the total stays below 2^53 every partial
  // sum of ones is a whole number held exactly, so one addition gives the
  // same; past it the ones are added one by one.
  Fit AddUnits(int64_t count) {
    constexpr double kExact = 9007199254740992.0;  // 2^53
    if (count >= 0 && moments_ == std::trunc(moments_) &&
        moments_ + static_cast<double>(count) < kExact) {
      moments_ += static_cast<double>(count);
      if (__builtin_add_overflow(records_, count, &records_)) return Fit::kTooManyRecords;
      return Fit::kFits;
    }
    Fit fit = Fit::kFits;
    for (int64_t i = 0; i < count && fit == Fit::kFits; ++i) fit = Add(1.0, 1.0);
    return fit;
  }
  int64_t records() const { return records_; }

 private:
  int64_t records_ = 0;
  double moments_ = 0.0;
};

}  // namespace ZelWeightRule

#endif  // ZELCRAFT_FRAME_ZELWEIGHTRULE_H_
