#include "BenchData.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>

#include "GemsData.h"
#include "io/ReadProgress.h"
#include "io/Schema.h"

namespace benchdata {

namespace {

// Removes the written tables when the benchmarks end.
struct TableFiles {
  std::map<int64_t, std::string> paths;
  ~TableFiles() {
    for (const auto& entry : paths) std::remove(entry.second.c_str());
  }
};

}  // namespace

const std::string& GemsCsv(int64_t rows) {
  static TableFiles files;
  auto it = files.paths.find(rows);
  if (it != files.paths.end()) return it->second;
  const char* tmp = std::getenv("TMPDIR");
  std::string path = std::string(tmp != nullptr ? tmp : "/tmp") + "/zelcraft-bench-gems-" +
                     std::to_string(getpid()) + "-" + std::to_string(rows) + ".csv";
  std::ofstream out(path, std::ios::binary);
  gems::WriteGemsCsv(out, rows);
  out.close();
  if (!out) path.clear();
  return files.paths.emplace(rows, path).first->second;
}

const LoadedGems& Gems(int64_t rows) {
  static std::map<int64_t, std::unique_ptr<LoadedGems>> loaded;
  std::unique_ptr<LoadedGems>& gems = loaded[rows];
  if (gems) return *gems;
  gems = std::make_unique<LoadedGems>();
  static const zelio::Schema schema;
  zelio::LoadRequest request;
  // A table of one's own with a price column, such as the one the
  // performance script measures, stands in for the gemstone table.
  const char* own = std::getenv("ZEL_BENCH_CSV");
  request.paths = {own != nullptr && *own != '\0' ? std::string(own) : GemsCsv(rows)};
  request.schema = &schema;
  request.roles.target = "price";
  gems->roles = request.roles;
  NeverInterrupted never;
  zelio::ReadProgress& progress = zelio::ReadProgress::Silent();
  if (!request.paths[0].empty()) {
    const zelstatus::Status loaded = zelio::LoadCsv(request, never, progress, &gems->data);
    gems->ok = loaded.ok();
    gems->error = loaded.message();
  }
  if (request.paths[0].empty()) gems->error = "cannot write the benchmark table";
  return *gems;
}

}  // namespace benchdata
