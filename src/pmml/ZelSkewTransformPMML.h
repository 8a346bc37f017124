// The transform of a skewed input as PMML arithmetic (PMML 4.0 built-ins
// only), in the operations its rule computes.
#ifndef ZELCRAFT_PMML_ZELSKEWTRANSFORMPMML_H_
#define ZELCRAFT_PMML_ZELSKEWTRANSFORMPMML_H_

#include <string>

#include "pmml/ZelExpressionPMML.h"
#include "transformation/ZelSkewTransformFunctionRule.h"

namespace ZelPMML {

// Box-Cox: (pow(max(source, minimum) - shift, lambda) - 1) / lambda, or
// ln(max(source, minimum) - shift) for an exponent of 0. Signed logarithm:
// ln(1 + abs(source)) * (2 * threshold(source, 0) - 1), where threshold is 1
// above 0 and 0 otherwise, so that 0 maps to 0.
Expression MakeSkewTransform(const ZelTransformation::ZelSkewTransformFunctionRule& rule,
                             const std::string& source);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELSKEWTRANSFORMPMML_H_
