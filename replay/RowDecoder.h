// RowDecoder: reads the cells of CSV rows into a program's input fields,
// each by its field's dataType as the loader reads a column declared with
// that storage (CellReader: an empty cell is missing, a quoted empty cell
// the empty text of a text field, a timestamp in a date or time field its
// day or time of day), so a cell reads alike in prepare, apply and inverse.
// A number field also accepts the label a `Value` of the document gives one
// of its values, which is how ordinal text categories coded 1..k read back.
// A field a host made from a column of timestamps (HostHeader.h) reads that
// column's timestamps as their date or time of day.
// A cell that still does not read is missing; the first such cell of each
// column is remembered for a warning with its line and column, and all are
// counted.
#ifndef ZELCRAFT_REPLAY_ROWDECODER_H_
#define ZELCRAFT_REPLAY_ROWDECODER_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "apply/HostHeader.h"
#include "apply/Program.h"
#include "io/CellReader.h"
#include "io/CsvRowParser.h"
#include "status/Status.h"

namespace zelreplay {

class RowDecoder {
 public:
  // Reads input `field` of `program` from column `column` (0-based), the
  // whole cell or one part of a timestamp.
  void Bind(const zelapply::Program& program, std::size_t field, std::size_t column,
            zelio::CellReader::Part part = zelio::CellReader::Part::kWhole);
  // Binds the inputs the shown fields depend on (Program::NeededInputs:
  // those marked "enable", and with `allDerived` every derived field) to the
  // header column of the same name, or to the column of timestamps a part
  // of which the input is (`parts`). A needed input without a column, or
  // with two, is an error naming it, except that the target and weights may
  // be absent (they stay missing); the other inputs are not read.
  zelstatus::Status BindByName(const zelapply::Program& program,
                               const std::vector<zelapply::TimestampPart>& parts,
                               const std::vector<zelio::CsvCell>& header, bool allDerived);

  // `line` of input file `file` (of several read as one) is where `row`
  // starts, for the warnings.
  void Decode(const std::vector<zelio::CsvCell>& row, int64_t line, zelapply::Frame* frame,
              std::size_t file = 0);

  // One line per column with unreadable cells: where the first was (named
  // by its file among `paths`, and its line), and how many there were.
  std::vector<std::string> Warnings(const std::vector<std::string>& paths) const;
  std::vector<std::string> Warnings(const std::string& path) const {
    return Warnings(std::vector<std::string>{path});
  }

 private:
  struct Binding {
    // Reads input `field`, described by `info`, from column `column`.
    Binding(std::size_t field, std::size_t column, const zelapply::FieldInfo& info,
            zelio::CellReader::Part part);

    std::size_t field;
    std::size_t column;
    std::string name;
    zelapply::ValueType type;
    zelio::CellReader reader;  // by the type, as a declared storage
    std::vector<std::pair<std::string, zelapply::Value>> labels;  // sorted by label
    int64_t unreadable = 0;
    int64_t firstLine = 0;
    std::size_t firstFile = 0;
    std::string firstText;
  };

  bool ReadCell(const Binding& binding, const zelio::CsvCell& cell, zelapply::Value* value) const;

  std::vector<Binding> bindings_;
};

}  // namespace zelreplay

#endif  // ZELCRAFT_REPLAY_ROWDECODER_H_
