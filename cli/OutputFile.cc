#include "OutputFile.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>  // rename
#include <cstring>

namespace zelcli {

using zelstatus::Status;

namespace {

// The temporary files being written, for the signal handlers. A slot's path
// is set and cleared with every signal blocked, so a handler sees either no
// file or the complete name of a file that exists. A command completes all
// its outputs before any appears, so every output of one command is pending
// at once: prepare has five (document, data, schema, statistics, report),
// and its prepared data may be one file per input file.
constexpr int kSlots = 1024;
struct PendingSlot {
  char path[PATH_MAX];
  std::atomic<bool> used{false};
};
PendingSlot gPending[kSlots];

// Writes go out in chunks, so an interruption is noticed while a large
// document is written.
constexpr std::size_t kChunk = 1 << 20;

// Blocks every signal of this thread while it lives.
class SignalsBlocked {
 public:
  SignalsBlocked() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &saved_);
  }
  ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
  SignalsBlocked(const SignalsBlocked&) = delete;
  SignalsBlocked& operator=(const SignalsBlocked&) = delete;

 private:
  sigset_t saved_;
};

// Creates a temporary file from `pattern` (ending in XXXXXX) in a free slot;
// the slot's number, or -1 with errno set.
int CreateTemporary(const std::string& pattern, int* fd) {
  if (pattern.size() >= PATH_MAX) {
    errno = ENAMETOOLONG;
    return -1;
  }
  const SignalsBlocked blocked;
  for (int slot = 0; slot < kSlots; ++slot) {
    if (gPending[slot].used.load()) continue;
    std::memcpy(gPending[slot].path, pattern.c_str(), pattern.size() + 1);
    *fd = mkostemp(gPending[slot].path, O_CLOEXEC);
    if (*fd < 0) return -1;
    gPending[slot].used.store(true);
    return slot;
  }
  errno = EMFILE;
  return -1;
}

// Renames the slot's file to `path`, or removes it when `path` is null.
bool ReleaseTemporary(int slot, const char* path) {
  const SignalsBlocked blocked;
  if (path != nullptr && rename(gPending[slot].path, path) != 0) return false;
  if (path == nullptr) unlink(gPending[slot].path);
  gPending[slot].used.store(false);
  return true;
}

std::string Directory(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The mode a new file would get, or the existing target's own mode.
mode_t TargetMode(const std::string& path) {
  struct stat existing;
  if (stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void RemovePendingTemporaries() {
  for (PendingSlot& slot : gPending) {
    if (slot.used.load()) unlink(slot.path);
  }
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Discard() {
  if (fd_ >= 0 && !standardOutput_) close(fd_);
  fd_ = -1;
  if (slot_ >= 0) ReleaseTemporary(slot_, nullptr);
  slot_ = -1;
}

Status OutputFile::Prepare(const std::string& path) {
  given_ = path;
  standardOutput_ = path == "-";
  if (standardOutput_) return Status();
  auto fail = [&](int number) {
    return Status::InputOutput("cannot write " + path + ": " + std::strerror(number));
  };
  std::string current = path;
  struct stat info;
  // Follows symlinks one at a time (a dangling one names the file to create).
  for (int hops = 0;; ++hops) {
    if (lstat(current.c_str(), &info) != 0) {
      if (errno != ENOENT) return fail(errno);
      exists_ = false;
      break;
    }
    if (!S_ISLNK(info.st_mode)) {
      exists_ = true;
      break;
    }
    char link[PATH_MAX];
    const ssize_t length = readlink(current.c_str(), link, sizeof link - 1);
    if (length < 0 || hops >= 40) return fail(length < 0 ? errno : ELOOP);
    const std::string next(link, static_cast<std::size_t>(length));
    current = next[0] == '/' ? next : Directory(current) + "/" + next;
  }
  path_ = current;
  if (path_.empty()) return fail(ENOENT);
  if ((exists_ && S_ISDIR(info.st_mode)) || path_.back() == '/') return fail(EISDIR);
  direct_ = exists_ && !S_ISREG(info.st_mode);
  const std::string checked = direct_ ? path_ : Directory(path_);
  if (access(checked.c_str(), W_OK) != 0) return fail(errno);
  if (exists_) {
    device_ = info.st_dev;
    inode_ = info.st_ino;
  } else {
    char* real = realpath(Directory(path_).c_str(), nullptr);
    canonical_ = std::string(real != nullptr ? real : Directory(path_)) + "/" + BaseName(path_);
    free(real);
  }
  return Status();
}

Status OutputFile::CheckNotInput(const std::string& input, const char* what) const {
  // Devices and FIFOs are streams: reading one and writing it loses nothing.
  struct stat info;
  if (standardOutput_ || direct_ || !exists_ || input.empty() || input == "-" ||
      stat(input.c_str(), &info) != 0 || info.st_dev != device_ || info.st_ino != inode_) {
    return Status();
  }
  return Status::InvalidInput("the output " + given_ + " is the " + what + " file " + input +
                              "; choose another output");
}

bool OutputFile::SameTarget(const OutputFile& other) const {
  if (standardOutput_ || other.standardOutput_ || direct_ || other.direct_ ||
      exists_ != other.exists_) {
    return false;
  }
  if (exists_) return device_ == other.device_ && inode_ == other.inode_;
  return canonical_ == other.canonical_;
}

Status OutputFile::Open(TorCommon_1_3::IInterruptCheck* interrupts) {
  Discard();
  interrupts_ = interrupts;
  failure_ = 0;
  interrupted_ = false;
  finished_ = false;
  if (standardOutput_) {
    fd_ = STDOUT_FILENO;
  } else if (direct_) {
    fd_ = open(path_.c_str(), O_WRONLY | O_CLOEXEC);
  } else {
    slot_ = CreateTemporary(Directory(path_) + "/." + BaseName(path_) + ".XXXXXX", &fd_);
  }
  if (fd_ >= 0) return Status();
  return Status::InputOutput("cannot write " + given_ + ": " + std::strerror(errno));
}

bool OutputFile::Write(std::string_view bytes) {
  if (fd_ < 0 || failure_ != 0 || interrupted_) return false;
  while (!bytes.empty()) {
    if (interrupts_ != nullptr && interrupts_->IsInterrupted()) {
      interrupted_ = true;
      return false;
    }
    const ssize_t n = write(fd_, bytes.data(), std::min(bytes.size(), kChunk));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failure_ = n < 0 ? errno : EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

Status OutputFile::Finish() {
  int failure = fd_ < 0 ? EBADF : failure_;
  if (failure == 0 && slot_ >= 0 && !interrupted_ &&
      (fchmod(fd_, TargetMode(path_)) != 0 || fsync(fd_) != 0)) {
    failure = errno;
  }
  if (fd_ >= 0 && !standardOutput_ && close(fd_) != 0 && failure == 0) failure = errno;
  fd_ = -1;
  // The last look: a stop signal after it finds the outputs complete.
  if (interrupted_ || (interrupts_ != nullptr && interrupts_->IsInterrupted())) {
    Discard();
    return Status::Interrupted();
  }
  if (failure != 0) return Fail(failure);
  finished_ = true;
  return Status();
}

Status OutputFile::Commit() {
  if (!finished_) {
    const Status finished = Finish();
    if (!finished.ok()) return finished;
  }
  if (slot_ >= 0) {
    if (!ReleaseTemporary(slot_, path_.c_str())) return Fail(errno);
    slot_ = -1;
  }
  return Status();
}

Status OutputFile::Fail(int failure) {
  Discard();
  return Status::InputOutput((standardOutput_ ? std::string("cannot write to standard output")
                                              : "cannot write " + given_) +
                             ": " + std::strerror(failure));
}

}  // namespace zelcli
