#include "io/HeaderCheck.h"

#include "io/CellParser.h"

namespace zelio {

std::string HeaderDifference(const std::vector<std::string>& first, const std::string& firstPath,
                             const std::vector<std::string_view>& header) {
  std::size_t c = 0;
  while (c < first.size() && c < header.size() && first[c] == header[c]) ++c;
  if (c == first.size() && c == header.size()) return std::string();
  const std::string theirs = c < header.size() ? QuoteCell(header[c]) : "no column";
  const std::string ours = c < first.size() ? QuoteCell(first[c]) : "no column";
  return "its header differs from that of " + firstPath + " at column " + std::to_string(c + 1) +
         ": " + theirs + " where " + firstPath + " has " + ours;
}

}  // namespace zelio
