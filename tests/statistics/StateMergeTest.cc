// Merged states: for every statistic kind, the state of the first half of
// the records merged with that of the second half, read into a fresh
// statistic, gives what one pass over all records gives (counts and tables
// exactly, moments to 1e-12), with frequency and analysis weights and
// missing values; and damaged parts are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "settings/ZelSettings.h"
#include "statistics/ZelBivarCatTargetCat.h"
#include "statistics/ZelBivarCatTargetCont.h"
#include "statistics/ZelBivarCatTargetContPredictivePower.h"
#include "statistics/ZelBivarContCont.h"
#include "statistics/ZelBivarContTargetCat.h"
#include "statistics/ZelBivarContTargetContPredictivePower.h"
#include "statistics/ZelBoxCox.h"
#include "statistics/ZelOutlier.h"
#include "statistics/ZelStateParts.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarContHistogram.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace ZelStatistic;

// Fields: 0 x (real, some missing), 1 y (real), 2 c (text),
// 3 k (integer category), 4 frequency weight, 5 analysis weight.
std::vector<RawRecord> Records() {
  std::vector<RawRecord> records;
  const char* texts[] = {"a", "bb", "c", "dd"};
  for (int i = 0; i < 301; ++i) {
    const double x = std::sin(i * 0.7) * 10 + (i % 13 == 0 ? 40 : 0);
    records.push_back(MakeRecord({i % 11 == 0 ? Missing() : Real(x),
                                  Real(100 + 5 * std::cos(i * 0.3) + 0.3 * x),
                                  i % 17 == 0 ? Missing() : Str(texts[(i * 7) % 4]),
                                  Int(i % 3), Real(1 + i % 4), Real(0.5 + (i % 5) * 0.25)}));
    if (i % 17 == 0) records.back()[2].SetMissingValue(TorCommon_1_3::kStorageString);
  }
  return records;
}

ZelSettings Weighted() {
  ZelSettings settings;
  settings.frequencyWeightIndex = 4;
  settings.analysisWeightIndex = 5;
  settings.screeningThresholdForNominal = 100;
  return settings;
}

void Feed(ZelStatistics& statistic, const std::vector<RawRecord>& records, std::size_t first,
          std::size_t end) {
  for (std::size_t i = first; i < end; ++i) ASSERT_FALSE(statistic.AddRecord(records[i]).IsError());
}

std::string StateOf(const ZelStatistics& statistic) {
  std::string bytes;
  ZelStateWriter out(&bytes);
  statistic.WriteState(&out);
  return bytes;
}

std::string Merged(const std::string& a, const std::string& b) {
  std::string merged;
  ZelStateWriter out(&merged);
  ZelStateReader ra(a.data(), a.size());
  ZelStateReader rb(b.data(), b.size());
  std::string error;
  EXPECT_TRUE(MergeParts(&ra, &rb, &out, &error)) << error;
  return merged;
}

void ExpectClose(const std::vector<double>& whole, const std::vector<double>& merged,
                 const char* kind) {
  ASSERT_EQ(whole.size(), merged.size()) << kind;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    const double scale = std::max({std::fabs(whole[i]), std::fabs(merged[i]), 1e-3});
    EXPECT_LE(std::fabs(whole[i] - merged[i]), 1e-12 * scale) << kind << " result " << i;
  }
}

// One pass over all records against two halves merged, for the statistic
// `make` makes; `results` reads what Finalize gives.
void CheckHalves(const std::function<std::unique_ptr<ZelStatistics>()>& make,
                 const std::function<std::vector<double>(const ZelStatistics&)>& results) {
  const std::vector<RawRecord> records = Records();
  const std::size_t half = records.size() / 2;
  auto whole = make();
  auto first = make();
  auto second = make();
  Feed(*whole, records, 0, records.size());
  Feed(*first, records, 0, half);
  Feed(*second, records, half, records.size());
  const std::string merged = Merged(StateOf(*first), StateOf(*second));
  auto installed = make();
  ZelStateReader in(merged.data(), merged.size());
  const char* kind = GetStatisticTypeName(whole->GetType());
  ASSERT_TRUE(installed->ReadState(&in)) << kind;
  EXPECT_TRUE(in.AtEnd()) << kind;
  ASSERT_FALSE(whole->Finalize().IsError());
  ASSERT_FALSE(installed->Finalize().IsError());
  ExpectClose(results(*whole), results(*installed), kind);
  // An empty state merged in changes nothing, and a state read back is the
  // state written.
  EXPECT_EQ(Merged(merged, StateOf(*make())), merged) << kind;
}

std::vector<double> SummaryResults(const ZelContSummary& s) {
  std::vector<double> out = {double(s.GetValidCount()), double(s.GetMissingCount()),
                             s.GetMinimum(), s.GetMaximum(), s.GetMean(), s.GetStdDev(),
                             s.GetSkewness(), s.GetWeightSum()};
  for (const auto& entry : s.GetFrequencies()) {
    out.push_back(entry.first);
    out.push_back(double(entry.second));
  }
  return out;
}

std::vector<double> TableResults(const ZelContingencyTable& table, double total) {
  std::vector<double> out = table.FrequencyCells();
  out.insert(out.end(), table.WeightedCells().begin(), table.WeightedCells().end());
  out.push_back(total);
  return out;
}

std::vector<double> MomentResults(const ZelBivarGroupedMoments& s) {
  std::vector<double> out = {s.GetTotalFrequency()};
  for (const ZelCategoryMoments& m : s.GetMoments()) {
    out.insert(out.end(), {m.mean, m.m2, m.frequency, m.weight});
  }
  return out;
}

class StateMerge : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<RawRecord> records = Records();
    for (ZelStatistics* u : {static_cast<ZelStatistics*>(&x_), static_cast<ZelStatistics*>(&y_),
                             static_cast<ZelStatistics*>(&c_), static_cast<ZelStatistics*>(&k_)}) {
      Feed(*u, records, 0, records.size());
      u->Finalize();
    }
  }
  ZelSettings settings_ = Weighted();
  ZelUnivarCont x_{&settings_, 0};
  ZelUnivarCont y_{&settings_, 1};
  ZelUnivarStringCat c_{&settings_, 2};
  ZelUnivarNumericCat k_{&settings_, 3, true};
};

TEST_F(StateMerge, UnivariateStatisticsMergeAsOnePass) {
  CheckHalves([&] { return std::make_unique<ZelUnivarCont>(&settings_, 1); },
              [](const ZelStatistics& s) {
                return SummaryResults(static_cast<const ZelUnivarCont&>(s).GetSummary());
              });
  CheckHalves([&] { return std::make_unique<ZelUnivarNumericCat>(&settings_, 0, false); },
              [](const ZelStatistics& s) {
                return SummaryResults(static_cast<const ZelUnivarNumericCat&>(s).GetSummary());
              });
  CheckHalves([&] { return std::make_unique<ZelUnivarStringCat>(&settings_, 2); },
              [](const ZelStatistics& s) {
                const auto& t = static_cast<const ZelUnivarStringCat&>(s);
                std::vector<double> out = {double(t.GetValidCount()), double(t.GetMissingCount()),
                                           double(t.GetMode().size())};
                for (const auto& entry : t.GetFrequencies()) out.push_back(double(entry.second));
                return out;
              });
  CheckHalves(
      [&] {
        auto h = std::make_unique<ZelUnivarContHistogram>(&settings_, 0);
        EXPECT_TRUE(h->SetUpHistogram(x_).IsOK());
        return h;
      },
      [](const ZelStatistics& s) {
        const auto& h = static_cast<const ZelUnivarContHistogram&>(s);
        std::vector<double> out(h.GetCounts().begin(), h.GetCounts().end());
        out.insert(out.end(), h.GetMeans().begin(), h.GetMeans().end());
        out.insert(out.end(), h.GetWeights().begin(), h.GetWeights().end());
        return out;
      });
}

TEST_F(StateMerge, OutlierAndBoxCoxStatisticsMergeAsOnePass) {
  const ZelContSummary& x = x_.GetSummary();
  CheckHalves(
      [&] {
        return std::make_unique<ZelOutlier>(&settings_, 0, x.GetMean(), x.GetStdDev(),
                                            x.GetWeightSum(), x.GetValidCount());
      },
      [](const ZelStatistics& s) {
        const auto& o = static_cast<const ZelOutlier&>(s);
        return std::vector<double>{o.GetRobustMean(), o.GetRobustStdDev()};
      });
  CheckHalves(
      [&] {
        return std::make_unique<ZelBoxCox>(&settings_, 0, -2.0, 2.0, 0.5, x.GetMinimum(), 1.0,
                                           0.0);
      },
      [](const ZelStatistics& s) {
        const auto& b = static_cast<const ZelBoxCox&>(s);
        return std::vector<double>{b.GetExponent(), b.GetTransformedMean(),
                                   b.GetTransformedStdDev(), b.GetTransformedSkewness()};
      });
}

TEST_F(StateMerge, BivariateStatisticsMergeAsOnePass) {
  CheckHalves([&] { return std::make_unique<ZelBivarContCont>(&settings_, std::vector<int>{0, 1}); },
              [](const ZelStatistics& s) {
                const auto& p = static_cast<const ZelBivarContCont&>(s);
                std::vector<double> out;
                for (int i = 0; i < 2; ++i) {
                  for (int j = 0; j <= i; ++j) {
                    out.insert(out.end(), {p.GetCounts().GetElem(i, j),
                                           p.GetCovariances().GetElem(i, j),
                                           p.GetCorrelations().GetElem(i, j)});
                  }
                }
                return out;
              });
  CheckHalves(
      [&] {
        auto s = std::make_unique<ZelBivarContTargetCat>(&settings_, 2, 1);
        EXPECT_TRUE(s->InitCategories(&c_, &y_).IsOK());
        return s;
      },
      [](const ZelStatistics& s) { return MomentResults(static_cast<const ZelBivarGroupedMoments&>(s)); });
  CheckHalves(
      [&] {
        auto s = std::make_unique<ZelBivarCatTargetCont>(&settings_, 0, 3);
        EXPECT_TRUE(s->InitCategories(&x_, &k_).IsOK());
        return s;
      },
      [](const ZelStatistics& s) { return MomentResults(static_cast<const ZelBivarGroupedMoments&>(s)); });
  CheckHalves(
      [&] {
        auto s = std::make_unique<ZelBivarCatTargetCat>(&settings_, 2, 3, true);
        EXPECT_TRUE(s->InitCategories(&c_, &k_).IsOK());
        return s;
      },
      [](const ZelStatistics& s) {
        const auto& t = static_cast<const ZelBivarCatTargetCat&>(s);
        return TableResults(t.GetTable(), t.GetTotalFrequency());
      });
  CheckHalves(
      [&] {
        auto s = std::make_unique<ZelBivarCatTargetContPredictivePower>(&settings_, 0, 3);
        EXPECT_TRUE(s->InitCategories(&x_, &k_).IsOK());
        return s;
      },
      [](const ZelStatistics& s) {
        const auto& t = static_cast<const ZelBivarCatTargetContPredictivePower&>(s);
        return TableResults(t.GetTable(), t.GetTotalFrequency());
      });
  CheckHalves([&] { return std::make_unique<ZelBivarContTargetContPredictivePower>(&settings_, 0, 1); },
              [](const ZelStatistics& s) {
                const auto& p = static_cast<const ZelBivarContTargetContPredictivePower&>(s);
                return std::vector<double>{p.GetInputVariance(), p.GetCovariance(),
                                           p.GetTargetVariance(), p.GetCorrelation()};
              });
}

// The records of one field: categories arriving in an order that is
// neither ascending nor descending, new ones among repeats of old ones, a
// missing value now and then, and frequency weights of 1 to 3.
std::vector<RawRecord> CategoryRecords(bool texts) {
  std::vector<RawRecord> records;
  for (int i = 0; i < 90; ++i) {
    const int category = (i * 7 + i / 5) % (6 + i / 3);
    const Cell value = i % 13 == 6 ? Missing()
                       : texts     ? Str("k" + std::to_string(category * 37 % 101))
                                   : Real(category * 37 % 101 * 0.5 - 3.0);
    records.push_back(MakeRecord({value, Real(1 + i % 3)}));
    if (i % 13 == 6) records.back()[0].SetMissingValue(texts ? 3 : 2);
  }
  return records;
}

// A table's counts and overflow, whichever kind of field it is.
std::vector<std::pair<std::string, int64_t>> TableOf(const ZelStatistics& statistic) {
  std::vector<std::pair<std::string, int64_t>> table;
  if (const auto* t = dynamic_cast<const ZelUnivarStringCat*>(&statistic)) {
    for (const auto& entry : t->GetFrequencies()) table.emplace_back(entry.first, entry.second);
    table.emplace_back("valid", t->GetValidCount());
    table.emplace_back("missing", t->GetMissingCount());
  } else {
    const ZelContSummary& s = static_cast<const ZelUnivarNumericCat&>(statistic).GetSummary();
    for (const auto& entry : s.GetFrequencies()) {
      table.emplace_back(std::to_string(entry.first), entry.second);
    }
    table.emplace_back("valid", s.GetValidCount());
    table.emplace_back("missing", s.GetMissingCount());
  }
  return table;
}

// A table stops one category past its limit, keeping the first categories
// in record order and what they counted until then, whichever runs of rows
// the records come in and however their states are merged (in order):
// every cut into two runs, and three runs merged left first and right
// first, give the table of one pass, category for category and count for
// count. Text and number tables alike, at several limits; a text table's
// state fits no other limit.
TEST(StateMergeTables, TablesPastTheirLimitAreThoseOfOnePassWhateverTheCut) {
  for (bool texts : {true, false}) {
    for (int limit : {0, 1, 4, 9, 200}) {
      SCOPED_TRACE(std::string(texts ? "texts, limit " : "numbers, limit ") +
                   std::to_string(limit));
      ZelSettings settings;
      settings.frequencyWeightIndex = 1;
      settings.screeningThresholdForNominal = limit;
      auto make = [&]() -> std::unique_ptr<ZelStatistics> {
        if (texts) return std::make_unique<ZelUnivarStringCat>(&settings, 0);
        return std::make_unique<ZelUnivarNumericCat>(&settings, 0, true);
      };
      const std::vector<RawRecord> records = CategoryRecords(texts);
      auto whole = make();
      Feed(*whole, records, 0, records.size());
      ASSERT_FALSE(whole->Finalize().IsError());
      const auto expected = TableOf(*whole);
      auto stateOf = [&](std::size_t first, std::size_t end) {
        auto part = make();
        Feed(*part, records, first, end);
        return StateOf(*part);
      };
      auto installed = [&](const std::string& state) {
        auto statistic = make();
        ZelStateReader in(state.data(), state.size());
        EXPECT_TRUE(statistic->ReadState(&in));
        EXPECT_TRUE(in.AtEnd());
        EXPECT_FALSE(statistic->Finalize().IsError());
        return TableOf(*statistic);
      };
      const std::size_t n = records.size();
      if (texts) {
        // The state of another limit does not fit.
        const std::string state = stateOf(0, n);
        settings.screeningThresholdForNominal = limit + 1;
        ZelStateReader in(state.data(), state.size());
        EXPECT_FALSE(make()->ReadState(&in));
        settings.screeningThresholdForNominal = limit;
      }
      for (std::size_t cut = 0; cut <= n; ++cut) {
        EXPECT_EQ(installed(Merged(stateOf(0, cut), stateOf(cut, n))), expected) << cut;
      }
      for (std::size_t a = 0; a <= n; a += 7) {
        for (std::size_t b = a; b <= n; b += 11) {
          const std::string x = stateOf(0, a), y = stateOf(a, b), z = stateOf(b, n);
          EXPECT_EQ(installed(Merged(Merged(x, y), z)), expected) << a << " " << b;
          EXPECT_EQ(installed(Merged(x, Merged(y, z))), expected) << a << " " << b;
        }
      }
    }
  }
}

// Parts that do not match, are cut short or hold numbers no data could give
// are refused, never read past.
TEST(StateMergeTables, DamagedOrMismatchedPartsAreRefused) {
  ZelSettings settings = Weighted();
  ZelOutlier narrow(&settings, 0, 0.0, 1.0, 10.0, 10);
  ZelOutlier wide(&settings, 0, 0.0, 2.0, 10.0, 10);
  const std::string a = StateOf(narrow);
  std::string merged;
  ZelStateWriter out(&merged);
  std::string error;
  const std::string b = StateOf(wide);
  ZelStateReader ra(a.data(), a.size());
  ZelStateReader rb(b.data(), b.size());
  EXPECT_FALSE(MergeParts(&ra, &rb, &out, &error));
  EXPECT_NE(error.find("laid out differently"), std::string::npos) << error;
  // Well-formed parts with numbers no data could give are refused: a count
  // past 2^63, a weight below 0 or not a number, a second moment below 0.
  // A mean or a second moment past the largest double, or not a number,
  // is what values near it make: data, which is read.
  const auto& bounds = narrow.GetBounds();
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    ZelCategoryMoments moments;
    bool read;
  } cases[] = {{{1.0, 0.5, 1e300, 4.0}, false}, {{1.0, 0.5, 4.0, -1.0}, false},
               {{1.0, 0.5, 4.0, nan}, false},   {{1.0, -0.5, 4.0, 4.0}, false},
               {{1.0, 0.5, 4.0, 4.0}, true},    {{nan, nan, 4.0, 4.0}, true},
               {{-inf, inf, 4.0, inf}, true}};
  for (const auto& c : cases) {
    ZelCategoryMoments intervals[ZelOutlier::kIntervals];
    intervals[2] = c.moments;
    std::string forged;
    ZelStateWriter forgedOut(&forged);
    WritePartCount(&forgedOut, 2);
    WriteDoubles(&forgedOut, kPartFixed, bounds.data(), bounds.size());
    WriteMoments(&forgedOut, intervals, ZelOutlier::kIntervals);
    ZelOutlier target(&settings, 0, 0.0, 1.0, 10.0, 10);
    ZelStateReader forgedIn(forged.data(), forged.size());
    EXPECT_EQ(target.ReadState(&forgedIn), c.read)
        << c.moments.mean << " " << c.moments.m2 << " " << c.moments.frequency << " "
        << c.moments.weight;
  }
  for (std::size_t cut = 0; cut < a.size(); cut += 7) {
    ZelStateReader shortA(a.data(), cut);
    ZelStateReader fullA(a.data(), a.size());
    std::string sink;
    ZelStateWriter sinkOut(&sink);
    EXPECT_FALSE(MergeParts(&shortA, &fullA, &sinkOut, &error)) << cut;
    ZelOutlier target(&settings, 0, 0.0, 1.0, 10.0, 10);
    ZelStateReader shortIn(a.data(), cut);
    EXPECT_FALSE(target.ReadState(&shortIn)) << cut;
  }
}

// Values whose squares pass the largest double make second moments and
// co-moments infinite, one pass or merged, wherever the rows are cut: a run
// that starts with such a value gives no moment that is not a number.
TEST(StateMergeMoments, SquaresPastTheLargestDoubleMergeAsOnePass) {
  ZelSettings settings;
  std::vector<RawRecord> records;
  for (int i = 0; i < 40; ++i) {
    const double x = i == 20 || i == 31 ? 1e200 * (i == 31 ? -1.0 : 1.0) : i % 7;
    records.push_back(MakeRecord({Real(x), Real(i % 5 + 0.5 * x), Str(i % 2 ? "p" : "q")}));
  }
  ZelUnivarStringCat groups(&settings, 2);
  Feed(groups, records, 0, records.size());
  ASSERT_FALSE(groups.Finalize().IsError());
  for (std::size_t cut : {1u, 20u, 21u, 31u}) {
    SCOPED_TRACE(cut);
    auto moments = [&] {
      auto s = std::make_unique<ZelBivarCatTargetCont>(&settings, 0, 2);
      EXPECT_TRUE(s->InitCategories(nullptr, &groups).IsOK());
      return s;
    };
    auto pairs = [&] { return std::make_unique<ZelBivarContCont>(&settings, std::vector<int>{0, 1}); };
    // The statistic over all records and the one installed from two halves.
    auto wholeAndMerged = [&](auto make) {
      auto whole = make(), first = make(), second = make(), installed = make();
      Feed(*whole, records, 0, records.size());
      Feed(*first, records, 0, cut);
      Feed(*second, records, cut, records.size());
      const std::string merged = Merged(StateOf(*first), StateOf(*second));
      ZelStateReader in(merged.data(), merged.size());
      EXPECT_TRUE(installed->ReadState(&in));
      return std::make_pair(std::move(whole), std::move(installed));
    };
    const auto [whole, installed] = wholeAndMerged(moments);
    const auto [wholePairs, installedPairs] = wholeAndMerged(pairs);
    for (const auto* s : {whole.get(), installed.get()}) {
      for (const ZelCategoryMoments& m : s->GetMoments()) EXPECT_EQ(m.m2, HUGE_VAL);
    }
    ASSERT_FALSE(wholePairs->Finalize().IsError());
    ASSERT_FALSE(installedPairs->Finalize().IsError());
    for (const auto* s : {wholePairs.get(), installedPairs.get()}) {
      EXPECT_EQ(s->GetCovariances().GetElem(0, 0), HUGE_VAL);
      EXPECT_EQ(s->GetCovariances().GetElem(1, 0), HUGE_VAL);
    }
  }
}

// Category states written by hand: texts in record order, each with what
// its first record counted, and per stretch (from one text's first record
// to the next's) what each text counted. A state no pass could write is
// refused, installed or merged: a text twice, a stretch that counts a text
// before its first record, a full table that counts past its last text.
TEST(StateMergeTables, CategoryStatesNoPassCouldWriteAreRefused) {
  struct Stretch {
    std::vector<std::pair<uint32_t, int64_t>> items;
  };
  struct Forged {
    const char* what;
    uint64_t limit;
    std::vector<std::string> texts;
    std::vector<Stretch> stretches;
    bool read;
  };
  const std::vector<Forged> cases = {
      {"distinct", 100, {"a", "b"}, {{{{0, 1}}}, {{{1, 1}, {0, 1}}}}, true},
      {"twice", 100, {"a", "a"}, {{{{0, 1}}}, {{{1, 1}, {0, 1}}}}, false},
      {"before its first record", 100, {"a", "b"}, {{{{0, 1}, {1, 1}}}, {{{1, 1}}}}, false},
      {"full", 1, {"a", "b"}, {{{{0, 2}}}, {{{1, 1}}}}, true},
      {"past the full table", 1, {"a", "b"}, {{{{0, 2}}}, {{{1, 1}, {0, 1}}}}, false},
  };
  for (const Forged& forged : cases) {
    SCOPED_TRACE(forged.what);
    std::string bytes;
    ZelStateWriter out(&bytes);
    WritePartCount(&out, 1);
    out.U32(kPartTexts);
    out.U64(1);
    out.I64(0);  // missing
    out.I64(3);  // valid
    out.U64(forged.limit);
    out.U64(forged.texts.size());
    for (const std::string& text : forged.texts) {
      out.Text(text);
      out.I64(1);  // what its first record counted
    }
    for (const Stretch& stretch : forged.stretches) {
      out.U64(stretch.items.size());
      for (const auto& item : stretch.items) {
        out.U32(item.first);
        out.I64(item.second);
      }
    }
    ZelSettings settings;
    settings.screeningThresholdForNominal = static_cast<int>(forged.limit);
    ZelUnivarStringCat target(&settings, 0);
    ZelStateReader in(bytes.data(), bytes.size());
    EXPECT_EQ(target.ReadState(&in), forged.read);
    ZelUnivarStringCat empty(&settings, 0);
    const std::string other = StateOf(empty);
    ZelStateReader a(bytes.data(), bytes.size());
    ZelStateReader b(other.data(), other.size());
    std::string merged;
    ZelStateWriter mergedOut(&merged);
    std::string error;
    EXPECT_EQ(MergeParts(&a, &b, &mergedOut, &error), forged.read) << error;
    if (forged.read) {
      ASSERT_TRUE(target.Finalize().IsOK());
      EXPECT_EQ(target.GetValidCount(), 3);
      EXPECT_EQ(target.GetFrequency("a"), 2);
      EXPECT_EQ(target.GetFrequency("b"), 1);
    }
  }
}

// Co-moments of two halves merged give those of the whole, which two passes
// over the records compute independently: the weighted means of x and of y
// (each moved by its own difference), the co-moment, count and weight.
TEST(StateMergePairs, MergedHalvesGiveTheTwoPassMomentsOfTheWhole) {
  std::vector<double> x, y, f, w;
  for (int i = 0; i < 200; ++i) {
    x.push_back(std::sin(i * 0.3) * 5 + i * 0.01);
    y.push_back(100.0 - std::cos(i * 0.17) * 40 + (i % 7));  // far from x
    f.push_back(1 + i % 3);
    w.push_back(f.back() * (0.5 + (i % 4) * 0.25));
  }
  for (std::size_t half : {1u, 77u, 100u, 199u}) {
    SCOPED_TRACE(half);
    ZelPairMoments first, second;
    for (std::size_t i = 0; i < x.size(); ++i) {
      (i < half ? first : second).Add(x[i], y[i], f[i], w[i]);
    }
    MergePairs(&first, second);
    double weight = 0.0, frequency = 0.0, sumX = 0.0, sumY = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
      weight += w[i];
      frequency += f[i];
      sumX += w[i] * x[i];
      sumY += w[i] * y[i];
    }
    const double meanX = sumX / weight, meanY = sumY / weight;
    double coMoment = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) coMoment += w[i] * (x[i] - meanX) * (y[i] - meanY);
    EXPECT_EQ(first.frequency, frequency);
    EXPECT_NEAR(first.weight, weight, 1e-12 * weight);
    EXPECT_NEAR(first.meanX, meanX, 1e-12 * std::fabs(meanX));
    EXPECT_NEAR(first.meanY, meanY, 1e-12 * std::fabs(meanY));
    EXPECT_NEAR(first.coMoment, coMoment, 1e-11 * std::fabs(coMoment));
  }
}

// The checksum of a state notices any one bit altered, in the words its
// lanes take and in the bytes past them, and bytes added at the end.
TEST(StateChecksum, AnyBitAlteredOrByteAddedChangesIt) {
  std::string bytes;
  for (int i = 0; i < 77; ++i) bytes.push_back(static_cast<char>(i * 37 + 5));
  const uint64_t sum = ZelStatistic::ZelStateChecksum(bytes.data(), bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string altered = bytes;
      altered[i] = static_cast<char>(altered[i] ^ (1 << bit));
      EXPECT_NE(ZelStatistic::ZelStateChecksum(altered.data(), altered.size()), sum) << i;
    }
  }
  std::string longer = bytes + std::string(1, '\0');
  EXPECT_NE(ZelStatistic::ZelStateChecksum(longer.data(), longer.size()), sum);
  EXPECT_NE(ZelStatistic::ZelStateChecksum(bytes.data(), 64),
            ZelStatistic::ZelStateChecksum(bytes.data(), 65));
}

}  // namespace
