// ZelTargetEncodingHandler: replaces every nominal input of at least
// "targetEncodingMinCategories" categories by the smoothed mean of the
// target in its category (ZelTargetMeanRule): one continuous field
// NAME_targetMean for a continuous target or a target of two categories (the
// mean of the indicator of its second category, in the field's category
// order), one field NAME_targetMean_CLASS per category for a nominal target
// of 3 to kMaxClasses categories. It runs in the target's pass, after the
// target's Box-Cox and the skewness step, and before rescaling, which then
// rescales the new fields like every continuous input. The sums are those of
// the input's statistic against the target, gathered in that pass.
//
// Inputs past the category screen take part too while the step can encode
// them: their univariate tables count up to
// ZelSettings::kTargetEncodingCategoryLimit categories then, and the screen
// keeps them.
#ifndef ZELCRAFT_TRANSFORMATION_ZELTARGETENCODINGHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELTARGETENCODINGHANDLER_H_

#include <cstdint>

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelTargetEncodingHandler : public ZelOperationHandler {
 public:
  // The most categories a nominal target may have to be encoded against.
  static constexpr int kMaxClasses = 5;

  ZelTargetEncodingHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                           std::vector<TorCommon_1_3::TorStatus>* warnings);

  TorCommon_1_3::TorStatus Check() override;
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  bool IsEnabled(const ZelSettings* settings) override;

  // The fields one input becomes for this target: 1 for a continuous target
  // or one of two categories, the category count for 3 to kMaxClasses, 0
  // when the target cannot be encoded against (none, constant, or more
  // categories).
  static int EncodedFields(const ZelVariableHandleList& fields);
  // Whether the step, when on, encodes the field: a kept nominal input of
  // `categories` categories, at least the setting, against a target it can
  // encode against.
  static bool Encodes(const ZelVariableHandleList& fields, const ZelVariableHandleInfo& field,
                      int64_t categories);
  // The categories of a nominal field's finished univariate table; -1 for
  // other fields.
  static int64_t CategoryCount(const ZelVariableHandleInfo& field);
  // Whether any field is one the step encodes.
  static bool HasCandidate(const ZelVariableHandleList& fields);
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELTARGETENCODINGHANDLER_H_
