#include "frame/ZelStatusMessages.h"

#include "frame/ZelStatusCodes.h"

namespace ZelFrame {

namespace {

struct Entry {
  int code;
  const char* message;
  // For a warning that only says a step does not apply to this data: the
  // step and why, in a few words; null for every other code.
  const char* inapplicable = nullptr;
};

using namespace ZelStatusCode;

const Entry kMessages[] = {
    {kInterrupted, "the build was interrupted"},
    {kCannotCreate, "out of memory"},
    {kNotBuilt, "the document was requested before a successful build"},
    {kNoRecords, "the data has no records"},
    {kNullSource, "no record source was given"},
    {kWrongStep, "internal error: a step handler was run for another step"},
    {kMissingObject, "internal error: a statistic, field or rule that a step needs is missing"},
    {kInconsistent, "internal error: inconsistent field, statistic or index, or a failure inside a step"},
    {kBadValueType, "a value has a type that its statistic cannot use"},
    {kMissingStatistic, "a field lacks a statistic, or has a role or level the step cannot handle"},
    {kTargetExcluded, "every target field was excluded"},
    {kNoUsableInput, "no usable input field is left"},
    {kUnsupportedKind, "a field or its target has a kind the statistic does not support"},
    {kNoStatisticalValue, "a statistical computation yielded no value"},
    {kCountMismatch, "internal error: the numbers of fields and of statistics or rules differ"},
    {kNumericalFailure, "a numerical procedure failed, or the frequency weights add up to 2^63 records or more"},
    {kBadRecastThresholds, "\"scaleToOrdinalValuesNumThreshold\" must be above 0 and below "
     "\"ordinalToScaleCategoriesNumThreshold\""},
    {kBadMinMax, "\"minMax_max\" must be greater than \"minMax_min\""},
    {kNonPositiveSD, "\"outlierIdentCutoff\", \"targetSD\" and \"zScore_SD\" must be above 0"},
    {kBadPValue, "p-value settings must lie in (0, 1]"},
    {kBadAnalysisWeight, "the analysis weight names no field, or a text field"},
    {kBadTargetEncoding, "\"targetEncodingMinCategories\" must be at least 2 and "
     "\"targetEncodingSmoothing\" a number at least 0"},
    {kRuleLacksField, "internal error: a transform rule lacks its input or output field"},
    {kBadSummaryRecord, "internal error: the processing summary refers to an unknown field or action"},
    {kSummaryFailed, "the processing summary could not be built"},
    {kNumberFormat, "the document could not be written: a text XML cannot carry, or the output failed"},
    {kBlankInName, "a name suffix, extension or root name contains a blank"},
    {kStateDamaged, "a statistics state is damaged: cut short, altered or of another format version"},
    {kStateMismatch, "a statistics state belongs to another build, pass, field or statistic"},
    {kLockstepOrder, "the steps of a build run in lockstep were called out of order"},
    {kReorderWithoutNominalTarget, "target category reordering needs a nominal target; skipped",
     "target category reordering (no nominal target)"},
    {kBoxCoxWithoutContinuousTarget, "Box-Cox transformation needs a continuous target that is kept; skipped",
     "Box-Cox transformation (no continuous target)"},
    {kRescaleWithoutContinuousInput, "rescaling skipped: no continuous input is left",
     "rescaling (no continuous input is left)"},
    {kBinningWithoutCategoricalTarget, "supervised binning needs a categorical target; skipped",
     "supervised binning (no categorical target)"},
    {kBinningWithoutContinuousInput, "supervised binning skipped: no continuous input is left",
     "supervised binning (no continuous input is left)"},
    {kSelectionWithoutTarget, "feature selection needs a target; skipped",
     "feature selection (no target)"},
    {kSelectionWithoutCategoricalInput, "feature selection skipped: no categorical input is left for the categorical target",
     "feature selection (no categorical input is left)"},
    {kSelectionWithoutContinuousInput, "feature selection skipped: no continuous input is left for the continuous target",
     "feature selection (no continuous input is left)"},
    {kConstructionWithoutContinuousInput, "feature construction skipped: no continuous input is left",
     "feature construction (no continuous input is left)"},
    {kSupervisedMergeWithoutTarget, "supervised merging needs a target; skipped",
     "supervised merging (no target)"},
    {kSupervisedMergeWithoutCategoricalInput, "supervised merging skipped: no categorical input is left",
     "supervised merging (no categorical input is left)"},
    {kUnsupervisedMergeWithoutCategoricalInput, "unsupervised merging skipped: no categorical input is left",
     "unsupervised merging (no categorical input is left)"},
    {kEverythingExcluded, "every field ended up excluded or a weight"},
    {kUnsupervisedMergeWithTarget, "unsupervised merging is not done when a target is present",
     "unsupervised merging (a target is present)"},
    {kNamingDefaultUsed, "a naming setting was absent or empty; its default is used"},
    {kTargetEncodingWithoutTarget, "target encoding needs a target; skipped",
     "target encoding (no target)"},
    {kTargetEncodingManyClasses,
     "target encoding skipped: a nominal target of more than 5 categories has no one mean",
     "target encoding (the target has more than 5 categories)"},
};

}  // namespace

const char* ZelStatusMessage(int code) {
  for (const Entry& entry : kMessages) {
    if (entry.code == code) return entry.message;
  }
  return nullptr;
}

const char* ZelInapplicableStep(int code) {
  for (const Entry& entry : kMessages) {
    if (entry.code == code) return entry.inapplicable;
  }
  return nullptr;
}

}  // namespace ZelFrame
