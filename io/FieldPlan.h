// FieldPlan: how one CSV column is read and described to the component,
// decided from its inferred storage, the schema and the roles given on the
// command line. Planning rejects impossible combinations before any value is
// stored.
#ifndef ZELCRAFT_IO_FIELDPLAN_H_
#define ZELCRAFT_IO_FIELDPLAN_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/ZelUserMissing.h"
#include "io/CellReader.h"
#include "io/ColumnStore.h"
#include "io/Schema.h"
#include "status/Status.h"

namespace zelio {

struct FieldRoles {
  std::string target;
  std::string frequencyWeight;
  std::string analysisWeight;  // from --analysis-weight or the "analysisWeight" setting
  // The target's measurement level from the command line; it wins over the
  // schema's.
  std::optional<Level> targetLevel;
};

struct FieldPlan {
  std::string name;
  int storage = 0;  // TorStorage the values are stored and handed over as
  Level level = Level::kContinuous;
  Role role = Role::kInput;
  const FieldSpec* spec = nullptr;  // null when the schema does not name the field
  // Ordinal text fields: category text to its code 1..k.
  std::map<std::string, int64_t, std::less<>> codes;
  // The column of the file its cells come from (a timestamp column handed
  // over as two fields feeds both), and the part of a timestamp it takes.
  std::size_t fileColumn = 0;
  CellReader::Part part = CellReader::Part::kWhole;

  // The field's user-missing values from the schema, judged by the
  // component's own test.
  ZelFrame::ZelUserMissing missing;

  // Sets `spec` (may be null) and the user-missing values it gives.
  void SetSpec(const FieldSpec* given);
};

// Every field the schema names must be a column of the data.
zelstatus::Status CheckSchemaNames(const std::vector<std::string>& names, const Schema& schema);

zelstatus::Status PlanFields(const std::vector<std::string>& names,
                             const std::vector<int>& inferred, const Schema& schema,
                             const FieldRoles& roles, std::vector<FieldPlan>* plans);

// The plans of columns a host filled itself: each column's storage is what
// it holds, and a schema may set levels, roles, labels and user-missing
// values but not another storage. Ordinal text must be held as its codes
// 1..k (the categories' order), in an integer column.
zelstatus::Status PlanColumns(const ColumnStore& store, const Schema& schema,
                              const FieldRoles& roles, std::vector<FieldPlan>* plans);

}  // namespace zelio

#endif  // ZELCRAFT_IO_FIELDPLAN_H_
