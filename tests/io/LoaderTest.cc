// Loading a CSV file into compact columns in one read, at chunk sizes that
// cut rows anywhere, with and without the helper thread: every value reads
// back as its text parses on its own (decimals bit for bit against strtod,
// a negative zero kept negative, texts exactly as written even when the
// column looked numeric at first), whole numbers and codes past each
// narrow width, missing bits past each word, and streaming keeps the
// dictionaries and the row count but no values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "io/DataLoader.h"
#include "support/CliHarness.h"
#include "support/TestHost.h"
#include "torcommon13r/TorVariable.h"

namespace zelio {
namespace {

using namespace TorCommon_1_3;

struct Loaded {
  zelstatus::Kind result;
  LoadedData data;
  std::string error;
};

Loaded Load(const std::string& path, std::size_t chunk, bool threaded, bool stream = false,
            const Schema& schema = Schema()) {
  LoadRequest request;
  request.paths = {path};
  request.schema = &schema;
  request.chunkBytes = chunk;
  request.threaded = threaded;
  request.stream = stream;
  testhost::FlagCheck never;  // never interrupts
  zelio::ReadProgress& progress = zelio::ReadProgress::Silent();
  Loaded loaded;
  const zelstatus::Status status = LoadCsv(request, never, progress, &loaded.data);
  loaded.result = status.kind();
  loaded.error = status.message();
  return loaded;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Categories of a few bytes and of more than sixteen.
std::string Category(int i) {
  return (i % 2 ? "cat" : "a much longer category ") + std::to_string(i);
}

TEST(LoaderTest, EveryValueReadsBackAsItsTextParses) {
  // Columns: d decimals of rising scale, then one that needs a double; n a
  // whole number until a decimal; z "-0" before a decimal; w whole numbers
  // of every width; t numbers until a text, so read again as texts; c over
  // 300 categories, short and long; m mostly missing; q a quoted empty text;
  // e decimals whose first has more places than a whole number can scale.
  const char* fine[] = {"0.00000000000000000001", "0.5", "12", "-0.000000000000000000125"};
  const char* decimals[] = {"0.23", "61.5", "-3.25", "55", "0.1", "1234567.891", "0.000001",
                            "-17", "2.5", "1e5", "0.3", "123456789012.345678", "+4.50", ".5"};
  const char* wholes[] = {"1", "-120", "200", "-40000", "70000", "5000000000", "-9"};
  std::string csv = "d,n,z,w,t,c,m,q,e\n";
  const int rows = 400;
  for (int r = 0; r < rows; ++r) {
    csv += std::string(decimals[r % 14]) + "," + (r == 350 ? "2.75" : std::to_string(r * 7)) +
           "," + (r == 5 ? "-0" : r == 390 ? "1.5" : "3") + "," + wholes[r % 7] + "," +
           (r == 300 ? "x" : r % 2 ? "1.50" : "007") + "," + Category(r % 310) + "," +
           (r % 97 == 0 ? "5" : "") + "," + (r % 3 ? "\"\"" : "a") + "," + fine[r % 4] + "\n";
  }
  clitest::ScratchDir dir;
  clitest::WriteFile(dir / "data.csv", csv);
  for (std::size_t chunk : {std::size_t{37}, std::size_t{1} << 20}) {
    for (bool threaded : {false, true}) {
      SCOPED_TRACE("chunk " + std::to_string(chunk) + (threaded ? " threaded" : ""));
      Loaded loaded = Load(dir / "data.csv", chunk, threaded);
      ASSERT_EQ(loaded.result, zelstatus::Kind::kOk) << loaded.error;
      const ColumnStore& store = loaded.data.store;
      ASSERT_EQ(store.rows(), static_cast<std::size_t>(rows));
      const int storages[] = {kStorageReal,    kStorageReal,   kStorageReal,   kStorageInteger,
                              kStorageString,  kStorageString, kStorageInteger, kStorageString,
                              kStorageReal};
      for (int c = 0; c < 9; ++c) EXPECT_EQ(loaded.data.plans[c].storage, storages[c]) << c;
      EXPECT_EQ(store.columns[5].DistinctTexts(), 310u);
      for (int r = 0; r < rows; ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        EXPECT_TRUE(SameBits(store.columns[0].Double(r), std::strtod(decimals[r % 14], nullptr)));
        EXPECT_TRUE(SameBits(store.columns[1].Double(r), r == 350 ? 2.75 : r * 7.0));
        const double z = r == 5 ? -0.0 : r == 390 ? 1.5 : 3.0;
        EXPECT_TRUE(SameBits(store.columns[2].Double(r), z));
        EXPECT_EQ(store.columns[3].Integer(r), std::atoll(wholes[r % 7]));
        EXPECT_EQ(store.columns[4].Text(r), r == 300 ? "x" : r % 2 ? "1.50" : "007");
        EXPECT_EQ(store.columns[5].Text(r), Category(r % 310));
        EXPECT_EQ(store.columns[6].IsMissing(r), r % 97 != 0);
        if (r % 97 == 0) {
          EXPECT_EQ(store.columns[6].Integer(r), 5);
        }
        EXPECT_FALSE(store.columns[7].IsMissing(r));
        EXPECT_EQ(store.columns[7].Text(r), r % 3 ? "" : "a");
        EXPECT_TRUE(SameBits(store.columns[8].Double(r), std::strtod(fine[r % 4], nullptr)));
      }
    }
  }
  // Streaming infers the same storages and counts the same categories, the
  // column turned text included, without holding a value.
  Loaded streamed = Load(dir / "data.csv", 37, true, true);
  ASSERT_EQ(streamed.result, zelstatus::Kind::kOk) << streamed.error;
  EXPECT_TRUE(streamed.data.streamed);
  EXPECT_EQ(streamed.data.rows, rows);
  EXPECT_EQ(streamed.data.store.rows(), 0u);
  EXPECT_EQ(streamed.data.store.columns[4].DistinctTexts(), 3u);
  EXPECT_EQ(streamed.data.store.columns[5].DistinctTexts(), 310u);
  EXPECT_EQ(streamed.data.plans[2].storage, kStorageReal);
}

// A decimal of fewer places joins a column at the column's scale while the
// scaled mantissa stays below 2^53 (2^53 = 9007199254740992), and turns the
// column to doubles once it would not (ten times 1801439850948199 is no
// double, so a mantissa kept past the limit would read back wrong); thousands of distinct short texts
// outgrow the sparse start of the text table. Every value reads back as its
// text parses.
TEST(LoaderTest, DecimalsJoinAtTheColumnScaleWhileExactAndManyTextsKeepTheirCodes) {
  const char* decimals[] = {"0.5", "900719925474099", "-900719925474099", "56",
                            "90071992547409", "1801439850948199", "0.25", "0.5"};
  const int rows = 6000;
  std::string csv = "d,t\n";
  for (int r = 0; r < rows; ++r) {
    csv += std::string(decimals[r * 8 / rows]) + ",t" + std::to_string(r % 5000) + "\n";
  }
  clitest::ScratchDir dir;
  clitest::WriteFile(dir / "data.csv", csv);
  Loaded loaded = Load(dir / "data.csv", std::size_t{1} << 20, false);
  ASSERT_EQ(loaded.result, zelstatus::Kind::kOk) << loaded.error;
  const ColumnStore& store = loaded.data.store;
  ASSERT_EQ(store.rows(), static_cast<std::size_t>(rows));
  EXPECT_EQ(store.columns[1].DistinctTexts(), 5000u);
  int wrong = 0;
  for (int r = 0; r < rows; ++r) {
    wrong += !SameBits(store.columns[0].Double(r), std::strtod(decimals[r * 8 / rows], nullptr));
    wrong += store.columns[1].Text(r) != "t" + std::to_string(r % 5000);
    wrong += store.columns[1].TextCode(r) != static_cast<std::size_t>(r % 5000);
  }
  EXPECT_EQ(wrong, 0);
}

// Columns of a few hundred thousand rows take their memory in large blocks;
// here the first rows are long, so the row count estimated from the first
// chunk falls short and every column grows past it.
TEST(LoaderTest, LargeColumnsGrowPastTheEstimate) {
  const int rows = 300000;
  const char* kinds[] = {"alpha", "beta", "gamma"};
  std::string csv = "i,d,k,p\n";
  for (int r = 0; r < rows; ++r) {
    const int64_t i = static_cast<int64_t>(r) * 7919 % 1000003 - 500000;
    csv += std::to_string(i) + "," + std::to_string(r / 100) + "." +
           std::to_string(10 + r % 90) + "," + kinds[r % 3] + "," +
           (r < 20000 ? std::string(120, 'x') : "") + "\n";
  }
  clitest::ScratchDir dir;
  clitest::WriteFile(dir / "data.csv", csv);
  for (bool threaded : {false, true}) {
    SCOPED_TRACE(threaded ? "threaded" : "one thread");
    Loaded loaded = Load(dir / "data.csv", std::size_t{1} << 20, threaded);
    ASSERT_EQ(loaded.result, zelstatus::Kind::kOk) << loaded.error;
    const ColumnStore& store = loaded.data.store;
    ASSERT_EQ(store.rows(), static_cast<std::size_t>(rows));
    int wrong = 0;
    for (int r = 0; r < rows; ++r) {
      const int64_t i = static_cast<int64_t>(r) * 7919 % 1000003 - 500000;
      const double d = (r / 100 * 100 + 10 + r % 90) / 100.0;
      wrong += store.columns[0].Integer(r) != i || store.columns[1].Double(r) != d ||
               store.columns[2].Text(r) != kinds[r % 3] ||
               store.columns[3].IsMissing(r) != (r >= 20000);
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(LoaderTest, ColumnsAreCompact) {
  // Two-decimal numbers and five categories: 4 bytes and 1 byte a row at most.
  std::string csv = "price,grade\n";
  const char* grades[] = {"A", "B", "C", "D", "E"};
  for (int r = 0; r < 20000; ++r) {
    csv += std::to_string(r % 5000) + "." + std::to_string(10 + r % 90) + "," + grades[r % 5] + "\n";
  }
  clitest::ScratchDir dir;
  clitest::WriteFile(dir / "data.csv", csv);
  Loaded loaded = Load(dir / "data.csv", 1 << 20, true);
  ASSERT_EQ(loaded.result, zelstatus::Kind::kOk) << loaded.error;
  EXPECT_LE(loaded.data.store.columns[0].MemoryBytes(), 4u * 20000);
  EXPECT_LE(loaded.data.store.columns[1].MemoryBytes(), 20000u + 1024);
}

TEST(LoaderTest, ErrorsNameTheFirstBadCellAfterTheFileIsKnownWhole) {
  clitest::ScratchDir dir;
  Schema schema;
  FieldSpec size;
  size.level = Level::kOrdinal;
  size.categories = {"small", "large"};
  schema.fields["size"] = size;
  FieldSpec age;
  age.storage = kStorageInteger;
  schema.fields["age"] = age;
  // Ordinal text that starts with numbers: the first number is the bad cell,
  // found when the column is read again as categories.
  clitest::WriteFile(dir / "a.csv", "size,age\n1,3\n2,x\nsmall,4\n");
  Loaded ordinal = Load(dir / "a.csv", 8, true, false, schema);
  EXPECT_EQ(ordinal.result, zelstatus::Kind::kInvalidInput);
  EXPECT_TRUE(clitest::Contains(ordinal.error,
      "line 2, column 1: '1' is not one of its categories (field 'size')"));
  // A row of the wrong width anywhere wins over a bad cell before it.
  clitest::WriteFile(dir / "b.csv", "size,age\nsmall,x\nlarge,4\nsmall\n");
  Loaded width = Load(dir / "b.csv", 8, false, false, schema);
  EXPECT_EQ(width.result, zelstatus::Kind::kInvalidInput);
  EXPECT_TRUE(clitest::Contains(width.error, "line 4: 1 cells where the header has 2"));
}

}  // namespace
}  // namespace zelio
