// Cell parsing and type inference, where a fault would silently change
// values: every short decimal a column keeps as a mantissa over a power of
// ten must read back as exactly the double strtod gives its text, and the
// storage a column is inferred as must change exactly at the boundaries of
// each form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "io/CellParser.h"
#include "io/CellReader.h"
#include "io/ColumnStore.h"
#include "io/TypeInference.h"
#include "torcommon13r/TorVariable.h"

namespace zelio {
namespace {

using namespace TorCommon_1_3;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// "[-]I.F" for the mantissa m with `places` decimals: m = 1234, places = 2
// gives "12.34"; places = 6 gives "0.001234".
std::size_t Write(uint64_t m, int places, bool negative, char* text) {
  char digits[24];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + m % 10);
    m /= 10;
  } while (m > 0);
  while (n <= places) digits[n++] = '0';  // at least one digit before the point
  std::size_t length = 0;
  if (negative) text[length++] = '-';
  for (int i = n - 1; i >= 0; --i) {
    text[length++] = digits[i];
    if (i == places && places > 0) text[length++] = '.';
  }
  text[length] = '\0';
  return length;
}

// The mantissas swept, [first, end). The sanitizers find faults by a cell's
// length and sign, not its digits: under them every length from one to seven
// digits, both signs and several blocks of 65,536 rows with a tail suffice.
struct MantissaRange {
  uint64_t first, end;
};
#ifdef ZEL_SANITIZED_BUILD
constexpr MantissaRange kMantissas[] = {{0, 140000}, {9930000, 10000000}};
#else
constexpr MantissaRange kMantissas[] = {{0, 10000000}};
#endif

TEST(CellParsing, EveryShortDecimalReadsBackAsStrtodReadsIt) {
  // Every decimal of up to seven digits with up to four places, negative
  // for odd mantissas (a negative zero is not a short decimal: a division
  // cannot give it).
  constexpr double kPowers[] = {1, 10, 100, 1000, 10000};
  int failures = 0;
  char text[32];
  for (int places = 0; places <= 4; ++places) {
    // The column path as well: a column keeps the mantissas of a scale and
    // divides them by its power of ten when read; checked a block at a time.
    Column column(kStorageReal);
    std::vector<double> written;
    auto checkColumn = [&] {
      for (std::size_t row = 0; row < written.size(); ++row) {
        if (!SameBits(column.Double(row), written[row]) && failures++ < 10) {
          ADD_FAILURE() << "column row " << row << " at " << places << " places";
        }
      }
      // A run of rows at once, from an odd row on.
      if (written.size() > 1) {
        std::vector<double> run(written.size());
        std::vector<int64_t> scratch(written.size());
        column.DoublesAt(1, written.size() - 1, scratch.data(), run.data());
        for (std::size_t row = 1; row < written.size(); ++row) {
          if (!SameBits(run[row - 1], written[row]) && failures++ < 10) {
            ADD_FAILURE() << "column run row " << row << " at " << places << " places";
          }
        }
      }
      column = Column(kStorageReal);
      written.clear();
    };
    for (const MantissaRange& range : kMantissas) {
      for (uint64_t m = range.first; m < range.end && failures < 10; ++m) {
        const bool negative = (m & 1) != 0;
        const std::size_t length = Write(m, places, negative, text);
        const std::string_view cell(text, length);
        const double expected = std::strtod(text, nullptr);
        int64_t mantissa = 0;
        int decimals = -1;
        double parsed = 0.0;
        const int64_t signedM = negative ? -static_cast<int64_t>(m) : static_cast<int64_t>(m);
        const bool ok = ParseShortDecimal(cell, &mantissa, &decimals) && decimals == places &&
                        mantissa == signedM &&
                        SameBits(static_cast<double>(mantissa) / kPowers[places], expected) &&
                        ParseReal(cell, &parsed) && SameBits(parsed, expected);
        if (!ok) {
          ADD_FAILURE() << text;
          ++failures;
          continue;
        }
        column.AppendDecimal(mantissa, decimals);
        written.push_back(expected);
        if (written.size() == 65536) checkColumn();
      }
    }
    checkColumn();
  }
  EXPECT_EQ(failures, 0);
}

// Mantissas of one, two and four bytes, read a run at a time (one-byte ones
// also with the column's table of doubles), give the doubles strtod gives.
TEST(CellParsing, RunsOfEveryMantissaWidthReadAsStrtod) {
  const int64_t spans[] = {100, 30000, 3000000};
  char text[32];
  for (int64_t span : spans) {
    for (int places = 0; places <= 4; ++places) {
      for (bool table : {false, true}) {
        Column column(kStorageReal);
        std::vector<double> expected;
        // At least 2,048 rows, so that a column of one-byte mantissas has a table.
        const int64_t step = 1 + span / 5000;
        for (int64_t k = 0; k < std::max<int64_t>(2 * span / step, 2100); ++k) {
          const int64_t m = -span + (k * step) % (2 * span);
          const std::size_t length =
              Write(static_cast<uint64_t>(m < 0 ? -m : m), places, m < 0, text);
          int64_t mantissa = 0;
          int decimals = -1;
          ASSERT_TRUE(ParseShortDecimal(std::string_view(text, length), &mantissa, &decimals));
          column.AppendDecimal(mantissa, decimals);
          expected.push_back(std::strtod(text, nullptr));
        }
        if (table) column.PrepareReading();
        std::vector<double> run(expected.size());
        std::vector<int64_t> scratch(expected.size());
        for (std::size_t first : {std::size_t{0}, std::size_t{5}}) {
          column.DoublesAt(first, expected.size() - first, scratch.data(), run.data());
          for (std::size_t row = first; row < expected.size(); ++row) {
            ASSERT_TRUE(SameBits(run[row - first], expected[row]))
                << span << " " << places << " row " << row;
          }
        }
      }
    }
  }
}

TEST(CellParsing, NumbersReadAlikeOnBothSidesOfTheShortPaths) {
  // Whole numbers of up to 18 digits and decimals of up to 15 are read
  // without range checks; the digits beyond take the checked path.
  int64_t value = 0;
  EXPECT_TRUE(ParseInteger("999999999999999999", &value));
  EXPECT_EQ(value, 999999999999999999);
  EXPECT_TRUE(ParseInteger("-9223372036854775808", &value));
  EXPECT_EQ(value, INT64_MIN);
  EXPECT_TRUE(ParseInteger("+0009223372036854775807", &value));
  EXPECT_EQ(value, INT64_MAX);
  EXPECT_FALSE(ParseInteger("9223372036854775808", &value));
  for (const char* bad : {"", "-", "+", "1.0", "12a", " 1", "1 ", "--1", "+-5", "++5", "+-"}) {
    EXPECT_FALSE(ParseInteger(bad, &value)) << bad;
  }
  int64_t mantissa = 0;
  int decimals = -1;
  EXPECT_TRUE(ParseShortDecimal("-12345678901234.5", &mantissa, &decimals));
  EXPECT_EQ(mantissa, -123456789012345);
  EXPECT_EQ(decimals, 1);
  // 2^53 - 1 is the largest mantissa; 2^53 itself is refused.
  EXPECT_TRUE(ParseShortDecimal("900719925474099.1", &mantissa, &decimals));
  EXPECT_EQ(mantissa, 9007199254740991);
  EXPECT_EQ(decimals, 1);
  EXPECT_FALSE(ParseShortDecimal("900719925474099.2", &mantissa, &decimals));
  EXPECT_TRUE(ParseShortDecimal("+0.00000000000007", &mantissa, &decimals));
  EXPECT_EQ(mantissa, 7);
  EXPECT_EQ(decimals, 14);
  for (const char* bad : {"", "-", ".5", "5.", "1.2.3", "-0", "-0.00", "1e5", "0x1", "1,5", "+-5", "+-0.5"}) {
    EXPECT_FALSE(ParseShortDecimal(bad, &mantissa, &decimals)) << bad;
  }
}

// A column of whole numbers reads a cell written as a decimal as the number
// it denotes when that number is whole and fits 64 bits: the digits are
// weighed exactly, never through a double. While the storage is only
// inferred, a cell must have the plain form.
TEST(CellReading, AWholeNumberColumnReadsEveryWholeDecimal) {
  const CellReader declared(kStorageInteger, nullptr, nullptr);
  const CellReader inferred(kStorageInteger, nullptr, nullptr, true);
  auto read = [](const CellReader& reader, const std::string& text, int64_t* value) {
    CellValue cell;
    const CellValue::Kind kind = reader.Read(CsvCell{text, false}, &cell);
    *value = cell.integer;
    return kind;
  };
  const std::pair<const char*, int64_t> whole[] = {
      {"181.0", 181},
      {"1.81e2", 181},
      {"+181", 181},
      {"18100e-2", 181},
      {"181.", 181},
      {"0.181E+3", 181},
      {"-0.0", 0},
      {"0e999999999999999999999", 0},
      {"0.000e-7", 0},
      {"1e18", 1000000000000000000},
      {"9223372036854775807.000", INT64_MAX},
      {"922337203685477580.7e1", INT64_MAX},
      {"-9223372036854775808.0", INT64_MIN},
      {"-0.9223372036854775808e19", INT64_MIN},
      {"9007199254740993.0", 9007199254740993},  // 2^53 + 1, which no double holds
      {"000000000000000000000000181.0000000000000000000000", 181},
  };
  int64_t value = 0;
  for (const auto& [text, expected] : whole) {
    EXPECT_EQ(read(declared, text, &value), CellValue::kInteger) << text;
    EXPECT_EQ(value, expected) << text;
  }
  for (const char* bad : {"181.5", "1.815e2", "5e-1", ".5", "181.0000000000000000001",
                          "9223372036854775808.0", "-9223372036854775809", "1e19", "-1e19",
                          "1e99999999999999999999", "1e-99999999999999999999", "inf", "nan",
                          " 181.0", "181.0 ", "1e", "e5", "1.8.1", "+-181.0", "0x1p3", "1,0"}) {
    EXPECT_EQ(read(declared, bad, &value), CellValue::kBad) << bad;
  }
  EXPECT_EQ(read(declared, "", &value), CellValue::kMissing);
  EXPECT_EQ(read(inferred, "+181", &value), CellValue::kInteger);
  EXPECT_EQ(read(inferred, "181.0", &value), CellValue::kBad);

  // Random whole numbers in every form, and the same with a half added.
  std::mt19937_64 random(181);
  for (int round = 0; round < 20000; ++round) {
    const auto v = static_cast<int64_t>(random() >> (random() % 64));
    const int64_t n = round % 2 == 0 ? v : -v;
    const std::string text = std::to_string(n);
    const bool negative = n < 0;
    const std::string digits = text.substr(negative ? 1 : 0);
    const std::string sign = negative ? "-" : "";
    const std::string forms[] = {
        text + ".0", text + "000e-3", sign + "0." + digits + "e" + std::to_string(digits.size()),
        sign + digits.substr(0, 1) + "." + digits.substr(1) + "E+" +
            std::to_string(digits.size() - 1)};
    for (const std::string& form : forms) {
      ASSERT_EQ(read(declared, form, &value), CellValue::kInteger) << form;
      ASSERT_EQ(value, n) << form;
    }
    ASSERT_EQ(read(declared, text + ".5", &value), CellValue::kBad) << text;
    ASSERT_EQ(read(declared, text + "5e-1", &value), CellValue::kBad) << text;
  }
}

int Infer(std::initializer_list<const char*> cells) {
  TypeInference inference;
  for (const char* cell : cells) inference.Add(cell);
  return inference.Result();
}

TEST(TypeInference, EachFormChangesAtItsBoundary) {
  // Whole numbers up to the 64-bit limits; one past them is a real.
  EXPECT_EQ(Infer({"9223372036854775807", "-9223372036854775808"}), kStorageInteger);
  EXPECT_EQ(Infer({"9223372036854775808"}), kStorageReal);
  EXPECT_EQ(Infer({"-9223372036854775809"}), kStorageReal);
  EXPECT_EQ(Infer({"+7", "-0", "007"}), kStorageInteger);
  EXPECT_EQ(Infer({"1", "2.5"}), kStorageReal);
  // A whole number written as a decimal makes the column real, as 2.5 does.
  EXPECT_EQ(Infer({"181", "181.0"}), kStorageReal);
  EXPECT_EQ(Infer({"181.0", "182.0"}), kStorageReal);
  EXPECT_EQ(Infer({"1e308", ".5", "-2.", "5E-3"}), kStorageReal);
  // Words a number converter takes are texts; so are blanks around numbers.
  EXPECT_EQ(Infer({"1", "inf"}), kStorageString);
  EXPECT_EQ(Infer({"nan"}), kStorageString);
  EXPECT_EQ(Infer({"1e309"}), kStorageString);
  EXPECT_EQ(Infer({" 1"}), kStorageString);
  EXPECT_EQ(Infer({"0x10"}), kStorageString);
  // Dates: leap days only in leap years, 1900 is none, 2000 is one.
  EXPECT_EQ(Infer({"2020-02-29", "2000-02-29", "1969-12-31"}), kStorageDate);
  EXPECT_EQ(Infer({"2020-02-29", "1900-02-29"}), kStorageString);
  EXPECT_EQ(Infer({"2021-04-31"}), kStorageString);
  EXPECT_EQ(Infer({"2021-4-03"}), kStorageString);
  // Every part of a date at its bounds: months 1 to 12, days 1 to the
  // month's last, years of four digits.
  EXPECT_EQ(Infer({"0000-01-01", "9999-12-31", "2021-01-31", "2021-04-30", "2021-02-28"}),
            kStorageDate);
  for (const char* text : {"2021-00-10", "2021-13-01", "2021-01-00", "2021-01-32", "2021-02-29",
                           "2021-06-31", "10000-01-01", "999-01-01", "2021-01-1", "2021/01/01",
                           "2021-01-01 ", "+021-01-01"}) {
    EXPECT_EQ(Infer({"2021-03-04", text}), kStorageString) << text;
  }
  // Times: hours 0 to 23, minutes and seconds 0 to 59, two digits each,
  // with an optional fraction.
  EXPECT_EQ(Infer({"00:00:00", "23:59:59.999", "12:00:59", "12:59:00", "09:05:01.5"}),
            kStorageTime);
  for (const char* text : {"12:00:60", "12:00:60.0", "12:00:99", "12:60:00", "24:00:00",
                           "99:00:00", "1:00:00", "12:0:00", "12:00:0", "12:00", "12:00:00.",
                           "12:00:00,5", "12:00:00.5.5", "12:00:00Z", "-1:00:00", "12-00-00"}) {
    EXPECT_EQ(Infer({"12:00:00", text}), kStorageString) << text;
  }
  // Timestamps with a blank or a T; a date among them makes text, and so
  // does a part out of range or another form.
  EXPECT_EQ(Infer({"2021-03-04 05:06:07", "2021-03-04T23:59:59.5", "2020-02-29 00:00:00"}),
            kStorageTimestamp);
  EXPECT_EQ(Infer({"2021-03-04 05:06:07", "2021-03-04"}), kStorageString);
  for (const char* text : {"2021-03-04 12:00:60", "2021-03-04 24:00:00", "2021-03-04T12:60:00",
                           "2021-02-29 00:00:00", "2021-13-04 00:00:00", "2021-03-04t05:06:07",
                           "2021-03-04  05:06:07", "2021-03-04_05:06:07", "2021-03-04 5:06:07",
                           "2021-03-04 05:06:07Z", "2021-03-04 05:06:07+01:00"}) {
    EXPECT_EQ(Infer({"2021-03-04 05:06:07", text}), kStorageString) << text;
  }
  // Dates and numbers, or times and dates, mix into text.
  EXPECT_EQ(Infer({"2021-03-04", "5"}), kStorageString);
  EXPECT_EQ(Infer({"12:00:00", "2021-03-04"}), kStorageString);
  // No cell at all: a column of missing values is numeric.
  EXPECT_EQ(Infer({}), kStorageReal);
}

}  // namespace
}  // namespace zelio
