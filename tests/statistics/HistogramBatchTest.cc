// Histograms fed batches against the definition of their bins and against
// the same histogram fed record by record: values on, just past and just
// short of every bound land in the first bin whose upper bound they do not
// exceed by 1e-14 or more, with the vector loops and with the plain ones, in
// runs of one bin and shuffled, and every count, weight and mean agrees bit
// for bit, also for several histograms fed side by side and after a state
// whose counts and weights differ; a value of the wrong kind or past the
// last bin stops both ways after the same rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "frame/ZelBatch.h"
#include "frame/ZelStatusCodes.h"
#include "frame/ZelVectorLevel.h"
#include "settings/ZelSettings.h"
#include "statistics/ZelHistogramBins.h"
#include "statistics/ZelStateBytes.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarContHistogram.h"
#include "support/TestHost.h"

using ZelFrame::BestVectorLevel;
using ZelFrame::SetVectorLevel;
using ZelFrame::VectorLevelInUse;
using ZelFrame::ZelBatch;
using ZelFrame::ZelVectorLevel;

namespace {

using namespace testhost;
using ZelStatistic::ZelUnivarCont;
using ZelStatistic::ZelUnivarContHistogram;

// Fields: the value, a frequency weight and an analysis weight.
constexpr int kFields = 3;

std::vector<std::unique_ptr<ZelBatch>> Batches(const std::vector<RawRecord>& records) {
  return BatchesOf(records, kFields);
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

class HistogramBatchTest : public ::testing::Test {
 protected:
  ~HistogramBatchTest() override { SetVectorLevel(initial_); }
  // The widest vector loops, or the plain ones.
  static void Wide(bool wide) {
    SetVectorLevel(wide ? BestVectorLevel() : ZelVectorLevel::kPlain);
  }
  const ZelVectorLevel initial_ = VectorLevelInUse();

  std::unique_ptr<ZelUnivarContHistogram> LaidOver(double low, double high) const {
    ZelUnivarCont univariate(&settings, 0);
    univariate.AddRecord(MakeRecord({Real(low), Real(1), Real(1)}));
    univariate.AddRecord(MakeRecord({Real(high), Real(1), Real(1)}));
    univariate.Finalize();
    auto histogram = std::make_unique<ZelUnivarContHistogram>(&settings, 0);
    EXPECT_TRUE(histogram->SetUpHistogram(univariate).IsOK());
    return histogram;
  }

  ZelSettings settings;
};

// Values on, around and between the bounds, the last bound excepted (a
// value past it fails).
std::vector<double> EdgeValues(const std::vector<double>& bounds, double low) {
  std::vector<double> values = {low, low - 5.0};
  for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
    const double b = bounds[i];
    for (double v : {b, std::nextafter(b, -INFINITY), std::nextafter(b, INFINITY), b + 1e-14,
                     b - 1e-14, b + 0.99e-14, b + 1.01e-14, b + 2e-14}) {
      values.push_back(v);
    }
  }
  return values;
}

TEST_F(HistogramBatchTest, BinEdgesLandWhereTheBoundsSayAndBatchesAgreeWithRecords) {
  const ZelSettings weighted = [] {
    ZelSettings s;
    s.frequencyWeightIndex = 1;
    s.analysisWeightIndex = 2;
    return s;
  }();
  const double ranges[][2] = {{0.1, 123.7}, {-3e5, 7.3}, {0, 400}, {1e9, 1e9 + 0.003}};
  for (const auto& range : ranges) {
    for (bool withWeights : {false, true}) {
      settings = withWeights ? weighted : ZelSettings();
      auto byRecord = LaidOver(range[0], range[1]);
      const std::vector<double>& bounds = byRecord->GetUpperBounds();
      std::vector<double> values = EdgeValues(bounds, range[0]);
      // In runs of one bin, then shuffled so that groups of four rows meet
      // four different bins.
      std::vector<double> shuffled = values;
      std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(11));
      values.insert(values.end(), shuffled.begin(), shuffled.end());

      std::vector<int64_t> expected(bounds.size(), 0);
      std::vector<RawRecord> records;
      for (std::size_t k = 0; k < values.size(); ++k) {
        std::size_t bin = 0;
        while (!(values[k] - bounds[bin] < 1e-14)) ++bin;
        const bool missing = k % 997 == 5;
        const double frequency = withWeights ? 1.0 + static_cast<double>(k % 3) : 1.0;
        if (!missing) expected[bin] += static_cast<int64_t>(frequency);
        records.push_back(MakeRecord({missing ? Missing() : Real(values[k]), Real(frequency),
                                      Real(withWeights ? 0.5 + static_cast<double>(k % 4) : 1.0)}));
      }
      for (const RawRecord& record : records) ASSERT_TRUE(byRecord->AddRecord(record).IsOK());
      EXPECT_EQ(byRecord->GetCounts(), expected) << range[0] << " weights " << withWeights;

      const auto batches = Batches(records);
      for (bool simd : {true, false}) {
        Wide(simd);
        auto byBatch = LaidOver(range[0], range[1]);
        for (const auto& batch : batches) ASSERT_TRUE(byBatch->AddBatch(*batch).IsOK());
        EXPECT_EQ(byBatch->GetCounts(), expected) << range[0] << " simd " << simd;
        EXPECT_TRUE(SameBits(byBatch->GetWeights(), byRecord->GetWeights())) << range[0];
        EXPECT_TRUE(SameBits(byBatch->GetMeans(), byRecord->GetMeans())) << range[0];
      }
    }
  }
}

TEST_F(HistogramBatchTest, AWrongValueStopsBatchesAfterTheSameRowsAsRecords) {
  const double past = 1000.0;  // beyond the last bound, 101
  const std::vector<std::vector<Cell>> cases = {
      {Real(1), Real(2), Str("x"), Real(3)},
      {Real(1), Real(past), Real(3)},
      {Real(1), Missing(), Real(2.5), Real(past), Str("x")},
      {Real(1), Real(1e300)},  // a guess no whole number holds
  };
  const int codes[] = {ZelStatusCode::kBadValueType, ZelStatusCode::kNumericalFailure,
                       ZelStatusCode::kNumericalFailure, ZelStatusCode::kNumericalFailure};
  for (std::size_t c = 0; c < cases.size(); ++c) {
    for (bool simd : {true, false}) {
      Wide(simd);
      std::vector<RawRecord> records;
      for (const Cell& cell : cases[c]) records.push_back(MakeRecord({cell, Real(1), Real(1)}));
      auto byRecord = LaidOver(0, 100);
      auto byBatch = LaidOver(0, 100);
      TorCommon_1_3::TorStatus status;
      for (const RawRecord& record : records) {
        status = byRecord->AddRecord(record);
        if (status.IsError()) break;
      }
      EXPECT_EQ(status.GetCode(), codes[c]);
      EXPECT_EQ(byBatch->AddBatch(*Batches(records)[0]).GetCode(), codes[c]);
      EXPECT_EQ(byBatch->GetCounts(), byRecord->GetCounts()) << c;
      EXPECT_TRUE(SameBits(byBatch->GetMeans(), byRecord->GetMeans())) << c;
      int64_t total = 0;
      for (int64_t n : byBatch->GetCounts()) total += n;
      EXPECT_EQ(total, c == 0 || c == 2 ? 2 : 1) << c;
    }
  }
}

// Six fields side by side (four in the lanes of a vector, two after them):
// each histogram meets its rows as when fed alone, record by record, with
// missing values in one field, a failure part way in another, and then
// with one histogram starting from a state of a weighted build, whose counts
// are not its weights.
TEST_F(HistogramBatchTest, HistogramsSideBySideAgreeWithEachFedAlone) {
  constexpr int kSix = 6;
  const double highs[kSix] = {10, 1e6, 3.5, 400, 0.01, 77};
  std::vector<RawRecord> records;
  std::mt19937 random(5);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int k = 0; k < 3000; ++k) {
    std::vector<Cell> cells;
    for (int f = 0; f < kSix; ++f) {
      // Fields 2 and 5 dwell on few values, so that rows keep meeting one bin.
      double v = f == 2 || f == 5 ? std::floor(unit(random) * 4.0) : unit(random) * highs[f];
      if (f == 4 && k == 2500) v = 5.0;  // past the last bin, 1.01: fails there
      cells.push_back(f == 1 && k % 13 == 0 ? Missing() : Real(v));
    }
    records.push_back(MakeRecord(cells));
  }
  const auto batches = BatchesOf(records, kSix);
  // A state of field 3's histogram in a build with frequency weights of 2.5.
  std::string weightedState;
  {
    ZelSettings weighted;
    weighted.frequencyWeightIndex = 5;
    ZelUnivarCont univariate(&weighted, 3);
    univariate.AddRecord(MakeRecord({Real(0), Real(0), Real(0), Real(0), Real(0), Real(1)}));
    univariate.AddRecord(MakeRecord({Real(0), Real(0), Real(0), Real(400), Real(0), Real(1)}));
    univariate.Finalize();
    ZelUnivarContHistogram histogram(&weighted, 3);
    ASSERT_TRUE(histogram.SetUpHistogram(univariate).IsOK());
    histogram.AddRecord(MakeRecord({Real(0), Real(0), Real(0), Real(17.5), Real(0), Real(2.5)}));
    ZelStatistic::ZelStateWriter out(&weightedState);
    histogram.WriteState(&out);
  }
  bool fromState = false;
  const auto laid = [&](int field) {
    ZelUnivarCont univariate(&settings, static_cast<uint32_t>(field));
    univariate.AddRecord(MakeRecord(std::vector<Cell>(kSix, Real(0))));
    std::vector<Cell> top(kSix, Real(0));
    top[field] = Real(highs[field]);
    univariate.AddRecord(MakeRecord(top));
    univariate.Finalize();
    auto histogram =
        std::make_unique<ZelUnivarContHistogram>(&settings, static_cast<uint32_t>(field));
    EXPECT_TRUE(histogram->SetUpHistogram(univariate).IsOK());
    if (field == 3 && fromState) {
      ZelStatistic::ZelStateReader in(weightedState.data(), weightedState.size());
      EXPECT_TRUE(histogram->ReadState(&in));
    }
    return histogram;
  };
  for (int run = 0; run < 4; ++run) {
    const bool simd = run % 2 == 0;
    fromState = run >= 2;
    Wide(simd);
    std::vector<std::unique_ptr<ZelUnivarContHistogram>> alone;
    std::vector<std::unique_ptr<ZelUnivarContHistogram>> together;
    std::vector<ZelStatistic::ZelStatistics*> pointers;
    for (int f = 0; f < kSix; ++f) {
      alone.push_back(laid(f));
      together.push_back(laid(f));
      pointers.push_back(together.back().get());
    }
    if (fromState) {
      EXPECT_EQ(alone[3]->GetCounts()[17], 2);
      EXPECT_EQ(alone[3]->GetWeights()[17], 2.5);
    }
    for (const RawRecord& record : records) {
      for (auto& histogram : alone) histogram->AddRecord(record);
    }
    TorCommon_1_3::TorStatus status;
    for (const auto& batch : batches) {
      const TorCommon_1_3::TorStatus added =
          pointers[0]->AddBatchSideBySide(pointers.data(), pointers.size(), *batch);
      if (!status.IsError()) status = added;
    }
    EXPECT_EQ(status.GetCode(), ZelStatusCode::kNumericalFailure);
    for (int f = 0; f < kSix; ++f) {
      EXPECT_EQ(together[f]->GetStatus().GetCode(), alone[f]->GetStatus().GetCode()) << f;
      EXPECT_EQ(together[f]->GetCounts(), alone[f]->GetCounts()) << f << " simd " << simd;
      EXPECT_TRUE(SameBits(together[f]->GetWeights(), alone[f]->GetWeights())) << f;
      EXPECT_TRUE(SameBits(together[f]->GetMeans(), alone[f]->GetMeans())) << f;
    }
  }
}

}  // namespace
