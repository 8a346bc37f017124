// ZelUnivarCont: the univariate statistic of a continuous field: counts,
// extremes, mean, standard deviation, skewness, and a small value-frequency
// table ("scaleToOrdinalValuesNumThreshold" entries) that tells the
// measurement-level check whether the field has only a few distinct values.
#ifndef ZELCRAFT_STATISTICS_ZELUNIVARCONT_H_
#define ZELCRAFT_STATISTICS_ZELUNIVARCONT_H_

#include "statistics/ZelUnivarNumeric.h"

namespace ZelStatistic {

class ZelUnivarCont : public ZelUnivarNumeric {
 public:
  ZelUnivarCont(const ZelSettings* settings, uint32_t fieldIndex);
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELUNIVARCONT_H_
