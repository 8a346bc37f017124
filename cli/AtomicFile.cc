#include "AtomicFile.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>  // rename
#include <cstring>

namespace zelcli {

namespace {

// The temporary file being written, for the signal handlers. The path is
// set and cleared with every signal blocked, so a handler sees either no
// file or a complete name of a file that exists.
char gPendingPath[PATH_MAX];
std::atomic<bool> gPending{false};

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

// Owns the temporary file: removes it on every way out unless it was renamed.
class Temporary {
 public:
  // False with errno set when the file cannot be created.
  bool Create(const std::string& pattern) {
    if (pattern.size() >= sizeof gPendingPath) {
      errno = ENAMETOOLONG;
      return false;
    }
    const SignalsBlocked blocked;
    std::memcpy(gPendingPath, pattern.c_str(), pattern.size() + 1);
    fd_ = mkostemp(gPendingPath, O_CLOEXEC);
    if (fd_ < 0) return false;
    gPending.store(true);
    return true;
  }
  ~Temporary() {
    if (fd_ >= 0) close(fd_);
    if (!gPending.load()) return;
    const SignalsBlocked blocked;
    unlink(gPendingPath);
    gPending.store(false);
  }
  Temporary() = default;
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;

  int fd() const { return fd_; }
  // Closes the file; false with errno set when the data did not make it.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }
  bool RenameTo(const std::string& path) {
    const SignalsBlocked blocked;
    if (rename(gPendingPath, path.c_str()) != 0) return false;
    gPending.store(false);
    return true;
  }

 private:
  int fd_ = -1;
};

std::string Directory(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Failure(const std::string& path, int error) {
  return "cannot write " + path + ": " + std::strerror(error);
}

// Writes in chunks so that an interruption is noticed while a large document
// is written.
bool WriteAll(int fd, std::string_view text, const std::function<bool()>& interrupted,
              bool* stopped) {
  constexpr std::size_t kChunk = 1 << 20;
  while (!text.empty()) {
    if (interrupted()) {
      *stopped = true;
      return false;
    }
    const ssize_t n = write(fd, text.data(), std::min(text.size(), kChunk));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The mode a new file would get, or the existing target's own mode.
mode_t TargetMode(const OutputTarget& target) {
  struct stat existing;
  if (target.exists && stat(target.path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

WriteResult WriteDirectly(const OutputTarget& target, std::string_view text,
                          const std::function<bool()>& interrupted, std::string* error) {
  const int fd = open(target.path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = Failure(target.path, errno);
    return WriteResult::kFailed;
  }
  bool stopped = false;
  bool ok = WriteAll(fd, text, interrupted, &stopped);
  const int failure = errno;
  if (close(fd) != 0 && ok) {
    *error = Failure(target.path, errno);
    return WriteResult::kFailed;
  }
  if (stopped) return WriteResult::kInterrupted;
  if (!ok) *error = Failure(target.path, failure);
  return ok ? WriteResult::kWritten : WriteResult::kFailed;
}

}  // namespace

void RemovePendingTemporary() {
  if (gPending.load()) unlink(gPendingPath);
}

bool PrepareOutput(const std::string& path, OutputTarget* target, std::string* error) {
  std::string current = path;
  struct stat info;
  // Follows symlinks one at a time (a dangling one names the file to create).
  for (int hops = 0;; ++hops) {
    if (lstat(current.c_str(), &info) != 0) {
      if (errno != ENOENT) {
        *error = Failure(path, errno);
        return false;
      }
      target->exists = false;
      break;
    }
    if (!S_ISLNK(info.st_mode)) {
      target->exists = true;
      break;
    }
    char link[PATH_MAX];
    const ssize_t length = readlink(current.c_str(), link, sizeof link - 1);
    if (length < 0 || hops >= 40) {
      *error = Failure(path, length < 0 ? errno : ELOOP);
      return false;
    }
    const std::string next(link, static_cast<std::size_t>(length));
    current = next[0] == '/' ? next : Directory(current) + "/" + next;
  }
  target->path = current;
  target->direct = target->exists && !S_ISREG(info.st_mode);
  if (target->exists && S_ISDIR(info.st_mode)) {
    *error = Failure(path, EISDIR);
    return false;
  }
  const std::string& checked = target->direct ? current : Directory(current);
  if (access(checked.c_str(), W_OK) != 0) {
    *error = Failure(path, errno);
    return false;
  }
  return true;
}

bool IsSameFile(const OutputTarget& target, const std::string& path) {
  struct stat output, input;
  return target.exists && stat(target.path.c_str(), &output) == 0 &&
         stat(path.c_str(), &input) == 0 && output.st_dev == input.st_dev &&
         output.st_ino == input.st_ino;
}

WriteResult WriteOutput(const OutputTarget& target, std::string_view text,
                        const std::function<bool()>& interrupted, std::string* error) {
  if (target.direct) return WriteDirectly(target, text, interrupted, error);
  const std::size_t slash = target.path.rfind('/');
  const std::string base = slash == std::string::npos ? target.path : target.path.substr(slash + 1);
  Temporary temporary;
  if (!temporary.Create(Directory(target.path) + "/." + base + ".XXXXXX")) {
    *error = Failure(target.path, errno);
    return WriteResult::kFailed;
  }
  bool stopped = false;
  const bool ok = WriteAll(temporary.fd(), text, interrupted, &stopped) &&
                  fchmod(temporary.fd(), TargetMode(target)) == 0 && fsync(temporary.fd()) == 0 &&
                  temporary.Close();
  if (stopped || (ok && interrupted())) return WriteResult::kInterrupted;
  if (!ok || !temporary.RenameTo(target.path)) {
    *error = Failure(target.path, errno);
    return WriteResult::kFailed;
  }
  return WriteResult::kWritten;
}

}  // namespace zelcli
