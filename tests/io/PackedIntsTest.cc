// Packed integers widen the whole array the moment a value does not fit:
// every value before and after each width change reads back, one at a time
// and in ranges, from reserved room and from room grown on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "io/PackedInts.h"

namespace zelio {
namespace {

// The values on both sides of each width's limits, with the narrowest
// width that holds each.
const std::pair<int64_t, int> kEdges[] = {
    {0, 1},          {127, 1},        {-128, 1},       {128, 2},
    {-129, 2},       {32767, 2},      {-32768, 2},     {32768, 4},
    {-32769, 4},     {2147483647, 4}, {-2147483647 - 1, 4},
    {2147483648, 8}, {-2147483649, 8}, {std::numeric_limits<int64_t>::max(), 8},
    {std::numeric_limits<int64_t>::min(), 8}};

void ExpectHolds(const PackedInts& packed, const std::vector<int64_t>& values) {
  ASSERT_EQ(packed.size(), values.size());
  for (std::size_t i = 0; i < values.size(); ++i) EXPECT_EQ(packed.Get(i), values[i]) << i;
  // Ranges, including ones that start and end inside.
  for (std::size_t first : {std::size_t{0}, values.size() / 3}) {
    const std::size_t count = values.size() - first - (first > 0 ? 1 : 0);
    std::vector<int64_t> out(count);
    packed.GetRange(first, count, out.data());
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(out[i], values[first + i]) << first + i;
  }
}

TEST(PackedInts, WidensAtEachLimitAndKeepsEveryValue) {
  for (bool reserved : {false, true}) {
    PackedInts packed;
    if (reserved) packed.Reserve(1000);
    std::vector<int64_t> values;
    // A run of small values, then each edge in turn, so the array widens
    // to 2, 4 and 8 bytes with values already in it.
    for (int i = 0; i < 300; ++i) {
      const int64_t value = i % 256 - 128;
      packed.Append(value);
      values.push_back(value);
    }
    EXPECT_EQ(packed.width(), 1);
    int widest = 1;
    for (const auto& [edge, width] : kEdges) {
      EXPECT_EQ(PackedInts::WidthOf(edge), width) << edge;
      packed.Append(edge);
      values.push_back(edge);
      widest = std::max(widest, width);
      EXPECT_EQ(packed.width(), widest) << edge;
    }
    EXPECT_EQ(packed.width(), 8);
    ExpectHolds(packed, values);
  }
}

// Growing past the room a thousand times over, at a width set up front.
TEST(PackedInts, GrowsPastItsRoomAtAWidthSetUpFront) {
  PackedInts wide(4);
  std::vector<int64_t> values;
  for (int64_t i = 0; i < 100000; ++i) {
    const int64_t value = (i * 7919) % 65536 - 32768;
    wide.Append(value);
    values.push_back(value);
  }
  EXPECT_EQ(wide.width(), 4);  // never narrowed
  wide.ShrinkToFit();
  ExpectHolds(wide, values);
}

}  // namespace
}  // namespace zelio
