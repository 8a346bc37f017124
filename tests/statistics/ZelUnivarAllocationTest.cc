// Counts heap allocations in this test program so that the per-record path
// can be shown to allocate nothing once a field's values are known.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "settings/ZelSettings.h"
#include "statistics/ZelBivarCatTargetCat.h"
#include "statistics/ZelBivarCatTargetCont.h"
#include "statistics/ZelBivarCatTargetContPredictivePower.h"
#include "statistics/ZelBivarContCont.h"
#include "statistics/ZelBivarContTargetCat.h"
#include "statistics/ZelBoxCox.h"
#include "statistics/ZelOutlier.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarContHistogram.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "support/TestHost.h"
#include "transformation/ZelBoxCoxFunctionRule.h"
#include "transformation/ZelMissingValueMappingRule.h"
#include "transformation/ZelOutlierFunctionRule.h"
#include "transformation/ZelUnsupervisedMergeMappingRule.h"

namespace {
std::atomic<long> gAllocations{0};
}  // namespace

// None of these is inlined: inlined into the code that allocates and frees,
// malloc() and free() would look mismatched with the operators they pair with.
__attribute__((noinline)) void* operator new(std::size_t size) {
  ++gAllocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace testhost;

// Allocations made while `records` go through `stat`.
long AllocationsFeeding(ZelStatistic::ZelStatistics& stat, const std::vector<RawRecord>& records) {
  const long before = gAllocations.load();
  for (const RawRecord& r : records) EXPECT_TRUE(stat.AddRecord(r).IsOK());
  return gAllocations.load() - before;
}

TEST(UnivarAllocationTest, KnownValuesAndFullTablesCostNoAllocation) {
  ZelSettings settings;
  settings.frequencyWeightIndex = 1;
  const std::vector<RawRecord> known = {MakeRecord({Real(1), Real(2)}),
                                        MakeRecord({Real(2), Real(1)}),
                                        MakeRecord({Missing(), Real(1)})};
  std::vector<RawRecord> many;
  for (int i = 0; i < 50; ++i) many.push_back(MakeRecord({Real(i), Real(1)}));
  // Long texts: a copied key would need the heap.
  const std::string longText(64, 'x');
  const std::vector<RawRecord> texts = {MakeRecord({Str(longText + "a"), Real(1)}),
                                        MakeRecord({Str(longText + "b"), Real(1)})};

  ZelStatistic::ZelUnivarCont cont(&settings, 0);
  AllocationsFeeding(cont, known);
  EXPECT_EQ(AllocationsFeeding(cont, known), 0);
  ZelStatistic::ZelUnivarCont overflowing(&settings, 0);
  AllocationsFeeding(overflowing, many);
  EXPECT_EQ(AllocationsFeeding(overflowing, many), 0);
  ZelStatistic::ZelUnivarStringCat strings(&settings, 0);
  AllocationsFeeding(strings, texts);
  EXPECT_EQ(AllocationsFeeding(strings, texts), 0);
  cont.Finalize();
  ZelStatistic::ZelUnivarContHistogram histogram(&settings, 0);
  ASSERT_TRUE(histogram.SetUpHistogram(cont).IsOK());
  EXPECT_EQ(AllocationsFeeding(histogram, known), 0);
}

// Against the target: each record is placed by a lookup among the known
// categories and adds to fixed tables, also when its value is not listed.
TEST(UnivarAllocationTest, BivariateRecordsCostNoAllocation) {
  ZelSettings settings;
  settings.frequencyWeightIndex = 3;
  const std::string longText(64, 'c');
  std::vector<RawRecord> records;
  for (int i = 0; i < 40; ++i) {
    records.push_back(MakeRecord({Str(longText + std::to_string(i % 7)), Real(i * 0.5),
                                  Int(i % 3), Real(1 + i % 2)}));
  }
  ZelStatistic::ZelUnivarStringCat text(&settings, 0);
  ZelStatistic::ZelUnivarCont cont(&settings, 1);
  ZelStatistic::ZelUnivarNumericCat target(&settings, 2, true);
  for (ZelStatistic::ZelStatistics* u :
       std::initializer_list<ZelStatistic::ZelStatistics*>{&text, &cont, &target}) {
    AllocationsFeeding(*u, records);
    u->Finalize();
  }
  records.push_back(MakeRecord({Str("unlisted"), Real(1), Int(9), Real(1)}));
  ZelStatistic::ZelBivarCatTargetCat table(&settings, 0, 2, true);
  ASSERT_TRUE(table.InitCategories(&text, &target).IsOK());
  ZelStatistic::ZelBivarCatTargetCont byTarget(&settings, 1, 2);
  ASSERT_TRUE(byTarget.InitCategories(&cont, &target).IsOK());
  ZelStatistic::ZelBivarContTargetCat byInput(&settings, 0, 1);
  ASSERT_TRUE(byInput.InitCategories(&text, &cont).IsOK());
  ZelStatistic::ZelBivarCatTargetContPredictivePower bins(&settings, 1, 2);
  ASSERT_TRUE(bins.InitCategories(&cont, &target).IsOK());
  ZelStatistic::ZelBivarContCont pairs(&settings, {1, 2});
  for (ZelStatistic::ZelStatistics* b : std::initializer_list<ZelStatistic::ZelStatistics*>{
           &table, &byTarget, &byInput, &bins, &pairs}) {
    EXPECT_EQ(AllocationsFeeding(*b, records), 0) << ZelStatistic::GetStatisticTypeName(b->GetType());
  }
  // The unlisted record was skipped: 40 records of weight 1 or 2.
  EXPECT_EQ(table.GetTotalFrequency(), 60.0);
}

// The statistics of the outlier and target steps and the rules their copies
// evaluate in later passes.
TEST(UnivarAllocationTest, OutlierAndTargetStepsCostNoAllocationPerRecord) {
  ZelSettings settings;
  settings.frequencyWeightIndex = 1;
  const std::string longText(64, 'x');
  std::vector<RawRecord> records;
  for (int i = 0; i < 20; ++i) {
    records.push_back(MakeRecord({Real(1 + i * 2.5), Real(2), Str(longText + char('a' + i))}));
  }
  records.push_back(MakeRecord({Missing(), Real(1), Missing()}));
  records.back()[2].SetMissingValue(TorCommon_1_3::kStorageString);
  ZelStatistic::ZelOutlier outlier(&settings, 0, 5.0, 2.0, 40.0, 40);
  EXPECT_EQ(AllocationsFeeding(outlier, records), 0);
  // The grid's summaries keep one table entry each; the first record makes it.
  ZelStatistic::ZelBoxCox boxCox(&settings, 0, -3.0, 3.0, 0.5, 1.0, 1.0, 0.0);
  AllocationsFeeding(boxCox, records);
  EXPECT_EQ(AllocationsFeeding(boxCox, records), 0);

  using namespace ZelTransformation;
  ZelOutlierFunctionRule trim({Step::kOutlierIdentification, Action::kTrimOutliersToExtreme});
  for (double p : {-1.0, 1.0, 10.0, 2.0, 3.0}) trim.AddParameter(p);
  ZelMissingValueMappingRule replace({Step::kHandleMissingValue, 31});
  replace.AddTextParameter(longText + "mode");
  ZelBoxCoxFunctionRule rescale;
  rescale.SetTransform(0.5, 0.0, 2.0, 3.0, 1.0, 0.0);
  for (ZelTransformRule* rule :
       std::initializer_list<ZelTransformRule*>{&trim, &replace, &rescale}) {
    rule->AddInput("field", rule == &replace ? 2 : 0);
    // Output text buffers grow to the longest value first.
    for (const RawRecord& r : records) rule->Apply(r);
    const long before = gAllocations.load();
    for (const RawRecord& r : records) rule->Apply(r);
    EXPECT_EQ(gAllocations.load() - before, 0) << rule->GetPair().action;
  }
}

// A merged field's value is a table lookup into a reused output.
TEST(UnivarAllocationTest, MergedValuesCostNoAllocation) {
  const std::string longText(64, 'm');
  ZelTransformation::ZelUnsupervisedMergeMappingRule merge({9, 35});
  merge.AddInput("s", 0);
  merge.SetTextMapping({{longText + "a", longText + "0"}, {longText + "b", longText + "1"}});
  const std::vector<RawRecord> records = {MakeRecord({Str(longText + "a")}),
                                          MakeRecord({Str(longText + "b")}),
                                          MakeRecord({Str("unseen")}), MakeRecord({Missing()})};
  for (const RawRecord& r : records) merge.Apply(r);
  std::size_t length = 0;
  const long before = gAllocations.load();
  for (const RawRecord& r : records) length += merge.Apply(r).GetString().size();
  EXPECT_EQ(gAllocations.load() - before, 0);
  EXPECT_EQ(length, 2 * longText.size() + 2);
}

}  // namespace
