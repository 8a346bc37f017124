#include "frame/ZelPassDriver.h"

#include "frame/ZelBuildIdentity.h"
#include "frame/ZelStatusCodes.h"
#include "frame/ZelWarning.h"
#include "settings/ZelFinalNaming.h"
#include "statistics/ZelCreateStatistics.h"
#include "transformation/ZelRegistry.h"
#include "transformation/ZelStepRunner.h"

namespace ZelFrame {

using TorCommon_1_3::TorStatus;
namespace Action = ZelTransformation::Action;
namespace Step = ZelTransformation::Step;
using ZelTransformation::ZelOperationPair;

ZelPassDriver::ZelPassDriver(const ZelSettings* settings,
                             const TorCommon_1_3::TorVarList* variables, ZelInterrupt* interrupt)
    : settings_(settings),
      variables_(variables),
      interrupt_(interrupt),
      previousClock_(ZelClockMilliseconds()),
      latestClock_(ZelClockMilliseconds()) {
  Reset();
}

ZelPassDriver::~ZelPassDriver() = default;

void ZelPassDriver::Reset() {
  passes_.clear();
  preparations_.clear();
  gates_.clear();
  summary_.reset();
  fields_ = std::make_unique<ZelVariableHandleList>(settings_);
  summary_ = std::make_unique<ZelSummary::SummaryTable>(fields_.get());
  status_ = TorStatus();
}

void ZelPassDriver::UpdateClock() {
  previousClock_ = latestClock_;
  latestClock_ = ZelClockMilliseconds();
}

void ZelPassDriver::Report(ZelReporter& reporter, ZelReporterConst::BuildStage stage) {
  if (settings_->progressListener == nullptr) return;
  reporter.SetValues(stage);
  settings_->progressListener->Report(reporter);
}

TorStatus ZelPassDriver::Prepare() {
  for (int i = 0; i < variables_->Size(); ++i) {
    if (fields_->AddField(*variables_->GetVarAt(i)) < 0) return fields_->GetStatus();
  }
  const ZelSettings& s = *settings_;
  std::vector<ZelOperationPair> steps;
  if (s.trimBlank) steps.push_back({Step::kHandleStringFeature, Action::kTrimTrailing});
  if (s.computeDateDuration || s.computeTimeDuration || s.extractYear || s.extractMonth ||
      s.extractDay || s.extractHour || s.extractMinute || s.extractSecond || s.extractWeekday ||
      s.extractMonthCategory || s.extractHourCategory) {
    steps.push_back({Step::kDateTimeHandle, Action::kUnknown});
  }
  TorStatus status;
  if (!steps.empty()) {
    ZelTransformation::ZelStepRunner runner(fields_.get(), steps, summary_.get(), warnings_);
    status = runner.Run();
    if (status.IsError()) return status;
  }
  DefinePasses();
  return status;
}

void ZelPassDriver::DefinePasses() {
  const ZelSettings& s = *settings_;
  auto gate = [this](ZelOperation::IZelIsHandle* g) {
    g->SetWarnings(warnings_);
    gates_.emplace_back(g);
    return g;
  };
  ZelOperation::IZelIsHandle* outlierA1 = gate(new ZelOperation::ZelIsHandleOutlier(fields_.get()));
  ZelOperation::IZelIsHandle* outlierA2 = gate(new ZelOperation::ZelIsHandleOutlier(fields_.get()));
  ZelOperation::IZelIsHandle* unmeasured =
      gate(new ZelOperation::ZelIsHandleUnmeasured(fields_.get(), outlierA2));
  ZelOperation::IZelIsHandle* boxCoxB = gate(new ZelOperation::ZelIsHandleBoxCox(fields_.get()));
  ZelOperation::IZelIsHandle* boxCoxC = gate(new ZelOperation::ZelIsHandleBoxCox(fields_.get()));
  auto* bivariate = new ZelOperation::ZelBivariateDatapassOperations(fields_.get());
  bivariate->SetWarnings(warnings_);
  preparations_.emplace_back(bivariate);

  auto pass = [this](std::vector<ZelOperationPair> steps, std::vector<int> kinds,
                     ZelOperation::IZelOperationPreparation* preparation,
                     const ZelDataPass::Gates& gates) {
    passes_.push_back(std::make_unique<ZelDataPass>(fields_.get(), interrupt_, summary_.get(),
                                                    std::move(steps), std::move(kinds),
                                                    preparation, gates));
    passes_.back()->SetWarnings(warnings_);
  };

  std::vector<ZelOperationPair> first;
  // Indicators read the inputs as they came, before trimming, screening or
  // any replacement takes an input out of use.
  if (s.flagMissing) first.push_back({Step::kFlagMissingValues, Action::kFlagMissing});
  if (s.trimBlank) first.push_back({Step::kHandleStringFeature, Action::kExcludeTrimTrailFeature});
  first.push_back({Step::kDateTimeHandle, Action::kSelectDateBestDuration});
  first.push_back({Step::kDateTimeHandle, Action::kSelectTimeBestDuration});
  first.push_back({Step::kFeatureScreening, Action::kUnknown});
  first.push_back({Step::kCheckPoint, Action::kUnknown});
  if (s.checkMeasureLevelForTarget || s.checkMeasureLevelForFeature) {
    first.push_back({Step::kCheckType, Action::kUnknown});
  }
  const std::vector<ZelOperationPair> second = {
      {Step::kOutlierIdentification, s.handleOutlierMethod == 0 ? Action::kTrimOutliersToExtreme
                                                                : Action::kSetOutliersToMissing}};

  std::vector<ZelOperationPair> third;
  if (s.replaceMissingNominalTarget || s.replaceMissingOrdinalTarget ||
      s.replaceMissingContinuousTarget || s.replaceMissingNominalFeature ||
      s.replaceMissingOrdinalFeature || s.replaceMissingScaleFeature) {
    third.push_back({Step::kHandleMissingValue, Action::kUnknown});
  }
  if (s.reorderCatsOfNominalTarget) third.push_back({Step::kHandleTarget, Action::kReorderCatTarget});
  if (s.rescaling) {
    third.push_back({Step::kHandleContinuousFeatures,
                     s.rescalingMethod == 1 ? Action::kMinMaxContFeature : Action::kZscoreContFeature});
  }

  // Skewed inputs wait for their transform in the next pass, which then
  // rescales them; their Box-Cox sums ride along with the target's.
  // Inputs of many categories become their target means there too, from
  // their statistics against the target gathered in that pass.
  std::vector<ZelOperationPair> fourth = {{Step::kHandleTarget, Action::kRescaleScaleTarget}};
  if (s.skewTransform || s.targetEncode) {
    if (!s.rescaleContTarget) fourth.clear();
    if (s.skewTransform) {
      fourth.push_back({Step::kHandleContinuousFeatures, Action::kSkewTransformContFeature});
    }
    if (s.targetEncode) fourth.push_back({Step::kEncodeByTarget, Action::kTargetMeanCatFeature});
    if (s.rescaling) fourth.push_back(third.back());
  }
  // The bivariate pass chooses its steps when it runs; it may run any
  // categorical one and the continuous ones against the target.
  const std::vector<ZelOperationPair> fifth = {
      {Step::kHandleCategoricalFeatures, Action::kUnknown},
      {Step::kHandleContinuousFeatures, Action::kBinContFeature},
      {Step::kHandleContinuousFeatures, Action::kExcludeContFeature},
      {Step::kHandleContinuousFeatures, Action::kConstructContFeature}};
  const std::vector<ZelOperationPair> sixth = {
      {Step::kHandleContinuousFeatures, Action::kExcludeAfterConstruct},
      {Step::kHandleContinuousFeatures, Action::kExcludeConstantAfterBinning}};

  // After its steps, a pass creates what the steps of the next one read.
  using ZelTransformation::StatisticsNeeded;
  ZelDataPass::Gates firstGates;
  firstGates.statistics = outlierA1;
  pass(first, StatisticsNeeded(second), nullptr, firstGates);

  ZelDataPass::Gates secondGates;
  secondGates.skip = outlierA2;
  pass(second, StatisticsNeeded(third), nullptr, secondGates);

  if (s.skewTransform) {
    boxCoxB = gate(new ZelOperation::ZelIsHandleSkew(fields_.get(), boxCoxB));
    boxCoxC = gate(new ZelOperation::ZelIsHandleSkew(fields_.get(), boxCoxC));
  }
  if (s.targetEncode) {
    boxCoxB = gate(new ZelOperation::ZelIsHandleTargetEncoding(fields_.get(), boxCoxB));
    boxCoxC = gate(new ZelOperation::ZelIsHandleTargetEncoding(fields_.get(), boxCoxC));
  }
  ZelDataPass::Gates thirdGates;
  thirdGates.read = unmeasured;
  thirdGates.statistics = boxCoxB;
  pass(third, StatisticsNeeded(fourth), nullptr, thirdGates);

  ZelDataPass::Gates fourthGates;
  fourthGates.read = boxCoxC;
  fourthGates.steps = boxCoxC;
  pass(fourth, StatisticsNeeded(fifth), nullptr, fourthGates);

  pass({}, StatisticsNeeded(sixth), bivariate, ZelDataPass::Gates());

  // The last pass reads the figures of the document: each input's
  // predictive power and the histograms.
  namespace Request = ZelStatistic::StatisticRequest;
  pass(sixth, {Request::kOperation, Request::kHistogram}, nullptr, ZelDataPass::Gates());

  pass({}, {}, nullptr, ZelDataPass::Gates());
}

TorStatus ZelPassDriver::OutOfOrder() {
  status_ = TorStatus(ZelStatusCode::kLockstepOrder, false);
  phase_ = Phase::kIdle;
  return status_;
}

ZelPassIdentity ZelPassDriver::Identity() const {
  return {static_cast<uint32_t>(pass_), SettingsIdentity(*settings_, *fields_),
          FieldsIdentity(*fields_)};
}

std::vector<ZelPassStatistic> ZelPassDriver::PassStatistics() const {
  std::vector<ZelPassStatistic> statistics;
  std::vector<ZelStatistic::ZelStatistics*> live;
  for (int i : fields_->GetPending()) {
    live.clear();
    const ZelVariableHandleInfo* field = fields_->GetHandle(i);
    field->AppendLiveStatistics(&live);
    const std::string& name = field->GetName();
    const uint64_t identity = ZelStatistic::ZelStateHash(name.data(), name.size());
    for (ZelStatistic::ZelStatistics* statistic : live) statistics.push_back({i, identity, statistic});
  }
  ZelStatistic::ZelStatistics* list = fields_->GetListStatistic();
  if (list != nullptr && !list->IsInformationCollected()) statistics.push_back({-1, 0, list});
  return statistics;
}

TorStatus ZelPassDriver::Begin() {
  UpdateClock();
  Reset();
  phase_ = Phase::kIdle;
  pass_ = 0;
  status_ = Prepare();
  if (status_.IsError()) return status_;
  Report(reporter_, ZelReporterConst::StagePrepared);
  phase_ = Phase::kBetween;
  return status_;
}

TorStatus ZelPassDriver::StartPass(bool* reads, bool* done) {
  *reads = false;
  *done = false;
  if (phase_ != Phase::kBetween) return OutOfOrder();
  while (pass_ < passes_.size() && !passes_[pass_]->Runs()) ++pass_;
  if (pass_ == passes_.size()) {
    *done = true;
    return status_;
  }
  ZelDataPass& pass = *passes_[pass_];
  pass.SetReporter(&reporter_);
  phase_ = Phase::kRead;
  if (!pass.WantsData()) return status_;
  fields_->BeginPass();
  if (fields_->GetPending().empty()) return status_;
  WritePassState(Identity(), PassStatistics(), &emptyState_);
  fed_ = false;
  phase_ = Phase::kReading;
  *reads = true;
  return status_;
}

TorStatus ZelPassDriver::ReadRows(TorCommon_1_3::IRecordSource* source, std::string* state) {
  if (phase_ != Phase::kReading) return OutOfOrder();
  const std::vector<ZelPassStatistic> statistics = PassStatistics();
  if (fed_) {
    status_ = ReadPassState(emptyState_, Identity(), statistics, &stateDetail_);
    if (status_.IsError()) return status_;
  }
  fed_ = true;
  status_ = passes_[pass_]->Feed(source);
  // As after a pass of Execute: the source is ready for the next one.
  source->Rewind();
  if (status_.IsError()) return status_;
  WritePassState(Identity(), statistics, state);
  return status_;
}

TorStatus ZelPassDriver::InstallState(const std::string& state) {
  if (phase_ != Phase::kReading) return OutOfOrder();
  status_ = ReadPassState(state, Identity(), PassStatistics(), &stateDetail_);
  if (status_.IsError()) return status_;
  status_ = fields_->EndPass();
  if (status_.IsError()) return status_;
  phase_ = Phase::kRead;
  return status_;
}

TorStatus ZelPassDriver::FinishPass() {
  if (phase_ != Phase::kRead) return OutOfOrder();
  status_ = passes_[pass_]->Conclude();
  if (status_.IsError()) return status_;
  if (status_.IsOK() && interrupt_->Poll()) {
    status_ = TorStatus(ZelStatusCode::kInterrupted, false);
    return status_;
  }
  ++pass_;
  phase_ = Phase::kBetween;
  return status_;
}

TorStatus ZelPassDriver::End() {
  if (phase_ != Phase::kBetween || pass_ != passes_.size()) return OutOfOrder();
  phase_ = Phase::kEnded;
  return Conclude();
}

TorStatus ZelPassDriver::Conclude() {
  RenameDerivedFields(fields_.get(), *settings_);
  Report(reporter_, ZelReporterConst::StagePassesDone);

  if (!status_.IsError()) {
    UpdateClock();
    status_ = summary_->Collect(GetProcessingSeconds());
  }

  if (fields_->GetValidCount() == 0) AddWarning(warnings_, ZelStatusCode::kEverythingExcluded);

  if (!status_.IsError() && warnings_ != nullptr && !warnings_->empty()) {
    status_ = warnings_->back();
  }
  return status_;
}

TorStatus ZelPassDriver::Run(TorCommon_1_3::IRecordSource* source) {
  UpdateClock();
  ZelReporter& reporter = reporter_;
  Reset();
  phase_ = Phase::kIdle;

  status_ = Prepare();
  if (status_.IsError()) return status_;
  Report(reporter, ZelReporterConst::StagePrepared);

  if (!source->HasMoreRecords()) {
    status_ = TorStatus(ZelStatusCode::kNoRecords, false);
    return status_;
  }

  for (auto& pass : passes_) {
    pass->SetReporter(&reporter);
    status_ = pass->Run(source);
    if (status_.IsError()) return status_;
    if (status_.IsOK() && interrupt_->Poll()) {
      status_ = TorStatus(ZelStatusCode::kInterrupted, false);
      break;
    }
    source->Rewind();
  }
  return Conclude();
}

}  // namespace ZelFrame
