#include "transformation/ZelMissingValueHandler.h"

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;
using ZelStatistic::ZelContSummary;

namespace {

TorStatus MissingObject() { return TorStatus(ZelStatusCode::kMissingObject, false); }

}  // namespace

ZelMissingValueHandler::ZelMissingValueHandler(const ZelOperationPair& pair,
                                               ZelVariableHandleList* fields,
                                               std::vector<TorStatus>* warnings)
    : ZelOperationHandler({pair.step, Action::kReplaceMissing}, fields, warnings) {}

TorStatus ZelMissingValueHandler::Check() { return CheckStep(Step::kHandleMissingValue); }

bool ZelMissingValueHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr &&
         (settings->replaceMissingContinuousTarget || settings->replaceMissingNominalTarget ||
          settings->replaceMissingOrdinalTarget || settings->replaceMissingScaleFeature ||
          settings->replaceMissingNominalFeature || settings->replaceMissingOrdinalFeature);
}

uint32_t ZelMissingValueHandler::ChooseAction(const ZelVariableHandleInfo& field) const {
  const ZelSettings& s = *Settings();
  const bool target = field.IsTarget();
  switch (field.GetMeasureKind()) {
    case MeasureKind::kContinuous:
      if (target) return s.replaceMissingContinuousTarget ? Action::kReplaceMissingScaleTarget : 0;
      return s.replaceMissingScaleFeature ? Action::kReplaceMissingScaleFeature : 0;
    case MeasureKind::kNominal:
      if (target) return s.replaceMissingNominalTarget ? Action::kReplaceMissingNominalTarget : 0;
      return s.replaceMissingNominalFeature ? Action::kReplaceMissingNominalFeature : 0;
    case MeasureKind::kOrdinal:
      if (target) return s.replaceMissingOrdinalTarget ? Action::kReplaceMissingOrdinalTarget : 0;
      return s.replaceMissingOrdinalFeature ? Action::kReplaceMissingOrdinalFeature : 0;
    default:
      return 0;
  }
}

TorStatus ZelMissingValueHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  derived_ = nullptr;
  const uint32_t action = ChooseAction(*field);
  if (action == 0) return TorStatus();
  pair_.action = action;
  TorStatus status;
  switch (field->GetMeasureLevel()) {
    case TorCommon_1_3::kLevelContinuous: {
      const auto* source = dynamic_cast<const ZelStatistic::ZelUnivarCont*>(field->GetUnivariate());
      if (source == nullptr) return MissingObject();
      if (source->GetSummary().GetMissingCount() < 1) return TorStatus();
      if (Derive(field, index, StepSuffix::kReplaceMissingCont, &status) == nullptr) return status;
      auto* copy = dynamic_cast<ZelStatistic::ZelUnivarCont*>(derived_->GetUnivariate());
      if (copy == nullptr) return MissingObject();
      derived_->GetRule()->AddParameter(copy->GetSummary().GetMean());
      copy->GetMutableSummary().ReplaceMissingByMean();
      return TorStatus();
    }
    case TorCommon_1_3::kLevelCategorical: {
      const auto* source =
          dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(field->GetUnivariate());
      if (source == nullptr) return MissingObject();
      if (source->GetSummary().GetMissingCount() < 1) return TorStatus();
      const bool ordinal = field->IsOrdinal();
      const StepSuffix suffix =
          ordinal ? StepSuffix::kReplaceMissingOrdinal : StepSuffix::kReplaceMissingNominal;
      if (Derive(field, index, suffix, &status) == nullptr) return status;
      auto* copy = dynamic_cast<ZelStatistic::ZelUnivarNumericCat*>(derived_->GetUnivariate());
      if (copy == nullptr) return MissingObject();
      ZelContSummary& summary = copy->GetMutableSummary();
      const double replacement = ordinal ? summary.GetMedian() : summary.GetMode();
      derived_->GetRule()->AddParameter(replacement);
      summary.ReplaceMissingByValue(replacement);
      return TorStatus();
    }
    case TorCommon_1_3::kLevelCategoricalString: {
      const auto* source =
          dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(field->GetUnivariate());
      if (source == nullptr) return MissingObject();
      if (source->GetMissingCount() < 1) return TorStatus();
      if (Derive(field, index, StepSuffix::kReplaceMissingNominal, &status) == nullptr) {
        return status;
      }
      auto* copy = dynamic_cast<ZelStatistic::ZelUnivarStringCat*>(derived_->GetUnivariate());
      if (copy == nullptr) return MissingObject();
      const std::string mode = copy->GetMode();
      derived_->GetRule()->AddTextParameter(mode);
      copy->ReplaceMissingBy(mode);
      return TorStatus();
    }
    default:
      return TorStatus();
  }
}

ZelVariableHandleInfo* ZelMissingValueHandler::Derive(ZelVariableHandleInfo* field, int index,
                                                      StepSuffix suffix, TorStatus* status) {
  const std::string name = field->GetName() + Settings()->GetStepSuffix(suffix);
  const int storage = field->IsContinuous() ? TorCommon_1_3::kStorageReal : field->GetStorage();
  const int derived = fields_->AddDerivedField(name, field->GetLabel(), field->GetMeasureKind(),
                                               field->IsTarget(), storage, pair_);
  if (derived < 0) {
    *status = fields_->GetStatus();
    return nullptr;
  }
  field->Exclude(pair_);
  ZelVariableHandleInfo* handle = fields_->GetHandle(derived);
  if (handle->GetRule() == nullptr || handle->GetUnivariate() == nullptr) {
    *status = MissingObject();
    return nullptr;
  }
  handle->GetRule()->AddInput(field->GetName(), index);
  *status = handle->GetUnivariate()->CopyFrom(*field->GetUnivariate());
  if (status->IsError()) return nullptr;
  derived_ = handle;
  return handle;
}

}  // namespace ZelTransformation
