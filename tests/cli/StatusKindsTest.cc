// The kinds of the libraries' statuses and what the command makes of them:
// every input kind exits with 2, the component's failure and a fault of our
// own with 1 (the exit table of the command line's documentation), and the
// libraries give each failure the kind its cause has.
#include <string>

#include <gtest/gtest.h>

#include "ExitStatus.h"
#include "OutputFile.h"
#include "apply/Document.h"
#include "io/DataLoader.h"
#include "io/Schema.h"
#include "preparation/RunMessages.h"
#include "status/Status.h"
#include "support/CliHarness.h"
#include "support/TestHost.h"

namespace zelcli {
namespace {

using zelstatus::Kind;
using zelstatus::Status;

TEST(StatusKinds, EveryKindHasTheExitStatusOfTheTable) {
  EXPECT_EQ(ExitStatusOf(Status()), 0);
  EXPECT_EQ(ExitStatusOf(Status::InvalidInput("x")), 2);
  EXPECT_EQ(ExitStatusOf(Status::InputOutput("x")), 2);
  EXPECT_EQ(ExitStatusOf(Status::LimitExceeded("x")), 2);
  EXPECT_EQ(ExitStatusOf(Status::Component("x")), 1);
  EXPECT_EQ(ExitStatusOf(Status::Internal("x")), 1);
}

TEST(StatusKinds, APrefixKeepsTheKindAndTheLocationAndLeavesSuccessAndStopsAlone) {
  const Status bad = Status::InvalidInput("line 4: 1 cells", 4, 2).Prefixed("data.csv: ");
  EXPECT_EQ(bad.kind(), Kind::kInvalidInput);
  EXPECT_EQ(bad.message(), "data.csv: line 4: 1 cells");
  EXPECT_EQ(bad.line(), 4);
  EXPECT_EQ(bad.column(), 2);
  EXPECT_TRUE(Status().Prefixed("data.csv: ").message().empty());
  EXPECT_EQ(Status::Interrupted().Prefixed("data.csv: ").message(), "interrupted");
  EXPECT_TRUE(Status::LimitExceeded("x").inputError());
  EXPECT_FALSE(Status::Internal("x").inputError());
  EXPECT_FALSE(Status::Interrupted().inputError());
}

TEST(StatusKinds, TheComponentsFailureKeepsItsCode) {
  const TorCommon_1_3::TorStatus refused(210051, false);
  const Status status = zelprep::ComponentFailure(refused);
  EXPECT_EQ(status.kind(), Kind::kComponent);
  EXPECT_EQ(status.message(), "error 210051: " + zelprep::StatusMessage(210051));
}

TEST(StatusKinds, EachFailureHasTheKindOfItsCause) {
  const zelio::Schema schema;
  zelio::LoadRequest request;
  request.paths = {"data.csv"};
  request.schema = &schema;
  testhost::FlagCheck never;
  zelio::LoadedData data;
  // A short row: invalid input at its line.
  Status status = zelio::LoadCsvText(request, "a,b\n1,2\n3,4\n5\n", never,
                                     zelio::ReadProgress::Silent(), &data);
  EXPECT_EQ(status.kind(), Kind::kInvalidInput);
  EXPECT_EQ(status.line(), 4);
  EXPECT_EQ(status.message(), "data.csv: line 4: 1 cells where the header has 2");
  // A file that is not there, and a stop.
  clitest::ScratchDir dir;
  request.paths = {dir / "missing.csv"};
  status = zelio::LoadCsv(request, never, zelio::ReadProgress::Silent(), &data);
  EXPECT_EQ(status.kind(), Kind::kInputOutput) << status.message();
  testhost::FlagCheck stop;
  stop.interruptAfter = 0;
  clitest::WriteFile(dir / "data.csv", "a\n1\n");
  request.paths = {dir / "data.csv"};
  EXPECT_TRUE(zelio::LoadCsv(request, stop, zelio::ReadProgress::Silent(), &data).interrupted());

  // A document nested past the readers' limit, and one that is no XML.
  std::string deep;
  for (int i = 0; i < 300; ++i) deep += "<a>";
  zelapply::CompiledDocument document;
  EXPECT_EQ(zelapply::CompileDocument("<PMML>" + deep, &document).kind(), Kind::kLimitExceeded);
  EXPECT_EQ(zelapply::CompileDocument("<PMML", &document).kind(), Kind::kInvalidInput);

  zelio::Schema parsed;
  EXPECT_EQ(zelio::ParseSchema("{\"fields\": 1}", "schema.json", &parsed).kind(),
            Kind::kInvalidInput);
  OutputFile output;
  EXPECT_EQ(output.Prepare(dir / "missing/out.pmml").kind(), Kind::kInputOutput);
}

}  // namespace
}  // namespace zelcli
