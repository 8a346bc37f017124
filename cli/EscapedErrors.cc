#include "EscapedErrors.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace zelcli {

namespace {

// The length of the character at `text[at]` that is to be written as its
// code, with the code in *code; 0 for any other byte. -1 when the text ends
// before the character does and the rest must wait for more.
int Disguising(const std::string& text, std::size_t at, unsigned* code) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned first = byte(at);
  if ((first < 0x20 && first != '\t' && first != '\n' && first != '\r') || first == 0x7f) {
    *code = first;
    return 1;
  }
  if (first != 0xc2 && first != 0xd8 && first != 0xe2) return 0;
  const std::size_t length = first == 0xe2 ? 3 : 2;
  if (at + length > text.size()) return -1;
  const unsigned second = byte(at + 1);
  if (first == 0xc2 && second >= 0x80 && second <= 0x9f) {
    *code = second;  // C1 controls
    return 2;
  }
  if (first == 0xd8 && second == 0x9c) {
    *code = 0x061c;  // ARABIC LETTER MARK
    return 2;
  }
  if (first != 0xe2) return 0;
  const unsigned third = byte(at + 2);
  *code = 0x2000 + ((second & 0x3f) << 6) + (third & 0x3f);
  const bool marks = second == 0x80 && (third == 0x8e || third == 0x8f);         // LRM, RLM
  const bool embeddings = second == 0x80 && third >= 0xaa && third <= 0xae;      // LRE .. RLO
  const bool isolates = second == 0x81 && third >= 0xa6 && third <= 0xa9;        // LRI .. PDI
  return marks || embeddings || isolates ? 3 : 0;
}

}  // namespace

// Unbuffered: each write is escaped and passed on at once, but for the
// first bytes of a character the write ends in the middle of.
class EscapedErrors::Buffer : public std::streambuf {
 public:
  explicit Buffer(std::streambuf* target) : target_(target) {}
  ~Buffer() override {
    target_->sputn(held_.data(), static_cast<std::streamsize>(held_.size()));
    target_->pubsync();
  }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    Put(&byte, 1);
    return c;
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    Put(text, static_cast<std::size_t>(count));
    return count;
  }
  int sync() override { return target_->pubsync(); }

 private:
  void Put(const char* text, std::size_t count) {
    held_.append(text, count);
    std::string out;
    std::size_t at = 0;
    for (; at < held_.size();) {
      unsigned code = 0;
      const int length = Disguising(held_, at, &code);
      if (length < 0) break;
      if (length == 0) {
        out += held_[at++];
        continue;
      }
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", code);
      out += escape;
      at += static_cast<std::size_t>(length);
    }
    held_.erase(0, at);
    target_->sputn(out.data(), static_cast<std::streamsize>(out.size()));
  }

  std::streambuf* target_;
  std::string held_;  // the start of a character still to come
};

EscapedErrors::EscapedErrors()
    : buffer_(new Buffer(std::cerr.rdbuf())), previous_(std::cerr.rdbuf(buffer_.get())) {}

EscapedErrors::~EscapedErrors() {
  std::cerr.rdbuf(previous_);
  buffer_.reset();
}

}  // namespace zelcli
