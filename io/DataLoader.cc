#include "io/DataLoader.h"

#include <unistd.h>

#include <cmath>
#include <memory>
#include <optional>
#include <set>

#include "io/CellParser.h"
#include "io/CellReader.h"
#include "io/ChunkPipeline.h"
#include "io/CsvFileSequence.h"
#include "io/TypeInference.h"
#include "io/WeightTally.h"
#include "torcommon13r/TorVariable.h"

namespace zelio {

namespace {

using zelstatus::Status;

using namespace TorCommon_1_3;

bool IsNumber(CellValue::Kind kind) {
  return kind == CellValue::kInteger || kind == CellValue::kDecimal || kind == CellValue::kReal;
}

double Number(const CellValue& value) {
  return value.kind == CellValue::kInteger ? static_cast<double>(value.integer) : value.Real();
}

// What the loader knows of one column while reading.
struct ColumnLoad {
  const FieldSpec* spec = nullptr;
  bool declared = false;  // the schema gives the storage: every cell must fit it
  CategoryCodes codes;    // ordinal text with categories: read as codes once text
  int storage = kStorageInteger;  // the storage the cells so far allow
  TypeInference inference;
  bool lossy = false;         // holds what a text column would hold differently
  bool negativeZero = false;  // a whole number written "-0", which a real keeps negative
  bool reread = false;        // turned text after holding values: read again

  // Text with categories goes over as their codes.
  int ColumnStorage() const {
    return storage == kStorageString && !codes.empty() ? kStorageInteger : storage;
  }
  // While the storage is inferred, cells must have its exact form.
  CellReader Reader() const {
    return CellReader(ColumnStorage(), storage == kStorageString ? &codes : nullptr, spec,
                      !declared);
  }
};

class Loader {
 public:
  // `text`, when not null, is the file's text, which must outlive the loader.
  Loader(const LoadRequest& request, const std::string_view* text, IInterruptCheck& interrupts,
         ReadProgress& progress, LoadedData* data)
      : request_(request), text_(text), interrupts_(interrupts), progress_(progress), data_(data) {}

  Status Run();

 private:
  // A failure of the file that rows come from now.
  // The file's fault, named after its path; at `line` when one is known.
  Status Fail(const std::string& what, int64_t line = 0) const {
    return Status::InvalidInput(request_.paths[file_] + ": " + what, line);
  }
  // A failure of the whole input, which several files share.
  Status FailAll(const std::string& what, const std::string& several) const {
    return Status::InvalidInput(SequenceName(request_.paths) + ": " +
                                (request_.paths.size() == 1 ? what : several));
  }
  // Why reading stopped at `chunk`.
  Status Failed(const CsvChunk& chunk) const {
    if (chunk.failure.kind == ChunkFailure::Kind::kInput) {
      return Status::InvalidInput(chunk.failure.message);
    }
    if (chunk.failure.kind == ChunkFailure::Kind::kUnreadable) {
      return Status::InputOutput(request_.paths[file_] + ": cannot read the file");
    }
    return Fail(chunk.failure.message);
  }
  // Opens the input for a read: the files, or the text when it was given.
  Status Open(const std::vector<InputFingerprint>& first);
  // A pipe, FIFO or device, which gives its bytes once.
  bool Unrepeatable() const { return files_->Unrepeatable(); }
  Status ReadHeader(const CsvChunk& chunk);
  void AddRows(const CsvChunk& chunk, std::size_t first);
  void AddColumn(std::size_t c, const CsvChunk& chunk, std::size_t first);
  void AddWeightColumn(std::size_t c, const CsvChunk& chunk, std::size_t first, bool frequency,
                       bool analysis);
  // The kind of the cell's value, which stays in value_ until the next cell.
  CellValue::Kind AddCell(std::size_t c, const CsvCell& cell, int64_t row, int64_t line);
  void Store(std::size_t c, const CellValue& value);
  void NoteBadCell(int64_t row, std::size_t c, std::string_view text, int64_t line,
                   bool categories);
  void NoteError(int64_t row, std::size_t c, const std::string& message);
  void TallyWeights(int64_t row, int64_t line, std::size_t k);
  void Switch(std::size_t c, int storage);
  void Estimate(const CsvChunk& chunk);
  void StopStoring();
  Status Plan();
  Status ReadAgain(const std::vector<std::size_t>& columns);

  const LoadRequest& request_;
  const std::string_view* text_;
  std::unique_ptr<CsvFileSequence> files_;  // the read under way
  std::size_t file_ = 0;  // the file the rows in hand come from
  IInterruptCheck& interrupts_;
  ReadProgress& progress_;
  LoadedData* data_;
  std::vector<ColumnLoad> loads_;
  std::vector<CellReader> readers_;
  // The weights are tallied as the component will take them, row by row.
  std::vector<FieldPlan> specs_;  // names and schema entries only
  std::unique_ptr<WeightTally> weights_;
  // The weight values of the chunk's rows; NaN when missing.
  std::vector<double> frequencies_;
  std::vector<double> analyses_;
  bool storing_ = true;
  bool estimated_ = false;
  int64_t fileSize_ = 0;
  // The first cell, by row and column, that does not fit its storage, or
  // the first row whose weights the component cannot count.
  std::string storageError_;
  int64_t errorRow_ = -1;
  std::size_t errorColumn_ = 0;
  CellValue value_;
};

Status Loader::Open(const std::vector<InputFingerprint>& first) {
  file_ = 0;
  if (text_ != nullptr) {
    files_ = std::make_unique<CsvFileSequence>(*text_, request_.paths[0], request_.delimiter,
                                               request_.chunkBytes);
  } else {
    files_ = std::make_unique<CsvFileSequence>(request_.paths, request_.delimiter,
                                               request_.chunkBytes, first);
  }
  return files_->Open(&interrupts_);
}

Status Loader::ReadHeader(const CsvChunk& chunk) {
  std::vector<std::string>& names = data_->store.names;
  std::set<std::string_view> seen;
  for (std::size_t i = 0; i < chunk.rowEnds[0]; ++i) {
    const std::string_view name = chunk.Cell(i).text;
    const std::string where = "line 1, column " + std::to_string(i + 1) + ": ";
    if (name.empty()) return Fail(where + "empty field name", 1);
    if (!seen.insert(name).second) {
      return Fail(where + "duplicate field name " + QuoteCell(name), 1);
    }
    names.emplace_back(name);
  }
  data_->fileColumns = names.size();
  const Schema& schema = *request_.schema;
  const Status named = CheckSchemaNames(names, schema);
  if (!named.ok()) return named;
  loads_.resize(names.size());
  for (std::size_t c = 0; c < names.size(); ++c) {
    ColumnLoad& load = loads_[c];
    load.spec = schema.Find(names[c]);
    if (load.spec != nullptr && load.spec->storage) {
      load.declared = true;
      load.storage = *load.spec->storage;
    } else if (request_.storages != nullptr && c < request_.storages->size()) {
      load.declared = true;
      load.storage = (*request_.storages)[c];
    }
    if (load.spec != nullptr && load.spec->level == Level::kOrdinal) {
      int64_t code = 0;
      for (const std::string& category : load.spec->categories) load.codes[category] = ++code;
    }
    data_->store.columns.emplace_back(load.ColumnStorage());
    readers_.push_back(load.Reader());
    specs_.emplace_back();
    specs_.back().name = names[c];
    specs_.back().SetSpec(load.spec);
  }
  weights_ = std::make_unique<WeightTally>(specs_, request_.roles);
  return Status();
}

void Loader::Store(std::size_t c, const CellValue& value) {
  Column& column = data_->store.columns[c];
  switch (value.kind) {
    case CellValue::kInteger:
      if (storing_) column.AppendInteger(value.integer);
      break;
    case CellValue::kDecimal:
      if (storing_) column.AppendDecimal(value.integer, value.decimals);
      break;
    case CellValue::kReal:
      if (storing_) column.AppendDouble(value.real);
      break;
    case CellValue::kText:
      if (storing_) {
        column.AppendText(value.text);
      } else {
        column.CountText(value.text);
      }
      break;
    default:  // missing, or a bad cell that fails the load
      if (storing_) column.AppendMissing();
      break;
  }
}

// A column whose cells no longer allow its storage.
void Loader::Switch(std::size_t c, int storage) {
  ColumnLoad& load = loads_[c];
  const int previous = load.storage;
  load.storage = storage;
  readers_[c] = load.Reader();
  if (load.reread) return;
  Column& column = data_->store.columns[c];
  if (!load.lossy) {
    // Only empty cells so far: they are missing in any storage.
    const std::size_t rows = column.size();
    column = Column(load.ColumnStorage());
    for (std::size_t i = 0; i < rows; ++i) column.AppendMissing();
  } else if (previous == kStorageInteger && storage == kStorageReal && !load.negativeZero) {
    column.IntegersToReals();
  } else {
    load.reread = true;
    column = Column(load.ColumnStorage());
  }
}

CellValue::Kind Loader::AddCell(std::size_t c, const CsvCell& cell, int64_t row, int64_t line) {
  ColumnLoad& load = loads_[c];
  const std::string_view text = cell.text;
  const bool inferring = !load.declared && load.storage != kStorageString;
  CellValue::Kind kind = readers_[c].Read(cell, &value_);
  if (inferring && !text.empty()) {
    if (kind != CellValue::kBad) {
      load.inference.AddParsed();
      if (kind == CellValue::kInteger && value_.integer == 0 && text[0] == '-') {
        load.negativeZero = true;
      }
    } else {
      load.inference.Add(text);
      Switch(c, load.inference.Current());
      kind = readers_[c].Read(cell, &value_);
    }
  }
  if (kind == CellValue::kBad) {
    NoteBadCell(row, c, text, line, load.storage == kStorageString);
  }
  if (!load.reread) Store(c, value_);
  if (!text.empty() || cell.quoted) load.lossy = true;
  return kind;
}

void Loader::TallyWeights(int64_t row, int64_t line, std::size_t k) {
  // Past the first error the totals no longer matter.
  if (errorRow_ >= 0) return;
  const double* frequency = std::isnan(frequencies_[k]) ? nullptr : &frequencies_[k];
  const double* analysis = std::isnan(analyses_[k]) ? nullptr : &analyses_[k];
  const Status tallied = weights_->AddRow(frequency, analysis, SourceLocation::Line(line));
  if (!tallied.ok()) NoteError(row, loads_.size(), tallied.message());
}

void Loader::NoteError(int64_t row, std::size_t c, const std::string& message) {
  if (errorRow_ >= 0 && (errorRow_ < row || (errorRow_ == row && errorColumn_ < c))) return;
  errorRow_ = row;
  errorColumn_ = c;
  storageError_ = request_.paths[file_] + ": " + message;
}

void Loader::NoteBadCell(int64_t row, std::size_t c, std::string_view text, int64_t line,
                         bool categories) {
  const std::string expected =
      categories ? "one of its categories" : StorageNoun(data_->store.columns[c].storage());
  NoteError(row, c,
            "line " + std::to_string(line) + ", column " + std::to_string(c + 1) + ": " +
                QuoteCell(text) + " is not " + expected + " (field '" + data_->store.names[c] +
                "')");
}

namespace {

// What a column's cells take when nothing is unusual about them: parsed
// and appended without the general cell path.
enum class Settled { kNone, kInteger, kDecimal, kText };

}  // namespace

// The cells of one column of the chunk. While the column's storage stays,
// a whole number, a short decimal or a text is appended as it is parsed;
// any other cell (missing, quoted empty, a negative zero, a cell that turns
// the inferred storage) takes the general path, after which the column's
// state is looked at again.
void Loader::AddColumn(std::size_t c, const CsvChunk& chunk, std::size_t first) {
  ColumnLoad& load = loads_[c];
  Column& column = data_->store.columns[c];
  const std::size_t width = loads_.size();
  const std::size_t count = chunk.rows() - first;
  std::size_t index = chunk.RowBegin(first) + c;
  auto settle = [&] {
    if (!storing_ || load.reread || !load.codes.empty()) return Settled::kNone;
    switch (load.storage) {
      case kStorageInteger: return Settled::kInteger;
      case kStorageReal: return Settled::kDecimal;
      case kStorageString: return Settled::kText;
      default: return Settled::kNone;
    }
  };
  Settled settled = settle();
  bool parsed = false;  // cells read as the inferred storage, not yet told to the inference
  for (std::size_t k = 0; k < count; ++k, index += width) {
    const CsvCell cell = chunk.Cell(index);
    const std::string_view text = cell.text;
    if (!text.empty()) {
      if (settled == Settled::kText) {
        column.AppendText(text);
        load.lossy = true;
        continue;
      }
      if (settled == Settled::kInteger) {
        int64_t value;
        if (ParseInteger(text, &value) && (value != 0 || text[0] != '-')) {
          column.AppendInteger(value);
          parsed = true;
          continue;
        }
      } else if (settled == Settled::kDecimal) {
        int64_t mantissa;
        int decimals;
        if (ParseShortDecimal(text, &mantissa, &decimals)) {
          column.AppendDecimal(mantissa, decimals);
          parsed = true;
          continue;
        }
      }
    }
    if (parsed) {
      if (!load.declared) load.inference.AddParsed();
      load.lossy = true;
      parsed = false;
    }
    AddCell(c, cell, data_->rows + static_cast<int64_t>(k), chunk.lines[first + k]);
    settled = settle();
  }
  if (parsed) {
    if (!load.declared) load.inference.AddParsed();
    load.lossy = true;
  }
}

// A weight column keeps its values as numbers too, for the tally.
void Loader::AddWeightColumn(std::size_t c, const CsvChunk& chunk, std::size_t first,
                             bool frequency, bool analysis) {
  const std::size_t count = chunk.rows() - first;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t r = first + k;
    const CellValue::Kind kind = AddCell(c, chunk.Cell(chunk.RowBegin(r) + c),
                                         data_->rows + static_cast<int64_t>(k), chunk.lines[r]);
    const double weight = IsNumber(kind) ? Number(value_) : std::nan("");
    if (frequency) frequencies_[k] = weight;
    if (analysis) analyses_[k] = weight;
  }
}

// Column by column: each column's storage and reader stay the same over
// its cells, which costs less than turning from column to column per row.
void Loader::AddRows(const CsvChunk& chunk, std::size_t first) {
  const std::size_t count = chunk.rows() - first;
  frequencies_.assign(count, std::nan(""));
  analyses_.assign(count, std::nan(""));
  for (std::size_t c = 0; c < loads_.size(); ++c) {
    const auto column = static_cast<std::ptrdiff_t>(c);
    const bool frequency = column == weights_->frequencyColumn();
    const bool analysis = column == weights_->analysisColumn();
    if (frequency || analysis) {
      AddWeightColumn(c, chunk, first, frequency, analysis);
    } else {
      AddColumn(c, chunk, first);
    }
  }
  if (weights_->frequencyColumn() >= 0 || weights_->analysisColumn() >= 0) {
    for (std::size_t k = 0; k < count; ++k) {
      TallyWeights(data_->rows + static_cast<int64_t>(k), chunk.lines[first + k], k);
    }
  }
  data_->rows += static_cast<int64_t>(count);
}

void Loader::StopStoring() {
  storing_ = false;
  data_->streamed = true;
  for (Column& column : data_->store.columns) column.DropValues();
}

// Sizes the columns from the first chunk: its rows per byte, its bytes per row.
void Loader::Estimate(const CsvChunk& chunk) {
  estimated_ = true;
  if (!storing_ || data_->rows == 0 || chunk.bytesRead == 0) return;
  const double rowsPerByte =
      static_cast<double>(data_->rows) / static_cast<double>(chunk.bytesRead);
  const auto rows = static_cast<std::size_t>(rowsPerByte * static_cast<double>(fileSize_) * 1.02) +
                    1024;
  const double bytesPerRow = static_cast<double>(data_->store.MemoryBytes()) /
                             static_cast<double>(data_->rows);
  if (request_.memoryLimit > 0 &&
      bytesPerRow * static_cast<double>(rows) > static_cast<double>(request_.memoryLimit)) {
    StopStoring();
    return;
  }
  for (Column& column : data_->store.columns) column.Reserve(rows);
}

Status Loader::Plan() {
  std::vector<int> inferred;
  for (const ColumnLoad& load : loads_) {
    data_->inference.push_back(load.inference);
    inferred.push_back(load.declared ? load.storage : load.inference.Result());
  }
  return PlanFields(data_->store.names, inferred, *request_.schema, request_.roles, &data_->plans);
}

Status Loader::ReadAgain(const std::vector<std::size_t>& columns) {
  if (Unrepeatable()) {
    return Fail("the column " + QuoteCell(data_->store.names[columns[0]]) +
                " holds text after values read as numbers and must be read again, which a "
                "pipe, FIFO or device cannot give: declare its storage \"string\" in the "
                "schema, or give a regular file");
  }
  progress_.StartPhase("reading again");
  const Status opened = Open(data_->fingerprints);
  if (!opened.ok()) return opened;
  std::vector<CellReader> readers;
  for (std::size_t c : columns) {
    const FieldPlan& plan = data_->plans[c];
    readers.emplace_back(plan.storage, &plan.codes, plan.spec);
  }
  ChunkPipeline pipeline(*files_, request_.threaded);
  // A read stopped at a row limit is read again as far as it went.
  const bool limited = request_.maxRows > 0;
  int64_t rows = -1;  // the header comes first
  for (;;) {
    const CsvChunk& chunk = pipeline.Next();
    file_ = chunk.file;
    for (std::size_t r = 0; r < chunk.rows(); ++r, ++rows) {
      if (rows < 0) continue;
      if (limited && rows == data_->rows) break;
      const std::size_t begin = chunk.RowBegin(r);
      if (chunk.rowEnds[r] - begin != loads_.size() || rows >= data_->rows) {
        return Fail("the file changed while it was read");
      }
      for (std::size_t k = 0; k < columns.size(); ++k) {
        const CsvCell cell = chunk.Cell(begin + columns[k]);
        if (readers[k].Read(cell, &value_) == CellValue::kBad) {
          // Only categories can be refused here: numbers read before the text.
          NoteBadCell(rows, columns[k], cell.text, chunk.lines[r], true);
        }
        Store(columns[k], value_);
      }
    }
    if (chunk.failure.kind == ChunkFailure::Kind::kInput) return Failed(chunk);
    if (chunk.failure.failed() || rows < 0) return Fail("the file changed while it was read");
    if (interrupts_.IsInterrupted()) return Status::Interrupted();
    progress_.Records(rows);
    if (chunk.last || (limited && rows == data_->rows)) break;
  }
  if (rows != data_->rows) return Fail("the file changed while it was read");
  return Status();
}

Status Loader::Run() {
  const Status opened = Open({});
  if (!opened.ok()) return opened;
  if (Unrepeatable() && request_.stream) {
    return Fail("a streamed run reads its data again for every pass, which a pipe, FIFO or "
                "device cannot give: give a regular file, or read the data into memory "
                "without streaming");
  }
  fileSize_ = files_->TotalBytes();
  if (request_.stream) StopStoring();
  progress_.StartPhase("reading");
  data_->fileRows.assign(request_.paths.size(), 0);
  // A pipe is read on the calling thread: its waits ask the host's interrupt
  // check, which need not be safe to call from another thread.
  std::optional<ChunkPipeline> pipeline;
  pipeline.emplace(*files_, request_.threaded && !Unrepeatable());
  bool header = true;
  for (;;) {
    const CsvChunk& chunk = pipeline->Next();
    file_ = chunk.file;
    // A stop while a pipe had nothing to read ends its stream early.
    if (interrupts_.IsInterrupted()) return Status::Interrupted();
    std::size_t r = 0;
    if (header && chunk.rows() > 0) {
      const Status named = ReadHeader(chunk);
      if (!named.ok()) return named;
      header = false;
      r = 1;
    }
    // A row of the wrong width fails the load whatever comes before it.
    for (std::size_t w = r; w < chunk.rows(); ++w) {
      const std::size_t width = chunk.rowEnds[w] - chunk.RowBegin(w);
      if (width != loads_.size()) {
        return Fail("line " + std::to_string(chunk.lines[w]) + ": " + std::to_string(width) +
                        " cells where the header has " + std::to_string(loads_.size()),
                    chunk.lines[w]);
      }
    }
    if (r < chunk.rows()) {
      data_->fileRows[chunk.file] += static_cast<int64_t>(chunk.rows() - r);
      AddRows(chunk, r);
    }
    if (chunk.failure.failed()) return Failed(chunk);
    if (header) {
      return NoHeaderRow(request_.paths);
    }
    if (!estimated_) Estimate(chunk);
    if (storing_ && request_.memoryLimit > 0 &&
        data_->store.MemoryBytes() > request_.memoryLimit) {
      StopStoring();
    }
    if (!storing_ && Unrepeatable()) {
      return Status::LimitExceeded(
          request_.paths[file_] + ": the columns would take more than the memory limit of " +
          std::to_string(request_.memoryLimit) +
          " bytes, and a streamed run reads its data again for every pass, which a "
          "pipe, FIFO or device cannot give: give a regular file or a higher limit");
    }
    if (interrupts_.IsInterrupted()) return Status::Interrupted();
    progress_.Records(data_->rows);
    if (chunk.last || (request_.maxRows > 0 && data_->rows >= request_.maxRows)) break;
  }
  // A read stopped at a row limit leaves the helper reading ahead: it ends
  // before the files are looked at or read again.
  pipeline.reset();
  if (text_ == nullptr) data_->fingerprints = files_->Fingerprints();
  if (data_->rows == 0) {
    return FailAll("the file has a header row but no records",
                   "the files have a header row but no records");
  }
  const Status planned = Plan();
  if (!planned.ok()) return planned;

  // Columns whose final storage differs from what they hold: all-missing
  // ones are rebuilt here, the others read again.
  std::vector<std::size_t> again;
  for (std::size_t c = 0; c < loads_.size(); ++c) {
    const FieldPlan& plan = data_->plans[c];
    Column& column = data_->store.columns[c];
    const bool needsValues = storing_ || plan.storage == kStorageString;
    if (!loads_[c].reread && column.storage() == plan.storage) continue;
    if (!loads_[c].lossy || !needsValues) {
      const std::size_t rows = storing_ ? static_cast<std::size_t>(data_->rows) : 0;
      column = Column(plan.storage);
      for (std::size_t i = 0; i < rows; ++i) column.AppendMissing();
    } else {
      column = Column(plan.storage);
      again.push_back(c);
    }
  }
  if (!again.empty()) {
    const Status read = ReadAgain(again);
    if (!read.ok()) return read;
  }
  if (!storageError_.empty()) return Status::InvalidInput(storageError_);
  for (Column& column : data_->store.columns) {
    column.ShrinkToFit();
    column.PrepareReading();
  }
  progress_.Records(data_->rows);
  data_->droppedRecords = weights_->dropped();
  return Status();
}

}  // namespace

uint64_t DefaultMemoryLimit() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 2;
}

Status LoadCsv(const LoadRequest& request, IInterruptCheck& interrupts, ReadProgress& progress,
               LoadedData* data) {
  Loader loader(request, nullptr, interrupts, progress, data);
  return loader.Run();
}

Status LoadCsvText(const LoadRequest& request, std::string_view text, IInterruptCheck& interrupts,
                   ReadProgress& progress, LoadedData* data) {
  Loader loader(request, &text, interrupts, progress, data);
  return loader.Run();
}

}  // namespace zelio
