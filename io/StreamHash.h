// StreamHash: a fast 64-bit hash of a byte stream, fed in pieces of any
// size: the value depends only on the bytes and their order, not on how
// they were split. Four independent lanes take 32 bytes a step, so hashing
// costs a small fraction of reading the same bytes. It tells a read of a
// file from an earlier one of other bytes; it is no defence against bytes
// made to collide on purpose.
#ifndef ZELCRAFT_IO_STREAMHASH_H_
#define ZELCRAFT_IO_STREAMHASH_H_

#include <cstddef>
#include <cstdint>

namespace zelio {

class StreamHash {
 public:
  void Add(const char* data, std::size_t size);
  uint64_t Value() const;
  uint64_t bytes() const { return bytes_; }

 private:
  static constexpr std::size_t kStripe = 32;
  void Stripe(const unsigned char* p);

  uint64_t lanes_[4] = {0x60ea27eeadc0b5d6ull, 0xc2b2ae3d27d4eb4full, 0x0ull,
                        0x61c8864e7a143579ull};
  unsigned char pending_[kStripe];
  std::size_t pendingSize_ = 0;
  uint64_t bytes_ = 0;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_STREAMHASH_H_
