#include "frame/ZelBuildIdentity.h"

#include <string>

#include "statistics/ZelStateBytes.h"
#include "torcommon13r/TorEncoder.h"
#include "torcommon13r/TorVariable.h"

namespace ZelFrame {

using ZelStatistic::ZelStateWriter;

namespace {

uint64_t Hash(const std::string& bytes) {
  return ZelStatistic::ZelStateHash(bytes.data(), bytes.size());
}

void Flag(ZelStateWriter* out, bool value) { out->U8(value ? 1 : 0); }

void Int(ZelStateWriter* out, int value) { out->I64(value); }

// Whether some host field has the storage `storage`.
bool AnyStored(const ZelVariableHandleList& fields, int storage) {
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields.GetHandle(i);
    if (!field->IsDerived() && field->GetStorage() == storage) return true;
  }
  return false;
}

}  // namespace

uint64_t SettingsIdentity(const ZelSettings& s, const ZelVariableHandleList& fields) {
  const bool dates = s.computeDateDuration && AnyStored(fields, TorCommon_1_3::kStorageDate);
  const bool times = s.computeTimeDuration && AnyStored(fields, TorCommon_1_3::kStorageTime);
  std::string bytes;
  ZelStateWriter out(&bytes);
  Int(&out, s.analysisWeightIndex);
  Int(&out, s.frequencyWeightIndex);
  out.U64(s.forcedFeatureIndices.size());
  for (int index : s.forcedFeatureIndices) Int(&out, index);
  Flag(&out, s.trimBlank);

  Flag(&out, s.computeDateDuration);
  if (dates) out.F64(s.referenceDate.seconds);
  Int(&out, s.dateDurationUnit);
  for (bool extract : {s.extractYear, s.extractMonth, s.extractDay}) Flag(&out, extract);

  Flag(&out, s.computeTimeDuration);
  if (times) out.F64(s.referenceTime.seconds);
  Int(&out, s.timeDurationUnit);
  for (bool extract : {s.extractHour, s.extractMinute, s.extractSecond}) Flag(&out, extract);

  Flag(&out, s.excludeTooManyMissing);
  out.F64(s.maxPercentMissing);
  Flag(&out, s.screeningCatFeature);
  out.F64(s.screeningThreshold);
  Flag(&out, s.screeningNominalFeature);
  Int(&out, s.screeningThresholdForNominal);
  Flag(&out, s.flagMissing);
  out.F64(s.flagMissingShare);
  Flag(&out, s.keepMostlyMissing);
  for (bool extract : {s.extractWeekday, s.extractMonthCategory, s.extractHourCategory}) {
    Flag(&out, extract);
  }

  Flag(&out, s.checkMeasureLevelForFeature);
  Flag(&out, s.checkMeasureLevelForTarget);
  Int(&out, s.recastContThreshold);
  Int(&out, s.recastCatThreshold);

  Flag(&out, s.detectOutlierForFeature);
  Flag(&out, s.detectOutlierForTarget);
  Int(&out, s.handleOutlierMethod);
  out.F64(s.outlierSDCutoff);

  for (bool replace : {s.replaceMissingTarget, s.replaceMissingNominalTarget,
                       s.replaceMissingOrdinalTarget, s.replaceMissingContinuousTarget,
                       s.replaceMissingNominalFeature, s.replaceMissingOrdinalFeature,
                       s.replaceMissingScaleFeature}) {
    Flag(&out, replace);
  }

  Flag(&out, s.reorderCatsOfNominalTarget);
  Flag(&out, s.rescaleContTarget);
  for (double value : {s.rescaleContTargetMean, s.rescaleContTargetSD, s.boxCoxExponentStart,
                       s.boxCoxExponentEnd, s.boxCoxExponentStep}) {
    out.F64(value);
  }

  Flag(&out, s.rescaling);
  Int(&out, s.rescalingMethod);
  for (double value : {s.rescalingZscoreMean, s.rescalingZscoreSD, s.rescalingMinMaxMin,
                       s.rescalingMinMaxMax}) {
    out.F64(value);
  }
  Flag(&out, s.skewTransform);
  out.F64(s.skewThreshold);
  Int(&out, s.skewTransformMethod);

  Flag(&out, s.supervisedBinning);
  out.F64(s.supervisedBinningPvalue);
  Flag(&out, s.featureSelection);
  out.F64(s.featureSelectionPvalue);
  Flag(&out, s.featureConstruction);
  Flag(&out, s.reorderNominalCats);
  Flag(&out, s.supervisedMerge);
  out.F64(s.supervisedMergePvalue);
  Flag(&out, s.unsupervisedMerge);
  Flag(&out, s.unsupervisedMergeOrdinal);
  Flag(&out, s.unsupervisedMergeNominal);
  out.F64(s.unsupervisedMergeMin);

  for (const std::string& suffix : s.stepSuffixes) out.Text(suffix);
  for (const std::string& part : s.nameParts) out.Text(part);
  return Hash(bytes);
}

uint64_t FieldsIdentity(const ZelVariableHandleList& fields) {
  std::string bytes;
  ZelStateWriter out(&bytes);
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields.GetHandle(i);
    out.Text(field->GetName());
    Int(&out, field->GetStorage());
    Int(&out, field->GetMeasureLevel());
    Int(&out, field->GetMeasureKind());
    Int(&out, field->GetRole());
    Flag(&out, field->IsDerived());
    Flag(&out, field->IsExcluded());
    const TorCommon_1_3::ITorVariable* variable = field->GetVariable();
    const TorCommon_1_3::TorEncoder* encoder =
        variable != nullptr ? variable->GetEncoder() : nullptr;
    if (encoder == nullptr) {
      Flag(&out, false);
      continue;
    }
    Flag(&out, true);
    double low = 0.0;
    double high = 0.0;
    Flag(&out, encoder->GetMissingRange(low, high));
    out.F64(low);
    out.F64(high);
    out.U64(encoder->GetMissingValues().size());
    for (double value : encoder->GetMissingValues()) out.F64(value);
    out.U64(encoder->GetMissingStrings().size());
    for (const std::string& text : encoder->GetMissingStrings()) out.Text(text);
  }
  return Hash(bytes);
}

}  // namespace ZelFrame
