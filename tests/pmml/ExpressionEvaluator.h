// Evaluates the arithmetic of a written PMML expression, so that tests check
// what a consumer of the document would compute rather than what our rules
// compute: Apply with +, -, *, /, ln, exp and pow, Constant and FieldRef.
#ifndef ZELCRAFT_TESTS_PMML_EXPRESSIONEVALUATOR_H_
#define ZELCRAFT_TESTS_PMML_EXPRESSIONEVALUATOR_H_

#include <libxml/tree.h>

#include <map>
#include <string>

namespace pmmltest {

class ExpressionEvaluator {
 public:
  // The values FieldRef elements read.
  std::map<std::string, double> fields;

  // NaN for an element, function or field it does not know.
  double Evaluate(const xmlNode* expression) const;
};

}  // namespace pmmltest

#endif  // ZELCRAFT_TESTS_PMML_EXPRESSIONEVALUATOR_H_
