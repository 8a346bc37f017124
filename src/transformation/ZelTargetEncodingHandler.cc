#include "transformation/ZelTargetEncodingHandler.h"

#include <string>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelBivarCatTargetCat.h"
#include "statistics/ZelBivarContTargetCat.h"
#include "statistics/ZelCategoryList.h"
#include "statistics/ZelFormat.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "torcommon13r/TorVariable.h"
#include "transformation/ZelTargetMeanRule.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;
using ZelStatistic::ZelCategoryList;

namespace {

// The categories of a field's finished univariate statistic; false when it has none.
bool Categories(const ZelVariableHandleInfo& field, ZelCategoryList* list) {
  const ZelStatistic::ZelStatistics* univariate = field.GetUnivariate();
  if (univariate == nullptr || !univariate->IsInformationCollected()) return false;
  return !list->InitFrom(univariate).IsError();
}

// Sums and weights per input category of one target column (or of the
// continuous target), with their totals.
struct CategorySums {
  std::vector<double> sums;
  std::vector<double> weights;
  double sum = 0.0;
  double weight = 0.0;
};

}  // namespace

ZelTargetEncodingHandler::ZelTargetEncodingHandler(const ZelOperationPair& pair,
                                                   ZelVariableHandleList* fields,
                                                   std::vector<TorStatus>* warnings)
    : ZelOperationHandler(pair, fields, warnings) {}

TorStatus ZelTargetEncodingHandler::Check() { return CheckStep(Step::kEncodeByTarget); }

bool ZelTargetEncodingHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr && settings->targetEncode;
}

int ZelTargetEncodingHandler::EncodedFields(const ZelVariableHandleList& fields) {
  const ZelVariableHandleInfo* target = fields.GetHandle(fields.GetTargetIndex());
  if (target == nullptr) return 0;
  if (target->IsContinuous()) return 1;
  if (!target->IsCategorical()) return 0;
  ZelCategoryList classes;
  if (!Categories(*target, &classes)) return 0;
  if (classes.Count() == 2) return 1;
  return classes.Count() >= 3 && classes.Count() <= kMaxClasses ? classes.Count() : 0;
}

int64_t ZelTargetEncodingHandler::CategoryCount(const ZelVariableHandleInfo& field) {
  if (!field.IsNominal()) return -1;
  const ZelStatistic::ZelStatistics* univariate = field.GetUnivariate();
  if (univariate == nullptr || !univariate->IsInformationCollected()) return -1;
  if (const auto* text = dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(univariate)) {
    return text->HasOverflowed() ? -1 : static_cast<int64_t>(text->GetTableSize());
  }
  if (const auto* number = dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(univariate)) {
    const ZelStatistic::ZelContSummary& summary = number->GetSummary();
    return summary.HasOverflowed() ? -1 : static_cast<int64_t>(summary.GetTableSize());
  }
  return -1;
}

bool ZelTargetEncodingHandler::Encodes(const ZelVariableHandleList& fields,
                                       const ZelVariableHandleInfo& field, int64_t categories) {
  const ZelSettings& s = *fields.GetSettings();
  if (!s.targetEncode || !field.IsNominal() || field.IsTarget() || field.IsWeight() ||
      field.IsExcluded()) {
    return false;
  }
  return categories >= s.targetEncodingMinCategories && categories <= ZelSettings::kTargetEncodingCategoryLimit &&
         EncodedFields(fields) > 0;
}

bool ZelTargetEncodingHandler::HasCandidate(const ZelVariableHandleList& fields) {
  if (!fields.GetSettings()->targetEncode) return false;
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo& field = *fields.GetHandle(i);
    if (Encodes(fields, field, CategoryCount(field))) return true;
  }
  return false;
}

TorStatus ZelTargetEncodingHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  if (pair_.action != Action::kTargetMeanCatFeature) return TorStatus();
  const int64_t categories = CategoryCount(*field);
  if (!Encodes(*fields_, *field, categories)) return TorStatus();
  const ZelStatistic::ZelStatistics* statistic = field->GetTargetStatistic();
  if (statistic == nullptr || !statistic->IsInformationCollected()) return TorStatus();

  // One column of sums per encoded field, over the input's categories.
  const ZelCategoryList* inputs = nullptr;
  std::vector<CategorySums> columns;
  std::vector<std::string> classes;
  int targetIndex = -1;
  if (const auto* grouped = dynamic_cast<const ZelStatistic::ZelBivarContTargetCat*>(statistic)) {
    inputs = &grouped->GetCategories();
    targetIndex = static_cast<int>(grouped->GetTargetIndex());
    CategorySums column;
    for (const ZelStatistic::ZelCategoryMoments& c : grouped->GetMoments()) {
      const double sum = c.weight > 0.0 ? c.mean * c.weight : 0.0;
      column.sums.push_back(sum);
      column.weights.push_back(c.weight);
      column.sum += sum;
      column.weight += c.weight;
    }
    columns.push_back(std::move(column));
  } else if (const auto* table =
                 dynamic_cast<const ZelStatistic::ZelBivarCatTargetCat*>(statistic)) {
    inputs = &table->GetInputCategories();
    targetIndex = static_cast<int>(table->GetTargetIndex());
    const ZelCategoryList& targets = table->GetTargetCategories();
    const ZelStatistic::ZelContingencyTable& cells = table->GetTable();
    // Two categories: the indicator of the second; more: one of each.
    const int first = targets.Count() == 2 ? 1 : 0;
    for (int j = first; j < targets.Count(); ++j) {
      CategorySums column;
      for (int i = 0; i < cells.Rows(); ++i) {
        double weight = 0.0;
        for (int k = 0; k < cells.Columns(); ++k) weight += cells.Weighted(i, k);
        column.sums.push_back(cells.Weighted(i, j));
        column.weights.push_back(weight);
        column.sum += cells.Weighted(i, j);
        column.weight += weight;
      }
      columns.push_back(std::move(column));
      classes.push_back(targets.GetTexts().empty()
                            ? ZelStatistic::FormatDouble(targets.GetNumbers()[j])
                            : targets.GetTexts()[j]);
    }
  } else {
    return TorStatus();
  }
  if (inputs->Count() < 1) return TorStatus();

  const double m = Settings()->targetEncodingSmoothing;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const CategorySums& column = columns[c];
    const double prior = column.weight > 0.0 ? column.sum / column.weight : 0.0;
    std::string name = field->GetName() + Settings()->GetStepSuffix(StepSuffix::kTargetMean);
    if (!classes.empty() && columns.size() > 1) name += "_" + classes[c];
    const int derived =
        fields_->AddDerivedField(name, field->GetLabel(), MeasureKind::kContinuous, false,
                                 TorCommon_1_3::kStorageReal, pair_);
    if (derived < 0) return fields_->GetStatus();
    ZelVariableHandleInfo* encoded = fields_->GetHandle(derived);
    auto* rule = dynamic_cast<ZelTargetMeanRule*>(encoded->GetRule());
    auto* univariate = dynamic_cast<ZelStatistic::ZelUnivarCont*>(encoded->GetUnivariate());
    if (rule == nullptr || univariate == nullptr) {
      return TorStatus(ZelStatusCode::kMissingObject, false);
    }
    rule->AddInput(field->GetName(), index);
    rule->SetPrior(prior);
    rule->SetSmoothing(m);
    rule->SetTarget(targetIndex, classes.empty() ? std::string() : classes[c],
                    !classes.empty());
    rule->SetClassInName(columns.size() > 1);
    rule->AddParameter(m);
    // The derived field's summary as the data pass would make it: every
    // record of a category holds its mean, a missing input the prior.
    ZelStatistic::ZelContSummary& summary = univariate->GetMutableSummary();
    const bool texts = !inputs->GetTexts().empty();
    const auto* counts = dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(
        field->GetUnivariate());
    const auto* numbers = dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(
        field->GetUnivariate());
    for (int i = 0; i < inputs->Count(); ++i) {
      const double denominator = column.weights[i] + m;
      const double mean =
          denominator > 0.0 ? (column.sums[i] + m * prior) / denominator : prior;
      int64_t records = 0;
      if (texts) {
        rule->MapText(inputs->GetTexts()[i], mean);
        if (counts != nullptr) records = counts->GetFrequency(inputs->GetTexts()[i]);
      } else {
        rule->MapNumber(inputs->GetNumbers()[i], mean);
        if (numbers != nullptr) {
          records = numbers->GetSummary().GetFrequency(inputs->GetNumbers()[i]);
        }
      }
      if (records > 0) summary.AddValue(mean, records, static_cast<double>(records));
    }
    int64_t missing = 0;
    if (counts != nullptr) missing = counts->GetMissingCount();
    if (numbers != nullptr) missing = numbers->GetSummary().GetMissingCount();
    if (missing > 0) summary.AddValue(prior, missing, static_cast<double>(missing));
    const TorStatus finished = univariate->Finalize();
    if (finished.IsError()) return finished;
  }
  field->Exclude(pair_);
  return TorStatus();
}

}  // namespace ZelTransformation
