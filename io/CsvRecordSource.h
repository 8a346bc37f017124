// CsvRecordSource: the record source of a streamed build. Every pass reads
// the CSV file (or the files read as one, CsvFileSequence) again, in chunks split on a helper thread while the
// component works through the previous one, and turns each row into a
// record with the same cell readers as the loader, so the records are those
// the columns in memory would give. Memory grows with the fields, not the
// rows. A file that no longer matches what the first read found ends the
// pass, and error() says so: another file in its place, another size or
// modification time at reopening, fewer or more rows, a row that does not
// read, or, at the end of each file, bytes that differ from the first
// read's (InputFile); the message names the file. The first read is the loader's when its fingerprint is
// given, else the source's own first pass.
#ifndef ZELCRAFT_IO_CSVRECORDSOURCE_H_
#define ZELCRAFT_IO_CSVRECORDSOURCE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "io/CellReader.h"
#include "io/ChunkPipeline.h"
#include "io/CsvFileSequence.h"
#include "io/FieldPlan.h"
#include "io/InputFile.h"
#include "io/ReadProgress.h"
#include "frame/host/HostInterfaces.h"

namespace zelio {

struct CsvSourceFile {
  std::vector<std::string> paths;  // read as one data set, in order
  char delimiter = ',';
  int64_t rows = 0;  // the records the first read found
  std::size_t columns = 0;  // of the file
  bool threaded = true;
  std::size_t chunkBytes = CsvChunkReader::kDefaultChunk;
  std::vector<InputFingerprint> fingerprints;  // of the first read, when known
};

class CsvRecordSource : public TorCommon_1_3::IRecordSource {
 public:
  // Field i of each record is column columnOf[i], read as plans[columnOf[i]]
  // from the file's column that plan names; the plans and the progress line
  // must outlive the source.
  CsvRecordSource(const CsvSourceFile& file, const std::vector<FieldPlan>& plans,
                  std::vector<std::size_t> columnOf, ReadProgress& progress);
  ~CsvRecordSource() override;

  bool HasMoreRecords() override { return error_.empty() && next_ < file_.rows; }
  int64_t GetRecordCount() const override { return file_.rows; }
  void Rewind() override;
  const TorCommon_1_3::RawRecord* NextRecord() override;

  // Empty while the file reads as it did.
  const std::string& error() const { return error_; }

 private:
  bool NextRow();
  void Fail(const std::string& what);
  // Why reading stopped at the chunk in hand.
  void Failed(const char* otherwise);
  // After the last record: the rest of the file holds no row, and the pass
  // read what the first read did.
  void CheckEnd();

  CsvSourceFile file_;
  std::vector<std::size_t> columnOf_;
  std::vector<CellReader> readers_;
  std::vector<std::size_t> cellOf_;  // field i's column of the file
  ReadProgress& progress_;
  std::unique_ptr<CsvFileSequence> files_;
  std::unique_ptr<ChunkPipeline> pipeline_;
  const CsvChunk* chunk_ = nullptr;
  std::size_t row_ = 0;  // in chunk_
  bool last_ = false;    // chunk_ is the last one
  TorCommon_1_3::RawRecord record_;
  CellValue value_;
  int64_t next_ = 0;
  std::string error_;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_CSVRECORDSOURCE_H_
