// ZelWarning: the warning list a factory owns and shares, by pointer, with
// everything that runs under it. Each code occurs at most once.
#ifndef ZELCRAFT_FRAME_ZELWARNING_H_
#define ZELCRAFT_FRAME_ZELWARNING_H_

#include <vector>

#include "frame/ZelExport.h"
#include "torcommon13r/TorStatus.h"

namespace ZelFrame {

class ZEL_EXPORT ZelWarning {
 public:
  virtual ~ZelWarning();
  std::vector<TorCommon_1_3::TorStatus> warnings;
};

// Appends the warning `code` unless an equal entry is present; a null list
// is ignored.
void AddWarning(std::vector<TorCommon_1_3::TorStatus>* warnings, int code);

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELWARNING_H_
