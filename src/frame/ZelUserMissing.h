// ZelUserMissing: the values a field's owner declared missing: a closed
// range, discrete numbers and texts. The record transformer treats a value
// that meets its field's definition as missing; a host that must judge a
// value before the build (a weight it checks while reading) uses the same
// test. Header-only, so both sides of the library boundary compile it.
#ifndef ZELCRAFT_FRAME_ZELUSERMISSING_H_
#define ZELCRAFT_FRAME_ZELUSERMISSING_H_

#include <string>
#include <string_view>
#include <vector>

namespace ZelFrame {

struct ZelUserMissing {
  bool hasRange = false;
  double low = 0.0;   // the range's bounds, both included
  double high = 0.0;
  std::vector<double> numbers;
  std::vector<std::string> strings;

  bool Any() const { return hasRange || !numbers.empty() || !strings.empty(); }
  bool Matches(double value) const {
    if (hasRange && low <= value && value <= high) return true;
    for (double number : numbers) {
      if (number == value) return true;
    }
    return false;
  }
  bool Matches(std::string_view text) const {
    for (const std::string& s : strings) {
      if (s == text) return true;
    }
    return false;
  }
};

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELUSERMISSING_H_
