// StreamInput: the CSV files a streaming command (apply, inverse) reads
// row by row, one file or several read as one as `prepare` reads them
// (CsvFileSequence): the header is the first file's that has one, every
// later file must have the same (HeaderCheck), and each row keeps its own
// file and line. A pipe, FIFO or device is read only as the one input.
#ifndef ZELCRAFT_CLI_STREAMINPUT_H_
#define ZELCRAFT_CLI_STREAMINPUT_H_

#include <memory>
#include <string>
#include <vector>

#include "Interrupts.h"
#include "io/CsvFileSequence.h"
#include "io/CsvRows.h"
#include "status/Status.h"

namespace zelcli {

class StreamInput {
 public:
  // Opens the first of `paths`, waiting on a pipe in polls that a stop
  // signal ends. A failure names the file.
  zelstatus::Status Open(const std::vector<std::string>& paths, char delimiter,
                         Interrupts& interrupts);
  // Reads the header row. A failure names the file, or all of them when
  // none has a header; kInterrupted when a stop signal ended the wait.
  zelstatus::Status ReadHeader(std::vector<zelio::CsvCell>* header);

  zelio::CsvRows& rows() { return *rows_; }
  const std::vector<std::string>& paths() const { return paths_; }
  // The file the row last read (or the error) comes from.
  const std::string& rowPath() const { return paths_[rows_->rowFile()]; }
  // Why reading stopped early, named by its file.
  std::string Error() const;

 private:
  std::vector<std::string> paths_;
  Interrupts* interrupts_ = nullptr;
  std::unique_ptr<zelio::CsvFileSequence> files_;
  std::unique_ptr<zelio::CsvRows> rows_;  // after the files, which it reads
};

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_STREAMINPUT_H_
