// PackedInts: a growing array of signed integers held in the narrowest of
// 1, 2, 4 or 8 bytes that every value so far fits. A value that does not
// fit widens the whole array once; the columns of a data set hold their
// dictionary codes and whole numbers this way.
#ifndef ZELCRAFT_IO_PACKEDINTS_H_
#define ZELCRAFT_IO_PACKEDINTS_H_

#include <cstdint>
#include <cstring>
#include <vector>

#include "io/HugePageAllocator.h"

namespace zelio {

class PackedInts {
 public:
  // `width` is the starting width in bytes (1, 2, 4 or 8).
  explicit PackedInts(int width = 1) : width_(width) {}

  std::size_t size() const { return size_; }
  int width() const { return width_; }
  // The values as `width()`-byte little-endian integers.
  const unsigned char* Data() const { return bytes_.data(); }
  std::size_t capacityBytes() const { return bytes_.capacity(); }

  int64_t Get(std::size_t i) const {
    const unsigned char* p = bytes_.data() + i * static_cast<std::size_t>(width_);
    switch (width_) {
      case 1: return static_cast<int8_t>(*p);
      case 2: return Load<int16_t>(p);
      case 4: return Load<int32_t>(p);
      default: return Load<int64_t>(p);
    }
  }

  // Values [first, first + count) into `out`, the width looked at once.
  void GetRange(std::size_t first, std::size_t count, int64_t* out) const {
    const unsigned char* p = bytes_.data() + first * static_cast<std::size_t>(width_);
    switch (width_) {
      case 1: for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<int8_t>(p[i]); break;
      case 2: Widen<int16_t>(p, count, out); break;
      case 4: Widen<int32_t>(p, count, out); break;
      default: std::memcpy(out, p, count * sizeof(int64_t)); break;
    }
  }

  // f(i, value) for the values [first, first + count), the width looked at
  // once, so that a caller's use of each value joins the unpacking loop.
  template <typename F>
  void ForRange(std::size_t first, std::size_t count, F f) const {
    const unsigned char* p = bytes_.data() + first * static_cast<std::size_t>(width_);
    switch (width_) {
      case 1: for (std::size_t i = 0; i < count; ++i) f(i, static_cast<int8_t>(p[i])); break;
      case 2: for (std::size_t i = 0; i < count; ++i) f(i, Load<int16_t>(p + 2 * i)); break;
      case 4: for (std::size_t i = 0; i < count; ++i) f(i, Load<int32_t>(p + 4 * i)); break;
      default: for (std::size_t i = 0; i < count; ++i) f(i, Load<int64_t>(p + 8 * i)); break;
    }
  }

  // The common case inline: the value fits the width and the room.
  void Append(int64_t value) {
    const std::size_t offset = size_ * static_cast<std::size_t>(width_);
    const bool room = offset + static_cast<std::size_t>(width_) <= bytes_.size();
    unsigned char* p = bytes_.data() + offset;
    switch (width_) {
      case 1:
        if (room && Fits(value, 1)) return Put(p, static_cast<int8_t>(value));
        break;
      case 2:
        if (room && Fits(value, 2)) return Put(p, static_cast<int16_t>(value));
        break;
      case 4:
        if (room && Fits(value, 4)) return Put(p, static_cast<int32_t>(value));
        break;
      default:
        if (room) return Put(p, value);
        break;
    }
    AppendWidening(value);
  }

  // Room for `count` values at the current width.
  void Reserve(std::size_t count) { Room(count * static_cast<std::size_t>(width_)); }
  // Gives back the room beyond the values when it is worth a copy: room
  // never written to takes no memory.
  void ShrinkToFit() {
    const std::size_t used = size_ * static_cast<std::size_t>(width_);
    if (bytes_.size() - used <= bytes_.size() / 8) return;
    bytes_.resize(used);
    bytes_.shrink_to_fit();
  }

  static bool Fits(int64_t value, int width) {
    switch (width) {
      case 1: return value >= INT8_MIN && value <= INT8_MAX;
      case 2: return value >= INT16_MIN && value <= INT16_MAX;
      case 4: return value >= INT32_MIN && value <= INT32_MAX;
      default: return true;
    }
  }
  static int WidthOf(int64_t value) {
    return Fits(value, 1) ? 1 : Fits(value, 2) ? 2 : Fits(value, 4) ? 4 : 8;
  }

 private:
  template <typename T>
  static T Load(const unsigned char* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
  }
  template <typename T>
  static void Widen(const unsigned char* p, std::size_t count, int64_t* out) {
    for (std::size_t i = 0; i < count; ++i) out[i] = Load<T>(p + i * sizeof(T));
  }
  template <typename T>
  void Put(unsigned char* p, T value) {
    std::memcpy(p, &value, sizeof value);
    ++size_;
  }
  // Widens or grows the array first.
  void AppendWidening(int64_t value);

  // Past the reserved room the array grows by half, not by doubling.
  void Grow() { Room(bytes_.size() + bytes_.size() / 2 + 64 * static_cast<std::size_t>(width_)); }
  void Room(std::size_t bytes) {
    if (bytes <= bytes_.size()) return;
    bytes_.reserve(bytes);
    bytes_.resize(bytes);
  }
  void Widen(int width);

  // The bytes are sized ahead (Reserve, Grow) and left unwritten until
  // values come; size_ counts the values.
  std::vector<unsigned char, HugePageAllocator<unsigned char>> bytes_;
  std::size_t size_ = 0;
  int width_;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_PACKEDINTS_H_
