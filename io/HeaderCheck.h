// HeaderCheck: a data set read from several CSV files takes every file's
// header row to be the first file's, the same names in the same order. A
// file whose header differs is refused with the first difference: the
// column, what the file has there and what the first file has. Every
// reader of several files (the loader, a streamed pass, a worker that
// reads a byte range of one of them) checks with this one rule.
#ifndef ZELCRAFT_IO_HEADERCHECK_H_
#define ZELCRAFT_IO_HEADERCHECK_H_

#include <string>
#include <string_view>
#include <vector>

namespace zelio {

// Empty when `header` is `first`; otherwise the first difference, worded to
// follow the differing file's name: "its header differs from that of
// a.csv at column 3: 'price' where a.csv has 'cost'". `firstPath` names
// the file the first header comes from.
std::string HeaderDifference(const std::vector<std::string>& first, const std::string& firstPath,
                             const std::vector<std::string_view>& header);

// The same for two header rows given as their bytes (a byte-order mark
// aside), each split into names by the CSV rules: a host that compares
// files before reading them says what the loader would. Empty also when a
// row does not split (its file's read then says what is wrong with it).
std::string HeaderRowDifference(std::string_view firstRow, const std::string& firstPath,
                                std::string_view row, char delimiter);

}  // namespace zelio

#endif  // ZELCRAFT_IO_HEADERCHECK_H_
