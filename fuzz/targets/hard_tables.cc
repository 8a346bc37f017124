// Hard tables (examples/HardTables.h) cut anywhere: the input chooses a
// table (seed, rows, where its blocks fall), how each pass's rows are cut
// into runs of rows, and whether the runs' states merge one after the other
// or along a tree. The build in lockstep over those runs must end as the
// build that meets the rows one by one ends: both fail with the same
// status, or both write the same document up to the rounding of merged
// moments. Anything else aborts.
//   bytes 0-7 seed, 8-9 rows (20 to 619), 10 block rows (8 to 263),
//   11 bit 0: a tree; the rest: run lengths of 1 to 97 rows, repeated, and
//   long enough that a pass takes at most 48 runs (each writes a state).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzHost.h"
#include "HardTables.h"
#include "frame/ZelLockstep.h"
#include "preparation/BlockFeed.h"
#include "io/SettingsFile.h"
#include "support/DocumentNumbers.h"
#include "support/RecordsOnly.h"

using ZelFrame::ZelFactory;
using ZelFrame::ZelLockstep;

namespace {

using TorCommon_1_3::ITorAlgorithm;
using TorCommon_1_3::TorStatus;

struct Outcome {
  int code = 0;  // the build's error, 0 when it wrote a document
  std::string document;
};

Outcome Written(ITorAlgorithm& algorithm, const TorStatus& built) {
  Outcome outcome;
  std::ostringstream out;
  if (built.IsError()) {
    outcome.code = built.GetCode();
  } else if (algorithm.WritePMML(out, nullptr).IsError()) {
    outcome.code = -1;
  } else {
    outcome.document = docnumbers::Comparable(out.str());
  }
  return outcome;
}

std::string Merge(std::vector<std::string> states, bool tree, TorStatus* status) {
  while (states.size() > 1 && !status->IsError()) {
    std::vector<std::string> next;
    if (tree) {
      for (std::size_t i = 0; i < states.size(); i += 2) {
        if (i + 1 == states.size()) {
          next.push_back(states[i]);
          continue;
        }
        next.emplace_back();
        *status = ZelLockstep::MergeStates(states[i], states[i + 1], &next.back());
      }
    } else {
      next.emplace_back();
      *status = ZelLockstep::MergeStates(states[0], states[1], &next.back());
      next.insert(next.end(), states.begin() + 2, states.end());
    }
    states.swap(next);
  }
  return states.empty() ? std::string() : states.front();
}

// The build in lockstep, every pass's rows cut into runs by `cuts`.
Outcome InRuns(TorCommon_1_3::TorSettings& settings, zelio::HostFields& fields,
               const zelio::ColumnStore& store, const std::vector<int64_t>& cuts, bool tree) {
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> replica(factory.CreateTorAlgorithm(settings, fields.variables));
  if (!replica) return {factory.GetStatus().GetCode(), ""};
  zelio::ColumnRecordSource columns(store, fields.columnOf, zelio::ReadProgress::Silent());
  zelprep::RowRangeSource run(&columns);
  TorStatus status = ZelLockstep::Begin(*replica);
  const auto rows = static_cast<int64_t>(store.rows());
  for (;;) {
    bool reads = false;
    bool done = false;
    if (!status.IsError()) status = ZelLockstep::StartPass(*replica, &reads, &done);
    if (status.IsError() || done) break;
    if (reads) {
      std::vector<std::string> states;
      std::size_t next = 0;
      for (int64_t first = 0; first < rows && !status.IsError();) {
        const int64_t count = std::min(cuts[next++ % cuts.size()], rows - first);
        run.SetRange(first, count);
        states.emplace_back();
        status = ZelLockstep::ReadRows(*replica, &run, &states.back());
        first += count;
      }
      const std::string merged = Merge(states, tree, &status);
      if (!status.IsError()) status = ZelLockstep::InstallState(*replica, merged);
    }
    if (!status.IsError()) status = ZelLockstep::FinishPass(*replica);
  }
  if (!status.IsError()) status = ZelLockstep::End(*replica);
  return Written(*replica, status);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  uint8_t head[12] = {};
  for (std::size_t i = 0; i < 12 && i < size; ++i) head[i] = data[i];
  uint64_t seed = 0;
  for (int i = 7; i >= 0; --i) seed = (seed << 8) | head[i];
  const int64_t rows = 20 + (head[8] | (head[9] << 8)) % 600;
  const int64_t blockRows = 8 + head[10] % 256;
  const bool tree = (head[11] & 1) != 0;
  std::vector<int64_t> cuts;
  for (std::size_t i = 12; i < size; ++i) {
    cuts.push_back(std::max<int64_t>(1 + data[i] % 97, rows / 48 + 1));
  }
  if (cuts.empty()) cuts.push_back(rows);

  const hardtables::HardTable table = hardtables::MakeHardTable(seed, rows, blockRows);
  zelio::Schema schema;
  if (!zelio::ParseSchema(table.schema, "schema", &schema).ok()) std::abort();
  const zelio::FieldRoles roles{table.target, table.frequencyWeight, table.analysisWeight,
                                std::nullopt};
  zelio::LoadedData loaded;
  if (!zelfuzz::Load(table.csv, ',', schema, roles, &loaded)) std::abort();
  TorCommon_1_3::TorSettings settings;
  std::vector<std::string> notes;
  const zelio::SettingsFile keys(ZelFactory::GetSettingKeys(), ZelFactory::GetKeysWithoutEffect());
  for (const std::string& setting : table.settings) {
    if (!keys.Assign(setting, &settings, &notes).ok()) std::abort();
  }
  if (!table.analysisWeight.empty()) settings.SetString("analysisWeight", table.analysisWeight);
  zelio::HostFields fields;
  zelio::BuildHostFields(loaded.plans, loaded.store, roles, &fields);

  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> whole(factory.CreateTorAlgorithm(settings, fields.variables));
  if (!whole) std::abort();
  zelio::ColumnRecordSource columns(loaded.store, fields.columnOf, zelio::ReadProgress::Silent());
  RecordsOnly records(columns);
  const Outcome expected = Written(*whole, whole->Execute(&records));
  const Outcome cut = InRuns(settings, fields, loaded.store, cuts, tree);
  if (expected.code != cut.code) {
    std::fprintf(stderr, "record by record: status %d; in runs: status %d\n", expected.code,
                 cut.code);
    std::abort();
  }
  const std::string difference = docnumbers::NumbersDiffer(expected.document, cut.document);
  if (!difference.empty()) {
    std::fprintf(stderr, "the documents differ: %s\n", difference.c_str());
    std::abort();
  }
  return 0;
}
