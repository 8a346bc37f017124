// ZelUnivarNumericCat: the univariate statistic of a categorical field with
// numeric values. A nominal field keeps only counts and value frequencies (up
// to "maxNOfUniqueCategories" values); an ordinal field also keeps the
// moments, with a table of "ordinalToScaleCategoriesNumThreshold" values that
// tells the measurement-level check whether it behaves like a continuous one.
#ifndef ZELCRAFT_STATISTICS_ZELUNIVARNUMERICCAT_H_
#define ZELCRAFT_STATISTICS_ZELUNIVARNUMERICCAT_H_

#include "statistics/ZelUnivarNumeric.h"

namespace ZelStatistic {

class ZelUnivarNumericCat : public ZelUnivarNumeric {
 public:
  // `encodable` (nominal fields): as for ZelUnivarStringCat.
  ZelUnivarNumericCat(const ZelSettings* settings, uint32_t fieldIndex, bool nominal,
                      bool encodable = true);
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELUNIVARNUMERICCAT_H_
