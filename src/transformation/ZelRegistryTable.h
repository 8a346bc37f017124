// The registry of steps and actions: one row per step and one per action,
// the only place their numbers, names and summary texts are written down.
// Everything else reads them from here: the handler and rule factories, the
// pass driver (the statistics a step needs), the processing summary (keys,
// category, quoted parameters), the document writer (the expression of a
// rule) and, without any other part of the component, the readers of the
// document (the printed summary, the report, the replay), which find an
// action by its reason key and tell it in the row's words.
//
// This header depends on nothing: the document readers compile it too. The
// class names in the rows are mere words to them; only the component's own
// view of the table (ZelRegistry.cc) turns them into classes.
//
// Adding an action is one row here, its handler and, when it derives a
// field, its rule; the row chooses among the expressions, parameter quotes
// and statistics the writers and the driver already know.
#ifndef ZELCRAFT_TRANSFORMATION_ZELREGISTRYTABLE_H_
#define ZELCRAFT_TRANSFORMATION_ZELREGISTRYTABLE_H_

#include <cstdint>

// X(step, Id, "Name", "step key", Handler, Rule)
//
// A step whose handler and rule are classes serves every action of its step
// with them (the step lists name such steps with the action Unknown); with
// ByAction each action row names its own.
#define ZEL_STEPS(X)                                                                               \
  X(0, Unknown, "UnKnown_Step", "", None, None)                                                    \
  X(1, HandleStringFeature, "HandleStringFeature", "TextFields", ZelStringFeatureHandler,          \
    ZelTrimEndFunctionRule)                                                                        \
  X(2, DateTimeHandle, "DateTimeHandle", "DateAndTimeFeatures", ZelDateTimeFeatureHandler,         \
    ZelDateTimeFunctionRule)                                                                       \
  X(3, FeatureScreening, "FeatureScreening", "ScreenFeatures", ZelFeatureScreenHandler, None)      \
  X(4, CheckPoint, "CheckPoint", "", ZelCheckPointHandler, None)                                   \
  X(5, CheckType, "CheckType", "CheckType", ZelCheckTypeHandler, ZelCheckTypeFunctionRule)         \
  X(6, OutlierIdentification, "OutlierIdentification", "Outliers", ZelOutlierHandler,              \
    ZelOutlierFunctionRule)                                                                        \
  X(7, HandleMissingValue, "HandleMissingvalue", "MissingValues", ZelMissingValueHandler,          \
    ZelMissingValueMappingRule)                                                                    \
  X(8, HandleTarget, "HandleTarget", "Target", ByAction, ByAction)                                 \
  X(9, HandleCategoricalFeatures, "HandleCategoricalFeatures", "CategoricalFeatures", ByAction,    \
    ByAction)                                                                                      \
  X(10, HandleContinuousFeatures, "HandleContinuousFeatures", "ContinuousFeatures", ByAction,      \
    ByAction)                                                                                      \
  X(11, FlagMissingValues, "FlagMissingValues", "MissingIndicators", ZelMissingIndicatorHandler,   \
    ZelMissingIndicatorRule)                                                                       \
  X(12, EncodeByTarget, "EncodeByTarget", "TargetEncoding", ZelTargetEncodingHandler,              \
    ZelTargetMeanRule)

// X(step, action, Id, "Name", "reason key", Category, "words",
//   Handler, Rule, Expression, Quote, Statistics)
//
// Name: the action's name; nullptr for the two actions that have none.
// Reason key: what the summary and the fields' Action elements say; "" for
//   actions the summary never names.
// Category: how the summary reports the action:
//   Derivation    a derived field, counted in its step's summary;
//   Exclusion     an exclusion, counted and named on the excluded field;
//   ListedSource  a date or time source replaced by its parts: listed among
//                 the summary's fields, nothing more;
//   Unreported    bookkeeping no user sees.
// Words: what the action did, in the words the printed summary and the
//   report use (the reason for an exclusion, the step for a derived field);
//   nullptr where the readers word it themselves from the expression.
// Handler, Rule: the classes that run the action and compute its derived
//   field; ByStep where the step's own serve; None where there is none.
// Expression: the PMML the document writer makes of the action's rule.
// Quote: the parameters the summary shows for the action.
// Statistics: what the step's handler reads beyond the univariate summary,
//   which the pass before it must create.
#define ZEL_ACTIONS(X)                                                                             \
  X(0, 0, Unknown, "UnKnown_Action", "", Unreported, nullptr,                                      \
    None, None, None, None, None)                                                                  \
  /* Text fields */                                                                                \
  X(1, 1, TrimTrailing, "TrimTrailing", "TrimTrailingBlanks", Derivation,                          \
    "trailing blanks trimmed", ByStep, ByStep, FunctionCall, Rule, None)                           \
  X(1, 2, ExcludeTrimTrailFeature, "ExcludeTrimTrailFeature", "0000000000000", Unreported,         \
    nullptr, ByStep, ByStep, None, None, None)                                                     \
  /* Dates and times */                                                                            \
  X(2, 3, DateDurationsYear, "DateDurationsYear", "DeriveYears", Derivation,                       \
    "years since the reference date", ByStep, ByStep, DurationCall, ReferenceDate, None)           \
  X(2, 4, DateDurationsMonth, "DateDurationsMonth", "DeriveMonths", Derivation,                    \
    "months since the reference date", ByStep, ByStep, DurationCall, ReferenceDate, None)          \
  X(2, 5, DateDurationsDay, "DateDurationsDay", "DeriveDays", Derivation,                          \
    "days since the reference date", ByStep, ByStep, DurationCall, ReferenceDate, None)            \
  X(2, 6, DateElementYear, "DateElementYear", "DeriveYear", Derivation,                            \
    "year of the date", ByStep, ByStep, FunctionCall, Rule, None)                                  \
  X(2, 7, DateElementMonth, "DateElementMonth", "DeriveMonth", Derivation,                         \
    "month of the date", ByStep, ByStep, FunctionCall, Rule, None)                                 \
  X(2, 8, DateElementDay, "DateElementDay", "DeriveDay", Derivation,                               \
    "day of the date", ByStep, ByStep, FunctionCall, Rule, None)                                   \
  X(2, 9, TimeDurationsHour, "TimeDurationsHour", "DeriveHours", Derivation,                       \
    "hours since the reference time", ByStep, ByStep, DurationCall, ReferenceTime, None)           \
  X(2, 10, TimeDurationsMinute, "TimeDurationsMinute", "DeriveMinutes", Derivation,                \
    "minutes since the reference time", ByStep, ByStep, DurationCall, ReferenceTime, None)         \
  X(2, 11, TimeDurationsSecond, "TimeDurationsSecond", "DeriveSeconds", Derivation,                \
    "seconds since the reference time", ByStep, ByStep, DurationCall, ReferenceTime, None)         \
  X(2, 12, TimeElementHour, "TimeElementHour", "DeriveHour", Derivation,                           \
    "hour of the time", ByStep, ByStep, FunctionCall, Rule, None)                                  \
  X(2, 13, TimeElementMinute, "TimeElementMinute", "DeriveMinute", Derivation,                     \
    "minute of the time", ByStep, ByStep, FunctionCall, Rule, None)                                \
  X(2, 14, TimeElementSecond, "TimeElementSecond", "DeriveSecond", Derivation,                     \
    "second of the time", ByStep, ByStep, FunctionCall, Rule, None)                                \
  X(2, 15, DateTimeSourceDone, nullptr, "", ListedSource, nullptr,                                 \
    ByStep, ByStep, None, None, None)                                                              \
  X(2, 16, SelectDateBestDuration, "SelectDateBestDuration", "", Unreported, nullptr,              \
    ByStep, ByStep, None, None, None)                                                              \
  X(2, 17, SelectTimeBestDuration, "SelectTimeBestDuration", "", Unreported, nullptr,              \
    ByStep, ByStep, None, None, None)                                                              \
  /* Screening and the check point */                                                              \
  X(3, 18, ScreenMissingFeature, "ScreenMissingFeature", "ScreenFeatureWithTooManyMissing",        \
    Exclusion, "too many missing values", ByStep, ByStep, None, MissingShare, None)                \
  X(3, 19, ScreenConstantFeature, "ScreenConstantFeature", "ScreenFeatureWithConstantValue",       \
    Exclusion, "constant value", ByStep, ByStep, None, None, None)                                 \
  X(3, 20, ScreenSingleCatFeature, "ScreenSingleCatFeature",                                       \
    "ScreenFeatureWithTooManyCasesInSingleCat", Exclusion, "too many records in one category",     \
    ByStep, ByStep, None, ModeShare, None)                                                         \
  X(3, 21, ScreenTooManyCatsNominalFeature, "ScreenTooManyCatsNominalFeature",                     \
    "ScreenFeatureWithTooManyCat", Exclusion, "too many categories",                               \
    ByStep, ByStep, None, CategoryLimit, None)                                                     \
  X(4, 22, CheckTerminated, "CheckTerminated", "", Unreported, nullptr,                            \
    ByStep, ByStep, None, None, None)                                                              \
  /* Measurement levels */                                                                         \
  X(5, 23, TypeOrdinalToScale, "TpyeOrdinalToScale", "Recast2Range", Derivation,                   \
    "recast to continuous", ByStep, ByStep, FunctionCall, RecastCategories, None)                  \
  X(5, 24, TypeScaleToOrdinal, "TpyeScaleToOrdinal", "Recast2Orderedset", Derivation,              \
    "recast to ordinal", ByStep, ByStep, FunctionCall, RecastValues, None)                         \
  /* Missing values */                                                                             \
  X(7, 25, ReplaceMissing, "ReplaceMissing", "ReplaceMissing", Derivation, nullptr,                \
    ByStep, ByStep, MissingReplacement, Rule, None)                                                \
  X(7, 26, ReplaceMissingTarget, "ReplaceMissingTarget", "ReplaceMissingTarget", Derivation,       \
    nullptr, ByStep, ByStep, MissingReplacement, Rule, None)                                       \
  X(7, 27, ReplaceMissingScaleTarget, "ReplaceMissingScaleTarget", "ReplaceMissingScaleTarget",    \
    Derivation, nullptr, ByStep, ByStep, MissingReplacement, Replacement, None)                    \
  X(7, 28, ReplaceMissingNominalTarget, "ReplaceMissingNominalTarget",                             \
    "ReplaceMissingNominalTarget", Derivation, nullptr,                                            \
    ByStep, ByStep, MissingReplacement, Replacement, None)                                         \
  X(7, 29, ReplaceMissingOrdinalTarget, "ReplaceMissingOrdinalTarget",                             \
    "ReplaceMissingOrdinalTarget", Derivation, nullptr,                                            \
    ByStep, ByStep, MissingReplacement, Replacement, None)                                         \
  X(7, 30, ReplaceMissingScaleFeature, "ReplaceMissingScaleFeature", "ReplaceMissingScaleFeature", \
    Derivation, nullptr, ByStep, ByStep, MissingReplacement, Replacement, None)                    \
  X(7, 31, ReplaceMissingNominalFeature, "ReplaceMissingNominalFeature",                           \
    "ReplaceMissingNominalFeature", Derivation, nullptr,                                           \
    ByStep, ByStep, MissingReplacement, Replacement, None)                                         \
  X(7, 32, ReplaceMissingOrdinalFeature, "ReplaceMissingOrdinalFeature",                           \
    "ReplaceMissingOrdinalFeature", Derivation, nullptr,                                           \
    ByStep, ByStep, MissingReplacement, Replacement, None)                                         \
  /* The target */                                                                                 \
  X(8, 33, ReorderCatTarget, "ReorderCatTarget", "TargetReorderCategories", Derivation,            \
    "target categories reordered",                                                                 \
    ZelReorderHandler, ZelReorderFunctionRule, Reorder, Rule, None)                                \
  X(8, 34, RescaleScaleTarget, "RescaleScaleTarget", "TargetRescale", Derivation,                  \
    "target Box-Cox transformed",                                                                  \
    ZelTargetHandler, ZelBoxCoxFunctionRule, BoxCoxRescale, BoxCox, BoxCox)                        \
  /* Categorical inputs */                                                                         \
  X(9, 35, MergeCatFeatureForSparse, "MergeCatFeatureForSparse", "Merge4HandleSpareCategories",    \
    Derivation, nullptr,                                                                           \
    ZelUnsupervisedMergeHandler, ZelUnsupervisedMergeMappingRule, MergeMapping, Rule, None)        \
  X(9, 36, ExcludeCatFeature, "ExcludeCatFeature", "ExcludeLowAssociationCate", Exclusion,         \
    "weak association with the target (categorical)",                                              \
    ZelCatFeatureSelectionHandler, None, None, None, Target)                                       \
  X(9, 37, ReorderCatFeature, "ReorderCatFeature", "ReorderCategories", Derivation,                \
    "categories reordered", ZelReorderHandler, ZelReorderFunctionRule, Reorder, Rule, None)        \
  X(9, 38, MergeCatFeatureForAsso, "MergeCatFeatureForAsso", "Merge4MaximizeAssociation",          \
    Derivation, nullptr,                                                                           \
    ZelSupervisedMergeHandler, ZelSupervisedMergeMappingRule, MergeMapping, Rule, Target)          \
  /* Continuous inputs */                                                                          \
  X(10, 39, ZscoreContFeature, "ZscoreContFeature", "TransformZscore", Derivation,                 \
    "rescaled (z-score)",                                                                          \
    ZelRescaleContFeatureHandler, ZelRescaleContFeatureFunctionRule, FeatureRescale, Zscore, None) \
  X(10, 40, MinMaxContFeature, "MinMaxContFeature", "TransformMinMax", Derivation,                 \
    "rescaled (min-max)",                                                                          \
    ZelRescaleContFeatureHandler, ZelRescaleContFeatureFunctionRule, FeatureRescale, MinMax, None) \
  X(10, 41, BinContFeature, "BinContFeature", "BinValues", Derivation, nullptr,                    \
    ZelSupervisedBinningHandler, ZelSupervisedBinningDiscretizationRule, Discretize, Rule, Target) \
  X(10, 42, ExcludeContFeature, "ExcludeContFeature", "ExcludeLowAssociationCont", Exclusion,      \
    "weak association with the target (continuous)",                                               \
    ZelContFeatureSelectionHandler, None, None, None, Target)                                      \
  X(10, 43, ConstructContFeature, "ConstructContFeature", "Construct", Derivation,                 \
    "constructed from correlated inputs",                                                          \
    ZelConstructFeatureHandler, ZelConstructTransformRule, SumOfProducts, None, Target)            \
  X(10, 44, ExcludeContFeatureOfConstruct, "ExcludeContFeatureOfConstruct",                        \
    "ExcludeCoverdFeature", Exclusion, "covered by a constructed feature",                         \
    None, None, None, None, None)                                                                  \
  /* Outliers */                                                                                   \
  X(6, 45, TrimOutliersToExtreme, "TrimOutliersToExtreme", "OutlierTrim2ExtremeValue", Derivation, \
    "outliers pulled in to the cutoffs", ByStep, ByStep, OutlierCall, OutlierCutoff, Outlier)      \
  X(6, 46, SetOutliersToMissing, "SetOutliersToMissing", "OutlierSet2MissingValue", Derivation,    \
    "outliers set missing", ByStep, ByStep, OutlierCall, OutlierCutoff, Outlier)                   \
  X(6, 47, ExcludeConstantAfterOutlier, nullptr, "ExcludeConstantAfterOutlier", Exclusion,         \
    "constant after outlier handling", ByStep, ByStep, None, None, None)                           \
  /* Constant checks after merging, binning and construction */                                    \
  X(9, 48, ExcludeConstantAfterMerge, "ExcludeConstantAfterMerge", "ExcludeConstantAfterMerge",    \
    Exclusion, "constant after merging categories",                                                \
    ZelPostFeatureScreenHandler, None, None, None, None)                                           \
  X(10, 49, ExcludeConstantAfterBinning, "ExcludeConstantAfterBinning",                            \
    "ExcludeConstantAfterBinning", Exclusion, "constant after binning",                            \
    ZelPostFeatureScreenHandler, None, None, None, None)                                           \
  X(10, 50, ExcludeAfterConstruct, "ExcludeAfterConstruct", "ExcludeAfterConstruct", Exclusion,    \
    "excluded after feature construction", ZelPostFeatureScreenHandler, None, None, None, None)    \
  /* Skewed continuous inputs, before their rescaling */                                           \
  X(10, 51, SkewTransformContFeature, "SkewTransformContFeature", "TransformSkewness", Derivation, \
    "transformed to reduce skewness", ZelSkewTransformHandler, ZelSkewTransformFunctionRule,       \
    SkewTransform, Rule, Skew)                                                                     \
  /* Calendar parts as categories, computed from the day number or seconds */                    \
  X(2, 52, DateElementWeekday, "DateElementWeekday", "DeriveWeekday", Derivation,                  \
    "weekday of the date", ByStep, ByStep, CalendarArithmetic, None, None)                         \
  X(2, 53, DateElementMonthCategory, "DateElementMonthCategory", "DeriveMonthCategory",            \
    Derivation, "month of the date, as a category", ByStep, ByStep, CalendarArithmetic, None,      \
    None)                                                                                          \
  X(2, 54, TimeElementHourCategory, "TimeElementHourCategory", "DeriveHourCategory", Derivation,   \
    "hour of the time, as a category", ByStep, ByStep, CalendarArithmetic, None, None)             \
  /* Missing-value indicators */                                                                   \
  X(11, 55, FlagMissing, "FlagMissing", "FlagMissing", Derivation, "missing-value indicator",     \
    ByStep, ByStep, MissingIndicator, MissingFlagShare, None)                                      \
  /* Nominal inputs of many categories as the smoothed target mean */                              \
  X(12, 56, TargetMeanCatFeature, "TargetMeanCatFeature", "EncodeTargetMean", Derivation,          \
    "replaced by the smoothed target mean of its category", ByStep, ByStep, TargetMeanMapping,     \
    Smoothing, TargetEncoding)

namespace ZelRegistry {

// Rows are numbered from 0 without gaps, so that a number indexes its row.
#define ZEL_REGISTRY_ROW(...) +1

namespace Step {
#define ZEL_STEP_CONSTANT(step, id, name, key, handler, rule) constexpr uint32_t k##id = step;
ZEL_STEPS(ZEL_STEP_CONSTANT)
#undef ZEL_STEP_CONSTANT
constexpr uint32_t kCount = 0 ZEL_STEPS(ZEL_REGISTRY_ROW);
}  // namespace Step

namespace Action {
#define ZEL_ACTION_CONSTANT(step, action, id, name, key, category, words, handler, rule, \
                            expression, quote, statistics)                               \
  constexpr uint32_t k##id = action;
ZEL_ACTIONS(ZEL_ACTION_CONSTANT)
#undef ZEL_ACTION_CONSTANT
constexpr uint32_t kCount = 0 ZEL_ACTIONS(ZEL_REGISTRY_ROW);
}  // namespace Action

#undef ZEL_REGISTRY_ROW

enum class Category : uint8_t { kUnreported, kListedSource, kDerivation, kExclusion };

}  // namespace ZelRegistry

#endif  // ZELCRAFT_TRANSFORMATION_ZELREGISTRYTABLE_H_
