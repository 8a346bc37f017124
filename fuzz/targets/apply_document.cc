// The document reader of `zelcraft apply` takes any text. A document it
// compiles is replayed as apply replays one: rows of assorted cells (the
// document's own values and labels among them) are decoded into its fields,
// evaluated and written; so is its target inverse, when it has one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/CsvWriter.h"
#include "replay/PreparedWriter.h"
#include "replay/RowDecoder.h"
#include "apply/Document.h"

namespace {

class NullSink : public zelio::ByteSink {
 public:
  bool Write(std::string_view) override { return true; }
};

const char* const kCells[] = {"",           "0",          "1",
                              "-1",         "3.5",        "-0.25",
                              "1e308",      "-1e308",     "9223372036854775807",
                              "2020-02-29", "1969-12-31", "23:59:59.5",
                              "00:00:00",   "abc",        "2021-03-04 05:06:07"};
constexpr std::size_t kFixed = sizeof kCells / sizeof kCells[0];
constexpr std::size_t kMostCells = 64;

// The fixed cells, then the values and labels the document gives its
// fields, so that category maps and user-missing values are met.
std::vector<std::string> CellsFor(const zelapply::Program& program) {
  std::vector<std::string> cells(kCells, kCells + kFixed);
  for (const zelapply::FieldInfo& field : program.fields()) {
    for (const zelapply::FieldValue& value : field.values) {
      if (cells.size() >= kMostCells) return cells;
      cells.push_back(value.value);
      if (!value.displayValue.empty()) cells.push_back(value.displayValue);
    }
  }
  return cells;
}

// Row r gives column c the cell r + c (quoted when r is odd, so that an
// empty cell is the empty text), then evaluates and writes the row.
void Replay(const zelapply::Program& program, zelreplay::RowDecoder& decoder, std::size_t width,
            const std::vector<std::string>& cells, zelreplay::PreparedWriter* prepared) {
  zelapply::Frame frame = program.NewFrame();
  std::vector<zelio::CsvCell> row(width);
  for (std::size_t r = 0; r < cells.size(); ++r) {
    for (std::size_t c = 0; c < width; ++c) row[c] = {cells[(r + c) % cells.size()], r % 2 == 1};
    decoder.Decode(row, static_cast<int64_t>(r + 2), &frame);
    program.Evaluate(&frame);
    if (prepared != nullptr) prepared->WriteRow(frame);
  }
  decoder.Warnings("fuzz.csv");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  zelapply::CompiledDocument document;
  if (!zelapply::CompileDocument(text, &document).ok()) return 0;
  const zelapply::Program& program = *document.program;

  std::vector<zelio::CsvCell> header;
  for (std::size_t i = 0; i < program.inputCount(); ++i) {
    header.push_back({program.fields()[i].name, false});
  }
  const std::vector<std::string> cells = CellsFor(program);
  zelreplay::RowDecoder decoder;
  if (decoder.BindByName(program, document.parts, header, true).ok()) {
    NullSink sink;
    zelio::CsvWriter writer(sink, ',');
    zelreplay::PreparedWriter prepared(program, true, &writer);
    prepared.WriteHeader();
    Replay(program, decoder, header.size(), cells, &prepared);
    writer.Flush();
  }
  if (document.inverse) {
    // The inverse reads one column, as `zelcraft inverse --column` gives it.
    const zelapply::Program& inverse = *document.inverse;
    for (std::size_t i = 0; i < inverse.inputCount(); ++i) {
      if (!inverse.IsRead(i)) continue;
      zelreplay::RowDecoder column;
      column.Bind(inverse, i, 0);
      Replay(inverse, column, 1, cells, nullptr);
    }
  }
  return 0;
}
