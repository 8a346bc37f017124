#include "pmml/ZelExpressionPMML.h"

#include "statistics/ZelFormat.h"

namespace ZelPMML {

using TorXML_1_3::XMLElement;

Expression MakeFieldRef(const std::string& field) {
  Expression ref(XMLElement::Create("FieldRef"));
  ref->AddAttribute("field", field);
  return ref;
}

Expression MakeConstant(const std::string& text, const char* dataType) {
  Expression constant(XMLElement::Create("Constant"));
  if (dataType != nullptr) constant->AddAttribute("dataType", dataType);
  constant->AppendText(text);
  return constant;
}

Expression MakeConstant(double value, const char* dataType) {
  return MakeConstant(ZelStatistic::FormatDouble(value), dataType);
}

Expression MakeLinearRescale(Expression y, double a, double b, double c, double d) {
  return MakeApply("+",
                   MakeApply("*", MakeApply("/", MakeConstant(a), MakeConstant(b)),
                             MakeApply("-", std::move(y), MakeConstant(c))),
                   MakeConstant(d));
}

}  // namespace ZelPMML
