// TargetTyping: a continuous whole-number target that the Box-Cox step will
// transform is handed over as real numbers. The component keeps a field
// derived from whole numbers whole (it truncates the transformed value),
// which suits a field stored as whole numbers on purpose; a continuous
// target stored so is only a price or a count read from a file, and its
// transformed values would collapse to a few whole numbers. A whole-number
// target that is not transformed stays as it is.
#ifndef ZELCRAFT_PREPARATION_TARGETTYPING_H_
#define ZELCRAFT_PREPARATION_TARGETTYPING_H_

#include <string>

#include "io/DataLoader.h"
#include "torcommon13r/TorSettings.h"

namespace zelprep {

// Types the target of `data` (plan and held column alike); the fact to tell
// the user when it did, else empty.
std::string TypeTargetForBoxCox(const TorCommon_1_3::TorSettings& settings,
                                zelio::LoadedData* data);

}  // namespace zelprep

#endif  // ZELCRAFT_PREPARATION_TARGETTYPING_H_
