#include "transformation/ZelFeatureScreenHandler.h"

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "transformation/ZelMissingIndicatorHandler.h"
#include "transformation/ZelTargetEncodingHandler.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

TorStatus ZelFeatureScreenHandler::Check() { return CheckStep(Step::kFeatureScreening); }

TorStatus ZelFeatureScreenHandler::ProcessField(ZelVariableHandleInfo* field, int) {
  const TorStatus inconsistent(ZelStatusCode::kInconsistent, false);
  // A field derived after the pass (a missing-value indicator) has no
  // figures yet to screen.
  const ZelStatistic::ZelStatistics* univariate = field->GetUnivariate();
  if (field->IsDerived() && univariate != nullptr && !univariate->IsInformationCollected()) {
    return TorStatus();
  }
  switch (field->GetMeasureLevel()) {
    case TorCommon_1_3::kLevelContinuous:
      return ScreenContinuous(field);
    case TorCommon_1_3::kLevelCategorical: {
      const auto* stat =
          dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(field->GetUnivariate());
      if (stat == nullptr) return inconsistent;
      const ZelStatistic::ZelContSummary& s = stat->GetSummary();
      return ScreenCategorical(field, {s.GetMissingCount(), s.GetValidCount(), s.GetTableSize(),
                                       s.GetFrequency(s.GetMode())});
    }
    case TorCommon_1_3::kLevelCategoricalString: {
      const auto* stat =
          dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(field->GetUnivariate());
      if (stat == nullptr) return inconsistent;
      return ScreenCategorical(field, {stat->GetMissingCount(), stat->GetValidCount(),
                                       stat->GetTableSize(), stat->GetFrequency(stat->GetMode())});
    }
    default:
      // Level 4 and fields without a level are not screened.
      return TorStatus();
  }
}

uint32_t ZelFeatureScreenHandler::MissingRule(const ZelVariableHandleInfo& field, int64_t missing,
                                              int64_t valid, uint32_t previous) const {
  if (valid == 0) return Action::kScreenMissingFeature;
  const ZelSettings& s = *Settings();
  // Its indicator says what the input lacks; the input keeps what it has.
  if (s.keepMostlyMissing && ZelMissingIndicatorHandler::EarnsIndicator(s, field, missing, valid)) {
    return previous;
  }
  const double share = static_cast<double>(missing) / static_cast<double>(valid + missing);
  if (s.excludeTooManyMissing && share > s.maxPercentMissing) return Action::kScreenMissingFeature;
  return previous;
}

TorStatus ZelFeatureScreenHandler::ScreenContinuous(ZelVariableHandleInfo* field) {
  const auto* stat = dynamic_cast<const ZelStatistic::ZelUnivarCont*>(field->GetUnivariate());
  if (stat == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  const ZelStatistic::ZelContSummary& s = stat->GetSummary();
  uint32_t reason = Action::kUnknown;
  if (s.GetMaximum() == s.GetMinimum()) reason = Action::kScreenConstantFeature;
  reason = MissingRule(*field, s.GetMissingCount(), s.GetValidCount(), reason);
  if (reason != Action::kUnknown) field->Exclude({Step::kFeatureScreening, reason});
  return TorStatus();
}

// Each rule that fires replaces the reason of the rules before it, so the
// reason recorded is that of the last rule that fired.
TorStatus ZelFeatureScreenHandler::ScreenCategorical(ZelVariableHandleInfo* field,
                                                     const CategoryCounts& counts) {
  const ZelSettings& s = *Settings();
  uint32_t reason = Action::kUnknown;
  if (counts.distinct == 1) reason = Action::kScreenConstantFeature;
  reason = MissingRule(*field, counts.missing, counts.valid, reason);
  const int64_t total = counts.valid + counts.missing;
  if (s.screeningCatFeature && total > 0 &&
      static_cast<double>(counts.modeFrequency) / static_cast<double>(total) >
          s.screeningThreshold) {
    reason = Action::kScreenSingleCatFeature;
  }
  // Ordinal fields keep their categories however many there are: their
  // order carries information that merging or recasting can still use.
  // An input the target encoding step replaces by its target mean keeps
  // its categories, however many, up to that step's limit.
  if (!field->IsOrdinal() &&
      static_cast<int64_t>(counts.distinct) > s.screeningThresholdForNominal &&
      !ZelTargetEncodingHandler::Encodes(*fields_, *field,
                                         static_cast<int64_t>(counts.distinct))) {
    reason = Action::kScreenTooManyCatsNominalFeature;
  }
  if (reason != Action::kUnknown) field->Exclude({Step::kFeatureScreening, reason});
  return TorStatus();
}

}  // namespace ZelTransformation
