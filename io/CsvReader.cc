#include "io/CsvReader.h"

namespace zelio {

CsvReader::CsvReader(std::string_view data, char delimiter)
    : data_(data), start_(0), parser_(delimiter) {
  if (data_.substr(0, 3) == "\xEF\xBB\xBF") start_ = 3;
  pos_ = start_;
}

void CsvReader::Rewind() {
  pos_ = start_;
  parser_.Reset();
}

bool CsvReader::NextRow(std::vector<CsvCell>* cells) {
  return parser_.Next(data_, &pos_, true, cells) == CsvRowParser::Result::kRow;
}

}  // namespace zelio
