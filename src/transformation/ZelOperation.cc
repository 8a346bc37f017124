#include "transformation/ZelOperation.h"

#include "transformation/ZelRegistry.h"

namespace ZelTransformation {

namespace {

const char* const kTypeNames[] = {"Normalization", "Discretization", "ValueMapping", "Functions",
                                  "ConstructFeature"};

const char kUnrecognized[] = "unrecognized";

}  // namespace

std::string GetStepName(uint32_t step) {
  const ZelStepEntry* entry = FindStep(step);
  return entry != nullptr ? entry->name : kUnrecognized;
}

std::string GetActionName(uint32_t action) {
  const ZelActionEntry* entry = FindAction(action);
  return entry != nullptr && entry->name != nullptr ? entry->name : kUnrecognized;
}

std::string GetTransformTypeName(int type) {
  return type >= 0 && type <= RuleType::kConstructFeature ? kTypeNames[type] : kUnrecognized;
}

std::string GetOperationText(const ZelOperationPair& pair) {
  return "Step=" + GetStepName(pair.step) + "; Action=" + GetActionName(pair.action);
}

}  // namespace ZelTransformation
