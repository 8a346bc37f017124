// ZelSummaryVocabulary: the words of the processing summary, as the
// registry of steps and actions gives them: the key texts of steps and
// reasons that a user interface translates, which actions the summary
// reports, and the numbers each action quotes.
#ifndef ZELCRAFT_PMML_ZELSUMMARYVOCABULARY_H_
#define ZELCRAFT_PMML_ZELSUMMARYVOCABULARY_H_

#include <vector>

#include "transformation/ZelRegistry.h"

class ZelSettings;

namespace ZelTransformation {
class ZelTransformRule;
}  // namespace ZelTransformation

namespace ZelSummary {

// "TextFields", ...; "" for steps the summary never names and unknown numbers.
const char* GetStepKey(int step);
// "TrimTrailingBlanks", ...; "" for actions without a key.
const char* GetReasonKey(int action);

// The derived fields the summary counts; the others derive nothing a user
// asked for.
bool IsCountedDerivation(int action);
// The exclusions the summary reports: screening, selection, construction
// and the constant checks.
bool IsListedExclusion(int action);
// The field list of the summary also names the sources of dates and times.
bool IsListedInVariableSummary(int action);

// How the summary quotes the action's parameters; kRule for an action
// outside the registry.
ZelTransformation::Quote QuoteOf(int action);

// The numbers the action's record in its step summary carries: a setting,
// or for durations and the target's Box-Cox transformation figures of
// `rule`, the rule of the first field the action made (null for an
// exclusion); empty for actions that quote their rules' own parameters.
std::vector<double> SummaryNumbers(int action, const ZelTransformation::ZelTransformRule* rule,
                                   const ZelSettings& settings);

// What the Box-Cox rescaling of the target quotes: the requested mean and
// standard deviation, then the exponent of `rule` when it is a Box-Cox rule.
std::vector<double> RescaleTargetParameters(const ZelTransformation::ZelTransformRule& rule,
                                            const ZelSettings& settings);

}  // namespace ZelSummary

#endif  // ZELCRAFT_PMML_ZELSUMMARYVOCABULARY_H_
