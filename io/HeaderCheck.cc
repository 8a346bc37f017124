#include "io/HeaderCheck.h"

#include "io/CellParser.h"
#include "io/CsvRowParser.h"

namespace zelio {

namespace {

// The names of a header row, or false when it does not split into a row.
bool HeaderNames(std::string_view row, char delimiter, std::vector<std::string>* names) {
  if (row.substr(0, 3) == "\xEF\xBB\xBF") row.remove_prefix(3);
  CsvRowParser parser(delimiter);
  std::size_t pos = 0;
  if (parser.NextSpans(row, &pos, true) != CsvRowParser::Result::kRow) return false;
  for (const CsvRowParser::Span& span : parser.spans()) {
    const std::string_view from = span.inScratch ? std::string_view(parser.scratch()) : row;
    names->emplace_back(from.substr(span.offset, span.size));
  }
  return true;
}

}  // namespace

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

std::string HeaderRowDifference(std::string_view firstRow, const std::string& firstPath,
                                std::string_view row, char delimiter) {
  std::vector<std::string> first;
  std::vector<std::string> names;
  if (!HeaderNames(firstRow, delimiter, &first) || !HeaderNames(row, delimiter, &names)) {
    return std::string();
  }
  return HeaderDifference(first, firstPath,
                          std::vector<std::string_view>(names.begin(), names.end()));
}

}  // namespace zelio
