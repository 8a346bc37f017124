// MemoryEstimate: the memory a build's statistics will take, estimated
// before any pass from the fields handed to the component and the settings,
// so that a build that would not fit is refused at once instead of failing
// (or filling the machine) hours in. Per field it counts what every field
// costs whatever the settings (its handles, univariate statistics,
// histogram, outlier intervals and its share of the document), the
// categories a categorical field keeps (up to "maxNOfUniqueCategories" plus
// one) and their table against a categorical target; each further replica
// of a threaded build holds its own statistics again. The pairwise
// statistic of the continuous fields, made with a continuous target and,
// without a target, for feature construction, grows with the square of
// their number and is counted on its own. The figures are measured sizes
// rounded up: an estimate, meant to be right within a factor of two.
#ifndef ZELCRAFT_PREPARATION_MEMORYESTIMATE_H_
#define ZELCRAFT_PREPARATION_MEMORYESTIMATE_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "torcommon13r/TorSettings.h"
#include "torcommon13r/TorVarList.h"

namespace zelprep {

struct MemoryEstimate {
  std::size_t fields = 0;
  uint64_t fieldBytes = 0;       // the fields' own statistics, every replica
  std::size_t pairedFields = 0;  // continuous fields of the pairwise statistic
  uint64_t pairBytes = 0;
  uint64_t Total() const { return fieldBytes + pairBytes; }
};

// `workers` replicas over `records` records. A continuous input of fewer
// records than "scaleToOrdinalValuesNumThreshold" cannot hold that many
// distinct values, so the measurement-level check (when on) recasts it
// before the pairwise statistic is made: it is not counted there.
MemoryEstimate EstimateBuildMemory(const TorCommon_1_3::TorSettings& settings,
                                   const TorCommon_1_3::TorVarList& fields, std::size_t workers,
                                   int64_t records);

// "1.5 GiB", "850 MiB", "12 KiB": a size as people read it, in the binary
// units the command line's sizes ("100M") are given in.
std::string DescribeBytes(uint64_t bytes);

}  // namespace zelprep

#endif  // ZELCRAFT_PREPARATION_MEMORYESTIMATE_H_
