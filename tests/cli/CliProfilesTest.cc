// The settings profiles shipped for the model families: each says in a first
// comment line what it is for and is taken by --settings as it is, while a
// commented settings file with an unknown key is still refused.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "support/CliHarness.h"

namespace clitest {
namespace {

std::vector<std::string> Profiles() {
  std::vector<std::string> names;
  DIR* dir = opendir(ZEL_PROFILES_DIR);
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0) names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CliProfiles, EveryShippedProfileIsTakenAsItIs) {
  const std::vector<std::string> profiles = Profiles();
  ASSERT_GE(profiles.size(), 3u) << "no profiles in " << ZEL_PROFILES_DIR;
  ScratchDir dir;
  WriteFile(dir / "d.csv",
            "a,b,c,t\n1,2.5,x,0\n2,3.5,y,1\n3,1.5,x,0\n4,8.5,z,1\n5,2.0,y,0\n6,7.5,x,1\n");
  for (const std::string& profile : profiles) {
    const std::string path = std::string(ZEL_PROFILES_DIR) + "/" + profile;
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.rfind("// ", 0), 0u) << profile << " lacks its comment line";
    EXPECT_EQ(std::count(text.begin(), text.end(), '/'), 2) << profile << ": one comment line";
    const RunResult run = RunCli(dir.path(), {"prepare", "d.csv", "--target", "t",
                                              "--target-level", "nominal", "--settings", path});
    EXPECT_EQ(run.status, 0) << profile << ": " << run.err;
    EXPECT_FALSE(Contains(run.err, "settings key")) << profile;
  }
}

TEST(CliProfiles, CommentsDoNotHideAnUnknownKey) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", "a,t\n1,0\n2,1\n3,0\n");
  WriteFile(dir / "s.json", "// tried once\n{\n  /* kept */ \"trimBlanks\": true,\n"
                            "  \"supervisedBinnig\": false\n}\n");
  const RunResult run = RunCli(dir.path(), {"prepare", "d.csv", "--settings", "s.json"});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(Contains(run.err, "unknown settings key \"supervisedBinnig\"; did you mean "
                                "\"supervisedBinning\"?"));
}

}  // namespace
}  // namespace clitest
