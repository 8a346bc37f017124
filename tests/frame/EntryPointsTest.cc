// The exported classes: the factory and the algorithm's life cycle
// (refusals and warnings), and the progress reporter.
#include <gtest/gtest.h>

#include <utility>

#include "frame/ZelReporter.h"
#include "frame/ZelStatusCodes.h"
#include "frame/ZelWarning.h"
#include "torcommon13r/TorMV.h"
#include "support/TestHost.h"

using ZelFrame::AddWarning;
using ZelFrame::ZelFactory;

using namespace testhost;
using namespace TorCommon_1_3;

namespace {

// An algorithm over one continuous field x, created with default settings.
struct OneField {
  OneField() {
    variables.AddVariable(ContField("x"));
    algorithm.reset(factory.CreateTorAlgorithm(settings, variables));
  }
  TorSettings settings;
  TorVarList variables;
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> algorithm;
};

TEST(EntryPoints, ExecuteRefusesNullAndEmptySourcesAndKeepsTheError) {
  OneField null;
  ASSERT_NE(null.algorithm, nullptr);
  EXPECT_EQ(null.algorithm->Execute(nullptr), TorStatus(ZelStatusCode::kNullSource, false));
  EXPECT_FALSE(null.algorithm->IsBuilt());

  // A stored error is returned again without looking at the new source.
  OneField empty;
  MemorySource none;
  EXPECT_EQ(empty.algorithm->Execute(&none), TorStatus(ZelStatusCode::kNoRecords, false));
  MemorySource full;
  full.Add({Real(1.0)});
  EXPECT_EQ(empty.algorithm->Execute(&full), TorStatus(ZelStatusCode::kNoRecords, false));
  EXPECT_EQ(full.delivered, 0);
  EXPECT_FALSE(empty.algorithm->IsBuilt());
}

TEST(EntryPoints, WarningsAreDeduplicatedAndClearedByExecute) {
  std::vector<TorStatus> list;
  for (int code : {210101, 210105, 210101}) AddWarning(&list, code);
  EXPECT_EQ(list, (std::vector<TorStatus>{TorStatus(210101, true), TorStatus(210105, true)}));
  AddWarning(nullptr, 210101);  // no list: ignored

  // Reading the settings leaves its warnings visible on the factory; the
  // algorithm shares the same list, and Execute starts it afresh.
  OneField one;
  EXPECT_EQ(*one.algorithm->GetWarnings(), one.factory.GetWarnings());
  one.algorithm->GetWarnings()->push_back(TorStatus(424242, true));
  one.algorithm->Execute(nullptr);
  EXPECT_TRUE(one.factory.GetWarnings().empty());
}

TEST(Reporter, MeasuresFollowTheStage) {
  ZelReporter reporter;
  auto measures = [&reporter] {
    return std::make_pair(reporter.DiscreteMeasure("BuildStage"),
                          reporter.DiscreteMeasure("DataPassNumber"));
  };
  EXPECT_EQ(measures(), std::make_pair(-1, -1));
  EXPECT_EQ(reporter.ScaleMeasure("SpendTime"), 0.0);
  reporter.SetValues(ZelReporterConst::StagePrepared);
  EXPECT_EQ(measures(), std::make_pair(0, -1));
  for (int i = 0; i < 3; ++i) reporter.SetValues(ZelReporterConst::StageDataPass);
  EXPECT_EQ(measures(), std::make_pair(1, 3));
  reporter.SetValues(ZelReporterConst::StagePassesDone);
  EXPECT_EQ(measures(), std::make_pair(2, -1));
  reporter.SetValues(ZelReporterConst::StageDataPass);
  EXPECT_EQ(measures(), std::make_pair(1, 4));  // the count was kept
  EXPECT_GE(reporter.ScaleMeasure("SpendTime"), 0.0);
  EXPECT_EQ(reporter.DiscreteMeasure("Nonsense"), -1);
  EXPECT_EQ(reporter.ScaleMeasure("Nonsense"), TorMV::gMissingValue);
}

}  // namespace
