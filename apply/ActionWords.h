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

// The summary's key of the step ("MissingValues"); "" for a number the
// registry does not know.
const char* StepKeyOf(uint32_t step);

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

// A line of the printed summary that counts the fields whose values an
// action changed in place ("outliers trimmed to the cutoff: 2 fields (a,
// b)"), and the words of the report for such a field where the action's
// parameters tell more than the registry's words.
struct TreatmentWords {
  uint32_t step;
  uint32_t action;           // Action::kUnknown: every action of the step
  const char* summaryLine;   // the line's heading; lines print in the table's order
  bool countsValues;         // the line counts values: the action's second parameter
  const char* stepWords;     // the report's words before the parameters' words; null: none
  // What the action's parameters tell ("signed log"), shown after the field's
  // column on the line and after `stepWords` in the report; null: nothing.
  std::string (*parameterWords)(const std::vector<std::string>& parameters);
};

// Every treatment, in the order of the summary's lines.
const std::vector<TreatmentWords>& Treatments();

// The treatment of the action `reasonKey` names; null when it has none.
const TreatmentWords* TreatmentOf(std::string_view reasonKey);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_ACTIONWORDS_H_
