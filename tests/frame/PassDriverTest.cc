// The data passes through the public algorithm: progress reports and pass
// skipping, interruption, weights and user-missing values reaching the
// statistics, and the run-time warnings of the fifth pass.
#include <gtest/gtest.h>

#include <thread>

#include "frame/ZelAlgorithm.h"
#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarNumeric.h"
#include "support/TestHost.h"

using namespace testhost;
using namespace TorCommon_1_3;

namespace {

const ZelVariableHandleList& FieldsOf(const Build& build) {
  return static_cast<const ZelAlgorithm*>(build.algorithm.get())->GetDriver().GetFields();
}

const ZelStatistic::ContSummary& SummaryOf(const Build& build, int index) {
  auto* statistic = dynamic_cast<const ZelStatistic::ZelUnivarNumeric*>(
      FieldsOf(build).GetHandle(index)->GetUnivariate());
  EXPECT_NE(statistic, nullptr);
  return statistic->GetSummary();
}

// Everything that would create statistics beyond the univariate ones off.
TorSettings QuietSettings() {
  TorSettings settings;
  settings.SetBool("trimBlanks", false);
  settings.SetBool("detectFeatureOutliers", false);
  settings.SetBool("detectTargetOutliers", false);
  settings.SetBool("checkFeatureMeasureLevel", false);
  settings.SetBool("checkTargetMeasureLevel", false);
  return settings;
}

MemorySource Counting(int n) {
  MemorySource source;
  for (int i = 0; i < n; ++i) source.Add({Real(i % 17)});
  return source;
}

}  // namespace

TEST(PassDriver, ReportsCompletedPassesAndSkipsOnlyWhatIsGated) {
  TorVarList variables;
  variables.AddVariable(ContField("x"));

  // Outlier detection off: the second pass is skipped and makes no report.
  {
    TorSettings settings = QuietSettings();
    MemorySource source = Counting(10);
    RecordingListener listener;
    Build build;
    build.algorithm.reset(build.factory.CreateTorAlgorithm(settings, variables));
    build.algorithm->SetProgressListener(&listener);
    const TorStatus status = build.algorithm->Execute(&source);
    EXPECT_FALSE(status.IsError());
    EXPECT_TRUE(build.algorithm->IsBuilt());
    ASSERT_EQ(listener.reports.size(), 8u);  // prepared, six passes, passes done
    EXPECT_EQ(listener.reports.front().stage, 0);
    for (int i = 1; i <= 6; ++i) {
      EXPECT_EQ(listener.reports[i].stage, 1);
      EXPECT_EQ(listener.reports[i].pass, i);
    }
    EXPECT_EQ(listener.reports.back().stage, 2);
    EXPECT_EQ(listener.reports.back().pass, -1);
    // Only the first pass (univariate statistics) and the last (histograms
    // created after the sixth) have pending fields, so only they read.
    EXPECT_EQ(source.delivered, 20);
    EXPECT_EQ(source.rewinds, 7);  // a skipped pass rewinds too
  }
  // With outlier detection on for inputs every pass reports.
  {
    TorSettings settings = QuietSettings();
    settings.SetBool("detectFeatureOutliers", true);
    MemorySource source = Counting(10);
    RecordingListener listener;
    Build build;
    build.algorithm.reset(build.factory.CreateTorAlgorithm(settings, variables));
    build.algorithm->SetProgressListener(&listener);
    build.algorithm->Execute(&source);
    ASSERT_EQ(listener.reports.size(), 9u);
    EXPECT_EQ(listener.reports[7].pass, 7);
  }
}

TEST(PassDriver, InterruptionByCheckByStopAndBetweenPasses) {
  TorVarList variables;
  variables.AddVariable(ContField("x"));

  // The host's check says stop before the fourth record.
  {
    TorSettings settings = QuietSettings();
    MemorySource source = Counting(50);
    FlagCheck check;
    check.interruptAfter = 3;
    RecordingListener listener;
    Build build;
    build.algorithm.reset(build.factory.CreateTorAlgorithm(settings, variables));
    build.algorithm->SetInterruptCheck(&check);
    build.algorithm->SetProgressListener(&listener);
    EXPECT_EQ(build.algorithm->Execute(&source), TorStatus(ZelStatusCode::kInterrupted, false));
    EXPECT_FALSE(build.algorithm->IsBuilt());
    EXPECT_EQ(source.delivered, 3);
    // A pass interrupted while reading returns at once: no further reports.
    ASSERT_EQ(listener.reports.size(), 1u);
  }
  // Stop() from another thread while the first pass reads a long source.
  {
    TorSettings settings = QuietSettings();
    MemorySource source = Counting(5000);
    Build build;
    build.algorithm.reset(build.factory.CreateTorAlgorithm(settings, variables));
    ITorAlgorithm* algorithm = build.algorithm.get();
    source.onNext = [algorithm](std::size_t index) {
      if (index == 100) std::thread([algorithm] { algorithm->Stop(); }).join();
    };
    EXPECT_EQ(build.algorithm->Execute(&source), TorStatus(ZelStatusCode::kInterrupted, false));
    EXPECT_FALSE(build.algorithm->IsBuilt());
    EXPECT_EQ(source.delivered, 101);
  }
  // A stop noticed after the first pass lets the renaming and the final
  // report run, and still ends the build with code 1.
  {
    TorSettings settings = QuietSettings();
    MemorySource source = Counting(10);
    FlagCheck check;
    check.interruptAfter = 10;  // ten polls before records, then the one after the pass
    RecordingListener listener;
    Build build;
    build.algorithm.reset(build.factory.CreateTorAlgorithm(settings, variables));
    build.algorithm->SetInterruptCheck(&check);
    build.algorithm->SetProgressListener(&listener);
    EXPECT_EQ(build.algorithm->Execute(&source), TorStatus(ZelStatusCode::kInterrupted, false));
    ASSERT_EQ(listener.reports.size(), 3u);
    EXPECT_EQ(listener.reports[1].pass, 1);
    EXPECT_EQ(listener.reports[2].stage, 2);
    EXPECT_EQ(source.rewinds, 0);
  }
}

TEST(PassDriver, WeightsAndUserMissingValuesReachTheStatistics) {
  TorVarList variables;
  ITorVariable* x = ContField("x");
  x->GetEncoder()->AddMissingValue(99.0);
  x->GetEncoder()->SetMissingRange(-10.0, -5.0);
  variables.AddVariable(x);
  variables.AddVariable(ContField("f"));
  variables.AddVariable(ContField("a"));
  variables.SetFrequencyWeightIndex(1);
  TorSettings settings = QuietSettings();
  settings.SetString("analysisWeight", "a");

  MemorySource source;
  source.Add({Real(1.0), Real(2.5), Real(1.0)});   // counts 3
  source.Add({Real(2.0), Real(0.4), Real(1.0)});   // rounds to 0: dropped
  source.Add({Real(99.0), Real(1.0), Real(1.0)});  // discrete user-missing
  source.Add({Real(-7.0), Int(1), Real(1.0)});     // in the missing range
  source.Add({Real(4.0), Real(1.0), Real(0.0)});   // analysis weight 0: dropped
  source.Add({Real(5.0), Missing(), Real(1.0)});   // missing weight: dropped
  source.Add({Real(6.0), Int(1), Real(2.0)});      // weighs 2
  Build build;
  build.Run(settings, variables, source);
  ASSERT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();

  const ZelStatistic::ContSummary& s = SummaryOf(build, 0);
  EXPECT_EQ(s.GetValidCount(), 4);
  EXPECT_EQ(s.GetMissingCount(), 2);
  EXPECT_DOUBLE_EQ(s.GetMinimum(), 1.0);
  EXPECT_DOUBLE_EQ(s.GetMaximum(), 6.0);
  // Mean weighted by frequency times analysis weight: (1*3*1 + 6*1*2) / 5.
  EXPECT_DOUBLE_EQ(s.GetMean(), 3.0);
  EXPECT_TRUE(FieldsOf(build).GetHandle(1)->IsFrequencyWeight());
  EXPECT_TRUE(FieldsOf(build).GetHandle(2)->IsAnalysisWeight());
}

TEST(PassDriver, FifthPassWarnsAboutStepsThatCannotRun) {
  auto run = [](TorVarList& variables, MemorySource& source) {
    TorSettings settings = QuietSettings();
    settings.SetBool("rescaleScaleTargetUsingBoxCox", true);
    Build build;
    build.Run(settings, variables, source);
    EXPECT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
    return build;
  };
  // No target, one nominal text input.
  {
    TorVarList variables;
    variables.AddVariable(NominalField("s", true));
    MemorySource source;
    for (const char* v : {"a", "b", "c", "a", "b", "c"}) source.Add({Str(v)});
    Build build = run(variables, source);
    for (int code : {210101, 210103, 210104, 210105, 210108, 210110}) {
      EXPECT_TRUE(HasWarning(build.warnings, code)) << code;
    }
    EXPECT_FALSE(HasWarning(build.warnings, 210115));
    // The run returns the last warning raised.
    EXPECT_EQ(build.executeStatus, build.warnings.back());
  }
  // A nominal target with a continuous input.
  {
    TorVarList variables;
    variables.AddVariable(NominalField("t", true, kRoleTarget));
    variables.AddVariable(ContField("x"));
    MemorySource source;
    for (int i = 0; i < 12; ++i) source.Add({Str(i % 2 ? "yes" : "no"), Real(i * 1.5)});
    Build build = run(variables, source);
    for (int code : {210101, 210106, 210115}) EXPECT_TRUE(HasWarning(build.warnings, code)) << code;
    for (int code : {210103, 210104, 210105, 210107, 210108, 210110}) {
      EXPECT_FALSE(HasWarning(build.warnings, code)) << code;
    }
  }
  // A continuous target with only a categorical input.
  {
    TorVarList variables;
    variables.AddVariable(ContField("y", kStorageReal, kRoleTarget));
    variables.AddVariable(NominalField("s", true));
    MemorySource source;
    for (int i = 0; i < 12; ++i) source.Add({Real(i * 0.75), Str(i % 3 ? "u" : "v")});
    Build build = run(variables, source);
    for (int code : {210103, 210104, 210107, 210108}) {
      EXPECT_TRUE(HasWarning(build.warnings, code)) << code;
    }
    EXPECT_FALSE(HasWarning(build.warnings, 210101));
    EXPECT_FALSE(HasWarning(build.warnings, 210106));
  }
}
