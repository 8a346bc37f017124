// Expected tables for the association tests of a categorical input (rows)
// against a categorical target (columns). Both fit a log-linear model by
// maximum likelihood with each cell's mean analysis weight w̄_ij as an offset
// (1 where the cell has no records): independence, E_ij = α_i β_j / w̄_ij,
// and, for an ordinal target, row effects, F_ij = α_i β_j γ_i^(s_j − s̄) / w̄_ij
// with the target category scores s_j and their mean s̄ over the records.
// A fit ends when no fitted count moves by more than 0.001 in an iteration.
#ifndef ZELCRAFT_STATISTICS_ZELTABLEFIT_H_
#define ZELCRAFT_STATISTICS_ZELTABLEFIT_H_

#include <vector>

#include "torcommon13r/TorStatus.h"
#include "statistics/ZelContingencyTable.h"

namespace ZelStatistic {

constexpr double kFitTolerance = 0.001;

// 1 / w̄_ij per cell, row-major: the fitted counts are in records, the
// scaling in weights.
std::vector<double> CellOffsets(const ZelContingencyTable& observed);

// Iterative scaling of rows and columns; with all cell weights 1 the first
// iteration gives r_i c_j / N. Fills `fitted` row-major; 210015 when the
// scaling does not settle.
TorCommon_1_3::TorStatus FitIndependence(const ZelContingencyTable& observed,
                                         std::vector<double>* fitted);

// Newton iterations with step halving on the likelihood, started from
// γ_i = 1. A row whose records all lie in target categories of one extreme
// has no finite γ_i; its fitted counts approach the observed ones and the
// fit ends by the same rule. 210015 when it does not settle.
TorCommon_1_3::TorStatus FitRowEffects(const ZelContingencyTable& observed,
                                       std::vector<double>* fitted);

// The target category scores ⌊100 j / (C − 1)⌋: 0 for the first category,
// 100 for the last; a single category scores 0.
std::vector<int> OrdinalScores(int columns);

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELTABLEFIT_H_
