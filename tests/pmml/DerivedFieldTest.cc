// Derived fields in the document: trimmed text, calendar parts and
// durations of dates and times, and recast measurement levels, each built
// end to end and read back: the field frame, the expression, the function
// definitions and the summary entries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "pmml/PmmlTestDoc.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace pmmltest;
using StringList = std::vector<std::string>;
using TorCommon_1_3::TorSettings;
using TorCommon_1_3::TorVarList;

// 2009-03-07 as a day number: 39 years of 365 days and 10 leap days since
// 1970, then 31 + 28 + 6 days.
constexpr double kMarch7th2009 = 39 * 365 + 10 + 31 + 28 + 6;
// 08:05:00 in seconds.
constexpr double kFivePastEight = 8 * 3600 + 5 * 60;

// `valid`: the document is expected to pass the schema.
std::string BuildDocument(TorVarList& vars, MemorySource& source, TorSettings& settings,
                          bool valid = true) {
  Build build;
  build.Run(settings, vars, source);
  EXPECT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  TorStatus status;
  const std::string xml = build.Pmml(&status);
  EXPECT_TRUE(status.IsOK()) << status.GetCode();
  if (SchemaAvailable()) {
    EXPECT_EQ(IsSchemaValid(xml), valid);
  }
  return xml;
}

StringList FunctionNames(const Doc& doc) {
  StringList names;
  for (const xmlNode* function :
       Children(Child(doc.Root(), "TransformationDictionary"), "DefineFunction")) {
    names.push_back(Attr(function, "name"));
  }
  return names;
}

StringList ValuesOf(const xmlNode* field) {
  StringList values;
  for (const xmlNode* value : Children(field, "Value")) values.push_back(Attr(value, "value"));
  return values;
}

// The single Apply of a derived field as "function(arg, arg)", where a
// FieldRef shows as its field and a Constant as dataType:text.
std::string Expression(const xmlNode* field) {
  const xmlNode* apply = Child(field, "Apply");
  std::string text = Attr(apply, "function") + "(";
  for (const xmlNode* argument : Children(apply)) {
    if (text.back() != '(') text += ", ";
    text += HasAttr(argument, "field") ? Attr(argument, "field")
                                       : Attr(argument, "dataType") + ":" + Text(argument);
  }
  return text + ")";
}

const xmlNode* StepSummary(const Doc& doc, const std::string& key) {
  return WithAttr(Children(FindSummary(doc), "StepSummary"), "stepKey", key);
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
  TorSettings settings = EarlyStepsOnly();
  Doc doc(BuildDocument(vars, source, settings));

  EXPECT_EQ(FunctionNames(doc), StringList{"trimend"});
  const xmlNode* function = Child(Child(doc.Root(), "TransformationDictionary"), "DefineFunction");
  EXPECT_EQ(AttrNames(function), (StringList{"name", "dataType", "optype"}));
  EXPECT_EQ(ChildNames(function), (StringList{"ParameterField", "Constant"}));
  EXPECT_EQ(Attr(Child(function, "ParameterField"), "name"), "stringVar");

  // The source is disabled without an action of its own; the data
  // dictionary escapes its categories.
  const xmlNode* original = FindField(doc, "s");
  EXPECT_EQ(ChildNames(Child(original, "Extension")), StringList{"UsageType"});
  EXPECT_EQ(Attr(Child(Child(original, "Extension"), "UsageType"), "value"), "disable");
  EXPECT_EQ(ValuesOf(original), (StringList{" b", "a\\\"\\\\ ", "c", "c  "}));

  const xmlNode* copy = FindField(doc, "s_transformed");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(AttrNames(copy), (StringList{"name", "optype", "dataType"}));
  EXPECT_EQ(Attr(copy, "optype"), "categorical");
  EXPECT_EQ(Attr(copy, "dataType"), "string");
  EXPECT_EQ(ChildNames(copy), (StringList{"Extension", "Apply", "Value", "Value", "Value"}));
  const xmlNode* extension = Child(copy, "Extension");
  EXPECT_EQ(ChildNames(extension),
            (StringList{"Action", "UsageType", "ClassOfField", "SourceField", "HasMissingValues"}));
  EXPECT_EQ(AttrNames(Child(extension, "Action")), (StringList{"stepKey", "reasonKey"}));
  EXPECT_EQ(Attr(Child(extension, "Action"), "stepKey"), "TextFields");
  EXPECT_EQ(Attr(Child(extension, "Action"), "reasonKey"), "TrimTrailingBlanks");
  EXPECT_EQ(Attr(Child(extension, "ClassOfField"), "value"), "transformed feature");
  EXPECT_EQ(Attr(Child(extension, "SourceField"), "value"), "s");
  EXPECT_EQ(Attr(Child(extension, "HasMissingValues"), "value"), "true");
  EXPECT_EQ(Expression(copy), "trimend(s)");
  // Leading and inner blanks stay; derived values are not escaped.
  EXPECT_EQ(ValuesOf(copy), (StringList{" b", "a\"\\", "c"}));

  // t lost nothing: its copy is not in the document, t itself stays.
  EXPECT_EQ(FindField(doc, "t_transformed"), nullptr);
  EXPECT_EQ(FindField(doc, "t_TrimString"), nullptr);
  EXPECT_EQ(Attr(Child(Child(FindField(doc, "t"), "Extension"), "UsageType"), "value"), "enable");

  const xmlNode* step = StepSummary(doc, "TextFields");
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(Attr(Child(step, "Action"), "numOfFields"), "1");
  EXPECT_EQ(Attr(Child(step, "Action"), "reasonKey"), "TrimTrailingBlanks");
  EXPECT_EQ(Attr(Child(FindSummary(doc), "ProcessingSummary"), "originalFieldsNotUsed"), "0");
  ExpectSummaryMatchesFields(doc);
}

TEST(DerivedFieldTest, DateGivesItsYearAndTheDurationInTheBestUnit) {
  TorVarList vars;
  vars.AddVariable(ContField("d", TorCommon_1_3::kStorageDate));
  vars.AddVariable(ContField("x"));
  MemorySource source;
  const double offsets[] = {0, 100, 800, -1, 400, 30};
  for (int i = 0; i < 6; ++i) {
    source.Add({offsets[i] < 0 ? Missing() : Date(kMarch7th2009 + offsets[i]), Real(i)});
  }
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("extractYearFromDate", true);
  settings.SetBool("computeDateDuration", true);
  settings.SetDouble("referenceDateForDurations", kMarch7th2009);
  Doc doc(BuildDocument(vars, source, settings));

  EXPECT_EQ(FunctionNames(doc), (StringList{"year-from-date", "date_years_difference",
                                            "date_months_difference", "date_days_difference"}));
  const xmlNode* years =
      Children(Child(doc.Root(), "TransformationDictionary"), "DefineFunction")[1];
  EXPECT_EQ(Attr(Children(years, "ParameterField")[1], "name"), "referenceDate");

  const xmlNode* original = FindField(doc, "d");
  EXPECT_EQ(Attr(original, "dataType"), "dateDaysSince[1970]");
  EXPECT_EQ(ChildNames(Child(original, "Extension")), StringList{"UsageType"});

  // Day numbers 14310, 14410, 15110, 14710, 14340 fall in 2009 to 2011.
  const xmlNode* year = FindField(doc, "d_year");
  ASSERT_NE(year, nullptr);
  EXPECT_EQ(Attr(year, "optype"), "ordinal");
  EXPECT_EQ(Attr(year, "dataType"), "integer");
  EXPECT_EQ(Expression(year), "year-from-date(d)");
  EXPECT_EQ(ValuesOf(year), (StringList{"2009", "2010", "2011"}));
  EXPECT_EQ(Attr(Child(Child(year, "Extension"), "ClassOfField"), "value"),
            "derived form date and time");

  // 800 days reach a year: years stay, months and days go.
  const xmlNode* elapsed = FindField(doc, "d_years");
  ASSERT_NE(elapsed, nullptr);
  EXPECT_EQ(Attr(elapsed, "optype"), "continuous");
  EXPECT_EQ(Attr(elapsed, "dataType"), "double");
  EXPECT_EQ(ChildNames(elapsed), (StringList{"Extension", "Extension", "Apply"}));
  EXPECT_EQ(Expression(elapsed), "date_years_difference(d, dateDaysSince[1970]:14310)");
  const xmlNode* action = Child(Child(elapsed, "Extension"), "Action");
  EXPECT_EQ(Attr(action, "reasonKey"), "DeriveYears");
  EXPECT_EQ(Attr(action, "parameter"), "03/07/2009");
  EXPECT_EQ(Attr(Child(Child(elapsed, "Extension"), "HasMissingValues"), "value"), "true");
  const xmlNode* range = Child(Children(elapsed, "Extension")[1], "Interval");
  EXPECT_EQ(Attr(range, "leftMargin"), "0");
  EXPECT_NEAR(std::strtod(Attr(range, "rightMargin").c_str(), nullptr), 800 / 365.25, 1e-12);
  for (const char* name : {"d_DurationMonths", "d_DurationDays"}) {
    const xmlNode* dropped = Child(FindField(doc, name), "Extension");
    ASSERT_NE(dropped, nullptr) << name;
    EXPECT_EQ(ChildNames(dropped),
              (StringList{"Action", "UsageType", "SourceField", "HasMissingValues"}));
    EXPECT_EQ(Attr(Child(dropped, "UsageType"), "value"), "disable");
  }

  // The unchosen units are not counted as actions of the step.
  const xmlNode* step = StepSummary(doc, "DateAndTimeFeatures");
  ASSERT_NE(step, nullptr);
  std::vector<const xmlNode*> actions = Children(step, "Action");
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(Attr(actions[0], "reasonKey"), "DeriveYear");
  EXPECT_FALSE(HasAttr(actions[0], "parameter"));
  EXPECT_EQ(Attr(actions[1], "reasonKey"), "DeriveYears");
  EXPECT_EQ(Attr(actions[1], "numOfFields"), "1");
  EXPECT_EQ(Attr(actions[1], "parameter"), "03/07/2009");
  const xmlNode* counts = Child(FindSummary(doc), "ProcessingSummary");
  EXPECT_EQ(Attr(counts, "recommendedDerivedFromDateTime"), "2");
  EXPECT_EQ(Attr(counts, "originalFieldsNotUsed"), "0");
  ExpectSummaryMatchesFields(doc);
}

TEST(DerivedFieldTest, TimePartsAndDurationsButNothingFromATimestamp) {
  TorVarList vars;
  vars.AddVariable(ContField("t", TorCommon_1_3::kStorageTime));
  // Timestamps have no statistic, so a host gives them no measurement level,
  // and the document no optype: the schema's one departure.
  TorCommon_1_3::ITorVariable* stamp = ContField("ts", TorCommon_1_3::kStorageTimestamp);
  stamp->SetMeasureLevel(TorCommon_1_3::kLevelNone);
  vars.AddVariable(stamp);
  vars.AddVariable(ContField("x"));
  MemorySource source;
  // -1 s is 23:59:59; 50000 s is 13:53:20.
  const double seconds[] = {-1, kFivePastEight + 7200, 3600, 50000, 0};
  for (int i = 0; i < 5; ++i) source.Add({Time(seconds[i]), Timestamp(1e9 + i), Real(i)});
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("extractHourFromTime", true);
  settings.SetBool("extractSecondFromTime", true);
  settings.SetBool("computeTimeDuration", true);
  settings.SetDouble("referenceTimeForDurations", kFivePastEight);
  Doc doc(BuildDocument(vars, source, settings, false));

  EXPECT_EQ(Attr(FindField(doc, "t"), "dataType"), "time");
  EXPECT_EQ(ValuesOf(FindField(doc, "t_hour")), (StringList{"0", "1", "10", "13", "23"}));
  EXPECT_EQ(ValuesOf(FindField(doc, "t_second")), (StringList{"0", "20", "59"}));
  EXPECT_EQ(Expression(FindField(doc, "t_second")), "second-from-time(t)");

  // (50000 - 29100) / 3600 is almost six hours: hours stay.
  const xmlNode* hours = FindField(doc, "t_hours");
  ASSERT_NE(hours, nullptr);
  EXPECT_EQ(Expression(hours), "time_hours_difference(t, timeSeconds:29100)");
  EXPECT_EQ(Attr(Child(Child(hours, "Extension"), "Action"), "parameter"), "08:05:00");
  EXPECT_EQ(Attr(Child(Child(hours, "Extension"), "Action"), "reasonKey"), "DeriveHours");

  // A timestamp derives nothing; it is dropped but still listed.
  const xmlNode* dropped = FindField(doc, "ts");
  EXPECT_EQ(AttrNames(dropped), StringList{"name"});
  EXPECT_EQ(Attr(Child(Child(dropped, "Extension"), "UsageType"), "value"), "disable");
  EXPECT_EQ(FieldRefs(FindSummary(doc)),
            (StringList{"t", "ts", "x", "t_hour", "t_second", "t_hours"}));
  ExpectSummaryMatchesFields(doc);
}

TEST(DerivedFieldTest, RecastsInBothDirections) {
  TorVarList vars;
  vars.AddVariable(ContField("x"));
  vars.AddVariable(OrdinalField("o"));
  vars.AddVariable(ContField("z"));
  MemorySource source;
  for (int i = 0; i < 11; ++i) source.Add({Real(1 + i % 4), Int(i), Real(i * 0.5)});
  TorSettings settings = EarlyStepsOnly();
  Doc doc(BuildDocument(vars, source, settings));

  EXPECT_EQ(FunctionNames(doc), (StringList{"recast_to_ordinal", "recast_to_scale"}));

  const xmlNode* ordinal = FindField(doc, "x_transformed");
  ASSERT_NE(ordinal, nullptr);
  EXPECT_EQ(Attr(ordinal, "optype"), "ordinal");
  EXPECT_EQ(Attr(ordinal, "dataType"), "double");
  EXPECT_EQ(Expression(ordinal), "recast_to_ordinal(x)");
  EXPECT_EQ(ValuesOf(ordinal), (StringList{"1", "2", "3", "4"}));
  const xmlNode* action = Child(Child(ordinal, "Extension"), "Action");
  EXPECT_EQ(Attr(action, "stepKey"), "CheckType");
  EXPECT_EQ(Attr(action, "reasonKey"), "Recast2Orderedset");
  EXPECT_EQ(Attr(action, "parameter"), "5");

  const xmlNode* scale = FindField(doc, "o_transformed");
  ASSERT_NE(scale, nullptr);
  EXPECT_EQ(Attr(scale, "optype"), "continuous");
  EXPECT_EQ(Attr(scale, "dataType"), "integer");
  EXPECT_EQ(Expression(scale), "recast_to_scale(o)");
  EXPECT_EQ(Attr(Child(Child(scale, "Extension"), "Action"), "reasonKey"), "Recast2Range");
  EXPECT_EQ(Attr(Child(Child(scale, "Extension"), "Action"), "parameter"), "10");
  const xmlNode* range = Child(Children(scale, "Extension")[1], "Interval");
  EXPECT_EQ(Attr(range, "leftMargin"), "0");
  EXPECT_EQ(Attr(range, "rightMargin"), "10");
  EXPECT_TRUE(Children(scale, "Value").empty());

  for (const char* source : {"x", "o"}) {
    EXPECT_EQ(ChildNames(Child(FindField(doc, source), "Extension")), StringList{"UsageType"});
  }
  std::vector<const xmlNode*> actions = Children(StepSummary(doc, "CheckType"), "Action");
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(Attr(actions[0], "reasonKey"), "Recast2Orderedset");
  EXPECT_EQ(Attr(actions[1], "reasonKey"), "Recast2Range");
  ExpectSummaryMatchesFields(doc);
}

}  // namespace
