#include "pmml/ZelBoxCoxPMML.h"

#include <cmath>
#include <limits>

namespace ZelPMML {

using ZelTransformation::ZelBoxCoxFunctionRule;

Expression MakeBoxCoxRescale(const ZelBoxCoxFunctionRule& rule, const std::string& source,
                             double targetMean) {
  const double lambda = rule.GetLambda();
  auto shifted = [&] {
    return MakeApply("-", MakeFieldRef(source), MakeConstant(rule.GetShift()));
  };
  Expression y = std::fabs(lambda) < std::numeric_limits<double>::epsilon()
                     ? MakeApply("ln", shifted())
                     : MakeApply("/",
                                 MakeApply("-", MakeApply("pow", shifted(), MakeConstant(lambda)),
                                           MakeConstant("1")),
                                 MakeConstant(lambda));
  return MakeLinearRescale(std::move(y), rule.GetDesiredStdDev(), rule.GetTransformedStdDev(),
                           rule.GetTransformedMean(), targetMean);
}

Expression MakeBoxCoxInverse(const ZelBoxCoxFunctionRule& rule, const std::string& transformed,
                             double targetMean) {
  const char* const kDouble = "double";
  const double lambda = rule.GetLambda();
  // The prediction back on the scale of the transformed values.
  Expression y = MakeApply(
      "+", MakeConstant(rule.GetTransformedMean(), kDouble),
      MakeApply("*", MakeApply("-", MakeFieldRef(transformed), MakeConstant(targetMean, kDouble)),
                MakeApply("/", MakeConstant(rule.GetTransformedStdDev(), kDouble),
                          MakeConstant(rule.GetDesiredStdDev(), kDouble))));
  Expression power =
      lambda == 0.0
          ? std::move(y)
          : MakeApply("/",
                      MakeApply("ln", MakeApply("+", MakeConstant("1", kDouble),
                                                MakeApply("*", MakeConstant(lambda, kDouble),
                                                          std::move(y)))),
                      MakeConstant(lambda, kDouble));
  return MakeApply("+", MakeConstant(rule.GetShift(), kDouble), MakeApply("exp", std::move(power)));
}

}  // namespace ZelPMML
