// InputFile: a data file read as a stream straight from its descriptor,
// which keeps what it read in view, so that a file read more than once can
// be held to be the same file with the same bytes every time.
//
// Opening never blocks: a FIFO without a writer opens at once. On a pipe,
// FIFO or device the reads wait for data in short polls that ask the
// interrupt check in between, so a stop signal ends a wait for a writer
// that never comes; interrupted() then says why the stream ended early.
// Every byte read goes through a running hash (StreamHash) beside the count.
//
// A reread is checked twice: at opening, the file must be the same one
// (device and inode) with the same size and modification time; at its end,
// the read must have seen the same bytes as the first whole read, and the
// file must not have changed while it was read.
#ifndef ZELCRAFT_IO_INPUTFILE_H_
#define ZELCRAFT_IO_INPUTFILE_H_

#include <cstdint>
#include <istream>
#include <streambuf>
#include <string>

#include "frame/host/HostInterfaces.h"
#include "io/StreamHash.h"
#include "status/Status.h"

namespace zelio {

// What fstat says of an open file.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modifiedNs = 0;
  bool regular = false;
};

// What one whole read of a file saw; `known` is false until there was one.
struct InputFingerprint {
  bool known = false;
  FileIdentity identity;  // at opening
  uint64_t bytes = 0;
  uint64_t hash = 0;
};

class InputFile : private std::streambuf {
 public:
  InputFile();
  ~InputFile() override;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens `path` for reading; a directory or an unopenable path is refused
  // with a message naming it. `interrupts` (may be null) is asked, on the
  // thread that reads, while a pipe, FIFO or device has nothing to read; it
  // must outlive the reads.
  zelstatus::Status Open(const std::string& path, TorCommon_1_3::IInterruptCheck* interrupts);
  std::istream& stream() { return stream_; }

  // A regular file, which can be read again; a pipe, FIFO or device cannot.
  bool regular() const { return identity_.regular; }
  bool interrupted() const { return interrupted_; }
  // What was read so far, with the identity at opening.
  InputFingerprint Fingerprint() const;

  // Empty when the file just opened is the one `first` was read from, with
  // the same size and modification time; otherwise what changed.
  std::string CheckReopened(const InputFingerprint& first) const;
  // After a read to the end: empty when the file did not change while it
  // was read and, when `first` is known, the read saw exactly its bytes.
  std::string CheckWholeRead(const InputFingerprint& first) const;

 private:
  int_type underflow() override;
  std::streamsize xsgetn(char* s, std::streamsize n) override;
  // One read(2) of at most `n` bytes, hashed; 0 at the end or when stopped.
  std::size_t ReadSome(char* s, std::size_t n);
  bool WaitReadable();

  int fd_ = -1;
  TorCommon_1_3::IInterruptCheck* interrupts_ = nullptr;
  FileIdentity identity_;
  StreamHash hash_;
  bool interrupted_ = false;
  bool failed_ = false;
  char buffer_[4096];
  std::istream stream_;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_INPUTFILE_H_
