// ZelMergedField: what the two merge steps share once a field's groups are
// decided: the table of old to new categories, and the derived field that
// applies it. The merged field starts with the source's univariate results,
// its categories replaced by the group labels with their summed counts, so
// that the screening right after the merge sees how many categories are
// left without another data pass.
#ifndef ZELCRAFT_TRANSFORMATION_ZELMERGEDFIELD_H_
#define ZELCRAFT_TRANSFORMATION_ZELMERGEDFIELD_H_

#include <map>
#include <string>

#include "torcommon13r/TorStatus.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelTransformation {

// Old category to group label; texts for a text field, numbers otherwise.
struct ZelCategoryMapping {
  std::map<std::string, std::string> texts;
  std::map<double, double> numbers;
};

// Appends the merged field `name` (the source's label, kind and storage) for
// `pair`, excludes the source with that pair and gives the rule its input and
// mapping. The field list's status when it refuses the field; kInconsistent
// when the new field's rule or statistic is not of the class a merge needs,
// or the source has no categorical univariate statistic.
TorCommon_1_3::TorStatus AddMergedField(ZelVariableHandleList* fields, ZelVariableHandleInfo* source,
                                        int sourceIndex, const ZelOperationPair& pair,
                                        const std::string& name, ZelCategoryMapping mapping);

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELMERGEDFIELD_H_
