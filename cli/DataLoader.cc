#include "DataLoader.h"

#include <set>

#include "CellParser.h"
#include "CsvReader.h"
#include "FileText.h"
#include "TypeInference.h"
#include "WeightTally.h"
#include "torcommon13r/TorVariable.h"

namespace zelcli {

namespace {

using namespace TorCommon_1_3;

// Rows between two looks at the interrupt flag and the progress line.
constexpr int64_t kCheckEvery = 4096;

bool ReadHeader(CsvReader& reader, std::vector<CsvCell>& cells, std::vector<std::string>* names,
                std::string* error) {
  if (!reader.NextRow(&cells)) {
    *error = reader.error().empty() ? "the file is empty: no header row" : reader.error();
    return false;
  }
  std::set<std::string_view> seen;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::string where = "line 1, column " + std::to_string(i + 1) + ": ";
    if (cells[i].text.empty()) {
      *error = where + "empty field name";
      return false;
    }
    if (!seen.insert(cells[i].text).second) {
      *error = where + "duplicate field name " + QuoteCell(cells[i].text);
      return false;
    }
    names->emplace_back(cells[i].text);
  }
  return true;
}

bool CheckWidth(const CsvReader& reader, std::size_t width, std::size_t expected,
                std::string* error) {
  if (width == expected) return true;
  *error = "line " + std::to_string(reader.rowLine()) + ": " + std::to_string(width) +
           " cells where the header has " + std::to_string(expected);
  return false;
}

// Stores one non-empty cell as the plan's storage; false when it does not fit.
bool StoreCell(const FieldPlan& plan, std::string_view text, Column& column) {
  if (!plan.codes.empty()) {
    // Ordinal text goes over as codes, so its missing strings are read here.
    if (plan.IsUserMissing(text)) {
      column.AppendMissing();
      return true;
    }
    auto it = plan.codes.find(text);
    if (it == plan.codes.end()) return false;
    column.AppendInteger(it->second);
    return true;
  }
  int64_t integer;
  double real;
  switch (plan.storage) {
    case kStorageInteger:
      if (!ParseInteger(text, &integer)) return false;
      column.AppendInteger(integer);
      return true;
    case kStorageReal:
      if (!ParseReal(text, &real)) return false;
      break;
    case kStorageDate:
      if (!ParseDayCell(text, &real)) return false;
      break;
    case kStorageTime:
      if (!ParseTimeOfDayCell(text, &real)) return false;
      break;
    case kStorageTimestamp:
      if (!ParseTimestamp(text, &real)) return false;
      break;
    default:
      column.AppendText(text);
      return true;
  }
  column.AppendDouble(real);
  return true;
}

}  // namespace

LoadResult LoadCsv(const LoadRequest& request, IInterruptCheck& interrupts, ProgressLine& progress,
                   LoadedData* data, std::string* error) {
  std::string text;
  if (!ReadFileText(request.path, &text, error)) return LoadResult::kInputError;
  return LoadCsvText(request, text, interrupts, progress, data, error);
}

LoadResult LoadCsvText(const LoadRequest& request, std::string_view text,
                       IInterruptCheck& interrupts, ProgressLine& progress, LoadedData* data,
                       std::string* error) {
  const std::string prefix = request.path + ": ";
  auto fail = [&](const std::string& what) {
    *error = prefix + what;
    return LoadResult::kInputError;
  };
  progress.StartPhase("reading");
  CsvReader reader(text, request.delimiter);
  std::vector<CsvCell> cells;
  std::vector<std::string>& names = data->store.names;
  if (!ReadHeader(reader, cells, &names, error)) return fail(*error);
  const Schema& schema = *request.schema;
  if (!CheckSchemaNames(names, schema, error)) return LoadResult::kInputError;
  std::vector<const FieldSpec*> specs;
  for (const std::string& name : names) specs.push_back(schema.Find(name));

  std::vector<TypeInference> inference(names.size());
  int64_t rows = 0;
  while (reader.NextRow(&cells)) {
    if (!CheckWidth(reader, cells.size(), names.size(), error)) return fail(*error);
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const std::string_view cell = cells[i].text;
      if (cell.empty()) continue;
      if (specs[i] == nullptr || !specs[i]->storage) inference[i].Add(cell);
    }
    if (++rows % kCheckEvery == 0) {
      if (interrupts.IsInterrupted()) return LoadResult::kInterrupted;
      progress.Records(rows);
    }
  }
  if (!reader.error().empty()) return fail(reader.error());
  if (rows == 0) return fail("the file has a header row but no records");

  std::vector<int> inferred;
  for (const TypeInference& column : inference) inferred.push_back(column.Result());
  if (!PlanFields(names, inferred, schema, request.roles, &data->plans, error)) {
    return LoadResult::kInputError;
  }
  for (const FieldPlan& plan : data->plans) data->store.columns.emplace_back(plan.storage);

  progress.Records(rows);
  progress.StartPhase("storing");
  reader.Rewind();
  reader.NextRow(&cells);  // the header
  WeightTally weights(data->plans, request.roles);
  rows = 0;
  while (reader.NextRow(&cells)) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const FieldPlan& plan = data->plans[i];
      Column& column = data->store.columns[i];
      const CsvCell& cell = cells[i];
      // A quoted empty cell is the empty text; elsewhere an empty cell is missing.
      if (cell.text.empty()) {
        if (cell.quoted && plan.storage == kStorageString) {
          column.AppendText(cell.text);
        } else {
          column.AppendMissing();
        }
      } else if (!StoreCell(plan, cell.text, column)) {
        const std::string expected =
            plan.codes.empty() ? StorageNoun(plan.storage) : "one of its categories";
        return fail("line " + std::to_string(reader.rowLine()) + ", column " +
                    std::to_string(i + 1) + ": " + QuoteCell(cell.text) + " is not " + expected +
                    " (field '" + plan.name + "')");
      }
    }
    if (!weights.AddRow(data->store, static_cast<std::size_t>(rows), reader.rowLine(), error)) {
      return fail(*error);
    }
    if (++rows % kCheckEvery == 0) {
      if (interrupts.IsInterrupted()) return LoadResult::kInterrupted;
      progress.Records(rows);
    }
  }
  progress.Records(rows);
  data->droppedRecords = weights.dropped();
  return LoadResult::kLoaded;
}

}  // namespace zelcli
