// Reading a whole input file (InputFile opens one as a stream), and JSON
// files on top of it, with error messages that name the file. A directory
// is refused like an unreadable file, and a JSON object that gives a key
// twice is refused.
#ifndef ZELCRAFT_IO_FILETEXT_H_
#define ZELCRAFT_IO_FILETEXT_H_

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "status/Status.h"

namespace zelio {

zelstatus::Status ReadFileText(const std::string& path, std::string* text);

// Objects keep the order of their keys, so messages and labels follow the file;
// `//` and `/* */` comments are skipped.
zelstatus::Status ReadJsonFile(const std::string& path, nlohmann::ordered_json* json);
// The same for text already read; `name` prefixes the messages.
zelstatus::Status ParseJsonText(std::string_view text, const std::string& name,
                                nlohmann::ordered_json* json);

}  // namespace zelio

#endif  // ZELCRAFT_IO_FILETEXT_H_
