// ZelSummaryPMML: writes the processing summary into the document: the
// "Summary" element of the vendor extension, and the "Action" elements that
// tell, inside each field's own extension, which step derived or excluded
// the field and with which parameters.
#ifndef ZELCRAFT_PMML_ZELSUMMARYPMML_H_
#define ZELCRAFT_PMML_ZELSUMMARYPMML_H_

#include <string>
#include <vector>

#include "torcommon13r/TorStatus.h"
#include "torcommon13r/TorXML.h"
#include "pmml/ZelSummaryTable.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelPMML {

class ZelSummaryPMML {
 public:
  // `parameterNames` name the parameter attributes by position.
  ZelSummaryPMML(const ZelVariableHandleList& fields,
                 const std::vector<std::string>& parameterNames);

  // "Summary" with "ProcessingSummary", the step summaries and
  // "VariableSummary", appended to `parent`.
  void AppendSummary(TorXML_1_3::XMLElement* parent, const ZelSummary::SummaryTable& table) const;

  // The field's "Action" elements: one for the rule of a derived field, one
  // for an exclusion the summary reports. kMissingObject or kInconsistent
  // when the missing count of a replacement's source cannot be read.
  TorCommon_1_3::TorStatus AppendFieldActions(TorXML_1_3::XMLElement* extension, int index) const;

 private:
  void AppendProcessingSummary(TorXML_1_3::XMLElement* summary,
                               const ZelSummary::SummaryCounts& counts) const;
  void AppendStepSummaries(TorXML_1_3::XMLElement* summary,
                           const ZelSummary::SummaryTable& table) const;
  void AppendVariableSummary(TorXML_1_3::XMLElement* summary) const;
  // What the original fields offer to the steps that need a target.
  struct OriginalFields {
    bool target = false;
    bool continuousTarget = false;
    bool categoricalInput = false;
    bool continuousInput = false;
  };
  OriginalFields DescribeOriginalFields() const;
  // Whether the settings ask for the step at all.
  bool IsStepSwitchedOn(int step, const OriginalFields& original) const;
  // One field-level "Action" with its step, reason and parameters.
  void AppendFieldAction(TorXML_1_3::XMLElement* extension, uint32_t step, int action,
                         const std::vector<double>& numbers,
                         const std::vector<std::string>& texts) const;
  // The parameter attributes of an action, from its numbers and texts or
  // from the settings it quotes.
  void AddParameters(TorXML_1_3::XMLElement* element, int action,
                     const std::vector<double>& numbers,
                     const std::vector<std::string>& texts) const;
  // How many missing values the first input of `rule` had.
  TorCommon_1_3::TorStatus CountSourceMissing(const ZelTransformation::ZelTransformRule& rule,
                                              double* count) const;

  const ZelVariableHandleList& fields_;
  const ZelSettings& settings_;
  const std::vector<std::string>& parameterNames_;
};

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELSUMMARYPMML_H_
