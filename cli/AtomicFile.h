// Writing output files atomically: the bytes go to a temporary file in the
// target's directory, which then replaces the target by a rename. A failed
// or interrupted run therefore never leaves a partial file, and an existing
// one stays untouched until the new one is complete.
#ifndef ZELCRAFT_CLI_ATOMICFILE_H_
#define ZELCRAFT_CLI_ATOMICFILE_H_

#include <string>
#include <string_view>

#include "ByteSink.h"

namespace zelcli {

// A file written piece by piece that appears only when committed; the
// temporary file is removed when the object goes without a commit.
class AtomicOutput : public ByteSink {
 public:
  AtomicOutput() = default;
  ~AtomicOutput() override;
  AtomicOutput(const AtomicOutput&) = delete;
  AtomicOutput& operator=(const AtomicOutput&) = delete;

  bool Open(const std::string& path, std::string* error);
  bool Write(std::string_view bytes) override;
  // Flushes to disk and renames over the target.
  bool Commit(std::string* error);

 private:
  void Discard();

  std::string path_;
  std::string temporary_;
  int fd_ = -1;
  int failure_ = 0;  // errno of the first failed write
};

bool WriteFileAtomically(const std::string& path, std::string_view text, std::string* error);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_ATOMICFILE_H_
