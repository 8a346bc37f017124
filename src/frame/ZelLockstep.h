// ZelLockstep: one build run by several replicas, beside Execute. A host
// creates the replicas with ZelFactory from the same settings and fields;
// each reads its share of the rows (partitions, blocks of a file) and hands
// back the sums the pass gathered as bytes; the host merges the states in an
// order of its choosing that it keeps fixed, and every replica installs the
// merged states and runs the pass's steps itself. The steps are
// deterministic, so every replica reaches the same fields, and the pass
// after starts everywhere alike. The component starts no threads: every
// call runs on its caller's thread, and replicas share nothing, so each may
// live on a thread or a machine of its own.
//
// Call order, for every replica:
//   Begin(replica)
//   loop:
//     StartPass(replica, &reads, &done); stop when done
//     if reads:
//       ReadRows(replica, source, &state)   zero or more times, each over a
//                                           source of its own; each state
//                                           holds only that source's rows
//       (host: state = MergeStates(earlier, later) over all states of the
//        pass, of every replica, in its fixed order)
//       InstallState(replica, merged)
//     FinishPass(replica)
//   End(replica); the replica is then built and writes its document.
// A replica that only installs (reads no rows itself) is as good as one
// that read: the document depends on the merged states alone. Merging
// needs no replica. Every failure is a status (210050 damaged state,
// 210051 a state of another build, pass or field, 210052 calls out of
// order); Describe says more about the last refused state.
#ifndef ZELCRAFT_FRAME_ZELLOCKSTEP_H_
#define ZELCRAFT_FRAME_ZELLOCKSTEP_H_

#include <string>

#include "frame/ZelExport.h"
#include "frame/host/HostInterfaces.h"

namespace ZelFrame {

class ZEL_EXPORT ZelLockstep {
 public:
  // Each takes a replica made by ZelFactory (210007 for any other).
  static TorCommon_1_3::TorStatus Begin(TorCommon_1_3::ITorAlgorithm& replica);
  static TorCommon_1_3::TorStatus StartPass(TorCommon_1_3::ITorAlgorithm& replica, bool* reads,
                                            bool* done);
  // Reads every row of `source` (its columns when it hands them out) into
  // empty statistics of the current pass and writes their state; rewinds
  // the source afterwards, as Execute does after each pass.
  static TorCommon_1_3::TorStatus ReadRows(TorCommon_1_3::ITorAlgorithm& replica,
                                           TorCommon_1_3::IRecordSource* source,
                                           std::string* state);
  static TorCommon_1_3::TorStatus InstallState(TorCommon_1_3::ITorAlgorithm& replica,
                                               const std::string& state);
  static TorCommon_1_3::TorStatus FinishPass(TorCommon_1_3::ITorAlgorithm& replica);
  static TorCommon_1_3::TorStatus End(TorCommon_1_3::ITorAlgorithm& replica);

  // `later`, the state of rows after those of `earlier`, merged into it.
  // Counts and tables merge exactly, moments by the pairwise update.
  static TorCommon_1_3::TorStatus MergeStates(const std::string& earlier, const std::string& later,
                                              std::string* merged);
  // The pass StartPass last moved to, counted from 0 (the number of passes
  // once done): passes that do not run are skipped without a call.
  static int CurrentPass(const TorCommon_1_3::ITorAlgorithm& replica);
  // Why the last state the replica refused was refused; empty otherwise.
  static std::string Describe(const TorCommon_1_3::ITorAlgorithm& replica);
  // Why the last merge on this thread was refused.
  static std::string DescribeMerge();
};

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELLOCKSTEP_H_
