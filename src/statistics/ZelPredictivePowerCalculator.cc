#include "statistics/ZelPredictivePowerCalculator.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "settings/ZelVariableHandleInfo.h"
#include "statistics/ZelBivarCatTargetCat.h"
#include "statistics/ZelBivarCatTargetContPredictivePower.h"
#include "statistics/ZelBivarContTargetCat.h"
#include "statistics/ZelBivarContTargetContPredictivePower.h"

namespace ZelStatistic {

using TorCommon_1_3::TorStatus;

ZelPredictivePowerCalculator::~ZelPredictivePowerCalculator() = default;

TorStatus ZelPredictivePowerCalculator::ComputePredictivePower(
    const ZelVariableHandleInfo* input, const ZelVariableHandleInfo* target) {
  power_ = 0.0;
  status_ = TorStatus();
  if (input == nullptr || target == nullptr) {
    status_ = TorStatus(ZelStatusCode::kMissingObject, false);
    return status_;
  }
  const ZelStatistics* statistic = input->GetOperationStatistic();
  const TorStatus unexpected(ZelStatusCode::kInconsistent, false);
  if (target->IsContinuous()) {
    if (input->IsContinuous()) {
      const auto* pair = dynamic_cast<const ZelBivarContTargetContPredictivePower*>(statistic);
      if (pair == nullptr) return status_ = unexpected;
      power_ = pair->GetCorrelation() * pair->GetCorrelation();
    } else {
      const auto* groups = dynamic_cast<const ZelBivarContTargetCat*>(statistic);
      if (groups == nullptr) return status_ = unexpected;
      double within = 0.0;
      for (const ZelCategoryMoments& c : groups->GetMoments()) within += c.m2;
      const double total = groups->GetTargetSecondMoment();
      // A target that does not vary leaves nothing to explain.
      power_ = total > 0.0 ? 1.0 - within / total : 0.0;
    }
    return status_;
  }
  if (const auto* table = dynamic_cast<const ZelBivarCatTargetCat*>(statistic)) {
    power_ = CramersV(table->GetTable());
  } else if (const auto* bins = dynamic_cast<const ZelBivarCatTargetContPredictivePower*>(
                 statistic)) {
    power_ = CramersV(bins->GetTable());
  } else {
    status_ = unexpected;
  }
  return status_;
}

double CramersV(const ZelContingencyTable& table) {
  const int rows = table.Rows();
  const int columns = table.Columns();
  std::vector<double> rowTotals(rows), columnTotals(columns);
  double n = 0.0;
  int emptyRows = 0;
  int emptyColumns = 0;
  for (int i = 0; i < rows; ++i) {
    rowTotals[i] = table.RowTotal(i);
    n += rowTotals[i];
    if (rowTotals[i] == 0.0) ++emptyRows;
  }
  for (int j = 0; j < columns; ++j) {
    columnTotals[j] = table.ColumnTotal(j);
    if (columnTotals[j] == 0.0) ++emptyColumns;
  }
  double chi = 0.0;
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) {
      const double e = n > 0.0 ? rowTotals[i] * columnTotals[j] / n : 0.0;
      if (e == 0.0) continue;
      const double d = table.Frequency(i, j) - e;
      chi += d * d / e;
    }
  }
  const int m = std::min(rows - emptyRows, columns - emptyColumns) - 1;
  return m > 0 ? std::sqrt(chi / (n * m)) : 0.0;
}

}  // namespace ZelStatistic
