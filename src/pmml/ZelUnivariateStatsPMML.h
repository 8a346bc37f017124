// ZelUnivariateStatsPMML: the figures of each reported field as a PMML
// "UnivariateStats" in our vendor extension: its counts, the mean, extremes,
// spread and skewness with the equal-width histogram of a continuous field,
// and the category frequencies of a categorical one. They are the univariate
// statistics as the last pass left them, so a user interface shows a field's
// distribution without reading the data again.
#ifndef ZELCRAFT_PMML_ZELUNIVARIATESTATSPMML_H_
#define ZELCRAFT_PMML_ZELUNIVARIATESTATSPMML_H_

#include "torcommon13r/TorStatus.h"
#include "torcommon13r/TorXML.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelPMML {

// Appends one "UnivariateStats" per reported field (ZelReportedFields) to
// `vendor`; fields without a measurement level have no figures and are passed
// over. kInconsistent for a statistic of the wrong class for the field's kind
// (that field is left out) or a field flagged for a histogram that has none
// (written without its histogram); either ends the statistics there, and the
// caller's document goes on.
TorCommon_1_3::TorStatus AppendUnivariateStats(TorXML_1_3::XMLElement* vendor,
                                               const ZelVariableHandleList& fields);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELUNIVARIATESTATSPMML_H_
