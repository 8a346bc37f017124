// A build run in lockstep through the exported ZelLockstep: replicas that
// read two halves of the records and install the merged states write the
// document Execute writes over all of them (every number to 1e-12, every
// decision alike); the order of calls and the states' bytes are checked.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "frame/ZelLockstep.h"
#include "frame/ZelStatusCodes.h"
#include "support/DocumentNumbers.h"
#include "support/TestHost.h"

using ZelFrame::ZelFactory;
using ZelFrame::ZelLockstep;

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

// Replicas of one build, each from its own factory.
struct Replica {
  explicit Replica(TorSettings settings, TorVarList variables = Variables()) {
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
  return docnumbers::Comparable(out.str());
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
  const std::string expected = docnumbers::Comparable(whole.Pmml());

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
  EXPECT_EQ(docnumbers::NumbersDiffer(expected, merged), "");
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
}

// Brings `replica` to the first pass that reads after those whose states
// are `states`, installing them; false when it cannot.
bool Advance(Replica& replica, const std::vector<std::string>& states) {
  if (ZelLockstep::Begin(*replica.algorithm).IsError()) return false;
  for (std::size_t installed = 0;; ) {
    bool reads = false, done = false;
    if (ZelLockstep::StartPass(*replica.algorithm, &reads, &done).IsError() || done) return false;
    if (reads) {
      if (installed == states.size()) return true;
      if (ZelLockstep::InstallState(*replica.algorithm, states[installed++]).IsError()) {
        return false;
      }
    }
    if (ZelLockstep::FinishPass(*replica.algorithm).IsError()) return false;
  }
}

// Runs a build with the default settings beside `other`, both over `rows`;
// at every pass both read, the state of `other` must be refused by the
// first, merged with its own state or installed.
void ExpectForeignStatesRefused(Replica& own, Replica& other, MemorySource& rows) {
  ASSERT_TRUE(own.algorithm && other.algorithm);
  ASSERT_FALSE(ZelLockstep::Begin(*own.algorithm).IsError());
  ASSERT_FALSE(ZelLockstep::Begin(*other.algorithm).IsError());
  std::vector<std::string> ownStates;
  int compared = 0;
  for (;;) {
    bool reads = false, done = false, otherReads = false, otherDone = false;
    ASSERT_FALSE(ZelLockstep::StartPass(*own.algorithm, &reads, &done).IsError());
    ASSERT_FALSE(ZelLockstep::StartPass(*other.algorithm, &otherReads, &otherDone).IsError());
    if (done || otherDone) break;
    std::string mine, foreign, merged;
    if (reads) {
      ASSERT_FALSE(ZelLockstep::ReadRows(*own.algorithm, &rows, &mine).IsError());
    }
    if (otherReads) {
      ASSERT_FALSE(ZelLockstep::ReadRows(*other.algorithm, &rows, &foreign).IsError());
    }
    if (reads && otherReads) {
      ++compared;
      const int pass = ZelLockstep::CurrentPass(*own.algorithm);
      EXPECT_EQ(ZelLockstep::MergeStates(mine, foreign, &merged).GetCode(),
                ZelStatusCode::kStateMismatch)
          << "pass " << pass;
      // A refused state ends the replica that refused it: a fresh one
      // brought to this pass tries the install.
      Replica probe(Settings());
      ASSERT_TRUE(Advance(probe, ownStates));
      EXPECT_EQ(ZelLockstep::InstallState(*probe.algorithm, foreign).GetCode(),
                ZelStatusCode::kStateMismatch)
          << "pass " << pass;
    }
    if (reads) {
      ASSERT_FALSE(ZelLockstep::InstallState(*own.algorithm, mine).IsError());
      ownStates.push_back(mine);
    }
    if (otherReads) {
      ASSERT_FALSE(ZelLockstep::InstallState(*other.algorithm, foreign).IsError());
    }
    ASSERT_FALSE(ZelLockstep::FinishPass(*own.algorithm).IsError());
    ASSERT_FALSE(ZelLockstep::FinishPass(*other.algorithm).IsError());
  }
  EXPECT_GE(compared, 2);
}

// A state is the sums of one build: one made under other settings that
// shape a pass (how outliers are found and handled, how inputs are
// rescaled, which categories count, how missing values are replaced), or
// over another field list (another field, another role, another value
// declared missing), is refused at every pass, installed or merged, even
// where the statistics would have the same layout; the build's own states
// install.
TEST(Lockstep, StatesOfAnotherBuildAreRefused) {
  MemorySource rows;
  Fill(&rows, 0, 400);
  struct Variant {
    const char* what;
    TorSettings settings;
    TorVarList variables;
  };
  std::vector<Variant> variants;
  auto withSetting = [&](const char* what, const std::function<void(TorSettings*)>& set) {
    TorSettings settings = Settings();
    set(&settings);
    variants.push_back({what, settings, Variables()});
  };
  withSetting("cutoff", [](TorSettings* s) { s->SetDouble("outlierIdentCutoff", 2.5); });
  withSetting("operation",
              [](TorSettings* s) { s->SetString("outliersOperation", "setToMissingVal"); });
  withSetting("min-max", [](TorSettings* s) {
    s->SetString("scaleFeatureRescalingMethod", "minMax");
    s->SetDouble("minMax_min", 0.0);
    s->SetDouble("minMax_max", 10.0);
  });
  withSetting("bounds", [](TorSettings* s) {
    s->SetString("scaleFeatureRescalingMethod", "minMax");
    s->SetDouble("minMax_min", -1.0);
    s->SetDouble("minMax_max", 1.0);
  });
  withSetting("categories", [](TorSettings* s) {
    s->SetBool("excludeFeatureIfHasManyUniqueCatogories", true);
    s->SetInt("maxNOfUniqueCategories", 50);
  });
  withSetting("missing values",
              [](TorSettings* s) { s->SetBool("replaceScaleFeaturesMissingValue", false); });
  withSetting("target SD", [](TorSettings* s) { s->SetDouble("targetSD", 2.0); });
  TorVarList renamed;
  renamed.AddVariable(ContField("x2"));
  TorVarList roles;
  roles.AddVariable(ContField("x", 2, kRoleTarget));
  TorVarList declared;
  declared.AddVariable(ContField("x"));
  const TorVarList plain = Variables();
  for (int f = 1; f < 6; ++f) {
    renamed.AddVariable(plain.GetVarAt(f)->Clone());
    roles.AddVariable(f == 5 ? ContField("t") : plain.GetVarAt(f)->Clone());
    declared.AddVariable(plain.GetVarAt(f)->Clone());
  }
  declared.GetVarAt(1)->GetEncoder()->AddMissingValue(0.5);
  variants.push_back({"renamed", Settings(), renamed});
  variants.push_back({"roles", Settings(), roles});
  variants.push_back({"declared missing", Settings(), declared});

  for (const Variant& variant : variants) {
    SCOPED_TRACE(variant.what);
    Replica own(Settings());
    Replica other(variant.settings, variant.variables);
    ExpectForeignStatesRefused(own, other, rows);
  }
}

}  // namespace
