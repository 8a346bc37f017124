#include "io/StreamHash.h"

#include <algorithm>
#include <cstring>

namespace zelio {

namespace {

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr uint64_t kPrime3 = 0x165667B19E3779F9ull;

uint64_t Rotate(uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

// Each step is a bijection of the lane for a given word and of the word for
// a given lane, so one changed word always changes its lane's final value.
uint64_t Round(uint64_t lane, uint64_t word) {
  return Rotate(lane + word * kPrime2, 31) * kPrime1;
}

uint64_t Word(const unsigned char* p) {
  uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

uint64_t Mix(uint64_t h) {
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  h *= kPrime3;
  h ^= h >> 32;
  return h;
}

}  // namespace

void StreamHash::Stripe(const unsigned char* p) {
  lanes_[0] = Round(lanes_[0], Word(p));
  lanes_[1] = Round(lanes_[1], Word(p + 8));
  lanes_[2] = Round(lanes_[2], Word(p + 16));
  lanes_[3] = Round(lanes_[3], Word(p + 24));
}

void StreamHash::Add(const char* data, std::size_t size) {
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  bytes_ += size;
  if (pendingSize_ > 0) {
    const std::size_t take = std::min(size, kStripe - pendingSize_);
    std::memcpy(pending_ + pendingSize_, p, take);
    pendingSize_ += take;
    p += take;
    size -= take;
    if (pendingSize_ < kStripe) return;
    Stripe(pending_);
    pendingSize_ = 0;
  }
  for (; size >= kStripe; p += kStripe, size -= kStripe) Stripe(p);
  std::memcpy(pending_, p, size);
  pendingSize_ = size;
}

uint64_t StreamHash::Value() const {
  uint64_t h = Rotate(lanes_[0], 1) + Rotate(lanes_[1], 7) + Rotate(lanes_[2], 12) +
               Rotate(lanes_[3], 18);
  for (uint64_t lane : lanes_) h = (h ^ Round(0, lane)) * kPrime1 + kPrime3;
  h += bytes_;
  for (std::size_t i = 0; i < pendingSize_; ++i) {
    h = Rotate(h ^ (pending_[i] * kPrime3), 11) * kPrime1;
  }
  return Mix(h);
}

}  // namespace zelio
