#include "pmml/ZelDerivedFieldPMML.h"

#include <algorithm>
#include <string>

#include "frame/ZelStatusCodes.h"
#include "pmml/ZelFieldPMML.h"
#include "pmml/ZelPMMLVocabulary.h"
#include "pmml/ZelSummaryVocabulary.h"
#include "pmml/ZelTransformRulePMML.h"
#include "statistics/ZelFormat.h"
#include "statistics/ZelUnivarNumeric.h"
#include "statistics/ZelUnivarStringCat.h"
#include "statistics/ZelUnivariateCounts.h"

namespace ZelPMML {

using TorCommon_1_3::TorStatus;
using TorXML_1_3::XMLElement;
using ZelTransformation::ZelTransformRule;
namespace Action = ZelTransformation::Action;

namespace {

void AppendSourceFields(XMLElement* extension, const ZelTransformRule& rule) {
  const uint32_t action = rule.GetPair().action;
  // A field made by anything but a derivation names no source.
  if (!ZelSummary::IsCountedDerivation(static_cast<int>(action))) return;
  const std::size_t count = action == Action::kConstructContFeature
                                ? rule.GetInputNames().size()
                                : std::min<std::size_t>(1, rule.GetInputNames().size());
  for (std::size_t i = 0; i < count; ++i) {
    extension->AppendChild(XMLElement::Create("SourceField"))
        ->AddAttribute("value", rule.GetInputName(i));
  }
}

bool HasMissingValues(const ZelVariableHandleInfo& field) {
  ZelStatistic::UnivariateCounts counts;
  return ZelStatistic::GetUnivariateCounts(field.GetUnivariate(), &counts) && counts.missing > 0;
}

// One valid "Value" per value the field took; categories as they are.
TorStatus AppendValues(XMLElement* derivedField, const ZelVariableHandleInfo& field) {
  const ZelStatistic::ZelStatistics* statistic = field.GetUnivariate();
  if (const auto* numeric = dynamic_cast<const ZelStatistic::ZelUnivarNumeric*>(statistic)) {
    for (double value : numeric->GetValues()) {
      AppendValue(derivedField, ZelStatistic::FormatDouble(value), std::string(), "valid");
    }
    return TorStatus();
  }
  if (const auto* text = dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(statistic)) {
    for (const std::string& category : text->GetCategories()) {
      AppendValue(derivedField, category, std::string(), "valid");
    }
    return TorStatus();
  }
  return TorStatus(ZelStatusCode::kInconsistent, false);
}

}  // namespace

std::unique_ptr<XMLElement> CreateDerivedField(const ZelVariableHandleList& fields,
                                               const ZelSummaryPMML& summary, int index,
                                               TorStatus* status) {
  const ZelVariableHandleInfo& field = *fields.GetHandle(index);
  const ZelTransformRule* rule = field.GetRule();
  if (rule == nullptr) {
    *status = TorStatus(ZelStatusCode::kMissingObject, false);
    return nullptr;
  }
  std::unique_ptr<XMLElement> element(XMLElement::Create("DerivedField"));
  element->AddAttribute("name", field.GetName());
  if (!field.GetLabel().empty()) element->AddAttribute("displayName", field.GetLabel());
  const int kind = field.GetMeasureKind();
  if (const char* optype = OptypeOfMeasureKind(kind)) element->AddAttribute("optype", optype);
  if (const char* dataType = DataTypeOfStorage(field.GetStorage())) {
    element->AddAttribute("dataType", dataType);
  }

  XMLElement* extension = element->AppendChild(CreateExtension().release());
  *status = summary.AppendFieldActions(extension, index);
  if (status->IsError()) return nullptr;
  AppendUsage(extension, fields, index);
  AppendSourceFields(extension, *rule);
  AppendPredictivePower(extension, field);
  extension->AppendChild(XMLElement::Create("HasMissingValues"))
      ->AddAttribute("value", HasMissingValues(field) ? "true" : "false");

  if (kind == MeasureKind::kContinuous) {
    XMLElement* range = element->AppendChild(CreateExtension().release());
    *status = AppendInterval(range, field);
    if (status->IsError()) return nullptr;
  }

  ZelTransformRulePMML(element.get(), field, fields).Write(*status);
  if (status->IsError()) return nullptr;

  const uint32_t action = rule->GetPair().action;
  if (field.IsCategorical() && action != Action::kReorderCatTarget &&
      action != Action::kReorderCatFeature) {
    *status = AppendValues(element.get(), field);
    if (status->IsError()) return nullptr;
  }
  return element;
}

}  // namespace ZelPMML
