#include "pmml/ZelSummaryPMML.h"

#include <cstdio>

#include "frame/ZelStatusCodes.h"
#include "pmml/ZelSummaryNames.h"
#include "pmml/ZelSummaryVocabulary.h"
#include "settings/ZelCalendar.h"
#include "statistics/ZelFormat.h"
#include "statistics/ZelUnivariateCounts.h"

namespace ZelPMML {

using TorCommon_1_3::TorStatus;
using TorXML_1_3::XMLElement;
using ZelStatistic::FormatDouble;
using ZelTransformation::ZelTransformRule;
using ZelTransformation::Quote;
namespace Step = ZelTransformation::Step;

namespace {

// The element name carries one trailing blank; readers of these documents
// expect it that way.
constexpr char kStepSummary[] = "StepSummary ";

// 03/07/2009: month and day in two digits, the year as it is. The parts
// come from the day number itself, which every reference date carries.
std::string DateText(const ZelReferenceDate& date) {
  int year = date.year;
  int month = date.month;
  int day = date.day;
  ZelCalendar::CivilFromDayNumber(date.seconds / 86400.0, year, month, day);
  char text[48];
  std::snprintf(text, sizeof text, "%02d/%02d/%d", month, day, year);
  return text;
}

// 08:05:00, from the seconds reduced to a time of day.
std::string TimeText(const ZelReferenceTime& time) {
  int hour = time.hour;
  int minute = time.minute;
  int second = time.second;
  ZelCalendar::SplitTimeOfDay(time.seconds, hour, minute, second);
  char text[48];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
  return text;
}

}  // namespace

ZelSummaryPMML::ZelSummaryPMML(const ZelVariableHandleList& fields,
                               const std::vector<std::string>& parameterNames)
    : fields_(fields), settings_(*fields.GetSettings()), parameterNames_(parameterNames) {}

void ZelSummaryPMML::AppendSummary(XMLElement* parent,
                                   const ZelSummary::SummaryTable& table) const {
  XMLElement* summary = parent->AppendChild(XMLElement::Create("Summary"));
  AppendProcessingSummary(summary, table.GetCounts());
  AppendStepSummaries(summary, table);
  AppendVariableSummary(summary);
}

void ZelSummaryPMML::AppendProcessingSummary(XMLElement* summary,
                                             const ZelSummary::SummaryCounts& counts) const {
  XMLElement* processing = summary->AppendChild(XMLElement::Create("ProcessingSummary"));
  processing->AddAttribute("target", counts.target);
  processing->AddAttribute(zelsummary::kOriginalInputFields, counts.originalInputFields);
  processing->AddAttribute("recommendedTotal", counts.recommendedTotal);
  processing->AddAttribute("recommendedOriginalFields", counts.recommendedOriginalFields);
  processing->AddAttribute("recommendedTransformationsOfOriginalFields",
                           counts.recommendedTransformationsOfOriginalFields);
  processing->AddAttribute("recommendedDerivedFromDateTime", counts.recommendedDerivedFromDateTime);
  processing->AddAttribute("recommendedConstructed", counts.recommendedConstructed);
  processing->AddAttribute("originalFieldsNotUsed", counts.originalFieldsNotUsed);
  processing->AddAttribute("recommendedTarget", counts.recommendedTarget);
  processing->AddAttribute("recommendedTransformTarget", counts.recommendedTransformTarget);
  processing->AddAttribute("processingTimeInSecond", FormatDouble(counts.processingSeconds));
  if (counts.recommendedTotal == 0) {
    processing->AppendChild(XMLElement::Create("Warning"))
        ->AddAttribute("value", "noRecommendedField");
  }
  if (counts.recommendedConstructed == 0 && settings_.featureConstruction) {
    processing->AppendChild(XMLElement::Create("Warning"))
        ->AddAttribute("value", "noConstructedField");
  }
}

void ZelSummaryPMML::AppendStepSummaries(XMLElement* summary,
                                         const ZelSummary::SummaryTable& table) const {
  bool written[ZelSummary::SummaryTable::kSteps] = {};
  for (int step = 0; step < ZelSummary::SummaryTable::kSteps; ++step) {
    const ZelSummary::StepSumInfo* record = table.GetStep(step);
    if (record == nullptr || record->actions.empty()) continue;
    XMLElement* element = summary->AppendChild(XMLElement::Create(kStepSummary));
    element->AddAttribute("stepKey", ZelSummary::GetStepKey(step));
    element->AddAttribute("numOfInputFeatures", record->inputFeatures);
    element->AddAttribute("numOfOutputFeatures", record->outputFeatures);
    for (const auto& info : record->actions) {
      XMLElement* action = element->AppendChild(XMLElement::Create("Action"));
      action->AddAttribute("numOfFields", table.GetActionCount(info->GetAction()));
      action->AddAttribute("reasonKey", ZelSummary::GetReasonKey(info->GetAction()));
      AddParameters(action, info->GetAction(), info->NumericParameters(), info->TextParameters());
    }
    written[step] = true;
  }
  // A step the user asked for that found nothing to do still shows up.
  const OriginalFields original = DescribeOriginalFields();
  for (int step = 0; step < ZelSummary::SummaryTable::kSteps; ++step) {
    if (written[step] || !IsStepSwitchedOn(step, original)) continue;
    summary->AppendChild(XMLElement::Create(kStepSummary))
        ->AddAttribute("stepKey", ZelSummary::GetStepKey(step));
  }
}

void ZelSummaryPMML::AppendVariableSummary(XMLElement* summary) const {
  XMLElement* variables = summary->AppendChild(XMLElement::Create("VariableSummary"));
  for (int i = 0; i < fields_.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields_.GetHandle(i);
    const bool inUse = !field->IsExcluded() && !field->IsWeight();
    if (inUse || ZelSummary::IsListedInVariableSummary(
                     static_cast<int>(field->GetExcludedReason().action))) {
      variables->AppendChild(XMLElement::Create("FieldRef"))
          ->AddAttribute("field", field->GetName());
    }
  }
}

ZelSummaryPMML::OriginalFields ZelSummaryPMML::DescribeOriginalFields() const {
  OriginalFields original;
  for (int i = 0; i < fields_.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields_.GetHandle(i);
    if (field->IsDerived()) continue;
    if (field->IsTarget()) {
      original.target = true;
      original.continuousTarget = original.continuousTarget || field->IsContinuous();
    } else if (!field->IsWeight()) {
      original.categoricalInput = original.categoricalInput || field->IsCategorical();
      original.continuousInput = original.continuousInput || field->IsContinuous();
    }
  }
  return original;
}

bool ZelSummaryPMML::IsStepSwitchedOn(int step, const OriginalFields& original) const {
  const ZelSettings& s = settings_;
  switch (step) {
    case Step::kHandleStringFeature:
      return s.trimBlank;
    case Step::kDateTimeHandle:
      return s.computeDateDuration || s.extractYear || s.extractMonth || s.extractDay ||
             s.computeTimeDuration || s.extractHour || s.extractMinute || s.extractSecond ||
             s.extractWeekday || s.extractMonthCategory || s.extractHourCategory;
    case Step::kFeatureScreening:
      return s.excludeTooManyMissing || s.screeningCatFeature;
    case Step::kCheckType:
      return s.checkMeasureLevelForFeature || s.checkMeasureLevelForTarget;
    case Step::kOutlierIdentification:
      return s.detectOutlierForFeature || s.detectOutlierForTarget;
    case Step::kHandleMissingValue:
      return s.replaceMissingContinuousTarget || s.replaceMissingNominalTarget ||
             s.replaceMissingOrdinalTarget || s.replaceMissingNominalFeature ||
             s.replaceMissingOrdinalFeature || s.replaceMissingScaleFeature;
    case Step::kHandleTarget:
      return s.reorderCatsOfNominalTarget || s.rescaleContTarget;
    case Step::kFlagMissingValues:
      return s.flagMissing;
    case Step::kEncodeByTarget:
      return s.targetEncode;
    case Step::kHandleCategoricalFeatures:
      return s.supervisedMerge || s.unsupervisedMergeOrdinal || s.unsupervisedMergeNominal ||
             (s.featureSelection && original.target && original.categoricalInput);
    case Step::kHandleContinuousFeatures:
      return s.featureConstruction || s.rescaling || s.supervisedBinning ||
             (s.featureSelection && original.continuousTarget && original.continuousInput);
    default:
      return false;
  }
}

void ZelSummaryPMML::AddParameters(XMLElement* element, int action,
                                   const std::vector<double>& numbers,
                                   const std::vector<std::string>& texts) const {
  auto add = [&](std::size_t position, const std::string& value) {
    if (position < parameterNames_.size()) element->AddAttribute(parameterNames_[position], value);
  };
  auto addNumbers = [&](std::size_t limit) {
    for (std::size_t i = 0; i < numbers.size() && i < limit; ++i) add(i, FormatDouble(numbers[i]));
  };
  const Quote quote = ZelSummary::QuoteOf(action);
  switch (quote) {
    case Quote::kReferenceDate:
      add(0, DateText(settings_.referenceDate));
      return;
    case Quote::kReferenceTime:
      add(0, TimeText(settings_.referenceTime));
      return;
    case Quote::kRecastCategories:
      add(0, FormatDouble(settings_.recastCatThreshold));
      return;
    case Quote::kRecastValues:
      add(0, FormatDouble(settings_.recastContThreshold));
      return;
    case Quote::kBoxCox:
      addNumbers(3);
      return;
    case Quote::kZscore:
      add(0, FormatDouble(settings_.rescalingZscoreMean));
      add(1, FormatDouble(settings_.rescalingZscoreSD));
      return;
    case Quote::kMinMax:
      add(0, FormatDouble(settings_.rescalingMinMaxMin));
      add(1, FormatDouble(settings_.rescalingMinMaxMax));
      return;
    case Quote::kNone:
      return;
    case Quote::kOutlierCutoff:
      add(0, FormatDouble(settings_.outlierSDCutoff));
      return;
    case Quote::kReplacement:
      // A text replacement with the number of values it took; numbers as
      // they are; a text alone is not shown.
      if (!texts.empty() && !numbers.empty()) {
        add(0, texts.front());
        add(1, FormatDouble(numbers.front()));
      } else {
        addNumbers(numbers.size());
      }
      return;
    default:
      break;
  }
  if (!numbers.empty()) {
    addNumbers(numbers.size());
  } else {
    for (std::size_t i = 0; i < texts.size(); ++i) add(i, texts[i]);
  }
}

TorStatus ZelSummaryPMML::AppendFieldActions(XMLElement* extension, int index) const {
  const ZelVariableHandleInfo* field = fields_.GetHandle(index);
  if (field == nullptr) return TorStatus(ZelStatusCode::kBadSummaryRecord, false);
  const ZelTransformRule* rule = field->IsDerived() ? field->GetRule() : nullptr;
  if (rule != nullptr) {
    const int action = static_cast<int>(rule->GetPair().action);
    std::vector<double> numbers;
    std::vector<std::string> texts;
    const Quote quote = ZelSummary::QuoteOf(action);
    if (quote == Quote::kBoxCox) {
      numbers = ZelSummary::RescaleTargetParameters(*rule, settings_);
    } else {
      numbers = rule->GetParameters();
      texts = rule->GetTextParameters();
      if (quote == Quote::kReplacement) {
        double missing = 0.0;
        const TorStatus counted = CountSourceMissing(*rule, &missing);
        if (counted.IsError()) return counted;
        numbers.push_back(missing);
      }
    }
    AppendFieldAction(extension, rule->GetPair().step, action, numbers, texts);
  }
  const ZelTransformation::ZelOperationPair& reason = field->GetExcludedReason();
  if (field->IsExcluded() && ZelSummary::IsListedExclusion(static_cast<int>(reason.action))) {
    const int action = static_cast<int>(reason.action);
    AppendFieldAction(extension, reason.step, action,
                      ZelSummary::SummaryNumbers(action, nullptr, settings_), {});
  }
  return TorStatus();
}

void ZelSummaryPMML::AppendFieldAction(XMLElement* extension, uint32_t step, int action,
                                       const std::vector<double>& numbers,
                                       const std::vector<std::string>& texts) const {
  XMLElement* element = extension->AppendChild(XMLElement::Create("Action"));
  element->AddAttribute("stepKey", ZelSummary::GetStepKey(static_cast<int>(step)));
  element->AddAttribute("reasonKey", ZelSummary::GetReasonKey(action));
  AddParameters(element, action, numbers, texts);
}

TorStatus ZelSummaryPMML::CountSourceMissing(const ZelTransformRule& rule, double* count) const {
  const ZelVariableHandleInfo* source = fields_.GetHandle(rule.GetSourceIndex());
  if (source == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  ZelStatistic::UnivariateCounts counts;
  if (!ZelStatistic::GetUnivariateCounts(source->GetUnivariate(), &counts)) {
    return TorStatus(ZelStatusCode::kInconsistent, false);
  }
  *count = static_cast<double>(counts.missing);
  return TorStatus();
}

}  // namespace ZelPMML
