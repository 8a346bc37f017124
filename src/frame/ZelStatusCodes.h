// Every status code the component produces. Errors stop the current
// operation; warnings are collected in the warning list, each code once.
// Codes are declared only in the list below, which also gives the list of
// every code (ZelStatusCode::kAll); each has a one-line explanation for
// users (ZelFactory::DescribeStatusCode).
#ifndef ZELCRAFT_FRAME_ZELSTATUSCODES_H_
#define ZELCRAFT_FRAME_ZELSTATUSCODES_H_

// X(name, code, warning)
#define ZEL_STATUS_CODES(X) \
  X(kInterrupted, 1, false) \
  X(kCannotCreate, 3, false) \
  X(kNotBuilt, 6, false) \
  X(kNoRecords, 210001, false) \
  X(kNullSource, 210003, false) \
  X(kWrongStep, 210005, false) \
  X(kMissingObject, 210006, false) \
  X(kInconsistent, 210007, false) \
  X(kBadValueType, 210010, false) \
  X(kMissingStatistic, 210011, false) \
  X(kTargetExcluded, 210012, false) \
  X(kNoUsableInput, 210013, false) \
  X(kUnsupportedKind, 210014, false) \
  X(kNoStatisticalValue, 210015, false) \
  X(kCountMismatch, 210016, false) \
  X(kNumericalFailure, 210017, false) \
  X(kBadRecastThresholds, 210030, false) \
  X(kBadMinMax, 210031, false) \
  X(kNonPositiveSD, 210032, false) \
  X(kBadPValue, 210033, false) \
  X(kBadAnalysisWeight, 210034, false) \
  X(kBadTargetEncoding, 210035, false) \
  X(kRuleLacksField, 210040, false) \
  X(kBadSummaryRecord, 210041, false) \
  X(kSummaryFailed, 210042, false) \
  X(kNumberFormat, 210043, false) \
  X(kBlankInName, 210047, false) \
  X(kStateDamaged, 210050, false) \
  X(kStateMismatch, 210051, false) \
  X(kLockstepOrder, 210052, false) \
  X(kReorderWithoutNominalTarget, 210100, true) \
  X(kBoxCoxWithoutContinuousTarget, 210101, true) \
  X(kRescaleWithoutContinuousInput, 210102, true) \
  X(kBinningWithoutCategoricalTarget, 210103, true) \
  X(kBinningWithoutContinuousInput, 210104, true) \
  X(kSelectionWithoutTarget, 210105, true) \
  X(kSelectionWithoutCategoricalInput, 210106, true) \
  X(kSelectionWithoutContinuousInput, 210107, true) \
  X(kConstructionWithoutContinuousInput, 210108, true) \
  X(kSupervisedMergeWithoutTarget, 210110, true) \
  X(kSupervisedMergeWithoutCategoricalInput, 210111, true) \
  X(kUnsupervisedMergeWithoutCategoricalInput, 210112, true) \
  X(kEverythingExcluded, 210113, true) \
  X(kUnsupervisedMergeWithTarget, 210115, true) \
  X(kNamingDefaultUsed, 210116, true) \
  X(kTargetEncodingWithoutTarget, 210117, true) \
  X(kTargetEncodingManyClasses, 210118, true)

namespace ZelStatusCode {

#define ZEL_STATUS_CONSTANT(name, code, warning) constexpr int name = code;
ZEL_STATUS_CODES(ZEL_STATUS_CONSTANT)
#undef ZEL_STATUS_CONSTANT

struct CodeInfo {
  int code;
  bool warning;
};

#define ZEL_STATUS_INFO(name, code, warning) {code, warning},
constexpr CodeInfo kAll[] = {ZEL_STATUS_CODES(ZEL_STATUS_INFO)};
#undef ZEL_STATUS_INFO

}  // namespace ZelStatusCode

#endif  // ZELCRAFT_FRAME_ZELSTATUSCODES_H_
