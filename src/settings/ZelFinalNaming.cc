#include "settings/ZelFinalNaming.h"

#include <set>
#include <vector>

#include "transformation/ZelOperation.h"
#include "transformation/ZelTargetMeanRule.h"

namespace {

using namespace ZelTransformation;

// The derived field's rule, or null for host fields and rule-less fields.
const ZelTransformRule* RuleOf(const ZelVariableHandleInfo* field) {
  return field != nullptr && field->IsDerived() ? field->GetRule() : nullptr;
}

// The user's name part for the date/time rule in the chain, or the input
// extension when the chain holds none.
std::string InputSuffix(const ZelVariableHandleList& fields, int index,
                        const ZelSettings& settings) {
  for (const ZelTransformRule* rule = RuleOf(fields.GetHandle(index)); rule != nullptr;
       rule = RuleOf(fields.GetHandle(rule->GetSourceIndex()))) {
    // The parts computed in the document's own arithmetic and the
    // indicators have fixed name parts.
    if (rule->GetPair().action == Action::kFlagMissing) return "_missing";
    if (rule->GetPair().action == Action::kTargetMeanCatFeature) {
      const auto* mean = dynamic_cast<const ZelTargetMeanRule*>(rule);
      return mean != nullptr && mean->IsClassInName() ? "_targetMean_" + mean->GetClass()
                                                      : std::string("_targetMean");
    }
    if (rule->GetPair().step != Step::kDateTimeHandle) continue;
    switch (rule->GetPair().action) {
      case Action::kDateDurationsYear: return settings.GetNamePart(NamePart::kElapsedYears);
      case Action::kDateDurationsMonth: return settings.GetNamePart(NamePart::kElapsedMonths);
      case Action::kDateDurationsDay: return settings.GetNamePart(NamePart::kElapsedDays);
      case Action::kDateElementYear: return settings.GetNamePart(NamePart::kYear);
      case Action::kDateElementMonth: return settings.GetNamePart(NamePart::kMonth);
      case Action::kDateElementDay: return settings.GetNamePart(NamePart::kDay);
      case Action::kTimeDurationsHour: return settings.GetNamePart(NamePart::kElapsedHours);
      case Action::kTimeDurationsMinute: return settings.GetNamePart(NamePart::kElapsedMinutes);
      case Action::kTimeDurationsSecond: return settings.GetNamePart(NamePart::kElapsedSeconds);
      case Action::kTimeElementHour: return settings.GetNamePart(NamePart::kHour);
      case Action::kTimeElementMinute: return settings.GetNamePart(NamePart::kMinute);
      case Action::kTimeElementSecond: return settings.GetNamePart(NamePart::kSecond);
      case Action::kDateElementWeekday: return "_weekday";
      case Action::kDateElementMonthCategory: return "_month_category";
      case Action::kTimeElementHourCategory: return "_hour_category";
      default: return std::string();
    }
  }
  return settings.GetNamePart(NamePart::kExtForInputs);
}

}  // namespace

// A PMML consumer needs distinct field names, so a final name that another
// field already carries gets "_2", "_3", ... appended.
void RenameDerivedFields(ZelVariableHandleList* fields, const ZelSettings& settings) {
  std::vector<std::string> finalNames(fields->Count());
  const int target = fields->GetTargetIndex();
  if (target >= 0 && fields->GetHandle(target)->IsDerived()) {
    const int root = fields->GetRootIndex(target);
    if (root >= 0) {
      finalNames[target] =
          fields->GetHandle(root)->GetName() + settings.GetNamePart(NamePart::kExtForTarget);
    }
  }
  for (int i = 0; i < fields->Count(); ++i) {
    const ZelVariableHandleInfo* field = fields->GetHandle(i);
    if (i == target || !field->IsDerived() || field->IsExcluded() ||
        fields->GetFieldKind(i) == FieldKind::kConstructed) {
      continue;
    }
    const int root = fields->GetRootIndex(i);
    if (root < 0) continue;
    finalNames[i] = fields->GetHandle(root)->GetName() + InputSuffix(*fields, i, settings);
  }

  std::set<std::string> taken;
  for (int i = 0; i < fields->Count(); ++i) {
    if (finalNames[i].empty()) taken.insert(fields->GetHandle(i)->GetName());
  }
  for (int i = 0; i < fields->Count(); ++i) {
    if (finalNames[i].empty()) continue;
    std::string name = finalNames[i];
    for (int n = 2; taken.count(name) != 0; ++n) name = finalNames[i] + "_" + std::to_string(n);
    taken.insert(name);
    fields->GetHandle(i)->SetName(name);
  }
}
