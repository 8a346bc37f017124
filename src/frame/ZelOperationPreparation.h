// Operation preparations supply a pass's step list at run time, when it
// depends on what the earlier passes left. ZelBivariateDatapassOperations
// chooses the categorical and continuous steps of the fifth pass from the
// target and the inputs still in use, and warns about requested steps that
// cannot run.
#ifndef ZELCRAFT_FRAME_ZELOPERATIONPREPARATION_H_
#define ZELCRAFT_FRAME_ZELOPERATIONPREPARATION_H_

#include <vector>

#include "torcommon13r/TorStatus.h"
#include "settings/ZelVariableHandleList.h"
#include "transformation/ZelOperation.h"

namespace ZelOperation {

class IZelOperationPreparation {
 public:
  virtual ~IZelOperationPreparation();
  virtual const std::vector<ZelTransformation::ZelOperationPair>& Prepare() = 0;
  virtual void SetWarnings(std::vector<TorCommon_1_3::TorStatus>* warnings) {
    warnings_ = warnings;
  }

 protected:
  std::vector<TorCommon_1_3::TorStatus>* warnings_ = nullptr;
};

class ZelBivariateDatapassOperations : public IZelOperationPreparation {
 public:
  explicit ZelBivariateDatapassOperations(const ZelVariableHandleList* fields) : fields_(fields) {}
  const std::vector<ZelTransformation::ZelOperationPair>& Prepare() override;

 private:
  void Add(uint32_t step, uint32_t action) { steps_.push_back({step, action}); }
  void Warn(int code);

  const ZelVariableHandleList* fields_;
  std::vector<ZelTransformation::ZelOperationPair> steps_;
};

}  // namespace ZelOperation

#endif  // ZELCRAFT_FRAME_ZELOPERATIONPREPARATION_H_
