// The missing and valid counts that every univariate statistic keeps, read
// without the caller having to know which class the field's statistic has.
#ifndef ZELCRAFT_STATISTICS_ZELUNIVARIATECOUNTS_H_
#define ZELCRAFT_STATISTICS_ZELUNIVARIATECOUNTS_H_

#include <cstdint>

#include "statistics/ZelStatistics.h"

namespace ZelStatistic {

struct UnivariateCounts {
  int64_t missing = 0;
  int64_t valid = 0;
};

// False when `statistic` is null or not a univariate statistic.
bool GetUnivariateCounts(const ZelStatistics* statistic, UnivariateCounts* counts);

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELUNIVARIATECOUNTS_H_
