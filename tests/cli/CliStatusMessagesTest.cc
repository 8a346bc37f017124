// The command's message table must explain every status code the component
// defines, so a code added later cannot reach users as "unknown status".
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "cli/CliHarness.h"

namespace clitest {
namespace {

TEST(CliStatusMessages, EveryComponentCodeHasAMessage) {
  const std::filesystem::path root = std::filesystem::path(__FILE__).parent_path() / ".." / "..";
  const std::string codes = ReadFile((root / "src/frame/ZelStatusCodes.h").string());
  const std::string table = ReadFile((root / "cli/StatusMessages.cc").string());
  const std::regex constant("constexpr int (k[A-Za-z]+) = [0-9]+;");
  int seen = 0;
  for (std::sregex_iterator it(codes.begin(), codes.end(), constant), end; it != end; ++it) {
    ++seen;
    const std::string name = (*it)[1];
    EXPECT_NE(table.find("{" + name + ","), std::string::npos) << name << " has no message";
  }
  EXPECT_GT(seen, 30);
}

}  // namespace
}  // namespace clitest
