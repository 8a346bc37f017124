// ZelStateWriter and ZelStateReader: the byte encoding of accumulation
// states. Fixed-width little-endian numbers, doubles by their bits (a state
// read back is the state written, bit for bit), texts with their length.
// The reader never reads past its bytes: a short or damaged state makes a
// read return false, and every later read fails too.
#ifndef ZELCRAFT_STATISTICS_ZELSTATEBYTES_H_
#define ZELCRAFT_STATISTICS_ZELSTATEBYTES_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace ZelStatistic {

class ZelStateWriter {
 public:
  explicit ZelStateWriter(std::string* out) : out_(out) {}
  void U8(uint8_t v) { out_->push_back(static_cast<char>(v)); }
  // Room for `bytes` more, so that a long state grows once.
  void Reserve(std::size_t bytes) { out_->reserve(out_->size() + bytes); }
  void U32(uint32_t v);
  void U64(uint64_t v) {
    char bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>(v >> (8 * i));
    out_->append(bytes, 8);
  }
  void I64(int64_t v) { U64(static_cast<uint64_t>(v)); }
  void F64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U64(bits);
  }
  void Text(const std::string& v);
  std::size_t Size() const { return out_->size(); }
  std::string* Buffer() { return out_; }

 private:
  std::string* out_;
};

class ZelStateReader {
 public:
  ZelStateReader(const char* data, std::size_t size) : data_(data), size_(size) {}
  bool U8(uint8_t* v);
  bool U32(uint32_t* v);
  bool U64(uint64_t* v) {
    unsigned char bytes[8];
    if (!Take(bytes, 8)) return false;
    *v = 0;
    for (int i = 7; i >= 0; --i) *v = (*v << 8) | bytes[i];
    return true;
  }
  bool I64(int64_t* v) {
    uint64_t bits;
    if (!U64(&bits)) return false;
    *v = static_cast<int64_t>(bits);
    return true;
  }
  bool F64(double* v) {
    uint64_t bits;
    if (!U64(&bits)) return false;
    std::memcpy(v, &bits, sizeof bits);
    return true;
  }
  bool Text(std::string* v);
  // A count of items of at least `itemBytes` bytes each that the remaining
  // bytes could hold; false for a larger one, so that no damaged count makes
  // a reader allocate beyond its input.
  bool Count(uint64_t* v, std::size_t itemBytes);
  // Moves past `bytes` bytes; false when fewer remain.
  bool Skip(std::size_t bytes);
  // The next byte to read.
  const char* Here() const { return data_ + position_; }
  bool Ok() const { return ok_; }
  std::size_t Remaining() const { return size_ - position_; }
  bool AtEnd() const { return ok_ && position_ == size_; }

 private:
  bool Take(void* to, std::size_t bytes) {
    if (!ok_ || Remaining() < bytes) {
      ok_ = false;
      return false;
    }
    std::memcpy(to, data_ + position_, bytes);
    position_ += bytes;
    return true;
  }

  const char* data_;
  std::size_t size_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

// FNV-1a over bytes: the identity of a field list or a name.
uint64_t ZelStateHash(const char* data, std::size_t size, uint64_t seed = 1469598103934665603ULL);

// The checksum of a state: four lanes of FNV-style steps over 8-byte
// little-endian words (so that states of hundreds of kilobytes check at
// several bytes a cycle), then the remaining bytes and the length. Any one
// word altered changes its lane, every step being one to one.
uint64_t ZelStateChecksum(const char* data, std::size_t size);

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELSTATEBYTES_H_
