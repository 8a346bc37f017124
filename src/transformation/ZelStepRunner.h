// ZelStepRunner: runs a list of (step, action) pairs over the field list,
// one handler at a time, and tells the processing summary how many usable
// inputs each step left.
#ifndef ZELCRAFT_TRANSFORMATION_ZELSTEPRUNNER_H_
#define ZELCRAFT_TRANSFORMATION_ZELSTEPRUNNER_H_

#include <memory>
#include <vector>

#include "pmml/ZelSummaryTable.h"
#include "settings/ZelVariableHandleList.h"
#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelStepRunner {
 public:
  ZelStepRunner(ZelVariableHandleList* fields, const std::vector<ZelOperationPair>& steps,
                ZelSummary::SummaryTable* summary,
                std::vector<TorCommon_1_3::TorStatus>* warnings);

  // kNoRecords over an empty field list; otherwise the first error or
  // success.
  TorCommon_1_3::TorStatus Run();

 private:
  // Usable fields, less the target when one is left.
  int CountInputs() const;

  ZelVariableHandleList* fields_;
  const std::vector<ZelOperationPair>& steps_;
  ZelSummary::SummaryTable* summary_;
  std::vector<TorCommon_1_3::TorStatus>* warnings_;
  std::unique_ptr<ZelOperationHandler> handler_;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELSTEPRUNNER_H_
