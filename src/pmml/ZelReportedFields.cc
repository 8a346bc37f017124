#include "pmml/ZelReportedFields.h"

#include "pmml/ZelSummaryVocabulary.h"
#include "torcommon13r/TorVariable.h"

namespace ZelPMML {

namespace Action = ZelTransformation::Action;
namespace Step = ZelTransformation::Step;

namespace {

bool IsDateOrTime(int storage) {
  return storage == TorCommon_1_3::kStorageDate || storage == TorCommon_1_3::kStorageTime ||
         storage == TorCommon_1_3::kStorageTimestamp;
}

// A recast or a date/time derivation gives values of their own: the chain's
// figures start there.
bool StartsNewValues(const ZelTransformation::ZelTransformRule& rule) {
  const ZelTransformation::ZelOperationPair& pair = rule.GetPair();
  return pair.action == Action::kTypeOrdinalToScale || pair.action == Action::kTypeScaleToOrdinal ||
         pair.step == Step::kDateTimeHandle;
}

}  // namespace

int FindBaseField(const ZelVariableHandleList& fields, int index) {
  const ZelVariableHandleInfo* field = fields.GetHandle(index);
  if (field == nullptr || !field->IsDerived() || field->GetRule() == nullptr ||
      field->GetRule()->GetInputNames().size() != 1) {
    return -1;
  }
  int last = index;
  int at = field->GetRule()->GetSourceIndex();
  // Rules only refer to earlier fields; the bound stops a malformed chain.
  for (int steps = 0; steps < fields.Count(); ++steps) {
    const ZelVariableHandleInfo* reached = fields.GetHandle(at);
    if (reached == nullptr) return -1;
    if (!reached->IsDerived()) return IsDateOrTime(reached->GetStorage()) ? last : at;
    const ZelTransformation::ZelTransformRule* rule = reached->GetRule();
    if (rule == nullptr) return -1;
    if (StartsNewValues(*rule)) return at;
    last = at;
    at = rule->GetSourceIndex();
  }
  return -1;
}

std::vector<int> ChooseReportedFields(const ZelVariableHandleList& fields) {
  std::vector<int> reported;
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields.GetHandle(i);
    if ((field->IsExcluded() || field->IsWeight()) &&
        !ZelSummary::IsListedInVariableSummary(
            static_cast<int>(field->GetExcludedReason().action))) {
      continue;
    }
    reported.push_back(i);
    const int base = FindBaseField(fields, i);
    if (base >= 0 && base != i) reported.push_back(base);
  }
  return reported;
}

}  // namespace ZelPMML
