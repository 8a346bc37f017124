// ByteSink: where written text goes: a host's output file (the command
// line's is written atomically), a buffer, or nothing in a benchmark.
#ifndef ZELCRAFT_IO_BYTESINK_H_
#define ZELCRAFT_IO_BYTESINK_H_

#include <string_view>

namespace zelio {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False when the bytes could not all be written.
  virtual bool Write(std::string_view bytes) = 0;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_BYTESINK_H_
