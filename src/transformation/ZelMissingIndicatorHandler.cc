#include "transformation/ZelMissingIndicatorHandler.h"

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

TorStatus ZelMissingIndicatorHandler::Check() { return CheckStep(Step::kFlagMissingValues); }

bool ZelMissingIndicatorHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr && settings->flagMissing;
}

bool ZelMissingIndicatorHandler::Counts(const ZelVariableHandleInfo& field, int64_t* missing,
                                        int64_t* valid) {
  const ZelStatistic::ZelStatistics* univariate = field.GetUnivariate();
  if (univariate == nullptr || !univariate->IsInformationCollected()) return false;
  if (const auto* cont = dynamic_cast<const ZelStatistic::ZelUnivarCont*>(univariate)) {
    *missing = cont->GetSummary().GetMissingCount();
    *valid = cont->GetSummary().GetValidCount();
    return true;
  }
  if (const auto* cat = dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(univariate)) {
    *missing = cat->GetSummary().GetMissingCount();
    *valid = cat->GetSummary().GetValidCount();
    return true;
  }
  if (const auto* text = dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(univariate)) {
    *missing = text->GetMissingCount();
    *valid = text->GetValidCount();
    return true;
  }
  return false;
}

bool ZelMissingIndicatorHandler::EarnsIndicator(const ZelSettings& settings,
                                                const ZelVariableHandleInfo& field,
                                                int64_t missing, int64_t valid) {
  if (!settings.flagMissing || field.IsTarget() || field.IsDerived() || field.IsWeight()) {
    return false;
  }
  // Nothing missing or nothing present: the indicator would be constant.
  if (missing < 1 || valid < 1) return false;
  const double share = static_cast<double>(missing) / static_cast<double>(missing + valid);
  if (share >= settings.flagMissingShare) return true;
  return settings.keepMostlyMissing && settings.excludeTooManyMissing &&
         share > settings.maxPercentMissing;
}

TorStatus ZelMissingIndicatorHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  int64_t missing = 0;
  int64_t valid = 0;
  if (!Counts(*field, &missing, &valid) || !EarnsIndicator(*Settings(), *field, missing, valid)) {
    return TorStatus();
  }
  const std::string name = field->GetName() + Settings()->GetStepSuffix(StepSuffix::kMissing);
  const int derived =
      fields_->AddDerivedField(name, field->GetLabel(), MeasureKind::kNominal, false,
                               TorCommon_1_3::kStorageInteger, {Step::kFlagMissingValues,
                                                                Action::kFlagMissing});
  if (derived < 0) return fields_->GetStatus();
  ZelTransformRule* rule = fields_->GetHandle(derived)->GetRule();
  if (rule == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  rule->AddInput(field->GetName(), index);
  return TorStatus();
}

}  // namespace ZelTransformation
