// The document readers' view of the table of steps and actions against the
// component's: every reason key the summary writes names, for the readers,
// the same action of the same step, an exclusion exactly where the summary
// lists one, and the words users read; keys the table lacks name nothing.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "apply/ActionWords.h"
#include "pmml/ZelSummaryVocabulary.h"

namespace {

TEST(ActionWordsTest, EveryKeyTheSummaryWritesNamesTheSameActionForItsReaders) {
  int keys = 0, exclusions = 0, derivations = 0;
  // One past the table: the summary writes no key there and the readers
  // know none.
  for (uint32_t action = 0; action <= ZelTransformation::Action::kCount; ++action) {
    SCOPED_TRACE(testing::Message() << "action " << action);
    const std::string key = ZelSummary::GetReasonKey(static_cast<int>(action));
    const zelapply::ActionEntry* entry = zelapply::FindAction(key);
    if (key.empty()) {
      EXPECT_EQ(entry, nullptr);
      EXPECT_EQ(zelapply::ActionOf(key), zelapply::Action::kCount);
      continue;
    }
    ++keys;
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->action, action);
    EXPECT_EQ(zelapply::ActionOf(key), action);
    EXPECT_EQ(entry->step, ZelTransformation::FindAction(action)->step);
    const bool listed = ZelSummary::IsListedExclusion(static_cast<int>(action));
    EXPECT_EQ(zelapply::ExclusionReasonText(key) != nullptr, listed);
    // Every exclusion the summary lists is worded; derived fields may be
    // worded from their expressions instead.
    if (zelapply::DerivationText(key) != nullptr) {
      EXPECT_TRUE(ZelSummary::IsCountedDerivation(static_cast<int>(action)));
      ++derivations;
    }
    exclusions += listed ? 1 : 0;
  }
  // 57 actions; five have no key.
  EXPECT_EQ(keys, 52);
  EXPECT_EQ(exclusions, 11);
  // Merges, binning and missing values are worded from their expressions.
  EXPECT_EQ(derivations, 29);
}

TEST(ActionWordsTest, KeysAreMatchedWholeAndWordedAsUsersReadThem) {
  EXPECT_STREQ(zelapply::ExclusionReasonText("ScreenFeatureWithTooManyCasesInSingleCat"),
               "too many records in one category");
  EXPECT_STREQ(zelapply::ExclusionReasonText("ExcludeCoverdFeature"),
               "covered by a constructed feature");
  EXPECT_STREQ(zelapply::ExclusionReasonText("ExcludeConstantAfterOutlier"),
               "constant after outlier handling");
  EXPECT_EQ(zelapply::DerivationText("ExcludeCoverdFeature"), nullptr);
  EXPECT_STREQ(zelapply::DerivationText("TransformZscore"), "rescaled (z-score)");
  EXPECT_STREQ(zelapply::DerivationText("DeriveSeconds"), "seconds since the reference time");
  EXPECT_EQ(zelapply::ExclusionReasonText("TransformZscore"), nullptr);
  EXPECT_EQ(zelapply::DerivationText("BinValues"), nullptr);
  EXPECT_EQ(zelapply::DerivationText("ReplaceMissingScaleFeature"), nullptr);

  // The step and category a reader sorts by.
  const zelapply::ActionEntry* replaced = zelapply::FindAction("ReplaceMissing");
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(replaced->step, zelapply::Step::kHandleMissingValue);
  EXPECT_EQ(replaced->category, zelapply::Category::kDerivation);
  const zelapply::ActionEntry* hours = zelapply::FindAction("DeriveHours");
  ASSERT_NE(hours, nullptr);
  EXPECT_EQ(hours->step, zelapply::Step::kDateTimeHandle);
  EXPECT_EQ(zelapply::FindAction("0000000000000")->category, zelapply::Category::kUnreported);

  // No prefix, case or blank makes another key.
  for (const char* odd : {"", "Derive", "ReplaceMissingX", "transformZscore", "TransformZscore ",
                          "Construct\n", "UnKnown_Action", "ZscoreContFeature"}) {
    EXPECT_EQ(zelapply::FindAction(odd), nullptr) << odd;
    EXPECT_EQ(zelapply::ActionOf(odd), zelapply::Action::kCount) << odd;
  }
  EXPECT_EQ(zelapply::ActionOf(std::string("Construct\0x", 11)), zelapply::Action::kCount);
}

}  // namespace

namespace {

// Every treatment row names an action of its step (or the whole step), and
// the readers find each action's line by its reason key.
TEST(ActionWordsTest, TreatmentsNameActionsOfTheirStepsAndAreFoundByKey) {
  std::vector<std::string> lines;
  for (const zelapply::TreatmentWords& row : zelapply::Treatments()) {
    ASSERT_NE(row.summaryLine, nullptr);
    if (row.action != zelapply::Action::kUnknown) {
      EXPECT_EQ(ZelTransformation::FindAction(row.action)->step, row.step) << row.summaryLine;
    }
    if (lines.empty() || lines.back() != row.summaryLine) lines.push_back(row.summaryLine);
  }
  // Rows of one line stand together, so the lines print in the rows' order.
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size());

  const zelapply::TreatmentWords* trimmed = zelapply::TreatmentOf("OutlierTrim2ExtremeValue");
  ASSERT_NE(trimmed, nullptr);
  EXPECT_STREQ(trimmed->summaryLine, "outliers trimmed to the cutoff");
  EXPECT_FALSE(trimmed->countsValues);
  // Every action of the missing-value step counts its values on one line.
  for (const char* key : {"ReplaceMissing", "ReplaceMissingScaleFeature",
                          "ReplaceMissingNominalTarget"}) {
    const zelapply::TreatmentWords* replaced = zelapply::TreatmentOf(key);
    ASSERT_NE(replaced, nullptr) << key;
    EXPECT_STREQ(replaced->summaryLine, "missing values replaced");
    EXPECT_TRUE(replaced->countsValues);
  }
  for (const char* key : {"DeriveWeekday", "DeriveMonthCategory", "DeriveHourCategory"}) {
    ASSERT_NE(zelapply::TreatmentOf(key), nullptr) << key;
    EXPECT_STREQ(zelapply::TreatmentOf(key)->summaryLine, "calendar parts as categories");
  }
  const zelapply::TreatmentWords* skew = zelapply::TreatmentOf("TransformSkewness");
  ASSERT_NE(skew, nullptr);
  ASSERT_NE(skew->parameterWords, nullptr);
  EXPECT_EQ(skew->parameterWords({"0.5", "-2"}), "Box-Cox, exponent 0.5");
  EXPECT_EQ(skew->parameterWords({"signedLog"}), "signed log");
  EXPECT_STREQ(skew->stepWords, "skewness reduced");
  // Actions that change no values in place have no line.
  for (const char* key : {"TransformZscore", "BinValues", "", "OutlierTrim2ExtremeValueX"}) {
    EXPECT_EQ(zelapply::TreatmentOf(key), nullptr) << key;
  }
}

}  // namespace
