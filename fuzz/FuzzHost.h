// What the fuzz targets share: a host that never interrupts, a CSV loaded
// from memory, and a full build of loaded data through the component, so
// that a target can take any input as far as the command would.
#ifndef ZELCRAFT_FUZZ_FUZZHOST_H_
#define ZELCRAFT_FUZZ_FUZZHOST_H_

#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "io/ColumnRecordSource.h"
#include "io/DataLoader.h"
#include "io/HostFields.h"
#include "io/Schema.h"
#include "frame/ZelFactory.h"
#include "torcommon13r/TorSettings.h"

namespace zelfuzz {

class NeverInterrupted : public TorCommon_1_3::IInterruptCheck {
 public:
  bool IsInterrupted() override { return false; }
};

// Loads `csv` as the command would; false when it is refused.
inline bool Load(std::string_view csv, char delimiter, const zelio::Schema& schema,
                 const zelio::FieldRoles& roles, zelio::LoadedData* data) {
  zelio::LoadRequest request;
  request.paths = {"fuzz.csv"};
  request.delimiter = delimiter;
  request.schema = &schema;
  request.roles = roles;
  // Small chunks put chunk ends inside rows, cells and quotes; one thread
  // keeps a run reproducible.
  request.chunkBytes = 64;
  request.threaded = false;
  NeverInterrupted interrupts;
  return zelio::LoadCsvText(request, csv, interrupts, zelio::ReadProgress::Silent(), data).ok();
}

// Builds loaded data with `settings` and writes the document, as the command
// does after loading. The targets need only that nothing breaks on the way;
// the seed programs keep the document (empty when the build failed).
inline std::string Build(const zelio::LoadedData& data, const zelio::FieldRoles& roles,
                         TorCommon_1_3::TorSettings& settings) {
  zelio::HostFields fields;
  zelio::BuildHostFields(data.plans, data.store, roles, &fields);
  ZelFrame::ZelFactory factory;
  std::unique_ptr<TorCommon_1_3::ITorAlgorithm> algorithm(
      factory.CreateTorAlgorithm(settings, fields.variables));
  if (!algorithm) return std::string();
  zelio::ColumnRecordSource source(data.store, fields.columnOf, zelio::ReadProgress::Silent());
  const TorCommon_1_3::TorStatus status = algorithm->Execute(&source);
  if (status.GetCode() == 210012) {
    ZelFrame::ZelFactory::ExplainExcludedTarget(*algorithm);
  }
  std::ostringstream document;
  if (status.IsError() || algorithm->WritePMML(document, nullptr).IsError()) return std::string();
  return document.str();
}

}  // namespace zelfuzz

#endif  // ZELCRAFT_FUZZ_FUZZHOST_H_
