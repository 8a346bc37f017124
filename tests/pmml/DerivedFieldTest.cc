// Derived fields in the document: trimmed text, and calendar parts and
// durations of dates and times, each built end to end and read back: the
// field frame, the expression, the function definitions and the summary
// entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pmml/PmmlTestDoc.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace pmmltest;

// 2009-03-07 as a day number: 39 years of 365 days and 10 leap days since
// 1970, then 31 + 28 + 6 days.
constexpr double kMarch7th2009 = 39 * 365 + 10 + 31 + 28 + 6;
// 08:05:00 in seconds.
constexpr double kFivePastEight = 8 * 3600 + 5 * 60;

std::string FunctionNames(const Doc& doc) {
  return AttrOfEach(Children(Child(doc.Root(), "TransformationDictionary"), "DefineFunction"),
                    "name");
}

std::string ValuesOf(const xmlNode* field) { return AttrOfEach(Children(field, "Value"), "value"); }

// The Action elements of a step's summary.
std::string StepActions(const Doc& doc, const std::string& key) {
  const xmlNode* step = WithAttr(Children(FindSummary(doc), "StepSummary"), "stepKey", key);
  return Tree(step).substr(Tree(step).find('['));
}

TEST(DerivedFieldTest, TrimmedTextReplacesItsSourceOnlyWhenSomethingWasTrimmed) {
  TorVarList vars;
  vars.AddVariable(NominalField("s", true));
  vars.AddVariable(NominalField("t", true));
  vars.AddVariable(ContField("x"));
  MemorySource source;
  const char* s[] = {"a\"\\ ", " b", "c", "c  ", "c", " b"};
  const char* t[] = {"u", "v", " u", "v", "u", "v"};
  for (int i = 0; i < 6; ++i) source.Add({i == 4 ? Missing() : Str(s[i]), Str(t[i]), Real(i)});
  Doc doc(ValidDocument(vars, source, EarlyStepsOnly()));

  EXPECT_EQ(FunctionNames(doc), "trimend");
  EXPECT_EQ(Tree(Child(Child(doc.Root(), "TransformationDictionary"), "DefineFunction")),
            "DefineFunction(name=trimend dataType=string optype=categorical)"
            "[ParameterField(name=stringVar) Constant:0]");
  // The source is disabled without an action of its own; the data
  // dictionary escapes its categories.
  EXPECT_EQ(Tree(Child(FindField(doc, "s"), "Extension")),
            "Extension(extender=zelcraft.dev)[UsageType(value=disable)]");
  EXPECT_EQ(ValuesOf(FindField(doc, "s")), " b|a\\\"\\\\ |c|c  ");
  // Leading and inner blanks stay; derived values are not escaped.
  EXPECT_EQ(Tree(FindField(doc, "s_transformed")),
            "DerivedField(name=s_transformed optype=categorical dataType=string)"
            "[Extension(extender=zelcraft.dev)[Action(stepKey=TextFields "
            "reasonKey=TrimTrailingBlanks) UsageType(value=enable) ClassOfField(value=transformed "
            "feature) SourceField(value=s) HasMissingValues(value=true)] "
            "Apply(function=trimend)[FieldRef(field=s)] Value(value= b property=valid) "
            "Value(value=a\"\\ property=valid) Value(value=c property=valid)]");

  // t lost nothing: its copy is not in the document, t itself stays.
  EXPECT_EQ(FindField(doc, "t_TrimString"), nullptr);
  EXPECT_EQ(ExtValue(FindField(doc, "t"), "UsageType"), "enable");

  EXPECT_EQ(StepActions(doc, "TextFields"), "[Action(numOfFields=1 reasonKey=TrimTrailingBlanks)]");
  EXPECT_EQ(Attr(Child(FindSummary(doc), "ProcessingSummary"), "originalFieldsNotUsed"), "0");
  ExpectSummaryMatchesFields(doc);
}

TEST(DerivedFieldTest, DateGivesItsYearAndTheDurationInTheBestUnit) {
  TorVarList vars;
  vars.AddVariable(ContField("d", kStorageDate));
  vars.AddVariable(ContField("x"));
  MemorySource source;
  const double offsets[] = {0, 100, 800, -1, 400, 30};
  for (int i = 0; i < 6; ++i) {
    source.Add({offsets[i] < 0 ? Missing() : Date(kMarch7th2009 + offsets[i]), Real(i)});
  }
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("extractYearFromDate", true);
  settings.SetDouble("referenceDateForDurations", kMarch7th2009);
  Doc doc(ValidDocument(vars, source, settings));

  EXPECT_EQ(FunctionNames(doc),
            "year-from-date|date_years_difference|date_months_difference|date_days_difference");
  EXPECT_EQ(Attr(FindField(doc, "d"), "dataType"), "dateDaysSince[1970]");
  // Day numbers 14310, 14410, 15110, 14710, 14340 fall in 2009 to 2011.
  EXPECT_EQ(Tree(FindField(doc, "d_year")),
            "DerivedField(name=d_year optype=ordinal dataType=integer)"
            "[Extension(extender=zelcraft.dev)[Action(stepKey=DateAndTimeFeatures "
            "reasonKey=DeriveYear) UsageType(value=enable) ClassOfField(value=derived form date "
            "and time) SourceField(value=d) HasMissingValues(value=true)] "
            "Apply(function=year-from-date)[FieldRef(field=d)] Value(value=2009 property=valid) "
            "Value(value=2010 property=valid) Value(value=2011 property=valid)]");
  // 800 days reach a year: years stay, months and days go.
  EXPECT_EQ(Tree(FindField(doc, "d_years")),
            "DerivedField(name=d_years optype=continuous dataType=double)"
            "[Extension(extender=zelcraft.dev)[Action(stepKey=DateAndTimeFeatures "
            "reasonKey=DeriveYears parameter=03/07/2009) UsageType(value=enable) "
            "ClassOfField(value=derived form date and time) SourceField(value=d) "
            "HasMissingValues(value=true)] Extension(extender=zelcraft.dev)[Interval("
            "closure=closedClosed leftMargin=0 rightMargin=2.19028062970568)] "
            "Apply(function=date_years_difference)[FieldRef(field=d) "
            "Constant(dataType=dateDaysSince[1970]):14310]]");
  EXPECT_EQ(Tree(Child(FindField(doc, "d_DurationMonths"), "Extension")),
            "Extension(extender=zelcraft.dev)[Action(stepKey=DateAndTimeFeatures "
            "reasonKey=DeriveMonths parameter=03/07/2009) UsageType(value=disable) "
            "SourceField(value=d) HasMissingValues(value=true)]");

  // The unchosen units are not counted as actions of the step.
  EXPECT_EQ(StepActions(doc, "DateAndTimeFeatures"),
            "[Action(numOfFields=1 reasonKey=DeriveYear) "
            "Action(numOfFields=1 reasonKey=DeriveYears parameter=03/07/2009)]");
  EXPECT_EQ(Attr(Child(FindSummary(doc), "ProcessingSummary"), "recommendedDerivedFromDateTime"),
            "2");
  ExpectSummaryMatchesFields(doc);
}

TEST(DerivedFieldTest, TimePartsAndDurationsButNothingFromATimestamp) {
  TorVarList vars;
  vars.AddVariable(ContField("t", kStorageTime));
  // Timestamps have no statistic, so a host gives them no measurement level;
  // the document still describes them as continuous with their data type.
  ITorVariable* stamp = ContField("ts", kStorageTimestamp);
  stamp->SetMeasureLevel(kLevelNone);
  vars.AddVariable(stamp);
  vars.AddVariable(ContField("x"));
  MemorySource source;
  // -1 s is 23:59:59; 50000 s is 13:53:20.
  const double seconds[] = {-1, kFivePastEight + 7200, 3600, 50000, 0};
  for (int i = 0; i < 5; ++i) source.Add({Time(seconds[i]), Timestamp(1e9 + i), Real(i)});
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("extractHourFromTime", true);
  settings.SetBool("extractSecondFromTime", true);
  settings.SetDouble("referenceTimeForDurations", kFivePastEight);
  Doc doc(ValidDocument(vars, source, settings));

  EXPECT_EQ(Attr(FindField(doc, "t"), "dataType"), "time");
  EXPECT_EQ(ValuesOf(FindField(doc, "t_hour")), "0|1|10|13|23");
  EXPECT_EQ(ValuesOf(FindField(doc, "t_second")), "0|20|59");
  EXPECT_EQ(Tree(Child(FindField(doc, "t_second"), "Apply")),
            "Apply(function=second-from-time)[FieldRef(field=t)]");
  // (50000 - 29100) / 3600 is almost six hours: hours stay.
  const xmlNode* hours = FindField(doc, "t_hours");
  EXPECT_EQ(Tree(Child(hours, "Apply")),
            "Apply(function=time_hours_difference)[FieldRef(field=t) "
            "Constant(dataType=timeSeconds):29100]");
  EXPECT_EQ(Attrs(Child(Child(hours, "Extension"), "Action")),
            "stepKey=DateAndTimeFeatures reasonKey=DeriveHours parameter=08:05:00");

  // A timestamp derives nothing; it is dropped but still listed.
  EXPECT_EQ(Tree(FindField(doc, "ts")),
            "DataField(name=ts optype=continuous dataType=dateTime)"
            "[Extension(extender=zelcraft.dev)[UsageType(value=disable)]]");
  EXPECT_EQ(FieldRefs(FindSummary(doc)), "t|ts|x|t_hour|t_second|t_hours");
  ExpectSummaryMatchesFields(doc);
}

}  // namespace
