// The compact columns against the plain store they replaced, on the
// example data (dates, times, timestamps, missing values, an ordinal text,
// trailing blanks, a weight): every record the build reads equals the one a
// plain cell-by-cell parse of the file gives, bit for bit, and the document
// built over the columns is the one built over the plain records, apart
// from the header's time and the processing time.
#include <gtest/gtest.h>

#include <cstring>
#include <iostream>

#include "io/CellParser.h"
#include "io/ColumnRecordSource.h"
#include "io/DataLoader.h"
#include "io/FileText.h"
#include "io/HostFields.h"
#include "io/SettingsFile.h"
#include "support/CliHarness.h"
#include "support/CsvReader.h"
#include "support/TestHost.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelFactory;

namespace zelio {
namespace {

using namespace TorCommon_1_3;

// The plain reading of one cell as its plan says, written out on its own.
void PlainCell(const FieldPlan& plan, const CsvCell& cell, RawData* value) {
  const std::string_view text = cell.text;
  if (text.empty()) {
    if (cell.quoted && plan.storage == kStorageString) {
      value->SetString(std::string(text));
    } else {
      value->SetMissingValue(plan.storage);
    }
    return;
  }
  int64_t integer = 0;
  double real = 0.0;
  if (!plan.codes.empty()) {
    if (plan.missing.Matches(text)) return value->SetMissingValue(plan.storage);
    return value->SetInteger(plan.codes.find(text)->second);
  }
  switch (plan.storage) {
    case kStorageInteger:
      ParseInteger(text, &integer);
      return value->SetInteger(integer);
    case kStorageReal:
      ParseReal(text, &real);
      break;
    case kStorageDate:
      ParseDayCell(text, &real);
      break;
    case kStorageTime:
      ParseTimeOfDayCell(text, &real);
      break;
    case kStorageTimestamp:
      ParseTimestamp(text, &real);
      break;
    default:
      return value->SetString(std::string(text));
  }
  value->SetDouble(real, plan.storage);
}

bool SameValue(const RawData& a, const RawData& b) {
  if (a.GetStorage() != b.GetStorage() || a.IsMissing() != b.IsMissing()) return false;
  if (a.IsMissing()) return true;
  if (a.GetStorage() == kStorageInteger) return a.GetInteger() == b.GetInteger();
  if (a.GetStorage() == kStorageString) return a.GetString() == b.GetString();
  const double x = a.GetDouble(), y = b.GetDouble();
  return std::memcmp(&x, &y, sizeof x) == 0;
}


TEST(CompactStoreTest, ExampleRecordsAndDocumentMatchThePlainStore) {
  clitest::ScratchDir dir;
  const std::string generator = clitest::SiblingProgram("zelcraft-example-data");
  ASSERT_EQ(std::system((generator + " " + dir.path() + " 3000").c_str()), 0);
  Schema schema;
  zelstatus::Status status = LoadSchema(dir / "customers.schema.json", &schema);
  ASSERT_TRUE(status.ok()) << status.message();
  TorSettings settings;
  std::vector<std::string> warnings;
  status = SettingsFile(ZelFactory::GetSettingKeys(), ZelFactory::GetKeysWithoutEffect())
               .LoadFile(dir / "customers.settings.json", &settings, &warnings);
  ASSERT_TRUE(status.ok()) << status.message();

  LoadRequest request;
  request.paths = {dir / "customers.csv"};
  request.schema = &schema;
  request.roles = {"churn", "weight", "", std::nullopt};
  request.chunkBytes = 4096;
  testhost::FlagCheck never;  // never interrupts
  zelio::ReadProgress& progress = zelio::ReadProgress::Silent();
  LoadedData data;
  status = LoadCsv(request, never, progress, &data);
  ASSERT_TRUE(status.ok()) << status.message();
  HostFields compactFields, plainFields;
  BuildHostFields(data.plans, data.store, request.roles, &compactFields);
  BuildHostFields(data.plans, data.store, request.roles, &plainFields);

  std::string text;
  ASSERT_TRUE(ReadFileText(request.paths[0], &text).ok());
  testhost::CsvReader reader(text, ',');
  std::vector<CsvCell> cells;
  ASSERT_TRUE(reader.NextRow(&cells));
  testhost::MemorySource plain;
  while (reader.NextRow(&cells)) {
    RawRecord record(compactFields.columnOf.size());
    for (std::size_t i = 0; i < record.Size(); ++i) {
      const std::size_t c = compactFields.columnOf[i];
      PlainCell(data.plans[c], cells[c], &record[i]);
    }
    plain.Add(std::move(record));
  }
  ColumnRecordSource compact(data.store, compactFields.columnOf, progress);
  ASSERT_EQ(plain.records().size(), data.store.rows());
  for (const RawRecord& expected : plain.records()) {
    const RawRecord* record = compact.NextRecord();
    ASSERT_NE(record, nullptr);
    for (std::size_t i = 0; i < expected.Size(); ++i) {
      ASSERT_TRUE(SameValue((*record)[i], expected[i])) << "field " << i;
    }
  }
  compact.Rewind();

  testhost::Build overColumns, overPlain;
  overColumns.Run(settings, compactFields.variables, compact);
  overPlain.Run(settings, plainFields.variables, plain);
  ASSERT_FALSE(overColumns.executeStatus.IsError());
  const std::string document = overColumns.Pmml();
  ASSERT_NE(document.find("DerivedField"), std::string::npos);
  EXPECT_EQ(clitest::WithoutTimes(document), clitest::WithoutTimes(overPlain.Pmml()));
}

}  // namespace
}  // namespace zelio
