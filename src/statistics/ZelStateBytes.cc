#include "statistics/ZelStateBytes.h"

#include <cstring>

namespace ZelStatistic {

void ZelStateWriter::U32(uint32_t v) {
  char bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(v >> (8 * i));
  out_->append(bytes, 4);
}

void ZelStateWriter::Text(const std::string& v) {
  U64(v.size());
  out_->append(v);
}

bool ZelStateReader::Skip(std::size_t bytes) {
  if (!ok_ || Remaining() < bytes) {
    ok_ = false;
    return false;
  }
  position_ += bytes;
  return true;
}

bool ZelStateReader::U8(uint8_t* v) { return Take(v, 1); }

bool ZelStateReader::U32(uint32_t* v) {
  unsigned char bytes[4];
  if (!Take(bytes, 4)) return false;
  *v = 0;
  for (int i = 3; i >= 0; --i) *v = (*v << 8) | bytes[i];
  return true;
}

bool ZelStateReader::Count(uint64_t* v, std::size_t itemBytes) {
  if (!U64(v)) return false;
  if (itemBytes > 0 && *v > Remaining() / itemBytes) ok_ = false;
  return ok_;
}

bool ZelStateReader::Text(std::string* v) {
  uint64_t length;
  if (!Count(&length, 1)) return false;
  v->assign(data_ + position_, static_cast<std::size_t>(length));
  position_ += static_cast<std::size_t>(length);
  return true;
}

uint64_t ZelStateHash(const char* data, std::size_t size, uint64_t seed) {
  uint64_t hash = seed;
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= static_cast<unsigned char>(data[i]);
    hash *= 1099511628211ULL;
  }
  return hash;
}

namespace {

uint64_t Word(const char* data) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(data[i]);
  return v;
}

uint64_t Step(uint64_t lane, uint64_t word) {
  constexpr uint64_t kPrime = 1099511628211ULL;
  const uint64_t mixed = (lane ^ word) * kPrime;
  return (mixed << 23) | (mixed >> 41);
}

}  // namespace

uint64_t ZelStateChecksum(const char* data, std::size_t size) {
  constexpr uint64_t kBasis = 1469598103934665603ULL;
  uint64_t lanes[4] = {kBasis, kBasis ^ 1, kBasis ^ 2, kBasis ^ 3};
  std::size_t i = 0;
  for (; i + 32 <= size; i += 32) {
    for (int j = 0; j < 4; ++j) lanes[j] = Step(lanes[j], Word(data + i + 8 * j));
  }
  uint64_t hash = size;
  for (uint64_t lane : lanes) hash = Step(hash, lane);
  return ZelStateHash(data + i, size - i, hash);
}

}  // namespace ZelStatistic
