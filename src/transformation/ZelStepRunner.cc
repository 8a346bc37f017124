#include "transformation/ZelStepRunner.h"

#include "frame/ZelStatusCodes.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

ZelStepRunner::ZelStepRunner(ZelVariableHandleList* fields,
                             const std::vector<ZelOperationPair>& steps,
                             ZelSummary::SummaryTable* summary, std::vector<TorStatus>* warnings)
    : fields_(fields), steps_(steps), summary_(summary), warnings_(warnings) {}

int ZelStepRunner::CountInputs() const {
  return fields_->GetValidCount() - (fields_->GetTargetIndex() >= 0 ? 1 : 0);
}

TorStatus ZelStepRunner::Run() {
  if (fields_->Count() == 0) return TorStatus(ZelStatusCode::kNoRecords, false);
  TorStatus status;
  for (const ZelOperationPair& pair : steps_) {
    handler_.reset(CreateHandler(pair, fields_, warnings_));
    if (!handler_) continue;
    const int before = CountInputs();
    status = handler_->Run();
    const int after = CountInputs();
    if (summary_ != nullptr) {
      const TorStatus recorded = summary_->SetStepCounts(pair.step, before, after);
      if (!status.IsError() && recorded.IsError()) status = recorded;
    }
    if (status.IsError()) break;
  }
  return status;
}

}  // namespace ZelTransformation
