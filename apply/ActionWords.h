// ActionWords: the actions a document's reason keys name, as the registry
// of steps and actions (src/transformation/ZelRegistryTable.h) lists them,
// for every reader that explains a preparation (the printed summary, the
// report, the replay): which action a key names, of which step and summary
// category, and what it did in plain words. The registry's table is the one
// the component writes its documents from; this reader compiles it without
// anything else of the component, so the words, keys and categories cannot
// drift apart.
#ifndef ZELCRAFT_APPLY_ACTIONWORDS_H_
#define ZELCRAFT_APPLY_ACTIONWORDS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "src/transformation/ZelRegistryTable.h"

namespace zelapply {

// The numbers of steps and actions: Action::kConstructContFeature, ...
namespace Step = ZelRegistry::Step;
namespace Action = ZelRegistry::Action;
using ZelRegistry::Category;

struct ActionEntry {
  uint32_t step;
  uint32_t action;
  const char* reasonKey;
  Category category;
  // What the action did ("trailing blanks trimmed", "too many missing
  // values"); null where the readers word it from the field's expression.
  const char* words;
};

// The action `reasonKey` names; null for the empty key and for keys the
// registry does not know.
const ActionEntry* FindAction(std::string_view reasonKey);

// The action's number, or Action::kCount for a key the registry does not
// know.
uint32_t ActionOf(std::string_view reasonKey);

// Why a field was excluded ("too many missing values"); null when the key
// is no exclusion reason the summary lists.
const char* ExclusionReasonText(std::string_view reasonKey);

// What the step that made a derived field did to it ("trimmed", "rescaled
// (z-score)"); null for a key without words of its own.
const char* DerivationText(std::string_view reasonKey);

// How a skewed input was transformed, from its action's parameters: "Box-Cox,
// exponent 0.5" (exponent and shift), else "signed log".
std::string SkewTransformWords(const std::vector<std::string>& parameters);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_ACTIONWORDS_H_
