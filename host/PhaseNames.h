// PhaseNames: the phases a host's progress display names while a build
// runs, from the component's stage reports and the ends of the data
// passes: "pass 1/7" to "pass 7/7", then "finishing", then "writing".
#ifndef ZELCRAFT_HOST_PHASENAMES_H_
#define ZELCRAFT_HOST_PHASENAMES_H_

#include <string>

#include "frame/host/HostInterfaces.h"

namespace zelhost {

class PhaseNames {
 public:
  // The phase a stage report starts, or empty when it starts none.
  std::string ForStage(TorCommon_1_3::ProgressReport& report);
  // The phase that follows the end of a pass.
  std::string AfterPass();

 private:
  std::string PassName() const;

  int passesEnded_ = 0;
};

}  // namespace zelhost

#endif  // ZELCRAFT_HOST_PHASENAMES_H_
