#include "replay/PreparedData.h"

#include <vector>

#include "apply/CrossFit.h"
#include "apply/Document.h"
#include "io/CsvWriter.h"
#include "replay/PreparedWriter.h"

namespace zelreplay {

namespace {

using zelapply::ValueType;
using zelstatus::Status;

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
  return WritePreparedParts(document, source, names, {{&output, -1}}, delimiter, interrupts,
                            progress);
}

Status WritePreparedParts(const std::string& document, TorCommon_1_3::IRecordSource& source,
                          const std::vector<std::string>& names,
                          const std::vector<PreparedPart>& parts, char delimiter,
                          TorCommon_1_3::IInterruptCheck& interrupts,
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

  zelapply::Frame frame = program.NewFrame();
  // The next record's `wanted` inputs into the frame; false after the last.
  using Inputs = std::vector<std::pair<std::size_t, std::size_t>>;
  auto next = [&source, &frame](const Inputs& wanted) {
    if (!source.HasMoreRecords()) return false;
    const TorCommon_1_3::RawRecord* record = source.NextRecord();
    if (record == nullptr) return false;
    for (const auto& input : wanted) ReadValue((*record)[input.second], &frame[input.first]);
    return true;
  };
  // Target means take each row's value from the other folds: their sums
  // come from a pass over the same rows first, which reads and computes only
  // what the sums need.
  zelapply::CrossFit fit(program);
  if (!fit.error().empty()) {
    return Status::Internal("the document cannot be replayed: " + fit.error());
  }
  if (fit.Active()) {
    progress.StartPhase("gathering target means by fold");
    Inputs gathered;
    for (const auto& input : inputs) {
      if (fit.slice().inputs[input.first]) gathered.push_back(input);
    }
    source.Rewind();
    std::size_t row = 0;
    while (next(gathered)) {
      program.Evaluate(fit.slice(), &frame);
      fit.Gather(frame, row);
      if (++row % kCheckEvery == 0 && interrupts.IsInterrupted()) {
        return Status::Interrupted();
      }
    }
    fit.Finish();
  }

  progress.StartPhase("writing prepared data");
  source.Rewind();
  std::size_t row = 0;
  for (const PreparedPart& part : parts) {
    zelio::CsvWriter writer(*part.output, delimiter);
    PreparedWriter prepared(program, false, &writer);
    prepared.WriteHeader();
    for (int64_t taken = 0; (part.rows < 0 || taken < part.rows) && next(inputs); ++taken) {
      if (fit.Active()) frame.SetTrainingRow(&fit, row);
      ++row;
      program.Evaluate(&frame);
      prepared.WriteRow(frame);
      if (row % kCheckEvery == 0) {
        if (interrupts.IsInterrupted()) return Status::Interrupted();
        progress.Records(static_cast<int64_t>(row));
      }
    }
    writer.Flush();
  }
  progress.Records(static_cast<int64_t>(row));
  return Status();
}

}  // namespace zelreplay
