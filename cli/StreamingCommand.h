// StreamingCommand: what the commands that stream a CSV file through a
// document share: reading and compiling the document, the output (standard
// output, or a file written atomically), and the loop over the data rows
// with its width check, Ctrl-C and progress line.
#ifndef ZELCRAFT_CLI_STREAMINGCOMMAND_H_
#define ZELCRAFT_CLI_STREAMINGCOMMAND_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "CsvStreamReader.h"
#include "ProgressLine.h"
#include "apply/Document.h"
#include "frame/host/HostInterfaces.h"

namespace zelcli {

// The error names the file, and the element and line for a bad document.
bool LoadDocument(const std::string& path, zelapply::CompiledDocument* document,
                  std::string* error);

// Standard output when the path is empty, else a file that appears only
// once committed.
class OutputTarget {
 public:
  bool Open(const std::string& path, std::string* error);
  ByteSink& sink() { return file_ ? static_cast<ByteSink&>(*file_) : standardOutput_; }
  bool Commit(std::string* error);

 private:
  DescriptorSink standardOutput_{1};
  std::unique_ptr<AtomicOutput> file_;
};

enum class RowsResult { kDone, kInputError, kInterrupted };

// Hands every row after the header to `row` (its cells and the line it
// starts on). A row whose width differs from the header's, or a malformed
// one, is an input error.
RowsResult ForEachRow(CsvStreamReader& reader, std::size_t width,
                      TorCommon_1_3::IInterruptCheck& interrupts, ProgressLine& progress,
                      const std::function<void(const std::vector<CsvCell>&, int64_t)>& row,
                      std::string* error);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_STREAMINGCOMMAND_H_
