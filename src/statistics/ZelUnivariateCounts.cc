#include "statistics/ZelUnivariateCounts.h"

#include "statistics/ZelUnivarNumeric.h"
#include "statistics/ZelUnivarStringCat.h"

namespace ZelStatistic {

bool GetUnivariateCounts(const ZelStatistics* statistic, UnivariateCounts* counts) {
  if (const auto* numeric = dynamic_cast<const ZelUnivarNumeric*>(statistic)) {
    counts->missing = numeric->GetSummary().GetMissingCount();
    counts->valid = numeric->GetSummary().GetValidCount();
    return true;
  }
  if (const auto* text = dynamic_cast<const ZelUnivarStringCat*>(statistic)) {
    counts->missing = text->GetMissingCount();
    counts->valid = text->GetValidCount();
    return true;
  }
  return false;
}

}  // namespace ZelStatistic
