// ZelDerivedFieldPMML: the "DerivedField" of one field a step derived: its
// name, kind and type, an extension telling how and from which field it was
// derived and whether it is recommended, its range, its expression and, for
// a categorical field, its values.
#ifndef ZELCRAFT_PMML_ZELDERIVEDFIELDPMML_H_
#define ZELCRAFT_PMML_ZELDERIVEDFIELDPMML_H_

#include <memory>

#include "torcommon13r/TorStatus.h"
#include "torcommon13r/TorXML.h"
#include "pmml/ZelSummaryPMML.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelPMML {

// The DerivedField of derived field `index`, or null with the first error
// in `status`.
std::unique_ptr<TorXML_1_3::XMLElement> CreateDerivedField(const ZelVariableHandleList& fields,
                                                           const ZelSummaryPMML& summary, int index,
                                                           TorCommon_1_3::TorStatus* status);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELDERIVEDFIELDPMML_H_
