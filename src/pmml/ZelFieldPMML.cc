#include "pmml/ZelFieldPMML.h"

#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"
#include "pmml/ZelPMMLConstants.h"
#include "pmml/ZelPMMLVocabulary.h"
#include "statistics/ZelFormat.h"
#include "statistics/ZelUnivarCont.h"

namespace ZelPMML {

using TorCommon_1_3::TorStatus;
using TorXML_1_3::XMLElement;

std::unique_ptr<XMLElement> CreateExtension() {
  std::unique_ptr<XMLElement> extension(XMLElement::Create("Extension"));
  extension->AddAttribute("extender", kExtender);
  return extension;
}

void AppendUsage(XMLElement* extension, const ZelVariableHandleList& fields, int index) {
  const bool excluded = fields.GetHandle(index)->IsExcluded();
  extension->AppendChild(XMLElement::Create("UsageType"))
      ->AddAttribute("value", excluded ? "disable" : "enable");
  if (!excluded) {
    extension->AppendChild(XMLElement::Create("ClassOfField"))
        ->AddAttribute("value", FieldKindText(fields.GetFieldKind(index)));
  }
}

TorStatus AppendInterval(XMLElement* parent, const ZelVariableHandleInfo& field) {
  const auto* statistic = dynamic_cast<const ZelStatistic::ZelUnivarCont*>(field.GetUnivariate());
  if (statistic == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  const double minimum = statistic->GetSummary().GetMinimum();
  const double maximum = statistic->GetSummary().GetMaximum();
  // 2^63 as a double; magnitudes above it have no 64-bit integer form.
  constexpr double kInt64Limit = 9223372036854775807.0;
  std::string left = ZelStatistic::FormatDouble(minimum);
  std::string right = ZelStatistic::FormatDouble(maximum);
  if (field.GetStorage() != TorCommon_1_3::kStorageReal &&
      (std::fabs(minimum) > kInt64Limit || std::fabs(maximum) > kInt64Limit)) {
    left = "-9223372036854775807";
    right = "9223372036854775807";
  }
  XMLElement* interval = parent->AppendChild(XMLElement::Create("Interval"));
  interval->AddAttribute("closure", "closedClosed");
  interval->AddAttribute("leftMargin", left);
  interval->AddAttribute("rightMargin", right);
  return TorStatus();
}

void AppendPredictivePower(XMLElement* extension, const ZelVariableHandleInfo& field) {
  if (!field.HasPredictivePower()) return;
  double power = 0.0;
  if (field.GetPredictivePower(&power).IsError() || !std::isfinite(power)) return;
  extension->AppendChild(XMLElement::Create("PredictivePower"))
      ->AddAttribute("value", ZelStatistic::FormatDouble(power));
}

void AppendValue(XMLElement* parent, const std::string& value, const std::string& label,
                 const char* property) {
  XMLElement* element = parent->AppendChild(XMLElement::Create("Value"));
  element->AddAttribute("value", value);
  if (!label.empty()) element->AddAttribute("displayValue", label);
  element->AddAttribute("property", property);
}

std::string FindValueLabel(const TorCommon_1_3::TorEncoder* encoder, const std::string& valueText) {
  if (encoder == nullptr) return std::string();
  const std::vector<std::string>& labels = encoder->GetValueLabels();
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (encoder->GetLabeledValue(i) == valueText) return labels[i];
  }
  return std::string();
}

}  // namespace ZelPMML
