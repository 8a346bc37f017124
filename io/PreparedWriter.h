// PreparedWriter: the prepared data set as CSV: one column per field the
// document marks "enable" (original and derived, in document order, the
// target included), or with every derived field added on request.
#ifndef ZELCRAFT_IO_PREPAREDWRITER_H_
#define ZELCRAFT_IO_PREPAREDWRITER_H_

#include <cstddef>
#include <vector>

#include "io/CsvWriter.h"
#include "apply/Program.h"

namespace zelio {

// The fields written, in order: the enabled ones, or with every derived
// field added. The written schema of the prepared data uses the same list.
std::vector<std::size_t> PreparedColumns(const zelapply::Program& program, bool allDerived);

class PreparedWriter {
 public:
  // `program` and `writer` must outlive the object.
  PreparedWriter(const zelapply::Program& program, bool allDerived, CsvWriter* writer);

  void WriteHeader();
  void WriteRow(const zelapply::Frame& frame);

 private:
  const zelapply::Program& program_;
  CsvWriter* writer_;
  std::vector<std::size_t> fields_;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_PREPAREDWRITER_H_
