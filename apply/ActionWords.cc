#include "ActionWords.h"

#include <iterator>

namespace zelapply {

namespace {

struct Words {
  const char* key;
  const char* text;
};

const Words kExclusionReasons[] = {
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

const Words kDerivations[] = {
    {"TrimTrailingBlanks", "trailing blanks trimmed"},
    {"DeriveYears", "years since the reference date"},
    {"DeriveMonths", "months since the reference date"},
    {"DeriveDays", "days since the reference date"},
    {"DeriveYear", "year of the date"},
    {"DeriveMonth", "month of the date"},
    {"DeriveDay", "day of the date"},
    {"DeriveHours", "hours since the reference time"},
    {"DeriveMinutes", "minutes since the reference time"},
    {"DeriveSeconds", "seconds since the reference time"},
    {"DeriveHour", "hour of the time"},
    {"DeriveMinute", "minute of the time"},
    {"DeriveSecond", "second of the time"},
    {"Recast2Range", "recast to continuous"},
    {"Recast2Orderedset", "recast to ordinal"},
    {"OutlierTrim2ExtremeValue", "outliers pulled in to the cutoffs"},
    {"OutlierSet2MissingValue", "outliers set missing"},
    {"TargetReorderCategories", "target categories reordered"},
    {"TargetRescale", "target Box-Cox transformed"},
    {"ReorderCategories", "categories reordered"},
    {"TransformZscore", "rescaled (z-score)"},
    {"TransformMinMax", "rescaled (min-max)"},
    {"Construct", "constructed from correlated inputs"},
};

const char* Find(const Words* begin, const Words* end, std::string_view key) {
  for (const Words* words = begin; words != end; ++words) {
    if (key == words->key) return words->text;
  }
  return nullptr;
}

}  // namespace

const char* ExclusionReasonText(std::string_view reasonKey) {
  return Find(std::begin(kExclusionReasons), std::end(kExclusionReasons), reasonKey);
}

const char* DerivationText(std::string_view reasonKey) {
  return Find(std::begin(kDerivations), std::end(kDerivations), reasonKey);
}

}  // namespace zelapply
