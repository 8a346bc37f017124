// End-to-end builds of category merging: by frequency without a target, and
// by association with a categorical or continuous target, with the merged
// fields' tables checked against groups worked out by hand and against a
// plain greedy search that retests every pair each round.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelPValueCatFeature.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "transformation/TransformTestUtil.h"
#include "transformation/ZelCategoryMappingRule.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace transformtest;
using ZelTransformation::ZelCategoryMappingRule;

TorSettings MergeSettings(bool supervised) {
  TorSettings settings = FieldsAsGiven();
  settings.SetBool(supervised ? "supervisedMerging" : "unsupervisedMergeNominal", true);
  if (!supervised) settings.SetBool("unsupervisedMergeOrdinal", true);
  return settings;
}

// The merged field made from field `source`, or null.
const ZelVariableHandleInfo* MergedFrom(const ZelVariableHandleList& fields, int source) {
  for (int i = 0; i < fields.Count(); ++i) {
    const auto* rule = dynamic_cast<const ZelCategoryMappingRule*>(fields.GetHandle(i)->GetRule());
    if (rule != nullptr && rule->GetSourceIndex() == source) return fields.GetHandle(i);
  }
  return nullptr;
}

const ZelCategoryMappingRule& RuleOf(const ZelVariableHandleInfo* field) {
  return dynamic_cast<const ZelCategoryMappingRule&>(*field->GetRule());
}

std::map<std::string, int64_t> TextCounts(const ZelVariableHandleInfo* field) {
  return dynamic_cast<const ZelStatistic::ZelUnivarStringCat&>(*field->GetUnivariate())
      .GetFrequencies();
}

std::map<double, int64_t> NumberCounts(const ZelVariableHandleInfo* field) {
  return dynamic_cast<const ZelStatistic::ZelUnivarNumericCat&>(*field->GetUnivariate())
      .GetSummary()
      .GetFrequencies();
}

// Rows of one column per field, field i taking category c_ij counts_ij times;
// fields with fewer records are padded with missing values.
Rows Columns(const std::vector<std::vector<std::pair<Cell, int>>>& fields) {
  std::vector<std::vector<Cell>> columns;
  std::size_t longest = 0;
  for (const auto& field : fields) {
    columns.emplace_back();
    for (const auto& [cell, count] : field) columns.back().insert(columns.back().end(), count, cell);
    longest = std::max(longest, columns.back().size());
  }
  Rows rows(longest);
  for (std::size_t r = 0; r < longest; ++r) {
    for (const auto& column : columns) rows[r].push_back(r < column.size() ? column[r] : Missing());
  }
  return rows;
}

// 100 valid records per field and the default share of 10 %: a minimum of 10.
TEST(UnsupervisedMergeBuildTest, RarestNominalCategoriesAndNeighbouringOrdinalOnesMerge) {
  TorVarList vars;
  vars.AddVariable(NominalField("letters", true));
  vars.AddVariable(NominalField("codes", false));
  for (const char* name : {"late", "tail2", "tail1", "even"}) vars.AddVariable(OrdinalField(name));
  const Rows rows = Columns({
      {{Str("a"), 50}, {Str("b"), 30}, {Str("c"), 10}, {Str("d"), 6}, {Str("e"), 4}},
      {{Int(7), 90}, {Int(1), 4}, {Int(2), 3}, {Int(3), 3}},
      {{Int(1), 40}, {Int(2), 3}, {Int(3), 3}, {Int(4), 54}},  // 10 is reached only at 4
      {{Int(1), 45}, {Int(2), 46}, {Int(3), 5}, {Int(4), 4}},  // a tail of 9 after two groups
      {{Int(1), 91}, {Int(2), 5}, {Int(3), 4}},                // a tail of 9 after one group
      {{Int(1), 25}, {Int(2), 25}, {Int(3), 25}, {Int(4), 25}},
  });
  Build build;
  const ZelVariableHandleList& fields = RunRows(build, vars, rows, MergeSettings(false));

  // e 4 + d 6 reach exactly 10; c, b and a each reach it alone.
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(0), 9, 35));
  const ZelVariableHandleInfo* letters = MergedFrom(fields, 0);
  ASSERT_NE(letters, nullptr);
  EXPECT_EQ(letters->GetName(), "letters_transformed");
  EXPECT_EQ(RuleOf(letters).GetMappingKind(), 3);
  EXPECT_EQ(RuleOf(letters).GetTextMapping(),
            (std::map<std::string, std::string>{
                {"a", "3"}, {"b", "2"}, {"c", "1"}, {"d", "0"}, {"e", "0"}}));
  EXPECT_EQ(TextCounts(letters),
            (std::map<std::string, int64_t>{{"0", 10}, {"1", 10}, {"2", 30}, {"3", 50}}));
  // 3, 3 and 4 reach 10 together, then 90 alone.
  const ZelVariableHandleInfo* codes = MergedFrom(fields, 1);
  ASSERT_NE(codes, nullptr);
  EXPECT_EQ(RuleOf(codes).GetNumericMapping(),
            (std::map<double, double>{{1, 0}, {2, 0}, {3, 0}, {7, 1}}));
  EXPECT_EQ(NumberCounts(codes), (std::map<double, int64_t>{{0, 10}, {1, 90}}));

  using Table = std::map<double, double>;
  const Table ordinal[] = {{{1, 0}, {2, 1}, {3, 1}, {4, 1}},
                           {{1, 0}, {2, 1}, {3, 1}, {4, 1}},
                           {{1, 0}, {2, 1}, {3, 1}}};
  for (int i = 0; i < 3; ++i) {
    const ZelVariableHandleInfo* merged = MergedFrom(fields, 2 + i);
    ASSERT_NE(merged, nullptr) << i;
    EXPECT_TRUE(merged->IsOrdinal());
    EXPECT_EQ(RuleOf(merged).GetNumericMapping(), ordinal[i]) << i;
  }
  // Every category reaches the minimum alone: nothing to merge.
  EXPECT_EQ(MergedFrom(fields, 5), nullptr);
  EXPECT_FALSE(fields.GetHandle(5)->IsExcluded());

  // Unseen categories take the default label; missing stays missing.
  auto& text = const_cast<ZelCategoryMappingRule&>(RuleOf(letters));
  EXPECT_EQ(text.Apply(MakeRecord({Str("z")})).GetString(), "");
  EXPECT_TRUE(text.Apply(MakeRecord({Missing()})).IsMissing());
  const RawData& unseen =
      const_cast<ZelCategoryMappingRule&>(RuleOf(codes)).Apply(MakeRecord({Missing(), Int(99)}));
  EXPECT_EQ(unseen.GetStorage(), kStorageInteger);
  EXPECT_EQ(unseen.GetInteger(), 0);
}

// Categorical target yes/no. Input categories A and C answer yes 24 times in
// 30, B 6 times in 30; D occurs only where the target is missing.
Rows AlikeAndDifferentRows() {
  Rows rows;
  for (int k = 0; k < 90; ++k) {
    const int category = k / 30;
    const bool yes = k % 30 < (category == 1 ? 6 : 24);
    const std::string letter(1, static_cast<char>('A' + category));
    // gap: A and C are 1, B splits evenly into 3 and 4.
    const int gap = category == 1 ? 3 + k % 2 : 1;
    rows.push_back({Str(yes ? "yes" : "no"), Str(letter), Int(category + 1), Int(gap)});
  }
  for (int k = 0; k < 5; ++k) rows.push_back({Missing(), Str("D"), Missing(), Int(2)});
  return rows;
}

TEST(SupervisedMergeBuildTest, CategoricalTargetMergesAlikeCategoriesOnlyWhereAllowed) {
  TorVarList vars;
  vars.AddVariable(NominalField("answer", true, kRoleTarget));
  vars.AddVariable(NominalField("letter", true));
  vars.AddVariable(OrdinalField("rank"));
  vars.AddVariable(OrdinalField("gap"));
  Build build;
  const ZelVariableHandleList& fields =
      RunRows(build, vars, AlikeAndDifferentRows(), MergeSettings(true));

  // Nominal: A and C merge; B stays apart. Groups are numbered by size, and
  // D, without target information, joins the smallest.
  const ZelVariableHandleInfo* letter = MergedFrom(fields, 1);
  ASSERT_NE(letter, nullptr);
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(1), 9, 38));
  EXPECT_EQ(RuleOf(letter).GetMappingKind(), 2);
  EXPECT_EQ(RuleOf(letter).GetTextMapping(),
            (std::map<std::string, std::string>{{"A", "1"}, {"B", "0"}, {"C", "1"}, {"D", "0"}}));
  EXPECT_EQ(TextCounts(letter), (std::map<std::string, int64_t>{{"0", 35}, {"1", 60}}));

  // Ordinal 1, 2, 3 with the same answers: 1 and 3 are no neighbours.
  EXPECT_EQ(MergedFrom(fields, 2), nullptr);
  EXPECT_FALSE(fields.GetHandle(2)->IsExcluded());

  // 3 and 4 answer alike and merge; 2 has no target information and goes
  // with the next larger category.
  const ZelVariableHandleInfo* gap = MergedFrom(fields, 3);
  ASSERT_NE(gap, nullptr);
  EXPECT_TRUE(gap->IsOrdinal());
  EXPECT_EQ(RuleOf(gap).GetNumericMapping(),
            (std::map<double, double>{{1, 0}, {2, 1}, {3, 1}, {4, 1}}));
  EXPECT_EQ(NumberCounts(gap), (std::map<double, int64_t>{{0, 60}, {1, 35}}));
}

// The table of the two tests below: a continuous target y against rank,
// letter and half (see the first test).
Rows TiedTable(TorVarList* vars) {
  vars->AddVariable(ContField("y", kStorageReal, kRoleTarget));
  vars->AddVariable(OrdinalField("rank"));
  vars->AddVariable(NominalField("letter", true));
  vars->AddVariable(NominalField("half", false));
  Rows rows;
  for (int category = 0; category < 3; ++category) {
    for (int k = 0; k < 4; ++k) {
      const double y = 4.0 * category + (k % 2 ? 3.0 : -3.0);
      rows.push_back(
          {Real(y), Int(category + 1), Str(std::string(1, 'A' + category)), Int(k / 2)});
    }
  }
  return rows;
}

// Continuous target; per input category the target values are A −3, 3, −3,
// 3; B 1, 7, 1, 7; C 5, 11, 5, 11, all moments exact. A–B and B–C test alike
// to the last bit (F = 8/3 on 1 and 6 degrees of freedom, p about 0.15), so
// the pair met first, A–B, merges; {A, B} against C then gives F = 6.86 on 1
// and 10 (p about 0.026): the search stops. Had B–C merged first, the groups
// would be {A}, {B, C}. half splits every category's values alike: its two
// categories merge into one, and the merged field is screened out.
TEST(SupervisedMergeBuildTest, ContinuousTargetTiesGoToThePairMetFirst) {
  TorVarList vars;
  const Rows rows = TiedTable(&vars);
  Build build;
  const ZelVariableHandleList& fields = RunRows(build, vars, rows, MergeSettings(true));
  const ZelVariableHandleInfo* rank = MergedFrom(fields, 1);
  ASSERT_NE(rank, nullptr);
  EXPECT_EQ(RuleOf(rank).GetNumericMapping(), (std::map<double, double>{{1, 0}, {2, 0}, {3, 1}}));
  // Nominal: A–C differ most; the same tie decides. C is the smaller group.
  const ZelVariableHandleInfo* letter = MergedFrom(fields, 2);
  ASSERT_NE(letter, nullptr);
  EXPECT_EQ(RuleOf(letter).GetTextMapping(),
            (std::map<std::string, std::string>{{"A", "1"}, {"B", "1"}, {"C", "0"}}));
  EXPECT_FALSE(letter->IsExcluded());

  const ZelVariableHandleInfo* half = MergedFrom(fields, 3);
  ASSERT_NE(half, nullptr);
  EXPECT_EQ(RuleOf(half).GetNumericMapping(), (std::map<double, double>{{0, 0}, {1, 0}}));
  EXPECT_TRUE(ExcludedBy(half, 9, 48));
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(3), 9, 38));
}

// The same table with "supervisedMergingKeepUnrelated": half, whose two
// categories would become one, stays as it is; rank and letter, merged into
// two groups each, merge as before.
TEST(SupervisedMergeBuildTest, KeepUnrelatedLeavesOnlyAFieldThatWouldBecomeOneCategory) {
  TorVarList vars;
  const Rows rows = TiedTable(&vars);
  TorSettings settings = MergeSettings(true);
  settings.SetBool("supervisedMergingKeepUnrelated", true);
  Build build;
  const ZelVariableHandleList& fields = RunRows(build, vars, rows, settings);
  const ZelVariableHandleInfo* rank = MergedFrom(fields, 1);
  ASSERT_NE(rank, nullptr);
  EXPECT_EQ(RuleOf(rank).GetNumericMapping(), (std::map<double, double>{{1, 0}, {2, 0}, {3, 1}}));
  const ZelVariableHandleInfo* letter = MergedFrom(fields, 2);
  ASSERT_NE(letter, nullptr);
  EXPECT_EQ(RuleOf(letter).GetTextMapping(),
            (std::map<std::string, std::string>{{"A", "1"}, {"B", "1"}, {"C", "0"}}));

  EXPECT_EQ(MergedFrom(fields, 3), nullptr);
  EXPECT_FALSE(fields.GetHandle(3)->IsExcluded());
  EXPECT_EQ(NumberCounts(fields.GetHandle(3)), (std::map<double, int64_t>{{0, 6}, {1, 6}}));
}

// With a categorical target: 15 speakers who each say the 11 vowels three
// times (every pair of speakers tests at p = 1) merge into one category,
// which is screened out, unless the key keeps them as they are. The
// microphone, 0 for the first vowel and 1 or 2 by the speaker's parity
// otherwise, merges 1 and 2 (alike to the bit) into two groups either way.
TEST(SupervisedMergeBuildTest, KeepUnrelatedKeepsABalancedDesignFactor) {
  for (bool keep : {false, true}) {
    SCOPED_TRACE(keep ? "kept" : "merged");
    TorVarList vars;
    vars.AddVariable(NominalField("vowel", true, kRoleTarget));
    vars.AddVariable(NominalField("speaker", false));
    vars.AddVariable(NominalField("mic", false));
    Rows rows;
    for (int speaker = 0; speaker < 15; ++speaker) {
      for (int vowel = 0; vowel < 11; ++vowel) {
        for (int k = 0; k < 3; ++k) {
          rows.push_back({Str(std::string(1, 'a' + vowel)), Int(speaker),
                          Int(vowel == 0 ? 0 : 1 + speaker % 2)});
        }
      }
    }
    TorSettings settings = MergeSettings(true);
    if (keep) settings.SetBool("supervisedMergingKeepUnrelated", true);
    Build build;
    const ZelVariableHandleList& fields = RunRows(build, vars, rows, settings);
    const ZelVariableHandleInfo* speaker = MergedFrom(fields, 1);
    if (keep) {
      EXPECT_EQ(speaker, nullptr);
      EXPECT_FALSE(fields.GetHandle(1)->IsExcluded());
      EXPECT_EQ(NumberCounts(fields.GetHandle(1)).size(), 15u);
    } else {
      ASSERT_NE(speaker, nullptr);
      EXPECT_EQ(NumberCounts(speaker), (std::map<double, int64_t>{{0, 495}}));
      EXPECT_TRUE(ExcludedBy(speaker, 9, 48));
    }
    const ZelVariableHandleInfo* mic = MergedFrom(fields, 2);
    ASSERT_NE(mic, nullptr);
    EXPECT_TRUE(ExcludedBy(fields.GetHandle(2), 9, 38));
    EXPECT_FALSE(mic->IsExcluded());
    const std::map<double, double> mapping = RuleOf(mic).GetNumericMapping();
    EXPECT_EQ(mapping.at(1), mapping.at(2));
    EXPECT_NE(mapping.at(0), mapping.at(1));
  }
}

// Continuous target over the ordinal categories 1: −2, 2; 2: 8, 12; 3: 1, 3
// four times; 4: 99, 101 twice. Round one: 1–2 give F = 100 / (16 / 2) =
// 12.5 on 1 and 2 degrees of freedom (p 0.072), 2–3 and 3–4 far less, so 1
// and 2 merge. Their pooled group has mean 5 and second moment 8 + 8 + 2 ×
// 25 + 2 × 25 = 116, the last two terms from the distance between the two
// means. Round two: {1, 2} against 3 (mean 2, second moment 8) gives B = 4 ×
// 2² + 8 × 1² = 24 and F = 24 / (124 / 10) = 1.94 on 1 and 10 (p 0.19): 3
// joins. Without the distance terms F would be 24 / (24 / 10) = 10 (p
// 0.010) and 3 would stay apart. 4 differs from everything.
TEST(SupervisedMergeBuildTest, ContinuousTargetPoolsTheSpreadBetweenMergedGroups) {
  TorVarList vars;
  vars.AddVariable(ContField("y", kStorageReal, kRoleTarget));
  vars.AddVariable(OrdinalField("rank"));
  Rows rows;
  const std::pair<int, std::vector<double>> categories[] = {
      {1, {-2, 2}}, {2, {8, 12}}, {3, {1, 3, 1, 3, 1, 3, 1, 3}}, {4, {99, 101, 99, 101}}};
  for (const auto& [rank, ys] : categories) {
    for (double y : ys) rows.push_back({Real(y), Int(rank)});
  }
  Build build;
  const ZelVariableHandleList& fields = RunRows(build, vars, rows, MergeSettings(true));
  const ZelVariableHandleInfo* rank = MergedFrom(fields, 1);
  ASSERT_NE(rank, nullptr);
  EXPECT_EQ(RuleOf(rank).GetNumericMapping(),
            (std::map<double, double>{{1, 0}, {2, 0}, {3, 0}, {4, 1}}));
  EXPECT_EQ(NumberCounts(rank), (std::map<double, int64_t>{{0, 12}, {1, 4}}));
}

// The plain greedy search: every round, every candidate pair is tested and
// the first largest p-value above 0.05 merges. Returns the groups.
std::vector<std::set<int>> PlainGreedy(const std::vector<std::vector<double>>& rows, bool ordinal) {
  std::vector<std::pair<std::set<int>, std::vector<double>>> groups;  // members, counts
  for (std::size_t i = 0; i < rows.size(); ++i) groups.push_back({{static_cast<int>(i)}, rows[i]});
  const int columns = static_cast<int>(rows[0].size());
  ZelStatistic::ZelPValueCatFeature test;
  for (;;) {
    std::sort(groups.begin(), groups.end(),
              [](const auto& a, const auto& b) { return *a.first.rbegin() < *b.first.rbegin(); });
    double best = -1.0;
    std::size_t x = 0, y = 0;
    for (std::size_t a = 0; a < groups.size(); ++a) {
      for (std::size_t b = a + 1; b < groups.size() && (!ordinal || b == a + 1); ++b) {
        ZelStatistic::ZelContingencyTable table(2, columns);
        for (int j = 0; j < columns; ++j) {
          table.Set(0, j, groups[a].second[j]);
          table.Set(1, j, groups[b].second[j]);
        }
        const double p = test.PValueCatTarget(table, false);
        if (p > best) best = p, x = a, y = b;
      }
    }
    if (!(best > 0.05)) break;
    for (int j = 0; j < columns; ++j) groups[x].second[j] += groups[y].second[j];
    groups[x].first.insert(groups[y].first.begin(), groups[y].first.end());
    groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(y));
  }
  std::vector<std::set<int>> result;
  for (const auto& group : groups) result.push_back(group.first);
  std::sort(result.begin(), result.end());
  return result;
}

// Twenty-four categories drawn from four answer patterns: many merges, so
// that the tests kept from earlier rounds must stand for the retests.
TEST(SupervisedMergeBuildTest, SearchAgreesWithPlainGreedy) {
  const std::vector<std::vector<int>> patterns = {{9, 1, 2}, {2, 8, 2}, {5, 5, 2}, {6, 3, 3}};
  std::vector<std::vector<double>> counts;
  Rows rows;
  for (int category = 0; category < 24; ++category) {
    const std::vector<int>& pattern = patterns[(category * 7 + category / 5) % 4];
    counts.emplace_back(pattern.begin(), pattern.end());
    for (int answer = 0; answer < 3; ++answer) {
      for (int n = 0; n < pattern[answer]; ++n) {
        rows.push_back({Int(answer), Int(category), Int(category)});
      }
    }
  }
  TorVarList vars;
  vars.AddVariable(NominalField("answer", false, kRoleTarget));
  vars.AddVariable(NominalField("nominal", false));
  vars.AddVariable(OrdinalField("ordinal"));
  // An ordinal field keeps this many categories in its univariate table;
  // the two thresholds are set as a pair.
  TorSettings settings = MergeSettings(true);
  settings.SetInt("scaleToOrdinalValuesNumThreshold", 5);
  settings.SetInt("ordinalToScaleCategoriesNumThreshold", 30);
  Build build;
  const ZelVariableHandleList& fields = RunRows(build, vars, rows, settings);
  for (int input : {1, 2}) {
    SCOPED_TRACE(input);
    const ZelVariableHandleInfo* merged = MergedFrom(fields, input);
    ASSERT_NE(merged, nullptr);
    std::map<double, std::set<int>> byLabel;
    for (const auto& [from, to] : RuleOf(merged).GetNumericMapping()) {
      byLabel[to].insert(static_cast<int>(from));
    }
    std::vector<std::set<int>> groups;
    for (const auto& entry : byLabel) groups.push_back(entry.second);
    std::sort(groups.begin(), groups.end());
    EXPECT_EQ(groups, PlainGreedy(counts, input == 2));
  }
}

}  // namespace
