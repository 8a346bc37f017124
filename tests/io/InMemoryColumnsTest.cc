// A host that holds its data in columns of its own (a data frame, say)
// fills a column store, plans it and hands the component a record source
// without any file: the document is the one the same data gives as CSV
// text, ordinal text held as its codes and user-missing weights included;
// a schema that asks for another storage than a column holds is refused.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "frame/ZelFactory.h"
#include "io/ColumnRecordSource.h"
#include "io/DataLoader.h"
#include "io/HostFields.h"
#include "support/DocumentNumbers.h"
#include "support/TestHost.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelFactory;

namespace zelio {
namespace {

using namespace TorCommon_1_3;

std::string Document(const ColumnStore& store, const std::vector<FieldPlan>& plans,
                     const FieldRoles& roles) {
  HostFields fields;
  BuildHostFields(plans, store, roles, &fields);
  TorSettings settings;
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> algorithm(factory.CreateTorAlgorithm(settings, fields.variables));
  if (!algorithm) return "no algorithm";
  ColumnRecordSource source(store, fields.columnOf, ReadProgress::Silent());
  if (algorithm->Execute(&source).IsError()) return "build failed";
  std::ostringstream out;
  if (algorithm->WritePMML(out, nullptr).IsError()) return "document failed";
  return docnumbers::Comparable(out.str());
}

TEST(InMemoryColumns, GiveTheDocumentOfTheSameDataAsText) {
  const char* sizes[] = {"S", "M", "L"};
  std::string csv = "x,size,colour,w,y\n";
  ColumnStore store;
  store.names = {"x", "size", "colour", "w", "y"};
  store.columns.emplace_back(kStorageReal);
  store.columns.emplace_back(kStorageInteger);  // ordinal text as its codes
  store.columns.emplace_back(kStorageString);
  store.columns.emplace_back(kStorageInteger);
  store.columns.emplace_back(kStorageReal);
  for (int r = 0; r < 300; ++r) {
    const double x = (r % 17) * 1.25;
    const int size = r % 3;
    const std::string colour = r % 5 == 0 ? "red" : r % 2 ? "blue" : "green";
    const int w = r % 11 == 0 ? 99 : 1 + r % 3;  // 99 is declared missing
    const double y = 2.0 * x + size + (r % 7) * 0.5;
    csv += (r % 23 == 0 ? std::string() : std::to_string(x)) + "," + sizes[size] + "," + colour +
           "," + std::to_string(w) + "," + std::to_string(y) + "\n";
    if (r % 23 == 0) {
      store.columns[0].AppendMissing();
    } else {
      store.columns[0].AppendDouble(std::stod(std::to_string(x)));
    }
    store.columns[1].AppendInteger(size + 1);
    store.columns[2].AppendText(colour);
    store.columns[3].AppendInteger(w);
    store.columns[4].AppendDouble(std::stod(std::to_string(y)));
  }
  Schema schema;
  schema.fields["size"].level = Level::kOrdinal;
  schema.fields["size"].categories = {"S", "M", "L"};
  schema.fields["w"].missingValues = {99};
  const FieldRoles roles{"y", "w", "", std::nullopt};

  std::vector<FieldPlan> plans;
  zelstatus::Status status = PlanColumns(store, schema, roles, &plans);
  ASSERT_TRUE(status.ok()) << status.message();
  const std::string fromColumns = Document(store, plans, roles);

  LoadRequest request;
  request.paths = {"data.csv"};
  request.schema = &schema;
  request.roles = roles;
  testhost::FlagCheck never;
  LoadedData loaded;
  status = LoadCsvText(request, csv, never, ReadProgress::Silent(), &loaded);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(loaded.droppedRecords, 28);  // every eleventh weight is the declared missing 99
  const std::string fromText = Document(loaded.store, loaded.plans, roles);
  ASSERT_NE(fromText.find("<PMML"), std::string::npos) << fromText;
  EXPECT_EQ(fromColumns, fromText);

  Schema asDates;
  asDates.fields["x"].storage = kStorageDate;
  status = PlanColumns(store, asDates, roles, &plans);
  EXPECT_EQ(status.kind(), zelstatus::Kind::kInvalidInput);
  EXPECT_EQ(status.message(), "field 'x': the schema gives another storage than its column holds");
}

}  // namespace
}  // namespace zelio
