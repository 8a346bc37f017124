// Loading a CSV file into memory columns against the bare scan of the same
// file (reading it in chunks and splitting rows and cells, storing
// nothing), in bytes per second. The table is the gemstone table, or the
// file ZEL_BENCH_CSV names (scripts/measure-performance.sh points it at the
// file it measures). Loading runs with the helper thread that splits the
// rows and without it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <vector>

#include "BenchData.h"
#include "io/CsvChunk.h"
#include "io/CsvRows.h"
#include "io/DataLoader.h"
#include "io/ReadProgress.h"
#include "io/Schema.h"

namespace {

std::string BenchCsv(int64_t rows) {
  const char* path = std::getenv("ZEL_BENCH_CSV");
  return path != nullptr && *path != '\0' ? std::string(path) : benchdata::GemsCsv(rows);
}

int64_t FileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return in ? static_cast<int64_t>(in.tellg()) : -1;
}

// The rows one at a time, as apply and inverse read them, on one thread.
void BM_ScanCsv(benchmark::State& state) {
  const std::string path = BenchCsv(state.range(0));
  const int64_t size = FileSize(path);
  if (size < 0) {
    state.SkipWithError("no table to read");
    return;
  }
  std::vector<zelio::CsvCell> cells;
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    zelio::CsvRows reader(in, ',', false);
    int64_t count = 0;
    while (reader.NextRow(&cells)) count += static_cast<int64_t>(cells.size());
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ScanCsv)->Arg(200000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The splitting the loader's helper thread does: chunks of whole rows with
// their cells, converted to nothing.
void BM_SplitChunks(benchmark::State& state) {
  const std::string path = BenchCsv(state.range(0));
  const int64_t size = FileSize(path);
  if (size < 0) {
    state.SkipWithError("no table to read");
    return;
  }
  zelio::CsvChunk chunk;
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    zelio::CsvChunkReader reader(in, ',');
    int64_t rows = 0;
    do {
      reader.Next(&chunk);
      rows += static_cast<int64_t>(chunk.rows());
    } while (!chunk.last);
    benchmark::DoNotOptimize(rows);
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_SplitChunks)->Arg(200000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadCsv(benchmark::State& state) {
  const std::string path = BenchCsv(state.range(0));
  const int64_t size = FileSize(path);
  if (size < 0) {
    state.SkipWithError("no table to read");
    return;
  }
  const zelio::Schema schema;
  zelio::LoadRequest request;
  request.paths = {path};
  request.schema = &schema;
  request.threaded = state.range(1) > 1;
  benchdata::NeverInterrupted never;
  zelio::ReadProgress& progress = zelio::ReadProgress::Silent();
  for (auto _ : state) {
    zelio::LoadedData data;
    const zelstatus::Status loaded = zelio::LoadCsv(request, never, progress, &data);
    if (!loaded.ok()) {
      state.SkipWithError(loaded.message().c_str());
      return;
    }
    benchmark::DoNotOptimize(data.store.rows());
  }
  state.SetBytesProcessed(state.iterations() * size);
}
// The second argument is the thread count: 1 converts what it splits itself.
BENCHMARK(BM_LoadCsv)
    ->Args({200000, 2})
    ->Args({200000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
