#include "pmml/ZelSummaryVocabulary.h"

#include "settings/ZelSettings.h"
#include "transformation/ZelBoxCoxFunctionRule.h"

namespace ZelSummary {

using ZelRegistry::Category;
using ZelTransformation::Quote;

namespace {

Category CategoryOf(int action) {
  const ZelTransformation::ZelActionEntry* entry =
      action >= 0 ? ZelTransformation::FindAction(static_cast<uint32_t>(action)) : nullptr;
  return entry != nullptr ? entry->category : Category::kUnreported;
}

}  // namespace

const char* GetStepKey(int step) {
  const ZelTransformation::ZelStepEntry* entry =
      step >= 0 ? ZelTransformation::FindStep(static_cast<uint32_t>(step)) : nullptr;
  return entry != nullptr ? entry->key : "";
}

const char* GetReasonKey(int action) {
  const ZelTransformation::ZelActionEntry* entry =
      action >= 0 ? ZelTransformation::FindAction(static_cast<uint32_t>(action)) : nullptr;
  return entry != nullptr ? entry->reasonKey : "";
}

bool IsCountedDerivation(int action) { return CategoryOf(action) == Category::kDerivation; }

bool IsListedExclusion(int action) { return CategoryOf(action) == Category::kExclusion; }

bool IsListedInVariableSummary(int action) {
  const Category category = CategoryOf(action);
  return category == Category::kExclusion || category == Category::kListedSource;
}

Quote QuoteOf(int action) {
  const ZelTransformation::ZelActionEntry* entry =
      action >= 0 ? ZelTransformation::FindAction(static_cast<uint32_t>(action)) : nullptr;
  return entry != nullptr ? entry->quote : Quote::kRule;
}

std::vector<double> SummaryNumbers(int action, const ZelTransformation::ZelTransformRule* rule,
                                   const ZelSettings& settings) {
  switch (QuoteOf(action)) {
    case Quote::kReferenceDate:
    case Quote::kReferenceTime:
      // The reference in days or seconds, as the rule measures from it.
      if (rule == nullptr || rule->GetParameters().empty()) return {};
      return {rule->GetParameters().front()};
    case Quote::kRecastCategories:
      return {static_cast<double>(settings.recastCatThreshold)};
    case Quote::kRecastValues:
      return {static_cast<double>(settings.recastContThreshold)};
    case Quote::kBoxCox:
      if (rule == nullptr) return {};
      return RescaleTargetParameters(*rule, settings);
    case Quote::kZscore:
      return {settings.rescalingZscoreMean, settings.rescalingZscoreSD};
    case Quote::kMinMax:
      return {settings.rescalingMinMaxMin, settings.rescalingMinMaxMax};
    case Quote::kOutlierCutoff:
      return {settings.outlierSDCutoff};
    case Quote::kMissingShare:
      return {settings.maxPercentMissing};
    case Quote::kMissingFlagShare:
      return {settings.flagMissingShare};
    case Quote::kSmoothing:
      return {settings.targetEncodingSmoothing};
    case Quote::kModeShare:
      return {settings.screeningThreshold};
    case Quote::kCategoryLimit:
      return {static_cast<double>(settings.screeningThresholdForNominal)};
    default:
      return {};
  }
}

std::vector<double> RescaleTargetParameters(const ZelTransformation::ZelTransformRule& rule,
                                            const ZelSettings& settings) {
  std::vector<double> numbers = {settings.rescaleContTargetMean, settings.rescaleContTargetSD};
  if (const auto* boxCox = dynamic_cast<const ZelTransformation::ZelBoxCoxFunctionRule*>(&rule)) {
    numbers.push_back(boxCox->GetLambda());
  }
  return numbers;
}

}  // namespace ZelSummary
