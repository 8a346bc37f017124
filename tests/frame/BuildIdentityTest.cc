// The identity a pass state carries: every settings key, given another
// value than the build's (with whatever other keys it is read with), gives
// another settings identity; the reading of the same keys gives the same
// one. The field list's identity follows each field's name, role and the
// values declared missing.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "frame/ZelBuildIdentity.h"
#include "frame/ZelFactory.h"
#include "settings/SettingRowValues.h"
#include "settings/SettingsTestUtil.h"
#include "support/TestHost.h"

using ZelFrame::FieldsIdentity;
using ZelFrame::SettingsIdentity;
using ZelFrame::ZelFactory;

namespace {

using namespace TorCommon_1_3;

TorSettings Base() { return settingstest::EverySwitchGiven(); }

// The identity over fields of dates and of times of day, whose durations
// read the reference date and time.
uint64_t IdentityOf(const TorSettings& settings) {
  const TorVarList variables = settingstest::FieldsWithWeightDateAndTime();
  const settingstest::Read read(settings, variables);
  EXPECT_FALSE(read.status.IsError()) << read.status.GetCode();
  ZelVariableHandleList fields(&read.settings);
  for (int i = 0; i < variables.Size(); ++i) fields.AddField(*variables.GetVarAt(i));
  return SettingsIdentity(read.settings, fields);
}

TEST(BuildIdentity, EverySettingsKeyChangesTheSettingsIdentity) {
  const uint64_t base = IdentityOf(Base());
  EXPECT_EQ(IdentityOf(Base()), base);
  std::set<uint64_t> seen = {base};
  for (const ZelSettingRow& row : ZelSettingRows()) {
    SCOPED_TRACE(row.key);
    TorSettings settings = Base();
    settingstest::GiveAnotherValue(row, &settings);
    const uint64_t identity = IdentityOf(settings);
    EXPECT_NE(identity, base);
    EXPECT_TRUE(seen.insert(identity).second) << "the identity of another key";
  }
}

// Without fields of dates or of times the reference date and time derive
// nothing: replicas whose settings read the clock at other moments agree.
TEST(BuildIdentity, TheClockCountsOnlyWhereDurationsAreDerived) {
  TorSettings early = Base();
  TorSettings late = Base();
  early.SetDouble("referenceDateForDurations", 18000);
  late.SetDouble("referenceDateForDurations", 18001);
  early.SetDouble("referenceTimeForDurations", 3600);
  late.SetDouble("referenceTimeForDurations", 3601);
  auto identity = [](const TorSettings& settings, std::vector<int> storages) {
    TorVarList variables;
    for (std::size_t i = 0; i < storages.size(); ++i) {
      variables.AddVariable(testhost::ContField("f" + std::to_string(i), storages[i]));
    }
    const settingstest::Read read(settings, variables);
    ZelVariableHandleList fields(&read.settings);
    for (int i = 0; i < variables.Size(); ++i) fields.AddField(*variables.GetVarAt(i));
    return SettingsIdentity(read.settings, fields);
  };
  EXPECT_EQ(identity(early, {kStorageReal}), identity(late, {kStorageReal}));
  EXPECT_NE(identity(early, {kStorageReal, kStorageDate}),
            identity(late, {kStorageReal, kStorageDate}));
  EXPECT_NE(identity(early, {kStorageTime}), identity(late, {kStorageTime}));
  TorSettings noDurations = late;
  noDurations.SetBool("computeDateDuration", false);
  noDurations.SetBool("computeTimeDuration", false);
  TorSettings noDurationsEarly = early;
  noDurationsEarly.SetBool("computeDateDuration", false);
  noDurationsEarly.SetBool("computeTimeDuration", false);
  EXPECT_EQ(identity(noDurationsEarly, {kStorageDate, kStorageTime}),
            identity(noDurations, {kStorageDate, kStorageTime}));
}

TEST(BuildIdentity, TheFieldListsIdentityFollowsNamesRolesAndDeclaredMissingValues) {
  auto identity = [](TorVarList variables) {
    TorSettings settings;
    testhost::MemorySource source;
    source.Add({testhost::Real(1.0), testhost::Real(2.0)});
    testhost::Build build;
    build.Run(settings, variables, source);
    return FieldsIdentity(build.Fields());
  };
  auto plain = [] {
    TorVarList variables;
    variables.AddVariable(testhost::ContField("x"));
    variables.AddVariable(testhost::ContField("w"));
    return variables;
  };
  const uint64_t base = identity(plain());
  EXPECT_EQ(identity(plain()), base);
  TorVarList renamed;
  renamed.AddVariable(testhost::ContField("x"));
  renamed.AddVariable(testhost::ContField("v"));
  TorVarList target;
  target.AddVariable(testhost::ContField("x"));
  target.AddVariable(testhost::ContField("w", kStorageReal, kRoleTarget));
  TorVarList declared = plain();
  declared.GetVarAt(0)->GetEncoder()->SetMissingRange(-1.0, 0.0);
  TorVarList stored;
  stored.AddVariable(testhost::ContField("x", kStorageInteger));
  stored.AddVariable(testhost::ContField("w"));
  std::set<uint64_t> seen = {base};
  for (TorVarList* other : {&renamed, &target, &declared, &stored}) {
    EXPECT_TRUE(seen.insert(identity(*other)).second);
  }
}

}  // namespace
