// DataOutputs: where a command writes the rows it makes from its input
// files: the prepared data of `prepare --data-out` and `apply`, the
// inverted predictions of `inverse`. A path is one file with every record,
// in the order of the input files. A path with "{name}" in it is one file
// per input file, "{name}" standing for the input's file name without its
// last extension ("prepared/{name}.csv"): each holds the header and that
// input's records, exactly the rows the single file would hold for it.
// Every output is an OutputFile: complete or not written, committed
// together with the command's other outputs, so at most 1,000 of them.
#ifndef ZELCRAFT_CLI_DATAOUTPUTS_H_
#define ZELCRAFT_CLI_DATAOUTPUTS_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "OutputFile.h"
#include "replay/PreparedData.h"

namespace zelcli {

class DataOutputs {
 public:
  // Resolves and checks the outputs for `inputs` with `prepare` (which
  // refuses a target that is an input); none when `path` is empty. Refused
  // when two inputs would write the same file. `option` names the path in
  // messages ("--data-out").
  zelstatus::Status Prepare(
      const std::string& option, const std::string& path, const std::vector<std::string>& inputs,
      const std::function<zelstatus::Status(const std::string&, OutputFile*)>& prepare);

  bool any() const { return !files_.empty(); }
  bool toStandardOutput() const { return any() && files_.front()->toStandardOutput(); }
  // Whether one of them would write `other`'s file.
  bool SameTarget(const OutputFile& other) const;

  zelstatus::Status Open(TorCommon_1_3::IInterruptCheck* interrupts);
  // The outputs with the records each takes, from the records of each input.
  std::vector<zelreplay::PreparedPart> Parts(const std::vector<int64_t>& inputRows);
  // The outputs in order: one, or one per input.
  std::vector<zelio::ByteSink*> Sinks();
  zelstatus::Status Finish();
  zelstatus::Status Commit();
  // For the summary: the path, or the pattern and how many files.
  std::string Written() const;

 private:
  std::string path_;
  std::vector<std::unique_ptr<OutputFile>> files_;
};

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_DATAOUTPUTS_H_
