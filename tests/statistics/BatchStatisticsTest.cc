// Statistics fed a batch of columns at a time against the same statistics fed
// record by record: with frequency and analysis weights, missing values and
// rows spread over two batches, every count and sum must agree bit for bit,
// also when several continuous fields are fed side by side, with weights or
// without; a value of the wrong kind stops both ways with the same error.
#include <gtest/gtest.h>

#include <cmath>
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
  ZelSettings settings;
};

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
    byRecord.push_back(std::make_unique<ZelUnivarCont>(&settings, field));
    alone.push_back(std::make_unique<ZelUnivarCont>(&settings, field));
    sideBySide.push_back(std::make_unique<ZelUnivarCont>(&settings, field));
  }
  ZelUnivarStringCat textByRecord(&settings, 4), textByBatch(&settings, 4);
  ZelBivarContCont pairsByRecord(&settings, kContinuous), pairsByBatch(&settings, kContinuous);

  for (const RawRecord& record : records) {
    for (auto& s : byRecord) ASSERT_TRUE(s->AddRecord(record).IsOK());
    ASSERT_TRUE(textByRecord.AddRecord(record).IsOK());
    ASSERT_TRUE(pairsByRecord.AddRecord(record).IsOK());
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
    ASSERT_TRUE(pairsByBatch.AddBatch(*batch).IsOK());
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

  ASSERT_TRUE(pairsByRecord.Finalize().IsOK());
  ASSERT_TRUE(pairsByBatch.Finalize().IsOK());
  for (int a = 0; a < 4; ++a) {
    for (int b = 0; b <= a; ++b) {
      EXPECT_EQ(pairsByRecord.GetCounts().GetElem(a, b), pairsByBatch.GetCounts().GetElem(a, b));
      EXPECT_EQ(pairsByRecord.GetCovariances().GetElem(a, b),
                pairsByBatch.GetCovariances().GetElem(a, b));
    }
  }
}

TEST_F(BatchStatisticsTest, PairsWithoutMissingValuesAgreeToo) {
  // Fields 2, 5 and 6 always have a value: the pairs meet the same rows and
  // share their sums, until a value goes missing in the second batch.
  for (bool gap : {false, true}) {
    SCOPED_TRACE(gap);
    std::vector<RawRecord> records = Records(1500);
    if (gap) records[1200][2].SetMissingValue(TorCommon_1_3::kStorageReal);
    const auto batches = Batches(records);
    const std::vector<int> fields = {2, 5, 6};
    ZelBivarContCont byRecord(&settings, fields), byBatch(&settings, fields);
    for (const RawRecord& record : records) ASSERT_TRUE(byRecord.AddRecord(record).IsOK());
    for (const auto& batch : batches) ASSERT_TRUE(byBatch.AddBatch(*batch).IsOK());
    ASSERT_TRUE(byRecord.Finalize().IsOK());
    ASSERT_TRUE(byBatch.Finalize().IsOK());
    for (int a = 0; a < 3; ++a) {
      for (int b = 0; b <= a; ++b) {
        EXPECT_EQ(byRecord.GetCounts().GetElem(a, b), byBatch.GetCounts().GetElem(a, b));
        EXPECT_EQ(byRecord.GetCovariances().GetElem(a, b), byBatch.GetCovariances().GetElem(a, b));
        EXPECT_EQ(byRecord.GetCorrelations().GetElem(a, b),
                  byBatch.GetCorrelations().GetElem(a, b));
      }
    }
    // Pairs count the frequency weights as they are: 1, 1.75, 2.5 and 3.25.
    EXPECT_EQ(byBatch.GetCounts().GetElem(0, 0), 375.0 * 8.5 - (gap ? 1.0 : 0.0));
  }
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
    std::vector<std::unique_ptr<ZelUnivarCont>> byRecord, sideBySide;
    for (int field : fields) {
      byRecord.push_back(std::make_unique<ZelUnivarCont>(&settings, field));
      sideBySide.push_back(std::make_unique<ZelUnivarCont>(&settings, field));
    }
    for (const RawRecord& record : records) {
      for (auto& s : byRecord) s->AddRecord(record);
    }
    std::vector<ZelStatistics*> group;
    for (auto& s : sideBySide) group.push_back(s.get());
    TorStatus last;
    for (const auto& batch : batches) {
      last = group.front()->AddBatchSideBySide(group.data(), group.size(), *batch);
    }
    EXPECT_EQ(last.IsOK(), !wrong);
    if (wrong) {
      EXPECT_EQ(last.GetCode(), ZelStatusCode::kBadValueType);
    }
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
  const auto batches = Batches(records);
  std::vector<std::unique_ptr<ZelOutlier>> byRecord, sideBySide;
  for (const Bounds& b : bounds) {
    for (auto* list : {&byRecord, &sideBySide}) {
      list->push_back(
          std::make_unique<ZelOutlier>(&settings, b.field, b.mean, b.stdDev, 1.0, 2500));
    }
  }
  for (const RawRecord& record : records) {
    for (auto& o : byRecord) ASSERT_TRUE(o->AddRecord(record).IsOK());
  }
  std::vector<ZelStatistics*> group;
  for (auto& o : sideBySide) group.push_back(o.get());
  for (const auto& batch : batches) {
    ASSERT_TRUE(group.front()->AddBatchSideBySide(group.data(), group.size(), *batch).IsOK());
  }
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
    std::vector<std::unique_ptr<ZelBivarContTargetContPredictivePower>> sideBySide;
    std::vector<ZelStatistics*> group;
    for (int input : inputs) {
      sideBySide.push_back(
          std::make_unique<ZelBivarContTargetContPredictivePower>(&settings, input, 2));
      group.push_back(sideBySide.back().get());
    }
    for (const auto& batch : batches) {
      ASSERT_TRUE(group.front()->AddBatchSideBySide(group.data(), group.size(), *batch).IsOK());
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      const int input = inputs[i];
      SCOPED_TRACE(input);
      ZelBivarContTargetContPredictivePower byRecord(&settings, input, 2),
          byBatch(&settings, input, 2);
      for (const RawRecord& record : records) ASSERT_TRUE(byRecord.AddRecord(record).IsOK());
      for (const auto& batch : batches) ASSERT_TRUE(byBatch.AddBatch(*batch).IsOK());
      ASSERT_TRUE(byRecord.Finalize().IsOK());
      for (ZelBivarContTargetContPredictivePower* s : {&byBatch, sideBySide[i].get()}) {
        ASSERT_TRUE(s->Finalize().IsOK());
        EXPECT_EQ(byRecord.GetInputVariance(), s->GetInputVariance());
        EXPECT_EQ(byRecord.GetCovariance(), s->GetCovariance());
        EXPECT_EQ(byRecord.GetTargetVariance(), s->GetTargetVariance());
        EXPECT_EQ(byRecord.GetCorrelation(), s->GetCorrelation());
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
    std::vector<std::unique_ptr<ZelUnivarCont>> byRecord, sideBySide;
    for (int field : fields) {
      byRecord.push_back(std::make_unique<ZelUnivarCont>(&settings, field));
      sideBySide.push_back(std::make_unique<ZelUnivarCont>(&settings, field));
    }
    for (const RawRecord& record : records) {
      for (auto& s : byRecord) ASSERT_TRUE(s->AddRecord(record).IsOK());
    }
    std::vector<ZelStatistics*> group;
    for (auto& s : sideBySide) group.push_back(s.get());
    for (const auto& batch : batches) {
      ASSERT_TRUE(group.front()->AddBatchSideBySide(group.data(), group.size(), *batch).IsOK());
    }
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
  const auto batches = Batches(records);
  ZelUnivarStringCat text(&settings, 4);
  for (const RawRecord& record : records) ASSERT_TRUE(text.AddRecord(record).IsOK());
  ASSERT_TRUE(text.Finalize().IsOK());
  // Each input has its own missing rows, so that no two share their sums.
  const std::vector<int> inputs = {0, 1, 2, 3};
  std::vector<std::unique_ptr<ZelBivarCatTargetCont>> byRecord, sideBySide;
  std::vector<ZelStatistics*> group;
  for (int input : inputs) {
    for (auto* list : {&byRecord, &sideBySide}) {
      list->push_back(std::make_unique<ZelBivarCatTargetCont>(&settings, input, 4));
      ASSERT_TRUE(list->back()->InitCategories(nullptr, &text).IsOK());
    }
    group.push_back(sideBySide.back().get());
  }
  for (const RawRecord& record : records) {
    for (auto& s : byRecord) ASSERT_TRUE(s->AddRecord(record).IsOK());
  }
  for (const auto& batch : batches) {
    ASSERT_TRUE(group.front()->AddBatchSideBySide(group.data(), group.size(), *batch).IsOK());
  }
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
    std::vector<std::unique_ptr<ZelOutlier>> outliersByRecord, outliersSideBySide;
    std::vector<std::unique_ptr<ZelBivarContTargetContPredictivePower>> powerByRecord, powerSideBySide;
    std::vector<ZelStatistics*> outlierGroup, powerGroup;
    for (int field : kContinuous) {
      for (auto* list : {&outliersByRecord, &outliersSideBySide}) {
        list->push_back(std::make_unique<ZelOutlier>(&settings, field, 0.0, 1e199, 1.0, 1500));
      }
      outlierGroup.push_back(outliersSideBySide.back().get());
      for (auto* list : {&powerByRecord, &powerSideBySide}) {
        list->push_back(std::make_unique<ZelBivarContTargetContPredictivePower>(
            &settings, field, field == 2 ? 3 : 2));
      }
      powerGroup.push_back(powerSideBySide.back().get());
    }
    for (const RawRecord& record : records) {
      ASSERT_TRUE(pairsByRecord.AddRecord(record).IsOK());
      for (auto& o : outliersByRecord) ASSERT_TRUE(o->AddRecord(record).IsOK());
      for (auto& p : powerByRecord) ASSERT_TRUE(p->AddRecord(record).IsOK());
    }
    for (const auto& batch : batches) {
      ASSERT_TRUE(pairsByBatch.AddBatch(*batch).IsOK());
      ASSERT_TRUE(outlierGroup.front()
                      ->AddBatchSideBySide(outlierGroup.data(), outlierGroup.size(), *batch)
                      .IsOK());
      ASSERT_TRUE(
          powerGroup.front()->AddBatchSideBySide(powerGroup.data(), powerGroup.size(), *batch).IsOK());
    }
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
      for (auto* s : {outliersByRecord[i].get(), outliersSideBySide[i].get()}) {
        ASSERT_TRUE(s->Finalize().IsOK());
      }
      EXPECT_EQ(outliersByRecord[i]->GetRobustStdDev(), outliersSideBySide[i]->GetRobustStdDev());
      EXPECT_FALSE(std::isnan(outliersSideBySide[i]->GetRobustStdDev()));
      for (auto* s : {powerByRecord[i].get(), powerSideBySide[i].get()}) {
        ASSERT_TRUE(s->Finalize().IsOK());
      }
      EXPECT_EQ(powerByRecord[i]->GetInputVariance(), HUGE_VAL);
      EXPECT_EQ(powerSideBySide[i]->GetInputVariance(), HUGE_VAL);
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
