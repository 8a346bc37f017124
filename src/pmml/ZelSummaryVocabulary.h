// ZelSummaryVocabulary: the words of the processing summary: the key texts
// of steps and reasons that a user interface translates, which exclusion
// reasons the summary reports, and the settings each reported exclusion
// quotes as its parameter.
#ifndef ZELCRAFT_PMML_ZELSUMMARYVOCABULARY_H_
#define ZELCRAFT_PMML_ZELSUMMARYVOCABULARY_H_

#include <vector>

class ZelSettings;

namespace ZelTransformation {
class ZelTransformRule;
}  // namespace ZelTransformation

namespace ZelSummary {

// "TextFields", ...; "" for steps 0 and 4 and unknown numbers.
const char* GetStepKey(int step);
// "TrimTrailingBlanks", ...; "" for actions without a key.
const char* GetReasonKey(int action);

// The exclusions the summary reports: screening, selection, construction
// and the constant checks.
bool IsListedExclusion(int action);
// The field list of the summary also names the sources of dates and times.
bool IsListedInVariableSummary(int action);

// The setting an exclusion quotes: the missing share for 18, the mode share
// for 20, the category limit for 21; empty for the others.
std::vector<double> ExclusionParameters(int action, const ZelSettings& settings);

// What the Box-Cox rescaling of the target quotes: the requested mean and
// standard deviation, then the exponent of `rule` when it is a Box-Cox rule.
std::vector<double> RescaleTargetParameters(const ZelTransformation::ZelTransformRule& rule,
                                            const ZelSettings& settings);

}  // namespace ZelSummary

#endif  // ZELCRAFT_PMML_ZELSUMMARYVOCABULARY_H_
