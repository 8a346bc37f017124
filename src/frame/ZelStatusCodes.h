// Every status code the component produces. Errors stop the current
// operation; warnings are collected in the warning list, each code once.
#ifndef ZELCRAFT_FRAME_ZELSTATUSCODES_H_
#define ZELCRAFT_FRAME_ZELSTATUSCODES_H_

namespace ZelStatusCode {

// Errors.
constexpr int kInterrupted = 1;
constexpr int kCannotCreate = 3;
constexpr int kNotBuilt = 6;
constexpr int kNoRecords = 210001;
constexpr int kNullSource = 210003;
constexpr int kWrongStep = 210005;
constexpr int kMissingObject = 210006;
constexpr int kInconsistent = 210007;
constexpr int kBadValueType = 210010;
constexpr int kMissingStatistic = 210011;
constexpr int kTargetExcluded = 210012;
constexpr int kNoUsableInput = 210013;
constexpr int kUnsupportedKind = 210014;
constexpr int kNoStatisticalValue = 210015;
constexpr int kCountMismatch = 210016;
constexpr int kNumericalFailure = 210017;
constexpr int kBadRecastThresholds = 210030;
constexpr int kBadMinMax = 210031;
constexpr int kNonPositiveSD = 210032;
constexpr int kBadPValue = 210033;
constexpr int kBadAnalysisWeight = 210034;
constexpr int kRuleLacksField = 210040;
constexpr int kBadSummaryRecord = 210041;
constexpr int kSummaryFailed = 210042;
constexpr int kNumberFormat = 210043;
constexpr int kBlankInName = 210047;

// Warnings.
constexpr int kReorderWithoutNominalTarget = 210100;
constexpr int kBoxCoxWithoutContinuousTarget = 210101;
constexpr int kRescaleWithoutContinuousInput = 210102;
constexpr int kBinningWithoutCategoricalTarget = 210103;
constexpr int kBinningWithoutContinuousInput = 210104;
constexpr int kSelectionWithoutTarget = 210105;
constexpr int kSelectionWithoutCategoricalInput = 210106;
constexpr int kSelectionWithoutContinuousInput = 210107;
constexpr int kConstructionWithoutContinuousInput = 210108;
constexpr int kSupervisedMergeWithoutTarget = 210110;
constexpr int kSupervisedMergeWithoutCategoricalInput = 210111;
constexpr int kUnsupervisedMergeWithoutCategoricalInput = 210112;
constexpr int kEverythingExcluded = 210113;
constexpr int kUnsupervisedMergeWithTarget = 210115;
constexpr int kNamingDefaultUsed = 210116;

}  // namespace ZelStatusCode

#endif  // ZELCRAFT_FRAME_ZELSTATUSCODES_H_
