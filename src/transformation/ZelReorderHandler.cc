#include "transformation/ZelReorderHandler.h"

#include <algorithm>
#include <numeric>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelFormat.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "torcommon13r/TorVariable.h"
#include "transformation/ZelReorderFunctionRule.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

namespace {

// The positions of `frequencies` (given in ascending category order) sorted
// by frequency; equal frequencies keep the category order.
std::vector<std::size_t> ByFrequency(const std::vector<int64_t>& frequencies) {
  std::vector<std::size_t> order(frequencies.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&frequencies](std::size_t a, std::size_t b) {
    return frequencies[a] < frequencies[b];
  });
  return order;
}

// The host's label of the category whose value text is `text`; "" when it
// has none. Labels are matched by value, so a category without a label
// cannot shift the labels of the others.
std::string LabelOf(const TorCommon_1_3::TorEncoder* encoder, const std::string& text) {
  if (encoder == nullptr) return std::string();
  const std::vector<std::string>& labels = encoder->GetValueLabels();
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (encoder->GetLabeledValue(i) == text) return labels[i];
  }
  return std::string();
}

}  // namespace

ZelReorderHandler::ZelReorderHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                                     std::vector<TorStatus>* warnings)
    : ZelOperationHandler(pair, fields, warnings) {
  if (pair.action != Action::kReorderCatTarget || !Settings()->reorderCatsOfNominalTarget) return;
  const ZelVariableHandleInfo* target = fields->GetHandle(fields->GetTargetIndex());
  if (target == nullptr || !target->IsNominal()) {
    Warn(ZelStatusCode::kReorderWithoutNominalTarget);
  }
}

TorStatus ZelReorderHandler::Check() {
  const bool own =
      pair_.step == Step::kHandleTarget || (pair_.step == Step::kHandleCategoricalFeatures &&
                                            pair_.action == Action::kReorderCatFeature);
  return own ? TorStatus() : TorStatus(ZelStatusCode::kWrongStep, false);
}

bool ZelReorderHandler::IsEnabled(const ZelSettings* settings) {
  return pair_.step == Step::kHandleTarget && settings != nullptr &&
         settings->reorderCatsOfNominalTarget;
}

TorStatus ZelReorderHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  if (!field->IsTarget() || !field->IsNominal()) return TorStatus();
  const std::string name =
      field->GetName() + Settings()->GetStepSuffix(StepSuffix::kRearrangeNominal);
  const int derived = fields_->AddDerivedField(name, field->GetLabel(), MeasureKind::kNominal, true,
                                               field->GetStorage(), pair_);
  if (derived < 0) return fields_->GetStatus();
  field->Exclude(pair_);
  ZelVariableHandleInfo* handle = fields_->GetHandle(derived);
  if (handle->GetRule() == nullptr || handle->GetUnivariate() == nullptr) {
    return TorStatus(ZelStatusCode::kMissingObject, false);
  }
  handle->GetRule()->AddInput(field->GetName(), index);
  const TorStatus copied = handle->GetUnivariate()->CopyFrom(*field->GetUnivariate());
  if (copied.IsError()) return copied;
  auto* rule = dynamic_cast<ZelReorderFunctionRule*>(handle->GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  return Reorder(*field, rule);
}

TorStatus ZelReorderHandler::Reorder(const ZelVariableHandleInfo& source,
                                     ZelReorderFunctionRule* rule) const {
  const TorCommon_1_3::TorEncoder* encoder = source.GetVariable()->GetEncoder();
  const TorStatus unfit(ZelStatusCode::kMissingStatistic, false);
  if (source.GetMeasureLevel() == TorCommon_1_3::kLevelCategoricalString) {
    const auto* stat =
        dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(source.GetUnivariate());
    if (stat == nullptr) return unfit;
    std::vector<std::string> categories;
    std::vector<int64_t> frequencies;
    for (const auto& entry : stat->GetFrequencies()) {
      categories.push_back(entry.first);
      frequencies.push_back(entry.second);
    }
    for (std::size_t i : ByFrequency(frequencies)) {
      rule->Texts().push_back(categories[i]);
      rule->Labels().push_back(LabelOf(encoder, categories[i]));
    }
    return TorStatus();
  }
  const auto* stat = dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(source.GetUnivariate());
  if (stat == nullptr) return unfit;
  std::vector<double> values;
  std::vector<int64_t> frequencies;
  for (const auto& entry : stat->GetSummary().GetFrequencies()) {
    values.push_back(entry.first);
    frequencies.push_back(entry.second);
  }
  for (std::size_t i : ByFrequency(frequencies)) {
    rule->Numbers().push_back(values[i]);
    rule->Labels().push_back(LabelOf(encoder, ZelStatistic::FormatDouble(values[i])));
  }
  return TorStatus();
}

}  // namespace ZelTransformation
