#include "pmml/ExpressionEvaluator.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "pmml/PmmlTestDoc.h"

namespace pmmltest {

double ExpressionEvaluator::Evaluate(const xmlNode* expression) const {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  if (expression == nullptr) return nan;
  const std::string name = reinterpret_cast<const char*>(expression->name);
  if (name == "Constant") return std::strtod(Text(expression).c_str(), nullptr);
  if (name == "FieldRef") {
    const auto found = fields.find(Attr(expression, "field"));
    return found != fields.end() ? found->second : nan;
  }
  if (name != "Apply") return nan;
  std::vector<double> a;
  for (const xmlNode* argument : Children(expression)) a.push_back(Evaluate(argument));
  const std::string function = Attr(expression, "function");
  if (a.size() == 1) {
    if (function == "ln") return std::log(a[0]);
    if (function == "exp") return std::exp(a[0]);
  }
  if (a.size() == 2) {
    if (function == "+") return a[0] + a[1];
    if (function == "-") return a[0] - a[1];
    if (function == "*") return a[0] * a[1];
    if (function == "/") return a[0] / a[1];
    if (function == "pow") return std::pow(a[0], a[1]);
  }
  return nan;
}

}  // namespace pmmltest
