// Shared by the transformation tests: builds that run only the early steps,
// and read access to the field list of the finished build.
#ifndef ZELCRAFT_TESTS_TRANSFORMATION_TRANSFORMTESTUTIL_H_
#define ZELCRAFT_TESTS_TRANSFORMATION_TRANSFORMTESTUTIL_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/ZelAlgorithm.h"
#include "support/TestHost.h"

namespace transformtest {

using Rows = std::vector<std::vector<testhost::Cell>>;

// Every step after the measurement-level check off; durations count from
// day 0 and second 0.
inline TorCommon_1_3::TorSettings EarlyStepsOnly() {
  TorCommon_1_3::TorSettings s;
  for (const char* key :
       {"detectFeatureOutliers", "replaceNominalFeaturesMissingValue",
        "replaceOrdinalFeaturesMissingValue", "replaceScaleFeaturesMissingValue",
        "supervisedBinning", "featureSelection", "featureConstruction", "supervisedMerging",
        "unsupervisedMergeOrdinal", "unsupervisedMergeNominal"}) {
    s.SetBool(key, false);
  }
  s.SetString("scaleFeatureRescalingMethod", "noRescaling");
  s.SetBool("computeDateDuration", true);
  s.SetDouble("referenceDateForDurations", 0.0);
  s.SetBool("computeTimeDuration", true);
  s.SetDouble("referenceTimeForDurations", 0.0);
  return s;
}

// Runs `vars` plus a last input x with one distinct value per row.
inline const ZelVariableHandleList& RunEarly(testhost::Build& build,
                                             TorCommon_1_3::TorVarList& vars, const Rows& rows,
                                             TorCommon_1_3::TorSettings settings) {
  vars.AddVariable(testhost::ContField("x"));
  testhost::MemorySource source;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::vector<testhost::Cell> row = rows[i];
    row.push_back(testhost::Real(static_cast<double>(i)));
    source.Add(row);
  }
  build.Run(settings, vars, source);
  EXPECT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  return static_cast<const ZelAlgorithm&>(*build.algorithm).GetDriver().GetFields();
}

inline const ZelVariableHandleInfo* FindField(const ZelVariableHandleList& fields,
                                              const std::string& name) {
  for (int i = 0; i < fields.Count(); ++i) {
    if (fields.GetHandle(i)->GetName() == name) return fields.GetHandle(i);
  }
  return nullptr;
}

inline bool ExcludedBy(const ZelVariableHandleInfo* field, uint32_t step, uint32_t action) {
  return field != nullptr && field->IsExcluded() && field->GetExcludedReason().step == step &&
         field->GetExcludedReason().action == action;
}

}  // namespace transformtest

#endif  // ZELCRAFT_TESTS_TRANSFORMATION_TRANSFORMTESTUTIL_H_
