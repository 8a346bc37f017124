#include "PackedInts.h"

namespace zelcli {

void PackedInts::AppendWidening(int64_t value) {
  if (!Fits(value, width_)) Widen(WidthOf(value));
  const std::size_t offset = size_ * static_cast<std::size_t>(width_);
  if (offset + static_cast<std::size_t>(width_) > bytes_.size()) Grow();
  unsigned char* p = bytes_.data() + offset;
  switch (width_) {
    case 1: Put(p, static_cast<int8_t>(value)); break;
    case 2: Put(p, static_cast<int16_t>(value)); break;
    case 4: Put(p, static_cast<int32_t>(value)); break;
    default: Put(p, value); break;
  }
}

void PackedInts::Widen(int width) {
  PackedInts wider(width);
  // The same room in values as before, so an estimate made once still holds.
  wider.Reserve(bytes_.size() / static_cast<std::size_t>(width_));
  for (std::size_t i = 0; i < size_; ++i) wider.Append(Get(i));
  *this = std::move(wider);
}

}  // namespace zelcli
