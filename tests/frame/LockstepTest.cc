// A build run in lockstep through the exported ZelLockstep: replicas that
// read two halves of the records and install the merged states write the
// document Execute writes over all of them (every number to 1e-12, every
// decision alike); the order of calls and the states' bytes are checked.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "frame/ZelLockstep.h"
#include "frame/ZelStatusCodes.h"
#include "support/TestHost.h"

using namespace testhost;
using namespace TorCommon_1_3;

namespace {

// x, y continuous with missing values, c text, k integer category, f
// frequency weight, t continuous target; outliers in x.
void Fill(MemorySource* source, int first, int end) {
  const char* texts[] = {"north", "south", "east", "west", "centre"};
  for (int i = first; i < end; ++i) {
    const double x = std::sin(i * 0.37) * 4 + (i % 97 == 0 ? 60 : 0);
    const double y = std::cos(i * 0.11) * 3 + x * 0.4;
    source->Add({i % 23 == 0 ? Missing() : Real(x), i % 31 == 0 ? Missing() : Real(y),
                 Str(texts[(i * 3) % 5]), Int(i % 4), Real(1 + i % 3),
                 Real(10 + x * 0.5 + (i % 5) + std::sin(i * 0.05))});
  }
}

TorVarList Variables() {
  TorVarList variables;
  variables.AddVariable(ContField("x"));
  variables.AddVariable(ContField("y"));
  variables.AddVariable(NominalField("c", true));
  variables.AddVariable(NominalField("k", false));
  variables.AddVariable(ContField("f"));
  variables.AddVariable(ContField("t", 2, kRoleTarget));
  return variables;
}

TorSettings Settings() {
  TorSettings settings;
  settings.SetString("frequencyWeight", "f");
  settings.SetBool("rescaleScaleTargetUsingBoxCox", true);
  settings.SetDouble("targetSD", 1.0);
  return settings;
}

std::string Normalised(std::string document) {
  document = std::regex_replace(document, std::regex("<Timestamp>[^<]*</Timestamp>"), "");
  return std::regex_replace(document, std::regex("processingTimeInSecond=\"[^\"]*\""), "");
}

// Same text once numbers are taken out, and every number within 1e-12
// relative (or 1e-13 absolute, for quantities that are 0 up to rounding).
void ExpectSameDocument(const std::string& a, const std::string& b) {
  const std::regex number("-?[0-9]+\\.?[0-9]*(?:[eE][-+]?[0-9]+)?");
  EXPECT_EQ(std::regex_replace(a, number, "#"), std::regex_replace(b, number, "#"));
  std::sregex_iterator ia(a.begin(), a.end(), number), ib(b.begin(), b.end(), number), end;
  for (; ia != end && ib != end; ++ia, ++ib) {
    const double x = std::stod(ia->str());
    const double y = std::stod(ib->str());
    const double scale = std::max(std::fabs(x), std::fabs(y));
    EXPECT_TRUE(std::fabs(x - y) <= 1e-12 * scale || std::fabs(x - y) < 1e-13)
        << ia->str() << " vs " << ib->str();
  }
}

// Replicas of one build, each from its own factory.
struct Replica {
  explicit Replica(TorSettings settings) {
    TorVarList variables = Variables();
    algorithm.reset(factory.CreateTorAlgorithm(settings, variables));
  }
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> algorithm;
};

// Runs `replicas` in lockstep, replica i reading sources[i] (none when
// sources is shorter); the states merge in source order.
TorStatus RunLockstep(std::vector<Replica*> replicas, std::vector<MemorySource*> sources) {
  for (Replica* r : replicas) {
    const TorStatus begun = ZelLockstep::Begin(*r->algorithm);
    if (begun.IsError()) return begun;
  }
  for (;;) {
    bool reads = false;
    bool done = false;
    for (Replica* r : replicas) {
      const TorStatus started = ZelLockstep::StartPass(*r->algorithm, &reads, &done);
      if (started.IsError()) return started;
    }
    if (done) break;
    if (reads) {
      std::string merged;
      for (std::size_t i = 0; i < sources.size(); ++i) {
        std::string state;
        const TorStatus read = ZelLockstep::ReadRows(*replicas[i]->algorithm, sources[i], &state);
        if (read.IsError()) return read;
        if (i == 0) {
          merged = state;
        } else {
          std::string next;
          const TorStatus joined = ZelLockstep::MergeStates(merged, state, &next);
          if (joined.IsError()) return joined;
          merged = next;
        }
      }
      for (Replica* r : replicas) {
        const TorStatus installed = ZelLockstep::InstallState(*r->algorithm, merged);
        if (installed.IsError()) return installed;
      }
    }
    for (Replica* r : replicas) {
      const TorStatus finished = ZelLockstep::FinishPass(*r->algorithm);
      if (finished.IsError()) return finished;
    }
  }
  TorStatus ended;
  for (Replica* r : replicas) ended = ZelLockstep::End(*r->algorithm);
  return ended;
}

std::string Document(ITorAlgorithm& algorithm) {
  std::ostringstream out;
  EXPECT_FALSE(algorithm.WritePMML(out, nullptr).IsError());
  return Normalised(out.str());
}

TEST(Lockstep, HalvesMergedWriteTheDocumentOfOnePass) {
  const int rows = 2000;
  MemorySource all;
  Fill(&all, 0, rows);
  TorSettings settings = Settings();
  TorVarList variables = Variables();
  Build whole;
  whole.Run(settings, variables, all);
  ASSERT_FALSE(whole.executeStatus.IsError());
  const std::string expected = Normalised(whole.Pmml());

  MemorySource first;
  MemorySource second;
  Fill(&first, 0, rows / 2);
  Fill(&second, rows / 2, rows);
  Replica a(Settings());
  Replica b(Settings());
  Replica onlyInstalls(Settings());
  const TorStatus run = RunLockstep({&a, &b, &onlyInstalls}, {&first, &second});
  ASSERT_FALSE(run.IsError()) << run.GetCode() << " " << ZelLockstep::Describe(*a.algorithm)
                              << ZelLockstep::DescribeMerge();
  ASSERT_TRUE(a.algorithm->IsBuilt());
  const std::string merged = Document(*a.algorithm);
  ExpectSameDocument(expected, merged);
  EXPECT_EQ(Document(*b.algorithm), merged);
  EXPECT_EQ(Document(*onlyInstalls.algorithm), merged);
  EXPECT_EQ(*a.algorithm->GetWarnings(), *whole.algorithm->GetWarnings());

  // One replica reading everything as one source is Execute, byte for byte.
  Replica single(Settings());
  ASSERT_FALSE(RunLockstep({&single}, {&all}).IsError());
  EXPECT_EQ(Document(*single.algorithm), expected);
}

TEST(Lockstep, DamagedMismatchedAndOutOfOrderAreRefused) {
  MemorySource rows;
  Fill(&rows, 0, 300);
  Replica r(Settings());
  bool reads = false;
  bool done = false;
  std::string state;
  // Reading before a pass has started.
  EXPECT_EQ(ZelLockstep::ReadRows(*r.algorithm, &rows, &state).GetCode(), ZelStatusCode::kLockstepOrder);

  Replica p(Settings());
  ASSERT_FALSE(ZelLockstep::Begin(*p.algorithm).IsError());
  ASSERT_FALSE(ZelLockstep::StartPass(*p.algorithm, &reads, &done).IsError());
  ASSERT_TRUE(reads);
  ASSERT_FALSE(ZelLockstep::ReadRows(*p.algorithm, &rows, &state).IsError());
  std::string merged;
  // Cut short, altered, another version, not a state at all.
  std::string altered = state;
  altered[altered.size() / 2] ^= 0x20;
  std::string version = state;
  version[8] = 9;
  for (const std::string& bad : {state.substr(0, state.size() - 1), altered, version,
                                 std::string("ZELSTATE"), std::string()}) {
    EXPECT_EQ(ZelLockstep::MergeStates(state, bad, &merged).GetCode(), ZelStatusCode::kStateDamaged);
    EXPECT_FALSE(ZelLockstep::DescribeMerge().empty());
  }
  // A state of the first pass does not install into the second.
  ASSERT_FALSE(ZelLockstep::InstallState(*p.algorithm, state).IsError());
  ASSERT_FALSE(ZelLockstep::FinishPass(*p.algorithm).IsError());
  ASSERT_FALSE(ZelLockstep::StartPass(*p.algorithm, &reads, &done).IsError());
  ASSERT_TRUE(reads);
  std::string second;
  ASSERT_FALSE(ZelLockstep::ReadRows(*p.algorithm, &rows, &second).IsError());
  EXPECT_EQ(ZelLockstep::MergeStates(state, second, &merged).GetCode(), ZelStatusCode::kStateMismatch);
  EXPECT_EQ(ZelLockstep::InstallState(*p.algorithm, state).GetCode(), ZelStatusCode::kStateMismatch);
  EXPECT_NE(ZelLockstep::Describe(*p.algorithm).find("pass 1"), std::string::npos)
      << ZelLockstep::Describe(*p.algorithm);
  // A build with another field list.
  TorSettings other = Settings();
  other.SetBool("detectFeatureOutliers", false);
  Replica q(other);
  ASSERT_FALSE(ZelLockstep::Begin(*q.algorithm).IsError());
  ASSERT_FALSE(ZelLockstep::StartPass(*q.algorithm, &reads, &done).IsError());
  std::string foreign;
  ASSERT_FALSE(ZelLockstep::ReadRows(*q.algorithm, &rows, &foreign).IsError());
  EXPECT_FALSE(ZelLockstep::InstallState(*q.algorithm, foreign).IsError());
}

}  // namespace
