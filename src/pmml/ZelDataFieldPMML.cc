#include "pmml/ZelDataFieldPMML.h"

#include <string>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"
#include "pmml/ZelFieldPMML.h"
#include "pmml/ZelPMMLVocabulary.h"
#include "statistics/ZelFormat.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"

namespace ZelPMML {

using TorCommon_1_3::TorEncoder;
using TorCommon_1_3::TorStatus;
using TorXML_1_3::XMLElement;
using ZelStatistic::FormatDouble;

namespace {

// The label of missing value `position`; the encoder keeps one label list
// for all discrete missing values, so labels only pair up by position when
// the counts agree.
std::string MissingLabel(const std::vector<std::string>& labels, std::size_t count,
                         std::size_t position) {
  return labels.size() == count ? labels[position] : std::string();
}

void AppendMissingNumbers(XMLElement* parent, const TorEncoder* encoder) {
  if (encoder == nullptr) return;
  const std::vector<double>& values = encoder->GetMissingValues();
  const std::vector<std::string> labels = encoder->GetMissingLabels();
  for (std::size_t i = 0; i < values.size(); ++i) {
    AppendValue(parent, FormatDouble(values[i]), MissingLabel(labels, values.size(), i), "missing");
  }
}

// The user-missing definition of a continuous field: the range as a pair of
// extensions, the discrete values inside one more.
void AppendContinuousMissing(XMLElement* dataField, const TorEncoder* encoder) {
  if (encoder == nullptr) return;
  double low = 0.0;
  double high = 0.0;
  if (encoder->GetMissingRange(low, high)) {
    XMLElement* lower = dataField->AppendChild(CreateExtension().release());
    lower->AddAttribute("name", "invalidRangeLower");
    lower->AddAttribute("value", FormatDouble(low));
    XMLElement* upper = dataField->AppendChild(CreateExtension().release());
    upper->AddAttribute("name", "invalidRangeUpper");
    upper->AddAttribute("value", FormatDouble(high));
  }
  if (!encoder->GetMissingValues().empty()) {
    XMLElement* missing = dataField->AppendChild(CreateExtension().release());
    missing->AddAttribute("name", "MissingValue");
    AppendMissingNumbers(missing, encoder);
  }
}

TorStatus AppendNumericCategories(XMLElement* dataField, const ZelVariableHandleInfo& field,
                                  const TorEncoder* encoder) {
  const auto* statistic =
      dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(field.GetUnivariate());
  if (statistic == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  for (double value : statistic->GetValues()) {
    const std::string text = FormatDouble(value);
    AppendValue(dataField, text, FindValueLabel(encoder, text), "valid");
  }
  AppendMissingNumbers(dataField, encoder);
  return TorStatus();
}

TorStatus AppendStringCategories(XMLElement* dataField, const ZelVariableHandleInfo& field,
                                 const TorEncoder* encoder) {
  const auto* statistic =
      dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(field.GetUnivariate());
  if (statistic == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  // Blanks are part of the categories; consumers must not trim them.
  XMLElement* noTrim = dataField->AppendChild(CreateExtension().release());
  noTrim->AddAttribute("name", "noSpaceTrim");
  noTrim->AddAttribute("value", "true");
  for (const std::string& category : statistic->GetCategories()) {
    AppendValue(dataField, EscapeCategory(category), FindValueLabel(encoder, category), "valid");
  }
  if (encoder == nullptr) return TorStatus();
  const std::vector<std::string>& missing = encoder->GetMissingStrings();
  const std::vector<std::string> labels = encoder->GetMissingLabels();
  for (std::size_t i = 0; i < missing.size(); ++i) {
    AppendValue(dataField, EscapeCategory(missing[i]), MissingLabel(labels, missing.size(), i),
                "missing");
  }
  return TorStatus();
}

}  // namespace

std::unique_ptr<XMLElement> CreateDataField(const ZelVariableHandleList& fields,
                                            const ZelSummaryPMML& summary, int index,
                                            TorStatus* status) {
  const ZelVariableHandleInfo& field = *fields.GetHandle(index);
  std::unique_ptr<XMLElement> element(XMLElement::Create("DataField"));
  element->AddAttribute("name", field.GetName());
  if (!field.GetLabel().empty()) element->AddAttribute("displayName", field.GetLabel());

  XMLElement* extension = element->AppendChild(CreateExtension().release());
  *status = summary.AppendFieldActions(extension, index);
  if (status->IsError()) return nullptr;
  AppendUsage(extension, fields, index);
  AppendPredictivePower(extension, field);

  const int kind = field.GetMeasureKind();
  const char* optype = OptypeOfMeasureKind(kind);
  // A field without a measurement level (a timestamp, say) has no statistics
  // and is never used; it is still described as continuous with its
  // storage's data type, which every DataField of a valid document needs.
  element->AddAttribute("optype", optype != nullptr ? optype : "continuous");
  if (const char* dataType = DataTypeOfStorage(field.GetStorage())) {
    element->AddAttribute("dataType", dataType);
  }
  if (optype == nullptr) return element;
  const TorEncoder* encoder =
      field.GetVariable() != nullptr ? field.GetVariable()->GetEncoder() : nullptr;
  if (kind == MeasureKind::kContinuous) {
    AppendContinuousMissing(element.get(), encoder);
    *status = AppendInterval(element.get(), field);
  } else if (field.GetStorage() == TorCommon_1_3::kStorageString) {
    *status = AppendStringCategories(element.get(), field, encoder);
  } else {
    *status = AppendNumericCategories(element.get(), field, encoder);
  }
  if (status->IsError()) return nullptr;
  return element;
}

}  // namespace ZelPMML
