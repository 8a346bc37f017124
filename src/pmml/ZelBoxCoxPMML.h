// The Box-Cox transformation of a continuous target as PMML arithmetic: the
// forward expression of the transformed target, and the inverse that maps a
// prediction on the transformed scale back to the target's own.
#ifndef ZELCRAFT_PMML_ZELBOXCOXPMML_H_
#define ZELCRAFT_PMML_ZELBOXCOXPMML_H_

#include <string>

#include "pmml/ZelExpressionPMML.h"
#include "transformation/ZelBoxCoxFunctionRule.h"

namespace ZelPMML {

// (desired SD / transformed SD) * (Y - transformed mean) + `targetMean`,
// where Y is ln(source - shift) for an exponent within the machine epsilon
// of 0, else ((source - shift)^lambda - 1) / lambda.
Expression MakeBoxCoxRescale(const ZelTransformation::ZelBoxCoxFunctionRule& rule,
                             const std::string& source, double targetMean);

// shift + (1 + lambda * (m + (T - targetMean) * s / sigma))^(1 / lambda),
// written through exp and ln, with m and s the transformed mean and
// standard deviation and sigma the desired one; only an exponent of exactly
// 0 takes shift + exp(m + (T - targetMean) * s / sigma).
Expression MakeBoxCoxInverse(const ZelTransformation::ZelBoxCoxFunctionRule& rule,
                             const std::string& transformed, double targetMean);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELBOXCOXPMML_H_
