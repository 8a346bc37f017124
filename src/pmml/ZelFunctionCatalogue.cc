#include "pmml/ZelFunctionCatalogue.h"

#include <algorithm>

#include "frame/ZelStatusCodes.h"
#include "transformation/ZelOperation.h"

namespace ZelPMML {

using TorCommon_1_3::TorStatus;
using TorXML_1_3::XMLElement;

namespace {

constexpr int kLastId = 27;

// Indexed by id. The body of every definition is a placeholder constant:
// consumers know these functions by name.
const FunctionDefinition* Catalogue() {
  static const FunctionDefinition kOutlier = {
      "outlierHandle", "double", "continuous",
      {"Var", "OUTLIER-TREATMENT-METHOD", "RobustMean", "RobustSD", "CutOff", "AnalysisWeight"}};
  static const FunctionDefinition kReorder = {"reorder", "string", "categorical", {"reorderVar"}};
  static const FunctionDefinition kNone = {nullptr, nullptr, nullptr, {}};
  static const FunctionDefinition kTable[kLastId + 1] = {
      kNone,
      {"trimend", "string", "categorical", {"stringVar"}},
      {"date_years_difference", "integer", "continuous", {"dateVar", "referenceDate"}},
      {"date_months_difference", "integer", "continuous", {"dateVar", "referenceDate"}},
      {"date_days_difference", "integer", "continuous", {"dateVar", "referenceDate"}},
      {"year-from-date", "integer", "continuous", {"dateVar"}},
      {"month-from-date", "integer", "continuous", {"dateVar"}},
      {"day-from-date", "integer", "continuous", {"dateVar"}},
      {"time_hours_difference", "integer", "continuous", {"timeVar", "referenceTime"}},
      {"time_minutes_difference", "integer", "continuous", {"timeVar", "referenceTime"}},
      {"time_seconds_difference", "integer", "continuous", {"timeVar", "referenceTime"}},
      {"hour-from-time", "integer", "continuous", {"timeVar"}},
      {"minute-from-time", "integer", "continuous", {"timeVar"}},
      {"second-from-time", "integer", "continuous", {"timeVar"}},
      {"recast_to_ordinal", "double", "continuous", {"numericVar"}},
      {"recast_to_scale", "double", "continuous", {"numericVar"}},
      kOutlier,
      kOutlier,
      kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
      kReorder,
      kReorder};
  return kTable;
}

}  // namespace

const FunctionDefinition* FindFunction(int id) {
  if (id < 0 || id > kLastId) return nullptr;
  const FunctionDefinition* definition = &Catalogue()[id];
  return definition->name != nullptr ? definition : nullptr;
}

std::string GetFunctionName(int id) {
  if (id == 0) return "0000";
  const FunctionDefinition* definition = FindFunction(id);
  return definition != nullptr ? definition->name : "";
}

bool IsDroppedCopy(const ZelVariableHandleInfo& field) {
  return field.IsDerived() && field.IsExcluded() &&
         field.GetExcludedReason().action == ZelTransformation::Action::kExcludeTrimTrailFeature;
}

TorStatus CollectFunctionIds(const ZelVariableHandleList& fields, std::vector<int>* ids) {
  ids->clear();
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields.GetHandle(i);
    if (!field->IsDerived() || IsDroppedCopy(*field)) continue;
    const ZelTransformation::ZelTransformRule* rule = field->GetRule();
    if (rule == nullptr || rule->GetRuleType() != ZelTransformation::RuleType::kFunctions) continue;
    const auto* function = dynamic_cast<const ZelTransformation::ZelFunctionTransformRule*>(rule);
    if (function == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
    const int id = function->GetFunctionId();
    if (std::find(ids->begin(), ids->end(), id) == ids->end()) ids->push_back(id);
  }
  return TorStatus();
}

void AppendFunctionDefinitions(XMLElement* dictionary, const std::vector<int>& ids) {
  for (int id : ids) {
    const FunctionDefinition* definition = FindFunction(id);
    if (definition == nullptr) continue;
    XMLElement* function = dictionary->AppendChild(XMLElement::Create("DefineFunction"));
    function->AddAttribute("name", definition->name);
    function->AddAttribute("dataType", definition->dataType);
    function->AddAttribute("optype", definition->optype);
    for (const char* parameter : definition->parameters) {
      function->AppendChild(XMLElement::Create("ParameterField"))->AddAttribute("name", parameter);
    }
    function->AppendChild(XMLElement::Create("Constant"))->AppendText("0");
  }
}

}  // namespace ZelPMML
