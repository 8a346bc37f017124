#include "host/Build.h"

#include <utility>

namespace zelhost {

namespace {

zelprep::RunResult Built(zelprep::PreparationRun& run, HostCallbacks& host) {
  run.Build(zelprep::RunHost{host, host, &host, nullptr});
  return run.result();
}

}  // namespace

bool FillStore(const std::vector<std::string>& names, const std::vector<ColumnData>& columns,
               HostCallbacks& host, zelio::ColumnStore* store) {
  store->names = names;
  host.StartPhase("reading");
  for (const ColumnData& data : columns) {
    store->columns.emplace_back(data.Storage());
    FillColumn(data, &store->columns.back());
    if (host.Poll()) return false;
  }
  host.Records(static_cast<int64_t>(store->rows()));
  return true;
}

zelprep::RunResult BuildFromStore(const zelprep::RunRequest& request, zelio::ColumnStore store,
                                  HostCallbacks& host) {
  zelprep::PreparationRun run(request);
  if (!run.ReadInputs() || !run.TakeColumns(std::move(store))) return run.result();
  return Built(run, host);
}

zelprep::RunResult BuildFromCsv(const zelprep::RunRequest& request, const CsvRequest& csv,
                                HostCallbacks& host) {
  zelprep::PreparationRun run(request);
  if (!run.ReadInputs() || !run.LoadCsv({csv.paths, csv.delimiter, csv.stream}, host, host)) {
    return run.result();
  }
  return Built(run, host);
}

}  // namespace zelhost
