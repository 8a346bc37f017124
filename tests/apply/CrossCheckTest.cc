// The values the engine computes from a written document must equal the
// values the component's own rules computed during the build, for every
// derived field on every record the build used: whole numbers and texts
// exactly, reals within 1e-12 relative (the document carries its constants
// with 15 significant digits). The harness runs generated data sets through
// the library; each entry of kCases is one data set with the settings of
// its build, and each preparation step adds the entries that exercise its
// actions.
#include <gtest/gtest.h>

#include <set>

#include "apply/CrossCheck.h"
#include "transformation/ZelBoxCoxFunctionRule.h"
#include "transformation/ZelReorderFunctionRule.h"
#include "transformation/ZelSupervisedBinningDiscretizationRule.h"

namespace crosscheck {
namespace {

// Heavy-tailed inputs, one stored as whole numbers, and one constant apart
// from its tails, whose outlier copy is excluded as constant; both weights
// are fields, used as weights only when asked.
Case Outliers(const char* name, bool toMissing, bool analysisWeight, bool frequencyWeight) {
  return {name,
          [frequencyWeight](TorVarList* vars) {
            vars->AddVariable(testhost::ContField("x"));
            vars->AddVariable(testhost::ContField("n", kStorageInteger));
            vars->AddVariable(testhost::ContField("flat"));
            vars->AddVariable(testhost::ContField("count"));
            vars->AddVariable(testhost::ContField("importance"));
            if (frequencyWeight) vars->SetFrequencyWeightIndex(3);
          },
          [](int, std::mt19937_64& r) {
            const bool tail = Chance(r, 0.03);
            return std::vector<RawData>{
                Chance(r, 0.05) ? Missing(kStorageReal)
                                : Real(tail ? Uniform(r, -400, 600) : Normal(r, 50, 10)),
                Chance(r, 0.05) ? Missing(kStorageInteger)
                                : Int(tail ? Between(r, 200, 900) : Between(r, 0, 20)),
                Real(Chance(r, 0.03) ? Uniform(r, 100, 200) : 5.0), Real(Uniform(r, 0.6, 3.4)),
                // Large weights narrow the band a lot: half-width / sqrt(a).
                Real(Chance(r, 0.2) ? Uniform(r, 4, 16) : Uniform(r, 0.2, 2))};
          },
          400,
          [toMissing, analysisWeight] {
            TorSettings s = With({"detectFeatureOutliers", "replaceScaleFeaturesMissingValue"});
            s.SetString("outliersOperation", toMissing ? "setToMissingVal" : "coerceToCutoffVal");
            if (analysisWeight) s.SetString("analysisWeight", "importance");
            return s;
          },
          {toMissing ? 46u : 45u, 30},
          [](const ZelVariableHandleList& fields) {
            int constant = 0;
            for (uint32_t action : {45u, 46u}) {
              for (const ZelVariableHandleInfo* field : DerivedBy(fields, action)) {
                constant += field->GetExcludedReason().action == 47;
              }
            }
            EXPECT_EQ(constant, 1) << "outlier copies excluded as constant";
          }};
}

TorSettings DatesAndTimes() {
  TorSettings s = testhost::EarlyStepsOnly();
  for (const char* key :
       {"extractYearFromDate", "extractMonthFromDate", "extractDayFromDate", "extractHourFromTime",
        "extractMinuteFromTime", "extractSecondFromTime"}) {
    s.SetBool(key, true);
  }
  s.SetDouble("referenceDateForDurations", 19723.0);
  s.SetDouble("referenceTimeForDurations", 43200.0);
  return s;
}

const Case kCases[] = {
    {"text, dates and times",
     [](TorVarList* vars) {
       vars->AddVariable(testhost::NominalField("words", true));
       vars->AddVariable(testhost::NominalField("codes", true));  // never padded
       vars->AddVariable(testhost::ContField("day", kStorageDate));
       vars->AddVariable(testhost::ContField("clock", kStorageTime));
       vars->AddVariable(testhost::ContField("x"));
     },
     [](int i, std::mt19937_64& r) {
       static const char* const kWords[] = {"alpha", " beta", "gamma \t", "  ", "", "de lta  "};
       return std::vector<RawData>{
           Chance(r, 0.1) ? Missing(kStorageString) : Text(kWords[Between(r, 0, 5)]),
           Text("c" + std::to_string(i % 7)),
           // Fractional and negative day numbers; parts count from the day
           // truncated toward zero.
           Chance(r, 0.05) ? Missing(kStorageDate) : Real(Uniform(r, -40000, 30000), kStorageDate),
           Chance(r, 0.05) ? Missing(kStorageTime) : Real(Uniform(r, -3600, 90000), kStorageTime),
           Real(Uniform(r, 0, 1))};
     },
     400,
     DatesAndTimes,
     {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
    {"recasts both ways",
     [](TorVarList* vars) {
       vars->AddVariable(testhost::ContField("few", kStorageInteger));
       vars->AddVariable(testhost::ContField("fewReal"));
       vars->AddVariable(testhost::OrdinalField("many"));
       vars->AddVariable(testhost::ContField("x"));
     },
     [](int, std::mt19937_64& r) {
       return std::vector<RawData>{
           Chance(r, 0.1) ? Missing(kStorageInteger) : Int(Between(r, 1, 4)),
           Real(0.5 * static_cast<double>(Between(r, 0, 2))),
           Chance(r, 0.1) ? Missing(kStorageInteger) : Int(Between(r, 1, 14)),
           Real(Uniform(r, 0, 1))};
     },
     300,
     testhost::EarlyStepsOnly,
     {23, 24}},
    {"user-missing values and weights",
     [](TorVarList* vars) {
       ITorVariable* level = testhost::ContField("level", kStorageInteger);
       level->GetEncoder()->SetMissingRange(-10, -1);
       level->GetEncoder()->AddMissingValue(99);
       vars->AddVariable(level);
       ITorVariable* note = testhost::NominalField("note", true);
       note->GetEncoder()->AddMissingString("n/a ");
       note->GetEncoder()->AddMissingString("say \"no\" \\ ");
       vars->AddVariable(note);
       vars->AddVariable(testhost::ContField("count", kStorageReal));
       vars->AddVariable(testhost::ContField("importance"));
       vars->AddVariable(testhost::ContField("x"));
       vars->SetFrequencyWeightIndex(2);
     },
     [](int, std::mt19937_64& r) {
       static const char* const kNotes[] = {"ok ", "n/a ", "say \"no\" \\ ", "say \"no\" \\",
                                            "fine"};
       const int64_t level = Between(r, 0, 5);
       return std::vector<RawData>{
           Int(level == 0   ? -5
               : level == 5 ? 99
                            : level),
           Text(kNotes[Between(r, 0, 4)]),
           // Weights that are missing or not positive drop the record.
           Chance(r, 0.05) ? Missing(kStorageReal) : Real(Uniform(r, -0.4, 3.4)),
           Chance(r, 0.05) ? Real(0.0) : Real(Uniform(r, 0.5, 2)), Real(Uniform(r, 0, 1))};
     },
     300,
     [] {
       TorSettings s = testhost::EarlyStepsOnly();
       s.SetString("analysisWeight", "importance");
       return s;
     },
     {1, 24}},
    Outliers("outliers trimmed, both weights", false, true, true),
    Outliers("outliers trimmed, unweighted", false, false, false),
    Outliers("outliers set to missing, analysis weight", true, true, false),
    Outliers("outliers set to missing, frequency weight", true, false, true),
    {"missing values of inputs",
     [](TorVarList* vars) {
       // User-missing values with more digits than the document writes.
       ITorVariable* x = testhost::ContField("x");
       x->GetEncoder()->AddMissingValue(1.0 / 3);
       x->GetEncoder()->SetMissingRange(2.0 / 3, 0.7);
       vars->AddVariable(x);
       ITorVariable* whole = testhost::ContField("whole", kStorageInteger);
       whole->GetEncoder()->AddMissingValue(-99);
       vars->AddVariable(whole);
       ITorVariable* code = testhost::NominalField("code", false);
       code->GetEncoder()->AddMissingValue(99);
       vars->AddVariable(code);
       ITorVariable* share = testhost::NominalField("share", false);
       share->SetVariableStorage(kStorageReal);
       vars->AddVariable(share);
       ITorVariable* word = testhost::NominalField("word", true);
       word->GetEncoder()->AddMissingString("n/a");
       vars->AddVariable(word);
       vars->AddVariable(testhost::NominalField("blank", true));
       vars->AddVariable(testhost::OrdinalField("grade"));
       vars->AddVariable(testhost::ContField("balanced", kStorageInteger));
       vars->AddVariable(testhost::ContField("count"));
       vars->SetFrequencyWeightIndex(8);
     },
     [](int i, std::mt19937_64& r) {
       // The most frequent word needs escaping in an attribute; the most
       // frequent blank is the empty text.
       static const char* const kWords[] = {"red", "green ", " a\t&<\"b",
                                            "n/a", "blue",   " a\t&<\"b"};
       static const char* const kBlanks[] = {"", "", "x", "y "};
       return std::vector<RawData>{
           Chance(r, 0.1)   ? Missing(kStorageReal)
           : Chance(r, 0.1) ? Real(Chance(r, 0.5) ? 1.0 / 3 : 2.0 / 3)
                            : Real(Normal(r, 3, 1)),
           // Whole numbers with a negative mean that is not whole: the
           // replacement truncates toward zero.
           Chance(r, 0.1) ? Missing(kStorageInteger)
                          : Int(Chance(r, 0.05) ? -99 : Between(r, -9, 3)),
           Chance(r, 0.1) ? Missing(kStorageInteger)
                          : Int(Chance(r, 0.05) ? 99 : Between(r, 0, 3) * Between(r, 0, 3)),
           Chance(r, 0.1) ? Missing(kStorageReal)
                          : Real(0.25 * static_cast<double>(Between(r, 1, 3))),
           Chance(r, 0.1) ? Missing(kStorageString) : Text(kWords[Between(r, 0, 5)]),
           Chance(r, 0.1) ? Missing(kStorageString) : Text(kBlanks[Between(r, 0, 3)]),
           Chance(r, 0.1) ? Missing(kStorageInteger) : Int(Between(r, 1, 3) + Between(r, 0, 4)),
           // A weighted mean of exactly 3 that the running sums compute as
           // 2.9999999999999956; the document writes 3.
           i % 10 == 9 ? Missing(kStorageInteger) : Int(9 * i % 13 - 3), Real(1 + (i / 2) % 3)};
     },
     400,
     [] {
       return With({"replaceScaleFeaturesMissingValue", "replaceNominalFeaturesMissingValue",
                    "replaceOrdinalFeaturesMissingValue"});
     },
     {1, 30, 31, 32},
     [](const ZelVariableHandleList& fields) {
       // "whole" has a negative mean that is not whole; "balanced" a mean of
       // exactly 3 that the running sums miss by a rounding.
       std::map<std::string, double> means;
       for (const ZelVariableHandleInfo* field : DerivedBy(fields, 30)) {
         means[field->GetRule()->GetInputName(0)] = field->GetRule()->GetParameters().front();
       }
       EXPECT_LT(means["whole"], 0.0);
       EXPECT_NE(means["whole"], std::trunc(means["whole"]));
       EXPECT_NE(means["balanced"], 3.0);
       EXPECT_NEAR(means["balanced"], 3.0, 1e-12);
       int texts = 0;
       for (const ZelVariableHandleInfo* field : DerivedBy(fields, 31)) {
         const std::vector<std::string>& mode = field->GetRule()->GetTextParameters();
         if (mode.empty()) continue;
         EXPECT_TRUE(mode.front() == " a\t&<\"b" || mode.front().empty()) << mode.front();
         ++texts;
       }
       EXPECT_EQ(texts, 2);
     }},
    {"continuous target replaced, Box-Cox exponent not 0",
     [](TorVarList* vars) {
       vars->AddVariable(testhost::ContField("y", kStorageReal, kRoleTarget));
       vars->AddVariable(testhost::ContField("x"));
     },
     [](int, std::mt19937_64& r) {
       const double x = Uniform(r, 0, 10);
       return std::vector<RawData>{
           Chance(r, 0.05) ? Missing(kStorageReal) : Real(100 + 8 * x + Normal(r, 0, 4)), Real(x)};
     },
     300,
     [] {
       return With(
           {"replaceScaleTargetMissingValue", "rescaleScaleTargetUsingBoxCox", "featureSelection"},
           {{"targetMean", 10}, {"targetSD", 2}});
     },
     {27, 34},
     [](const ZelVariableHandleList& fields) {
       const auto* rule = RuleOf<ZelTransformation::ZelBoxCoxFunctionRule>(fields, 34);
       if (rule != nullptr) {
         EXPECT_NE(rule->GetLambda(), 0.0);
       }
     }},
    {"whole-number target with outliers, Box-Cox exponent 0",
     [](TorVarList* vars) {
       vars->AddVariable(testhost::ContField("y", kStorageInteger, kRoleTarget));
       vars->AddVariable(testhost::ContField("x"));
     },
     [](int, std::mt19937_64& r) {
       const double x = Normal(r, 0, 1);
       return std::vector<RawData>{
           Chance(r, 0.05) ? Missing(kStorageInteger)
                           : Int(static_cast<int64_t>(std::exp(6 + x + Normal(r, 0, 0.5)))),
           Real(x)};
     },
     300,
     [] {
       // Trimmed target values are real, the others whole; the rescaled
       // values straddle 0, so truncation goes toward zero both ways.
       return With({"detectTargetOutliers", "replaceScaleTargetMissingValue",
                    "rescaleScaleTargetUsingBoxCox"},
                   {{"targetMean", -5}, {"targetSD", 20}});
     },
     {27, 34, 45},
     [](const ZelVariableHandleList& fields) {
       const auto* rule = RuleOf<ZelTransformation::ZelBoxCoxFunctionRule>(fields, 34);
       if (rule != nullptr) {
         EXPECT_EQ(rule->GetLambda(), 0.0);
       }
     }},
    {"numeric target reordered after its missing values",
     [](TorVarList* vars) {
       ITorVariable* t = testhost::NominalField("t", false, kRoleTarget);
       t->SetVariableStorage(kStorageReal);
       vars->AddVariable(t);
       vars->AddVariable(testhost::ContField("x"));
     },
     [](int, std::mt19937_64& r) {
       // Codes whose shortest text has more digits than the document's 15.
       static const double kCodes[] = {7, -2, 7, 30, 7, 30, 0.1, 1.0 / 3, 2.0 / 3, 2.0 / 3};
       return std::vector<RawData>{
           Chance(r, 0.05) ? Missing(kStorageReal) : Real(kCodes[Between(r, 0, 9)]),
           Real(Uniform(r, 0, 1))};
     },
     300,
     [] {
       return With({"replaceNominalTargetMissingValue", "reorderNominalTargetCategories"});
     },
     {28, 33}},
    {"text target of twelve categories reordered",
     [](TorVarList* vars) {
       vars->AddVariable(testhost::NominalField("t", true, kRoleTarget));
       vars->AddVariable(testhost::NominalField("colour", true));
       vars->AddVariable(testhost::ContField("x"));
     },
     [](int, std::mt19937_64& r) {
       // Frequencies fall along the list, with ties between some; the
       // categories include the empty text, a leading blank and characters
       // that need escaping.
       static const char* const kCategories[] = {"a", " b", "",  "c<&>", "d ",  "e",
                                                 "f", "g",  "h", "i\\",  "j\"", "k"};
       const int64_t k = std::min<int64_t>(Between(r, 0, 11), Between(r, 0, 11));
       return std::vector<RawData>{Chance(r, 0.05) ? Missing(kStorageString) : Text(kCategories[k]),
                                   Text(Chance(r, 0.5) ? "red" : "blue"), Real(Uniform(r, 0, 1))};
     },
     400,
     [] {
       return With({"replaceNominalTargetMissingValue", "reorderNominalTargetCategories",
                    "featureSelection"});
     },
     {1, 28, 33},
     [](const ZelVariableHandleList& fields) {
       const auto* rule = RuleOf<ZelTransformation::ZelReorderFunctionRule>(fields, 33);
       if (rule != nullptr) {
         EXPECT_GT(rule->Texts().size(), 10u);
       }
     }},
    {"ordinal target replaced, inputs binned against it",
     [](TorVarList* vars) {
       vars->AddVariable(testhost::OrdinalField("grade", kRoleTarget));
       vars->AddVariable(testhost::ContField("x"));
       vars->AddVariable(testhost::ContField("n", kStorageInteger));
       vars->AddVariable(testhost::ContField("noise"));
       vars->AddVariable(testhost::ContField("count"));
       vars->SetFrequencyWeightIndex(4);
     },
     [](int, std::mt19937_64& r) {
       const int64_t grade = Between(r, 1, 4);
       return std::vector<RawData>{
           Chance(r, 0.05) ? Missing(kStorageInteger) : Int(grade),
           Chance(r, 0.05) ? Missing(kStorageReal) : Real(10.0 * grade + Normal(r, 0, 1.5)),
           Int(grade * grade * 5 + Between(r, -3, 3)), Real(Uniform(r, 0, 1)),
           Real(Uniform(r, 0.6, 2.4))};
     },
     400,
     [] {
       return With({"replaceOrdinalTargetMissingValue", "supervisedBinning", "featureSelection"});
     },
     {29, 41},
     [](const ZelVariableHandleList& fields) {
       // x and n bin into several bins; noise forms one subset and gets one
       // bin over every value.
       int several = 0;
       for (const ZelVariableHandleInfo* field : DerivedBy(fields, 41)) {
         const auto& rule =
             dynamic_cast<const ZelTransformation::ZelSupervisedBinningDiscretizationRule&>(
                 *field->GetRule());
         several += rule.GetCutPoints().size() >= 2;
       }
       EXPECT_EQ(several, 2);
     }},
    {"rescaling after outliers and replacement",
     [](TorVarList* vars) {
       vars->AddVariable(testhost::ContField("spend"));
       vars->AddVariable(testhost::ContField("visits", kStorageInteger));
       vars->AddVariable(testhost::ContField("day", kStorageDate));
     },
     [](int i, std::mt19937_64& r) {
       return std::vector<RawData>{
           Chance(r, 0.1) ? Missing(kStorageReal) : Real(i % 50 == 7 ? 900 : Uniform(r, 5, 60)),
           Int(Between(r, 0, 40)), Real(static_cast<double>(Between(r, -400, -10)), kStorageDate)};
     },
     300,
     [] {
       TorSettings s = With({"detectFeatureOutliers", "replaceScaleFeaturesMissingValue"},
                            {{"zScore_mean", 10}, {"zScore_SD", 2}});
       s.SetString("scaleFeatureRescalingMethod", "zScore");
       return s;
     },
     {39}},
    {"min-max rescaling",
     [](TorVarList* vars) {
       vars->AddVariable(testhost::ContField("spend"));
       vars->AddVariable(testhost::ContField("visits", kStorageInteger));
     },
     [](int, std::mt19937_64& r) {
       return std::vector<RawData>{
           Chance(r, 0.1) ? Missing(kStorageReal) : Real(Uniform(r, -5, 60)),
           Chance(r, 0.1) ? Missing(kStorageInteger) : Int(Between(r, 0, 40))};
     },
     300,
     [] {
       TorSettings s = With({}, {{"minMax_min", -1}, {"minMax_max", 3}});
       s.SetString("scaleFeatureRescalingMethod", "minMax");
       return s;
     },
     {40}},
    {"merging sparse categories without a target",
     [](TorVarList* vars) {
       vars->AddVariable(testhost::NominalField("letter", true));
       vars->AddVariable(testhost::NominalField("code", false));
       vars->AddVariable(testhost::OrdinalField("grade"));
       vars->AddVariable(testhost::ContField("x"));
     },
     [](int, std::mt19937_64& r) {
       static const char* const kLetters[] = {"a", "a", "a", "a", "a", "a", "b", "b", "c", "d", "e e", "f"};
       const int64_t grade = Chance(r, 0.8) ? Between(r, 3, 4) : Between(r, 1, 7);
       return std::vector<RawData>{
           Chance(r, 0.05) ? Missing(kStorageString) : Text(kLetters[Between(r, 0, 11)]),
           Int(Chance(r, 0.85) ? 7 : Between(r, 1, 4)),
           Chance(r, 0.05) ? Missing(kStorageInteger) : Int(grade), Real(Uniform(r, 0, 1))};
     },
     400,
     [] { return With({"unsupervisedMergeNominal", "unsupervisedMergeOrdinal"}); },
     {35},
     [](const ZelVariableHandleList& fields) { EXPECT_EQ(DerivedBy(fields, 35).size(), 3u); }},
    {"merging categories that relate alike to the target",
     [](TorVarList* vars) {
       vars->AddVariable(testhost::NominalField("region", true));
       vars->AddVariable(testhost::OrdinalField("band"));
       vars->AddVariable(testhost::NominalField("t", true, kRoleTarget));
     },
     [](int, std::mt19937_64& r) {
       // Regions n and s, and e and w, share their target shares; bands 1-2
       // and 3-5 likewise.
       static const char* const kRegions[] = {"n", "s", "e", "w", "c"};
       static const double kShareOfYes[] = {0.2, 0.2, 0.7, 0.7, 0.45};
       const int64_t region = Between(r, 0, 4), band = Between(r, 1, 5);
       const double yes = 0.5 * kShareOfYes[region] + (band <= 2 ? 0.1 : 0.4);
       return std::vector<RawData>{
           Chance(r, 0.05) ? Missing(kStorageString) : Text(kRegions[region]),
           Chance(r, 0.05) ? Missing(kStorageInteger) : Int(band),
           Text(Chance(r, yes) ? "yes" : "no")};
     },
     1500,
     [] { return With({"supervisedMerging"}); },
     {38},
     [](const ZelVariableHandleList& fields) { EXPECT_EQ(DerivedBy(fields, 38).size(), 2u); }},
    {"construction from correlated inputs",
     [](TorVarList* vars) {
       for (const char* name : {"a", "b", "c", "noise"}) vars->AddVariable(testhost::ContField(name));
     },
     [](int, std::mt19937_64& r) {
       const double common = Normal(r, 0, 1);
       return std::vector<RawData>{
           Real(3 * common + Normal(r, 10, 0.3)),
           Chance(r, 0.03) ? Missing(kStorageReal) : Real(-common + Normal(r, 0, 0.1)),
           Real(0.5 * common + Normal(r, -2, 0.05)), Real(Uniform(r, 0, 1))};
     },
     400,
     [] { return With({"featureConstruction"}); },
     {43}},
};

class CrossCheckTest : public ::testing::TestWithParam<Case> {};

TEST_P(CrossCheckTest, EngineReplaysEveryDerivedValueOfTheBuild) { CrossCheck(GetParam()); }

// A test per data set, named after it.
INSTANTIATE_TEST_SUITE_P(Family, CrossCheckTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c != '\0'; ++c) {
                             if (std::isalnum(static_cast<unsigned char>(*c))) {
                               name += *c;
                             } else if (!name.empty() && name.back() != '_') {
                               name += '_';
                             }
                           }
                           return name;
                         });

TEST(CrossCheckCoverage, EveryRuleActionHasAFamily) {
  // Each data set checks that it exercises the actions it names; together
  // they name every rule action the component writes today: trimming, date
  // and time parts and durations, recasts, outliers, missing-value
  // replacement, the target's reorder and Box-Cox rescale, both rescalings,
  // both mergings, supervised binning, construction.
  std::set<uint32_t> covered;
  for (const Case& c : kCases) covered.insert(c.actions.begin(), c.actions.end());
  for (uint32_t action : {1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 23, 24, 27,
                          28, 29, 30, 31, 32, 33, 34, 35, 38, 39, 40, 41, 43, 45, 46}) {
    EXPECT_TRUE(covered.count(action)) << "no data set exercises action " << action;
  }
}

}  // namespace
}  // namespace crosscheck
