#include "pmml/ZelTransformRulePMML.h"

#include <string>
#include <utility>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "pmml/ZelBoxCoxPMML.h"
#include "pmml/ZelCalendarPMML.h"
#include "pmml/ZelExpressionPMML.h"
#include "pmml/ZelFunctionCatalogue.h"
#include "pmml/ZelPMMLConstants.h"
#include "pmml/ZelPMMLVocabulary.h"
#include "pmml/ZelReorderTablePMML.h"
#include "pmml/ZelSkewTransformPMML.h"
#include "settings/ZelSettings.h"
#include "statistics/ZelFormat.h"
#include "transformation/ZelCategoryMappingRule.h"
#include "transformation/ZelSupervisedBinningDiscretizationRule.h"
#include "transformation/ZelOutlierFunctionRule.h"
#include "transformation/ZelRegistry.h"
#include "transformation/ZelRescaleContFeatureFunctionRule.h"
#include "transformation/ZelTargetMeanRule.h"

namespace ZelPMML {

using TorCommon_1_3::TorStatus;
using TorXML_1_3::XMLElement;
// Not `Expression`, which names an element pointer here (ZelExpressionPMML.h).
using ExpressionKind = ZelTransformation::Expression;
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
  const ZelTransformation::ZelActionEntry* action =
      ZelTransformation::FindAction(rule->GetPair().action);
  switch (action != nullptr ? action->expression : ExpressionKind::kNone) {
    case ExpressionKind::kFunctionCall:
      status_ = WriteFunctionCall(false);
      break;
    case ExpressionKind::kDurationCall:
      status_ = WriteFunctionCall(true);
      break;
    case ExpressionKind::kDiscretize:
      status_ = WriteDiscretize();
      break;
    case ExpressionKind::kOutlierCall:
      status_ = WriteOutlierCall();
      break;
    case ExpressionKind::kMissingReplacement:
      status_ = WriteMissingReplacement();
      break;
    case ExpressionKind::kReorder:
      status_ = WriteReorder();
      break;
    case ExpressionKind::kBoxCoxRescale:
      status_ = WriteBoxCoxRescale();
      break;
    case ExpressionKind::kFeatureRescale:
      status_ = WriteFeatureRescale();
      break;
    case ExpressionKind::kMergeMapping:
      status_ = WriteMergeMapping();
      break;
    case ExpressionKind::kSumOfProducts:
      status_ = WriteSumOfProducts();
      break;
    case ExpressionKind::kSkewTransform:
      status_ = WriteSkewTransform();
      break;
    case ExpressionKind::kCalendarArithmetic:
      status_ = WriteCalendarArithmetic();
      break;
    case ExpressionKind::kMissingIndicator:
      status_ = WriteMissingIndicator();
      break;
    case ExpressionKind::kTargetMeanMapping:
      status_ = WriteTargetMean();
      break;
    case ExpressionKind::kNone:
      status_ = TorStatus();
      break;
  }
  status = status_;
}

TorStatus ZelTransformRulePMML::WriteFunctionCall(bool withReference) {
  const ZelTransformRule& rule = *field_.GetRule();
  if (rule.GetRuleType() != ZelTransformation::RuleType::kFunctions) return TorStatus();
  const auto* function = dynamic_cast<const ZelFunctionTransformRule*>(&rule);
  if (function == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  if (rule.GetInputNames().empty()) return TorStatus(ZelStatusCode::kRuleLacksField, false);

  std::unique_ptr<XMLElement> apply(XMLElement::Create("Apply"));
  apply->AddAttribute("function", GetFunctionName(function->GetFunctionId()));
  apply->AppendChild(MakeFieldRef(rule.GetInputName(0)).release());
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

TorStatus ZelTransformRulePMML::WriteCalendarArithmetic() {
  const ZelTransformRule& rule = *field_.GetRule();
  if (rule.GetInputNames().empty()) return TorStatus(ZelStatusCode::kRuleLacksField, false);
  Expression part = MakeCalendarPart(rule.GetPair().action, rule.GetInputName(0));
  if (part == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  derivedField_->AppendChild(part.release());
  return TorStatus();
}

TorStatus ZelTransformRulePMML::WriteMissingIndicator() {
  const ZelTransformRule& rule = *field_.GetRule();
  if (rule.GetInputNames().empty()) return TorStatus(ZelStatusCode::kRuleLacksField, false);
  // No rows: every present value takes the default.
  XMLElement* map = derivedField_->AppendChild(XMLElement::Create("MapValues"));
  map->AddAttribute("mapMissingTo", "1");
  map->AddAttribute("defaultValue", "0");
  map->AddAttribute("outputColumn", "output");
  XMLElement* pair = map->AppendChild(XMLElement::Create("FieldColumnPair"));
  pair->AddAttribute("field", rule.GetInputName(0));
  pair->AddAttribute("column", "input");
  return TorStatus();
}

TorStatus ZelTransformRulePMML::WriteTargetMean() {
  const auto* rule = dynamic_cast<const ZelTransformation::ZelTargetMeanRule*>(field_.GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  if (rule->GetInputNames().empty()) return TorStatus(ZelStatusCode::kRuleLacksField, false);
  const ZelVariableHandleInfo* target = fields_.GetHandle(rule->GetTargetIndex());
  if (target == nullptr) return TorStatus(ZelStatusCode::kRuleLacksField, false);
  const std::string prior = ZelStatistic::FormatDouble(rule->GetPrior());
  std::unique_ptr<XMLElement> map(XMLElement::Create("MapValues"));
  map->AddAttribute("mapMissingTo", prior);
  map->AddAttribute("defaultValue", prior);
  map->AddAttribute("outputColumn", "output");
  map->AddAttribute("dataType", "double");
  // What a host needs to give each training row the mean of the other folds.
  XMLElement* extension = map->AppendChild(XMLElement::Create("Extension"));
  extension->AddAttribute("extender", "zelcraft");
  extension->AddAttribute("name", "crossFitting");
  XMLElement* fitting = extension->AppendChild(XMLElement::Create("CrossFitting"));
  fitting->AddAttribute("folds", std::to_string(ZelTransformation::ZelTargetMeanRule::kFolds));
  fitting->AddAttribute("smoothing", ZelStatistic::FormatDouble(rule->GetSmoothing()));
  fitting->AddAttribute("target", target->GetName());
  if (rule->HasClass()) fitting->AddAttribute("targetCategory", rule->GetClass());
  const ZelSettings& settings = *fields_.GetSettings();
  if (const ZelVariableHandleInfo* weight = fields_.GetHandle(settings.frequencyWeightIndex)) {
    fitting->AddAttribute("frequencyWeight", weight->GetName());
  }
  if (const ZelVariableHandleInfo* weight = fields_.GetHandle(settings.analysisWeightIndex)) {
    fitting->AddAttribute("analysisWeight", weight->GetName());
  }
  XMLElement* pair = map->AppendChild(XMLElement::Create("FieldColumnPair"));
  pair->AddAttribute("field", rule->GetInputName(0));
  pair->AddAttribute("column", "input");
  XMLElement* table = map->AppendChild(XMLElement::Create("InlineTable"));
  auto row = [table](const std::string& input, double output) {
    XMLElement* element = table->AppendChild(XMLElement::Create("row"));
    element->AppendChild(XMLElement::Create("input"))->AppendText(input);
    element->AppendChild(XMLElement::Create("output"))
        ->AppendText(ZelStatistic::FormatDouble(output));
  };
  for (const auto& entry : rule->GetTextMapping()) row(entry.first, entry.second);
  for (const auto& entry : rule->GetNumericMapping()) {
    row(ZelStatistic::FormatDoubleExactly(entry.first), entry.second);
  }
  derivedField_->AppendChild(map.release());
  return TorStatus();
}

TorStatus ZelTransformRulePMML::WriteDiscretize() {
  const auto* rule =
      dynamic_cast<const ZelTransformation::ZelSupervisedBinningDiscretizationRule*>(
          field_.GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  // Without a cut point the one bin spans every value: the field is constant
  // but keeps an expression, which a derived field cannot do without.
  const std::vector<double>& cuts = rule->GetCutPoints();
  if (rule->GetInputNames().empty()) return TorStatus(ZelStatusCode::kRuleLacksField, false);
  std::unique_ptr<XMLElement> discretize(XMLElement::Create("Discretize"));
  discretize->AddAttribute("field", rule->GetInputName(0));
  for (std::size_t bin = 0; bin <= cuts.size(); ++bin) {
    XMLElement* element = discretize->AppendChild(XMLElement::Create("DiscretizeBin"));
    element->AddAttribute("binValue", std::to_string(bin));
    XMLElement* interval = element->AppendChild(XMLElement::Create("Interval"));
    interval->AddAttribute("closure", bin < cuts.size() ? "openClosed" : "openOpen");
    if (bin > 0) interval->AddAttribute("leftMargin", ZelStatistic::FormatDouble(cuts[bin - 1]));
    if (bin < cuts.size()) {
      interval->AddAttribute("rightMargin", ZelStatistic::FormatDouble(cuts[bin]));
    }
  }
  derivedField_->AppendChild(discretize.release());
  return TorStatus();
}

TorStatus ZelTransformRulePMML::WriteOutlierCall() {
  const ZelTransformRule& rule = *field_.GetRule();
  if (rule.GetRuleType() != ZelTransformation::RuleType::kFunctions) return TorStatus();
  const auto* function = dynamic_cast<const ZelFunctionTransformRule*>(&rule);
  if (function == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  using Parameter = ZelTransformation::ZelOutlierFunctionRule::Parameter;
  const std::vector<double>& p = rule.GetParameters();
  if (rule.GetInputNames().empty() || p.size() < Parameter::kParameterCount) {
    return TorStatus(ZelStatusCode::kRuleLacksField, false);
  }
  const char* const kDouble = "double";
  std::unique_ptr<XMLElement> apply(XMLElement::Create("Apply"));
  apply->AddAttribute("function", GetFunctionName(function->GetFunctionId()));
  apply->AppendChild(MakeFieldRef(rule.GetInputName(0)).release());
  const bool trim = rule.GetPair().action == Action::kTrimOutliersToExtreme;
  apply->AppendChild(
      MakeConstant(trim ? "asExtremeValues" : "asMissingValues", "string").release());
  apply->AppendChild(MakeConstant(p[Parameter::kRobustMean], kDouble).release());
  apply->AppendChild(MakeConstant(p[Parameter::kRobustStdDev], kDouble).release());
  apply->AppendChild(MakeConstant(p[Parameter::kCutoff], kDouble).release());
  // Consumers narrow the band by the record's analysis weight: the host
  // field the settings name, looked up directly, since every outlier field
  // asks.
  const ZelVariableHandleInfo* weight =
      fields_.GetHandle(fields_.GetSettings()->analysisWeightIndex);
  if (weight != nullptr && !weight->IsAnalysisWeight()) weight = nullptr;
  apply->AppendChild(weight != nullptr ? MakeFieldRef(weight->GetName()).release()
                                       : MakeConstant("1", kDouble).release());
  derivedField_->AppendChild(apply.release());
  return TorStatus();
}

TorStatus ZelTransformRulePMML::WriteMissingReplacement() {
  const ZelTransformRule& rule = *field_.GetRule();
  const TorStatus lacking(ZelStatusCode::kRuleLacksField, false);
  if (rule.GetInputNames().empty()) return lacking;
  const std::vector<double>& numbers = rule.GetParameters();
  const std::vector<std::string>& texts = rule.GetTextParameters();
  switch (field_.GetMeasureKind()) {
    case MeasureKind::kContinuous: {
      if (numbers.empty()) return lacking;
      XMLElement* norm = derivedField_->AppendChild(XMLElement::Create("NormContinuous"));
      norm->AddAttribute("field", rule.GetInputName(0));
      norm->AddAttribute("mapMissingTo", ZelStatistic::FormatDouble(numbers.front()));
      // The identity: only missing values change.
      for (const char* point : {"0", "1"}) {
        XMLElement* linear = norm->AppendChild(XMLElement::Create("LinearNorm"));
        linear->AddAttribute("orig", point);
        linear->AddAttribute("norm", point);
      }
      return TorStatus();
    }
    case MeasureKind::kNominal:
    case MeasureKind::kOrdinal: {
      if (numbers.empty() && texts.empty()) return lacking;
      XMLElement* map = derivedField_->AppendChild(XMLElement::Create("MapValues"));
      map->AddAttribute("mapMissingTo", !numbers.empty()
                                            ? ZelStatistic::FormatDouble(numbers.front())
                                            : texts.front());
      map->AddAttribute("outputColumn", "output");
      // Without a table every present value would map to nothing; the
      // extension tells consumers to copy it instead.
      XMLElement* extension = map->AppendChild(XMLElement::Create("Extension"));
      extension->AddAttribute("extender", kExtender);
      extension->AddAttribute("name", "recodeElseCopy");
      XMLElement* pair = map->AppendChild(XMLElement::Create("FieldColumnPair"));
      pair->AddAttribute("column", "input");
      pair->AddAttribute("field", rule.GetInputName(0));
      return TorStatus();
    }
    default:
      return TorStatus();
  }
}

TorStatus ZelTransformRulePMML::WriteReorder() {
  const auto* rule =
      dynamic_cast<const ZelTransformation::ZelReorderFunctionRule*>(field_.GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  if (rule->GetInputNames().empty()) return TorStatus(ZelStatusCode::kRuleLacksField, false);
  std::vector<ReorderRow> rows;
  const TorStatus made = MakeReorderRows(*rule, &rows);
  if (made.IsError()) return made;
  derivedField_->AppendChild(MakeReorderMap(rule->GetInputName(0), rows, false).release());
  AppendReorderValues(derivedField_, rows, false);
  return TorStatus();
}

TorStatus ZelTransformRulePMML::WriteBoxCoxRescale() {
  const auto* rule =
      dynamic_cast<const ZelTransformation::ZelBoxCoxFunctionRule*>(field_.GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  if (rule->GetInputNames().empty()) return TorStatus(ZelStatusCode::kRuleLacksField, false);
  derivedField_->AppendChild(
      MakeBoxCoxRescale(*rule, rule->GetInputName(0), fields_.GetSettings()->rescaleContTargetMean)
          .release());
  return TorStatus();
}

TorStatus ZelTransformRulePMML::WriteSkewTransform() {
  const auto* rule =
      dynamic_cast<const ZelTransformation::ZelSkewTransformFunctionRule*>(field_.GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  if (rule->GetInputNames().empty()) return TorStatus(ZelStatusCode::kRuleLacksField, false);
  derivedField_->AppendChild(MakeSkewTransform(*rule, rule->GetInputName(0)).release());
  return TorStatus();
}

TorStatus ZelTransformRulePMML::WriteFeatureRescale() {
  const auto* rule =
      dynamic_cast<const ZelTransformation::ZelRescaleContFeatureFunctionRule*>(field_.GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  if (rule->GetInputNames().empty()) return TorStatus(ZelStatusCode::kRuleLacksField, false);
  Expression x = MakeFieldRef(rule->GetInputName(0));
  derivedField_->AppendChild(
      (rule->IsZscore()
           ? MakeLinearRescale(std::move(x), rule->GetTargetStdDev(), rule->GetFieldStdDev(),
                               rule->GetFieldMean(), rule->GetTargetMean())
           : MakeLinearRescale(std::move(x), rule->GetNewMaximum() - rule->GetNewMinimum(),
                               rule->GetFieldMaximum() - rule->GetFieldMinimum(),
                               rule->GetFieldMinimum(), rule->GetNewMinimum()))
          .release());
  return TorStatus();
}

TorStatus ZelTransformRulePMML::WriteMergeMapping() {
  const auto* rule =
      dynamic_cast<const ZelTransformation::ZelCategoryMappingRule*>(field_.GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  if (rule->GetInputNames().empty()) return TorStatus(ZelStatusCode::kRuleLacksField, false);
  const bool texts = !rule->GetTextMapping().empty();
  std::unique_ptr<XMLElement> map(XMLElement::Create("MapValues"));
  map->AddAttribute("outputColumn", "output");
  // A category the table lacks takes the rule's default label, here as well.
  map->AddAttribute("defaultValue",
                    texts ? std::string(ZelTransformation::ZelCategoryMappingRule::kDefaultText)
                          : ZelStatistic::FormatDouble(
                                ZelTransformation::ZelCategoryMappingRule::kDefaultNumber));
  XMLElement* pair = map->AppendChild(XMLElement::Create("FieldColumnPair"));
  pair->AddAttribute("field", rule->GetInputName(0));
  pair->AddAttribute("column", "input");
  XMLElement* table = map->AppendChild(XMLElement::Create("InlineTable"));
  auto row = [table](const std::string& input, const std::string& output) {
    XMLElement* element = table->AppendChild(XMLElement::Create("row"));
    element->AppendChild(XMLElement::Create("input"))->AppendText(input);
    element->AppendChild(XMLElement::Create("output"))->AppendText(output);
  };
  // Both maps are ordered, strings byte-wise.
  if (texts) {
    for (const auto& entry : rule->GetTextMapping()) row(entry.first, entry.second);
  } else {
    for (const auto& entry : rule->GetNumericMapping()) {
      row(ZelStatistic::FormatDouble(entry.first), ZelStatistic::FormatDouble(entry.second));
    }
  }
  derivedField_->AppendChild(map.release());
  return TorStatus();
}

TorStatus ZelTransformRulePMML::WriteSumOfProducts() {
  const ZelTransformRule& rule = *field_.GetRule();
  const std::vector<std::string>& names = rule.GetInputNames();
  const std::vector<double>& coefficients = rule.GetParameters();
  if (names.size() != coefficients.size()) {
    return TorStatus(ZelStatusCode::kNumericalFailure, false);
  }
  auto term = [&](std::size_t i) {
    std::unique_ptr<XMLElement> product(XMLElement::Create("Apply"));
    product->AddAttribute("function", "*");
    XMLElement* constant = product->AppendChild(XMLElement::Create("Constant"));
    constant->AddAttribute("dataType", "double");
    constant->AppendText(ZelStatistic::FormatDouble(coefficients[i]));
    product->AppendChild(MakeFieldRef(names[i]).release());
    return product;
  };
  // A single product would need no sum; a constructed feature has at least
  // two members, so such a rule writes nothing.
  if (names.size() < 2) return TorStatus();
  // t0 + (t1 + (… + (t(k−2) + t(k−1)))): built from the innermost sum out.
  std::unique_ptr<XMLElement> sum = term(names.size() - 1);
  for (std::size_t i = names.size() - 1; i-- > 0;) {
    std::unique_ptr<XMLElement> outer(XMLElement::Create("Apply"));
    outer->AddAttribute("function", "+");
    outer->AppendChild(term(i).release());
    outer->AppendChild(sum.release());
    sum = std::move(outer);
  }
  derivedField_->AppendChild(sum.release());
  return TorStatus();
}

}  // namespace ZelPMML
