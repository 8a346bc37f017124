// ZelDataFieldPMML: the "DataField" of one original field as the host gave
// it: name and label, usage, kind and type, and what its statistics and the
// host's encoder know about its values: the range of a continuous field,
// the categories of a categorical one, and the user-missing values of both.
#ifndef ZELCRAFT_PMML_ZELDATAFIELDPMML_H_
#define ZELCRAFT_PMML_ZELDATAFIELDPMML_H_

#include <memory>

#include "torcommon13r/TorStatus.h"
#include "torcommon13r/TorXML.h"
#include "pmml/ZelSummaryPMML.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelPMML {

// The DataField of original field `index`, or null with the error in `status`
// (kInconsistent when the field's statistic does not fit its kind).
std::unique_ptr<TorXML_1_3::XMLElement> CreateDataField(const ZelVariableHandleList& fields,
                                                        const ZelSummaryPMML& summary, int index,
                                                        TorCommon_1_3::TorStatus* status);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELDATAFIELDPMML_H_
