// The command's message table explains every status code the component can
// return, each in its own words, so no code reaches a user as "unknown".
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "StatusMessages.h"

namespace {

using TorCommon_1_3::TorStatus;

TEST(StatusMessages, EveryComponentCodeHasItsOwnMessage) {
  // Every code the component documents, with its kind (true: a warning).
  const std::pair<int, bool> codes[] = {
      {1, false},      {3, false},      {6, false},      {210001, false}, {210003, false},
      {210005, false}, {210006, false}, {210007, false}, {210010, false}, {210011, false},
      {210012, false}, {210013, false}, {210014, false}, {210015, false}, {210016, false},
      {210017, false}, {210030, false}, {210031, false}, {210032, false}, {210033, false},
      {210034, false}, {210040, false}, {210041, false}, {210042, false}, {210043, false},
      {210047, false}, {210100, true},  {210101, true},  {210102, true},  {210103, true},
      {210104, true},  {210105, true},  {210106, true},  {210107, true},  {210108, true},
      {210110, true},  {210111, true},  {210112, true},  {210113, true},  {210115, true},
      {210116, true}};
  std::set<std::string> messages;
  for (const auto& [code, warning] : codes) {
    const std::string message = zelcli::StatusMessage(code);
    EXPECT_NE(message, "unknown status") << code;
    EXPECT_TRUE(messages.insert(message).second) << code << " repeats: " << message;
    const std::string line = zelcli::DescribeStatus(TorStatus(code, warning));
    EXPECT_EQ(line, (warning ? "warning " : "error ") + std::to_string(code) + ": " + message);
  }
  EXPECT_EQ(zelcli::DescribeStatus(TorStatus(424242, false)), "error 424242: unknown status");
}

}  // namespace
