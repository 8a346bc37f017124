// The exported factory and the algorithm's life cycle: refusals, warnings,
// listener and interrupt registration, repeated execution.
#include <gtest/gtest.h>

#include <sstream>

#include "frame/ZelStatusCodes.h"
#include "frame/ZelWarning.h"
#include "support/TestHost.h"

using namespace testhost;
using namespace TorCommon_1_3;

namespace {

TorVarList OneContinuousField() {
  TorVarList variables;
  variables.AddVariable(ContField("x"));
  return variables;
}

}  // namespace

TEST(EntryPoints, ExecuteRefusesNullAndEmptySources) {
  TorSettings settings;
  TorVarList variables = OneContinuousField();
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> algorithm(factory.CreateTorAlgorithm(settings, variables));
  ASSERT_NE(algorithm, nullptr);
  EXPECT_FALSE(algorithm->IsBuilt());
  EXPECT_TRUE(algorithm->GetStatus().IsOK());
  EXPECT_TRUE(algorithm->Finish().IsOK());
  EXPECT_FALSE(algorithm->GetDescription().empty());

  EXPECT_EQ(algorithm->Execute(nullptr), TorStatus(ZelStatusCode::kNullSource, false));
  EXPECT_FALSE(algorithm->IsBuilt());

  // A stored error is returned again without looking at the new source.
  ZelFactory factory2;
  std::unique_ptr<ITorAlgorithm> fresh(factory2.CreateTorAlgorithm(settings, variables));
  MemorySource empty;
  EXPECT_EQ(fresh->Execute(&empty), TorStatus(ZelStatusCode::kNoRecords, false));
  EXPECT_FALSE(fresh->IsBuilt());
  MemorySource full;
  full.Add({Real(1.0)});
  EXPECT_EQ(fresh->Execute(&full), TorStatus(ZelStatusCode::kNoRecords, false));
  EXPECT_EQ(full.delivered, 0);
}

TEST(EntryPoints, WritePmmlRefusesUnbuiltAlgorithmAndWritesNothing) {
  TorSettings settings;
  TorVarList variables = OneContinuousField();
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> algorithm(factory.CreateTorAlgorithm(settings, variables));
  std::ostringstream out;
  EXPECT_EQ(algorithm->WritePMML(out, nullptr), TorStatus(ZelStatusCode::kNotBuilt, false));
  EXPECT_TRUE(out.str().empty());
  EXPECT_TRUE(algorithm->GetStatus().IsOK());  // writing does not change the status
}

TEST(EntryPoints, WarningsAreDeduplicatedAndClearedByExecute) {
  std::vector<TorStatus> list;
  AddWarning(&list, 210101);
  AddWarning(&list, 210105);
  AddWarning(&list, 210101);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], TorStatus(210101, true));
  AddWarning(nullptr, 210101);  // no list: ignored

  // Reading the settings leaves its warnings visible on the factory; the
  // algorithm shares the same list, and Execute starts it afresh.
  TorSettings settings;
  TorVarList variables = OneContinuousField();
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> algorithm(factory.CreateTorAlgorithm(settings, variables));
  ASSERT_NE(algorithm, nullptr);
  const std::vector<TorStatus> readWarnings = factory.GetWarnings();
  EXPECT_EQ(*algorithm->GetWarnings(), readWarnings);
  algorithm->GetWarnings()->push_back(TorStatus(424242, true));
  algorithm->Execute(nullptr);
  EXPECT_TRUE(factory.GetWarnings().empty());
}

TEST(EntryPoints, NullListenerKeepsTheEarlierOne) {
  TorSettings settings;
  settings.SetBool("trimBlanks", false);
  TorVarList variables = OneContinuousField();
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> algorithm(factory.CreateTorAlgorithm(settings, variables));
  RecordingListener listener;
  algorithm->SetProgressListener(&listener);
  algorithm->SetProgressListener(nullptr);
  algorithm->SetInterruptCheck(nullptr);
  MemorySource source;
  for (int i = 0; i < 10; ++i) source.Add({Real(i)});
  const TorStatus status = algorithm->Execute(&source);
  EXPECT_FALSE(status.IsError());
  ASSERT_FALSE(listener.reports.empty());
  EXPECT_EQ(listener.reports.front().stage, 0);
}

TEST(EntryPoints, DisplayWrapsTheSettingsDisplay) {
  TorSettings settings;
  TorVarList variables = OneContinuousField();
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> algorithm(factory.CreateTorAlgorithm(settings, variables));
  std::ostringstream out;
  algorithm->Display(out);
  const std::string text = out.str();
  const auto start = text.find("ZelAlgorithm display start");
  const auto settingsStart = text.find("ZelSettings display start");
  const auto settingsEnd = text.find("End of display ZelSettings object");
  const auto end = text.find("ZelAlgorithm display end");
  ASSERT_NE(start, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  EXPECT_LT(start, settingsStart);
  EXPECT_LT(settingsStart, settingsEnd);
  EXPECT_LT(settingsEnd, end);
}
