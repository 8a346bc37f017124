// PreparedWriter: the prepared data set as CSV: one column per field the
// document marks "enable" (original and derived, in document order, the
// target included), or with every derived field added on request.
#ifndef ZELCRAFT_REPLAY_PREPAREDWRITER_H_
#define ZELCRAFT_REPLAY_PREPAREDWRITER_H_

#include <cstddef>
#include <vector>

#include "apply/Program.h"
#include "io/CsvWriter.h"

namespace zelreplay {

// The fields written, in order: the enabled ones, or with every derived
// field added. The written schema of the prepared data uses the same list.
std::vector<std::size_t> PreparedColumns(const zelapply::Program& program, bool allDerived);

class PreparedWriter {
 public:
  // `program` and `writer` must outlive the object.
  PreparedWriter(const zelapply::Program& program, bool allDerived, zelio::CsvWriter* writer);

  void WriteHeader();
  void WriteRow(const zelapply::Frame& frame);

 private:
  const zelapply::Program& program_;
  zelio::CsvWriter* writer_;
  std::vector<std::size_t> fields_;
};

}  // namespace zelreplay

#endif  // ZELCRAFT_REPLAY_PREPAREDWRITER_H_
