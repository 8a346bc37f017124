#include "io/CsvRecordSource.h"

#include <utility>

#include "torcommon13r/TorVariable.h"

namespace zelio {

using namespace TorCommon_1_3;

CsvRecordSource::CsvRecordSource(const CsvSourceFile& file, const std::vector<FieldPlan>& plans,
                                 std::vector<std::size_t> columnOf, ReadProgress& progress)
    : file_(file), columnOf_(std::move(columnOf)), progress_(progress), record_(columnOf_.size()) {
  for (std::size_t c : columnOf_) {
    readers_.emplace_back(plans[c].storage, &plans[c].codes, plans[c].spec, false, plans[c].part);
    cellOf_.push_back(plans[c].fileColumn);
  }
  Rewind();
}

CsvRecordSource::~CsvRecordSource() = default;

void CsvRecordSource::Fail(const std::string& what) {
  const std::size_t file = chunk_ != nullptr ? chunk_->file : 0;
  if (error_.empty()) error_ = file_.paths[file] + ": " + what;
}

void CsvRecordSource::Failed(const char* otherwise) {
  if (chunk_ != nullptr && chunk_->failure.kind == ChunkFailure::Kind::kInput) {
    if (error_.empty()) error_ = chunk_->failure.message;
    return;
  }
  Fail(otherwise);
}

void CsvRecordSource::Rewind() {
  // The pipeline goes first: its helper thread reads through the files.
  pipeline_.reset();
  files_.reset();
  next_ = 0;
  chunk_ = nullptr;
  last_ = false;
  if (!error_.empty()) return;
  files_ = std::make_unique<CsvFileSequence>(file_.paths, file_.delimiter, file_.chunkBytes,
                                             file_.fingerprints);
  const zelstatus::Status opened = files_->Open(nullptr);
  if (!opened.ok()) {
    error_ = opened.message();
    return;
  }
  pipeline_ = std::make_unique<ChunkPipeline>(*files_, file_.threaded);
  if (!NextRow()) Failed("the file changed while it was read");  // the header
}

bool CsvRecordSource::NextRow() {
  if (chunk_ != nullptr && ++row_ < chunk_->rows()) return true;
  while (!last_) {
    chunk_ = &pipeline_->Next();
    row_ = 0;
    last_ = chunk_->last;
    if (chunk_->failure.failed()) return false;
    if (chunk_->rows() > 0) return true;
  }
  chunk_ = nullptr;
  return false;
}

const RawRecord* CsvRecordSource::NextRecord() {
  if (!HasMoreRecords()) return nullptr;
  if (!NextRow()) {
    Failed("the file changed while it was read");
    return nullptr;
  }
  if (chunk_->rowEnds[row_] - chunk_->RowBegin(row_) != file_.columns) {
    Fail("the file changed while it was read");
    return nullptr;
  }
  const std::size_t begin = chunk_->RowBegin(row_);
  for (std::size_t i = 0; i < columnOf_.size(); ++i) {
    const CellReader& reader = readers_[i];
    RawData& value = record_[i];
    switch (reader.Read(chunk_->Cell(begin + cellOf_[i]), &value_)) {
      case CellValue::kInteger:
        value.SetInteger(value_.integer);
        break;
      case CellValue::kDecimal:
      case CellValue::kReal:
        value.SetDouble(value_.Real(), reader.storage());
        break;
      case CellValue::kText:
        value.SetString(value_.text.data(), value_.text.size());
        break;
      case CellValue::kMissing:
        value.SetMissingValue(reader.storage());
        break;
      default:
        Fail("the file changed while it was read");
        return nullptr;
    }
  }
  ++next_;
  if ((next_ & 0xFFF) == 0) progress_.Records(next_);
  if (next_ == file_.rows) {
    CheckEnd();
    if (!error_.empty()) return nullptr;
  }
  return &record_;
}

void CsvRecordSource::CheckEnd() {
  const char* added = "the file changed while it was read: rows were added";
  if (chunk_ != nullptr && row_ + 1 < chunk_->rows()) return Fail(added);
  while (!last_) {
    chunk_ = &pipeline_->Next();
    last_ = chunk_->last;
    if (chunk_->failure.failed()) return Failed("the file changed while it was read");
    if (chunk_->rows() > 0) return Fail(added);
  }
  chunk_ = nullptr;
  // The helper thread has read the last byte; joining it hands over what
  // the files' reads saw.
  pipeline_.reset();
  if (file_.fingerprints.empty()) file_.fingerprints = files_->Fingerprints();
}

}  // namespace zelio
