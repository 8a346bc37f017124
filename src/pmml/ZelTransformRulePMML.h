// ZelTransformRulePMML: turns the rule of one derived field into the PMML
// expression inside its "DerivedField", so that a consumer can recompute the
// field from the input fields. Each rule action has its own expression;
// actions without one leave the field as it is.
#ifndef ZELCRAFT_PMML_ZELTRANSFORMRULEPMML_H_
#define ZELCRAFT_PMML_ZELTRANSFORMRULEPMML_H_

#include <memory>
#include <string>

#include "torcommon13r/TorStatus.h"
#include "torcommon13r/TorXML.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelPMML {

class ZelTransformRulePMML {
 public:
  ZelTransformRulePMML(TorXML_1_3::XMLElement* derivedField, const ZelVariableHandleInfo& field,
                       const ZelVariableHandleList& fields);
  virtual ~ZelTransformRulePMML();
  ZelTransformRulePMML(const ZelTransformRulePMML&) = delete;
  ZelTransformRulePMML& operator=(const ZelTransformRulePMML&) = delete;

  // Appends the expression. kMissingObject for a derived field without rule,
  // kInconsistent for a rule whose class does not fit its action,
  // kRuleLacksField for a rule without the input field (or reference) its
  // expression needs.
  void Write(TorCommon_1_3::TorStatus& status);

 private:
  // Apply(function of the rule, source) for trimming, calendar parts and
  // recasts; durations add the reference as a typed constant.
  TorCommon_1_3::TorStatus WriteFunctionCall(bool withReference);
  // "Discretize" with one bin per interval between the cut points; bins are
  // closed on the right, so a value on a cut point takes the lower bin. No
  // cut point gives one bin over every value.
  TorCommon_1_3::TorStatus WriteDiscretize();
  // outlierHandle(source, treatment, robust mean, robust SD, cutoff,
  // analysis weight field or 1).
  TorCommon_1_3::TorStatus WriteOutlierCall();
  // NormContinuous (continuous) or MapValues with recodeElseCopy
  // (categorical), each mapping a missing value to the replacement.
  TorCommon_1_3::TorStatus WriteMissingReplacement();
  // A MapValues table from each category to its code, then the codes as
  // the field's values.
  TorCommon_1_3::TorStatus WriteReorder();
  // (a / b) * (Box-Cox(source) - c) + d.
  TorCommon_1_3::TorStatus WriteBoxCoxRescale();
  // The Box-Cox transform or signed logarithm of a skewed input.
  TorCommon_1_3::TorStatus WriteSkewTransform();
  // (a / b) * (source - c) + d: the z-score with a = target SD, b = field
  // SD, c = field mean, d = target mean; the min-max with a = the new range,
  // b = the field's range, c = field minimum, d = new minimum.
  TorCommon_1_3::TorStatus WriteFeatureRescale();
  // "MapValues" over an "InlineTable" with one row per source category in
  // ascending order, and the rule's default label for categories it lacks.
  TorCommon_1_3::TorStatus WriteMergeMapping();
  // The right-nested sum of coefficient × input products; kNumericalFailure
  // when the inputs and coefficients differ in number.
  TorCommon_1_3::TorStatus WriteSumOfProducts();
  TorCommon_1_3::TorStatus WriteCalendarArithmetic();
  TorCommon_1_3::TorStatus WriteMissingIndicator();
  // MapValues from category to target mean, the prior for the rest, and an
  // Extension "crossFitting" telling a host how to cross-fit training rows.
  TorCommon_1_3::TorStatus WriteTargetMean();

  TorXML_1_3::XMLElement* derivedField_;
  const ZelVariableHandleInfo& field_;
  const ZelVariableHandleList& fields_;
  TorCommon_1_3::TorStatus status_;
};

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELTRANSFORMRULEPMML_H_
