#include "frame/ZelTargetExplanation.h"

#include <cstdio>

#include "settings/ZelVariableHandleList.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "torcommon13r/TorEncoder.h"
#include "torcommon13r/TorVariable.h"

namespace ZelFrame {

namespace {

using ZelTransformation::Action::kDateTimeSourceDone;
using ZelTransformation::Action::kScreenConstantFeature;
using ZelTransformation::Action::kScreenMissingFeature;
using ZelTransformation::Action::kScreenSingleCatFeature;
using ZelTransformation::Action::kScreenTooManyCatsNominalFeature;

std::string Percent(double share) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g %%", 100.0 * share);
  return text;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

// What the screening step counted for a field: records with a value and
// without, the most frequent value and its count, as text.
struct Counts {
  double valid = 0.0;
  double missing = 0.0;
  double modeCount = 0.0;
  std::string mode;
};

// A coded category shows the label the host gave it, if any.
std::string CodeText(const ZelVariableHandleInfo& field, double code) {
  const std::string value = Number(code);
  const TorCommon_1_3::ITorVariable* variable = field.GetVariable();
  const TorCommon_1_3::TorEncoder* encoder = variable ? variable->GetEncoder() : nullptr;
  if (encoder == nullptr) return value;
  const std::vector<std::string>& labels = encoder->GetValueLabels();
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (encoder->GetLabeledValue(i) == value) return "'" + labels[i] + "'";
  }
  return value;
}

bool CountsOf(const ZelVariableHandleInfo& field, Counts* counts) {
  const ZelStatistic::ZelStatistics* statistic = field.GetUnivariate();
  if (const auto* text = dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(statistic)) {
    counts->valid = static_cast<double>(text->GetValidCount());
    counts->missing = static_cast<double>(text->GetMissingCount());
    counts->mode = "'" + text->GetMode() + "'";
    counts->modeCount = static_cast<double>(text->GetFrequency(text->GetMode()));
    return true;
  }
  if (const auto* coded = dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(statistic)) {
    const ZelStatistic::ZelContSummary& s = coded->GetSummary();
    counts->valid = static_cast<double>(s.GetValidCount());
    counts->missing = static_cast<double>(s.GetMissingCount());
    counts->mode = CodeText(field, s.GetMode());
    counts->modeCount = static_cast<double>(s.GetFrequency(s.GetMode()));
    return true;
  }
  if (const auto* numbers = dynamic_cast<const ZelStatistic::ZelUnivarCont*>(statistic)) {
    const ZelStatistic::ZelContSummary& s = numbers->GetSummary();
    counts->valid = static_cast<double>(s.GetValidCount());
    counts->missing = static_cast<double>(s.GetMissingCount());
    counts->mode = Number(s.GetMinimum());
    return true;
  }
  return false;
}

// The reason in words, for a target excluded by screening.
std::string Screened(const ZelVariableHandleInfo& field, const ZelSettings& settings) {
  const std::string target = "the target '" + field.GetName() + "'";
  Counts counts;
  if (!CountsOf(field, &counts)) return std::string();
  const double total = counts.valid + counts.missing;
  if (total == 0.0) {
    return "no record counts: every record's frequency or analysis weight is missing, zero or "
           "negative";
  }
  switch (field.GetExcludedReason().action) {
    case kScreenMissingFeature:
      if (counts.valid == 0.0) return target + " is missing in every record that counts";
      return target + " is missing in " + Percent(counts.missing / total) +
             " of the records, more than maxPercentageOfMissingvalue (" +
             Percent(settings.maxPercentMissing) + ") allows";
    case kScreenConstantFeature:
      return target + " has the same value in every record that counts: " + counts.mode;
    case kScreenSingleCatFeature:
      return "one category of '" + field.GetName() + "' holds " +
             Percent(counts.modeCount / total) +
             " of the records, more than catFeatureScreenThreshold (" +
             Percent(settings.screeningThreshold) + ") allows";
    case kScreenTooManyCatsNominalFeature:
      return target + " has more categories than maxNOfUniqueCategories (" +
             std::to_string(settings.screeningThresholdForNominal) + ") allows";
    default:
      return std::string();
  }
}

}  // namespace

std::string ExplainExcludedTarget(const ZelVariableHandleList& fields) {
  const ZelSettings& settings = *fields.GetSettings();
  std::string fallback;
  // A text target may live on in its trimmed copy, which is then the one
  // screened; the screening reason, wherever it is, says most.
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo& field = *fields.GetHandle(i);
    if (!field.IsTarget() || !field.IsExcluded()) continue;
    const std::string target = "the target '" + field.GetName() + "'";
    if (field.GetExcludedReason().action == kDateTimeSourceDone) {
      return target + " holds dates or times, which are set aside once their parts and " +
             "durations are derived; a target must hold numbers or text";
    }
    const std::string screened = Screened(field, settings);
    if (!screened.empty()) return screened;
    if (fallback.empty()) {
      fallback = target + " was excluded (" + field.GetExcludedReasonText() + ")";
    }
  }
  return fallback;
}

}  // namespace ZelFrame
