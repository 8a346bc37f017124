// The progress reporter's measures across stages.
#include <gtest/gtest.h>

#include "frame/ZelReporter.h"
#include "frame/host/TorMV.h"

TEST(Reporter, MeasuresFollowTheStage) {
  ZelReporter reporter;
  EXPECT_EQ(reporter.DiscreteMeasure("BuildStage"), -1);
  EXPECT_EQ(reporter.DiscreteMeasure("DataPassNumber"), -1);
  EXPECT_EQ(reporter.ScaleMeasure("SpendTime"), 0.0);

  reporter.SetValues(ZelReporterConst::StagePrepared);
  EXPECT_EQ(reporter.DiscreteMeasure("BuildStage"), 0);
  EXPECT_EQ(reporter.DiscreteMeasure("DataPassNumber"), -1);
  for (int i = 0; i < 3; ++i) reporter.SetValues(ZelReporterConst::StageDataPass);
  EXPECT_EQ(reporter.DiscreteMeasure("BuildStage"), 1);
  EXPECT_EQ(reporter.DiscreteMeasure("DataPassNumber"), 3);
  reporter.SetValues(ZelReporterConst::StagePassesDone);
  EXPECT_EQ(reporter.DiscreteMeasure("DataPassNumber"), -1);
  reporter.SetValues(ZelReporterConst::StageDataPass);
  EXPECT_EQ(reporter.DiscreteMeasure("DataPassNumber"), 4);  // the count was kept
  EXPECT_GE(reporter.ScaleMeasure("SpendTime"), 0.0);

  EXPECT_EQ(reporter.DiscreteMeasure("Nonsense"), -1);
  EXPECT_EQ(reporter.ScaleMeasure("Nonsense"), TorCommon_1_3::TorMV::gMissingValue);
}
