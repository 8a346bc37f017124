// ProgramBuilder: the table expressions NormContinuous, MapValues and
// Discretize.
#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "Numbers.h"
#include "ProgramBuilder.h"

namespace zelapply {

using zelstatus::Status;

namespace {

bool NumberAttribute(XmlElement element, const char* name, double* value, Status* status) {
  std::string text;
  if (!GetAttribute(element, name, &text)) return false;
  if (!ParseNumber(text, value)) {
    *status = ElementError(element, std::string("the ") + name + " '" + text + "' is not a number");
  }
  return true;
}

// Sorts the keys and keeps the first row of equal keys, as a lookup in
// document order would find it.
template <typename Key>
void SortKeys(std::vector<std::pair<Key, uint32_t>>* keys) {
  std::stable_sort(keys->begin(), keys->end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  keys->erase(std::unique(keys->begin(), keys->end(),
                          [](const auto& x, const auto& y) { return x.first == y.first; }),
              keys->end());
}

}  // namespace

Status ProgramBuilder::OutputType(XmlElement element, ValueType resultType, ValueType* type) {
  std::string dataType;
  *type = resultType == ValueType::kUndefined ? ValueType::kString : resultType;
  if (GetAttribute(element, "dataType", &dataType) && !ValueTypeOfDataType(dataType, type)) {
    return ElementError(element, "the engine does not know the dataType '" + dataType + "'");
  }
  return Status();
}

Status ProgramBuilder::ReadOutput(XmlElement element, const std::string& text, ValueType type,
                                  Value* value) {
  if (ConvertText(text, type, value)) return Status();
  return ElementError(element, "the output '" + text + "' does not fit the field's dataType");
}

Status ProgramBuilder::ReadTableOutputs(XmlElement element, TableOutputs* table) {
  std::string text;
  Status status;
  if (GetAttribute(element, "mapMissingTo", &text)) {
    table->hasMissing = true;
    status = ReadOutput(element, text, table->outputType, &table->missingOutput);
  }
  if (status.ok() && GetAttribute(element, "defaultValue", &text)) {
    table->hasDefault = true;
    status = ReadOutput(element, text, table->outputType, &table->defaultOutput);
  }
  return status;
}

Status ProgramBuilder::CompileNormContinuous(XmlElement element, uint32_t* slot) {
  Instruction instruction;
  instruction.op = Op::kNormContinuous;
  Status status = CompileFieldRef(element, "field", &instruction.a);
  if (!status.ok()) return status;
  NormTable table;
  table.hasMissing = NumberAttribute(element, "mapMissingTo", &table.mapMissingTo, &status);
  if (!status.ok()) return status;
  std::string outliers = "asIs";
  GetAttribute(element, "outliers", &outliers);
  if (outliers == "asMissingValues") {
    table.outliers = OutlierTreatment::kAsMissing;
  } else if (outliers == "asExtremeValues") {
    table.outliers = OutlierTreatment::kAsExtreme;
  } else if (outliers != "asIs") {
    return ElementError(element, "unknown outlier treatment '" + outliers + "'");
  }
  for (XmlElement child : ChildElements(element)) {
    if (NameOf(child) == "Extension") continue;
    if (NameOf(child) != "LinearNorm") {
      return ElementError(child, "the engine does not know this element");
    }
    double orig = 0.0, norm = 0.0;
    if (!NumberAttribute(child, "orig", &orig, &status) ||
        !NumberAttribute(child, "norm", &norm, &status)) {
      return status.ok() ? ElementError(child, "orig and norm are required") : status;
    }
    if (!status.ok()) return status;
    if (!table.orig.empty() && orig <= table.orig.back()) {
      return ElementError(child, "the orig values must ascend");
    }
    table.orig.push_back(orig);
    table.norm.push_back(norm);
  }
  if (table.orig.size() < 2) return ElementError(element, "at least two LinearNorm are needed");
  table.identity = table.outliers == OutlierTreatment::kAsIs && table.orig == table.norm;
  EmitWithTable(&instruction, &program_->norms_, std::move(table), slot);
  return Status();
}

Status ProgramBuilder::CompileMapValues(XmlElement element, ValueType resultType, uint32_t* slot) {
  Instruction instruction;
  instruction.op = Op::kMapValues;
  MapTable table;
  Status status = OutputType(element, resultType, &table.outputType);
  if (!status.ok()) return status;
  std::string outputColumn, inputColumn, text;
  if (!GetAttribute(element, "outputColumn", &outputColumn)) {
    return ElementError(element, "the attribute 'outputColumn' is missing");
  }
  status = ReadTableOutputs(element, &table);
  if (!status.ok()) return status;
  XmlElement rows = nullptr;
  bool paired = false;
  CrossFitSpec crossFit;
  for (XmlElement child : ChildElements(element)) {
    const std::string_view name = NameOf(child);
    if (name == "Extension") {
      text.clear();
      GetAttribute(child, "name", &text);
      if (text == "recodeElseCopy") table.copyOthers = true;
      if (text == "crossFitting") {
        status = ReadCrossFit(child, &crossFit);
        if (!status.ok()) return status;
      }
    } else if (name == "FieldColumnPair" && !paired) {
      paired = true;
      status = CompileFieldRef(child, "field", &instruction.a);
      if (status.ok() && !GetAttribute(child, "column", &inputColumn)) {
        status = ElementError(child, "the attribute 'column' is missing");
      }
      if (!status.ok()) return status;
    } else if (name == "FieldColumnPair") {
      return ElementError(child, "only one FieldColumnPair is supported");
    } else if (name == "InlineTable" && rows == nullptr) {
      rows = child;
    } else {
      return ElementError(child, "the engine does not know this element here");
    }
  }
  if (!paired) return ElementError(element, "a FieldColumnPair is needed");
  const std::vector<XmlElement> rowElements =
      rows != nullptr ? ChildElements(rows) : std::vector<XmlElement>();
  table.texts.reserve(rowElements.size());
  // Many rows share an output (categories merged into a few groups): each
  // distinct output is kept once.
  std::unordered_map<std::string, uint32_t> outputIndex;
  for (XmlElement row : rowElements) {
    if (NameOf(row) == "Extension") continue;
    if (NameOf(row) != "row") return ElementError(row, "the engine does not know this element");
    XmlElement input = nullptr, output = nullptr;
    for (XmlElement cell : ChildElements(row)) {
      if (NameOf(cell) == inputColumn && input == nullptr) input = cell;
      if (NameOf(cell) == outputColumn && output == nullptr) output = cell;
    }
    if (input == nullptr || output == nullptr) {
      return ElementError(
          row, "the row lacks its '" + inputColumn + "' or '" + outputColumn + "' column");
    }
    // A cross-fitted table keeps an output per row: its index names the row.
    const std::string outputKey =
        crossFit.folds > 0 ? std::to_string(table.outputs.size()) : std::string(TextOf(output));
    const auto known =
        outputIndex.emplace(outputKey, static_cast<uint32_t>(table.outputs.size()));
    const uint32_t index = known.first->second;
    if (known.second) {
      table.outputs.emplace_back();
      status = ReadOutput(output, std::string(TextOf(output)), table.outputType,
                          &table.outputs.back());
      if (!status.ok()) return status;
    }
    const std::string key = TextOf(input);
    double number;
    if (ParseNumber(key, &number)) table.numbers.emplace_back(number, index);
    table.texts.emplace_back(key, index);
  }
  SortKeys(&table.texts);
  SortKeys(&table.numbers);
  table.numbers.shrink_to_fit();
  table.outputs.shrink_to_fit();
  if (crossFit.folds > 0) {
    crossFit.input = instruction.a;
    table.crossFit = static_cast<int>(program_->crossFits_.size());
    program_->crossFits_.push_back(std::move(crossFit));
    program_->crossFitMaps_.push_back(program_->maps_.size());
  }
  EmitWithTable(&instruction, &program_->maps_, std::move(table), slot);
  return Status();
}

Status ProgramBuilder::ReadCrossFit(XmlElement extension, CrossFitSpec* spec) {
  for (XmlElement child : ChildElements(extension)) {
    if (NameOf(child) != "CrossFitting") continue;
    std::string folds, smoothing;
    if (!GetAttribute(child, "folds", &folds) || !GetAttribute(child, "smoothing", &smoothing) ||
        !GetAttribute(child, "target", &spec->target)) {
      return ElementError(child, "the attributes 'folds', 'smoothing' and 'target' are needed");
    }
    double number = 0.0;
    if (!ParseNumber(folds, &number) || !(number >= 2.0 && number <= 1000.0) ||
        number != static_cast<double>(static_cast<int>(number))) {
      return ElementError(child, "'folds' must be a whole number from 2 to 1000");
    }
    spec->folds = static_cast<int>(number);
    if (!ParseNumber(smoothing, &spec->smoothing) || !(spec->smoothing >= 0.0)) {
      return ElementError(child, "'smoothing' must be a number at least 0");
    }
    spec->hasCategory = GetAttribute(child, "targetCategory", &spec->category);
    GetAttribute(child, "frequencyWeight", &spec->frequencyWeight);
    GetAttribute(child, "analysisWeight", &spec->analysisWeight);
  }
  return Status();
}

Status ProgramBuilder::CompileDiscretize(XmlElement element, ValueType resultType, uint32_t* slot) {
  Instruction instruction;
  instruction.op = Op::kDiscretize;
  Status status = CompileFieldRef(element, "field", &instruction.a);
  BinTable table;
  if (status.ok()) status = OutputType(element, resultType, &table.outputType);
  if (status.ok()) status = ReadTableOutputs(element, &table);
  if (!status.ok()) return status;
  std::string text;
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  for (XmlElement bin : ChildElements(element)) {
    if (NameOf(bin) == "Extension") continue;
    if (NameOf(bin) != "DiscretizeBin") {
      return ElementError(bin, "the engine does not know this element");
    }
    XmlElement interval = nullptr;
    for (XmlElement child : ChildElements(bin)) {
      if (NameOf(child) == "Interval") interval = child;
    }
    if (interval == nullptr || !GetAttribute(bin, "binValue", &text)) {
      return ElementError(bin, "a binValue and an Interval are needed");
    }
    BinTable::Bin entry{-kInfinity, kInfinity, false, false, Value()};
    status = ReadOutput(bin, text, table.outputType, &entry.output);
    if (status.ok()) NumberAttribute(interval, "leftMargin", &entry.left, &status);
    if (status.ok()) NumberAttribute(interval, "rightMargin", &entry.right, &status);
    if (!status.ok()) return status;
    std::string closure;
    GetAttribute(interval, "closure", &closure);
    if (closure != "openClosed" && closure != "openOpen" && closure != "closedOpen" &&
        closure != "closedClosed") {
      return ElementError(interval, "unknown closure '" + closure + "'");
    }
    entry.leftClosed = closure.compare(0, 6, "closed") == 0;
    entry.rightClosed =
        closure.size() >= 6 && closure.compare(closure.size() - 6, 6, "Closed") == 0;
    table.bins.push_back(std::move(entry));
  }
  EmitWithTable(&instruction, &program_->bins_, std::move(table), slot);
  return Status();
}

}  // namespace zelapply
