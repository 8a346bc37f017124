// InputPaths: the data files `prepare` reads as one data set. Each argument
// is a path, or a glob pattern (with *, ? or [...]) that the command
// expands itself, so that a quoted pattern reaches past the shell's limit
// on arguments: its matches come sorted by name (byte order), and a pattern
// that matches nothing is refused. An argument naming an existing file is
// taken as it is, wildcards or not. The same file given twice is refused,
// since its records would count twice.
#ifndef ZELCRAFT_CLI_INPUTPATHS_H_
#define ZELCRAFT_CLI_INPUTPATHS_H_

#include <string>
#include <vector>

#include "status/Status.h"

namespace zelcli {

zelstatus::Status ExpandInputPaths(const std::vector<std::string>& given,
                                   std::vector<std::string>* paths);

// How the data set is named in the report: the file's name, or the first
// file's with how many follow.
std::string DataSetName(const std::vector<std::string>& paths);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_INPUTPATHS_H_
