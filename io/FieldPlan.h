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

#include "io/Schema.h"

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

  // Whether a stored value is one of the field's user-missing values, as the
  // component will judge it: a number in the closed missing range or equal
  // to a missing value; a text equal to a missing string.
  bool IsUserMissing(double value) const;
  bool IsUserMissing(std::string_view text) const;
};

// Every field the schema names must be a column of the data.
bool CheckSchemaNames(const std::vector<std::string>& names, const Schema& schema,
                      std::string* error);

bool PlanFields(const std::vector<std::string>& names, const std::vector<int>& inferred,
                const Schema& schema, const FieldRoles& roles, std::vector<FieldPlan>* plans,
                std::string* error);

}  // namespace zelio

#endif  // ZELCRAFT_IO_FIELDPLAN_H_
