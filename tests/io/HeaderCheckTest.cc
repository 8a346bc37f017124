// The header rule of a data set read from several files: the same names in
// the same order, the first difference told by its column.
#include "io/HeaderCheck.h"

#include <gtest/gtest.h>

namespace zelio {
namespace {

TEST(HeaderCheck, TellsTheFirstDifference) {
  const std::vector<std::string> first = {"a", "b", "c"};
  EXPECT_EQ(HeaderDifference(first, "f.csv", {"a", "b", "c"}), "");
  EXPECT_EQ(HeaderDifference(first, "f.csv", {"a", "c", "b"}),
            "its header differs from that of f.csv at column 2: 'c' where f.csv has 'b'");
  EXPECT_EQ(HeaderDifference(first, "f.csv", {"a", "b"}),
            "its header differs from that of f.csv at column 3: no column where f.csv has 'c'");
  EXPECT_EQ(HeaderDifference(first, "f.csv", {"a", "b", "c", "d"}),
            "its header differs from that of f.csv at column 4: 'd' where f.csv has no column");
  // Names are compared as written: case and spaces count.
  EXPECT_NE(HeaderDifference(first, "f.csv", {"a", "B", "c"}), "");
  EXPECT_NE(HeaderDifference(first, "f.csv", {"a", "b ", "c"}), "");
}

TEST(HeaderCheck, ComparesRowsByTheirNames) {
  EXPECT_EQ(HeaderRowDifference("a,b,c\n", "f.csv", "\xEF\xBB\xBF\"a\",b,\"c\"\r\n", ','), "");
  EXPECT_EQ(HeaderRowDifference("a;\"b;x\"\n", "f.csv", "a;b;x", ';'),
            "its header differs from that of f.csv at column 2: 'b' where f.csv has 'b;x'");
  EXPECT_EQ(HeaderRowDifference("a,\"line\nbreak\"\n", "f.csv", "a,\"line\nbreak\"", ','), "");
  EXPECT_EQ(HeaderRowDifference("a,b\n", "f.csv", "a\n", ','),
            "its header differs from that of f.csv at column 2: no column where f.csv has 'b'");
  // A row that does not split is left to the read of its file.
  EXPECT_EQ(HeaderRowDifference("a,b\n", "f.csv", "a,\"b\n", ','), "");
}

}  // namespace
}  // namespace zelio
