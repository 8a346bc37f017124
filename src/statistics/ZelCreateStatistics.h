// CreateStatistics: the statistics step that runs after a pass's steps and
// creates, through the field handles, the statistic objects the next data
// pass fills. Each request kind names one family of statistics.
#ifndef ZELCRAFT_STATISTICS_ZELCREATESTATISTICS_H_
#define ZELCRAFT_STATISTICS_ZELCREATESTATISTICS_H_

#include <vector>

#include "torcommon13r/TorStatus.h"

class ZelVariableHandleList;

namespace ZelStatistic {

namespace StatisticRequest {
constexpr int kOutlier = 1;
constexpr int kBoxCox = 2;
constexpr int kTarget = 3;
constexpr int kOperation = 4;
constexpr int kHistogram = 5;
constexpr int kSkew = 6;  // the Box-Cox statistic of each skewed input
// The statistic against the target of each input the target encoding
// step encodes.
constexpr int kTargetEncoding = 7;
}  // namespace StatisticRequest

// Carries out the requests in order; the first error ends the step. Unknown
// kinds are skipped.
TorCommon_1_3::TorStatus CreateStatistics(ZelVariableHandleList* list,
                                          const std::vector<int>& kinds);

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELCREATESTATISTICS_H_
