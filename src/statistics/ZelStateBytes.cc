#include "statistics/ZelStateBytes.h"

#include <cstring>

namespace ZelStatistic {

void ZelStateWriter::U32(uint32_t v) {
  for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
}

void ZelStateWriter::U64(uint64_t v) {
  for (int i = 0; i < 8; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
}

void ZelStateWriter::F64(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  U64(bits);
}

void ZelStateWriter::Text(const std::string& v) {
  U64(v.size());
  out_->append(v);
}

bool ZelStateReader::Take(void* to, std::size_t bytes) {
  if (!ok_ || Remaining() < bytes) {
    ok_ = false;
    return false;
  }
  std::memcpy(to, data_ + position_, bytes);
  position_ += bytes;
  return true;
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

bool ZelStateReader::U64(uint64_t* v) {
  unsigned char bytes[8];
  if (!Take(bytes, 8)) return false;
  *v = 0;
  for (int i = 7; i >= 0; --i) *v = (*v << 8) | bytes[i];
  return true;
}

bool ZelStateReader::I64(int64_t* v) {
  uint64_t bits;
  if (!U64(&bits)) return false;
  *v = static_cast<int64_t>(bits);
  return true;
}

bool ZelStateReader::F64(double* v) {
  uint64_t bits;
  if (!U64(&bits)) return false;
  std::memcpy(v, &bits, sizeof bits);
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

}  // namespace ZelStatistic
