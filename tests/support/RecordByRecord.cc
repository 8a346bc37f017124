#include "support/RecordByRecord.h"

#include <memory>
#include <sstream>

#include "frame/ZelFactory.h"
#include "io/ColumnRecordSource.h"
#include "io/DataLoader.h"
#include "io/HostFields.h"
#include "io/Schema.h"
#include "io/SettingsFile.h"
#include "support/RecordsOnly.h"
#include "support/TestHost.h"

using ZelFrame::ZelFactory;

namespace clitest {

using namespace TorCommon_1_3;

std::string RecordByRecordDocument(const PrepareInputs& inputs, std::string* error) {
  TorSettings settings;
  std::vector<std::string> notes;
  const zelio::SettingsFile keys(ZelFactory::GetSettingKeys(), ZelFactory::GetKeysWithoutEffect());
  for (const std::string& assignment : inputs.assignments) {
    const zelstatus::Status assigned = keys.Assign(assignment, &settings, &notes);
    if (!assigned.ok()) {
      *error = assigned.message();
      return "";
    }
  }
  if (!inputs.analysisWeight.empty()) settings.SetString("analysisWeight", inputs.analysisWeight);
  zelio::Schema schema;
  const zelstatus::Status read = zelio::LoadSchema(inputs.schemaPath, &schema);
  if (!read.ok()) {
    *error = read.message();
    return "";
  }
  zelio::LoadRequest request;
  request.paths = {inputs.csvPath};
  request.schema = &schema;
  request.roles = {inputs.target, inputs.frequencyWeight, inputs.analysisWeight, std::nullopt};
  testhost::FlagCheck never;
  zelio::LoadedData data;
  const zelstatus::Status loaded =
      zelio::LoadCsv(request, never, zelio::ReadProgress::Silent(), &data);
  if (!loaded.ok()) {
    *error = loaded.message();
    return "";
  }
  zelio::HostFields fields;
  zelio::BuildHostFields(data.plans, data.store, request.roles, &fields);
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> algorithm(factory.CreateTorAlgorithm(settings, fields.variables));
  if (!algorithm) {
    *error = "the factory refused the settings: " + std::to_string(factory.GetStatus().GetCode());
    return "";
  }
  zelio::ColumnRecordSource columns(data.store, fields.columnOf, zelio::ReadProgress::Silent());
  RecordsOnly records(columns);
  const TorStatus built = algorithm->Execute(&records);
  if (built.IsError()) {
    *error = "the build failed: " + std::to_string(built.GetCode());
    return "";
  }
  std::ostringstream out;
  const TorStatus written = algorithm->WritePMML(out, nullptr);
  if (written.IsError()) {
    *error = "the document failed: " + std::to_string(written.GetCode());
    return "";
  }
  return out.str();
}

}  // namespace clitest
