#include "frame/ZelBuildIdentity.h"

#include <string>
#include <variant>

#include "settings/ZelSettingTable.h"
#include "statistics/ZelStateBytes.h"
#include "torcommon13r/TorEncoder.h"
#include "torcommon13r/TorVariable.h"

namespace ZelFrame {

using ZelStatistic::ZelStateWriter;

namespace {

uint64_t Hash(const std::string& bytes) {
  return ZelStatistic::ZelStateHash(bytes.data(), bytes.size());
}

void Flag(ZelStateWriter* out, bool value) { out->U8(value ? 1 : 0); }

void Int(ZelStateWriter* out, int value) { out->I64(value); }

// Whether some host field has the storage `storage`.
bool AnyStored(const ZelVariableHandleList& fields, int storage) {
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields.GetHandle(i);
    if (!field->IsDerived() && field->GetStorage() == storage) return true;
  }
  return false;
}

}  // namespace

uint64_t SettingsIdentity(const ZelSettings& s, const ZelVariableHandleList& fields) {
  const bool dates = s.computeDateDuration && AnyStored(fields, TorCommon_1_3::kStorageDate);
  const bool times = s.computeTimeDuration && AnyStored(fields, TorCommon_1_3::kStorageTime);
  std::string bytes;
  ZelStateWriter out(&bytes);
  // The members no key sets alone.
  Int(&out, s.frequencyWeightIndex);
  out.U64(s.forcedFeatureIndices.size());
  for (int index : s.forcedFeatureIndices) Int(&out, index);
  Flag(&out, s.replaceMissingTarget);
  for (double value : {s.boxCoxExponentStart, s.boxCoxExponentEnd, s.boxCoxExponentStep}) {
    out.F64(value);
  }
  for (bool flag : {s.rescaling, s.reorderNominalCats, s.unsupervisedMerge}) Flag(&out, flag);
  for (const std::string& suffix : s.stepSuffixes) out.Text(suffix);
  // Every key's member; the reference date and time only where durations
  // are derived from them.
  for (const ZelSettingRow& row : ZelSettingRows()) {
    std::visit(ZelSettingVisitor{
                   [&](bool ZelSettings::*m) { Flag(&out, s.*m); },
                   [&](int ZelSettings::*m) { Int(&out, s.*m); },
                   [&](double ZelSettings::*m) { out.F64(s.*m); },
                   [&](NamePart part) { out.Text(s.GetNamePart(part)); },
                   [&](ZelReferenceDate ZelSettings::*m) {
                     if (dates) out.F64((s.*m).seconds);
                   },
                   [&](ZelReferenceTime ZelSettings::*m) {
                     if (times) out.F64((s.*m).seconds);
                   },
               },
               row.member);
  }
  return Hash(bytes);
}

uint64_t FieldsIdentity(const ZelVariableHandleList& fields) {
  std::string bytes;
  ZelStateWriter out(&bytes);
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields.GetHandle(i);
    out.Text(field->GetName());
    Int(&out, field->GetStorage());
    Int(&out, field->GetMeasureLevel());
    Int(&out, field->GetMeasureKind());
    Int(&out, field->GetRole());
    Flag(&out, field->IsDerived());
    Flag(&out, field->IsExcluded());
    const TorCommon_1_3::ITorVariable* variable = field->GetVariable();
    const TorCommon_1_3::TorEncoder* encoder =
        variable != nullptr ? variable->GetEncoder() : nullptr;
    if (encoder == nullptr) {
      Flag(&out, false);
      continue;
    }
    Flag(&out, true);
    double low = 0.0;
    double high = 0.0;
    Flag(&out, encoder->GetMissingRange(low, high));
    out.F64(low);
    out.F64(high);
    out.U64(encoder->GetMissingValues().size());
    for (double value : encoder->GetMissingValues()) out.F64(value);
    out.U64(encoder->GetMissingStrings().size());
    for (const std::string& text : encoder->GetMissingStrings()) out.Text(text);
  }
  return Hash(bytes);
}

}  // namespace ZelFrame
