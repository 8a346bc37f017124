#include "replay/RowDecoder.h"

#include <algorithm>

#include "apply/Numbers.h"
#include "io/CellParser.h"
#include "io/CellReader.h"

namespace zelreplay {

using zelstatus::Status;

using zelapply::Value;
using zelapply::ValueType;
using zelio::CellValue;
using zelio::CsvCell;

// Value types and storages share their numbering.
RowDecoder::Binding::Binding(std::size_t field, std::size_t column, const zelapply::FieldInfo& info,
                             zelio::CellReader::Part part)
    : field(field),
      column(column),
      name(info.name),
      type(info.type),
      reader(static_cast<int>(info.type), nullptr, nullptr, false, part) {}

void RowDecoder::Bind(const zelapply::Program& program, std::size_t field, std::size_t column,
                      zelio::CellReader::Part part) {
  const zelapply::FieldInfo& info = program.fields()[field];
  Binding binding(field, column, info, part);
  if (info.type != ValueType::kString && info.type != ValueType::kUndefined) {
    for (const zelapply::FieldValue& value : info.values) {
      Value labelled;
      if (value.displayValue.empty() || value.property != "valid" ||
          !zelapply::ConvertText(value.value, info.type, &labelled)) {
        continue;
      }
      binding.labels.emplace_back(value.displayValue, labelled);
    }
    std::stable_sort(binding.labels.begin(), binding.labels.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
  }
  bindings_.push_back(std::move(binding));
}

namespace {

// The header column named `name`: its index, header.size() when there is
// none; two are invalid input.
Status FindColumn(const std::vector<CsvCell>& header, const std::string& name,
                  std::size_t* column) {
  *column = header.size();
  for (std::size_t c = 0; c < header.size(); ++c) {
    if (header[c].text != name) continue;
    if (*column != header.size())
      return Status::InvalidInput("column '" + name + "' appears twice");
    *column = c;
  }
  return Status();
}

}  // namespace

Status RowDecoder::BindByName(const zelapply::Program& program,
                              const std::vector<zelapply::TimestampPart>& parts,
                              const std::vector<CsvCell>& header, bool allDerived) {
  const std::vector<bool> needed = program.NeededInputs(allDerived);
  for (std::size_t i = 0; i < program.inputCount(); ++i) {
    if (!needed[i]) continue;
    const zelapply::FieldInfo& field = program.fields()[i];
    std::size_t column;
    Status found = FindColumn(header, field.name, &column);
    if (!found.ok()) return found;
    auto part = zelio::CellReader::Part::kWhole;
    const zelapply::TimestampPart* from = nullptr;
    for (const zelapply::TimestampPart& given : parts) {
      if (given.field == field.name) from = &given;
    }
    if (column == header.size() && from != nullptr) {
      found = FindColumn(header, from->column, &column);
      if (!found.ok()) return found;
      part = from->timeOfDay ? zelio::CellReader::Part::kTime : zelio::CellReader::Part::kDate;
    }
    if (column == header.size()) {
      // Prediction data has no target or weights: their slots stay missing.
      if (field.optional) continue;
      std::string message = "the document's field '" + field.name + "' is not a column of the data";
      if (from != nullptr) message += ", nor is its column of timestamps '" + from->column + "'";
      return Status::InvalidInput(message);
    }
    Bind(program, i, column, part);
  }
  return Status();
}

bool RowDecoder::ReadCell(const Binding& binding, const CsvCell& cell, Value* value) const {
  CellValue read;
  switch (binding.reader.Read(cell, &read)) {
    case CellValue::kMissing:
      value->SetMissing(binding.type);
      return true;
    case CellValue::kInteger:
      value->SetInteger(read.integer);
      return true;
    case CellValue::kDecimal:
    case CellValue::kReal:
      value->SetReal(read.Real(), binding.type);
      return true;
    case CellValue::kText:
      value->SetText(read.text);
      return true;
    case CellValue::kBad:
      break;
  }
  const std::string_view text = cell.text;
  const auto label = std::lower_bound(binding.labels.begin(), binding.labels.end(), text,
                                      [](const std::pair<std::string, Value>& entry,
                                         std::string_view key) { return entry.first < key; });
  if (label != binding.labels.end() && label->first == text) {
    value->Assign(label->second);
    return true;
  }
  value->SetMissing(binding.type);
  return false;
}

void RowDecoder::Decode(const std::vector<CsvCell>& row, int64_t line, zelapply::Frame* frame,
                        std::size_t file) {
  for (Binding& binding : bindings_) {
    const CsvCell& cell = row[binding.column];
    if (ReadCell(binding, cell, &(*frame)[binding.field])) continue;
    if (binding.unreadable++ == 0) {
      binding.firstLine = line;
      binding.firstFile = file;
      binding.firstText = cell.text;
    }
  }
}

std::vector<std::string> RowDecoder::Warnings(const std::vector<std::string>& paths) const {
  std::vector<std::string> warnings;
  for (const Binding& binding : bindings_) {
    if (binding.unreadable == 0) continue;
    warnings.push_back(
        paths[binding.firstFile] + ": line " + std::to_string(binding.firstLine) + ", column " +
        std::to_string(binding.column + 1) + ": " + zelio::QuoteCell(binding.firstText) +
        " is not " + zelio::StorageNoun(static_cast<int>(binding.type)) + " (field '" +
        binding.name + "'); " + std::to_string(binding.unreadable) +
        (binding.unreadable == 1 ? " cell" : " cells") + " of this column read as missing");
  }
  return warnings;
}

}  // namespace zelreplay
