#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>  // rename
#include <cstring>
#include <vector>

namespace zelcli {

namespace {

// The mode a new file would get, or the existing target's own mode.
mode_t TargetMode(const std::string& path) {
  struct stat existing;
  if (stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

AtomicOutput::~AtomicOutput() { Discard(); }

void AtomicOutput::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

bool AtomicOutput::Open(const std::string& path, std::string* error) {
  Discard();
  path_ = path;
  failure_ = 0;
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string pattern = dir + (slash == std::string::npos ? "/." : ".") + base + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = mkstemp(name.data());
  if (fd_ < 0) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  temporary_ = name.data();
  return true;
}

bool AtomicOutput::Write(std::string_view bytes) {
  if (fd_ < 0 || failure_ != 0) return false;
  if (WriteAll(fd_, bytes)) return true;
  failure_ = errno != 0 ? errno : EIO;
  return false;
}

bool AtomicOutput::Commit(std::string* error) {
  if (fd_ < 0) {
    *error = "cannot write " + path_;
    return false;
  }
  int failure = failure_;
  if (failure == 0 && (fchmod(fd_, TargetMode(path_)) != 0 || fsync(fd_) != 0)) failure = errno;
  if (close(fd_) != 0 && failure == 0) failure = errno;
  fd_ = -1;
  if (failure == 0 && rename(temporary_.c_str(), path_.c_str()) != 0) failure = errno;
  if (failure != 0) {
    *error = "cannot write " + path_ + ": " + std::strerror(failure);
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view text, std::string* error) {
  AtomicOutput output;
  if (!output.Open(path, error)) return false;
  output.Write(text);
  return output.Commit(error);
}

}  // namespace zelcli
