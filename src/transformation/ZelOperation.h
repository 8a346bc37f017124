// The (step, action) pair that names an operation, and the step, action and
// transform-type vocabulary: a pair identifies a step-list entry, a handler,
// the origin of a rule and the reason a field was excluded.
#ifndef ZELCRAFT_TRANSFORMATION_ZELOPERATION_H_
#define ZELCRAFT_TRANSFORMATION_ZELOPERATION_H_

#include <cstdint>
#include <string>

#include "transformation/ZelRegistryTable.h"

namespace ZelTransformation {

struct ZelOperationPair {
  uint32_t step = 0;
  uint32_t action = 0;

  bool operator==(const ZelOperationPair& other) const {
    return step == other.step && action == other.action;
  }
  bool operator!=(const ZelOperationPair& other) const { return !(*this == other); }
};

// The step and action numbers, Step::kHandleStringFeature and
// Action::kTrimTrailing, ..., as the registry declares them.
namespace Step = ZelRegistry::Step;
namespace Action = ZelRegistry::Action;

namespace RuleType {
constexpr int kNormalization = 0;
constexpr int kDiscretization = 1;
constexpr int kValueMapping = 2;
constexpr int kFunctions = 3;
constexpr int kConstructFeature = 4;
}  // namespace RuleType

// Names; numbers outside the registry, and the actions without a name
// (kDateTimeSourceDone, kExcludeConstantAfterOutlier), give "unrecognized".
std::string GetStepName(uint32_t step);
std::string GetActionName(uint32_t action);
std::string GetTransformTypeName(int type);
// "Step=" + step name + "; Action=" + action name.
std::string GetOperationText(const ZelOperationPair& pair);

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELOPERATION_H_
