#include "ActionWords.h"

namespace zelapply {

namespace {

#define ZEL_ACTION_WORDS(step, action, id, name, key, category, words, handler, rule, expression, \
                         quote, statistics)                                                      \
  {step, action, key, Category::k##category, words},
constexpr ActionEntry kActions[] = {ZEL_ACTIONS(ZEL_ACTION_WORDS)};
#undef ZEL_ACTION_WORDS

#define ZEL_STEP_KEY(step, id, name, key, handler, rule) key,
constexpr const char* kStepKeys[] = {ZEL_STEPS(ZEL_STEP_KEY)};
#undef ZEL_STEP_KEY

const char* WordsOf(std::string_view reasonKey, Category category) {
  const ActionEntry* action = FindAction(reasonKey);
  return action != nullptr && action->category == category ? action->words : nullptr;
}

}  // namespace

const ActionEntry* FindAction(std::string_view reasonKey) {
  if (reasonKey.empty()) return nullptr;
  for (const ActionEntry& action : kActions) {
    if (reasonKey == action.reasonKey) return &action;
  }
  return nullptr;
}

const char* StepKeyOf(uint32_t step) { return step < Step::kCount ? kStepKeys[step] : ""; }

uint32_t ActionOf(std::string_view reasonKey) {
  const ActionEntry* action = FindAction(reasonKey);
  return action != nullptr ? action->action : Action::kCount;
}

const char* ExclusionReasonText(std::string_view reasonKey) {
  return WordsOf(reasonKey, Category::kExclusion);
}

const char* DerivationText(std::string_view reasonKey) {
  return WordsOf(reasonKey, Category::kDerivation);
}

std::string SkewTransformWords(const std::vector<std::string>& parameters) {
  if (parameters.size() == 2) return "Box-Cox, exponent " + parameters[0];
  return "signed log";
}

// One row per treatment; a new action counted on a line of its own is a row
// here (and, where its parameters tell how, a words function above).
const std::vector<TreatmentWords>& Treatments() {
  static const std::vector<TreatmentWords> rows = {
      {Step::kOutlierIdentification, Action::kTrimOutliersToExtreme,
       "outliers trimmed to the cutoff", false, nullptr, nullptr},
      {Step::kOutlierIdentification, Action::kSetOutliersToMissing, "outliers set to missing",
       false, nullptr, nullptr},
      {Step::kHandleMissingValue, Action::kUnknown, "missing values replaced", true, nullptr,
       nullptr},
      {Step::kHandleContinuousFeatures, Action::kSkewTransformContFeature,
       "skewed inputs transformed", false, "skewness reduced", SkewTransformWords},
      {Step::kFlagMissingValues, Action::kFlagMissing, "missing-value indicators", false, nullptr,
       nullptr},
      {Step::kEncodeByTarget, Action::kTargetMeanCatFeature,
       "categories replaced by smoothed target means", false, nullptr, nullptr},
      {Step::kDateTimeHandle, Action::kDateElementWeekday, "calendar parts as categories", false,
       nullptr, nullptr},
      {Step::kDateTimeHandle, Action::kDateElementMonthCategory, "calendar parts as categories",
       false, nullptr, nullptr},
      {Step::kDateTimeHandle, Action::kTimeElementHourCategory, "calendar parts as categories",
       false, nullptr, nullptr},
  };
  return rows;
}

const TreatmentWords* TreatmentOf(std::string_view reasonKey) {
  const ActionEntry* action = FindAction(reasonKey);
  if (action == nullptr) return nullptr;
  for (const TreatmentWords& treatment : Treatments()) {
    if (treatment.step != action->step) continue;
    if (treatment.action == Action::kUnknown || treatment.action == action->action) {
      return &treatment;
    }
  }
  return nullptr;
}

}  // namespace zelapply
