#include "statistics/ZelUnivarCont.h"

#include <algorithm>

#include "settings/ZelSettings.h"

namespace ZelStatistic {

ZelUnivarCont::ZelUnivarCont(const ZelSettings* settings, uint32_t fieldIndex)
    : ZelUnivarNumeric(settings, kUnivariateCont, fieldIndex, false,
                       static_cast<uint64_t>(std::max(0, settings->recastContThreshold))) {}

}  // namespace ZelStatistic
