#include "pmml/ZelSkewTransformPMML.h"

namespace ZelPMML {

using ZelTransformation::ZelSkewTransformFunctionRule;

Expression MakeSkewTransform(const ZelSkewTransformFunctionRule& rule, const std::string& source) {
  if (rule.IsSignedLog()) {
    Expression magnitude = MakeApply(
        "ln", MakeApply("+", MakeConstant("1"), MakeApply("abs", MakeFieldRef(source))));
    Expression sign = MakeApply(
        "-",
        MakeApply("*", MakeConstant("2"),
                  MakeApply("threshold", MakeFieldRef(source), MakeConstant("0"))),
        MakeConstant("1"));
    return MakeApply("*", std::move(magnitude), std::move(sign));
  }
  Expression shifted =
      MakeApply("-", MakeApply("max", MakeFieldRef(source), MakeConstant(rule.GetMinimum())),
                MakeConstant(rule.GetShift()));
  const double lambda = rule.GetLambda();
  if (lambda == 0.0) return MakeApply("ln", std::move(shifted));
  return MakeApply(
      "/",
      MakeApply("-", MakeApply("pow", std::move(shifted), MakeConstant(lambda)),
                MakeConstant("1")),
      MakeConstant(lambda));
}

}  // namespace ZelPMML
