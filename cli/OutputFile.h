// OutputFile: every file a command writes (the document, the prepared data,
// the results of apply and inverse) goes through one of these, so each gets
// the same protections. The path is resolved and checked before any work is
// done: "-" is standard output, a symlink is followed to its target, and a
// directory or a place that cannot be written is refused, as is a target
// that is one of the command's inputs. A regular file (or a path where
// nothing exists yet) is written to a temporary file beside it, which
// replaces it by a rename only on Commit: a failed or interrupted run leaves
// no partial file and an existing one untouched, and the temporary file is
// removed on every way out, a second stop signal included. A device or FIFO
// is written through directly, since a rename would replace it with a
// regular file.
#ifndef ZELCRAFT_CLI_OUTPUTFILE_H_
#define ZELCRAFT_CLI_OUTPUTFILE_H_

#include <sys/types.h>

#include <string>
#include <string_view>

#include "io/ByteSink.h"
#include "frame/host/HostInterfaces.h"
#include "status/Status.h"

namespace zelcli {

class OutputFile : public zelio::ByteSink {
 public:
  OutputFile() = default;
  ~OutputFile() override;  // removes a temporary file that was not committed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Resolves and checks `path` ("-": standard output); creates nothing yet.
  // A failure names the path.
  zelstatus::Status Prepare(const std::string& path);
  // Refuses a target that is the existing file `input` (same device and
  // inode, so hard links and symlinks are seen through); `what` names the
  // input in the message ("data").
  zelstatus::Status CheckNotInput(const std::string& input, const char* what) const;
  // Whether two prepared outputs would write the same regular file.
  bool SameTarget(const OutputFile& other) const;

  // Creates the temporary file or opens the device. `interrupts` (may be
  // null) is asked between the chunks of a large write and before the
  // rename.
  zelstatus::Status Open(TorCommon_1_3::IInterruptCheck* interrupts);
  // False once a write failed or was interrupted; Finish tells which.
  bool Write(std::string_view bytes) override;
  // Flushes the file to disk and closes it, taking the last look at the
  // interrupt check, without replacing the target yet: a command completes
  // all its outputs before any of them appears. A failed write is an
  // input/output failure; a stop, kInterrupted.
  zelstatus::Status Finish();
  // Finishes the file if that is not done, then puts it in place.
  zelstatus::Status Commit();

  bool toStandardOutput() const { return standardOutput_; }
  // The path as given, or "standard output".
  std::string name() const { return standardOutput_ ? "standard output" : given_; }

 private:
  void Discard();
  zelstatus::Status Fail(int failure);

  std::string given_;
  std::string path_;  // symlinks followed
  bool standardOutput_ = false;
  bool direct_ = false;  // a device or FIFO
  bool exists_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  std::string canonical_;  // the real directory and name, for a file not yet there

  TorCommon_1_3::IInterruptCheck* interrupts_ = nullptr;
  int fd_ = -1;
  int slot_ = -1;  // of the pending temporary file
  int failure_ = 0;  // errno of the first failed write
  bool interrupted_ = false;
  bool finished_ = false;
};

// Removes every temporary file being written. Async-signal-safe: the handler
// of a signal that ends the process at once calls it.
void RemovePendingTemporaries();

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_OUTPUTFILE_H_
