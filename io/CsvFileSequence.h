// CsvFileSequence: the chunks of several CSV files read as one input, the
// files in the order given and each file's rows in its order. Every file
// has its own reader, so a file without a final line break, with CRLF
// line ends or a byte-order mark of its own reads as it would alone, and a
// row never runs from one file into the next. The input's header is the
// first header found (an empty file has none); every later file's header
// must be the same (HeaderCheck) and is left out of the chunks, so a
// reader sees one header and then the records. Each chunk says which file
// its rows come from, and its line numbers are that file's own.
//
// The first file is opened on the calling thread and may be a pipe, FIFO
// or device when it is the only one; every other file is opened when the
// one before ends, on whatever thread reads, and must be a regular file.
// Given the fingerprints of an earlier whole read, every file must be that
// file again with the same bytes (InputFile); either way no file may change
// while it is read. A file that cannot be opened, differs or changed ends
// the input with a kInput failure whose message names it; a chunk's `file`
// is the index of its file among the paths given.
#ifndef ZELCRAFT_IO_CSVFILESEQUENCE_H_
#define ZELCRAFT_IO_CSVFILESEQUENCE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <istream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "frame/host/HostInterfaces.h"
#include "io/CsvChunk.h"
#include "io/InputFile.h"
#include "status/Status.h"

namespace zelio {

// How a message about the whole input names it: the one file, or the first
// and last of several with how many ("a.csv ... c.csv (3 files)").
std::string SequenceName(const std::vector<std::string>& paths);
// The error of an input where no file has a header row.
zelstatus::Status NoHeaderRow(const std::vector<std::string>& paths);

class CsvFileSequence : public ChunkSource {
 public:
  // `first`: the fingerprints of an earlier whole read of the same files
  // (empty for a first read).
  CsvFileSequence(std::vector<std::string> paths, char delimiter, std::size_t chunkBytes,
                  std::vector<InputFingerprint> first = {});
  // One text in place of files, named `name` in messages; it must outlive
  // the sequence.
  CsvFileSequence(std::string_view text, std::string name, char delimiter,
                  std::size_t chunkBytes);
  ~CsvFileSequence() override;
  CsvFileSequence(const CsvFileSequence&) = delete;
  CsvFileSequence& operator=(const CsvFileSequence&) = delete;

  // Opens the first file; `interrupts` (may be null) is asked while a pipe
  // has nothing to read, on the thread that reads it. A failure names the
  // file.
  zelstatus::Status Open(TorCommon_1_3::IInterruptCheck* interrupts);
  void Next(CsvChunk* chunk) override;

  // The first file is a pipe, FIFO or device, which gives its bytes once.
  bool Unrepeatable() const;
  // The size of the regular files, all of them.
  int64_t TotalBytes() const;
  // What the reads of the files that ended saw, in order.
  const std::vector<InputFingerprint>& Fingerprints() const { return seen_; }

 private:
  // Opens file `file_`; a failure names the file.
  zelstatus::Status OpenFile(TorCommon_1_3::IInterruptCheck* interrupts);
  // The first header is kept; a later one is checked and taken out of `chunk`.
  bool TakeHeader(CsvChunk* chunk);
  // After the last chunk of file `file_`: empty when it did not change
  // while it was read, else why, naming it.
  std::string EndFile();
  void Fail(CsvChunk* chunk, const std::string& message);

  std::vector<std::string> paths_;
  char delimiter_;
  std::size_t chunkBytes_;
  std::vector<InputFingerprint> first_;
  std::string_view text_;
  bool fromText_ = false;
  // A text is read in place, never copied.
  std::unique_ptr<std::streambuf> textBuffer_;
  std::unique_ptr<std::istream> textIn_;
  std::unique_ptr<InputFile> in_;
  std::unique_ptr<CsvChunkReader> reader_;
  std::size_t file_ = 0;
  bool headerTaken_ = false;  // of file_
  std::vector<std::string> header_;
  std::size_t headerFile_ = 0;
  bool haveHeader_ = false;
  bool failed_ = false;
  std::string pending_;  // a failure to hand out after the rows in hand
  std::vector<InputFingerprint> seen_;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_CSVFILESEQUENCE_H_
