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

}  // namespace
}  // namespace zelio
