#include "io/CellReader.h"

#include "io/CellParser.h"
#include "torcommon13r/TorVariable.h"

namespace zelio {

using namespace TorCommon_1_3;

namespace {

bool IsMissingString(const FieldSpec& spec, std::string_view text) {
  for (const std::string& missing : spec.missingStrings) {
    if (missing == text) return true;
  }
  return false;
}

}  // namespace

CellValue::Kind CellReader::Read(const CsvCell& cell, CellValue* value) const {
  const std::string_view text = cell.text;
  if (text.empty()) {
    if (cell.quoted && storage_ == kStorageString && codes_ == nullptr) {
      value->text = text;
      return value->kind = CellValue::kText;
    }
    return value->kind = CellValue::kMissing;
  }
  if (codes_ != nullptr) {
    if (spec_ != nullptr && IsMissingString(*spec_, text)) return value->kind = CellValue::kMissing;
    const auto it = codes_->find(text);
    if (it == codes_->end()) return value->kind = CellValue::kBad;
    value->integer = it->second;
    return value->kind = CellValue::kInteger;
  }
  bool ok = false;
  if (part_ != Part::kWhole) {
    double seconds;
    double days;
    if (ParseTimestamp(text, &seconds)) {
      SplitTimestamp(seconds, &days, &seconds);
      value->real = part_ == Part::kDate ? days : seconds;
      ok = true;
    } else {
      ok = part_ == Part::kDate ? ParseDate(text, &value->real) : ParseTime(text, &value->real);
    }
    return value->kind = ok ? CellValue::kReal : CellValue::kBad;
  }
  switch (storage_) {
    case kStorageInteger:
      ok = ParseInteger(text, &value->integer) ||
           (!exact_ && ParseWholeDecimal(text, &value->integer));
      return value->kind = ok ? CellValue::kInteger : CellValue::kBad;
    case kStorageReal:
      if (ParseShortDecimal(text, &value->integer, &value->decimals)) {
        return value->kind = CellValue::kDecimal;
      }
      ok = ParseReal(text, &value->real);
      break;
    case kStorageDate:
      ok = exact_ ? ParseDate(text, &value->real) : ParseDayCell(text, &value->real);
      break;
    case kStorageTime:
      ok = exact_ ? ParseTime(text, &value->real) : ParseTimeOfDayCell(text, &value->real);
      break;
    case kStorageTimestamp:
      ok = ParseTimestamp(text, &value->real);
      break;
    default:
      value->text = text;
      return value->kind = CellValue::kText;
  }
  return value->kind = ok ? CellValue::kReal : CellValue::kBad;
}

}  // namespace zelio
