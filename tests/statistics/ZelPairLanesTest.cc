// Continuous pairs fed by batches, with each level of vector lanes and with
// the plain loops, against the same pairs fed record by record: for 1 to 17 fields
// (every vector width, and past the widest), without weights, with weights
// that start at zero and with a value going missing late, every count and
// co-moment must agree bit for bit; the covariances also match a two-pass
// sum in long double.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "frame/ZelBatch.h"
#include "settings/ZelSettings.h"
#include "statistics/ZelBivarContCont.h"
#include "statistics/ZelPairLanes.h"
#include "support/TestHost.h"

using ZelFrame::BestVectorLevel;
using ZelFrame::SetVectorLevel;
using ZelFrame::VectorLevelInUse;
using ZelFrame::ZelVectorLevel;
using ZelFrame::kZelBatchRows;

namespace {

using namespace testhost;
using ZelStatistic::ZelBivarContCont;

enum class Weighting { kNone, kWeights, kZeroFirst };

// Records of `order` continuous fields, then the frequency and the analysis
// weight. Values sit far from zero, so that rounding shows.
std::vector<RawRecord> Records(int order, std::size_t n, Weighting weighting, bool gap) {
  std::vector<RawRecord> records;
  for (std::size_t k = 0; k < n; ++k) {
    std::vector<Cell> cells;
    for (int i = 0; i < order; ++i) {
      const double x = 1e4 * (i + 1) + static_cast<double>((k * 7919 + i * 104729) % 1013) / 7.0;
      cells.push_back(i % 3 == 1 ? Int(static_cast<long long>(x)) : Real(x));
    }
    if (gap && k == n - 300) cells[order / 2] = Missing();
    double f = 1.0;
    double a = 1.0;
    if (weighting != Weighting::kNone && k >= kZelBatchRows) {
      f = 1.0 + static_cast<double>(k % 4) * 0.75;
      a = 0.5 + static_cast<double>(k % 3);
    }
    if (weighting == Weighting::kZeroFirst && k < 10) a = 0.0;  // no weight yet
    cells.push_back(Real(f));
    cells.push_back(Real(a));
    records.push_back(MakeRecord(cells));
  }
  return records;
}

// The covariance of fields a and b over the records where both have a value,
// by two passes in long double: weighted means first, then the co-moment.
double TwoPassCovariance(const std::vector<RawRecord>& records, int order, int a, int b) {
  long double frequency = 0, weight = 0, sumA = 0, sumB = 0;
  auto both = [&](const RawRecord& r) { return !r[a].IsMissing() && !r[b].IsMissing(); };
  for (const RawRecord& r : records) {
    if (!both(r)) continue;
    const long double w = static_cast<long double>(r[order].GetReal()) * r[order + 1].GetReal();
    frequency += r[order].GetReal();
    weight += w;
    sumA += w * r[a].GetReal();
    sumB += w * r[b].GetReal();
  }
  const long double meanA = sumA / weight, meanB = sumB / weight;
  long double co = 0;
  for (const RawRecord& r : records) {
    if (!both(r)) continue;
    const long double w = static_cast<long double>(r[order].GetReal()) * r[order + 1].GetReal();
    co += w * (r[a].GetReal() - meanA) * (r[b].GetReal() - meanB);
  }
  return static_cast<double>(co / (frequency - 1));
}

TEST(ZelPairLanesTest, BatchesAgreeWithRecordsBitForBitAtEveryWidth) {
  const ZelVectorLevel best = BestVectorLevel();
  const ZelVectorLevel initial = VectorLevelInUse();
  if (best != ZelVectorLevel::kAvx512) {
    std::fprintf(stderr, "NOTE: this processor lacks %s; those lanes go unchecked here\n",
                 best == ZelVectorLevel::kAvx2 ? "AVX-512" : "AVX2 and AVX-512");
  }
  for (int order : {1, 2, 4, 5, 8, 9, 13, 16, 17}) {
    for (Weighting weighting : {Weighting::kNone, Weighting::kWeights, Weighting::kZeroFirst}) {
      for (bool gap : {false, true}) {
        SCOPED_TRACE(testing::Message() << order << " fields, weighting "
                                        << static_cast<int>(weighting) << ", gap " << gap);
        ZelSettings settings;
        settings.frequencyWeightIndex = order;
        settings.analysisWeightIndex = order + 1;
        std::vector<int> fields;
        for (int i = 0; i < order; ++i) fields.push_back(i);
        const std::vector<RawRecord> records = Records(order, 3000, weighting, gap);
        const auto batches = BatchesOf(records, order + 2);
        ZelBivarContCont byRecord(&settings, fields), avx512(&settings, fields),
            avx2(&settings, fields), plain(&settings, fields);
        for (const RawRecord& record : records) ASSERT_TRUE(byRecord.AddRecord(record).IsOK());
        for (auto [level, s] : {std::pair{ZelVectorLevel::kAvx512, &avx512},
                                std::pair{ZelVectorLevel::kAvx2, &avx2},
                                std::pair{ZelVectorLevel::kPlain, &plain}}) {
          SetVectorLevel(level);
          for (const auto& batch : batches) ASSERT_TRUE(s->AddBatch(*batch).IsOK());
        }
        SetVectorLevel(initial);
        for (ZelBivarContCont* s : {&byRecord, &avx512, &avx2, &plain}) {
          ASSERT_TRUE(s->Finalize().IsOK());
        }
        for (int a = 0; a < order; ++a) {
          for (int b = 0; b <= a; ++b) {
            const double expected = byRecord.GetCovariances().GetElem(a, b);
            for (ZelBivarContCont* s : {&avx512, &avx2, &plain}) {
              ASSERT_EQ(s->GetCounts().GetElem(a, b), byRecord.GetCounts().GetElem(a, b));
              ASSERT_EQ(s->GetCovariances().GetElem(a, b), expected);
              ASSERT_EQ(s->GetCorrelations().GetElem(a, b),
                        byRecord.GetCorrelations().GetElem(a, b));
            }
            const double twoPass = TwoPassCovariance(records, order, a, b);
            ASSERT_NEAR(expected, twoPass, 1e-9 * std::max(1.0, std::fabs(twoPass)));
          }
        }
      }
    }
  }
}

}  // namespace
