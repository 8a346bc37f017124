#include "io/CsvStreamReader.h"

#include <algorithm>

namespace zelio {

CsvStreamReader::CsvStreamReader(std::istream& in, char delimiter, std::size_t chunk)
    : in_(in), chunk_(std::max<std::size_t>(chunk, 4)), parser_(delimiter) {
  buffer_.reserve(chunk_);
}

bool CsvStreamReader::Refill() {
  buffer_.erase(0, pos_);
  parser_.WindowChanged();
  pos_ = 0;
  const std::size_t kept = buffer_.size();
  // A row longer than the buffer doubles it; otherwise the capacity stays.
  const std::size_t room = std::max(chunk_, kept);
  buffer_.resize(kept + room);
  in_.read(buffer_.data() + kept, static_cast<std::streamsize>(room));
  const auto got = static_cast<std::size_t>(in_.gcount());
  buffer_.resize(kept + got);
  if (in_.bad()) {
    error_ = "read failed";
    return false;
  }
  if (in_.eof()) final_ = true;
  return true;
}

bool CsvStreamReader::NextRow(std::vector<CsvCell>* cells) {
  if (!error_.empty()) return false;
  if (!started_) {
    // The mark is looked for once at least three bytes are in or the input ended.
    while (!final_ && buffer_.size() < 3) {
      if (!Refill()) return false;
    }
    if (buffer_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
    started_ = true;
  }
  for (;;) {
    switch (parser_.Next(buffer_, &pos_, final_, cells)) {
      case CsvRowParser::Result::kRow:
        return true;
      case CsvRowParser::Result::kIncomplete:
        if (buffer_.size() - pos_ >= chunk_ &&
            !parser_.CheckUnfinishedRow(std::string_view(buffer_).substr(pos_))) {
          return false;
        }
        if (!Refill()) return false;
        break;
      default:
        return false;
    }
  }
}

}  // namespace zelio
