// ByteSink: where a command's output goes. The commands write to an
// OutputFile (standard output, a device, or a file written atomically);
// benchmarks write to nothing.
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

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_BYTESINK_H_
