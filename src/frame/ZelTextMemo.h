// ZelTextMemo: what a statistic looked a batch's texts up to, kept by the
// text's address. Within one batch a text pointer always names the same
// text (a host's dictionary entry, or a text a rule computed into the
// batch), so the second sight of a category in a batch costs a pointer
// comparison instead of string comparisons. Cleared before every batch,
// since texts a batch owns are reused by the next one.
#ifndef ZELCRAFT_FRAME_ZELTEXTMEMO_H_
#define ZELCRAFT_FRAME_ZELTEXTMEMO_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ZelFrame {

template <typename T>
class ZelTextMemo {
 public:
  void Clear() { keys_.fill(nullptr); }
  // True with `*value` set when `text` was put since the last Clear.
  bool Find(const std::string* text, T* value) const {
    const std::size_t slot = Slot(text);
    if (keys_[slot] != text || text == nullptr) return false;
    *value = values_[slot];
    return true;
  }
  void Put(const std::string* text, const T& value) {
    const std::size_t slot = Slot(text);
    keys_[slot] = text;
    values_[slot] = value;
  }

 private:
  static constexpr std::size_t kSlots = 64;
  static std::size_t Slot(const std::string* text) {
    const auto bits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(text));
    return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> 58);
  }
  std::array<const std::string*, kSlots> keys_{};
  std::array<T, kSlots> values_{};
};

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELTEXTMEMO_H_
