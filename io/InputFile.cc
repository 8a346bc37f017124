#include "io/InputFile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>

namespace zelio {

using zelstatus::Status;

namespace {

// How long a wait for a pipe's data goes before the interrupt check is asked.
constexpr int kPollMs = 100;

FileIdentity IdentityOf(const struct stat& info) {
  FileIdentity id;
  id.device = static_cast<uint64_t>(info.st_dev);
  id.inode = static_cast<uint64_t>(info.st_ino);
  id.size = static_cast<int64_t>(info.st_size);
  id.modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  id.regular = S_ISREG(info.st_mode);
  return id;
}

std::string Failure(const char* what, const std::string& path, int error) {
  return std::string(what) + " " + path + ": " + std::strerror(error);
}

// Why `now` is not the file `was` described, or empty.
std::string Compare(const FileIdentity& was, const FileIdentity& now) {
  if (was.device != now.device || was.inode != now.inode) {
    return "the file changed while it was read: another file took its place";
  }
  if (was.size != now.size) {
    return "the file changed while it was read: its size went from " + std::to_string(was.size) +
           " to " + std::to_string(now.size) + " bytes";
  }
  if (was.modifiedNs != now.modifiedNs) {
    return "the file changed while it was read: it was modified";
  }
  return std::string();
}

}  // namespace

InputFile::InputFile() : stream_(this) {}

InputFile::~InputFile() {
  if (fd_ >= 0) close(fd_);
}

Status InputFile::Open(const std::string& path, TorCommon_1_3::IInterruptCheck* interrupts) {
  interrupts_ = interrupts;
  // Without O_NONBLOCK the open of a FIFO waits for a writer, and no signal
  // handler that restarts calls can end that wait.
  fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return Status::InputOutput(Failure("cannot open", path, errno));
  struct stat info;
  if (fstat(fd_, &info) != 0) return Status::InputOutput(Failure("cannot read", path, errno));
  if (S_ISDIR(info.st_mode)) return Status::InputOutput(Failure("cannot read", path, EISDIR));
  identity_ = IdentityOf(info);
  if (identity_.regular) fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  stream_.clear();
  return Status();
}

InputFingerprint InputFile::Fingerprint() const {
  InputFingerprint print;
  print.known = true;
  print.identity = identity_;
  print.bytes = hash_.bytes();
  print.hash = hash_.Value();
  return print;
}

std::string InputFile::CheckReopened(const InputFingerprint& first) const {
  return first.known ? Compare(first.identity, identity_) : std::string();
}

std::string InputFile::CheckWholeRead(const InputFingerprint& first) const {
  if (!identity_.regular) return std::string();
  struct stat info;
  if (fstat(fd_, &info) != 0) return "the file cannot be read";
  std::string change = Compare(identity_, IdentityOf(info));
  if (!change.empty()) return change;
  if (hash_.bytes() != static_cast<uint64_t>(identity_.size)) {
    return "the file changed while it was read: " + std::to_string(hash_.bytes()) +
           " bytes read of " + std::to_string(identity_.size);
  }
  if (first.known && (first.bytes != hash_.bytes() || first.hash != hash_.Value())) {
    return "the file changed while it was read: its bytes differ from those read first";
  }
  return std::string();
}

bool InputFile::WaitReadable() {
  pollfd ready{fd_, POLLIN, 0};
  for (;;) {
    if (interrupts_ != nullptr && interrupts_->IsInterrupted()) {
      interrupted_ = true;
      return false;
    }
    const int n = poll(&ready, 1, kPollMs);
    if (n > 0) return true;
    if (n < 0 && errno != EINTR) return true;  // the read reports it
  }
}

std::size_t InputFile::ReadSome(char* s, std::size_t n) {
  if (fd_ < 0 || failed_ || interrupted_) return 0;
  for (;;) {
    if (!identity_.regular && !WaitReadable()) return 0;
    const ssize_t got = read(fd_, s, n);
    if (got > 0) {
      hash_.Add(s, static_cast<std::size_t>(got));
      return static_cast<std::size_t>(got);
    }
    if (got == 0) return 0;
    if (errno == EINTR || errno == EAGAIN) continue;
    failed_ = true;
    return 0;
  }
}

InputFile::int_type InputFile::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  const std::size_t got = ReadSome(buffer_, sizeof buffer_);
  if (got == 0) {
    if (failed_) stream_.setstate(std::ios::badbit);
    return traits_type::eof();
  }
  setg(buffer_, buffer_, buffer_ + got);
  return traits_type::to_int_type(*gptr());
}

std::streamsize InputFile::xsgetn(char* s, std::streamsize n) {
  std::streamsize done = 0;
  // Bytes a single-character read left buffered come first.
  const std::streamsize buffered = std::min<std::streamsize>(n, egptr() - gptr());
  if (buffered > 0) {
    std::memcpy(s, gptr(), static_cast<std::size_t>(buffered));
    gbump(static_cast<int>(buffered));
    done = buffered;
  }
  while (done < n) {
    const std::size_t got = ReadSome(s + done, static_cast<std::size_t>(n - done));
    if (got == 0) break;
    done += static_cast<std::streamsize>(got);
  }
  if (failed_) stream_.setstate(std::ios::badbit);
  return done;
}

}  // namespace zelio
