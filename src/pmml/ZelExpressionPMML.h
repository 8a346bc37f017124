// Building blocks of PMML expressions: field references, constants and
// function applications, each returned as an owned element so that nested
// expressions read like the formulas they write.
#ifndef ZELCRAFT_PMML_ZELEXPRESSIONPMML_H_
#define ZELCRAFT_PMML_ZELEXPRESSIONPMML_H_

#include <memory>
#include <string>

#include "torcommon13r/TorXML.h"

namespace ZelPMML {

using Expression = std::unique_ptr<TorXML_1_3::XMLElement>;

Expression MakeFieldRef(const std::string& field);
// `dataType` may be null (attribute left out); numbers in "%.15g" form.
Expression MakeConstant(const std::string& text, const char* dataType = nullptr);
Expression MakeConstant(double value, const char* dataType = nullptr);

// Apply(function) over the arguments in order.
template <typename... Arguments>
Expression MakeApply(const char* function, Arguments... arguments) {
  Expression apply(TorXML_1_3::XMLElement::Create("Apply"));
  apply->AddAttribute("function", function);
  (apply->AppendChild(arguments.release()), ...);
  return apply;
}

// (a / b) * (y - c) + d, the form of every linear rescale in the document;
// the constants carry no data type.
Expression MakeLinearRescale(Expression y, double a, double b, double c, double d);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELEXPRESSIONPMML_H_
