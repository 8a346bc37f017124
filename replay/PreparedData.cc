#include "replay/PreparedData.h"

#include <vector>

#include "apply/Document.h"
#include "io/CsvWriter.h"
#include "replay/PreparedWriter.h"

namespace zelreplay {

using zelstatus::Status;

namespace {

using zelapply::ValueType;

// Rows between two looks at the interrupt flag and the progress line.
constexpr std::size_t kCheckEvery = 4096;

// Record storages and value types share their numbering.
void ReadValue(const TorCommon_1_3::RawData& data, zelapply::Value* value) {
  const auto type = static_cast<ValueType>(data.GetStorage());
  if (data.IsMissing()) {
    value->SetMissing(type);
  } else if (type == ValueType::kInteger) {
    value->SetInteger(data.GetInteger());
  } else if (type == ValueType::kString) {
    value->SetText(data.GetString());
  } else {
    value->SetReal(data.GetDouble(), type);
  }
}

}  // namespace

Status WritePreparedData(const std::string& document, TorCommon_1_3::IRecordSource& source,
                         const std::vector<std::string>& names, zelio::ByteSink& output,
                         char delimiter, TorCommon_1_3::IInterruptCheck& interrupts,
                         zelio::ReadProgress& progress) {
  zelapply::CompiledDocument compiled;
  const Status status = zelapply::CompileDocument(document, &compiled);
  if (!status.ok()) return Status::Internal("the document cannot be replayed: " + status.message());
  const zelapply::Program& program = *compiled.program;
  // Every field of the document is a field that was handed to the component.
  std::vector<std::pair<std::size_t, std::size_t>> inputs;
  for (std::size_t i = 0; i < program.inputCount(); ++i) {
    const std::string& name = program.fields()[i].name;
    std::size_t c = 0;
    while (c < names.size() && names[c] != name) ++c;
    if (c == names.size()) {
      return Status::Internal("the document's field '" + name + "' is not a column of the data");
    }
    if (program.IsRead(i) || program.fields()[i].enabled) inputs.emplace_back(i, c);
  }

  zelio::CsvWriter writer(output, delimiter);
  PreparedWriter prepared(program, false, &writer);
  prepared.WriteHeader();
  progress.StartPhase("writing prepared data");
  zelapply::Frame frame = program.NewFrame();
  source.Rewind();
  std::size_t row = 0;
  while (source.HasMoreRecords()) {
    const TorCommon_1_3::RawRecord* record = source.NextRecord();
    if (record == nullptr) break;
    ++row;
    for (const auto& input : inputs) ReadValue((*record)[input.second], &frame[input.first]);
    program.Evaluate(&frame);
    prepared.WriteRow(frame);
    if (row % kCheckEvery == 0) {
      if (interrupts.IsInterrupted()) return Status::Interrupted();
      progress.Records(static_cast<int64_t>(row));
    }
  }
  progress.Records(static_cast<int64_t>(row));
  writer.Flush();
  return Status();
}

}  // namespace zelreplay
