// The handler factory: which handler runs a (step, action) pair.
#include "transformation/ZelCatFeatureSelectionHandler.h"
#include "transformation/ZelCheckPointHandler.h"
#include "transformation/ZelCheckTypeHandler.h"
#include "transformation/ZelConstructFeatureHandler.h"
#include "transformation/ZelContFeatureSelectionHandler.h"
#include "transformation/ZelDateTimeFeatureHandler.h"
#include "transformation/ZelFeatureScreenHandler.h"
#include "transformation/ZelMissingValueHandler.h"
#include "transformation/ZelOperationHandler.h"
#include "transformation/ZelOutlierHandler.h"
#include "transformation/ZelPostFeatureScreenHandler.h"
#include "transformation/ZelReorderHandler.h"
#include "transformation/ZelRescaleContFeatureHandler.h"
#include "transformation/ZelStringFeatureHandler.h"
#include "transformation/ZelSupervisedBinningHandler.h"
#include "transformation/ZelSupervisedMergeHandler.h"
#include "transformation/ZelTargetHandler.h"
#include "transformation/ZelUnsupervisedMergeHandler.h"

namespace ZelTransformation {

namespace {

ZelOperationHandler* CreateCategoricalHandler(const ZelOperationPair& pair,
                                              ZelVariableHandleList* fields,
                                              std::vector<TorCommon_1_3::TorStatus>* warnings) {
  switch (pair.action) {
    case Action::kMergeCatFeatureForSparse:
      return new ZelUnsupervisedMergeHandler(pair, fields, warnings);
    case Action::kExcludeCatFeature:
      return new ZelCatFeatureSelectionHandler(pair, fields, warnings);
    case Action::kReorderCatFeature:
      return new ZelReorderHandler(pair, fields, warnings);
    case Action::kMergeCatFeatureForAsso:
      return new ZelSupervisedMergeHandler(pair, fields, warnings);
    case Action::kExcludeConstantAfterMerge:
      return new ZelPostFeatureScreenHandler(pair, fields, warnings);
    default:
      return nullptr;
  }
}

ZelOperationHandler* CreateContinuousHandler(const ZelOperationPair& pair,
                                             ZelVariableHandleList* fields,
                                             std::vector<TorCommon_1_3::TorStatus>* warnings) {
  switch (pair.action) {
    case Action::kZscoreContFeature:
    case Action::kMinMaxContFeature:
      return new ZelRescaleContFeatureHandler(pair, fields, warnings);
    case Action::kBinContFeature:
      return new ZelSupervisedBinningHandler(pair, fields, warnings);
    case Action::kExcludeContFeature:
      return new ZelContFeatureSelectionHandler(pair, fields, warnings);
    case Action::kConstructContFeature:
      return new ZelConstructFeatureHandler(pair, fields, warnings);
    case Action::kExcludeConstantAfterBinning:
    case Action::kExcludeAfterConstruct:
      return new ZelPostFeatureScreenHandler(pair, fields, warnings);
    default:
      return nullptr;
  }
}

}  // namespace

ZelOperationHandler* CreateHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                                   std::vector<TorCommon_1_3::TorStatus>* warnings) {
  switch (pair.step) {
    case Step::kHandleStringFeature:
      return new ZelStringFeatureHandler(pair, fields, warnings);
    case Step::kDateTimeHandle:
      return new ZelDateTimeFeatureHandler(pair, fields, warnings);
    case Step::kFeatureScreening:
      return new ZelFeatureScreenHandler(pair, fields, warnings);
    case Step::kCheckPoint:
      return new ZelCheckPointHandler(pair, fields, warnings);
    case Step::kCheckType:
      return new ZelCheckTypeHandler(pair, fields, warnings);
    case Step::kOutlierIdentification:
      return new ZelOutlierHandler(pair, fields, warnings);
    case Step::kHandleMissingValue:
      return new ZelMissingValueHandler(pair, fields, warnings);
    case Step::kHandleTarget:
      if (pair.action == Action::kReorderCatTarget) {
        return new ZelReorderHandler(pair, fields, warnings);
      }
      if (pair.action == Action::kRescaleScaleTarget) {
        return new ZelTargetHandler(pair, fields, warnings);
      }
      return nullptr;
    case Step::kHandleCategoricalFeatures:
      return CreateCategoricalHandler(pair, fields, warnings);
    case Step::kHandleContinuousFeatures:
      return CreateContinuousHandler(pair, fields, warnings);
    default:
      return nullptr;
  }
}

}  // namespace ZelTransformation
