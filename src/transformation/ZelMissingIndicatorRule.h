// ZelMissingIndicatorRule: 1 when the input is missing (a user-missing value
// included), 0 otherwise; never missing itself. The document writes it as a
// MapValues without rows whose mapMissingTo is 1 and defaultValue 0.
#ifndef ZELCRAFT_TRANSFORMATION_ZELMISSINGINDICATORRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELMISSINGINDICATORRULE_H_

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelMissingIndicatorRule : public ZelValueMappingTransformRule {
 public:
  explicit ZelMissingIndicatorRule(const ZelOperationPair& pair)
      : ZelValueMappingTransformRule(pair) {}

  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELMISSINGINDICATORRULE_H_
