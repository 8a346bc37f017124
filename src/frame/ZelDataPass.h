// ZelDataPass: one data pass. It streams the records into the statistics of
// the pending fields (unless its gates say there is nothing to read), runs
// its steps, then creates the statistics the next pass fills.
#ifndef ZELCRAFT_FRAME_ZELDATAPASS_H_
#define ZELCRAFT_FRAME_ZELDATAPASS_H_

#include <vector>

#include "frame/ZelInterrupt.h"
#include "frame/ZelIsHandle.h"
#include "frame/ZelRecordTransformer.h"
#include "frame/ZelOperationPreparation.h"
#include "frame/ZelReporter.h"
#include "pmml/ZelSummaryTable.h"
#include "settings/ZelVariableHandleList.h"
#include "transformation/ZelOperation.h"

namespace ZelFrame {

class ZelDataPass {
 public:
  // A null gate means "yes". Gates and preparation are owned by the driver.
  struct Gates {
    ZelOperation::IZelIsHandle* skip = nullptr;
    ZelOperation::IZelIsHandle* read = nullptr;
    ZelOperation::IZelIsHandle* steps = nullptr;
    ZelOperation::IZelIsHandle* statistics = nullptr;
  };

  ZelDataPass(ZelVariableHandleList* fields, ZelInterrupt* interrupt,
              ZelSummary::SummaryTable* summary,
              std::vector<ZelTransformation::ZelOperationPair> steps, std::vector<int> kinds,
              ZelOperation::IZelOperationPreparation* preparation, const Gates& gates);

  void SetReporter(ZelReporter* reporter) { reporter_ = reporter; }
  void SetWarnings(std::vector<TorCommon_1_3::TorStatus>* warnings) { warnings_ = warnings; }
  TorCommon_1_3::TorStatus Run(TorCommon_1_3::IRecordSource* source);

  // Run in its parts, for a build in lockstep. Runs: the pass does
  // anything at all; WantsData: it reads records (asked once, after Runs);
  // Feed: the rows of `source` into the statistics of the fields the list's
  // BeginPass made pending, a batch at a time, without finishing them;
  // Conclude: the steps and the statistics of the next pass.
  bool Runs();
  bool WantsData();
  TorCommon_1_3::TorStatus Feed(TorCommon_1_3::IRecordSource* source);
  TorCommon_1_3::TorStatus Conclude();

 private:
  // Streams the pass's rows into the statistics a batch at a time: from
  // the host's columns when it hands them out, else record by record.
  TorCommon_1_3::TorStatus Read(TorCommon_1_3::IRecordSource* source);
  TorCommon_1_3::TorStatus ReadColumns(TorCommon_1_3::IColumnBatchSource* source,
                                       ZelRecordTransformer* transformer, ZelBatch* batch);
  TorCommon_1_3::TorStatus ReadRecords(TorCommon_1_3::IRecordSource* source,
                                       ZelRecordTransformer* transformer, ZelBatch* batch);
  TorCommon_1_3::TorStatus Process(ZelRecordTransformer* transformer, ZelBatch* batch);

  ZelVariableHandleList* fields_;
  ZelInterrupt* interrupt_;
  ZelSummary::SummaryTable* summary_;
  ZelReporter* reporter_ = nullptr;
  TorCommon_1_3::TorStatus status_;
  std::vector<ZelTransformation::ZelOperationPair> steps_;
  std::vector<int> kinds_;
  ZelOperation::IZelOperationPreparation* preparation_;
  Gates gates_;
  std::vector<TorCommon_1_3::TorStatus>* warnings_ = nullptr;
};

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELDATAPASS_H_
