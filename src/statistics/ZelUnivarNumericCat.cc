#include "statistics/ZelUnivarNumericCat.h"

#include <algorithm>

#include "settings/ZelSettings.h"

namespace ZelStatistic {

ZelUnivarNumericCat::ZelUnivarNumericCat(const ZelSettings* settings, uint32_t fieldIndex,
                                         bool nominal, bool encodable)
    : ZelUnivarNumeric(settings, kUnivariateNumericCat, fieldIndex, nominal,
                       static_cast<uint64_t>(
                           std::max(0, nominal ? settings->NominalCategoryLimit(encodable)
                                               : settings->recastCatThreshold))) {}

}  // namespace ZelStatistic
