// ZelFieldPMML: the parts of the document that a DataField (an original
// field) and a DerivedField share: the vendor extension element, the usage
// and class of a field, the value range of a continuous field and the
// category labels the host's encoder provides.
#ifndef ZELCRAFT_PMML_ZELFIELDPMML_H_
#define ZELCRAFT_PMML_ZELFIELDPMML_H_

#include <memory>
#include <string>

#include "torcommon13r/TorEncoder.h"
#include "torcommon13r/TorStatus.h"
#include "torcommon13r/TorXML.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelPMML {

// An "Extension" carrying our extender.
std::unique_ptr<TorXML_1_3::XMLElement> CreateExtension();

// "UsageType" ("enable" or "disable") and, for a field still in use,
// "ClassOfField" with the text of its field kind.
void AppendUsage(TorXML_1_3::XMLElement* extension, const ZelVariableHandleList& fields, int index);

// The field's range as a closed "Interval". Outside the 64-bit integer range
// a field whose values are not reals gets the widest 64-bit margins instead:
// such values can only be overflowed integers, dates or times. kInconsistent
// when the field has no continuous statistic.
TorCommon_1_3::TorStatus AppendInterval(TorXML_1_3::XMLElement* parent,
                                        const ZelVariableHandleInfo& field);

// "PredictivePower" for a field whose predictive statistic was made; left
// out when it cannot be computed (that does not affect the document).
void AppendPredictivePower(TorXML_1_3::XMLElement* extension, const ZelVariableHandleInfo& field);

// A "Value" element; `label` becomes its displayValue unless empty.
void AppendValue(TorXML_1_3::XMLElement* parent, const std::string& value,
                 const std::string& label, const char* property);

// The label of the first value label whose value text equals `valueText`;
// "" when there is none or it is empty. `encoder` may be null.
std::string FindValueLabel(const TorCommon_1_3::TorEncoder* encoder, const std::string& valueText);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELFIELDPMML_H_
