#include "FileText.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace zelcli {

bool ReadFileText(const std::string& path, std::string* text, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  // Sized once and read in one piece: the data file may be large.
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0) {
    *error = "cannot read " + path;
    return false;
  }
  text->resize(static_cast<std::size_t>(size));
  if (!in.read(text->data(), size)) {
    *error = "cannot read " + path;
    return false;
  }
  return true;
}

bool ReadJsonFile(const std::string& path, nlohmann::ordered_json* json, std::string* error) {
  std::string text;
  if (!ReadFileText(path, &text, error)) return false;
  try {
    *json = nlohmann::ordered_json::parse(text);
  } catch (const nlohmann::json::exception& e) {
    // Drop the library's "[json.exception.parse_error.101] " tag.
    std::string what = e.what();
    const std::size_t tagEnd = what.find("] ");
    if (tagEnd != std::string::npos) what = what.substr(tagEnd + 2);
    *error = path + ": " + what;
    return false;
  }
  return true;
}

}  // namespace zelcli
