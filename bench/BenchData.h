// The gemstone table the loading and pass benchmarks share: written once
// per row count into the temporary directory and, for the pass benchmarks,
// loaded once into memory columns with the target price.
#ifndef ZELCRAFT_BENCH_BENCHDATA_H_
#define ZELCRAFT_BENCH_BENCHDATA_H_

#include <cstdint>
#include <string>

#include "io/DataLoader.h"

namespace benchdata {

// Path of the table with `rows` rows; empty when it cannot be written.
const std::string& GemsCsv(int64_t rows);

struct LoadedGems {
  bool ok = false;
  std::string error;
  zelio::LoadedData data;
  zelio::FieldRoles roles;
};

const LoadedGems& Gems(int64_t rows);

// An interrupt check that never fires.
class NeverInterrupted : public TorCommon_1_3::IInterruptCheck {
 public:
  bool IsInterrupted() override { return false; }
};

}  // namespace benchdata

#endif  // ZELCRAFT_BENCH_BENCHDATA_H_
