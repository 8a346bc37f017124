#include "frame/ZelDataPass.h"

#include <algorithm>

#include "frame/ZelRecordTransformer.h"
#include "frame/ZelStatusCodes.h"
#include "statistics/ZelCreateStatistics.h"
#include "transformation/ZelStepRunner.h"

namespace ZelFrame {

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
  const TorStatus status = Feed(source);
  if (status.IsError()) return status;
  return fields_->EndPass();
}

TorStatus ZelDataPass::Feed(TorCommon_1_3::IRecordSource* source) {
  ZelRecordTransformer transformer(fields_);
  ZelBatch batch(static_cast<std::size_t>(fields_->Count()));
  transformer.UseColumns(&batch);
  batch.Allocate(ZelBatch::RowsFor(batch.GetUsed().size()));
  TorCommon_1_3::IColumnBatchSource* columns = source->GetColumnBatchSource();
  return columns != nullptr ? ReadColumns(columns, &transformer, &batch)
                            : ReadRecords(source, &transformer, &batch);
}

TorStatus ZelDataPass::ReadColumns(TorCommon_1_3::IColumnBatchSource* source,
                                   ZelRecordTransformer* transformer, ZelBatch* batch) {
  const std::vector<int>& hostFields = transformer->GetHostFields();
  std::vector<TorCommon_1_3::HostColumn> host(hostFields.size());
  const int64_t rows = source->GetRowCount();
  const auto capacity = static_cast<int64_t>(batch->Capacity());
  for (int64_t first = 0; first < rows; first += capacity) {
    if (interrupt_->Poll()) return TorStatus(ZelStatusCode::kInterrupted, false);
    const int64_t count = std::min(capacity, rows - first);
    if (!source->ReadColumns(first, count, hostFields.data(), hostFields.size(), host.data())) {
      return TorStatus(ZelStatusCode::kInconsistent, false);
    }
    transformer->FillFromHost(batch, host.data(), static_cast<std::size_t>(count));
    const TorStatus status = Process(transformer, batch);
    if (status.IsError()) return status;
    source->RowsRead(first + count);
  }
  return TorStatus();
}

TorStatus ZelDataPass::ReadRecords(TorCommon_1_3::IRecordSource* source,
                                   ZelRecordTransformer* transformer, ZelBatch* batch) {
  while (source->HasMoreRecords()) {
    std::size_t rows = 0;
    while (rows < batch->Capacity() && source->HasMoreRecords()) {
      if (interrupt_->Poll()) return TorStatus(ZelStatusCode::kInterrupted, false);
      const TorCommon_1_3::RawRecord* record = source->NextRecord();
      if (record != nullptr) transformer->FillFromRecord(batch, rows++, *record);
    }
    batch->SetRows(rows);
    const TorStatus status = Process(transformer, batch);
    if (status.IsError()) return status;
  }
  return TorStatus();
}

TorStatus ZelDataPass::Process(ZelRecordTransformer* transformer, ZelBatch* batch) {
  const TorStatus status = transformer->FinishBatch(batch);
  if (status.IsError()) return status;
  if (batch->Rows() == 0) return status;
  return fields_->ProcessBatch(*batch);
}

bool ZelDataPass::Runs() { return gates_.skip == nullptr || gates_.skip->IsHandle(); }

bool ZelDataPass::WantsData() { return gates_.read == nullptr || gates_.read->IsHandle(); }

TorStatus ZelDataPass::Run(TorCommon_1_3::IRecordSource* source) {
  if (!Runs()) return status_;

  if (WantsData()) {
    status_ = Read(source);
    if (status_.IsError()) return status_;
  }
  return Conclude();
}

TorStatus ZelDataPass::Conclude() {
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

}  // namespace ZelFrame
