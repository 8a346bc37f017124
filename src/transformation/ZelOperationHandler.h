// ZelOperationHandler: base of every step handler. A handler is created for
// one (step, action) pair, runs once over the field list and decides field
// by field whether to exclude a field or derive a new one.
#ifndef ZELCRAFT_TRANSFORMATION_ZELOPERATIONHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELOPERATIONHANDLER_H_

#include <vector>

#include "torcommon13r/TorStatus.h"
#include "settings/ZelVariableHandleList.h"
#include "transformation/ZelOperation.h"

namespace ZelTransformation {

class ZelOperationHandler {
 public:
  ZelOperationHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                      std::vector<TorCommon_1_3::TorStatus>* warnings)
      : pair_(pair), fields_(fields), warnings_(warnings) {}
  virtual ~ZelOperationHandler();
  ZelOperationHandler(const ZelOperationHandler&) = delete;
  ZelOperationHandler& operator=(const ZelOperationHandler&) = delete;

  // Check, then ProcessField for every applicable field that existed when
  // the run started; stops at the first error.
  virtual TorCommon_1_3::TorStatus Run();
  // kWrongStep when the pair does not belong to this handler.
  virtual TorCommon_1_3::TorStatus Check() = 0;
  virtual TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) = 0;
  virtual bool IsEnabled(const ZelSettings* settings) = 0;
  // Fields that are not excluded and not weights.
  virtual bool IsApplicable(const ZelVariableHandleInfo* field);

  const ZelOperationPair& GetPair() const { return pair_; }

 protected:
  // Check() for handlers that own a whole step.
  TorCommon_1_3::TorStatus CheckStep(uint32_t step) const;
  const ZelSettings* Settings() const { return fields_->GetSettings(); }
  // Adds the warning once.
  void Warn(int code);
  // Replaces the continuous input `field` (at `index`) by a real copy named
  // with `suffix` and derived by this handler's pair: the input is excluded,
  // the copy's rule reads it and the copy's statistic starts as the
  // input's, for the caller to rewrite. Null on failure, with `status` set
  // (kMissingStatistic for a copy without a continuous statistic,
  // kMissingObject for one without a rule).
  ZelVariableHandleInfo* ReplaceByContinuousCopy(ZelVariableHandleInfo* field, int index,
                                                 StepSuffix suffix,
                                                 TorCommon_1_3::TorStatus* status);

  ZelOperationPair pair_;
  ZelVariableHandleList* fields_;  // not owned
  std::vector<TorCommon_1_3::TorStatus>* warnings_;  // not owned
};

// The handler of a pair, owned by the caller; null for pairs without one
// (they are skipped).
ZelOperationHandler* CreateHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                                   std::vector<TorCommon_1_3::TorStatus>* warnings);

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELOPERATIONHANDLER_H_
