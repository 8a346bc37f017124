// RowOutputs: the rows a streaming command writes (apply, inverse), shared
// out to its DataOutputs as `prepare --data-out` shares them: every row in
// the one output, or each input file's rows in that file's own. Every
// output starts with the header, the output of a file without records
// too. The rows go through one CsvWriter, which writes to the output of
// the file being read.
#ifndef ZELCRAFT_CLI_ROWOUTPUTS_H_
#define ZELCRAFT_CLI_ROWOUTPUTS_H_

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "DataOutputs.h"
#include "io/ByteSink.h"
#include "io/CsvWriter.h"

namespace zelcli {

class RowOutputs : private zelio::ByteSink {
 public:
  // `outputs` (prepared) must outlive the object.
  RowOutputs(DataOutputs& outputs, char delimiter);

  // Opens the outputs; `header` writes the header row through writer(),
  // into the first output now and into each later one when it begins.
  zelstatus::Status Open(TorCommon_1_3::IInterruptCheck* interrupts,
                         std::function<void()> header);
  zelio::CsvWriter& writer() { return writer_; }
  // Makes the output of input file `file` the one written: the files come
  // in order, and one output takes them all.
  void Begin(std::size_t file) {
    while (file > current_ && current_ + 1 < sinks_.size()) Next();
  }
  // Begins the outputs no row reached, then hands the rows in the buffer
  // to the output.
  void End();

 private:
  bool Write(std::string_view bytes) override;
  void Next();

  DataOutputs& outputs_;
  std::vector<zelio::ByteSink*> sinks_;
  std::size_t current_ = 0;
  zelio::CsvWriter writer_;
  std::function<void()> header_;
};

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_ROWOUTPUTS_H_
