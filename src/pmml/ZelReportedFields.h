// Which fields the statistics in the document describe: every field in use,
// the excluded ones whose exclusion a user is shown, and, after each derived
// field, the field it was made from, so that a user interface can set the
// recommended field beside its origin without reading the data again.
#ifndef ZELCRAFT_PMML_ZELREPORTEDFIELDS_H_
#define ZELCRAFT_PMML_ZELREPORTEDFIELDS_H_

#include <vector>

#include "settings/ZelVariableHandleList.h"

namespace ZelPMML {

// The indices in report order. A field neither excluded nor a weight is
// reported; an excluded field or a weight only when its exclusion reason is
// one the variable summary lists. Each reported field is followed by its
// base field when that exists and differs, so a base shared by several
// fields appears after each of them.
std::vector<int> ChooseReportedFields(const ZelVariableHandleList& fields);

// The field a derived field's figures compare with, following first inputs
// back through the chain of its single-input rules: the original field at
// the chain's start, or the nearest recast or date/time-derived field on
// the way, since their values are no longer those of the original. A chain
// that starts at a date, time or timestamp ends at the last derived field
// before it (the field itself when it is computed directly from one). -1
// for original fields, rules with several inputs or none, and broken chains.
int FindBaseField(const ZelVariableHandleList& fields, int index);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELREPORTEDFIELDS_H_
