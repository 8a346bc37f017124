// Gates: small stateless objects that decide at run time whether a data pass
// reads records, runs its steps or creates its statistics. They look at the
// field list and the settings each time they are asked, so one gate can
// serve several passes.
#ifndef ZELCRAFT_FRAME_ZELISHANDLE_H_
#define ZELCRAFT_FRAME_ZELISHANDLE_H_

#include <vector>

#include "torcommon13r/TorStatus.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelOperation {

class IZelIsHandle {
 public:
  explicit IZelIsHandle(const ZelVariableHandleList* fields) : fields_(fields) {}
  virtual ~IZelIsHandle();
  virtual bool IsHandle() = 0;
  virtual void SetWarnings(std::vector<TorCommon_1_3::TorStatus>* warnings) {
    warnings_ = warnings;
  }

 protected:
  std::vector<TorCommon_1_3::TorStatus>* warnings_ = nullptr;
  const ZelVariableHandleList* fields_;
};

// Yes when outlier detection is on for a kind of field (target or input) of
// which a continuous one is left.
class ZelIsHandleOutlier : public IZelIsHandle {
 public:
  using IZelIsHandle::IZelIsHandle;
  bool IsHandle() override;
};

// Yes when `outliers` says yes, or when a field in use has no univariate
// figures yet: a missing-value indicator, derived after the first pass from
// counts alone, is measured in the next pass that reads the records.
class ZelIsHandleUnmeasured : public IZelIsHandle {
 public:
  ZelIsHandleUnmeasured(const ZelVariableHandleList* fields, IZelIsHandle* outliers)
      : IZelIsHandle(fields), outliers_(outliers) {}
  bool IsHandle() override;

 private:
  IZelIsHandle* outliers_;  // not owned
};

// Yes when the Box-Cox transformation of the target is asked for and a
// continuous target is left; otherwise warns (210101) when it was asked for.
class ZelIsHandleBoxCox : public IZelIsHandle {
 public:
  using IZelIsHandle::IZelIsHandle;
  bool IsHandle() override;
};

// Yes when `boxCox` says yes (asked first, so that it warns as it would
// alone) or a skewed input is left for the skewness step
// (ZelVariableHandleInfo::IsSkewedInput).
class ZelIsHandleSkew : public IZelIsHandle {
 public:
  ZelIsHandleSkew(const ZelVariableHandleList* fields, IZelIsHandle* boxCox)
      : IZelIsHandle(fields), boxCox_(boxCox) {}
  bool IsHandle() override;

 private:
  IZelIsHandle* boxCox_;  // not owned
};

// Yes when `inner` says yes (asked first, so that it warns as it would
// alone) or an input is left that the target encoding step encodes
// (ZelTargetEncodingHandler::HasCandidate). With the step on, it warns once
// when there is no target, or a nominal one of too many categories.
class ZelIsHandleTargetEncoding : public IZelIsHandle {
 public:
  ZelIsHandleTargetEncoding(const ZelVariableHandleList* fields, IZelIsHandle* inner)
      : IZelIsHandle(fields), inner_(inner) {}
  bool IsHandle() override;

 private:
  IZelIsHandle* inner_;  // not owned
};

}  // namespace ZelOperation

#endif  // ZELCRAFT_FRAME_ZELISHANDLE_H_
