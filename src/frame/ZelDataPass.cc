#include "frame/ZelDataPass.h"

#include "frame/ZelRecordTransformer.h"
#include "frame/ZelStatusCodes.h"
#include "statistics/ZelCreateStatistics.h"
#include "transformation/ZelStepRunner.h"

using TorCommon_1_3::TorStatus;

ZelDataPass::ZelDataPass(ZelVariableHandleList* fields, ZelInterrupt* interrupt,
                         ZelSummary::SummaryTable* summary,
                         std::vector<ZelTransformation::ZelOperationPair> steps,
                         std::vector<int> kinds,
                         ZelOperation::IZelOperationPreparation* preparation, const Gates& gates)
    : fields_(fields),
      interrupt_(interrupt),
      summary_(summary),
      steps_(std::move(steps)),
      kinds_(std::move(kinds)),
      preparation_(preparation),
      gates_(gates) {}

TorStatus ZelDataPass::Read(TorCommon_1_3::IRecordSource* source) {
  fields_->BeginPass();
  if (fields_->GetPending().empty()) return TorStatus();
  ZelRecordTransformer transformer(fields_);
  while (source->HasMoreRecords()) {
    if (interrupt_->Poll()) return TorStatus(ZelStatusCode::kInterrupted, false);
    const TorCommon_1_3::RawRecord* record = source->NextRecord();
    if (record != nullptr) transformer.Transform(*record);
    if (transformer.GetStatus().IsError()) return transformer.GetStatus();
    if (transformer.IsUsable()) {
      const TorStatus status = fields_->ProcessRecord(transformer.GetWorking());
      if (status.IsError()) return status;
    }
  }
  return fields_->EndPass();
}

TorStatus ZelDataPass::Run(TorCommon_1_3::IRecordSource* source) {
  if (gates_.skip != nullptr && !gates_.skip->IsHandle()) return status_;

  if (gates_.read == nullptr || gates_.read->IsHandle()) {
    status_ = Read(source);
    if (status_.IsError()) return status_;
  }

  if (gates_.steps == nullptr || gates_.steps->IsHandle()) {
    if (preparation_ != nullptr) steps_ = preparation_->Prepare();
    ZelTransformation::ZelStepRunner runner(fields_, steps_, summary_, warnings_);
    status_ = runner.Run();
    if (status_.IsError()) return status_;
  }

  if ((gates_.statistics == nullptr || gates_.statistics->IsHandle()) && !kinds_.empty()) {
    status_ = ZelStatistic::CreateStatistics(fields_, kinds_);
    if (status_.IsError()) return status_;
  }

  const ZelSettings* settings = fields_->GetSettings();
  if (settings->progressListener != nullptr && reporter_ != nullptr) {
    reporter_->SetValues(ZelReporterConst::StageDataPass);
    settings->progressListener->Report(*reporter_);
  }
  return status_;
}
