// Seeds of fuzz_pass_state: the genuine state of every pass that reads in
// both builds, as they are and with the checksum to be recomputed.
#include <string>

#include "../SeedWriter.h"
#include "../StateBuilds.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::vector<zelfuzz::StateBuild> builds = zelfuzz::MakeStateBuilds();
  if (builds.empty()) return 1;
  for (std::size_t b = 0; b < builds.size(); ++b) {
    for (std::size_t p = 0; p < builds[b].states.size(); ++p) {
      for (int reseal = 0; reseal < 2; ++reseal) {
        const char selector = static_cast<char>((p << 2) | (b << 1) | reseal);
        const std::string name = "b" + std::to_string(b) + "p" + std::to_string(p) +
                                 (reseal ? "r" : "");
        if (!zelfuzz::Seed(argv[1], name, selector + builds[b].states[p])) return 1;
      }
    }
  }
  return 0;
}
