// ColumnChecks: what the loader checks while it reads a file, checked on the
// columns a host filled itself: names and texts a document can carry (the
// file's reader refuses the same characters), and weights the component can
// count, each row by row as the component will take it. Messages name the
// row (counted from 1), the column and the field.
#ifndef ZELCRAFT_PREPARATION_COLUMNCHECKS_H_
#define ZELCRAFT_PREPARATION_COLUMNCHECKS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "io/ColumnStore.h"
#include "io/FieldPlan.h"
#include "status/Status.h"

namespace zelprep {

// Every name and every text of a text column is well-formed UTF-8 without
// the characters XML refuses.
zelstatus::Status CheckColumnTexts(const zelio::ColumnStore& store);

// The weights of every row; `dropped` counts the rows that will not count.
zelstatus::Status TallyColumnWeights(const zelio::ColumnStore& store,
                                     const std::vector<zelio::FieldPlan>& plans,
                                     const zelio::FieldRoles& roles, int64_t* dropped);

}  // namespace zelprep

#endif  // ZELCRAFT_PREPARATION_COLUMNCHECKS_H_
