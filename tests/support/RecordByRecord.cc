#include "support/RecordByRecord.h"

#include <cmath>
#include <memory>
#include <regex>
#include <sstream>

#include "frame/ZelFactory.h"
#include "io/ColumnRecordSource.h"
#include "io/DataLoader.h"
#include "io/HostFields.h"
#include "io/Schema.h"
#include "io/SettingsFile.h"
#include "support/TestHost.h"

namespace clitest {

namespace {

using namespace TorCommon_1_3;

// The loaded columns, a record at a time: no columns handed out.
class RecordsOnly : public IRecordSource {
 public:
  explicit RecordsOnly(IRecordSource& rows) : rows_(rows) {}
  bool HasMoreRecords() override { return rows_.HasMoreRecords(); }
  void Rewind() override { rows_.Rewind(); }
  const RawRecord* NextRecord() override { return rows_.NextRecord(); }

 private:
  IRecordSource& rows_;
};

// A number as %.15g writes it, infinities and NaN included.
const std::regex& NumberPattern() {
  static const std::regex number(
      "-?(?:[0-9]+\\.?[0-9]*(?:[eE][-+]?[0-9]+)?|inf|nan)");
  return number;
}

}  // namespace

std::string RecordByRecordDocument(const PrepareInputs& inputs, std::string* error) {
  TorSettings settings;
  std::vector<std::string> notes;
  const zelio::SettingsFile keys(ZelFactory::GetSettingKeys(), ZelFactory::GetKeysWithoutEffect());
  for (const std::string& assignment : inputs.assignments) {
    if (!keys.Assign(assignment, &settings, &notes, error)) return "";
  }
  if (!inputs.analysisWeight.empty()) settings.SetString("analysisWeight", inputs.analysisWeight);
  zelio::Schema schema;
  if (!inputs.schemaPath.empty() && !zelio::LoadSchema(inputs.schemaPath, &schema, error)) {
    return "";
  }
  zelio::LoadRequest request;
  request.path = inputs.csvPath;
  request.schema = &schema;
  request.roles = {inputs.target, inputs.frequencyWeight, inputs.analysisWeight, std::nullopt};
  testhost::FlagCheck never;
  zelio::LoadedData data;
  if (zelio::LoadCsv(request, never, zelio::ReadProgress::Silent(), &data, error) !=
      zelio::LoadResult::kLoaded) {
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

std::string Comparable(const std::string& document) {
  static const std::regex header("<Header[^>]*>[\\s\\S]*?</Header>");
  static const std::regex seconds("processingTimeInSecond=\"[^\"]*\"");
  return std::regex_replace(std::regex_replace(document, header, "<Header/>"), seconds, "");
}

::testing::AssertionResult SameNumbers(const std::string& a, const std::string& b,
                                       double relative, double absolute) {
  const std::regex& number = NumberPattern();
  const std::string shapeA = std::regex_replace(a, number, "#");
  const std::string shapeB = std::regex_replace(b, number, "#");
  if (shapeA != shapeB) {
    std::size_t at = 0;
    while (at < shapeA.size() && at < shapeB.size() && shapeA[at] == shapeB[at]) ++at;
    const std::size_t from = at > 200 ? at - 200 : 0;
    return ::testing::AssertionFailure() << "the documents differ beyond their numbers:\n"
                                         << shapeA.substr(from, 400) << "\n---\n"
                                         << shapeB.substr(from, 400);
  }
  std::sregex_iterator ia(a.begin(), a.end(), number), ib(b.begin(), b.end(), number), end;
  for (; ia != end && ib != end; ++ia, ++ib) {
    const double x = std::strtod(ia->str().c_str(), nullptr);
    const double y = std::strtod(ib->str().c_str(), nullptr);
    if (std::isnan(x) && std::isnan(y)) continue;
    if (x == y) continue;
    const double scale = std::max(std::fabs(x), std::fabs(y));
    if (std::fabs(x - y) <= relative * scale || std::fabs(x - y) <= absolute) continue;
    const std::size_t at = static_cast<std::size_t>(ia->position());
    return ::testing::AssertionFailure()
           << ia->str() << " against " << ib->str() << " in\n"
           << a.substr(at > 300 ? at - 300 : 0, 400);
  }
  return ::testing::AssertionSuccess();
}

}  // namespace clitest
