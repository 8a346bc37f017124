#include "DataOutputs.h"

#include "ReportCommand.h"

namespace zelcli {

namespace {

constexpr const char* kName = "{name}";
// Every output stays pending until the command commits them all, in slots
// set aside for the signal handlers (OutputFile.cc), beside the others.
constexpr std::size_t kMostFiles = 1000;

std::string PathFor(const std::string& pattern, const std::string& input) {
  std::string path = pattern;
  const std::string stem = PathStem(input);
  for (std::size_t at = path.find(kName); at != std::string::npos;
       at = path.find(kName, at + stem.size())) {
    path.replace(at, std::string(kName).size(), stem);
  }
  return path;
}

}  // namespace

zelstatus::Status DataOutputs::Prepare(
    const std::string& option, const std::string& path, const std::vector<std::string>& inputs,
    const std::function<zelstatus::Status(const std::string&, OutputFile*)>& prepare) {
  path_ = path;
  files_.clear();
  if (path.empty()) return zelstatus::Status();
  const bool perInput = path.find(kName) != std::string::npos;
  const std::size_t count = perInput ? inputs.size() : 1;
  if (count > kMostFiles) {
    return zelstatus::Status::InvalidInput(
        option + " with {name} writes at most " + std::to_string(kMostFiles) +
        " files, one per input, not " + std::to_string(count) +
        ": give one file for all the records");
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::string target = perInput ? PathFor(path, inputs[i]) : path;
    files_.push_back(std::make_unique<OutputFile>());
    const zelstatus::Status prepared = prepare(target, files_.back().get());
    if (!prepared.ok()) return prepared;
    for (std::size_t j = 0; j < i; ++j) {
      if (files_[j]->SameTarget(*files_.back())) {
        return zelstatus::Status::InvalidInput(
            "the prepared data of " + inputs[j] + " and of " + inputs[i] +
            " would both be written to " + target +
            ": give " + option + " a pattern that tells them apart");
      }
    }
  }
  return zelstatus::Status();
}

bool DataOutputs::SameTarget(const OutputFile& other) const {
  for (const auto& file : files_) {
    if (file->SameTarget(other)) return true;
  }
  return false;
}

zelstatus::Status DataOutputs::Open(TorCommon_1_3::IInterruptCheck* interrupts) {
  for (const auto& file : files_) {
    const zelstatus::Status opened = file->Open(interrupts);
    if (!opened.ok()) return opened;
  }
  return zelstatus::Status();
}

std::vector<zelreplay::PreparedPart> DataOutputs::Parts(const std::vector<int64_t>& inputRows) {
  std::vector<zelreplay::PreparedPart> parts;
  if (files_.size() == 1) return {{files_.front().get(), -1}};
  for (std::size_t i = 0; i < files_.size(); ++i) parts.push_back({files_[i].get(), inputRows[i]});
  return parts;
}

std::vector<zelio::ByteSink*> DataOutputs::Sinks() {
  std::vector<zelio::ByteSink*> sinks;
  for (const auto& file : files_) sinks.push_back(file.get());
  return sinks;
}

zelstatus::Status DataOutputs::Finish() {
  for (const auto& file : files_) {
    const zelstatus::Status finished = file->Finish();
    if (!finished.ok()) return finished;
  }
  return zelstatus::Status();
}

zelstatus::Status DataOutputs::Commit() {
  for (const auto& file : files_) {
    const zelstatus::Status committed = file->Commit();
    if (!committed.ok()) return committed;
  }
  return zelstatus::Status();
}

std::string DataOutputs::Written() const {
  if (path_.find(kName) == std::string::npos) return path_;
  return path_ + " (" + std::to_string(files_.size()) +
         (files_.size() == 1 ? " file)" : " files, one per input)");
}

}  // namespace zelcli
