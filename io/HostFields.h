// HostFields: the field list handed to the component, built from the field
// plans and the loaded columns. Fields with role none are left out, so the
// component's field i reads column columnOf[i].
#ifndef ZELCRAFT_IO_HOSTFIELDS_H_
#define ZELCRAFT_IO_HOSTFIELDS_H_

#include <cstddef>
#include <vector>

#include "io/ColumnStore.h"
#include "io/FieldPlan.h"
#include "torcommon13r/TorVarList.h"

namespace zelio {

struct HostFields {
  TorCommon_1_3::TorVarList variables;
  std::vector<std::size_t> columnOf;
};

void BuildHostFields(const std::vector<FieldPlan>& plans, const ColumnStore& store,
                     const FieldRoles& roles, HostFields* fields);

}  // namespace zelio

#endif  // ZELCRAFT_IO_HOSTFIELDS_H_
