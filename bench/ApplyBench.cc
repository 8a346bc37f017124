// Replaying a preparation document: the compiled per-row evaluation alone,
// and the whole of `zelcraft apply` on rows held in memory (reading the
// cells, evaluating, writing the prepared row). Both run on the example
// data set that scripts/run-example.sh writes into examples/out/.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "io/CsvRows.h"
#include "io/CsvWriter.h"
#include "io/FileText.h"
#include "replay/PreparedWriter.h"
#include "replay/RowDecoder.h"
#include "apply/Document.h"

namespace {

// Counts the bytes it is given and keeps none.
class NullSink : public zelio::ByteSink {
 public:
  bool Write(std::string_view bytes) override {
    written += bytes.size();
    return true;
  }
  std::size_t written = 0;
};

struct Example {
  zelapply::CompiledDocument document;
  std::string csv;
  bool ok = false;
};

const Example& LoadExample() {
  static Example example = [] {
    Example e;
    const std::string dir = std::string(ZEL_SOURCE_DIR) + "/examples/out/";
    std::string pmml;
    e.ok = zelio::ReadFileText(dir + "customers.pmml", &pmml).ok() &&
           zelio::ReadFileText(dir + "customers.csv", &e.csv).ok() &&
           zelapply::CompileDocument(pmml, &e.document).ok();
    return e;
  }();
  return example;
}

// Every row of the example decoded into its own frame.
bool DecodeRows(const Example& example, std::vector<zelapply::Frame>* frames) {
  const zelapply::Program& program = *example.document.program;
  std::istringstream in(example.csv);
  zelio::CsvRows reader(in, ',', false);
  std::vector<zelio::CsvCell> cells;
  zelreplay::RowDecoder decoder;
  const auto& parts = example.document.parts;
  if (!reader.NextRow(&cells) || !decoder.BindByName(program, parts, cells, false).ok()) {
    return false;
  }
  while (reader.NextRow(&cells)) {
    frames->push_back(program.NewFrame());
    decoder.Decode(cells, reader.rowLine(), &frames->back());
  }
  return !frames->empty();
}

void BM_EvaluateRow(benchmark::State& state) {
  const Example& example = LoadExample();
  std::vector<zelapply::Frame> frames;
  if (!example.ok || !DecodeRows(example, &frames)) {
    state.SkipWithError("no example document: run scripts/run-example.sh first");
    return;
  }
  const zelapply::Program& program = *example.document.program;
  std::size_t i = 0;
  for (auto _ : state) {
    zelapply::Frame& frame = frames[i++ % frames.size()];
    program.Evaluate(&frame);
    benchmark::DoNotOptimize(frame[program.fields().size() - 1]);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvaluateRow);

void BM_ApplyFile(benchmark::State& state) {
  const Example& example = LoadExample();
  if (!example.ok) {
    state.SkipWithError("no example document: run scripts/run-example.sh first");
    return;
  }
  const zelapply::Program& program = *example.document.program;
  int64_t rows = 0;
  for (auto _ : state) {
    std::istringstream in(example.csv);
    zelio::CsvRows reader(in, ',', false);
    std::vector<zelio::CsvCell> cells;
    zelreplay::RowDecoder decoder;
    reader.NextRow(&cells);
    decoder.BindByName(program, example.document.parts, cells, false);
    NullSink sink;
    zelio::CsvWriter writer(sink, ',');
    zelreplay::PreparedWriter prepared(program, false, &writer);
    zelapply::Frame frame = program.NewFrame();
    while (reader.NextRow(&cells)) {
      decoder.Decode(cells, reader.rowLine(), &frame);
      program.Evaluate(&frame);
      prepared.WriteRow(frame);
      ++rows;
    }
    writer.Flush();
    benchmark::DoNotOptimize(sink.written);
  }
  state.SetItemsProcessed(rows);
}
BENCHMARK(BM_ApplyFile)->Unit(benchmark::kMillisecond);

}  // namespace
