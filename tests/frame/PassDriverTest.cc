// The data passes through the public algorithm: progress reports and pass
// skipping, interruption, weights and user-missing values reaching the
// statistics, and the run-time warnings of the fifth pass.
#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <utility>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarNumeric.h"
#include "support/TestHost.h"

using namespace testhost;
using namespace TorCommon_1_3;

namespace {

const TorStatus kInterrupted(ZelStatusCode::kInterrupted, false);

// Everything that would create statistics beyond the univariate ones off.
TorSettings QuietSettings() {
  TorSettings settings;
  for (const char* key : {"trimBlanks", "detectFeatureOutliers", "detectTargetOutliers",
                          "checkFeatureMeasureLevel", "checkTargetMeasureLevel"}) {
    settings.SetBool(key, false);
  }
  return settings;
}

// Runs one continuous field x over `n` records with `settings`.
void RunCounting(Build& build, int n, TorSettings settings, MemorySource& source) {
  TorVarList variables;
  variables.AddVariable(ContField("x"));
  for (int i = 0; i < n; ++i) source.Add({Real(i % 17)});
  build.Run(settings, variables, source);
}

// Records how many records each completed pass read, in report order.
class ReadsPerPass : public IProgressListener {
 public:
  explicit ReadsPerPass(const MemorySource& source) : source_(source) {}
  void Report(ProgressReport& report) override {
    reports.push_back(
        {report.DiscreteMeasure("BuildStage"), report.DiscreteMeasure("DataPassNumber")});
    if (reports.back().stage == 1) reads.push_back(source_.delivered - counted_);
    counted_ = source_.delivered;
  }
  std::vector<testhost::Report> reports;
  std::vector<long long> reads;

 private:
  const MemorySource& source_;
  long long counted_ = 0;
};

TEST(PassDriver, PassesReadOnlyWhenAGateOrAPendingFieldAsks) {
  // Without outlier detection the second pass is skipped and makes no
  // report; the first (univariate statistics), the fifth (the input against
  // the target) and the last (histograms made after the sixth) read. Outlier
  // statistics make the second pass read and their copies' statistics the
  // third; the Box-Cox statistic of the continuous target makes the fourth.
  struct Case {
    bool outliers, boxCox;
    std::vector<long long> reads;
  };
  const Case cases[] = {{false, false, {10, 0, 0, 10, 0, 10}},
                        {true, false, {10, 10, 10, 0, 10, 0, 10}},
                        {false, true, {10, 0, 10, 10, 0, 10}},
                        {true, true, {10, 10, 10, 10, 10, 0, 10}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.outliers << c.boxCox);
    TorSettings settings = QuietSettings();
    settings.SetBool("detectFeatureOutliers", c.outliers);
    settings.SetBool("rescaleScaleTargetUsingBoxCox", c.boxCox);
    settings.SetDouble("targetSD", 1.0);
    TorVarList variables;
    variables.AddVariable(ContField("x"));
    variables.AddVariable(ContField("y", kStorageReal, kRoleTarget));
    MemorySource source;
    for (int i = 0; i < 10; ++i) source.Add({Real(i % 17), Real(1 + i * i)});
    ReadsPerPass listener(source);
    Build build;
    build.listener = &listener;
    build.Run(settings, variables, source);
    EXPECT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
    EXPECT_TRUE(build.algorithm->IsBuilt());
    EXPECT_EQ(listener.reads, c.reads);
    EXPECT_EQ(source.rewinds, 7);  // a skipped pass rewinds too

    const std::vector<Report>& reports = listener.reports;
    ASSERT_EQ(reports.size(), c.reads.size() + 2);  // prepared, the passes, passes done
    EXPECT_EQ(reports.front().stage, 0);
    for (std::size_t i = 1; i + 1 < reports.size(); ++i) {
      EXPECT_EQ(reports[i].pass, static_cast<int>(i));
    }
    EXPECT_EQ(reports.back().stage, 2);
    EXPECT_EQ(reports.back().pass, -1);
  }
}

TEST(PassDriver, InterruptionByCheckByStopAndBetweenPasses) {
  // The host's check says stop before the fourth record: a pass interrupted
  // while reading returns at once, without further reports. Or it says stop
  // after ten polls before records, at the poll after the first pass: the
  // renaming and the final report still run, and the build ends with code 1.
  struct Case {
    int records, interruptAfter, delivered;
    std::size_t reports;
  };
  for (const Case& c : {Case{50, 3, 3, 1}, Case{10, 10, 10, 3}}) {
    MemorySource source;
    FlagCheck check;
    check.interruptAfter = c.interruptAfter;
    RecordingListener listener;
    Build build;
    build.check = &check;
    build.listener = &listener;
    RunCounting(build, c.records, QuietSettings(), source);
    EXPECT_EQ(build.executeStatus, kInterrupted);
    EXPECT_FALSE(build.algorithm->IsBuilt());
    EXPECT_EQ(source.delivered, c.delivered);
    ASSERT_EQ(listener.reports.size(), c.reports);
    EXPECT_EQ(listener.reports.back().stage, c.reports == 1 ? 0 : 2);
    EXPECT_EQ(source.rewinds, 0);
  }
  // Stop() from another thread while the first pass reads a long source.
  MemorySource source;
  Build build;
  source.onNext = [&build](std::size_t index) {
    if (index == 100) std::thread([&build] { build.algorithm->Stop(); }).join();
  };
  RunCounting(build, 5000, QuietSettings(), source);
  EXPECT_EQ(build.executeStatus, kInterrupted);
  EXPECT_FALSE(build.algorithm->IsBuilt());
  EXPECT_EQ(source.delivered, 101);
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

  // Real frequency weights count whole records rounded half up, and the
  // rounded weight is what the moments weigh.
  MemorySource source;
  source.Add({Real(1.0), Real(2.5), Real(1.0)});   // counts 3
  source.Add({Real(2.0), Real(0.49), Real(1.0)});  // rounds to 0: dropped
  source.Add({Real(99.0), Real(1.0), Real(1.0)});  // discrete user-missing
  source.Add({Real(-7.0), Int(1), Real(1.0)});     // in the missing range
  source.Add({Real(4.0), Real(1.0), Real(0.0)});   // analysis weight 0: dropped
  source.Add({Real(5.0), Missing(), Real(1.0)});   // missing weight: dropped
  source.Add({Real(6.0), Int(1), Real(2.0)});      // weighs 2
  source.Add({Real(7.0), Real(0.6), Real(1.0)});   // counts 1
  source.Add({Real(8.0), Real(1.5), Real(1.0)});   // counts 2
  source.Add({Real(9.0), Real(3.49), Real(1.0)});  // counts 3
  Build build;
  build.Run(settings, variables, source);
  ASSERT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();

  const auto& s = dynamic_cast<const ZelStatistic::ZelUnivarNumeric&>(
                      *build.Fields().GetHandle(0)->GetUnivariate())
                      .GetSummary();
  EXPECT_EQ(s.GetFrequencies(),
            (std::map<double, int64_t>{{1, 3}, {6, 1}, {7, 1}, {8, 2}, {9, 3}}));
  EXPECT_EQ(s.GetValidCount(), 10);
  EXPECT_EQ(s.GetMissingCount(), 2);
  EXPECT_DOUBLE_EQ(s.GetMinimum(), 1.0);
  EXPECT_DOUBLE_EQ(s.GetMaximum(), 9.0);
  // Mean weighted by frequency times analysis weight:
  // (1*3*1 + 6*1*2 + 7*1*1 + 8*2*1 + 9*3*1) / (3 + 2 + 1 + 2 + 3) = 65 / 11.
  EXPECT_DOUBLE_EQ(s.GetWeightSum(), 11.0);
  EXPECT_DOUBLE_EQ(s.GetMean(), 65.0 / 11.0);
  EXPECT_TRUE(build.Fields().GetHandle(1)->IsFrequencyWeight());
  EXPECT_TRUE(build.Fields().GetHandle(2)->IsAnalysisWeight());
}

TEST(PassDriver, FifthPassWarnsAboutStepsThatCannotRun) {
  // Fields by letter: s a nominal text input, x a continuous input, t a
  // nominal target, y a continuous target.
  struct Case {
    const char* fields;
    std::vector<int> raised, absent;
  };
  const Case cases[] = {
      {"s", {210101, 210103, 210104, 210105, 210108, 210110}, {210115}},
      {"tx", {210101, 210106, 210115}, {210103, 210104, 210105, 210107, 210108, 210110}},
      {"ys", {210103, 210104, 210107, 210108}, {210101, 210106}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fields);
    TorVarList variables;
    for (const char* f = c.fields; *f != '\0'; ++f) {
      const std::string name(1, *f);
      const int role = *f == 't' || *f == 'y' ? kRoleTarget : kRoleInput;
      variables.AddVariable(*f == 's' || *f == 't' ? NominalField(name, true, role)
                                                   : ContField(name, kStorageReal, role));
    }
    MemorySource source;
    for (int i = 0; i < 12; ++i) {
      std::vector<Cell> row;
      for (const char* f = c.fields; *f != '\0'; ++f) {
        row.push_back(*f == 's'   ? Str(i % 3 ? "u" : "v")
                      : *f == 't' ? Str(i % 2 ? "yes" : "no")
                                  : Real(i * 0.75));
      }
      source.Add(row);
    }
    TorSettings settings = QuietSettings();
    settings.SetBool("rescaleScaleTargetUsingBoxCox", true);
    Build build;
    build.Run(settings, variables, source);
    ASSERT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
    for (int code : c.raised) EXPECT_TRUE(HasWarning(build.warnings, code)) << code;
    for (int code : c.absent) EXPECT_FALSE(HasWarning(build.warnings, code)) << code;
    // The run returns the last warning raised.
    EXPECT_EQ(build.executeStatus, build.warnings.back());
  }
}

}  // namespace
