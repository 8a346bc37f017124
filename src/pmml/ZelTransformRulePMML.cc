#include "pmml/ZelTransformRulePMML.h"

#include "frame/ZelStatusCodes.h"
#include "pmml/ZelFunctionCatalogue.h"
#include "pmml/ZelPMMLVocabulary.h"
#include "statistics/ZelFormat.h"

namespace ZelPMML {

using TorCommon_1_3::TorStatus;
using TorXML_1_3::XMLElement;
using ZelTransformation::ZelFunctionTransformRule;
using ZelTransformation::ZelTransformRule;
namespace Action = ZelTransformation::Action;

ZelTransformRulePMML::ZelTransformRulePMML(XMLElement* derivedField,
                                           const ZelVariableHandleInfo& field,
                                           const ZelVariableHandleList& fields)
    : derivedField_(derivedField), field_(field), fields_(fields) {}

ZelTransformRulePMML::~ZelTransformRulePMML() = default;

void ZelTransformRulePMML::Write(TorStatus& status) {
  const ZelTransformRule* rule = field_.GetRule();
  if (rule == nullptr) {
    status_ = TorStatus(ZelStatusCode::kMissingObject, false);
    status = status_;
    return;
  }
  switch (rule->GetPair().action) {
    case Action::kTrimTrailing:
    case Action::kDateElementYear:
    case Action::kDateElementMonth:
    case Action::kDateElementDay:
    case Action::kTimeElementHour:
    case Action::kTimeElementMinute:
    case Action::kTimeElementSecond:
    case Action::kTypeOrdinalToScale:
    case Action::kTypeScaleToOrdinal:
      status_ = WriteFunctionCall(false);
      break;
    case Action::kDateDurationsYear:
    case Action::kDateDurationsMonth:
    case Action::kDateDurationsDay:
    case Action::kTimeDurationsHour:
    case Action::kTimeDurationsMinute:
    case Action::kTimeDurationsSecond:
      status_ = WriteFunctionCall(true);
      break;
    default:
      status_ = TorStatus();
      break;
  }
  status = status_;
}

std::unique_ptr<XMLElement> ZelTransformRulePMML::FieldRef(const std::string& name) const {
  std::unique_ptr<XMLElement> ref(XMLElement::Create("FieldRef"));
  ref->AddAttribute("field", name);
  return ref;
}

TorStatus ZelTransformRulePMML::WriteFunctionCall(bool withReference) {
  const ZelTransformRule& rule = *field_.GetRule();
  if (rule.GetRuleType() != ZelTransformation::RuleType::kFunctions) return TorStatus();
  const auto* function = dynamic_cast<const ZelFunctionTransformRule*>(&rule);
  if (function == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  if (rule.GetInputNames().empty()) return TorStatus(ZelStatusCode::kRuleLacksField, false);

  std::unique_ptr<XMLElement> apply(XMLElement::Create("Apply"));
  apply->AddAttribute("function", GetFunctionName(function->GetFunctionId()));
  apply->AppendChild(FieldRef(rule.GetInputName(0)).release());
  if (withReference) {
    // The source's storage says whether the reference counts days or seconds.
    const ZelVariableHandleInfo* source = fields_.GetHandle(rule.GetSourceIndex());
    if (source == nullptr || rule.GetParameters().empty()) {
      return TorStatus(ZelStatusCode::kRuleLacksField, false);
    }
    XMLElement* reference = apply->AppendChild(XMLElement::Create("Constant"));
    if (const char* dataType = ReferenceDataTypeOfStorage(source->GetStorage())) {
      reference->AddAttribute("dataType", dataType);
    }
    reference->AppendText(ZelStatistic::FormatDouble(rule.GetParameters().front()));
  }
  derivedField_->AppendChild(apply.release());
  return TorStatus();
}

}  // namespace ZelPMML
