#include "io/TextDates.h"

#include <cmath>
#include <vector>

#include "io/CellParser.h"
#include "io/CellReader.h"
#include "io/TypeInference.h"
#include "torcommon13r/TorVariable.h"

namespace zelio {

using zelstatus::Status;

namespace {

using namespace TorCommon_1_3;

bool IsMoment(int storage) {
  return storage == kStorageDate || storage == kStorageTime || storage == kStorageTimestamp;
}

// The storage every non-empty text reads as, when it is one of moments.
int InferredMoment(const Column& column) {
  TypeInference inference;
  bool any = false;
  for (std::size_t code = 0; code < column.DistinctTexts(); ++code) {
    const std::string& text = column.TextOfCode(code);
    if (text.empty()) continue;
    inference.Add(text);
    any = true;
  }
  const int storage = inference.Result();
  return any && IsMoment(storage) ? storage : kStorageString;
}

// The first row whose text has dictionary code `code`.
std::size_t FirstRowOf(const Column& column, std::size_t code) {
  for (std::size_t row = 0; row < column.size(); ++row) {
    if (!column.IsMissing(row) && column.TextCode(row) == code) return row;
  }
  return 0;
}

// The column's texts as `storage`, read as a file's cells of a column
// declared so; a text that does not read is invalid input.
Status Convert(const std::string& name, int storage, Column* column) {
  const CellReader reader(storage, nullptr, nullptr);
  std::vector<double> values(column->DistinctTexts());
  CellValue value;
  for (std::size_t code = 0; code < values.size(); ++code) {
    const std::string& text = column->TextOfCode(code);
    switch (reader.Read(CsvCell{text, false}, &value)) {
      case CellValue::kReal:
        values[code] = value.real;
        break;
      case CellValue::kMissing:
        values[code] = std::nan("");
        break;
      default:
        return Status::InvalidInput("row " + std::to_string(FirstRowOf(*column, code) + 1) + ": " +
                                    QuoteCell(text) + " is not " + StorageNoun(storage) +
                                    " (field '" + name + "')");
    }
  }
  Column read(storage);
  read.Reserve(column->size());
  for (std::size_t row = 0; row < column->size(); ++row) {
    const double day = column->IsMissing(row) ? std::nan("") : values[column->TextCode(row)];
    if (std::isnan(day)) {
      read.AppendMissing();
    } else {
      read.AppendDouble(day);
    }
  }
  read.ShrinkToFit();
  read.PrepareReading();
  *column = std::move(read);
  return Status();
}

}  // namespace

Status ReadTextDates(const Schema& schema, ColumnStore* store) {
  for (std::size_t c = 0; c < store->columns.size(); ++c) {
    Column& column = store->columns[c];
    if (column.storage() != kStorageString) continue;
    const FieldSpec* spec = schema.Find(store->names[c]);
    const bool declared = spec != nullptr && spec->storage.has_value();
    if (declared && !IsMoment(*spec->storage)) continue;
    // Ordinal texts with their categories are coded by the host.
    if (spec != nullptr && !spec->categories.empty()) continue;
    const int storage = declared ? *spec->storage : InferredMoment(column);
    if (storage == kStorageString) continue;
    const Status read = Convert(store->names[c], storage, &column);
    if (!read.ok()) return read;
  }
  return Status();
}

}  // namespace zelio
