// ZelPassState: the states of all statistics one data pass fills, as one
// run of bytes that replicas of a build exchange. Layout (little-endian):
//   "ZELSTATE" magic, format version (u32), pass number (u32), identity of
//   the settings (u64) and of the field list at that pass (u64,
//   ZelBuildIdentity.h), statistic count (u32); per
//   statistic its kind (u32), field index (u32, all ones for the list
//   statistic over several fields), identity of the field's name (u64), its
//   parts' length (u64) and parts (ZelStateParts.h); a checksum of all
//   bytes before it (u64).
// Merging needs no build: states of the same pass of replicas of one build
// merge statistic by statistic. Damaged bytes (short, altered, another
// version) and states of another pass, settings, field list, statistic or
// field are refused with a status and a sentence, never read past their
// end.
#ifndef ZELCRAFT_FRAME_ZELPASSSTATE_H_
#define ZELCRAFT_FRAME_ZELPASSSTATE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "statistics/ZelStatistics.h"
#include "torcommon13r/TorStatus.h"

namespace ZelFrame {

struct ZelPassStatistic {
  int fieldIndex;  // -1 for the list statistic
  uint64_t nameIdentity;
  ZelStatistic::ZelStatistics* statistic;
};

// Which build and pass a state belongs to.
struct ZelPassIdentity {
  uint32_t pass = 0;
  uint64_t settings = 0;
  uint64_t fields = 0;
};

constexpr uint32_t kZelPassStateVersion = 3;

// Writes the states of `statistics` in their order.
void WritePassState(const ZelPassIdentity& identity,
                    const std::vector<ZelPassStatistic>& statistics, std::string* out);

// Reads `bytes` into `statistics`, which must be the same statistics in the
// same order, of the same pass, settings and field list. On failure
// `detail` says why.
TorCommon_1_3::TorStatus ReadPassState(const std::string& bytes, const ZelPassIdentity& identity,
                                       const std::vector<ZelPassStatistic>& statistics,
                                       std::string* detail);

// `later` (the rows after those of `earlier`) merged into `earlier`.
TorCommon_1_3::TorStatus MergePassStates(const std::string& earlier, const std::string& later,
                                         std::string* merged, std::string* detail);

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELPASSSTATE_H_
