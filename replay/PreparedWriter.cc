#include "replay/PreparedWriter.h"

namespace zelreplay {

std::vector<std::size_t> PreparedColumns(const zelapply::Program& program, bool allDerived) {
  std::vector<std::size_t> columns;
  const std::vector<zelapply::FieldInfo>& fields = program.fields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].enabled || (allDerived && fields[i].derived)) columns.push_back(i);
  }
  return columns;
}

PreparedWriter::PreparedWriter(const zelapply::Program& program, bool allDerived,
                               zelio::CsvWriter* writer)
    : program_(program), writer_(writer), fields_(PreparedColumns(program, allDerived)) {}

void PreparedWriter::WriteHeader() {
  for (std::size_t field : fields_) writer_->Text(program_.fields()[field].name);
  writer_->EndRow();
}

void PreparedWriter::WriteRow(const zelapply::Frame& frame) {
  for (std::size_t field : fields_) writer_->Value(frame[field]);
  writer_->EndRow();
}

}  // namespace zelreplay
