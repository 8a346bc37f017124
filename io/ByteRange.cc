#include "io/ByteRange.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "io/CsvRowParser.h"

namespace zelio {

namespace {

class Descriptor {
 public:
  explicit Descriptor(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

// Appends bytes [from, to) of the file to `out`.
bool ReadAt(int fd, int64_t from, int64_t to, std::string* out) {
  const std::size_t start = out->size();
  out->resize(start + static_cast<std::size_t>(to - from));
  int64_t done = 0;
  while (from + done < to) {
    const ssize_t n = pread(fd, out->data() + start + done, static_cast<std::size_t>(to - from - done),
                            from + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

// The offset just past the first line feed at or after `from`, or `size`.
bool RowStartAfter(int fd, int64_t from, int64_t size, int64_t* start) {
  constexpr int64_t kStep = 1 << 16;
  std::string block;
  for (int64_t at = from; at < size; at += kStep) {
    block.clear();
    const int64_t to = at + kStep < size ? at + kStep : size;
    if (!ReadAt(fd, at, to, &block)) return false;
    const void* found = std::memchr(block.data(), '\n', block.size());
    if (found != nullptr) {
      *start = at + (static_cast<const char*>(found) - block.data()) + 1;
      return true;
    }
  }
  *start = size;
  return true;
}

}  // namespace

bool ReadByteRange(const ByteRange& range, bool header, RangeText* out, std::string* error) {
  const Descriptor file(range.path);
  struct stat info {};
  if (file.fd() < 0 || fstat(file.fd(), &info) != 0 || !S_ISREG(info.st_mode)) {
    *error = range.path + ": cannot read the file";
    return false;
  }
  const int64_t modified = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                           static_cast<int64_t>(info.st_mtim.tv_nsec);
  if (info.st_size != range.size || modified != range.modifiedNs) {
    *error = range.path + ": the file changed after it was cut into ranges";
    return false;
  }
  const int64_t size = range.size;
  const int64_t begin = range.begin < size ? range.begin : size;
  const int64_t end = range.end < size ? range.end : size;
  int64_t first = begin;
  int64_t last = begin;
  const bool found = (begin <= range.headerEnd || RowStartAfter(file.fd(), begin - 1, size, &first)) &&
                     (first >= end || RowStartAfter(file.fd(), end - 1, size, &last));
  if (!found) {
    *error = range.path + ": cannot read the file";
    return false;
  }
  if (first >= end) last = first;
  out->first = first;
  out->last = last;
  if (first == last) return true;
  std::string& text = out->text;
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += '\n';
  if ((header && !ReadAt(file.fd(), 0, range.headerEnd, &text)) ||
      !ReadAt(file.fd(), first, last, &text)) {
    *error = range.path + ": cannot read the file";
    return false;
  }
  return true;
}

bool FindHeaderEnd(const std::string& path, char delimiter, int64_t* end, std::string* error) {
  const Descriptor file(path);
  struct stat info {};
  if (file.fd() < 0 || fstat(file.fd(), &info) != 0 || !S_ISREG(info.st_mode)) {
    *error = path + ": cannot read the file";
    return false;
  }
  const int64_t size = info.st_size;
  std::string window;
  for (int64_t want = 1 << 16;; want *= 2) {
    const int64_t to = want < size ? want : size;
    window.clear();
    if (!ReadAt(file.fd(), 0, to, &window)) {
      *error = path + ": cannot read the file";
      return false;
    }
    CsvRowParser parser(delimiter);
    std::size_t pos = 0;
    const CsvRowParser::Result result = parser.NextSpans(window, &pos, to == size);
    if (result == CsvRowParser::Result::kRow) {
      *end = static_cast<int64_t>(pos);
      return true;
    }
    if (result != CsvRowParser::Result::kIncomplete || to == size) {
      *end = size;
      return true;
    }
  }
}

}  // namespace zelio
