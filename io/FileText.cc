#include "io/FileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <vector>

namespace zelio {

using zelstatus::Status;

namespace {

std::string Failure(const char* what, const std::string& path, int error) {
  return std::string(what) + " " + path + ": " + std::strerror(error);
}

// Closes the descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

struct DuplicateKey {};

}  // namespace

Status ReadFileText(const std::string& path, std::string* text) {
  const Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return Status::InputOutput(Failure("cannot open", path, errno));
  struct stat info;
  if (fstat(fd.get(), &info) != 0) return Status::InputOutput(Failure("cannot read", path, errno));
  if (S_ISDIR(info.st_mode)) return Status::InputOutput(Failure("cannot read", path, EISDIR));
  // A regular file is sized once, so the (possibly large) data file is held
  // in one piece; a pipe or device grows the text as it comes.
  text->clear();
  if (S_ISREG(info.st_mode)) text->reserve(static_cast<std::size_t>(info.st_size));
  std::vector<char> chunk(1 << 16);
  for (;;) {
    const ssize_t n = read(fd.get(), chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Status::InputOutput(Failure("cannot read", path, errno));
    if (n == 0) return Status();
    text->append(chunk.data(), static_cast<std::size_t>(n));
  }
}

Status ReadJsonFile(const std::string& path, nlohmann::ordered_json* json) {
  std::string text;
  const Status read = ReadFileText(path, &text);
  return read.ok() ? ParseJsonText(text, path, json) : read;
}

Status ParseJsonText(std::string_view text, const std::string& name, nlohmann::ordered_json* json) {
  // A key given twice would silently lose one of its values: the keys seen
  // so far are kept per open object, and a repeat ends the parse.
  std::vector<std::set<std::string>> open;
  std::string repeated;
  auto check = [&](int, nlohmann::ordered_json::parse_event_t event,
                   nlohmann::ordered_json& parsed) {
    using Event = nlohmann::ordered_json::parse_event_t;
    if (event == Event::object_start) {
      open.emplace_back();
    } else if (event == Event::object_end && !open.empty()) {
      open.pop_back();
    } else if (event == Event::key && !open.empty() &&
               !open.back().insert(parsed.get<std::string>()).second) {
      repeated = parsed.get<std::string>();
      throw DuplicateKey();
    }
    return true;
  };
  try {
    // Comments (`//` and `/* */`) let a settings or schema file say what it
    // is for; the shipped profiles start with one such line.
    *json = nlohmann::ordered_json::parse(text, check, /*allow_exceptions=*/true,
                                          /*ignore_comments=*/true);
  } catch (const DuplicateKey&) {
    return Status::InvalidInput(name + ": duplicate key \"" + repeated + "\"");
  } catch (const nlohmann::json::exception& e) {
    // Drop the library's "[json.exception.parse_error.101] " tag.
    std::string what = e.what();
    const std::size_t tagEnd = what.find("] ");
    if (tagEnd != std::string::npos) what = what.substr(tagEnd + 2);
    return Status::InvalidInput(name + ": " + what);
  }
  return Status();
}

}  // namespace zelio
