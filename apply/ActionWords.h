// ActionWords: what the reason keys of a document's actions mean to a user,
// in plain words, for every reader that explains a preparation (the printed
// summary, the report). One table, so the summary and the page never word
// the same exclusion differently.
#ifndef ZELCRAFT_APPLY_ACTIONWORDS_H_
#define ZELCRAFT_APPLY_ACTIONWORDS_H_

#include <string_view>

namespace zelapply {

// Why a field was excluded ("too many missing values"); null when the key
// is no exclusion reason the summary lists.
const char* ExclusionReasonText(std::string_view reasonKey);

// What the step that made a derived field did to it ("trimmed", "rescaled
// (z-score)"); null for a key without words of its own.
const char* DerivationText(std::string_view reasonKey);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_ACTIONWORDS_H_
