// CsvRows: the rows of a CSV input one at a time, for hosts that handle a
// row at once (apply, inverse): one stream, or any source of chunks
// (several files read as one, CsvFileSequence). They are the chunk
// reader's rows, so every command splits a file alike: the same cells,
// byte-order mark, long rows, line numbers and errors as loading and
// streamed passes. With a helper thread the next chunks are split while the
// caller works through this one. Memory does not grow with the input, only
// with its longest row.
#ifndef ZELCRAFT_IO_CSVROWS_H_
#define ZELCRAFT_IO_CSVROWS_H_

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "io/ChunkPipeline.h"
#include "io/CsvChunk.h"

namespace zelio {

class CsvRows {
 public:
  // `in` (opened in binary mode) must outlive the reader. A stream whose
  // waits ask an interrupt check that is not safe on another thread (a
  // pipe's) must be read without the helper thread.
  CsvRows(std::istream& in, char delimiter, bool threaded,
          std::size_t chunk = CsvChunkReader::kDefaultChunk);
  // The rows of `source`, which must outlive the reader; the same rule on
  // the helper thread holds for the streams it reads.
  CsvRows(ChunkSource& source, bool threaded);

  // Reads the next row into `cells`; the texts stay valid until the next
  // call. False at the end of the input, when the row is malformed or when
  // reading fails; error() is empty only in the first case, and otherwise
  // names the line and column where there is one.
  bool NextRow(std::vector<CsvCell>* cells);
  const std::string& error() const { return error_; }
  // The line on which the row last read starts (1-based).
  int64_t rowLine() const { return line_; }
  // The source's file (CsvChunk::file) of the row last read, or of the
  // error once reading stopped; the line is that file's own.
  std::size_t rowFile() const { return file_; }
  // The error is whole and names its file (one of several files could not
  // be opened, changed or has another header); any other error is the
  // file's to name.
  bool errorNamesFile() const { return errorNamesFile_; }

 private:
  std::unique_ptr<CsvChunkReader> reader_;  // of the stream, when one was given
  ChunkPipeline pipeline_;  // after the reader, which its helper thread reads
  const CsvChunk* chunk_ = nullptr;
  std::size_t next_ = 0;  // the next row of chunk_
  int64_t line_ = 0;
  std::size_t file_ = 0;
  std::string error_;
  bool errorNamesFile_ = false;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_CSVROWS_H_
