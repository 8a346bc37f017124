#include "InputPaths.h"

#include <glob.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>

#include "ReportCommand.h"

namespace zelcli {

namespace {

bool HasWildcard(const std::string& text) {
  return text.find_first_of("*?[") != std::string::npos;
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

}  // namespace

zelstatus::Status ExpandInputPaths(const std::vector<std::string>& given,
                                   std::vector<std::string>* paths) {
  paths->clear();
  for (const std::string& argument : given) {
    if (!HasWildcard(argument) || Exists(argument)) {
      paths->push_back(argument);
      continue;
    }
    glob_t found{};
    const int status = glob(argument.c_str(), GLOB_NOSORT, nullptr, &found);
    std::vector<std::string> matches(found.gl_pathv, found.gl_pathv + found.gl_pathc);
    globfree(&found);
    if (status == GLOB_NOMATCH || matches.empty()) {
      return zelstatus::Status::InvalidInput("no file matches the pattern '" + argument + "'");
    }
    if (status != 0) {
      return zelstatus::Status::InputOutput("cannot expand the pattern '" + argument + "'");
    }
    std::sort(matches.begin(), matches.end());
    paths->insert(paths->end(), matches.begin(), matches.end());
  }
  // One file under two spellings (a.csv, ./a.csv, a link) is the same
  // device and inode; a path that cannot be looked up is compared as text.
  std::set<std::pair<dev_t, ino_t>> files;
  std::set<std::string> texts;
  for (const std::string& path : *paths) {
    struct stat info;
    const bool again = stat(path.c_str(), &info) == 0
                           ? !files.insert({info.st_dev, info.st_ino}).second
                           : !texts.insert(path).second;
    if (again) {
      return zelstatus::Status::InvalidInput(path +
                                             " is given twice: its records would count twice");
    }
  }
  return zelstatus::Status();
}

std::string DataSetName(const std::vector<std::string>& paths) {
  const std::string first = PathFileName(paths.front());
  if (paths.size() == 1) return first;
  const std::size_t more = paths.size() - 1;
  return first + " and " + std::to_string(more) + (more == 1 ? " more file" : " more files");
}

}  // namespace zelcli
