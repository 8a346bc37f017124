// Replay: a preparation document compiled once and replayed on a host's
// columns, row by row, as `zelcraft apply` replays it on a file: each input
// read by its field's type with the command's rules (texts parsed as the
// file's cells would be, the labels of coded categories included), user-
// missing values applied, every derived field computed. The target and
// weights may be absent; they and what is computed from them are missing.
// The compiled program is only read, so one Replay serves several threads.
#ifndef ZELCRAFT_HOST_REPLAY_H_
#define ZELCRAFT_HOST_REPLAY_H_

#include <cstdint>
#include <string>
#include <vector>

#include "apply/Document.h"
#include "status/Status.h"
#include "io/CellReader.h"
#include "host/ColumnData.h"
#include "host/HostCallbacks.h"

namespace zelhost {

// One column of replayed values. Numbers (whole numbers, reals, days,
// seconds) in `numbers` with NaN for missing; texts as `codes` into
// `texts`, -1 for missing.
struct ReplayColumn {
  std::string name;
  zelapply::ValueType type = zelapply::ValueType::kUndefined;
  std::vector<double> numbers;
  std::vector<int64_t> codes;
  std::vector<std::string> texts;
};

// The values of one categorical input that training never saw.
struct UnseenValues {
  std::string field;
  int64_t count = 0;
  int64_t firstRow = 0;  // counted from 0
  std::string first;     // as text
};

// The name the bindings give a value type: integer, real, text, date, time,
// timestamp, or undefined.
const char* ValueTypeName(zelapply::ValueType type);

struct ReplayInput {
  std::size_t field;  // an input of the program
  ColumnData data;
  // The part of timestamps the field takes, when the document says it was
  // made from a column of timestamps (apply/HostHeader.h) and `data` is
  // that column.
  zelio::CellReader::Part part = zelio::CellReader::Part::kWhole;
};

class Replay {
 public:
  // `stop` is asked now and then while the document is compiled.
  zelstatus::Status Compile(const std::string& document, const zelapply::StopCheck& stop);
  const zelapply::Program& program() const { return *compiled_.program; }
  const zelapply::Program* inverse() const { return compiled_.inverse.get(); }
  const std::vector<zelapply::TimestampPart>& parts() const { return compiled_.parts; }

  // Replays `rows` rows of `inputs`: the fields the document marks
  // "enable" (or, with `allDerived`, every derived field too). Texts that
  // do not read as their field's type add a line to `warnings`. A value of
  // a categorical input that is none of the categories its data field lists
  // (one training never saw) is counted in `unseen`, and read as missing
  // when `unseenAsMissing`. With `training`, the rows are the training
  // data: target means take each row's value from the other folds
  // (apply/CrossFit.h), from sums over the rows read once before. False
  // when interrupted.
  bool Run(const std::vector<ReplayInput>& inputs, std::size_t rows, bool allDerived,
           bool unseenAsMissing, HostCallbacks& host, std::vector<ReplayColumn>* outputs,
           std::vector<std::string>* warnings, std::vector<UnseenValues>* unseen,
           bool training = false) const;

  // The target inverse of each prediction; false when interrupted.
  bool Invert(const double* predictions, std::size_t rows, HostCallbacks& host,
              std::vector<double>* values) const;

 private:
  zelapply::CompiledDocument compiled_;
};

}  // namespace zelhost

#endif  // ZELCRAFT_HOST_REPLAY_H_
