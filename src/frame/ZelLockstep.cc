#include "frame/ZelLockstep.h"

#include <new>

#include "frame/ZelAlgorithm.h"
#include "frame/ZelPassState.h"
#include "frame/ZelStatusCodes.h"

namespace ZelFrame {

using TorCommon_1_3::ITorAlgorithm;
using TorCommon_1_3::TorStatus;

namespace {

thread_local std::string mergeDetail;

template <typename Step>
TorStatus OnReplica(ITorAlgorithm& replica, Step step) {
  auto* ours = dynamic_cast<ZelAlgorithm*>(&replica);
  if (ours == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  return ours->RunLockstep(step);
}

}  // namespace

TorStatus ZelLockstep::Begin(ITorAlgorithm& replica) {
  auto* ours = dynamic_cast<ZelAlgorithm*>(&replica);
  if (ours == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  return ours->BeginLockstep();
}

TorStatus ZelLockstep::StartPass(ITorAlgorithm& replica, bool* reads, bool* done) {
  return OnReplica(replica, [&](ZelPassDriver& driver) { return driver.StartPass(reads, done); });
}

TorStatus ZelLockstep::ReadRows(ITorAlgorithm& replica, TorCommon_1_3::IRecordSource* source,
                                std::string* state) {
  if (source == nullptr) return TorStatus(ZelStatusCode::kNullSource, false);
  return OnReplica(replica,
                   [&](ZelPassDriver& driver) { return driver.ReadRows(source, state); });
}

TorStatus ZelLockstep::InstallState(ITorAlgorithm& replica, const std::string& state) {
  return OnReplica(replica, [&](ZelPassDriver& driver) { return driver.InstallState(state); });
}

TorStatus ZelLockstep::FinishPass(ITorAlgorithm& replica) {
  return OnReplica(replica, [&](ZelPassDriver& driver) { return driver.FinishPass(); });
}

TorStatus ZelLockstep::End(ITorAlgorithm& replica) {
  auto* ours = dynamic_cast<ZelAlgorithm*>(&replica);
  if (ours == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  return ours->EndLockstep();
}

TorStatus ZelLockstep::MergeStates(const std::string& earlier, const std::string& later,
                                   std::string* merged) {
  mergeDetail.clear();
  try {
    return MergePassStates(earlier, later, merged, &mergeDetail);
  } catch (const std::bad_alloc&) {
    return TorStatus(ZelStatusCode::kCannotCreate, false);
  } catch (...) {
    return TorStatus(ZelStatusCode::kInconsistent, false);
  }
}

std::string ZelLockstep::Describe(const ITorAlgorithm& replica) {
  const auto* ours = dynamic_cast<const ZelAlgorithm*>(&replica);
  return ours != nullptr ? ours->GetDriver().GetStateDetail() : std::string();
}

int ZelLockstep::CurrentPass(const ITorAlgorithm& replica) {
  const auto* ours = dynamic_cast<const ZelAlgorithm*>(&replica);
  return ours != nullptr ? ours->GetDriver().GetCurrentPass() : 0;
}

std::string ZelLockstep::DescribeMerge() { return mergeDetail; }

}  // namespace ZelFrame
