#include "io/PackedInts.h"

namespace zelio {

void PackedInts::AppendWidening(int64_t value) {
  if (!Fits(value, width_)) Widen(WidthOf(value));
  if ((size_ + 1) * static_cast<std::size_t>(width_) > bytes_.size()) Grow();
  Append(value);
}

void PackedInts::Widen(int width) {
  PackedInts wider(width);
  // The same room in values as before, so an estimate made once still holds.
  wider.Reserve(bytes_.size() / static_cast<std::size_t>(width_));
  for (std::size_t i = 0; i < size_; ++i) wider.Append(Get(i));
  *this = std::move(wider);
}

}  // namespace zelio
