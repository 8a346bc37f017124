// ByteSink: where a command's output goes: a file descriptor such as
// standard output, or an atomically written file.
#ifndef ZELCRAFT_CLI_BYTESINK_H_
#define ZELCRAFT_CLI_BYTESINK_H_

#include <string_view>

namespace zelcli {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False when the bytes could not all be written.
  virtual bool Write(std::string_view bytes) = 0;
};

// Writes to an open descriptor that it does not own.
class DescriptorSink : public ByteSink {
 public:
  explicit DescriptorSink(int fd) : fd_(fd) {}
  bool Write(std::string_view bytes) override;

 private:
  int fd_;
};

// write(2) until every byte is out; false on an error.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_BYTESINK_H_
