// Every status code the component declares has its own explanation for
// users, so no code reaches a user as "unknown": the test walks the
// component's own list of codes, so a code added without a message fails.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "frame/ZelFactory.h"
#include "frame/ZelStatusCodes.h"

using ZelFrame::ZelFactory;

namespace {

TEST(StatusMessages, EveryDeclaredCodeHasItsOwnMessage) {
  std::set<std::string> messages;
  std::set<int> codes;
  for (const ZelStatusCode::CodeInfo& info : ZelStatusCode::kAll) {
    EXPECT_TRUE(codes.insert(info.code).second) << info.code << " is declared twice";
    const char* message = ZelFactory::DescribeStatusCode(info.code);
    ASSERT_NE(message, nullptr) << info.code << " has no message";
    EXPECT_FALSE(std::string(message).empty()) << info.code;
    EXPECT_TRUE(messages.insert(message).second) << info.code << " repeats: " << message;
    // Warnings are numbered from 210100 on; everything below is an error.
    EXPECT_EQ(info.warning, info.code >= 210100) << info.code;
  }
  // The documented table: 30 errors and 17 warnings.
  EXPECT_EQ(codes.size(), 47u);
  EXPECT_EQ(ZelFactory::DescribeStatusCode(424242), nullptr);
}

}  // namespace
