// The step suffixes: what a step appends to a field's current name for the
// field it derives (intermediate names, before the final renaming), one row
// each: X(Id, "default text", "display label"). The StepSuffix enum, the
// defaults a ZelSettings starts with and the labels of its display are all
// made from these rows, so a new step's suffix is one row here.
#ifndef ZELCRAFT_SETTINGS_ZELSTEPSUFFIXTABLE_H_
#define ZELCRAFT_SETTINGS_ZELSTEPSUFFIXTABLE_H_

#define ZEL_STEP_SUFFIXES(X)                                                        \
  X(TrimString, "_TrimString", "SuffixTrimString")                                  \
  X(Year, "_Year", "SuffixYear")                                                    \
  X(Month, "_Month", "SuffixMonth")                                                 \
  X(Day, "_Day", "SuffixDay")                                                       \
  X(DurationYears, "_DurationYears", "SuffixDurationYears")                         \
  X(DurationMonths, "_DurationMonths", "SuffixDurationMonths")                      \
  X(DurationDays, "_DurationDays", "SuffixDurationDays")                            \
  X(Hour, "_Hour", "SuffixHour")                                                    \
  X(Minute, "_Minute", "SuffixMinute")                                              \
  X(Second, "_Second", "SuffixSecond")                                              \
  X(DurationHours, "_DurationHours", "SuffixDurationHours")                         \
  X(DurationMinutes, "_DurationMinutes", "SuffixDurationMinutes")                   \
  X(DurationSeconds, "_DurationSeconds", "SuffixDurationSeconds")                   \
  X(RecastCont, "_RecastCont", "SuffixRecastCont")                                  \
  X(RecastOrdinal, "_RecastOrdinal", "SuffixRecastOrdinal")                         \
  X(Outlier, "_Outlier", "SuffixOutlier")                                           \
  X(ReplaceMissingCont, "_ReplaceMissingCont", "SuffixReplaceMissingCont")          \
  X(ReplaceMissingNominal, "_ReplaceMissingNominal", "SuffixReplaceMissingNominal") \
  X(ReplaceMissingOrdinal, "_ReplaceMissingOrdinal", "SuffixReplaceMissingOrdinal") \
  X(RescaleScaleFeature, "_RescaleScaleFeature", "SuffixRescaleScaleFeature")       \
  X(AdjustScaleCont, "_AdjustScaleCont", "SuffixAdjustScaleCont")                   \
  X(RearrangeNominal, "_RearrangeNominal", "SuffixRearrangeNominal")                \
  X(MergeNoTarget, "_MergeNoTarget", "SuffixMergeNoTarget")                         \
  X(MergeOrdinalHasTarget, "_MergeOrdinalHasTarget", "SuffixMergeOrdinalHasTarget") \
  X(MergeNominalNoTarget, "_MergeNominalNoTarget", "SuffixMergeNominalNoTarget")    \
  X(MergeNominalHasTarget, "_MergeNominalHasTarget", "SuffixMergeNominalHasTarget") \
  X(DeriveNewFeatureCont, "_DeriveNewFeatureCont", "SuffixDeriveNewFeatureCont")    \
  X(CreateOrdinalFeatureCont, "_CreateOrdinalFeatureCont",                          \
    "SuffixCreateOrdinalFeatureCont")                                               \
  X(SkewTransform, "_SkewTransform", "SuffixSkewTransform")                         \
  X(Weekday, "_Weekday", "SuffixWeekday")                                           \
  X(MonthCategory, "_MonthCategory", "SuffixMonthCategory")                         \
  X(HourCategory, "_HourCategory", "SuffixHourCategory")                            \
  X(Missing, "_Missing", "SuffixMissing")                                           \
  X(TargetMean, "_TargetEncoded", "SuffixTargetEncoded")

#endif  // ZELCRAFT_SETTINGS_ZELSTEPSUFFIXTABLE_H_
