#include "statistics/ZelUnivarNumericCat.h"

#include <algorithm>

#include "settings/ZelSettings.h"
#include "statistics/ZelUnivarStringCat.h"

namespace ZelStatistic {

ZelUnivarNumericCat::ZelUnivarNumericCat(const ZelSettings* settings, uint32_t fieldIndex,
                                         bool nominal)
    : ZelUnivarNumeric(
          settings, kUnivariateNumericCat, fieldIndex, nominal,
          static_cast<uint64_t>(std::max(0, nominal ? CategoryLimit(*settings)
                                                    : settings->recastCatThreshold))) {}

}  // namespace ZelStatistic
