#include "pmml/ZelPMMLVocabulary.h"

#include "torcommon13r/TorVariable.h"
#include "settings/ZelVariableHandleInfo.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelPMML {

const char* DataTypeOfStorage(int storage) {
  switch (storage) {
    case TorCommon_1_3::kStorageInteger: return "integer";
    case TorCommon_1_3::kStorageReal: return "double";
    case TorCommon_1_3::kStorageString: return "string";
    case TorCommon_1_3::kStorageDate: return "dateDaysSince[1970]";
    case TorCommon_1_3::kStorageTime: return "time";
    case TorCommon_1_3::kStorageTimestamp: return "dateTime";
    default: return nullptr;
  }
}

const char* ReferenceDataTypeOfStorage(int storage) {
  return storage == TorCommon_1_3::kStorageTime ? "timeSeconds" : DataTypeOfStorage(storage);
}

const char* OptypeOfMeasureKind(int kind) {
  switch (kind) {
    case MeasureKind::kContinuous: return "continuous";
    case MeasureKind::kNominal: return "categorical";
    case MeasureKind::kOrdinal: return "ordinal";
    default: return nullptr;
  }
}

const char* FieldKindText(int kind) {
  switch (kind) {
    case FieldKind::kHostInput: return "original predictor";
    case FieldKind::kConstructed: return "constructed feature";
    case FieldKind::kFromDateTime: return "derived form date and time";
    case FieldKind::kTransformed: return "transformed feature";
    case FieldKind::kHostTarget: return "target";
    case FieldKind::kDerivedTarget: return "transformed target";
    case FieldKind::kFrequencyWeight: return "frequency weight";
    case FieldKind::kAnalysisWeight: return "analysis weight";
    default: return "";
  }
}

std::string EscapeCategory(const std::string& category) {
  std::string escaped;
  escaped.reserve(category.size());
  for (char c : category) {
    if (c == '"' || c == '\\') escaped.push_back('\\');
    escaped.push_back(c);
  }
  return escaped;
}

}  // namespace ZelPMML
