// Shared by the transformation tests: builds that run only the early steps,
// and read access to the field list of the finished build.
#ifndef ZELCRAFT_TESTS_TRANSFORMATION_TRANSFORMTESTUTIL_H_
#define ZELCRAFT_TESTS_TRANSFORMATION_TRANSFORMTESTUTIL_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "statistics/ZelUnivarNumeric.h"
#include "support/TestHost.h"

namespace transformtest {

using Rows = std::vector<std::vector<testhost::Cell>>;

// Runs `vars` over `rows` as they are.
inline const ZelVariableHandleList& RunRows(testhost::Build& build,
                                            TorCommon_1_3::TorVarList& vars, const Rows& rows,
                                            TorCommon_1_3::TorSettings settings) {
  testhost::MemorySource source;
  for (const auto& row : rows) source.Add(row);
  build.Run(settings, vars, source);
  EXPECT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  return build.Fields();
}

// Runs `vars` plus a last input x with one distinct value per row.
inline const ZelVariableHandleList& RunEarly(
    testhost::Build& build, TorCommon_1_3::TorVarList& vars, Rows rows,
    TorCommon_1_3::TorSettings settings = testhost::EarlyStepsOnly()) {
  vars.AddVariable(testhost::ContField("x"));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i].push_back(testhost::Real(static_cast<double>(i)));
  }
  return RunRows(build, vars, rows, settings);
}

inline const ZelVariableHandleInfo* FindField(const ZelVariableHandleList& fields,
                                              const std::string& name) {
  for (int i = 0; i < fields.Count(); ++i) {
    if (fields.GetHandle(i)->GetName() == name) return fields.GetHandle(i);
  }
  return nullptr;
}

// The summary of a numeric field's univariate statistic.
inline const ZelStatistic::ZelContSummary& SummaryOf(const ZelVariableHandleInfo* field) {
  return dynamic_cast<const ZelStatistic::ZelUnivarNumeric&>(*field->GetUnivariate()).GetSummary();
}

inline bool ExcludedBy(const ZelVariableHandleInfo* field, uint32_t step, uint32_t action) {
  return field != nullptr && field->IsExcluded() && field->GetExcludedReason().step == step &&
         field->GetExcludedReason().action == action;
}

}  // namespace transformtest

#endif  // ZELCRAFT_TESTS_TRANSFORMATION_TRANSFORMTESTUTIL_H_
