#include "ReasonText.h"

namespace zelapply {

namespace {

struct Reason {
  const char* key;
  const char* text;
};

const Reason kExclusionReasons[] = {
    {"ScreenFeatureWithTooManyMissing", "too many missing values"},
    {"ScreenFeatureWithConstantValue", "constant value"},
    {"ScreenFeatureWithTooManyCasesInSingleCat", "too many records in one category"},
    {"ScreenFeatureWithTooManyCat", "too many categories"},
    {"ExcludeLowAssociationCate", "weak association with the target (categorical)"},
    {"ExcludeLowAssociationCont", "weak association with the target (continuous)"},
    {"ExcludeCoverdFeature", "covered by a constructed feature"},
    {"ExcludeConstantAfterOutlier", "constant after outlier handling"},
    {"ExcludeConstantAfterMerge", "constant after merging categories"},
    {"ExcludeConstantAfterBinning", "constant after binning"},
    {"ExcludeAfterConstruct", "excluded after feature construction"},
};

}  // namespace

const char* ExclusionReasonText(std::string_view key) {
  for (const Reason& reason : kExclusionReasons) {
    if (key == reason.key) return reason.text;
  }
  return nullptr;
}

}  // namespace zelapply
