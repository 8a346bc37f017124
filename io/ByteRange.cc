#include "io/ByteRange.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "io/CsvRowParser.h"

namespace zelio {

namespace {

using zelstatus::Status;

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File OpenFile(const std::string& path) {
  return File(std::fopen(path.c_str(), "rb"), &std::fclose);
}

// Appends bytes [from, to) of the file to `out`.
bool ReadAt(std::FILE* file, int64_t from, int64_t to, std::string* out) {
  const std::size_t start = out->size();
  const auto count = static_cast<std::size_t>(to - from);
  out->resize(start + count);
  return count == 0 || (fseeko(file, from, SEEK_SET) == 0 &&
                        std::fread(out->data() + start, 1, count, file) == count);
}

// The offset just past the first line feed at or after `from`, or `size`.
bool RowStartAfter(std::FILE* file, int64_t from, int64_t size, int64_t* start) {
  constexpr int64_t kStep = 1 << 16;
  std::string block;
  for (int64_t at = from; at < size; at += kStep) {
    block.clear();
    const int64_t to = at + kStep < size ? at + kStep : size;
    if (!ReadAt(file, at, to, &block)) return false;
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

Status ReadByteRange(const ByteRange& range, bool header, RangeText* out) {
  const File file = OpenFile(range.path);
  struct stat info {};
  if (!file || fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
    return Status::InputOutput(range.path + ": cannot read the file");
  }
  const int64_t modified = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                           static_cast<int64_t>(info.st_mtim.tv_nsec);
  if (info.st_size != range.size || modified != range.modifiedNs) {
    return Status::InvalidInput(range.path + ": the file changed after it was cut into ranges");
  }
  const int64_t size = range.size;
  const int64_t begin = range.begin < size ? range.begin : size;
  const int64_t end = range.end < size ? range.end : size;
  int64_t first = begin;
  int64_t last = begin;
  const bool found =
      (begin <= range.headerEnd || RowStartAfter(file.get(), begin - 1, size, &first)) &&
      (first >= end || RowStartAfter(file.get(), end - 1, size, &last));
  if (!found) {
    return Status::InputOutput(range.path + ": cannot read the file");
  }
  if (first >= end) last = first;
  out->first = first;
  out->last = last;
  if (first == last) return Status();
  std::string& text = out->text;
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += '\n';
  if ((header && !ReadAt(file.get(), 0, range.headerEnd, &text)) ||
      !ReadAt(file.get(), first, last, &text)) {
    return Status::InputOutput(range.path + ": cannot read the file");
  }
  return Status();
}

Status FindHeaderEnd(const std::string& path, char delimiter, int64_t* end) {
  const File file = OpenFile(path);
  struct stat info {};
  if (!file || fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
    return Status::InputOutput(path + ": cannot read the file");
  }
  const int64_t size = info.st_size;
  std::string window;
  for (int64_t want = 1 << 16;; want *= 2) {
    const int64_t to = want < size ? want : size;
    window.clear();
    if (!ReadAt(file.get(), 0, to, &window)) {
      return Status::InputOutput(path + ": cannot read the file");
    }
    CsvRowParser parser(delimiter);
    std::size_t pos = 0;
    const CsvRowParser::Result result = parser.NextSpans(window, &pos, to == size);
    if (result == CsvRowParser::Result::kRow) {
      *end = static_cast<int64_t>(pos);
      return Status();
    }
    if (result != CsvRowParser::Result::kIncomplete || to == size) {
      *end = size;
      return Status();
    }
  }
}

}  // namespace zelio
