#include "transformation/ZelMergedField.h"

#include <utility>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "transformation/ZelCategoryMappingRule.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

namespace {

TorStatus Inconsistent() { return TorStatus(ZelStatusCode::kInconsistent, false); }

// The counts of the merged categories: each source count goes to its label.
template <typename Key, typename Statistic>
TorStatus ReplaceCategories(const Statistic& source, Statistic* merged,
                            const std::map<Key, Key>& mapping,
                            const std::map<Key, int64_t>& sourceCounts) {
  std::map<Key, int64_t> counts;
  for (const auto& entry : sourceCounts) {
    const auto label = mapping.find(entry.first);
    if (label == mapping.end()) return Inconsistent();
    counts[label->second] += entry.second;
  }
  const TorStatus copied = merged->CopyFrom(source);
  if (copied.IsError()) return copied;
  merged->ReplaceFrequencies(std::move(counts));
  return TorStatus();
}

}  // namespace

TorStatus AddMergedField(ZelVariableHandleList* fields, ZelVariableHandleInfo* source,
                         int sourceIndex, const ZelOperationPair& pair, const std::string& name,
                         ZelCategoryMapping mapping) {
  const int index = fields->AddDerivedField(name, source->GetLabel(), source->GetMeasureKind(),
                                            false, source->GetStorage(), pair);
  if (index < 0) return fields->GetStatus();
  ZelVariableHandleInfo* merged = fields->GetHandle(index);
  source->Exclude(pair);
  auto* rule = dynamic_cast<ZelCategoryMappingRule*>(merged->GetRule());
  if (rule == nullptr) return Inconsistent();
  rule->AddInput(source->GetName(), sourceIndex);

  TorStatus replaced = Inconsistent();
  if (const auto* texts =
          dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(source->GetUnivariate())) {
    auto* target = dynamic_cast<ZelStatistic::ZelUnivarStringCat*>(merged->GetUnivariate());
    if (target != nullptr) {
      replaced = ReplaceCategories(*texts, target, mapping.texts, texts->GetFrequencies());
    }
  } else if (const auto* numbers = dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(
                 source->GetUnivariate())) {
    auto* target = dynamic_cast<ZelStatistic::ZelUnivarNumericCat*>(merged->GetUnivariate());
    if (target != nullptr) {
      replaced = ReplaceCategories(*numbers, target, mapping.numbers,
                                   numbers->GetSummary().GetFrequencies());
    }
  }
  if (replaced.IsError()) return replaced;
  rule->SetTextMapping(std::move(mapping.texts));
  rule->SetNumericMapping(std::move(mapping.numbers));
  return TorStatus();
}

}  // namespace ZelTransformation
