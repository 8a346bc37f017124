// Statistics fed a batch of columns at a time against the same statistics fed
// record by record: with frequency and analysis weights, missing values and
// rows spread over two batches, every count and sum must agree bit for bit,
// also when several continuous fields are fed side by side, with weights or
// without; a value of the wrong kind stops both ways with the same error.
// Continuous pairs at every vector width have tests of their own.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/ZelBatch.h"
#include "frame/ZelStatusCodes.h"
#include "settings/ZelSettings.h"
#include "statistics/ZelBivarCatTargetCont.h"
#include "statistics/ZelBivarContCont.h"
#include "statistics/ZelBivarContTargetContPredictivePower.h"
#include "statistics/ZelOutlier.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarStringCat.h"
#include "support/TestHost.h"

using ZelFrame::ZelBatch;
using ZelFrame::kZelBatchRows;

namespace {

using namespace testhost;
using ZelStatistic::ZelContSummary;
using ZelStatistic::ZelBivarCatTargetCont;
using ZelStatistic::ZelBivarContCont;
using ZelStatistic::ZelBivarContTargetContPredictivePower;
using ZelStatistic::ZelOutlier;
using ZelStatistic::ZelStatistics;
using ZelStatistic::ZelUnivarCont;
using ZelStatistic::ZelUnivarStringCat;

// Fields: four continuous (0 real, 1 integer, 2 and 3 reals), a text (4),
// the frequency weight (5) and the analysis weight (6).
constexpr int kFields = 7;
const std::vector<int> kContinuous = {0, 1, 2, 3};

std::vector<RawRecord> Records(std::size_t n) {
  std::vector<RawRecord> records;
  for (std::size_t i = 0; i < n; ++i) {
    const double x = 1e6 + static_cast<double>(i % 97) * 0.37;  // far from zero
    const Cell real = i % 7 == 3 ? Missing() : Real(x);
    const Cell whole = i % 11 == 5 ? Missing() : Int(static_cast<long long>(i % 13) - 6);
    const Cell third = Real(static_cast<double>((i * 7919) % 1000) / 8.0);
    const Cell fourth = i % 5 == 0 ? Missing() : Real(-static_cast<double>(i) / 3.0);
    const Cell text = i % 9 == 4 ? Missing() : Str(std::string(1, static_cast<char>('a' + i % 6)));
    // Frequency weights count whole records but weigh their real value.
    records.push_back(MakeRecord({real, whole, third, fourth, text,
                                  Real(1.0 + static_cast<double>(i % 4) * 0.75),
                                  Real(0.5 + static_cast<double>(i % 3))}));
  }
  return records;
}

class BatchStatisticsTest : public ::testing::Test {
 protected:
  BatchStatisticsTest() {
    settings.frequencyWeightIndex = 5;
    settings.analysisWeightIndex = 6;
    settings.recastContThreshold = 50;  // the value tables stay in play
  }
  // The records as batches of at most kZelBatchRows rows, in order.
  std::vector<std::unique_ptr<ZelBatch>> Batches(const std::vector<RawRecord>& records) const {
    return BatchesOf(records, kFields);
  }
  std::unique_ptr<ZelUnivarCont> Summary(int field) {
    return std::make_unique<ZelUnivarCont>(&settings, field);
  }
  ZelSettings settings;
};

// `count` statistics made by `make(i)` twice over: one set fed record by
// record, the other side by side in one loop a batch at a time. `status` is
// the first failure of the side-by-side loop.
template <class S>
struct BothWays {
  std::vector<std::unique_ptr<S>> byRecord, sideBySide;
  TorStatus status;
};

template <class S>
BothWays<S> FeedBothWays(std::size_t count, const std::function<std::unique_ptr<S>(std::size_t)>& make,
                         const std::vector<RawRecord>& records,
                         const std::vector<std::unique_ptr<ZelBatch>>& batches) {
  BothWays<S> both;
  std::vector<ZelStatistics*> group;
  for (std::size_t i = 0; i < count; ++i) {
    both.byRecord.push_back(make(i));
    both.sideBySide.push_back(make(i));
    group.push_back(both.sideBySide.back().get());
  }
  for (const RawRecord& record : records) {
    for (auto& s : both.byRecord) s->AddRecord(record);
  }
  for (const auto& batch : batches) {
    const TorStatus status = group.front()->AddBatchSideBySide(group.data(), group.size(), *batch);
    if (both.status.IsOK()) both.status = status;
  }
  return both;
}

void ExpectSameSummary(const ZelContSummary& a, const ZelContSummary& b) {
  EXPECT_EQ(a.GetValidCount(), b.GetValidCount());
  EXPECT_EQ(a.GetMissingCount(), b.GetMissingCount());
  EXPECT_EQ(a.GetMinimum(), b.GetMinimum());
  EXPECT_EQ(a.GetMaximum(), b.GetMaximum());
  EXPECT_EQ(a.GetMean(), b.GetMean());
  EXPECT_EQ(a.GetStdDev(), b.GetStdDev());
  EXPECT_EQ(a.GetSkewness(), b.GetSkewness());
  EXPECT_EQ(a.GetWeightSum(), b.GetWeightSum());
  EXPECT_EQ(a.GetFrequencies(), b.GetFrequencies());
}

TEST_F(BatchStatisticsTest, BatchesAgreeWithRecordsBitForBit) {
  const std::vector<RawRecord> records = Records(1500);  // a full batch and a part
  const auto batches = Batches(records);
  ASSERT_EQ(batches.size(), 2u);

  std::vector<std::unique_ptr<ZelUnivarCont>> byRecord, alone, sideBySide;
  for (int field : kContinuous) {
    for (auto* list : {&byRecord, &alone, &sideBySide}) list->push_back(Summary(field));
  }
  ZelUnivarStringCat textByRecord(&settings, 4), textByBatch(&settings, 4);

  for (const RawRecord& record : records) {
    for (auto& s : byRecord) ASSERT_TRUE(s->AddRecord(record).IsOK());
    ASSERT_TRUE(textByRecord.AddRecord(record).IsOK());
  }
  // Five at once: a group of four side by side and one fed alone.
  std::vector<ZelStatistics*> group;
  for (auto& s : sideBySide) group.push_back(s.get());
  ZelUnivarCont fifth(&settings, 0);
  group.push_back(&fifth);
  for (const auto& batch : batches) {
    for (auto& s : alone) ASSERT_TRUE(s->AddBatch(*batch).IsOK());
    ASSERT_TRUE(group.front()->AddBatchSideBySide(group.data(), group.size(), *batch).IsOK());
    ASSERT_TRUE(textByBatch.AddBatch(*batch).IsOK());
  }

  for (std::size_t i = 0; i < kContinuous.size(); ++i) {
    SCOPED_TRACE(i);
    for (auto* s : {byRecord[i].get(), alone[i].get(), sideBySide[i].get()}) {
      ASSERT_TRUE(s->Finalize().IsOK());
    }
    ExpectSameSummary(byRecord[i]->GetSummary(), alone[i]->GetSummary());
    ExpectSameSummary(byRecord[i]->GetSummary(), sideBySide[i]->GetSummary());
  }
  ASSERT_TRUE(fifth.Finalize().IsOK());
  ExpectSameSummary(byRecord[0]->GetSummary(), fifth.GetSummary());
  // The frequency weights 1, 1.75, 2.5 and 3.25 count 1, 1, 2 and 3 records.
  EXPECT_EQ(byRecord[2]->GetSummary().GetValidCount(), 375 * (1 + 1 + 2 + 3));

  ASSERT_TRUE(textByRecord.Finalize().IsOK());
  ASSERT_TRUE(textByBatch.Finalize().IsOK());
  EXPECT_EQ(textByRecord.GetFrequencies(), textByBatch.GetFrequencies());
  EXPECT_EQ(textByRecord.GetMissingCount(), textByBatch.GetMissingCount());
  EXPECT_EQ(textByRecord.GetMode(), textByBatch.GetMode());
}

TEST_F(BatchStatisticsTest, UnweightedFieldsSideBySideAgreeBitForBitPastAValueOfTheWrongKind) {
  // Without weights, fields past their value table (0, 2 and 3 have more
  // than 50 distinct values, 1 has 13) and their first value take a lean
  // update in the second batch; a text in field 2 there stops field 2 and
  // leaves its neighbours' sums as record-by-record feeding gives them.
  // Eight summaries (fields repeated) fill the lanes of wide vectors, with
  // one left over.
  const std::vector<int> fields = {0, 1, 2, 3, 0, 2, 3, 0};
  settings.frequencyWeightIndex = -1;
  settings.analysisWeightIndex = -1;
  for (bool wrong : {false, true}) {
    SCOPED_TRACE(wrong);
    std::vector<RawRecord> records = Records(2500);
    if (wrong) records[1300][2].SetString("text");
    const auto batches = Batches(records);
    ASSERT_EQ(batches.size(), 3u);
    auto [byRecord, sideBySide, status] = FeedBothWays<ZelUnivarCont>(
        fields.size(), [&](std::size_t i) { return Summary(fields[i]); }, records, batches);
    EXPECT_EQ(status.GetCode(), wrong ? ZelStatusCode::kBadValueType : 0);
    for (std::size_t i = 0; i < fields.size(); ++i) {
      SCOPED_TRACE(i);
      if (wrong && fields[i] == 2) {
        EXPECT_EQ(sideBySide[i]->GetStatus().GetCode(), ZelStatusCode::kBadValueType);
        continue;
      }
      ASSERT_TRUE(byRecord[i]->Finalize().IsOK());
      ASSERT_TRUE(sideBySide[i]->Finalize().IsOK());
      ExpectSameSummary(byRecord[i]->GetSummary(), sideBySide[i]->GetSummary());
    }
    // Every seventh value of field 0 is missing; the others count once each.
    EXPECT_EQ(sideBySide[0]->GetSummary().GetMissingCount(), 357);
    EXPECT_EQ(sideBySide[0]->GetSummary().GetValidCount(), 2500 - 357);
  }
}

TEST_F(BatchStatisticsTest, OutlierIntervalsSideBySideAgreeWithRecordsBitForBit) {
  // Without weights, seven outlier statistics side by side (fields repeated
  // with other bounds, missing values and whole numbers among them) fill the
  // lanes of wide vectors with one left over; each must end as feeding it
  // record by record leaves it.
  settings.frequencyWeightIndex = -1;
  settings.analysisWeightIndex = -1;
  struct Bounds {
    int field;
    double mean;
    double stdDev;
  };
  const std::vector<Bounds> bounds = {{0, 1e6 + 17.8, 10.0}, {1, 0.0, 3.7},
                                      {2, 62.0, 36.0},      {3, -250.0, 144.0},
                                      {0, 1e6 + 20.0, 5.0}, {2, 40.0, 20.0},
                                      {3, -100.0, 300.0}};
  const std::vector<RawRecord> records = Records(2500);
  auto [byRecord, sideBySide, status] = FeedBothWays<ZelOutlier>(
      bounds.size(),
      [&](std::size_t i) {
        const Bounds& b = bounds[i];
        return std::make_unique<ZelOutlier>(&settings, b.field, b.mean, b.stdDev, 1.0, 2500);
      },
      records, Batches(records));
  ASSERT_TRUE(status.IsOK());
  for (std::size_t i = 0; i < bounds.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(byRecord[i]->Finalize().IsOK());
    ASSERT_TRUE(sideBySide[i]->Finalize().IsOK());
    EXPECT_EQ(byRecord[i]->GetRobustMean(), sideBySide[i]->GetRobustMean());
    EXPECT_EQ(byRecord[i]->GetRobustStdDev(), sideBySide[i]->GetRobustStdDev());
    EXPECT_GT(sideBySide[i]->GetRobustStdDev(), 0.0);
  }
}

TEST_F(BatchStatisticsTest, InputAgainstTargetAgreesWithRecordsBitForBit) {
  // The input's, the cross and the target's moments share their sums while
  // they meet the same rows: with weights or without, over rows where the
  // input is missing (field 0) or never (field 3), and past a text in the
  // input, which both ways skip; alone and side by side.
  for (bool weighted : {true, false}) {
    SCOPED_TRACE(weighted);
    if (!weighted) {
      settings.frequencyWeightIndex = -1;
      settings.analysisWeightIndex = -1;
    }
    std::vector<RawRecord> records = Records(2500);
    records[1400][3].SetString("text");
    const auto batches = Batches(records);
    // Inputs 0, 3 and 1 alone, and side by side in one loop.
    const std::vector<int> inputs = {0, 3, 1};
    auto [byRecord, sideBySide, status] = FeedBothWays<ZelBivarContTargetContPredictivePower>(
        inputs.size(),
        [&](std::size_t i) {
          return std::make_unique<ZelBivarContTargetContPredictivePower>(&settings, inputs[i], 2);
        },
        records, batches);
    ASSERT_TRUE(status.IsOK());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      SCOPED_TRACE(inputs[i]);
      ZelBivarContTargetContPredictivePower byBatch(&settings, inputs[i], 2);
      for (const auto& batch : batches) ASSERT_TRUE(byBatch.AddBatch(*batch).IsOK());
      ASSERT_TRUE(byRecord[i]->Finalize().IsOK());
      for (ZelBivarContTargetContPredictivePower* s : {&byBatch, sideBySide[i].get()}) {
        ASSERT_TRUE(s->Finalize().IsOK());
        EXPECT_EQ(byRecord[i]->GetInputVariance(), s->GetInputVariance());
        EXPECT_EQ(byRecord[i]->GetCovariance(), s->GetCovariance());
        EXPECT_EQ(byRecord[i]->GetTargetVariance(), s->GetTargetVariance());
        EXPECT_EQ(byRecord[i]->GetCorrelation(), s->GetCorrelation());
        EXPECT_GT(s->GetInputVariance(), 0.0);
      }
    }
  }
}

// Without weights, summaries past their value table take the lean update
// side by side, which tells rows without a missing value in wide steps and
// the rows past the last whole step one by one: a batch whose only missing
// value sits among those last rows (rows % 16 of them) counts it as missing
// like record-by-record feeding, in every lane of the group.
TEST_F(BatchStatisticsTest, AMissingValueInTheLastRowsOfABatchIsCounted) {
  settings.frequencyWeightIndex = -1;
  settings.analysisWeightIndex = -1;
  const std::vector<int> fields = {0, 1, 2, 3, 0, 2, 3, 1};
  for (std::size_t tail : {1u, 5u, 15u, 37u}) {
    SCOPED_TRACE(tail);
    // A full first batch fills the tables; the second has `tail` rows.
    const std::size_t rows = kZelBatchRows + tail;
    std::vector<RawRecord> records;
    for (std::size_t i = 0; i < rows; ++i) {
      const double x = static_cast<double>(i % 211) * 0.25;
      records.push_back(MakeRecord({Real(x), Int(static_cast<long long>(i % 97)), Real(-x * 3.0),
                                    Real(x + 1e6), Missing(), Real(1.0), Real(1.0)}));
    }
    // The last row of field 0 and the first row past the last whole step
    // of sixteen of field 3.
    records[rows - 1][0].SetMissingValue(TorCommon_1_3::kStorageReal);
    records[kZelBatchRows + tail / 16 * 16][3].SetMissingValue(TorCommon_1_3::kStorageReal);
    const auto batches = Batches(records);
    ASSERT_EQ(batches.size(), 2u);
    auto [byRecord, sideBySide, status] = FeedBothWays<ZelUnivarCont>(
        fields.size(), [&](std::size_t i) { return Summary(fields[i]); }, records, batches);
    ASSERT_TRUE(status.IsOK());
    for (std::size_t i = 0; i < fields.size(); ++i) {
      SCOPED_TRACE(i);
      ASSERT_TRUE(byRecord[i]->Finalize().IsOK());
      ASSERT_TRUE(sideBySide[i]->Finalize().IsOK());
      ExpectSameSummary(byRecord[i]->GetSummary(), sideBySide[i]->GetSummary());
      const int64_t missing = fields[i] == 0 || fields[i] == 3 ? 1 : 0;
      EXPECT_EQ(sideBySide[i]->GetSummary().GetMissingCount(), missing);
      EXPECT_EQ(sideBySide[i]->GetSummary().GetValidCount(), static_cast<int64_t>(rows) - missing);
    }
  }
}

// Four statistics of a continuous input against a categorical target, side
// by side in one loop without weights: each keeps its own moments over all
// counted records (the overall ones), the fourth as well as the first,
// as feeding each record by record does; the counts are those by hand.
TEST_F(BatchStatisticsTest, FourGroupedMomentsSideBySideKeepTheirOverallSums) {
  settings.frequencyWeightIndex = -1;
  settings.analysisWeightIndex = -1;
  const std::vector<RawRecord> records = Records(2500);
  ZelUnivarStringCat text(&settings, 4);
  for (const RawRecord& record : records) ASSERT_TRUE(text.AddRecord(record).IsOK());
  ASSERT_TRUE(text.Finalize().IsOK());
  // Each input has its own missing rows, so that no two share their sums.
  const std::vector<int> inputs = {0, 1, 2, 3};
  auto [byRecord, sideBySide, status] = FeedBothWays<ZelBivarCatTargetCont>(
      inputs.size(),
      [&](std::size_t i) {
        auto s = std::make_unique<ZelBivarCatTargetCont>(&settings, inputs[i], 4);
        EXPECT_TRUE(s->InitCategories(nullptr, &text).IsOK());
        return s;
      },
      records, Batches(records));
  ASSERT_TRUE(status.IsOK());
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(inputs[i]);
    ASSERT_TRUE(byRecord[i]->Finalize().IsOK());
    ASSERT_TRUE(sideBySide[i]->Finalize().IsOK());
    // Rows where the text (i % 9 == 4) or the input is missing do not count.
    int64_t counted = 0;
    for (std::size_t r = 0; r < records.size(); ++r) {
      counted += r % 9 != 4 && !records[r][inputs[i]].IsMissing() ? 1 : 0;
    }
    EXPECT_EQ(sideBySide[i]->GetTotalFrequency(), static_cast<double>(counted));
    EXPECT_EQ(byRecord[i]->GetTotalFrequency(), sideBySide[i]->GetTotalFrequency());
    const auto& expected = byRecord[i]->GetMoments();
    const auto& actual = sideBySide[i]->GetMoments();
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
      EXPECT_EQ(expected[k].mean, actual[k].mean);
      EXPECT_EQ(expected[k].m2, actual[k].m2);
      EXPECT_EQ(expected[k].frequency, actual[k].frequency);
    }
  }
}

// A first row whose square passes the largest double makes the spreads and
// co-moments infinite in the loops of every width as record by record (its
// first update adds nothing: 0 times infinity would be not a number).
TEST_F(BatchStatisticsTest, AFirstValuePastTheSquareRootOfTheLargestDouble) {
  for (bool weighted : {true, false}) {
    SCOPED_TRACE(weighted);
    if (!weighted) {
      settings.frequencyWeightIndex = -1;
      settings.analysisWeightIndex = -1;
    }
    std::vector<RawRecord> records = Records(1500);
    for (int field : kContinuous) records[0][field].SetDouble(3e200, TorCommon_1_3::kStorageReal);
    const auto batches = Batches(records);
    ZelBivarContCont pairsByRecord(&settings, kContinuous), pairsByBatch(&settings, kContinuous);
    for (const RawRecord& record : records) ASSERT_TRUE(pairsByRecord.AddRecord(record).IsOK());
    for (const auto& batch : batches) ASSERT_TRUE(pairsByBatch.AddBatch(*batch).IsOK());
    auto outliers = FeedBothWays<ZelOutlier>(
        kContinuous.size(),
        [&](std::size_t i) {
          return std::make_unique<ZelOutlier>(&settings, kContinuous[i], 0.0, 1e199, 1.0, 1500);
        },
        records, batches);
    auto power = FeedBothWays<ZelBivarContTargetContPredictivePower>(
        kContinuous.size(),
        [&](std::size_t i) {
          return std::make_unique<ZelBivarContTargetContPredictivePower>(
              &settings, kContinuous[i], kContinuous[i] == 2 ? 3 : 2);
        },
        records, batches);
    ASSERT_TRUE(outliers.status.IsOK());
    ASSERT_TRUE(power.status.IsOK());
    ASSERT_TRUE(pairsByRecord.Finalize().IsOK());
    ASSERT_TRUE(pairsByBatch.Finalize().IsOK());
    for (int a = 0; a < 4; ++a) {
      EXPECT_EQ(pairsByRecord.GetCovariances().GetElem(a, a), HUGE_VAL) << a;
      for (int b = 0; b <= a; ++b) {
        const double x = pairsByRecord.GetCovariances().GetElem(a, b);
        const double y = pairsByBatch.GetCovariances().GetElem(a, b);
        EXPECT_TRUE(x == y || (std::isnan(x) && std::isnan(y))) << a << " " << b;
      }
    }
    for (std::size_t i = 0; i < kContinuous.size(); ++i) {
      SCOPED_TRACE(i);
      ZelOutlier* o[] = {outliers.byRecord[i].get(), outliers.sideBySide[i].get()};
      ZelBivarContTargetContPredictivePower* p[] = {power.byRecord[i].get(),
                                                    power.sideBySide[i].get()};
      for (int way = 0; way < 2; ++way) {
        ASSERT_TRUE(o[way]->Finalize().IsOK());
        ASSERT_TRUE(p[way]->Finalize().IsOK());
        EXPECT_EQ(p[way]->GetInputVariance(), HUGE_VAL);
      }
      EXPECT_EQ(o[0]->GetRobustStdDev(), o[1]->GetRobustStdDev());
      EXPECT_FALSE(std::isnan(o[1]->GetRobustStdDev()));
    }
  }
}

TEST_F(BatchStatisticsTest, AValueOfTheWrongKindStopsBothWays) {
  std::vector<RawRecord> records = Records(40);
  records[17][2].SetString("text");  // in a continuous field
  const auto batches = Batches(records);
  ZelUnivarCont byRecord(&settings, 2), byBatch(&settings, 2), sideBySide(&settings, 2);
  ZelBivarContCont pairs(&settings, kContinuous);
  TorStatus recordStatus;
  for (const RawRecord& record : records) recordStatus = byRecord.AddRecord(record);
  EXPECT_EQ(recordStatus.GetCode(), ZelStatusCode::kBadValueType);
  EXPECT_EQ(byBatch.AddBatch(*batches[0]).GetCode(), ZelStatusCode::kBadValueType);
  ZelStatistics* one = &sideBySide;
  EXPECT_EQ(sideBySide.AddBatchSideBySide(&one, 1, *batches[0]).GetCode(),
            ZelStatusCode::kBadValueType);
  EXPECT_EQ(sideBySide.GetStatus().GetCode(), ZelStatusCode::kBadValueType);
  EXPECT_EQ(pairs.AddBatch(*batches[0]).GetCode(), ZelStatusCode::kBadValueType);
}

}  // namespace
