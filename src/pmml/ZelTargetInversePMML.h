// The "TargetInverse" of the vendor extension: how a prediction of the
// transformed target maps back to the target as the data gave it. A
// reordered nominal target maps its codes back to the categories; a Box-Cox
// target undoes the rescaling and the power. Written as a DerivedField named
// after the transformed target with "_inverse" appended.
#ifndef ZELCRAFT_PMML_ZELTARGETINVERSEPMML_H_
#define ZELCRAFT_PMML_ZELTARGETINVERSEPMML_H_

#include "settings/ZelVariableHandleList.h"
#include "torcommon13r/TorStatus.h"
#include "torcommon13r/TorXML.h"

namespace ZelPMML {

// Appends "TargetInverse" to `vendor` when a transformed target is in use; it
// stays empty for a transformation without an inverse (a replacement of
// missing values, say). kNumberFormat for a reordered target without
// categories, kInconsistent for a rule whose class does not fit its action.
TorCommon_1_3::TorStatus AppendTargetInverse(TorXML_1_3::XMLElement* vendor,
                                             const ZelVariableHandleList& fields);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELTARGETINVERSEPMML_H_
