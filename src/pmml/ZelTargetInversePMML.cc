#include "pmml/ZelTargetInversePMML.h"

#include <memory>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "pmml/ZelBoxCoxPMML.h"
#include "pmml/ZelPMMLVocabulary.h"
#include "pmml/ZelReorderTablePMML.h"
#include "transformation/ZelBoxCoxFunctionRule.h"
#include "transformation/ZelReorderFunctionRule.h"

namespace ZelPMML {

using TorCommon_1_3::TorStatus;
using TorXML_1_3::XMLElement;
namespace Action = ZelTransformation::Action;

namespace {

const ZelVariableHandleInfo* FindTransformedTarget(const ZelVariableHandleList& fields) {
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields.GetHandle(i);
    if (!field->IsExcluded() && fields.GetFieldKind(i) == FieldKind::kDerivedTarget) return field;
  }
  return nullptr;
}

}  // namespace

TorStatus AppendTargetInverse(XMLElement* vendor, const ZelVariableHandleList& fields) {
  const ZelVariableHandleInfo* target = FindTransformedTarget(fields);
  if (target == nullptr) return TorStatus();
  XMLElement* inverse = vendor->AppendChild(XMLElement::Create("TargetInverse"));
  const ZelTransformation::ZelTransformRule* rule = target->GetRule();
  if (rule == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  const uint32_t action = rule->GetPair().action;
  const bool reordered = target->IsCategorical() && action == Action::kReorderCatTarget;
  const bool boxCox = target->IsContinuous() && action == Action::kRescaleScaleTarget;
  if (!reordered && !boxCox) return TorStatus();

  std::unique_ptr<XMLElement> field(XMLElement::Create("DerivedField"));
  field->AddAttribute("name", target->GetName() + "_inverse");
  if (!target->GetLabel().empty()) field->AddAttribute("displayName", target->GetLabel());
  if (const char* optype = OptypeOfMeasureKind(target->GetMeasureKind())) {
    field->AddAttribute("optype", optype);
  }
  if (const char* dataType = DataTypeOfStorage(target->GetStorage())) {
    field->AddAttribute("dataType", dataType);
  }
  if (reordered) {
    const auto* reorder = dynamic_cast<const ZelTransformation::ZelReorderFunctionRule*>(rule);
    if (reorder == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
    std::vector<ReorderRow> rows;
    const TorStatus made = MakeReorderRows(*reorder, &rows);
    if (made.IsError()) return made;
    field->AppendChild(MakeReorderMap(target->GetName(), rows, true).release());
    AppendReorderValues(field.get(), rows, true);
  } else {
    const auto* rescale = dynamic_cast<const ZelTransformation::ZelBoxCoxFunctionRule*>(rule);
    if (rescale == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
    field->AppendChild(
        MakeBoxCoxInverse(*rescale, target->GetName(), fields.GetSettings()->rescaleContTargetMean)
            .release());
  }
  inverse->AppendChild(field.release());
  return TorStatus();
}

}  // namespace ZelPMML
