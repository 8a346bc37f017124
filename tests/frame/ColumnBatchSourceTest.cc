// A host that hands its rows out as columns (IColumnBatchSource) against one
// that delivers the same records one at a time: the passes read the first a
// batch at a time and batch the second's records themselves, and both must
// give the same document, with weights (rounded, zero, missing), missing and
// user-missing values, texts, outlier copies and a Box-Cox target, over
// rows that fill several batches. A host whose columns fail stops the build.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "support/DocumentNumbers.h"
#include "support/TestHost.h"

using namespace testhost;
using namespace TorCommon_1_3;

namespace {

// The records of a MemorySource, also handed out as columns. Each field's
// values have one storage (its first value's), as a column store keeps them.
class ColumnSource : public MemorySource, public IColumnBatchSource {
 public:
  IColumnBatchSource* GetColumnBatchSource() override { return this; }
  int64_t GetRowCount() const override { return static_cast<int64_t>(records().size()); }
  bool ReadColumns(int64_t first, int64_t count, const int* fields, std::size_t fieldCount,
                   HostColumn* columns) override {
    ++runs;
    if (failRuns || first < 0 || first + count > GetRowCount()) return false;
    for (std::size_t j = 0; j < fieldCount; ++j) {
      const auto field = static_cast<std::size_t>(fields[j]);
      Column& c = Columned(field);
      HostColumn& out = columns[j];
      out = HostColumn();
      out.storage = c.storage;
      out.missing = c.missing.data() + first;
      out.integers = c.integers.data() + first;
      out.reals = c.reals.data() + first;
      out.texts = c.texts.data() + first;
    }
    lastEnd = first + count;
    return true;
  }
  void RowsRead(int64_t end) override { reported = end; }

  bool failRuns = false;
  int runs = 0;
  int64_t lastEnd = 0;
  int64_t reported = 0;

 private:
  struct Column {
    int storage = kStorageUndefined;
    std::vector<uint8_t> missing;
    std::vector<int64_t> integers;
    std::vector<double> reals;
    std::vector<const std::string*> texts;
  };
  Column& Columned(std::size_t field) {
    if (columns_.size() <= field) columns_.resize(field + 1);
    Column& c = columns_[field];
    if (!c.missing.empty() || records().empty()) return c;
    for (const RawRecord& r : records()) {
      if (!r[field].IsMissing()) {
        c.storage = r[field].GetStorage();
        break;
      }
    }
    for (const RawRecord& r : records()) {
      c.missing.push_back(r[field].IsMissing() ? 1 : 0);
      c.integers.push_back(r[field].GetInteger());
      c.reals.push_back(r[field].GetDouble());
      c.texts.push_back(&r[field].GetString());
    }
    return c;
  }
  std::vector<Column> columns_;
};

TorVarList Fields() {
  TorVarList variables;
  ITorVariable* x = ContField("x");
  x->GetEncoder()->AddMissingValue(-999.0);  // a user-missing number
  variables.AddVariable(x);
  variables.AddVariable(ContField("n", kStorageInteger));
  ITorVariable* colour = NominalField("colour", true);
  colour->GetEncoder()->AddMissingString("unknown");
  variables.AddVariable(colour);
  variables.AddVariable(ContField("count"));
  variables.AddVariable(ContField("weight"));
  variables.AddVariable(ContField("y", kStorageReal, kRoleTarget));
  variables.SetFrequencyWeightIndex(3);

  return variables;
}

void Fill(MemorySource& source, int rows) {
  const char* colours[] = {"red", "green", "blue", "unknown", "teal"};
  for (int i = 0; i < rows; ++i) {
    const Cell x = i % 13 == 0 ? Missing() : i % 17 == 0 ? Real(-999) : Real((i * 37 % 101) * 0.5);
    // An outlier now and then, for the outlier copies to trim.
    const Cell n = Int(i % 50 == 7 ? 5000 : i % 23);
    const Cell colour = i % 11 == 0 ? Missing() : Str(colours[i % 5]);
    // 0.4 rounds to no record; a missing weight leaves the record out too.
    const Cell count = i % 29 == 0 ? Missing() : Real(i % 7 == 0 ? 0.4 : 1.0 + (i % 3) * 0.5);
    const Cell weight = Real(0.5 + (i % 4) * 0.25);
    const Cell y = Real(10.0 + (i * 7 % 31) * 1.5 + (i % 5));
    RawRecord record = MakeRecord({x, n, colour, count, weight, y});
    // A missing text is a text field's value, as a column of texts holds it.
    if (record[2].IsMissing()) record[2].SetMissingValue(kStorageString);
    source.Add(std::move(record));
  }
}

// The counts and mean the document reports for field `name`.
struct Reported {
  double total = -1.0;
  double missing = -1.0;
  double mean = 0.0;
};
Reported ReportedStats(const std::string& pmml, const std::string& name) {
  std::smatch m;
  const std::regex stats("<UnivariateStats field=\"" + name +
                         "\">\\s*<Counts totalFreq=\"([^\"]*)\" missingFreq=\"([^\"]*)\"/>"
                         "\\s*<NumericInfo mean=\"([^\"]*)\"");
  Reported r;
  if (std::regex_search(pmml, m, stats)) {
    r.total = std::stod(m[1]);
    r.missing = std::stod(m[2]);
    r.mean = std::stod(m[3]);
  }
  return r;
}

std::string BuildDocument(MemorySource& source, TorSettings settings) {
  TorVarList variables = Fields();
  settings.SetString("analysisWeight", "weight");
  Build build;
  build.Run(settings, variables, source);
  EXPECT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  return docnumbers::Comparable(build.Pmml());
}

TEST(ColumnBatchSource, GivesTheDocumentOfTheSameRecordsOneByOne) {
  for (bool boxCox : {false, true}) {
    SCOPED_TRACE(boxCox);
    TorSettings settings;
    settings.SetBool("detectFeatureOutliers", true);
    settings.SetBool("rescaleScaleTargetUsingBoxCox", boxCox);
    settings.SetDouble("targetSD", 1.0);
    MemorySource records;
    ColumnSource columns;
    Fill(records, 2600);  // two full batches and a part
    Fill(columns, 2600);
    const std::string byRecord = BuildDocument(records, settings);
    const std::string byColumns = BuildDocument(columns, settings);
    EXPECT_EQ(byRecord, byColumns);
    EXPECT_NE(byRecord.find("DerivedField"), std::string::npos);
    // x by hand: records whose count is missing or rounds to 0 count
    // nowhere; -999 is missing; the mean weighs count times weight.
    double total = 0.0, missing = 0.0, sum = 0.0, weights = 0.0;
    for (const RawRecord& r : records.records()) {
      if (r[3].IsMissing()) continue;
      const double count = std::trunc(r[3].GetDouble() + 0.5);
      if (count <= 0.0) continue;
      total += count;
      if (r[0].IsMissing() || r[0].GetDouble() == -999.0) {
        missing += count;
        continue;
      }
      sum += count * r[4].GetDouble() * r[0].GetDouble();
      weights += count * r[4].GetDouble();
    }
    const Reported x = ReportedStats(byColumns, "x");
    EXPECT_EQ(x.total, total);
    EXPECT_EQ(x.missing, missing);
    EXPECT_NEAR(x.mean, sum / weights, 1e-12 * std::fabs(sum / weights));
    // The columns were read a batch at a time, never record by record.
    EXPECT_GT(columns.runs, 3 * 3);
    EXPECT_EQ(columns.delivered, 0);
    EXPECT_EQ(columns.reported, 2600);
  }
}

TEST(ColumnBatchSource, ColumnsTheHostCannotGiveStopTheBuild) {
  ColumnSource columns;
  Fill(columns, 10);
  columns.failRuns = true;
  TorVarList variables = Fields();
  TorSettings settings;
  Build build;
  build.Run(settings, variables, columns);
  EXPECT_EQ(build.executeStatus.GetCode(), ZelStatusCode::kInconsistent);
}

}  // namespace
