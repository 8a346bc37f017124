#include "host/OwnedColumn.h"

#include <algorithm>
#include <cmath>

#include "io/CellParser.h"
#include "io/CellReader.h"
#include "torcommon13r/TorVariable.h"

namespace zelhost {

using zelstatus::Status;

namespace {

constexpr double kSecondsPerDay = 86400.0;

void PointAtReals(ColumnData::Kind kind, OwnedColumn* out) {
  out->data.kind = kind;
  out->data.rows = out->reals.size();
  out->data.reals = out->reals.data();
}

// Reads one text as a cell of a column declared `reader`'s storage; a
// whole number goes to `whole`, any other number to `real`.
bool ReadAs(const zelio::CellReader& reader, const std::string& text, double* real,
            int64_t* whole) {
  zelio::CellValue value;
  switch (reader.Read(zelio::CsvCell{text, false}, &value)) {
    case zelio::CellValue::kInteger: *whole = value.integer; return true;
    case zelio::CellValue::kDecimal:
    case zelio::CellValue::kReal: *real = value.Real(); return true;
    default: return false;
  }
}

}  // namespace

bool DateTimeColumn(const double* seconds, std::size_t rows, const std::string& storage,
                    OwnedColumn* out) {
  std::string as = storage;
  if (as.empty()) {
    as = "date";
    for (std::size_t r = 0; r < rows && as == "date"; ++r) {
      if (!std::isnan(seconds[r]) && std::fmod(seconds[r], kSecondsPerDay) != 0.0) {
        as = "timestamp";
      }
    }
  }
  ColumnData::Kind kind;
  if (as == "date") {
    kind = ColumnData::Kind::kDate;
  } else if (as == "time") {
    kind = ColumnData::Kind::kTime;
  } else if (as == "timestamp") {
    kind = ColumnData::Kind::kTimestamp;
  } else {
    return false;
  }
  out->reals.resize(rows);
  for (std::size_t r = 0; r < rows; ++r) {
    const double value = seconds[r];
    const double day = std::floor(value / kSecondsPerDay);
    switch (kind) {
      case ColumnData::Kind::kDate: out->reals[r] = day; break;
      case ColumnData::Kind::kTime: out->reals[r] = value - day * kSecondsPerDay; break;
      default: out->reals[r] = value; break;
    }
  }
  PointAtReals(kind, out);
  return true;
}

bool ReadsTextAs(const std::string& storage) {
  return storage == "integer" || storage == "real" || storage == "date" || storage == "time" ||
         storage == "timestamp";
}

Status TextColumnAs(const ColumnData& texts, const std::string& storage, OwnedColumn* out) {
  using namespace TorCommon_1_3;
  int code;
  ColumnData::Kind kind;
  if (storage == "integer") {
    code = kStorageInteger, kind = ColumnData::Kind::kInteger;
  } else if (storage == "real") {
    code = kStorageReal, kind = ColumnData::Kind::kReal;
  } else if (storage == "date") {
    code = kStorageDate, kind = ColumnData::Kind::kDate;
  } else if (storage == "time") {
    code = kStorageTime, kind = ColumnData::Kind::kTime;
  } else if (storage == "timestamp") {
    code = kStorageTimestamp, kind = ColumnData::Kind::kTimestamp;
  } else {
    return Status::InvalidInput("texts are not read as storage '" + storage + "'");
  }
  // Each distinct text is parsed once; an empty one is missing, as an empty
  // cell is.
  const std::size_t distinct = texts.texts.size();
  std::vector<double> reals(distinct, std::nan(""));
  std::vector<int64_t> wholes(distinct, 0);
  std::vector<uint8_t> read(distinct, 0);
  const zelio::CellReader reader(code, nullptr, nullptr);
  for (std::size_t i = 0; i < distinct; ++i) {
    const std::string& text = texts.texts[i];
    read[i] = text.empty() || ReadAs(reader, text, &reals[i], &wholes[i]) ? 1 : 0;
    if (text.empty()) reals[i] = std::nan("");
  }
  const bool whole = kind == ColumnData::Kind::kInteger;
  if (whole) {
    out->integers.assign(texts.rows, 0);
    out->missing.assign(texts.rows, 1);
  } else {
    out->reals.assign(texts.rows, std::nan(""));
  }
  for (std::size_t r = 0; r < texts.rows; ++r) {
    const int64_t at = texts.codes[r];
    if (at < 0 || at >= static_cast<int64_t>(distinct)) continue;
    const auto i = static_cast<std::size_t>(at);
    if (!read[i]) {
      return Status::InvalidInput("row " + std::to_string(r + 1) + ": " +
                                  zelio::QuoteCell(texts.texts[i]) + " is not " +
                                  zelio::StorageNoun(code));
    }
    if (texts.texts[i].empty()) continue;
    if (whole) {
      out->integers[r] = wholes[i];
      out->missing[r] = 0;
    } else {
      out->reals[r] = reals[i];
    }
  }
  if (whole) {
    out->data.kind = kind;
    out->data.rows = texts.rows;
    out->data.integers = out->integers.data();
    out->data.missing = out->missing.data();
  } else {
    PointAtReals(kind, out);
  }
  return Status();
}

Status OrdinalColumn(const ColumnData& texts, const std::vector<std::string>& categories,
                     const std::vector<std::string>& missingStrings, OwnedColumn* out) {
  // Each distinct text's code: 1..k, 0 for a missing string, -1 for neither.
  std::vector<int64_t> codeOf(texts.texts.size(), -1);
  for (std::size_t i = 0; i < texts.texts.size(); ++i) {
    const std::string& text = texts.texts[i];
    const auto found = std::find(categories.begin(), categories.end(), text);
    if (found != categories.end()) {
      codeOf[i] = 1 + (found - categories.begin());
    } else if (std::find(missingStrings.begin(), missingStrings.end(), text) !=
               missingStrings.end()) {
      codeOf[i] = 0;
    }
  }
  out->integers.assign(texts.rows, 0);
  out->missing.assign(texts.rows, 1);
  for (std::size_t r = 0; r < texts.rows; ++r) {
    const int64_t at = texts.codes[r];
    if (at < 0 || at >= static_cast<int64_t>(codeOf.size())) continue;
    const int64_t code = codeOf[static_cast<std::size_t>(at)];
    if (code < 0) {
      return Status::InvalidInput("row " + std::to_string(r + 1) + ": '" +
                                  texts.texts[static_cast<std::size_t>(at)] +
                                  "' is not one of its categories");
    }
    out->integers[r] = code;
    out->missing[r] = code == 0 ? 1 : 0;
  }
  out->data.kind = ColumnData::Kind::kInteger;
  out->data.rows = texts.rows;
  out->data.integers = out->integers.data();
  out->data.missing = out->missing.data();
  return Status();
}

}  // namespace zelhost
