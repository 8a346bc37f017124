// Streaming and threads change how the file is read, never what is built:
// on the example data (two blocks of rows, so that the threads share
// them) the document and the prepared data set of a run that holds the
// columns, runs on one and on three threads, streamed runs on one and two
// threads and one streamed because the columns would pass the memory limit
// are the same, apart from the header's time and the processing time.
#include <gtest/gtest.h>


#include "support/CliHarness.h"

namespace clitest {
namespace {


TEST(CliStream, StreamedAndSingleThreadedRunsBuildTheSameDocument) {
  ScratchDir dir;
  const std::string generator = SiblingProgram("zelcraft-example-data");
  ASSERT_EQ(std::system((generator + " " + dir.path() + " 70000").c_str()), 0);
  const std::vector<std::vector<std::string>> variants = {
      {}, {"--threads", "1"}, {"--threads", "3"}, {"--stream", "--threads", "2"},
      {"--stream", "--threads", "1"}, {"--memory-limit", "1M"}};
  std::string document, prepared;
  for (std::size_t v = 0; v < variants.size(); ++v) {
    const std::string name = "run" + std::to_string(v);
    std::vector<std::string> args = {"prepare", "customers.csv", "--target", "churn",
                                     "--frequency-weight", "weight", "--schema",
                                     "customers.schema.json", "--settings",
                                     "customers.settings.json", "-o", name + ".pmml",
                                     "--data-out", name + ".csv", "-q"};
    args.insert(args.end(), variants[v].begin(), variants[v].end());
    const RunResult run = RunCli(dir.path(), args);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string pmml = WithoutTimes(ReadFile(dir / (name + ".pmml")));
    const std::string data = ReadFile(dir / (name + ".csv"));
    if (v == 0) {
      ASSERT_NE(pmml.find("DerivedField"), std::string::npos);
      document = pmml;
      prepared = data;
      continue;
    }
    EXPECT_EQ(pmml, document) << "variant " << v;
    EXPECT_EQ(data, prepared) << "variant " << v;
  }
}

}  // namespace
}  // namespace clitest
