#include "pmml/ZelReorderTablePMML.h"

#include "frame/ZelStatusCodes.h"
#include "pmml/ZelFieldPMML.h"
#include "statistics/ZelFormat.h"

namespace ZelPMML {

using TorCommon_1_3::TorStatus;
using TorXML_1_3::XMLElement;

TorStatus MakeReorderRows(const ZelTransformation::ZelReorderFunctionRule& rule,
                          std::vector<ReorderRow>* rows) {
  rows->clear();
  const std::vector<std::string>& labels = rule.Labels();
  auto label = [&labels](std::size_t i) { return i < labels.size() ? labels[i] : std::string(); };
  if (!rule.Numbers().empty()) {
    for (std::size_t i = 0; i < rule.Numbers().size(); ++i) {
      rows->push_back({ZelStatistic::FormatDouble(rule.Numbers()[i]),
                       ZelStatistic::FormatInteger(static_cast<int64_t>(i)), label(i)});
    }
    return TorStatus();
  }
  if (rule.Texts().empty()) return TorStatus(ZelStatusCode::kNumberFormat, false);
  const std::size_t width =
      ZelStatistic::FormatInteger(static_cast<int64_t>(rule.Texts().size())).size();
  for (std::size_t i = 0; i < rule.Texts().size(); ++i) {
    rows->push_back({rule.Texts()[i],
                     ZelStatistic::FormatPaddedInteger(static_cast<int64_t>(i), width, '0'),
                     label(i)});
  }
  return TorStatus();
}

Expression MakeReorderMap(const std::string& field, const std::vector<ReorderRow>& rows,
                          bool inverse) {
  Expression map(XMLElement::Create("MapValues"));
  map->AddAttribute("outputColumn", "output");
  XMLElement* pair = map->AppendChild(XMLElement::Create("FieldColumnPair"));
  pair->AddAttribute("field", field);
  pair->AddAttribute("column", "input");
  XMLElement* table = map->AppendChild(XMLElement::Create("InlineTable"));
  for (const ReorderRow& row : rows) {
    XMLElement* element = table->AppendChild(XMLElement::Create("row"));
    element->AppendChild(XMLElement::Create("input"))
        ->AppendText(inverse ? row.code : row.category);
    element->AppendChild(XMLElement::Create("output"))
        ->AppendText(inverse ? row.category : row.code);
  }
  return map;
}

void AppendReorderValues(XMLElement* field, const std::vector<ReorderRow>& rows, bool inverse) {
  for (const ReorderRow& row : rows) {
    AppendValue(field, inverse ? row.category : row.code, row.label, "valid");
  }
}

}  // namespace ZelPMML
