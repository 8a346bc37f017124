// ReasonText: what the reasons for which a field is excluded mean to a user,
// in words, for every reader that explains a document (the printed summary,
// the Python package's fields table).
#ifndef ZELCRAFT_APPLY_REASONTEXT_H_
#define ZELCRAFT_APPLY_REASONTEXT_H_

#include <string_view>

namespace zelapply {

// The words for an exclusion reason key ("ScreenFeatureWithConstantValue"
// is "constant value"); null when the key excludes nothing.
const char* ExclusionReasonText(std::string_view key);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_REASONTEXT_H_
